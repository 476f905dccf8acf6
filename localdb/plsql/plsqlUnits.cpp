// Program units in the database: their source, errors, arguments and dependencies in the
// catalogue, and their compiled forms cached per session.
#include "localdb/plsql/plsql.h"

#include "localdb/catalog/catalog.h"
#include "localdb/system/errors.h"
#include "localdb/plsql/plsqlCompiler.h"
#include "localdb/plsql/plsqlOutput.h"
#include "localdb/plsql/plsqlSqlCalls.h"
#include "localdb/plsql/plsqlUnits.h"
#include "localdb/system/sqlite_errors.h"

#include <algorithm>
#include <atomic>

namespace localdb::plsql {
namespace {

std::atomic<std::uint64_t> compileStamp{0};

std::string typeNameOf(const PlType &t) {
    if (t.kind == TypeKind::Record)
        return "PL/SQL RECORD";
    if (t.kind == TypeKind::Boolean)
        return "PL/SQL BOOLEAN";
    if (t.kind == TypeKind::Integer)
        return "BINARY_INTEGER";
    if (t.name == "PLS_INTEGER")
        return "BINARY_INTEGER";
    return t.name.empty() ? "NUMBER" : t.name;
}

void addArguments(std::vector<ArgumentInfo> &rows, const Subprogram &s) {
    int sequence = 0;
    if (s.isFunction) {
        ArgumentInfo r;
        r.objectName = s.name;
        r.subprogramId = s.subprogramId;
        r.overload = s.overload;
        r.position = 0;
        r.sequence = ++sequence;
        r.dataType = typeNameOf(s.returnType);
        r.inOut = "OUT";
        rows.push_back(r);
    }
    int position = 0;
    for (const Param &p : s.params) {
        ArgumentInfo r;
        r.objectName = s.name;
        r.argumentName = p.name;
        r.subprogramId = s.subprogramId;
        r.overload = s.overload;
        r.position = ++position;
        r.sequence = ++sequence;
        r.dataType = typeNameOf(p.type);
        r.inOut = p.mode == 1 ? "IN" : p.mode == 2 ? "OUT" : "IN/OUT";
        r.defaulted = bool(p.defaultValue);
        rows.push_back(r);
    }
}

std::string sourceOf(Connection &db, std::int64_t id) {
    auto p = db.prepare("SELECT text FROM kdb_source WHERE object_id = ?1 ORDER BY line");
    p.bind(1, id);
    std::string text;
    while (p.step())
        text += p.text(0);
    return text;
}

std::optional<ObjectRow> objectRow(Connection &db, const std::string &owner, const std::string &name,
                                   const std::string &type) {
    auto p = db.prepare("SELECT object_id, status, last_ddl_time FROM kdb_objects WHERE owner = ?1 AND "
                        "object_name = ?2 AND object_type = ?3");
    bindAll(p, owner, name, type);
    if (!p.step())
        return std::nullopt;
    ObjectRow row{p.integer(0), p.text(1), p.text(2), 0};
    // Two compilations within the same second share a LAST_DDL_TIME: the count tells them apart.
    try {
        auto g = db.prepare("SELECT generation FROM kdb_compilations WHERE object_id = ?1");
        g.bind(1, row.id);
        if (g.step())
            row.generation = g.integer(0);
    } catch (const SqliteError &) {
        // A database whose units were stored before compilations were counted.
    }
    return row;
}

}  // namespace

void ensureStorage(Connection &db) {
    db.exec("CREATE TABLE IF NOT EXISTS kdb_source(object_id INTEGER NOT NULL, line INTEGER NOT NULL, text TEXT, "
            "PRIMARY KEY(object_id, line));"
            "CREATE TABLE IF NOT EXISTS kdb_errors(object_id INTEGER NOT NULL, sequence INTEGER NOT NULL, "
            "line INTEGER NOT NULL, position INTEGER NOT NULL, text TEXT NOT NULL, attribute TEXT NOT NULL, "
            "message_number INTEGER NOT NULL, PRIMARY KEY(object_id, sequence));"
            "CREATE TABLE IF NOT EXISTS kdb_arguments(object_id INTEGER NOT NULL, object_name TEXT NOT NULL, "
            "package_name TEXT, overload TEXT, subprogram_id INTEGER, argument_name TEXT, position INTEGER, "
            "sequence INTEGER, data_level INTEGER, data_type TEXT, defaulted TEXT, in_out TEXT);"
            "CREATE INDEX IF NOT EXISTS kdb_arguments_object ON kdb_arguments(object_id);"
            "CREATE TABLE IF NOT EXISTS kdb_procedures(object_id INTEGER NOT NULL, procedure_name TEXT, "
            "subprogram_id INTEGER NOT NULL, overload TEXT);"
            "CREATE TABLE IF NOT EXISTS kdb_dependencies(object_id INTEGER NOT NULL, referenced_owner TEXT NOT NULL, "
            "referenced_name TEXT NOT NULL, referenced_type TEXT NOT NULL);"
            "CREATE INDEX IF NOT EXISTS kdb_dependencies_ref ON kdb_dependencies(referenced_owner, referenced_name);"
            "CREATE TABLE IF NOT EXISTS kdb_compilations(object_id INTEGER PRIMARY KEY, generation INTEGER NOT NULL);");
}

UnitCache::UnitCache(SessionCore &core) : core_(core) {}

std::shared_ptr<CompiledUnit> UnitCache::find(const std::string &owner, const std::string &name) {
    const std::string key = owner + "." + name;
    if (loading_.count(key))
        return nullptr;
    Connection &db = *core_.db;
    auto spec = objectRow(db, owner, name, "PACKAGE");
    std::string type = "PACKAGE";
    if (!spec) {
        spec = objectRow(db, owner, name, "PROCEDURE");
        type = "PROCEDURE";
    }
    if (!spec) {
        spec = objectRow(db, owner, name, "FUNCTION");
        type = "FUNCTION";
    }
    if (!spec)
        return nullptr;
    auto body = type == "PACKAGE" ? objectRow(db, owner, name, "PACKAGE BODY") : std::nullopt;
    // An invalid unit is compiled again at its next use and the outcome recorded, as ALTER ...
    // COMPILE would: VALID again when what it depends on is back, its errors otherwise.
    if (spec->status != "VALID" || (body && body->status != "VALID")) {
        loading_.insert(key);
        try {
            revalidate(owner, name, type, *spec, body);
        } catch (...) {
            loading_.erase(key);
            throw;
        }
        loading_.erase(key);
        spec = objectRow(db, owner, name, type);
        body = type == "PACKAGE" ? objectRow(db, owner, name, "PACKAGE BODY") : std::nullopt;
        if (!spec)
            return nullptr;
    }
    auto stampOf = [](const ObjectRow &r) { return r.lastDdl + r.status + "#" + std::to_string(r.generation); };
    const std::string stamp = stampOf(*spec) + (body ? "/" + stampOf(*body) : "");
    auto it = units_.find(key);
    if (it != units_.end() && it->second.stamp == stamp && referencesCurrent(*it->second.unit))
        return it->second.unit;
    loading_.insert(key);
    std::shared_ptr<CompiledUnit> unit;
    try {
        CompileOutput out;
        auto lookup = [this](const std::string &o, const std::string &n) { return find(o, n); };
        const std::string specText = sourceOf(db, spec->id);
        if (body) {
            unit = compileUnit(core_, owner, sourceOf(db, body->id), specText, lookup, out);
            if (!out.errors.empty()) {
                // Callers depend on the package specification alone: they compile against it, and a call
                // into the body in error fails when it runs.
                CompileOutput specOut;
                auto specOnly = compileUnit(core_, owner, specText, "", lookup, specOut);
                if (specOut.errors.empty()) {
                    unit = specOnly;
                    out = std::move(specOut);
                    unit->program.bodyError = 4063;
                }
            }
        } else {
            unit = compileUnit(core_, owner, specText, "", lookup, out);
            if (type == "PACKAGE")
                unit->program.bodyError = 4067;
        }
        unit->objectId = spec->id;
        unit->valid = out.errors.empty();
        unit->references = out.references;
        unit->cursors = std::move(out.cursors);
        if (unit->package) {
            unit->package->stamp = ++compileStamp;
            unit->package->specStamp = stampOf(*spec);
        }
    } catch (...) {
        loading_.erase(key);
        throw;
    }
    loading_.erase(key);
    units_[key] = {stamp, unit};
    return unit;
}

bool UnitCache::referencesCurrent(const CompiledUnit &unit) {
    for (const auto &r : unit.references) {
        auto now = find(r->program.owner, r->program.name);
        if (now != r)
            return false;
    }
    return true;
}

void UnitCache::forget(const std::string &owner, const std::string &name) { units_.erase(owner + "." + name); }

UnitCache &unitsOf(SessionCore &core) {
    SessionState &s = stateOf(core);
    if (!s.unitCache)
        s.unitCache = std::make_shared<UnitCache>(core);
    return *s.unitCache;
}

void storeUnit(SessionCore &core, const std::string &owner, const std::string &type, const std::string &name,
               const std::string &text, bool orReplace) {
    Connection &db = *core.db;
    ensureStorage(db);
    Catalog &catalog = *core.catalog;
    const int nameSpace = type == "PACKAGE BODY" ? 2 : 1;
    auto existing = catalog.findObject(owner, name, nameSpace);
    if (existing && (!orReplace || existing->type != type))
        raise(955);
    std::int64_t id;
    if (existing) {
        id = existing->id;
        catalog.touchObject(id);
    } else {
        id = catalog.addObject(owner, name, type);
        if (nameSpace != 1) {
            auto p = db.prepare("UPDATE kdb_objects SET namespace = ?2 WHERE object_id = ?1");
            bindAll(p, id, std::int64_t(nameSpace));
            p.run();
        }
    }
    {
        auto p = db.prepare("DELETE FROM kdb_source WHERE object_id = ?1");
        p.bind(1, id);
        p.run();
    }
    {
        auto p = db.prepare("INSERT INTO kdb_source(object_id, line, text) VALUES (?1, ?2, ?3)");
        std::int64_t line = 0;
        size_t start = 0;
        while (start < text.size()) {
            size_t nl = text.find('\n', start);
            std::string piece = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start + 1);
            bindAll(p, id, ++line, piece);
            p.run();
            p.reset();
            if (nl == std::string::npos)
                break;
            start = nl + 1;
        }
    }
    // Compile with the new source in place, so a body sees the stored package specification.
    const bool clean = recordCompilation(core, owner, type, name, id, text);
    // This session's state of the package goes with the old code; other sessions find out at
    // their next call (ORA-04068).
    if (type == "PACKAGE" || type == "PACKAGE BODY")
        stateOf(core).packages.erase(owner + "." + name);
    // A new package specification leaves its body to be compiled again against it.
    if (type == "PACKAGE") {
        auto b = db.prepare("UPDATE kdb_objects SET status = 'INVALID' WHERE owner = ?1 AND object_name = ?2 AND "
                            "object_type = 'PACKAGE BODY'");
        bindAll(b, owner, name);
        b.run();
    }
    if (type != "PACKAGE BODY")
        invalidateDependents(core, owner, name);
    if (!clean)
        throw CompiledWithErrors{};
}

