// Generation of SQLite tables, indexes and constraint triggers from the catalogue.
#include "localdb/catalog/physical.h"

#include "localdb/sql/binder.h"
#include "localdb/system/connection.h"
#include "localdb/sql/emitter.h"
#include "localdb/sql/expr_walk.h"
#include "localdb/system/errors.h"
#include "localdb/sql/parser.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace localdb {
namespace {

std::string checkSql(NameResolver &names, const TableInfo &t, const std::string &condition, bool virtualColumn) {
    Parser p(condition);
    ExprPtr e = p.expression();
    requireOwnRow(*e, virtualColumn);
    Binder binder(names);
    binder.allowSequences(false);
    BoundBlock block;
    Source s;
    s.alias = t.name;
    for (const auto &c : t.columns)
        s.columns.push_back({c.name, Type::of(c.type)});
    block.sources.push_back(s);
    Scope scope;
    scope.block = &block;
    binder.bindExpr(e, scope);
    return emitExpression(*e);
}

std::string raiseText(int code, const std::string &constraint) {
    return quoteText(formatOracleMessage(code, {constraint}));
}

std::string columnsEqual(const std::string &leftPrefix, const std::vector<std::string> &left,
                         const std::string &rightPrefix, const std::vector<std::string> &right, const char *op = " = ") {
    std::string out;
    for (size_t i = 0; i < left.size() && i < right.size(); ++i)
        out += (i ? " AND " : "") + leftPrefix + quoteIdent(left[i]) + op + rightPrefix + quoteIdent(right[i]);
    return out;
}

// "kdb_engine:fk_insert:SCOTT.FK_DEPTNO": the trigger's part in the engine's work, and the
// constraint or table it serves.
std::string engineTrigger(const std::string &part, const std::string &object) {
    return quoteIdent(kEngineTriggerPrefix + part + ":" + object);
}

// SET v1 = (expression), ... for the table's virtual columns; empty when it has none.
std::string virtualAssignments(NameResolver &names, const TableInfo &t) {
    std::string set;
    for (const auto &c : t.columns)
        if (c.isVirtual)
            set += (set.empty() ? "" : ", ") + quoteIdent(c.name) + " = (" + checkSql(names, t, c.defaultText, true) +
                   ")";
    return set;
}

// Virtual columns are kept computed: after a row is inserted, and after any other column of it
// changes, each is set from its expression over the same row.
void syncVirtualColumns(NameResolver &names) {
    Catalog &catalog = names.catalog();
    Connection &db = catalog.connection();
    std::vector<std::int64_t> tables;
    {
        auto p = db.prepare("SELECT DISTINCT x.object_id FROM kdb_column_extras x JOIN kdb_objects o ON "
                            "o.object_id = x.object_id WHERE x.virtual = 'Y' AND o.object_type = 'TABLE'");
        while (p.step())
            tables.push_back(p.integer(0));
    }
    for (std::int64_t id : tables) {
        auto t = catalog.table(id);
        const std::string set = virtualAssignments(names, *t);
        std::string written;
        for (const auto &c : t->columns)
            if (!c.isVirtual)
                written += (written.empty() ? "" : ", ") + quoteIdent(c.name);
        const std::string table = t->physicalName();
        const std::string body = " BEGIN UPDATE " + table + " SET " + set + " WHERE rowid = NEW.rowid; END";
        const std::string qualified = t->owner + "." + t->name;
        db.exec("CREATE TRIGGER " + engineTrigger("virtual_insert", qualified) + " AFTER INSERT ON " + table + body);
        if (!written.empty())
            db.exec("CREATE TRIGGER " + engineTrigger("virtual_update", qualified) + " AFTER UPDATE OF " + written +
                    " ON " + table + body);
    }
}

}  // namespace

void requireOwnRow(const Expr &condition, bool virtualColumn) {
    visitExpressions(condition, [&](const Expr &e, int) {
        const bool counter = e.kind == ExprKind::Column && e.name.parts.size() == 1 &&
                             (e.name.parts[0] == "ROWNUM" || e.name.parts[0] == "LEVEL");
        if (counter)
            raise(virtualColumn ? 54002 : 2436, e.offset);
        if (e.query && !virtualColumn)
            raise(2251, e.offset);
    });
}

