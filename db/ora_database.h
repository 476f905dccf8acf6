// The database object: one connection opened by a session. Statements, dynasets and bind
// parameters live here; transactions are the session's.
#pragma once

#include "db/ora_dynaset.h"
#include "db/ora_parameters.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace db {

class OraDatabase {
public:
    explicit OraDatabase(std::shared_ptr<localdb::Session> engine);
    ~OraDatabase();

    // Opens a query (code page 932 text). Options 4 and 8 both read rows lazily; any other value
    // is accepted and treated the same. A statement that is not a query raises EOraError.
    std::shared_ptr<OraDynaset> DbCreateDynaset(const std::string &sql, int options);
    // Runs any statement; the rows processed by DML, 0 for other statements.
    std::int64_t DbExecuteSQL(const std::string &sql);
    // The same for statements whose row count nobody reads (plan and plan-table statements).
    std::int64_t ExecuteSQL(const std::string &sql) { return DbExecuteSQL(sql); }

    // 0 before any statement ran, -1 when the last statement parsed, otherwise the byte offset of
    // the error in the code page 932 text sent.
    int LastServerErrPos() const { return lastServerErrPos_; }

    OraParameters &Parameters() { return parameters_; }
    OraParameter &Parameters(std::string_view name) { return parameters_.Item(name); }

    // While a statement or a row fetch of this database runs, handler is called about every
    // intervalMs (a window lets its messages run there); true stops the call with ORA-01013
    // (queries only: a statement that changes data runs to its end). While the handler runs,
    // this database and its dynasets refuse every call, so the session is never entered twice.
    void SetProgressHandler(std::function<bool()> handler, int intervalMs);
    // Stops the statement or fetch now running with ORA-01013, as the handler's true does; safe
    // from any thread.
    void Cancel();

    // The engine's session behind this database (for the DBMS_OUTPUT lines of PL/SQL runs).
    localdb::Session &Engine() const { return *engine_; }

private:
    localdb::StatementResult Run(const std::string &sql);

    std::shared_ptr<localdb::Session> engine_;
    OraParameters parameters_;
    int lastServerErrPos_ = 0;
    // Set while the progress handler runs: calls arriving then come from inside a running one.
    std::shared_ptr<bool> inHandler_ = std::make_shared<bool>(false);
};

} // namespace db