bool recordCompilation(SessionCore &core, const std::string &owner, const std::string &type, const std::string &name,
                       std::int64_t id, const std::string &text) {
    Connection &db = *core.db;
    Catalog &catalog = *core.catalog;
    for (const char *sql : {"DELETE FROM kdb_errors WHERE object_id = ?1", "DELETE FROM kdb_arguments WHERE object_id = ?1",
                            "DELETE FROM kdb_procedures WHERE object_id = ?1",
                            "DELETE FROM kdb_dependencies WHERE object_id = ?1"}) {
        auto p = db.prepare(sql);
        p.bind(1, id);
        p.run();
    }
    {
        auto p = db.prepare("INSERT INTO kdb_compilations(object_id, generation) VALUES (?1, 1) "
                            "ON CONFLICT(object_id) DO UPDATE SET generation = generation + 1");
        p.bind(1, id);
        p.run();
    }
    CompileOutput out;
    std::string specText;
    if (type == "PACKAGE BODY") {
        auto spec = catalog.findObject(owner, name, 1);
        if (!spec || spec->type != "PACKAGE") {
            out.errors.push_back({1, 1, "PLS-00201: identifier '" + name + "' must be declared", 201});
            out.errors.push_back({0, 0, "PL/SQL: Compilation unit analysis terminated", 0});
        } else {
            specText = sourceOf(db, spec->id);
        }
    }
    UnitCache &cache = unitsOf(core);
    cache.forget(owner, name);
    std::shared_ptr<CompiledUnit> unit;
    if (out.errors.empty()) {
        auto lookup = [&](const std::string &o, const std::string &n) { return cache.find(o, n); };
        unit = compileUnit(core, owner, text, specText, lookup, out);
    }
    // Numbered in the order of their places, as listings show them (a 0/0 line first).
    std::stable_sort(out.errors.begin(), out.errors.end(), [](const CompileError &a, const CompileError &b) {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    {
        auto p = db.prepare("INSERT INTO kdb_errors(object_id, sequence, line, position, text, attribute, "
                            "message_number) VALUES (?1, ?2, ?3, ?4, ?5, 'ERROR', ?6)");
        std::int64_t seq = 0;
        for (const auto &e : out.errors) {
            bindAll(p, id, ++seq, std::int64_t(e.line), std::int64_t(e.column), e.text, std::int64_t(e.messageNumber));
            p.run();
            p.reset();
        }
    }
    if (unit && type != "PACKAGE BODY") {
        std::vector<ArgumentInfo> rows;
        for (Subprogram *s : unit->publicSubprograms)
            addArguments(rows, *s);
        auto p = db.prepare("INSERT INTO kdb_arguments(object_id, object_name, package_name, overload, subprogram_id, "
                            "argument_name, position, sequence, data_level, data_type, defaulted, in_out) VALUES "
                            "(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, 0, ?9, ?10, ?11)");
        for (const auto &r : rows) {
            p.bind(1, id).bind(2, r.objectName);
            if (type == "PACKAGE")
                p.bind(3, name);
            else
                p.bindNull(3);
            if (r.overload)
                p.bind(4, std::to_string(r.overload));
            else
                p.bindNull(4);
            p.bind(5, std::int64_t(r.subprogramId));
            if (r.argumentName.empty())
                p.bindNull(6);
            else
                p.bind(6, r.argumentName);
            p.bind(7, std::int64_t(r.position)).bind(8, std::int64_t(r.sequence)).bind(9, r.dataType);
            p.bind(10, std::string(r.defaulted ? "Y" : "N")).bind(11, r.inOut);
            p.run();
            p.reset();
        }
        auto q = db.prepare("INSERT INTO kdb_procedures(object_id, procedure_name, subprogram_id, overload) "
                            "VALUES (?1, ?2, ?3, ?4)");
        bindAll(q, id);
        q.bindNull(2).bind(3, std::int64_t(0)).bindNull(4);
        q.run();
        q.reset();
        if (type == "PACKAGE")
            for (Subprogram *s : unit->publicSubprograms) {
                q.bind(1, id).bind(2, s->name).bind(3, std::int64_t(s->subprogramId));
                if (s->overload)
                    q.bind(4, std::to_string(s->overload));
                else
                    q.bindNull(4);
                q.run();
                q.reset();
            }
    }
    {
        auto p = db.prepare("INSERT INTO kdb_dependencies(object_id, referenced_owner, referenced_name, "
                            "referenced_type) VALUES (?1, ?2, ?3, ?4)");
        for (const auto &d : out.dependencies) {
            bindAll(p, id, d.owner, d.name, d.type);
            p.run();
            p.reset();
        }
    }
    auto status = db.prepare("UPDATE kdb_objects SET status = ?2 WHERE object_id = ?1");
    bindAll(status, id, std::string(out.errors.empty() ? "VALID" : "INVALID"));
    status.run();
    return out.errors.empty();
}

void UnitCache::revalidate(const std::string &owner, const std::string &name, const std::string &type,
                           const ObjectRow &spec, const std::optional<ObjectRow> &body) {
    Connection &db = *core_.db;
    // Inside the caller's transaction when there is one, on its own otherwise.
    db.exec("SAVEPOINT kdb_revalidate");
    try {
        ensureStorage(db);
        auto compile = [&](const ObjectRow &row, const std::string &rowType) {
            if (row.status == "VALID")
                return true;
            const bool clean = recordCompilation(core_, owner, rowType, name, row.id, sourceOf(db, row.id));
            if (clean)
                core_.catalog->touchObject(row.id);
            return clean;
        };
        if (compile(spec, type) && body)
            compile(*body, "PACKAGE BODY");
        db.exec("RELEASE kdb_revalidate");
    } catch (...) {
        try {
            db.exec("ROLLBACK TO kdb_revalidate; RELEASE kdb_revalidate");
        } catch (...) {
        }
    }
}

void dropUnit(SessionCore &core, const std::string &owner, const std::string &type, const std::string &name) {
    Connection &db = *core.db;
    ensureStorage(db);
    auto row = objectRow(db, owner, name, type);
    if (!row)
        raise(4043, -1, {name});
    std::vector<std::int64_t> ids{row->id};
    if (type == "PACKAGE")
        if (auto body = objectRow(db, owner, name, "PACKAGE BODY"))
            ids.push_back(body->id);
    for (auto id : ids) {
        for (const char *sql : {"DELETE FROM kdb_source WHERE object_id = ?1", "DELETE FROM kdb_errors WHERE object_id = ?1",
                                "DELETE FROM kdb_compilations WHERE object_id = ?1",
                                "DELETE FROM kdb_arguments WHERE object_id = ?1",
                                "DELETE FROM kdb_procedures WHERE object_id = ?1",
                                "DELETE FROM kdb_dependencies WHERE object_id = ?1"}) {
            auto p = db.prepare(sql);
            p.bind(1, id);
            p.run();
        }
        core.catalog->removeObject(id);
    }
    unitsOf(core).forget(owner, name);
    stateOf(core).packages.erase(owner + "." + name);
    if (type != "PACKAGE BODY")
        invalidateDependents(core, owner, name);
}

void invalidateDependents(SessionCore &core, const std::string &owner, const std::string &name) {
    Connection &db = *core.db;
    if (!db.queryInt("SELECT count(*) FROM sqlite_master WHERE name = 'kdb_dependencies'"))
        return;
    // Everything that depends on the object, directly or through other units.
    auto p = db.prepare(
        "WITH RECURSIVE dep(id) AS (SELECT d.object_id FROM kdb_dependencies d WHERE d.referenced_owner = ?1 AND "
        "d.referenced_name = ?2 UNION SELECT d.object_id FROM kdb_dependencies d JOIN kdb_objects o ON "
        "o.owner = d.referenced_owner AND o.object_name = d.referenced_name JOIN dep ON dep.id = o.object_id) "
        "UPDATE kdb_objects SET status = 'INVALID' WHERE object_id IN (SELECT id FROM dep)");
    bindAll(p, owner, name);
    p.run();
}

}  // namespace localdb::plsql
