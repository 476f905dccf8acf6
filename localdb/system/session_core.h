// The state one session shares with its open cursors: the SQLite connection, the function
// library's session context, the catalogue, the sequence caches and the statement cache.
#pragma once

#include "localdb/catalog/catalog.h"
#include "localdb/system/connection.h"
#include "localdb/functions/session_context.h"
#include "localdb/system/progress_watch.h"
#include "localdb/catalog/sequences.h"
#include "localdb/system/statement_cache.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace localdb {

namespace plsql {
struct SessionState;
}

// A cursor still reading: it can be asked to read its remaining rows into memory and let go of
// its SQLite statement, whose old snapshot would otherwise keep the session from writing.
class OpenCursor {
public:
    virtual ~OpenCursor() = default;
    virtual void detach() = 0;
};

struct SessionCore {
    std::unique_ptr<Connection> db;
    SessionContext context;
    std::unique_ptr<Catalog> catalog;
    std::unique_ptr<Sequences> sequences;
    StatementCache cache;
    std::string host;
    std::string path;
    bool userTransaction = false;  // beginTransaction() was called and not yet ended
    // What the cached translations were made against: every DDL changes the schema cookie and
    // logs what it changed; the catalogue's copies and the translations depending on it are
    // then dropped.
    Prepared schemaVersionQuery;
    long long schemaVersion = -1;
    unsigned dataVersion = 0;
    std::uint64_t ddlGeneration = 0;
    std::int64_t ddlSeen = 0;  // the last change of the file's DDL log taken in
    std::vector<std::string> savepoints;
    std::vector<OpenCursor *> openCursors;  // few at a time: a vector is cheapest
    // The session's PL/SQL: package state, output buffer, compiled units (created on first use).
    std::shared_ptr<plsql::SessionState> plsql;
    std::unique_ptr<ProgressWatch> progress;  // cancel and the caller's handler during long calls
};

// Transaction steps shared by the session and the PL/SQL runtime: the write transaction begins
// at the first change; commit and rollback end it and forget the savepoints.
void beginWrite(SessionCore &core);
void commitWork(SessionCore &core);
void rollbackWork(SessionCore &core);
// Binds the statement's :name parameters from the caller's binds (ORA-01008 for a missing one).
void bindParameters(Prepared &p, std::vector<Bind> *binds);

// The objects ("OWNER.NAME") a DDL statement changed; nullopt when it may have changed what any
// name means (users, roles, system privileges).
using ChangedObjects = std::optional<std::set<std::string>>;

// DDL commits the work before it, then runs in a write transaction of its own and commits. run
// makes the change and says what it changed; every session on the file, this one too, drops the
// translations that depend on that at its next statement. Throws what run throws, rolled back.
void runDdlTransaction(SessionCore &core, const std::function<ChangedObjects()> &run);

// Takes in the DDL of every session since this one's last statement: drops the catalogue's
// copies and the cached translations that depend on what changed (all of them when the change
// is not known in detail). A DDL in this process is seen at once (a process-wide counter); one
// in another process is seen from the statement after the first one that read the changed file
// (the connection's data version), so the per-statement cost stays an in-memory check.
void checkSchemaChanges(SessionCore &core);

// Registers every SQL function on the session's connection, all with the session's context as
// their user data: the core's helpers (kdb_concat, kdb_div, kdb_number, kdb_text, kdb_nextval ...)
// and Oracle's built-in functions. core must outlive the connection's statements; throws when
// SQLite refuses a registration.
void registerSessionFunctions(SessionCore &core);

}  // namespace localdb
