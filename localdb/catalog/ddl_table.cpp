// DDL of tables: CREATE TABLE (with constraints, and AS SELECT), ALTER TABLE, DROP TABLE and
// TRUNCATE.
#include "localdb/sql/binder.h"
#include "localdb/system/connection.h"
#include "localdb/catalog/ddl_internal.h"
#include "localdb/sql/emitter.h"
#include "localdb/system/errors.h"
#include "localdb/sql/parser.h"
#include "localdb/catalog/physical.h"
#include "localdb/sql/tokenizer.h"
#include "localdb/sql/translate.h"

#include <algorithm>
#include <functional>
#include <set>

namespace localdb::ddl {
namespace {

bool constraintNameTaken(Catalog &catalog, const std::string &owner, const std::string &name) {
    return catalog.constraint(owner, name).has_value();
}

// The table's index whose columns are exactly these, if any.
std::optional<std::pair<std::int64_t, std::string>> indexOn(Connection &db, std::int64_t tableId,
                                                            const std::vector<std::string> &columns, bool *unique) {
    auto p = db.prepare("SELECT x.object_id, o.object_name, x.uniqueness FROM kdb_indexes x JOIN kdb_objects o ON "
                        "o.object_id = x.object_id WHERE x.table_id = ?1");
    p.bind(1, tableId);
    std::vector<std::tuple<std::int64_t, std::string, bool>> all;
    while (p.step())
        all.emplace_back(p.integer(0), p.text(1), p.text(2) == "UNIQUE");
    for (auto &[id, name, isUnique] : all) {
        std::vector<std::string> cols;
        auto c = db.prepare("SELECT column_name FROM kdb_ind_columns WHERE index_id = ?1 ORDER BY column_position");
        c.bind(1, id);
        while (c.step())
            cols.push_back(c.text(0));
        if (cols == columns) {
            if (unique)
                *unique = isUnique;
            return std::make_pair(id, name);
        }
    }
    return std::nullopt;
}

std::string columnList(const std::vector<std::string> &cols, const std::string &prefix = "") {
    std::string out;
    for (size_t i = 0; i < cols.size(); ++i)
        out += (i ? ", " : "") + prefix + quoteIdent(cols[i]);
    return out;
}

// A check condition's text with every reference to a renamed column written as the new name,
// quoted; the rest of the text stays as the user wrote it. Function names are left alone.
std::string renameInCondition(const std::string &text, const std::string &from, const std::string &to) {
    std::vector<Token> tokens = tokenize(text);
    std::string out;
    size_t copied = 0;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token &k = tokens[i];
        if ((k.kind != TokenKind::Identifier && k.kind != TokenKind::QuotedIdentifier) || k.text != from)
            continue;
        if (i + 1 < tokens.size() && tokens[i + 1].isOperator("("))
            continue;
        out += text.substr(copied, size_t(k.offset) - copied) + quoteIdent(to);
        copied = size_t(k.end());
    }
    return out + text.substr(copied);
}

// Whether a NUMBER(p,s) could hold fewer digits before or after the point than before.
bool narrowsNumber(const TypeSpec &from, const TypeSpec &to) {
    if (from.name != "NUMBER" || to.name != "NUMBER" || to.precision == TypeSpec::None)
        return false;
    if (from.precision == TypeSpec::None)
        return true;
    const int fromScale = from.scale == TypeSpec::None ? 0 : from.scale;
    const int toScale = to.scale == TypeSpec::None ? 0 : to.scale;
    return toScale < fromScale || to.precision - toScale < from.precision - fromScale;
}

// ALTER TABLE MODIFY keeps the stored values as they are: a new type family or fewer number
// digits needs a column holding only nulls, and a shorter text every value to fit, counted in
// the database character set (a kanji is two bytes of code page 932) or in characters.
void checkTypeChange(Connection &db, const TableInfo &t, const ColumnInfo &c, const ColumnDef &def) {
    const std::string column = quoteIdent(c.name);
    auto anyValue = [&](const std::string &condition) {
        return db.queryInt("SELECT count(*) FROM (SELECT 1 FROM " + t.physicalName() + " WHERE " + column +
                           " IS NOT NULL" + condition + " LIMIT 1)") != 0;
    };
    const BaseType base = baseTypeOf(def.type);
    if (base != baseTypeOf(c.type)) {
        if (anyValue(""))
            raise(1439, def.offset);
        return;
    }
    if (narrowsNumber(c.type, def.type) && anyValue(""))
        raise(1440, def.offset);
    const bool limited = def.type.name != "LONG" && def.type.name != "CLOB";
    if (base == BaseType::Text && limited &&
        anyValue(" AND kdb_stored_length(" + column + ", " + (def.type.charSemantics ? "1" : "0") + ") > " +
                 std::to_string(def.type.length)))
        raise(1441, def.offset);
}

void collectColumns(const Expr *e, const TableInfo &t, std::vector<std::string> &out) {
    if (!e)
        return;
    if (e->kind == ExprKind::Column && t.columnIndex(e->name.last()) >= 0 &&
        std::find(out.begin(), out.end(), e->name.last()) == out.end())
        out.push_back(e->name.last());
    for (const auto &a : e->args)
        collectColumns(a.get(), t, out);
    for (size_t i = 0; i < e->whens.size(); ++i) {
        collectColumns(e->whens[i].get(), t, out);
        collectColumns(e->thens[i].get(), t, out);
    }
    collectColumns(e->elseExpr.get(), t, out);
}

// Existing rows must satisfy a constraint being added or enabled.
void validateConstraint(NameResolver &names, const TableInfo &t, const ConstraintInfo &k) {
    Connection &db = names.catalog().connection();
    const std::string table = t.physicalName();
    const std::string qualified = k.owner + "." + k.name;
    if (k.type == 'P' || k.type == 'U') {
        std::string notNull;
        for (size_t i = 0; i < k.columns.size(); ++i)
            notNull += (i ? " OR " : "") + quoteIdent(k.columns[i]) + " IS NOT NULL";
        if (db.queryInt("SELECT count(*) FROM (SELECT 1 FROM " + table + " WHERE " + notNull + " GROUP BY " +
                        columnList(k.columns) + " HAVING count(*) > 1)"))
            raise(k.type == 'P' ? 2437 : 2299, -1, {qualified});
        if (k.type == 'P') {
            std::string anyNull;
            for (size_t i = 0; i < k.columns.size(); ++i)
                anyNull += (i ? " OR " : "") + quoteIdent(k.columns[i]) + " IS NULL";
            if (db.queryInt("SELECT count(*) FROM " + table + " WHERE " + anyNull))
                raise(2437, -1, {qualified});
        }
    } else if (k.type == 'R') {
        auto referenced = names.catalog().constraint(k.refOwner, k.refName);
        auto parent = names.catalog().table(referenced->tableId);
        std::string allSet, match;
        for (size_t i = 0; i < k.columns.size(); ++i) {
            allSet += (i ? " AND " : "") + std::string("c.") + quoteIdent(k.columns[i]) + " IS NOT NULL";
            match += (i ? " AND " : "") + std::string("p.") + quoteIdent(referenced->columns[i]) + " = c." +
                     quoteIdent(k.columns[i]);
        }
        if (db.queryInt("SELECT count(*) FROM " + table + " AS c WHERE " + allSet + " AND NOT EXISTS (SELECT 1 FROM " +
                        parent->physicalName() + " AS p WHERE " + match + ")"))
            raise(2298, -1, {qualified});
    } else if (k.type == 'C') {
        Parser p(k.searchCondition);
        ExprPtr e = p.expression();
        requireOwnRow(*e, false);
        Binder binder(names);
        BoundBlock block;
        Source s;
        s.alias = t.name;
        for (const auto &c : t.columns)
            s.columns.push_back({c.name, Type::of(c.type)});
        block.sources.push_back(s);
        Scope scope;
        scope.block = &block;
        binder.bindExpr(e, scope);
        if (db.queryInt("SELECT count(*) FROM " + table + " WHERE NOT (" + emitExpression(*e) + ")")) {
            if (k.columns.size() == 1 && isNotNullCondition(k.searchCondition, k.columns[0]))
                raise(2296, -1, {qualified});
            raise(2293, -1, {qualified});
        }
    }
}

// Identity columns get their system sequence ISEQ$$_<table id> and a NOT NULL constraint;
// DEFAULT ON NULL columns are NOT NULL too.
// defs are the definitions of columns[firstColumn...].
void addIdentities(std::vector<ColumnDef> &defs, std::vector<ColumnInfo> &columns, size_t firstColumn,
                   const std::string &owner, std::int64_t tableId, SessionCore &core, NameResolver &names) {
    bool seen = false;
    for (size_t i = 0; i < firstColumn && i < columns.size(); ++i)
        seen = seen || !columns[i].identity.empty();
    for (size_t i = 0; i < defs.size() && firstColumn + i < columns.size(); ++i) {
        ColumnDef &def = defs[i];
        ColumnInfo &c = columns[firstColumn + i];
        if (def.defaultOnNull)
            def.notNull = true;
        if (def.identity.empty())
            continue;
        if (seen)
            raise(30669, def.offset);
        seen = true;
        if (baseTypeOf(c.type) != BaseType::Number || !def.hasType)
            raise(30675, def.offset);
        if (def.hasDefault)
            raise(30674, def.offset);
        const std::string sequence = "ISEQ$$_" + std::to_string(tableId);
        auto made = parseStatement("CREATE SEQUENCE \"" + owner + "\".\"" + sequence + "\" " + def.identityOptions);
        createSequence(*made->createSequence, names, false, core);
        auto seq = names.catalog().findObject(owner, sequence);
        names.catalog().connection().exec("UPDATE kdb_objects SET generated = 'Y' WHERE object_id = " +
                                          std::to_string(seq->id));
        c.identitySequence = seq->id;
        auto start = names.catalog().connection().prepare("SELECT last_number FROM kdb_sequences WHERE object_id = ?1");
        start.bind(1, seq->id);
        if (start.step())
            c.identityStart = start.text(0);
        c.hasDefault = true;
        c.defaultText = "\"" + owner + "\".\"" + sequence + "\".nextval";
        def.notNull = true;
    }
}

}  // namespace

