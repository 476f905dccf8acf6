// The session object a child window creates first: it opens the database object and owns the
// transaction of every database it opened.
#pragma once

#include "db/ora_database.h"

#include <memory>
#include <string>
#include <vector>

namespace db {

class OraSession {
public:
    // host names a database (file path, alias or "demo"); userPassword is user "/" password as one
    // text (without "/" the whole text is the user name). options is accepted and ignored.
    // Raises EOraError with the engine's message (ORA-12154 unknown host, ORA-01017 bad login).
    std::shared_ptr<OraDatabase> OpenDatabase(const std::string &host, const std::string &userPassword,
                                              int options);

    // Begins a transaction on every open database of this session (nothing when one is open);
    // commit and rollback end it (nothing when none is open). Before OpenDatabase they raise
    // EOraError.
    void DbBeginTrans();
    void DbCommitTrans();
    void DbRollback();
    // Stops the statement or fetch running on any database of this session with ORA-01013
    // (queries only); safe from any thread while the databases stay open.
    void Cancel();

private:
    template <class Action> void ForEachEngine(Action action);
    std::vector<std::weak_ptr<localdb::Session>> engines_;
};

} // namespace db