void refreshVirtualColumns(NameResolver &names, std::int64_t tableId) {
    auto t = names.catalog().table(tableId);
    const std::string set = virtualAssignments(names, *t);
    if (!set.empty())
        names.catalog().connection().exec("UPDATE " + t->physicalName() + " SET " + set);
}

bool isNotNullCondition(const std::string &searchCondition, const std::string &column) {
    return searchCondition == "\"" + column + "\" IS NOT NULL";
}

void buildTable(NameResolver &names, std::int64_t tableId) {
    Catalog &catalog = names.catalog();
    Connection &db = catalog.connection();
    catalog.invalidate();
    auto t = catalog.table(tableId);
    const std::string physical = t->physicalName();
    std::string sql = " (";
    for (size_t i = 0; i < t->columns.size(); ++i) {
        const auto &c = t->columns[i];
        sql += (i ? ", " : "") + quoteIdent(c.name);
        if (!c.nullable)
            sql += " NOT NULL";
    }
    for (const auto &k : catalog.constraintsOf(tableId)) {
        if (k.type != 'C' || !k.enabled)
            continue;
        if (k.columns.size() == 1 && isNotNullCondition(k.searchCondition, k.columns[0]))
            continue;
        sql += ", CONSTRAINT " + quoteIdent(k.owner + "." + k.name) + " CHECK (" +
               checkSql(names, *t, k.searchCondition, false) + ")";
    }
    sql += ")";
    bool exists = db.queryInt("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = " +
                              quoteText(t->owner + "." + t->name)) > 0;
    if (!exists) {
        db.exec("CREATE TABLE " + physical + sql);
        return;
    }
    const std::string temp = quoteIdent(t->owner + "." + t->name + " kdb_rebuild");
    std::vector<std::string> old;
    {
        auto p = db.prepare("SELECT name FROM pragma_table_info(?1)");
        p.bind(1, t->owner + "." + t->name);
        while (p.step())
            old.push_back(p.text(0));
    }
    std::string common;
    for (const auto &c : t->columns)
        for (const auto &o : old)
            if (o == c.name)
                common += (common.empty() ? "" : ", ") + quoteIdent(c.name);
    db.exec("DROP TABLE IF EXISTS " + temp);
    db.exec("CREATE TABLE " + temp + sql);
    if (!common.empty())
        db.exec("INSERT INTO " + temp + " (" + common + ") SELECT " + common + " FROM " + physical + " ORDER BY rowid");
    // Views and triggers naming the table must not be checked while it is briefly missing.
    db.exec("PRAGMA legacy_alter_table = ON");
    try {
        db.exec("DROP TABLE " + physical);
        db.exec("ALTER TABLE " + temp + " RENAME TO " + physical);
    } catch (...) {
        db.exec("PRAGMA legacy_alter_table = OFF");
        throw;
    }
    db.exec("PRAGMA legacy_alter_table = OFF");
}

