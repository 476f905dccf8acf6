// Compilation of queries and DML into SQLite statements.
#include "localdb/sql/translate.h"

#include "localdb/sql/binder_datetime.h"
#include "localdb/sql/dml_target.h"
#include "localdb/sql/emitter.h"
#include "localdb/system/errors.h"
#include "localdb/sql/expr_walk.h"
#include "localdb/sql/parser.h"

namespace localdb {
namespace {

std::string columnPath(const TableInfo &t, const std::string &column) {
    return "\"" + t.owner + "\".\"" + t.name + "\".\"" + column + "\"";
}

// A column reference to an already emitted SQL expression (the output of a subquery).
ExprPtr rawColumn(const std::string &sql, const Type &type, int offset) {
    auto e = makeExpr(ExprKind::Column, offset);
    e->binding = ColumnBinding::TableColumn;
    e->column = sql;
    e->type = type;
    return e;
}

void checkValueCount(size_t values, size_t columns, int offset) {
    if (values < columns)
        raise(947, offset);
    if (values > columns)
        raise(913, offset);
}

// The columns a statement writes. Without a list, INSERT writes every column but the virtual
// ones; a list may not name a virtual column or an identity column GENERATED ALWAYS.
std::vector<const ColumnInfo *> targetColumns(const DmlTarget &t, const std::vector<std::string> &names,
                                              const std::vector<int> &offsets, bool insert) {
    std::vector<const ColumnInfo *> out;
    const std::vector<std::string> all = t.columnNames();
    const std::vector<std::string> &list = names.empty() ? all : names;
    for (size_t i = 0; i < list.size(); ++i) {
        int off = i < offsets.size() ? offsets[i] : -1;
        const ColumnInfo *c = &t.column(list[i], off);
        if (c->isVirtual) {
            if (names.empty())
                continue;
            raise(insert ? 54013 : 54017, off);
        }
        if (c->identity == "ALWAYS")
            raise(insert ? 32795 : 32796, off);
        for (const auto *other : out)
            if (other == c)
                raise(957, off);
        out.push_back(c);
    }
    return out;
}

// WITH CHECK OPTION: the rows a statement wrote must be visible through the view. Their rowids
// are remembered in a temporary table before the change and checked after it; only the change
// itself counts as rows processed.
std::shared_ptr<CompiledStatement> withCheckOption(const DmlTarget &t, const std::string &remember,
                                                   const std::string &change, const std::string &changedRows) {
    auto c = std::make_shared<CompiledStatement>();
    const std::string table = physicalName(t.table->owner, t.table->name);
    c->steps = {"CREATE TEMP TABLE IF NOT EXISTS kdb_dml_rows(r INTEGER)", "DELETE FROM temp.kdb_dml_rows", remember,
                change,
                "SELECT kdb_raise(1402) FROM " + table + " AS t0 WHERE " + changedRows +
                    " AND CASE WHEN " + t.viewWhere + " THEN 0 ELSE 1 END LIMIT 1"};
    c->counted = {false, false, false, true, false};
    return c;
}

std::shared_ptr<CompiledStatement> compileInsert(InsertStmt &st, NameResolver &names) {
    DmlTarget target = resolveDmlTarget(names, st.table, st.alias, "INSERT");
    const TableInfo &t = *target.table;
    Binder binder(names);
    binder.reserveTargetAlias();
    auto columns = targetColumns(target, st.columns, st.columnOffsets, true);
    std::string list, values;
    auto add = [&](const ColumnInfo &c, const std::string &sql) {
        if (!list.empty()) {
            list += ", ";
            values += ", ";
        }
        list += quoteIdent(c.name);
        values += sql;
    };
    Scope noColumns;
    noColumns.columnsAllowed = false;
    auto addDefaults = [&]() {
        for (const auto &c : t.columns) {
            bool listed = false;
            for (const auto *l : columns)
                if (l == &c)
                    listed = true;
            if (listed || !c.hasDefault || c.isVirtual)
                continue;
            ExprPtr d = defaultValue(binder, c);
            if (d)
                add(c, storeValue(binder, t, c, d));
        }
    };
    std::string sql;
    if (!st.query) {
        checkValueCount(st.values.size(), columns.size(), st.valuesOffset);
        for (size_t i = 0; i < columns.size(); ++i) {
            ExprPtr &v = st.values[i];
            if (v->kind == ExprKind::Column && v->name.parts.size() == 1 && v->name.parts[0] == "DEFAULT") {
                ExprPtr d = defaultValue(binder, *columns[i]);
                add(*columns[i], d ? storeValue(binder, t, *columns[i], d) : "NULL");
                continue;
            }
            binder.bindExpr(v, noColumns);
            add(*columns[i], storeValue(binder, t, *columns[i], v));
        }
        addDefaults();
        sql = "INSERT INTO " + physicalName(t.owner, t.name) + " (" + list + ") VALUES (" + values + ")";
    } else {
        binder.bindQuery(*st.query);
        checkValueCount(st.query->outputs.size(), columns.size(), st.query->offset);
        std::vector<std::string> forced;
        for (size_t i = 0; i < columns.size(); ++i) {
            forced.push_back("c" + std::to_string(i + 1));
            ExprPtr ref = rawColumn("kdb_q." + quoteIdent(forced.back()), st.query->outputs[i].type, st.query->offset);
            add(*columns[i], storeValue(binder, t, *columns[i], ref));
        }
        addDefaults();
        sql = "INSERT INTO " + physicalName(t.owner, t.name) + " (" + list + ") SELECT " + values + " FROM (" +
              emitQuery(*st.query, &forced) + ") AS kdb_q";
    }
    std::shared_ptr<CompiledStatement> compiled;
    if (target.checkOption && !target.viewWhere.empty()) {
        // New rows are those above the largest rowid before the insert.
        compiled = withCheckOption(target,
                                   "INSERT INTO temp.kdb_dml_rows SELECT coalesce(max(rowid), 0) FROM " +
                                       physicalName(t.owner, t.name),
                                   sql, "t0.rowid > (SELECT r FROM temp.kdb_dml_rows)");
    } else {
        compiled = std::make_shared<CompiledStatement>();
        compiled->steps.push_back(sql);
    }
    compiled->command = "INSERT";
    return compiled;
}

// SET assignments of UPDATE and MERGE, bound in scope.
std::string assignmentsSql(Binder &binder, const DmlTarget &target, std::vector<Assignment> &sets, Scope &scope) {
    const TableInfo &t = *target.table;
    std::string out;
    for (auto &a : sets) {
        if (!out.empty())
            out += ", ";
        std::vector<const ColumnInfo *> cols = targetColumns(target, a.columns, a.offsets, false);
        if (cols.size() > 1) {
            // (a, b) = (subquery): SQLite's row assignment takes the subquery's row as it is.
            Query &q = *a.value->query;
            binder.bindQuery(q, &scope);
            if (q.outputs.size() != cols.size())
                raise(q.outputs.size() > cols.size() ? 913 : 947, q.offset);
            out += "(";
            for (size_t i = 0; i < cols.size(); ++i)
                out += (i ? ", " : "") + quoteIdent(cols[i]->name);
            out += ") = (" + emitQuery(q, nullptr, false) + ")";
            continue;
        }
        const ColumnInfo &c = *cols[0];
        if (a.value->kind == ExprKind::Column && a.value->name.parts.size() == 1 && a.value->name.parts[0] == "DEFAULT") {
            ExprPtr d = defaultValue(binder, c);
            out += quoteIdent(c.name) + " = " + (d ? storeValue(binder, t, c, d, false) : "NULL");
            continue;
        }
        binder.bindExpr(a.value, scope);
        out += quoteIdent(c.name) + " = " + storeValue(binder, t, c, a.value, false);
    }
    return out;
}

// The WHERE of an UPDATE or DELETE: the statement's condition and the view's.
std::string whereSql(Binder &binder, const DmlTarget &target, ExprPtr &where, Scope &scope) {
    std::string out;
    long long rownumLimit = -1;
    if (where) {
        std::vector<Expr *> conditions;
        rownumLimit = binder.bindDmlWhere(where, scope, conditions);
        for (const Expr *c : conditions)
            out += (out.empty() ? "(" : " AND (") + emitExpression(*c) + ")";
    }
    if (!target.viewWhere.empty())
        out = out.empty() ? target.viewWhere : "(" + target.viewWhere + ") AND " + out;
    // Rows are numbered as they pass the condition, in storage order: the first n change.
    if (rownumLimit >= 0)
        out = "t0.rowid IN (SELECT t0.rowid FROM " + physicalName(target.table->owner, target.table->name) + " AS t0" +
              (out.empty() ? "" : " WHERE " + out) + " ORDER BY t0.rowid LIMIT " + std::to_string(rownumLimit) + ")";
    return out;
}

std::shared_ptr<CompiledStatement> compileUpdate(UpdateStmt &st, NameResolver &names) {
    DmlTarget target = resolveDmlTarget(names, st.table, st.alias, "UPDATE");
    const TableInfo &t = *target.table;
    Binder binder(names);
    binder.reserveTargetAlias();
    BoundBlock block;
    block.sources.push_back(target.source);
    Scope scope;
    scope.block = &block;
    const std::string table = physicalName(t.owner, t.name);
    std::string set = assignmentsSql(binder, target, st.sets, scope);
    binder.allowSequences(false);
    std::string where = whereSql(binder, target, st.where, scope);
    std::shared_ptr<CompiledStatement> compiled;
    if (target.checkOption && !target.viewWhere.empty()) {
        compiled = withCheckOption(target,
                                   "INSERT INTO temp.kdb_dml_rows SELECT t0.rowid FROM " + table + " AS t0" +
                                       (where.empty() ? "" : " WHERE " + where),
                                   "UPDATE " + table + " AS t0 SET " + set +
                                       " WHERE t0.rowid IN (SELECT r FROM temp.kdb_dml_rows)",
                                   "t0.rowid IN (SELECT r FROM temp.kdb_dml_rows)");
    } else {
        compiled = std::make_shared<CompiledStatement>();
        compiled->steps.push_back("UPDATE " + table + " AS t0 SET " + set + (where.empty() ? "" : " WHERE " + where));
    }
    compiled->command = "UPDATE";
    compiled->isUpdate = true;
    return compiled;
}

std::shared_ptr<CompiledStatement> compileDelete(DeleteStmt &st, NameResolver &names) {
    DmlTarget target = resolveDmlTarget(names, st.table, st.alias, "DELETE");
    const TableInfo &t = *target.table;
    Binder binder(names);
    binder.reserveTargetAlias();
    binder.allowSequences(false);
    BoundBlock block;
    block.sources.push_back(target.source);
    Scope scope;
    scope.block = &block;
    std::string where = whereSql(binder, target, st.where, scope);
    auto compiled = std::make_shared<CompiledStatement>();
    compiled->command = "DELETE";
    compiled->steps.push_back("DELETE FROM " + physicalName(t.owner, t.name) + " AS t0" +
                              (where.empty() ? "" : " WHERE " + where));
    return compiled;
}

// MERGE runs as UPDATE ... FROM for matched rows, then INSERT ... SELECT of the source rows that
// matched nothing (the update cannot change that: ON columns are not updatable), then the
// optional DELETE of updated rows.
std::shared_ptr<CompiledStatement> compileMerge(MergeStmt &st, NameResolver &names) {
    DmlTarget target = resolveDmlTarget(names, st.target, st.targetAlias, "UPDATE");
    if (target.isView)
        raise(1732, st.target.offset());
    const TableInfo &t = *target.table;
    Binder binder(names);
    binder.reserveTargetAlias();
    BoundBlock block;
    block.sources.push_back(target.source);
    std::string sourceSql;
    Source src;
    if (st.source->kind == TableRef::Named) {
        ResolvedObject s = names.table(st.source->name);
        src = binder.tableSource(s, st.source->alias, "s0");
        sourceSql = src.sqlFrom;
    } else {
        binder.bindQuery(*st.source->query);
        src.alias = st.source->alias;
        src.sqlAlias = "s0";
        src.columns = st.source->query->outputs;
        sourceSql = "(" + emitQuery(*st.source->query) + ")";
    }
    block.sources.push_back(src);
    Scope scope;
    scope.block = &block;
    binder.bindExpr(st.on, scope);
    const std::string on = emitExpression(*st.on);
    // A column of the target that the ON condition reads, also inside CASE or a subquery, cannot
    // be updated: the update would change which rows match.
    for (const auto &a : st.updateSets)
        for (const auto &c : a.columns)
            visitExpressions(*st.on, [&](const Expr &e, int depth) {
                if (e.kind == ExprKind::Column && e.binding == ColumnBinding::TableColumn && e.source == 0 &&
                    e.scopeDepth == depth && e.text == c)
                    raise(38104, a.offsets.front(), {"\"" + t.name + "\".\"" + c + "\""});
            });
    auto compiled = std::make_shared<CompiledStatement>();
    compiled->command = "MERGE";
    compiled->isUpdate = true;
    const std::string table = physicalName(t.owner, t.name);
    // Rows that will be inserted are decided before the update changes anything.
    std::string insertSql;
    if (st.hasInsert) {
        auto columns = targetColumns(target, st.insertColumns, {}, true);
        checkValueCount(st.insertValues.size(), columns.size(), st.on->offset);
        BoundBlock srcOnly;
        srcOnly.sources.push_back(src);
        Scope s2;
        s2.block = &srcOnly;
        std::string list, values;
        for (size_t i = 0; i < columns.size(); ++i) {
            binder.bindExpr(st.insertValues[i], s2);
            list += (i ? ", " : "") + quoteIdent(columns[i]->name);
            values += (i ? ", " : "") + storeValue(binder, t, *columns[i], st.insertValues[i]);
        }
        insertSql = "INSERT INTO " + table + " (" + list + ") SELECT " + values + " FROM " + sourceSql +
                    " AS s0 WHERE NOT EXISTS (SELECT 1 FROM " + table + " AS t0 WHERE " + on + ")";
        if (st.insertWhere) {
            binder.bindExpr(st.insertWhere, s2);
            insertSql += " AND " + emitExpression(*st.insertWhere);
        }
    }
    // The DELETE clause removes only rows this statement updated: they are remembered before the
    // update, so that the rows the INSERT adds afterwards (which match the source too) stay.
    std::string updateWhere;
    if (st.hasUpdate && st.updateWhere) {
        binder.bindExpr(st.updateWhere, scope);
        updateWhere = " AND " + emitExpression(*st.updateWhere);
    }
    if (st.hasUpdate && st.hasDelete) {
        compiled->steps = {"CREATE TEMP TABLE IF NOT EXISTS kdb_dml_rows(r INTEGER)", "DELETE FROM temp.kdb_dml_rows",
                           "INSERT INTO temp.kdb_dml_rows SELECT t0.rowid FROM " + table + " AS t0, " + sourceSql +
                               " AS s0 WHERE " + on + updateWhere};
        compiled->counted = {false, false, false};
    }
    if (st.hasUpdate) {
        compiled->steps.push_back("UPDATE " + table + " AS t0 SET " +
                                  assignmentsSql(binder, target, st.updateSets, scope) + " FROM " + sourceSql +
                                  " AS s0 WHERE " + on + updateWhere);
        compiled->counted.push_back(true);
    }
    if (!insertSql.empty()) {
        compiled->steps.push_back(insertSql);
        compiled->counted.push_back(true);
    }
    if (st.hasUpdate && st.hasDelete) {
        binder.bindExpr(st.deleteWhere, scope);
        compiled->steps.push_back("DELETE FROM " + table + " WHERE rowid IN (SELECT t0.rowid FROM " + table +
                                  " AS t0, " + sourceSql + " AS s0 WHERE " + on + " AND " +
                                  emitExpression(*st.deleteWhere) +
                                  " AND t0.rowid IN (SELECT r FROM temp.kdb_dml_rows))");
        compiled->counted.push_back(false);
    }
    return compiled;
}

}  // namespace

std::vector<Column> resultColumns(const Query &q) {
    std::vector<Column> out;
    for (const auto &o : q.outputs)
        out.push_back(Column{o.name, fieldTypeOf(o.type), oracleTypeText(o.type)});
    return out;
}

ExprPtr defaultValue(Binder &binder, const ColumnInfo &column) {
    if (!column.hasDefault)
        return nullptr;
    Parser p(column.defaultText);
    ExprPtr e = p.expression();
    Scope none;
    none.columnsAllowed = false;
    binder.bindExpr(e, none);
    return e;
}

std::string storeValue(Binder &binder, const TableInfo &table, const ColumnInfo &column, ExprPtr &value,
                       bool inserting) {
    BaseType base = baseTypeOf(column.type);
    const Type columnType = Type::of(column.type);
    if (columnType.isInterval() || columnType.isTimestamp() ||
        (columnType.isDate() && (value->type.isTimestamp() || value->type.isInterval())))
        convertToTemporal(value, columnType);
    else
        binder.convert(value, base);
    if (column.defaultOnNull && inserting && value->kind != ExprKind::Null) {
        // DEFAULT ON NULL: a NULL written takes the default (an identity's next value) instead.
        ColumnInfo plain = column;
        plain.defaultOnNull = false;
        ExprPtr d = defaultValue(binder, plain);
        if (d)
            return "coalesce(" + storeValue(binder, table, plain, value) + ", " + storeValue(binder, table, plain, d) + ")";
    }
    if (column.defaultOnNull && inserting && value->kind == ExprKind::Null) {
        ColumnInfo plain = column;
        plain.defaultOnNull = false;
        if (ExprPtr d = defaultValue(binder, plain))
            return storeValue(binder, table, plain, d);
    }
    std::string sql = emitExpression(*value);
    const TypeSpec &s = column.type;
    if (s.name == "NUMBER") {
        if (s.precision == TypeSpec::None && s.scale == TypeSpec::None &&
            (value->kind == ExprKind::Number || value->kind == ExprKind::Null))
            return sql;
        return "kdb_number(" + sql + ", " + (s.precision == TypeSpec::None ? "NULL" : std::to_string(s.precision)) +
               ", " + (s.scale == TypeSpec::None ? "NULL" : std::to_string(s.scale)) + ")";
    }
    if (s.name == "CLOB" && value->kind == ExprKind::String && value->text.empty())
        return sql;  // EMPTY_CLOB(): an empty value that is not NULL
    if (base == BaseType::Text) {
        bool limited = s.name != "LONG" && s.name != "CLOB";
        bool isChar = s.name == "CHAR" || s.name == "NCHAR";
        return "kdb_text(" + sql + ", " + std::to_string(limited ? s.length : 0) + ", " + (isChar ? "1" : "0") +
               ", " + (s.charSemantics ? "1" : "0") + ", " + quoteText(columnPath(table, column.name)) + ")";
    }
    return sql;
}

std::shared_ptr<CompiledStatement> compileStatement(Statement &st, NameResolver &names) {
    switch (st.kind) {
    case Statement::Select: {
        Binder binder(names);
        binder.bindQuery(*st.query);
        auto compiled = std::make_shared<CompiledStatement>();
        compiled->command = "SELECT";
        compiled->isQuery = true;
        compiled->forUpdate = st.query->forUpdate;
        compiled->steps.push_back(emitQuery(*st.query));
        compiled->drawsSequence = compiled->steps.back().find("kdb_nextval(") != std::string::npos;
        compiled->columns = resultColumns(*st.query);
        for (const auto &c : compiled->columns)
            compiled->dateColumns.push_back(c.type == Date);
        for (const auto &o : st.query->outputs) {
            Temporal k = temporalKind(o.type);
            compiled->temporalColumns.push_back(
                {k == Temporal::Date ? 0 : static_cast<int>(k), o.type.leading, o.type.fraction});
        }
        return compiled;
    }
    case Statement::Insert:
        return compileInsert(*st.insert, names);
    case Statement::Update:
        return compileUpdate(*st.update, names);
    case Statement::Delete:
        return compileDelete(*st.del, names);
    case Statement::Merge:
        return compileMerge(*st.merge, names);
    default:
        return nullptr;
    }
}

}  // namespace localdb
