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
#include <memory>
#include <vector>
#include <string>

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
    // What the cached translations were made against: another session's DDL changes the
    // schema cookie, and the cache and the catalogue's copies are then dropped.
    Prepared schemaVersionQuery;
    long long schemaVersion = -1;
    unsigned dataVersion = 0;
    std::uint64_t ddlGeneration = 0;
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

// Drops cached translations and catalogue copies when another connection changed the schema.
// A DDL in this process is seen at once (a process-wide counter); one in another process is seen
// from the statement after the first one that read the changed file (the connection's data
// version), so the per-statement cost stays an in-memory check.
void checkSchemaChanges(SessionCore &core);
// Called after every DDL of any session of the process.
void noteDdl();

// Registers every SQL function on the session's connection, all with the session's context as
// their user data: the core's helpers (kdb_concat, kdb_div, kdb_number, kdb_text, kdb_nextval ...)
// and Oracle's built-in functions. core must outlive the connection's statements; throws when
// SQLite refuses a registration.
void registerSessionFunctions(SessionCore &core);

}  // namespace localdb
