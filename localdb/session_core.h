// The state one session shares with its open cursors: the SQLite connection, the function
// library's session context, the catalogue, the sequence caches and the statement cache.
#pragma once

#include "localdb/catalog.h"
#include "localdb/connection.h"
#include "localdb/functions/session_context.h"
#include "localdb/sequences.h"
#include "localdb/statement_cache.h"

#include <memory>
#include <set>
#include <string>

namespace localdb {

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
    unsigned dataVersion = 0;
    long long schemaVersion = -1;
    std::vector<std::string> savepoints;
    std::set<OpenCursor *> openCursors;
};

// Drops cached translations and catalogue copies when another connection changed the schema
// since the last call. Cheap when nothing was committed elsewhere (one in-memory counter read).
void checkSchemaChanges(SessionCore &core);

// Registers the core's SQL helpers (kdb_concat, kdb_div, kdb_number, kdb_text, kdb_nextval ...)
// on the session's connection; core must outlive the connection's statements.
void registerCoreFunctions(SessionCore &core);

}  // namespace localdb