void addConstraints(NameResolver &names, std::int64_t tableId, const std::string &owner, const std::string &table,
                    std::vector<ConstraintDef> &constraints, const std::vector<ColumnDef> *notNullColumns,
                    bool validate) {
    Catalog &catalog = names.catalog();
    Connection &db = catalog.connection();
    catalog.invalidate();
    auto t = catalog.table(tableId);
    auto named = [&](const std::string &given, int offset, bool &generated) {
        if (given.empty()) {
            generated = true;
            return catalog.newConstraintName();
        }
        if (constraintNameTaken(catalog, owner, given))
            raise(2264, offset);
        generated = false;
        return given;
    };
    if (notNullColumns) {
        for (const auto &c : *notNullColumns) {
            if (!c.notNull)
                continue;
            ConstraintInfo k;
            k.owner = owner;
            k.tableId = tableId;
            k.type = 'C';
            k.name = named(c.notNullName, c.offset, k.generated);
            k.searchCondition = "\"" + c.name + "\" IS NOT NULL";
            k.columns = {c.name};
            if (validate)
                validateConstraint(names, *t, k);
            catalog.addConstraint(k);
        }
    }
    for (auto &c : constraints) {
        ConstraintInfo k;
        k.owner = owner;
        k.tableId = tableId;
        k.type = c.type;
        k.enabled = !c.disabled;
        for (const auto &col : c.columns)
            if (t->columnIndex(col) < 0)
                raise(904, c.offset, {"\"" + col + "\""});
        k.columns = c.columns;
        if (c.type == 'P' || c.type == 'U') {
            for (const auto &other : catalog.constraintsOf(tableId)) {
                if (c.type == 'P' && other.type == 'P')
                    raise(2260, c.offset);
                if ((other.type == 'P' || other.type == 'U') && other.columns == c.columns)
                    raise(2261, c.offset);
            }
        }
        k.name = named(c.name, c.offset, k.generated);
        if (c.type == 'C') {
            k.searchCondition = c.checkText;
            collectColumns(c.check.get(), *t, k.columns);
        } else if (c.type == 'R') {
            auto target = names.target(c.refTable);
            std::shared_ptr<const TableInfo> parent;
            if (target.first == owner && target.second == table) {
                parent = t;
            } else {
                ResolvedObject r = names.table(c.refTable, "REFERENCES");
                if (r.table->isView())
                    raise(2270, c.refTable.offset());
                parent = r.table;
            }
            std::vector<std::string> refColumns = c.refColumns;
            std::optional<ConstraintInfo> key;
            for (const auto &pk : catalog.constraintsOf(parent->id)) {
                if (refColumns.empty() && pk.type == 'P')
                    key = pk;
                else if (!refColumns.empty() && (pk.type == 'P' || pk.type == 'U') && pk.columns == refColumns)
                    key = pk;
            }
            if (!key || key->columns.size() != k.columns.size())
                raise(2270, c.offset);
            k.refOwner = key->owner;
            k.refName = key->name;
            k.deleteRule = c.deleteRule;
        }
        if ((c.type == 'P' || c.type == 'U')) {
            bool unique = false;
            std::optional<std::pair<std::int64_t, std::string>> existing;
            if (!c.usingIndex.empty()) {
                existing = indexOn(db, tableId, k.columns, &unique);
                if (!existing || existing->second != c.usingIndex)
                    raise(1418, c.offset);
            } else {
                existing = indexOn(db, tableId, k.columns, &unique);
            }
            if (k.enabled && validate)
                validateConstraint(names, *t, k);
            if (existing) {
                k.indexName = existing->second;
            } else if (k.enabled) {
                if (catalog.findObject(owner, k.name, 4))
                    raise(955, c.offset);
                std::int64_t indexId = catalog.addObject(owner, k.name, "INDEX", k.generated);
                catalog.addIndex(indexId, tableId, true, k.columns, {});
                k.indexName = k.name;
            }
        } else if (k.enabled && validate) {
            validateConstraint(names, *t, k);
        }
        catalog.addConstraint(k);
    }
}

