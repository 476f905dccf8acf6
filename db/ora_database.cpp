// The database object: statements go to the engine in UTF-8 with the parameters they name bound,
// errors come back with their positions in the code page 932 text.
#include "db/ora_database.h"

#include "classlib/cp932.h"
#include "db/bind_names.h"
#include "db/ora_error.h"
#include "db/query_text.h"
#include "localdb/localdb.h"

namespace db {

OraDatabase::OraDatabase(std::shared_ptr<localdb::Session> engine) : engine_(std::move(engine)) {}

OraDatabase::~OraDatabase() = default;

namespace {

void RefuseReentry(const std::shared_ptr<bool> &inHandler)
{
    if (*inHandler)
        throw SessionBusyError();
}

} // namespace

void OraDatabase::SetProgressHandler(std::function<bool()> handler, int intervalMs)
{
    if (!handler) {
        engine_->setProgressHandler({}, intervalMs);
        return;
    }
    engine_->setProgressHandler(
        [handler = std::move(handler), inHandler = inHandler_] {
            *inHandler = true;
            struct Reset {
                bool &Flag;
                ~Reset() { Flag = false; }
            } reset{*inHandler};
            return handler();
        },
        intervalMs);
}

void OraDatabase::Cancel() { engine_->cancel(); }

localdb::StatementResult OraDatabase::Run(const std::string &sql)
{
    RefuseReentry(inHandler_);
    const std::string utf8 = cp932::Cp932ToUtf8(sql);

    std::vector<localdb::Bind> binds;
    std::vector<OraParameter *> bound;
    for (const std::string &name : BindNamesInStatement(utf8)) {
        OraParameter *parameter = parameters_.Find(name);
        if (!parameter) continue;  // left to the engine, which reports the unbound variable
        localdb::Bind bind;
        bind.name = cp932::Cp932ToUtf8(parameter->Name());
        bind.value = ToEngineValue(parameter->Value());
        bind.direction = static_cast<localdb::Bind::Direction>(parameter->Direction());
        bind.serverType = parameter->ServerType();
        binds.push_back(std::move(bind));
        bound.push_back(parameter);
    }

    localdb::StatementResult result;
    try {
        result = engine_->execute(utf8, binds.empty() ? nullptr : &binds);
    } catch (const localdb::Error &e) {
        EOraError error = FromEngineError(e, sql);
        lastServerErrPos_ = error.Position();
        throw error;
    }
    lastServerErrPos_ = -1;
    for (std::size_t i = 0; i < bound.size(); ++i) {
        if (bound[i]->Direction() != paramInput) bound[i]->SetValue(FromEngineValue(binds[i].value));
    }
    return result;
}

std::shared_ptr<OraDynaset> OraDatabase::DbCreateDynaset(const std::string &sql, int /*options*/)
{
    // A statement that changes something must not run just to be refused afterwards.
    if (const std::string command = NonQueryCommand(sql); !command.empty()) {
        lastServerErrPos_ = -1;
        throw EOraError(0, "問合せではない文からは結果セットを作成できません (" + cp932::Cp932ToUtf8(command) + ")");
    }
    localdb::StatementResult result = Run(sql);
    if (!result.cursor)
        throw EOraError(0, "問合せではない文からは結果セットを作成できません (" + result.command + ")");
    return std::make_shared<OraDynaset>(engine_, std::move(result.cursor), inHandler_);
}

std::int64_t OraDatabase::DbExecuteSQL(const std::string &sql) { return Run(sql).rowsAffected; }

} // namespace db