void syncIndexes(NameResolver &names, std::int64_t tableId) {
    Catalog &catalog = names.catalog();
    Connection &db = catalog.connection();
    auto t = catalog.table(tableId);
    std::vector<std::string> existing;
    {
        auto p = db.prepare("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 AND sql IS NOT NULL");
        p.bind(1, t->owner + "." + t->name);
        while (p.step())
            existing.push_back(p.text(0));
    }
    for (const auto &name : existing)
        db.exec("DROP INDEX " + quoteIdent(name));
    struct Index {
        std::string name;
        bool unique;
        std::vector<std::string> columns;
        std::vector<std::string> order;
    };
    std::vector<Index> indexes;
    {
        auto p = db.prepare("SELECT x.object_id, o.owner, o.object_name, x.uniqueness FROM kdb_indexes x JOIN "
                            "kdb_objects o ON o.object_id = x.object_id WHERE x.table_id = ?1");
        p.bind(1, tableId);
        while (p.step()) {
            Index ix{p.text(1) + "." + p.text(2), p.text(3) == "UNIQUE", {}, {}};
            auto c = db.prepare("SELECT column_name, descend FROM kdb_ind_columns WHERE index_id = ?1 ORDER BY column_position");
            c.bind(1, p.integer(0));
            while (c.step()) {
                ix.columns.push_back(c.text(0));
                ix.order.push_back(c.text(1));
            }
            indexes.push_back(std::move(ix));
        }
    }
    for (const auto &k : catalog.constraintsOf(tableId)) {
        if ((k.type != 'P' && k.type != 'U') || !k.enabled)
            continue;
        bool enforced = false;
        for (const auto &ix : indexes)
            if (ix.unique && ix.columns == k.columns)
                enforced = true;
        if (!enforced)
            indexes.push_back({k.owner + "." + k.name + " kdb_key", true, k.columns, {}});
    }
    for (const auto &ix : indexes) {
        std::string sql = std::string(ix.unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") + quoteIdent(ix.name) +
                          " ON " + t->physicalName() + " (";
        for (size_t i = 0; i < ix.columns.size(); ++i)
            sql += (i ? ", " : "") + quoteIdent(ix.columns[i]) + (i < ix.order.size() && ix.order[i] == "DESC" ? " DESC" : "");
        db.exec(sql + ")");
    }
}

void refreshNullability(NameResolver &names, std::int64_t tableId) {
    Catalog &catalog = names.catalog();
    catalog.invalidate();
    auto t = catalog.table(tableId);
    std::vector<ColumnInfo> columns = t->columns;
    auto constraints = catalog.constraintsOf(tableId);
    for (auto &c : columns) {
        c.nullable = true;
        for (const auto &k : constraints) {
            if (!k.enabled)
                continue;
            bool inKey = k.type == 'P' && std::find(k.columns.begin(), k.columns.end(), c.name) != k.columns.end();
            bool notNull = k.type == 'C' && k.columns.size() == 1 && k.columns[0] == c.name &&
                           isNotNullCondition(k.searchCondition, c.name);
            if (inKey || notNull)
                c.nullable = false;
        }
    }
    catalog.setColumns(tableId, columns);
}

void syncTriggers(NameResolver &names) {
    Catalog &catalog = names.catalog();
    Connection &db = catalog.connection();
    std::vector<std::string> old;
    {
        // Only the engine's own triggers are the synchroniser's: other triggers on the tables
        // stay. Databases of earlier versions named them kdb_uk_, kdb_fk_ and kdb_virtual_.
        auto p = db.prepare("SELECT name FROM sqlite_master WHERE type = 'trigger' AND (substr(name, 1, ?1) = ?2 "
                            "OR name LIKE 'kdb!_uk!_%' ESCAPE '!' OR name LIKE 'kdb!_fk!_%' ESCAPE '!' "
                            "OR name LIKE 'kdb!_virtual!_%' ESCAPE '!')");
        p.bind(1, std::int64_t(std::string_view(kEngineTriggerPrefix).size()));
        p.bind(2, kEngineTriggerPrefix);
        while (p.step())
            old.push_back(p.text(0));
    }
    for (const auto &name : old)
        db.exec("DROP TRIGGER " + quoteIdent(name));
    syncVirtualColumns(names);
    std::vector<ConstraintInfo> keys;
    {
        auto p = db.prepare("SELECT owner, constraint_name FROM kdb_constraints WHERE status = 'ENABLED' AND "
                            "(constraint_type = 'R' OR constraint_type = 'U')");
        std::vector<std::pair<std::string, std::string>> ids;
        while (p.step())
            ids.emplace_back(p.text(0), p.text(1));
        for (const auto &[owner, name] : ids)
            keys.push_back(*catalog.constraint(owner, name));
    }
    for (const auto &k : keys) {
        auto child = catalog.table(k.tableId);
        const std::string childTable = child->physicalName();
        const std::string qualified = k.owner + "." + k.name;
        if (k.type == 'U') {
            if (k.columns.size() < 2)
                continue;
            // Oracle indexes a key that is only partly NULL: (1, NULL) twice is a duplicate.
            std::string anyNull, anySet;
            for (size_t i = 0; i < k.columns.size(); ++i) {
                anyNull += (i ? " OR " : "") + std::string("NEW.") + quoteIdent(k.columns[i]) + " IS NULL";
                anySet += (i ? " OR " : "") + std::string("NEW.") + quoteIdent(k.columns[i]) + " IS NOT NULL";
            }
            std::string body = " BEGIN SELECT RAISE(ABORT, " + raiseText(1, qualified) + ") WHERE EXISTS (SELECT 1 FROM " +
                               childTable + " AS x WHERE " + columnsEqual("x.", k.columns, "NEW.", k.columns, " IS ");
            for (const char *event : {"INSERT", "UPDATE"}) {
                std::string extra = std::string(event) == "UPDATE" ? " AND x.rowid <> NEW.rowid" : "";
                db.exec("CREATE TRIGGER " + engineTrigger("uk_" + std::string(event), qualified) + " BEFORE " +
                        event + " ON " + childTable + " WHEN (" + anySet + ") AND (" + anyNull + ")" + body + extra +
                        "); END");
            }
            continue;
        }
        auto referenced = catalog.constraint(k.refOwner, k.refName);
        if (!referenced)
            continue;
        auto parent = catalog.table(referenced->tableId);
        const std::string parentTable = parent->physicalName();
        std::string allSet, changed;
        for (size_t i = 0; i < k.columns.size(); ++i)
            allSet += (i ? " AND " : "") + std::string("NEW.") + quoteIdent(k.columns[i]) + " IS NOT NULL";
        std::string parentMatch = columnsEqual("p.", referenced->columns, "NEW.", k.columns);
        std::string childOf = columnsEqual("c.", k.columns, "OLD.", referenced->columns);
        std::string cols;
        for (size_t i = 0; i < k.columns.size(); ++i)
            cols += (i ? ", " : "") + quoteIdent(k.columns[i]);
        std::string checkParent = " BEGIN SELECT RAISE(ABORT, " + raiseText(2291, qualified) +
                                  ") WHERE NOT EXISTS (SELECT 1 FROM " + parentTable + " AS p WHERE " + parentMatch +
                                  "); END";
        db.exec("CREATE TRIGGER " + engineTrigger("fk_insert", qualified) + " BEFORE INSERT ON " + childTable +
                " WHEN " + allSet + checkParent);
        db.exec("CREATE TRIGGER " + engineTrigger("fk_update", qualified) + " BEFORE UPDATE OF " + cols + " ON " +
                childTable + " WHEN " + allSet + checkParent);
        std::string pcols;
        for (size_t i = 0; i < referenced->columns.size(); ++i) {
            pcols += (i ? ", " : "") + quoteIdent(referenced->columns[i]);
            changed += (i ? " OR " : "") + std::string("OLD.") + quoteIdent(referenced->columns[i]) + " IS NOT NEW." +
                       quoteIdent(referenced->columns[i]);
        }
        const std::string childRows = "SELECT 1 FROM " + childTable + " AS c WHERE " + childOf;
        if (k.deleteRule == "CASCADE") {
            db.exec("CREATE TRIGGER " + engineTrigger("fk_delete", qualified) + " AFTER DELETE ON " + parentTable +
                    " BEGIN DELETE FROM " + childTable + " WHERE " + columnsEqual("", k.columns, "OLD.", referenced->columns) +
                    "; END");
        } else if (k.deleteRule == "SET NULL") {
            std::string setNull;
            for (size_t i = 0; i < k.columns.size(); ++i)
                setNull += (i ? ", " : "") + quoteIdent(k.columns[i]) + " = NULL";
            db.exec("CREATE TRIGGER " + engineTrigger("fk_delete", qualified) + " AFTER DELETE ON " + parentTable +
                    " BEGIN UPDATE " + childTable + " SET " + setNull + " WHERE " +
                    columnsEqual("", k.columns, "OLD.", referenced->columns) + "; END");
        } else {
            db.exec("CREATE TRIGGER " + engineTrigger("fk_delete", qualified) + " BEFORE DELETE ON " + parentTable +
                    " BEGIN SELECT RAISE(ABORT, " + raiseText(2292, qualified) + ") WHERE EXISTS (" + childRows + "); END");
        }
        db.exec("CREATE TRIGGER " + engineTrigger("fk_key", qualified) + " BEFORE UPDATE OF " + pcols + " ON " +
                parentTable + " WHEN " + changed + " BEGIN SELECT RAISE(ABORT, " + raiseText(2292, qualified) +
                ") WHERE EXISTS (" + childRows + "); END");
    }
}

}  // namespace localdb
