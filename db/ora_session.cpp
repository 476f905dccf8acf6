// The session object: opens databases on the engine and runs their transactions.
#include "db/ora_session.h"

#include "classlib/cp932.h"
#include "db/ora_error.h"
#include "localdb/localdb.h"

namespace db {

std::shared_ptr<OraDatabase> OraSession::OpenDatabase(const std::string &host, const std::string &userPassword,
                                                      int /*options*/)
{
    const std::size_t slash = userPassword.find('/');
    const std::string user = userPassword.substr(0, slash);
    const std::string password = slash == std::string::npos ? std::string() : userPassword.substr(slash + 1);
    std::shared_ptr<localdb::Session> engine;
    try {
        engine = localdb::Session::open(cp932::Cp932ToUtf8(host), cp932::Cp932ToUtf8(user),
                                        cp932::Cp932ToUtf8(password));
    } catch (const localdb::Error &e) {
        throw EOraError(e.code(), e.what(), -1);
    } catch (const std::exception &e) {
        // A file the engine cannot open or read is a connection failure like any other.
        throw EOraError(0, e.what(), -1);
    }
    std::erase_if(engines_, [](const std::weak_ptr<localdb::Session> &w) { return w.expired(); });
    engines_.push_back(engine);
    return std::make_shared<OraDatabase>(std::move(engine));
}

template <class Action> void OraSession::ForEachEngine(Action action)
{
    bool any = false;
    for (const auto &weak : engines_) {
        if (auto engine = weak.lock()) {
            any = true;
            try {
                action(*engine);
            } catch (const localdb::Error &e) {
                throw EOraError(e.code(), e.what(), -1);
            }
        }
    }
    if (!any) throw EOraError(0, "データベースに接続していません");
}

void OraSession::DbBeginTrans()
{
    ForEachEngine([](localdb::Session &s) {
        if (!s.inTransaction()) s.beginTransaction();
    });
}

void OraSession::DbCommitTrans()
{
    ForEachEngine([](localdb::Session &s) {
        if (s.inTransaction()) s.commit();
    });
}

void OraSession::DbRollback()
{
    ForEachEngine([](localdb::Session &s) {
        if (s.inTransaction()) s.rollback();
    });
}

void OraSession::Cancel()
{
    for (const auto &weak : engines_) {
        if (auto engine = weak.lock())
            engine->cancel();
    }
}

} // namespace db