void createTable(Statement &st, const std::string &sql, SessionCore &core, NameResolver &names) {
    CreateTableStmt &ct = *st.createTable;
    Catalog &catalog = names.catalog();
    Connection &db = catalog.connection();
    auto [owner, name] = creationTarget(names, ct.table);
    checkNameFree(catalog, owner, name, ct.table.offsets.back());
    std::vector<ColumnInfo> columns;
    if (ct.asQuery) {
        auto fresh = parseStatement(sql);
        Binder binder(names);
        Query &q = *fresh->createTable->asQuery;
        binder.bindQuery(q);
        if (!ct.columns.empty() && ct.columns.size() != q.outputs.size())
            raise(1730, ct.table.offset());
        for (size_t i = 0; i < q.outputs.size(); ++i) {
            ColumnInfo c;
            c.name = ct.columns.empty() ? q.outputs[i].name : ct.columns[i].name;
            for (char ch : c.name)
                if (!(std::isalnum(static_cast<unsigned char>(ch)) || ch == '_' || ch == '$' || ch == '#' ||
                      static_cast<unsigned char>(ch) >= 0x80))
                    raise(998, q.offset);
            const Type &type = q.outputs[i].type;
            if (type.hasSpec) {
                c.type = type.spec;
            } else if (type.isNumber()) {
                c.type = TypeSpec{};
            } else if (type.isDate()) {
                c.type.name = "DATE";
                c.type.length = 7;
            } else if (type.base == BaseType::Raw) {
                c.type.name = "RAW";
                c.type.length = 2000;
            } else {
                c.type.name = "VARCHAR2";
                c.type.length = 4000;
            }
            columns.push_back(c);
        }
    } else {
        for (const auto &def : ct.columns)
            columns.push_back(columnInfo(def));
    }
    for (size_t i = 0; i < columns.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            if (columns[i].name == columns[j].name)
                raise(957, i < ct.columns.size() ? ct.columns[i].offset : ct.table.offset());
    std::int64_t id = catalog.addObject(owner, name, "TABLE");
    if (ct.temporary)
        db.exec("UPDATE kdb_objects SET temporary = 'Y' WHERE object_id = " + std::to_string(id));
    if (!ct.asQuery)
        addIdentities(ct.columns, columns, 0, owner, id, core, names);
    catalog.setColumns(id, columns);
    addConstraints(names, id, owner, name, ct.constraints, &ct.columns, false);
    refreshNullability(names, id);
    buildTable(names, id);
    syncIndexes(names, id);
    syncTriggers(names);
    if (ct.asQuery) {
        auto fresh = parseStatement(sql);
        Statement insert;
        insert.kind = Statement::Insert;
        insert.insert = std::make_unique<InsertStmt>();
        insert.insert->table.parts = {owner, name};
        insert.insert->table.offsets = {ct.table.offset(), ct.table.offset()};
        insert.insert->query = std::move(fresh->createTable->asQuery);
        catalog.invalidate();
        auto compiled = compileStatement(insert, names);
        for (const auto &step : compiled->steps)
            db.prepare(step).run();
    }
}

void dropTableObject(NameResolver &names, std::int64_t id) {
    Catalog &catalog = names.catalog();
    Connection &db = catalog.connection();
    auto t = catalog.table(id);
    std::vector<std::int64_t> indexes;
    {
        auto p = db.prepare("SELECT object_id FROM kdb_indexes WHERE table_id = ?1");
        p.bind(1, id);
        while (p.step())
            indexes.push_back(p.integer(0));
    }
    for (auto ix : indexes)
        catalog.removeObject(ix);
    for (const auto &c : t->columns)
        if (c.identitySequence)
            catalog.removeObject(c.identitySequence);
    catalog.removeObject(id);
    db.exec("DROP TABLE IF EXISTS " + t->physicalName());
}

void dropTable(DropStmt &st, NameResolver &names) {
    auto t = ownTable(names, st.name);
    Catalog &catalog = names.catalog();
    for (const auto &fk : catalog.referencingConstraints(t->id)) {
        if (fk.tableId == t->id)
            continue;
        if (!st.cascade)
            raise(2449, st.name.offset());
        catalog.removeConstraint(fk.owner, fk.name);
    }
    dropTableObject(names, t->id);
    syncTriggers(names);
}

void truncateTable(const Name &name, NameResolver &names) {
    auto t = ownTable(names, name);
    for (const auto &fk : names.catalog().referencingConstraints(t->id))
        if (fk.enabled && fk.tableId != t->id)
            raise(2266, name.offset());
    names.catalog().connection().exec("DELETE FROM " + t->physicalName());
}

void alterTable(AlterTableStmt &st, SessionCore &core, NameResolver &names) {
    auto t = ownTable(names, st.table);
    Catalog &catalog = names.catalog();
    Connection &db = catalog.connection();
    const std::int64_t id = t->id;
    const std::string owner = t->owner;
    std::vector<ColumnInfo> columns = t->columns;
    bool rebuild = false;
    auto findConstraint = [&](const std::string &name, int code) {
        auto k = catalog.constraint(owner, name);
        if (!k || k->tableId != id) {
            if (code == 2443)
                raise(2443, st.nameOffset);
            raise(code, st.nameOffset, {owner + "." + name});
        }
        return *k;
    };
    auto dropKeyIndex = [&](const ConstraintInfo &k) {
        if (k.indexName == k.name) {
            if (auto ix = catalog.findObject(owner, k.indexName, 4))
                catalog.removeObject(ix->id);
        }
    };
    auto dropConstraint = [&](const ConstraintInfo &k) {
        if (k.type == 'P' || k.type == 'U') {
            auto refs = catalog.referencingConstraints(id);
            for (const auto &fk : refs) {
                if (fk.refName != k.name || fk.refOwner != k.owner)
                    continue;
                if (!st.cascade)
                    raise(2273, st.nameOffset);
                catalog.removeConstraint(fk.owner, fk.name);
            }
            dropKeyIndex(k);
        }
        catalog.removeConstraint(k.owner, k.name);
        rebuild = true;
    };
    switch (st.action) {
    case AlterTableStmt::AddColumns: {
        bool hasRows = db.queryInt("SELECT count(*) FROM " + t->physicalName()) > 0;
        for (const auto &def : st.columns) {
            if (t->columnIndex(def.name) >= 0)
                raise(1430, def.offset);
            if (def.notNull && !def.hasDefault && hasRows)
                raise(1758, def.offset);
            columns.push_back(columnInfo(def));
        }
        addIdentities(st.columns, columns, columns.size() - st.columns.size(), owner, id, core, names);
        catalog.setColumns(id, columns);
        rebuild = true;
        buildTable(names, id);
        // Oracle gives the existing rows the new column's default.
        Binder binder(names);
        catalog.invalidate();
        auto fresh = catalog.table(id);
        for (const auto &def : st.columns) {
            const ColumnInfo &c = fresh->columns[size_t(fresh->columnIndex(def.name))];
            if (!c.hasDefault || c.isVirtual)
                continue;
            ExprPtr d = defaultValue(binder, c);
            db.exec("UPDATE " + fresh->physicalName() + " SET " + quoteIdent(c.name) + " = " +
                    storeValue(binder, *fresh, c, d));
        }
        addConstraints(names, id, owner, t->name, st.constraints, &st.columns, true);
        break;
    }
    case AlterTableStmt::ModifyColumns: {
        auto constraints = catalog.constraintsOf(id);
        std::vector<ColumnDef> notNulls;
        for (auto &def : st.columns) {
            int idx = t->columnIndex(def.name);
            if (idx < 0)
                raise(904, def.offset, {"\"" + def.name + "\""});
            ColumnInfo &c = columns[size_t(idx)];
            if (def.hasType) {
                checkTypeChange(db, *t, c, def);
                c.type = def.type;
            }
            if (def.hasDefault) {
                c.hasDefault = true;
                c.defaultText = def.defaultText;
            }
            if (def.notNull) {
                if (!c.nullable)
                    raise(1442, def.offset);
                if (db.queryInt("SELECT count(*) FROM " + t->physicalName() + " WHERE " + quoteIdent(c.name) + " IS NULL"))
                    raise(1449, def.offset);
                ColumnDef copy;
                copy.name = def.name;
                copy.offset = def.offset;
                copy.notNull = true;
                copy.notNullName = def.notNullName;
                notNulls.push_back(std::move(copy));
            }
            if (def.explicitNull) {
                if (c.nullable)
                    raise(1451, def.offset);
                for (const auto &k : constraints)
                    if (k.type == 'C' && k.columns.size() == 1 && isNotNullCondition(k.searchCondition, c.name))
                        catalog.removeConstraint(k.owner, k.name);
                for (const auto &k : constraints)
                    if (k.type == 'P' && std::find(k.columns.begin(), k.columns.end(), c.name) != k.columns.end())
                        raise(1451, def.offset);
            }
        }
        catalog.setColumns(id, columns);
        addConstraints(names, id, owner, t->name, st.constraints, &notNulls, true);
        rebuild = true;
        break;
    }
    case AlterTableStmt::DropColumns: {
        for (const auto &name : st.names) {
            int idx = -1;
            for (size_t i = 0; i < columns.size(); ++i)
                if (columns[i].name == name)
                    idx = int(i);
            if (idx < 0)
                raise(904, st.nameOffset, {"\"" + name + "\""});
            columns.erase(columns.begin() + idx);
            for (const auto &k : catalog.constraintsOf(id))
                if (std::find(k.columns.begin(), k.columns.end(), name) != k.columns.end())
                    dropConstraint(k);
            auto p = db.prepare("SELECT DISTINCT index_id FROM kdb_ind_columns WHERE column_name = ?1 AND index_id IN "
                                "(SELECT object_id FROM kdb_indexes WHERE table_id = ?2)");
            bindAll(p, name, id);
            std::vector<std::int64_t> drop;
            while (p.step())
                drop.push_back(p.integer(0));
            for (auto ix : drop)
                catalog.removeObject(ix);
            auto cm = db.prepare("DELETE FROM kdb_comments WHERE object_id = ?1 AND column_name = ?2");
            bindAll(cm, id, name);
            cm.run();
        }
        if (columns.empty())
            raise(12983, st.nameOffset);
        catalog.setColumns(id, columns);
        rebuild = true;
        break;
    }
    case AlterTableStmt::AddConstraint:
        addConstraints(names, id, owner, t->name, st.constraints, nullptr, true);
        rebuild = true;
        break;
    case AlterTableStmt::DropConstraint:
        dropConstraint(findConstraint(st.names[0], 2443));
        break;
    case AlterTableStmt::DropPrimaryKey: {
        bool found = false;
        for (const auto &k : catalog.constraintsOf(id))
            if (k.type == 'P') {
                dropConstraint(k);
                found = true;
            }
        if (!found)
            raise(2441, st.nameOffset);
        break;
    }
    case AlterTableStmt::EnableConstraint:
    case AlterTableStmt::DisableConstraint: {
        bool enable = st.action == AlterTableStmt::EnableConstraint;
        ConstraintInfo k;
        if (st.names[0].empty()) {
            bool found = false;
            for (const auto &c : catalog.constraintsOf(id))
                if (c.type == 'P') {
                    k = c;
                    found = true;
                }
            if (!found)
                raise(enable ? 2430 : 2431, st.nameOffset, {"PRIMARY KEY"});
        } else {
            k = findConstraint(st.names[0], enable ? 2430 : 2431);
        }
        if (k.enabled == enable)
            break;
        if (!enable && (k.type == 'P' || k.type == 'U')) {
            for (const auto &fk : catalog.referencingConstraints(id))
                if (fk.enabled && fk.refName == k.name && fk.refOwner == k.owner)
                    raise(2297, st.nameOffset, {k.owner + "." + k.name});
        }
        if (enable) {
            k.enabled = true;
            validateConstraint(names, *t, k);
        }
        catalog.setConstraintEnabled(k.owner, k.name, enable);
        if (k.type == 'P' || k.type == 'U') {
            // The key's own index goes with a disabled key and comes back with it.
            if (!enable) {
                dropKeyIndex(k);
            } else if (!catalog.findObject(owner, k.name, 4) && k.indexName == k.name) {
                std::int64_t indexId = catalog.addObject(owner, k.name, "INDEX", k.generated);
                catalog.addIndex(indexId, id, true, k.columns, {});
            }
        }
        rebuild = true;
        break;
    }
    case AlterTableStmt::RenameColumn: {
        const std::string &from = st.names[0], &to = st.names[1];
        int idx = t->columnIndex(from);
        if (idx < 0)
            raise(904, st.nameOffset, {"\"" + from + "\""});
        if (t->columnIndex(to) >= 0)
            raise(957, st.nameOffset);
        columns[size_t(idx)].name = to;
        catalog.setColumns(id, columns);
        for (const char *sql : {"UPDATE kdb_cons_columns SET column_name = ?3 WHERE column_name = ?2 AND (owner, "
                                "constraint_name) IN (SELECT owner, constraint_name FROM kdb_constraints WHERE table_id = ?1)",
                                "UPDATE kdb_ind_columns SET column_name = ?3 WHERE column_name = ?2 AND index_id IN "
                                "(SELECT object_id FROM kdb_indexes WHERE table_id = ?1)",
                                "UPDATE kdb_comments SET column_name = ?3 WHERE object_id = ?1 AND column_name = ?2"}) {
            auto p = db.prepare(sql);
            bindAll(p, id, from, to);
            p.run();
        }
        // Check conditions (NOT NULL ones among them) are kept as text and parsed again whenever
        // the table is rebuilt: they must name the column by its new name.
        for (const auto &k : catalog.constraintsOf(id)) {
            if (k.type != 'C')
                continue;
            const std::string condition = renameInCondition(k.searchCondition, from, to);
            if (condition == k.searchCondition)
                continue;
            auto p = db.prepare("UPDATE kdb_constraints SET search_condition = ?3 WHERE owner = ?1 AND "
                                "constraint_name = ?2");
            bindAll(p, k.owner, k.name, condition);
            p.run();
        }
        // SQLite checks every view and trigger of the file as it renames; a view whose table was
        // dropped (invalid, as Oracle would say) must not keep another table's column from
        // being renamed.
        db.exec("PRAGMA writable_schema = ON");
        try {
            db.exec("ALTER TABLE " + t->physicalName() + " RENAME COLUMN " + quoteIdent(from) + " TO " + quoteIdent(to));
        } catch (...) {
            db.exec("PRAGMA writable_schema = OFF");
            throw;
        }
        db.exec("PRAGMA writable_schema = OFF");
        break;
    }
    case AlterTableStmt::RenameTable: {
        Name to;
        to.parts = {st.names[0]};
        to.offsets = {st.nameOffset};
        Name from;
        from.parts = {owner, t->name};
        from.offsets = {st.table.offset(), st.table.offset()};
        rename(from, to, names);
        return;
    }
    case AlterTableStmt::Nothing:
        break;
    }
    catalog.touchObject(id);
    if (rebuild) {
        refreshNullability(names, id);
        buildTable(names, id);
        syncIndexes(names, id);
        syncTriggers(names);
        refreshVirtualColumns(names, id);
    }
}

}  // namespace localdb::ddl
