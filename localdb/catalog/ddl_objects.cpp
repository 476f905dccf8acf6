// DDL of indexes, views, sequences and synonyms, comments, RENAME and DROP.
#include "localdb/sql/binder.h"
#include "localdb/system/connection.h"
#include "localdb/catalog/ddl_internal.h"
#include "localdb/sql/emitter.h"
#include "localdb/system/errors.h"
#include "localdb/sql/parser.h"
#include "localdb/catalog/physical.h"

#include <cmath>

namespace localdb::ddl {

void createIndex(CreateIndexStmt &st, NameResolver &names) {
    Catalog &catalog = names.catalog();
    auto [owner, name] = creationTarget(names, st.index);
    auto t = ownTable(names, st.table);
    if (t->owner != owner && !catalog.isDba(names.user()))
        raise(1031, st.table.offset());
    if (catalog.findObject(owner, name, 4))
        raise(955, st.index.offsets.back());
    for (size_t i = 0; i < st.columns.size(); ++i)
        if (t->columnIndex(st.columns[i]) < 0)
            raise(904, st.columnOffsets[i], {"\"" + st.columns[i] + "\""});
    auto p = catalog.connection().prepare(
        "SELECT x.object_id FROM kdb_indexes x WHERE x.table_id = ?1 AND (SELECT group_concat(column_name, ',') FROM "
        "(SELECT column_name FROM kdb_ind_columns WHERE index_id = x.object_id ORDER BY column_position)) = ?2");
    std::string joined;
    for (size_t i = 0; i < st.columns.size(); ++i)
        joined += (i ? "," : "") + st.columns[i];
    bindAll(p, t->id, joined);
    if (p.step())
        raise(1408, st.columnOffsets.front());
    std::int64_t id = catalog.addObject(owner, name, "INDEX");
    catalog.addIndex(id, t->id, st.unique, st.columns, st.descending);
    try {
        syncIndexes(names, t->id);
    } catch (const SqliteError &) {
        raise(1452, -1);
    }
}

void createView(CreateViewStmt &st, NameResolver &names) {
    Catalog &catalog = names.catalog();
    Connection &db = catalog.connection();
    auto [owner, name] = creationTarget(names, st.view);
    auto existing = catalog.findObject(owner, name);
    if (existing && !(st.orReplace && existing->type == "VIEW"))
        raise(955, st.view.offsets.back());
    NameResolver ownerNames(catalog, owner, names.user());
    Binder binder(ownerNames);
    binder.allowSequences(false);
    binder.bindQuery(*st.query);
    auto &outputs = st.query->outputs;
    if (!st.columnAliases.empty() && st.columnAliases.size() != outputs.size())
        raise(1730, st.view.offset());
    std::vector<std::string> names2;
    std::vector<ColumnInfo> columns;
    for (size_t i = 0; i < outputs.size(); ++i) {
        ColumnInfo c;
        c.name = st.columnAliases.empty() ? outputs[i].name : st.columnAliases[i];
        for (char ch : c.name)
            if (!(std::isalnum(static_cast<unsigned char>(ch)) || ch == '_' || ch == '$' || ch == '#' ||
                  static_cast<unsigned char>(ch) >= 0x80))
                raise(998, st.query->offset);
        for (const auto &other : columns)
            if (other.name == c.name)
                raise(957, st.query->offset);
        const Type &type = outputs[i].type;
        if (type.hasSpec) {
            c.type = type.spec;
        } else if (type.isDate()) {
            c.type.name = "DATE";
            c.type.length = 7;
        } else if (type.isText() || type.isUnknown()) {
            c.type.name = "VARCHAR2";
            c.type.length = 4000;
        }
        columns.push_back(c);
        names2.push_back(c.name);
    }
    const std::string sql = emitQuery(*st.query, &names2);
    std::int64_t id;
    if (existing) {
        id = existing->id;
        catalog.touchObject(id);
        db.exec("DROP VIEW IF EXISTS " + physicalName(owner, name));
    } else {
        id = catalog.addObject(owner, name, "VIEW");
    }
    catalog.setColumns(id, columns);
    auto v = db.prepare("INSERT OR REPLACE INTO kdb_views(object_id, text, read_only, check_option) VALUES (?1, ?2, ?3, ?4)");
    bindAll(v, id, st.queryText, std::int64_t(st.readOnly), std::int64_t(st.checkOption));
    v.run();
    db.exec("CREATE VIEW " + physicalName(owner, name) + " AS " + sql);
}

void createSequence(CreateSequenceStmt &st, NameResolver &names, bool alter, SessionCore &core) {
    Catalog &catalog = names.catalog();
    Connection &db = catalog.connection();
    const SequenceOptions &o = st.options;
    // Without MAXVALUE or MINVALUE the classic limits: 27 nines either way.
    const SequenceNumber classicLimit = sequenceNumberLimit() / 10;
    std::int64_t id;
    const SequenceNumber increment = o.increment;
    if (increment == 0)
        raise(4002, st.sequence.offset());
    bool ascending = increment > 0;
    const SequenceNumber defaultMin = ascending ? 1 : -classicLimit;
    const SequenceNumber defaultMax = ascending ? classicLimit : -1;
    if (!alter) {
        auto [owner, name] = creationTarget(names, st.sequence);
        checkNameFree(catalog, owner, name, st.sequence.offsets.back());
        const SequenceNumber minValue = o.hasMin && !o.noMin ? o.minValue : defaultMin;
        const SequenceNumber maxValue = o.hasMax && !o.noMax ? o.maxValue : defaultMax;
        const SequenceNumber start = o.hasStart ? o.start : (ascending ? minValue : maxValue);
        if (minValue >= maxValue || start < minValue || start > maxValue)
            raise(4006, st.sequence.offset());
        id = catalog.addObject(owner, name, "SEQUENCE");
        auto p = db.prepare("INSERT INTO kdb_sequences(object_id, min_value, max_value, increment_by, cycle_flag, "
                            "order_flag, cache_size, last_number) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
        p.bind(1, id);
        bindSequenceNumber(p, 2, minValue);
        bindSequenceNumber(p, 3, maxValue);
        bindSequenceNumber(p, 4, increment);
        p.bind(5, o.cycle ? "Y" : "N");
        p.bind(6, o.order ? "Y" : "N");
        p.bind(7, std::int64_t(o.cache));
        bindSequenceNumber(p, 8, start);
        p.run();
        return;
    }
    ResolvedObject r = names.sequence(st.sequence);
    if (r.object.owner != names.user() && !catalog.isDba(names.user()))
        raise(1031, st.sequence.offset());
    id = r.object.id;
    if (o.hasStart)
        raise(2283, st.sequence.offset());
    auto set = [&](const std::string &column, SequenceNumber v) {
        auto p = db.prepare("UPDATE kdb_sequences SET " + column + " = ?2 WHERE object_id = ?1");
        p.bind(1, id);
        bindSequenceNumber(p, 2, v);
        p.run();
    };
    if (o.hasIncrement)
        set("increment_by", increment);
    if (o.hasMin || o.noMin)
        set("min_value", o.noMin ? defaultMin : o.minValue);
    if (o.hasMax || o.noMax)
        set("max_value", o.noMax ? defaultMax : o.maxValue);
    db.exec("UPDATE kdb_sequences SET cycle_flag = '" + std::string(o.cycle ? "Y" : "N") + "', cache_size = " +
            std::to_string(o.cache) + " WHERE object_id = " + std::to_string(id));
    catalog.touchObject(id);
    core.sequences->forget(id);
}

void createSynonym(CreateSynonymStmt &st, NameResolver &names) {
    Catalog &catalog = names.catalog();
    std::string owner, name;
    if (st.isPublic) {
        owner = "PUBLIC";
        name = st.synonym.last();
        if (!catalog.isDba(names.user()))
            raise(1031, st.synonym.offset());
    } else {
        std::tie(owner, name) = creationTarget(names, st.synonym);
    }
    auto existing = catalog.findObject(owner, name);
    if (existing && !(st.orReplace && existing->type == "SYNONYM"))
        raise(955, st.synonym.offsets.back());
    auto [targetOwner, targetName] = names.target(st.target);
    std::int64_t id;
    if (existing) {
        id = existing->id;
        catalog.touchObject(id);
    } else {
        id = catalog.addObject(owner, name, "SYNONYM");
    }
    auto p = catalog.connection().prepare(
        "INSERT OR REPLACE INTO kdb_synonyms(object_id, table_owner, table_name) VALUES (?1, ?2, ?3)");
    bindAll(p, id, targetOwner, targetName);
    p.run();
}

void comment(CommentStmt &st, NameResolver &names) {
    Catalog &catalog = names.catalog();
    Name table = st.target;
    std::string column;
    if (st.onColumn) {
        if (table.parts.size() < 2)
            raise(905, table.offset());
        column = table.parts.back();
        table.parts.pop_back();
        table.offsets.pop_back();
    }
    auto [owner, name] = names.target(table);
    auto obj = catalog.findObject(owner, name);
    if (!obj || (obj->type != "TABLE" && obj->type != "VIEW"))
        raise(942, table.offset());
    if (owner != names.user() && !catalog.isDba(names.user()))
        raise(1031, table.offset());
    if (st.onColumn && catalog.table(obj->id)->columnIndex(column) < 0)
        raise(904, st.target.offsets.back(), {"\"" + column + "\""});
    catalog.setComment(obj->id, column, st.text);
}

void rename(const Name &from, const Name &to, NameResolver &names) {
    Catalog &catalog = names.catalog();
    Connection &db = catalog.connection();
    auto [owner, name] = names.target(from);
    auto obj = catalog.findObject(owner, name);
    if (!obj || (owner != names.user() && !catalog.isDba(names.user())))
        raise(942, from.offset());
    if (to.parts.size() > 1)
        raise(1765, to.offsets[1]);
    const std::string &newName = to.parts[0];
    if (catalog.findObject(owner, newName))
        raise(955, to.offset());
    auto p = db.prepare("UPDATE kdb_objects SET object_name = ?2, last_ddl_time = ?3 WHERE object_id = ?1");
    bindAll(p, obj->id, newName, nowText());
    p.run();
    catalog.invalidate();
    if (obj->type == "TABLE") {
        db.exec("PRAGMA legacy_alter_table = ON");
        db.exec("ALTER TABLE " + physicalName(owner, name) + " RENAME TO " + physicalName(owner, newName));
        db.exec("PRAGMA legacy_alter_table = OFF");
        syncTriggers(names);
    } else if (obj->type == "VIEW") {
        // The view is translated again from its stored text under the new name.
        auto view = catalog.table(obj->id);
        Parser parser(view->viewText);
        QueryPtr q = parser.query();
        NameResolver ownerNames(catalog, owner, names.user());
        Binder binder(ownerNames);
        binder.bindQuery(*q);
        std::vector<std::string> columnNames;
        for (const auto &c : view->columns)
            columnNames.push_back(c.name);
        db.exec("DROP VIEW " + physicalName(owner, name));
        db.exec("CREATE VIEW " + physicalName(owner, newName) + " AS " + emitQuery(*q, &columnNames));
    }
}

void dropObject(DropStmt &st, NameResolver &names, SessionCore &core) {
    Catalog &catalog = names.catalog();
    Connection &db = catalog.connection();
    const std::string &what = st.objectType;
    if (what == "TABLE")
        return dropTable(st, names);
    if (what == "USER" || what == "ROLE") {
        Statement s;
        s.kind = Statement::Drop;
        s.drop = std::make_unique<DropStmt>(st);
        return userStatement(s, names);
    }
    std::string owner, name;
    if (st.isPublic) {
        owner = "PUBLIC";
        name = st.name.last();
        if (!catalog.isDba(names.user()))
            raise(1031, st.name.offset());
    } else {
        std::tie(owner, name) = names.target(st.name);
    }
    if (what == "INDEX") {
        auto obj = catalog.findObject(owner, name, 4);
        if (!obj)
            raise(1418, st.name.offset());
        if (owner != names.user() && !catalog.isDba(names.user()))
            raise(1031, st.name.offset());
        if (db.queryInt("SELECT count(*) FROM kdb_constraints WHERE owner = " + quoteText(owner) +
                        " AND index_name = " + quoteText(name) + " AND status = 'ENABLED'"))
            raise(2429, st.name.offset());
        std::int64_t table = db.queryInt("SELECT table_id FROM kdb_indexes WHERE object_id = " + std::to_string(obj->id));
        catalog.removeObject(obj->id);
        syncIndexes(names, table);
        return;
    }
    auto obj = catalog.findObject(owner, name);
    if (!obj || obj->type != what) {
        if (what == "SEQUENCE")
            raise(2289, st.name.offset());
        if (what == "SYNONYM")
            raise(st.isPublic ? 1432 : 1434, st.name.offset());
        raise(942, st.name.offset());
    }
    if (owner != names.user() && !st.isPublic && !catalog.isDba(names.user()))
        raise(1031, st.name.offset());
    if (what == "VIEW")
        db.exec("DROP VIEW IF EXISTS " + physicalName(owner, name));
    if (what == "SEQUENCE") {
        // An identity column's sequence lives and dies with its table.
        if (db.queryInt("SELECT count(*) FROM kdb_column_extras WHERE sequence_id = " + std::to_string(obj->id)))
            raise(32794, st.name.offset());
        core.sequences->forget(obj->id);
    }
    catalog.removeObject(obj->id);
}

}  // namespace localdb::ddl
