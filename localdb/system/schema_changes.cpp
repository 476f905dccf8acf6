// How the sessions on one file learn of each other's DDL. Every DDL changes SQLite's schema
// cookie, which a session compares before each statement, and writes the objects it changed
// into a log in the file (kdb_ddl_log: one row per object, numbered per DDL), so that a session
// drops only the translations that depend on them. A change the log does not explain (a
// database of an earlier version, a gap left by pruning, a change of every name) drops them all.
#include "localdb/system/session_core.h"

#include "localdb/system/errors.h"

#include <sqlite3.h>

#include <atomic>

namespace localdb {
namespace {

std::atomic<std::uint64_t> processDdlGeneration{0};

// Kept long enough for a session that was idle through many DDL to notice the gap, not longer.
constexpr std::int64_t kLoggedChanges = 1000;

// Written in the log for a DDL that changed no object (CREATE USER), so that its number and
// schema version are there all the same.
const char *const kNoObject = "";

long long schemaVersionOf(SessionCore &core) {
    if (!core.schemaVersionQuery)
        core.schemaVersionQuery = core.db->prepare("PRAGMA schema_version");
    Prepared &p = core.schemaVersionQuery;
    long long version = p.step() ? p.integer(0) : 0;
    p.reset();
    return version;
}

// Inside the DDL's write transaction, just before its commit. The schema cookie changes also for
// GRANT or COMMENT, which touch only catalogue rows.
void logDdl(SessionCore &core, const ChangedObjects &changed) {
    Connection &db = *core.db;
    db.exec("CREATE TABLE IF NOT EXISTS kdb_ddl_log(change_id INTEGER NOT NULL, schema_version INTEGER NOT NULL, "
            "object TEXT); CREATE INDEX IF NOT EXISTS kdb_ddl_log_change ON kdb_ddl_log(change_id)");
    db.exec("CREATE TABLE kdb_schema_change(x); DROP TABLE kdb_schema_change");
    // Read under the write lock: this is the version the commit leaves.
    const long long version = db.queryInt("PRAGMA schema_version");
    const std::int64_t id = db.queryInt("SELECT coalesce(max(change_id), 0) + 1 FROM kdb_ddl_log");
    auto insert = db.prepare("INSERT INTO kdb_ddl_log(change_id, schema_version, object) VALUES (?1, ?2, ?3)");
    auto add = [&](const char *object) {
        insert.bind(1, id);
        insert.bind(2, std::int64_t(version));
        if (object)
            insert.bind(3, std::string(object));
        else
            insert.bindNull(3);
        insert.run();
        insert.reset();
    };
    if (!changed)
        add(nullptr);
    else if (changed->empty())
        add(kNoObject);
    for (const auto &object : changed.value_or(std::set<std::string>{}))
        add(object.c_str());
    auto prune = db.prepare("DELETE FROM kdb_ddl_log WHERE change_id <= ?1");
    prune.bind(1, id - kLoggedChanges);
    prune.run();
}

// The objects the DDL logged after the last one this session took in, up to the schema version it
// read; nullopt when the log does not account for every change up to there.
ChangedObjects loggedChanges(SessionCore &core, long long schemaVersion) {
    std::set<std::string> changed;
    bool complete = true;
    long long lastVersion = -1;
    try {
        auto p = core.db->prepare("SELECT change_id, schema_version, object FROM kdb_ddl_log WHERE change_id > ?1 "
                                  "ORDER BY change_id");
        p.bind(1, core.ddlSeen);
        while (p.step()) {
            const std::int64_t id = p.integer(0);
            if (id != core.ddlSeen) {
                complete = complete && id == core.ddlSeen + 1;
                core.ddlSeen = id;
            }
            lastVersion = p.integer(1);
            if (p.isNull(2))
                complete = false;
            else if (p.text(2) != kNoObject)
                changed.insert(p.text(2));
        }
    } catch (const SqliteError &) {
        return std::nullopt;  // no log: the file was changed by an earlier version
    }
    if (!complete || lastVersion != schemaVersion)
        return std::nullopt;
    return changed;
}

}  // namespace

void runDdlTransaction(SessionCore &core, const std::function<ChangedObjects()> &run) {
    commitWork(core);
    // SQLite drops no table under a statement still reading: the session's open cursors read
    // their remaining rows into memory first, as they stood.
    for (OpenCursor *c : std::vector<OpenCursor *>(core.openCursors))
        c->detach();
    core.db->exec("BEGIN IMMEDIATE");
    try {
        logDdl(core, run());
        core.db->exec("COMMIT");
    } catch (...) {
        try {
            core.db->exec("ROLLBACK");
        } catch (...) {
        }
        // Nothing changed in the file, but the catalogue's copies may have been read mid-change.
        core.catalog->invalidate();
        throw;
    }
    core.catalog->invalidate();
    // This session, as every other, drops the translations at its next statement.
    ++processDdlGeneration;
}

void checkSchemaChanges(SessionCore &core) {
    unsigned version = 0;
    sqlite3_file_control(core.db->handle(), "main", SQLITE_FCNTL_DATA_VERSION, &version);
    const std::uint64_t generation = processDdlGeneration.load();
    if (version == core.dataVersion && generation == core.ddlGeneration && core.schemaVersion >= 0)
        return;
    core.dataVersion = version;
    core.ddlGeneration = generation;
    // The schema first, then the log: a DDL committed in between is then taken in twice at
    // worst, never missed.
    const long long schema = schemaVersionOf(core);
    if (schema == core.schemaVersion)
        return;
    if (core.schemaVersion < 0) {
        // The session's first statement: its cache is empty, the log is read from here on.
        try {
            core.ddlSeen = core.db->queryInt("SELECT coalesce(max(change_id), 0) FROM kdb_ddl_log");
        } catch (const SqliteError &) {
            core.ddlSeen = 0;
        }
    } else {
        core.catalog->invalidate();
        if (ChangedObjects changed = loggedChanges(core, schema))
            core.cache.invalidate(*changed);
        else
            core.cache.clear();
    }
    core.schemaVersion = schema;
}

}  // namespace localdb
