// The SQLite SQL printer: expressions, query blocks with their joins, ROWNUM limits and
// hierarchical queries (a recursive common table expression ordered by the path of each row).
#include "localdb/sql/emitter.h"

#include "localdb/sql/binder.h"
#include "localdb/catalog/catalog.h"
#include "localdb/sql/expr_walk.h"
#include "localdb/sql/grouping_sql.h"
#include "localdb/sql/row_limit_sql.h"
#include "localdb/sql/window_sql.h"

#include <algorithm>

namespace localdb {
namespace {

bool selectListAggregates(const SelectCore &core) {
    bool found = false;
    for (const auto &item : core.items)
        visitExpressions(*item.expr, [&](const Expr &e, int depth) { found = found || (depth == 0 && e.aggregate); });
    return found;
}

void flattenConcat(const Expr &e, std::vector<const Expr *> &out) {
    if (e.kind == ExprKind::Binary && e.op == "||") {
        flattenConcat(*e.args[0], out);
        flattenConcat(*e.args[1], out);
    } else {
        out.push_back(&e);
    }
}

// kdb_concat(a, b, ...) of the items. SQLite takes at most 127 arguments to a function: a longer
// chain is concatenated in groups, then the groups.
std::string concatCall(std::vector<std::string> items) {
    constexpr size_t kMostArguments = 100;
    auto call = [](const std::vector<std::string> &args, size_t from, size_t to) {
        std::string out = "kdb_concat(";
        for (size_t i = from; i < to; ++i)
            out += (i > from ? ", " : "") + args[i];
        return out + ")";
    };
    while (items.size() > kMostArguments) {
        std::vector<std::string> groups;
        for (size_t i = 0; i < items.size(); i += kMostArguments)
            groups.push_back(call(items, i, std::min(items.size(), i + kMostArguments)));
        items = std::move(groups);
    }
    return call(items, 0, items.size());
}

std::string dateLiteral(const std::string &text) {
    std::string t = text;
    if (t.size() == 10)
        t += " 00:00:00";
    if (t.size() > 19)
        t = t.substr(0, 19);
    return quoteText(t);
}

std::string joinAnd(const std::vector<Expr *> &conds) {
    std::string out;
    for (size_t i = 0; i < conds.size(); ++i) {
        if (i)
            out += " AND ";
        out += emitExpression(*conds[i]);
    }
    return out;
}

std::string quantified(const Expr &e) {
    const Expr &x = *e.args[0];
    if (!e.query) {
        std::string out = "(";
        for (size_t i = 1; i < e.args.size(); ++i) {
            if (i > 1)
                out += e.quantifier == "ALL" ? " AND " : " OR ";
            out += "(" + emitExpression(x) + " " + e.op + " " + emitExpression(*e.args[i]) + ")";
        }
        return out + ")";
    }
    std::string column = "kdb_q." + quoteIdent(e.query->outputs.empty() ? std::string("X") : e.query->outputs[0].name);
    std::string cmp = emitExpression(x) + " " + e.op + " " + column;
    if (e.quantifier == "ALL")
        return "(NOT EXISTS (SELECT 1 FROM (" + emitQuery(*e.query) + ") AS kdb_q WHERE NOT (" + cmp + ")))";
    return "(EXISTS (SELECT 1 FROM (" + emitQuery(*e.query) + ") AS kdb_q WHERE " + cmp + "))";
}

}  // namespace

std::string bindParameterName(const std::string &name) { return ":kb_" + name; }

std::string orderTermSql(const std::string &key, const OrderItem &item) {
    int nulls = item.nulls;
    if (nulls == 0)
        nulls = item.descending ? 1 : 2;
    return key + (item.descending ? " DESC" : " ASC") + (nulls == 1 ? " NULLS FIRST" : " NULLS LAST");
}

std::string emitExpression(const Expr &e) {
    std::string replaced;
    if (groupingReplacement(e, replaced))
        return replaced;
    switch (e.kind) {
    case ExprKind::Null:
        return "NULL";
    case ExprKind::Number:
        return e.text;
    case ExprKind::String:
        return quoteText(e.text);
    case ExprKind::DateLiteral:
        return dateLiteral(e.text);
    case ExprKind::Column:
        switch (e.binding) {
        case ColumnBinding::TableColumn:
        case ColumnBinding::Rowid:
            return e.column;
        case ColumnBinding::Rownum:
            return e.column.empty() ? "row_number() OVER ()" : "row_number() OVER (ORDER BY " + e.column + ")";
        case ColumnBinding::Level:
            return e.column.empty() ? "kdb_h.lvl" : e.column;
        case ColumnBinding::Sysdate:
            return "ora_sysdate()";
        case ColumnBinding::User:
            return e.text == "UID" ? "ora_uid()" : "ora_user()";
        case ColumnBinding::NextVal:
            return "kdb_nextval(" + e.sequenceKey + ")";
        case ColumnBinding::CurrVal:
            return "kdb_currval(" + e.sequenceKey + ")";
        default:
            return e.column.empty() ? "NULL" : e.column;
        }
    case ExprKind::Star:
        return "*";
    case ExprKind::Bind:
        return bindParameterName(e.text);
    case ExprKind::Unary:
        if (e.op == "NOT")
            return "(NOT " + emitExpression(*e.args[0]) + ")";
        if (e.op == "-")
            return "(- " + emitExpression(*e.args[0]) + ")";
        return emitExpression(*e.args[0]);
    case ExprKind::Binary: {
        const Expr &a = *e.args[0];
        const Expr &b = *e.args[1];
        if (e.op == "||") {
            std::vector<const Expr *> parts;
            flattenConcat(e, parts);
            std::vector<std::string> items;
            for (const Expr *part : parts)
                items.push_back(emitExpression(*part));
            return concatCall(std::move(items));
        }
        if (e.sqlFunction == "ora_date_add") {
            if (a.type.isDate())
                return "ora_date_add(" + emitExpression(a) + ", " + (e.op == "-" ? "- " : "") + emitExpression(b) + ")";
            return "ora_date_add(" + emitExpression(b) + ", " + emitExpression(a) + ")";
        }
        if (!e.sqlFunction.empty())
            return e.sqlFunction + "(" + emitExpression(a) + ", " + emitExpression(b) + ")";
        return "(" + emitExpression(a) + " " + e.op + " " + emitExpression(b) + ")";
    }
    case ExprKind::IsNull:
        return "(" + emitExpression(*e.args[0]) + (e.negated ? " IS NOT NULL)" : " IS NULL)");
    case ExprKind::Between:
        return "(" + emitExpression(*e.args[0]) + (e.negated ? " NOT BETWEEN " : " BETWEEN ") +
               emitExpression(*e.args[1]) + " AND " + emitExpression(*e.args[2]) + ")";
    case ExprKind::InList: {
        std::string out = "(" + emitExpression(*e.args[0]) + (e.negated ? " NOT IN (" : " IN (");
        for (size_t i = 1; i < e.args.size(); ++i) {
            if (i > 1)
                out += ", ";
            out += emitExpression(*e.args[i]);
        }
        return out + "))";
    }
    case ExprKind::InQuery:
        return "(" + emitExpression(*e.args[0]) + (e.negated ? " NOT IN (" : " IN (") + emitQuery(*e.query, nullptr, false) + "))";
    case ExprKind::Like: {
        std::string out = "(" + emitExpression(*e.args[0]) + (e.negated ? " NOT LIKE " : " LIKE ") +
                          emitExpression(*e.args[1]);
        if (e.args.size() > 2)
            out += " ESCAPE " + emitExpression(*e.args[2]);
        return out + ")";
    }
    case ExprKind::Exists:
        return "(EXISTS (" + emitQuery(*e.query, nullptr, false) + "))";
    case ExprKind::Subquery: {
        // A value subquery must return one row at most (ORA-01427); SQLite would take the first.
        static const std::vector<std::string> value = {"kdb_v"};
        return "(SELECT CASE WHEN count(*) > 1 THEN kdb_raise(1427) ELSE max(kdb_v) END FROM (SELECT kdb_v FROM (" +
               emitQuery(*e.query, &value, false) + ") LIMIT 2))";
    }
    case ExprKind::Function: {
        GroupingPause beforeGrouping(e.aggregate);
        if (e.analytic)
            return emitAnalytic(e);
        std::string out = e.sqlFunction + "(";
        if (e.distinct)
            out += "DISTINCT ";
        for (size_t i = 0; i < e.args.size(); ++i) {
            if (i)
                out += ", ";
            out += e.args[i]->kind == ExprKind::Star ? "*" : emitExpression(*e.args[i]);
        }
        return out + ")";
    }
    case ExprKind::Case: {
        std::string out = "CASE";
        if (!e.args.empty())
            out += " " + emitExpression(*e.args[0]);
        for (size_t i = 0; i < e.whens.size(); ++i)
            out += " WHEN " + emitExpression(*e.whens[i]) + " THEN " + emitExpression(*e.thens[i]);
        if (e.elseExpr)
            out += " ELSE " + emitExpression(*e.elseExpr);
        return out + " END";
    }
    case ExprKind::Quantified:
        if (e.query && e.quantifier == "ANY" && e.op == "=")
            return "(" + emitExpression(*e.args[0]) + " IN (" + emitQuery(*e.query) + "))";
        return quantified(e);
    }
    return "NULL";
}

namespace {

std::string sourceSql(const Source &src) {
    if (src.functionArgument)
        return src.sqlFrom + "(" + emitExpression(*src.functionArgument) + ", " + quoteText(src.functionSpec) +
               ") AS " + src.sqlAlias;
    if (src.derived)
        return "(" + emitQuery(*src.derived) + ") AS " + src.sqlAlias;
    return src.sqlFrom + " AS " + src.sqlAlias;
}

std::string ansiFrom(const TableRef &ref, const BoundBlock &block) {
    if (ref.kind != TableRef::Join)
        return sourceSql(block.sources[size_t(ref.sourceIndex)]);
    std::string right = ansiFrom(*ref.right, block);
    if (ref.right->kind == TableRef::Join)
        right = "(" + right + ")";
    std::string type = ref.joinType == "INNER" ? "JOIN" : ref.joinType == "CROSS" ? "CROSS JOIN" : ref.joinType + " JOIN";
    if (ref.natural)
        type = "NATURAL " + type;
    std::string out = ansiFrom(*ref.left, block) + " " + type + " " + right;
    if (ref.on)
        out += " ON " + emitExpression(*ref.on);
    if (!ref.usingColumns.empty()) {
        out += " USING (";
        for (size_t i = 0; i < ref.usingColumns.size(); ++i)
            out += (i ? ", " : "") + quoteIdent(ref.usingColumns[i]);
        out += ")";
    }
    return out;
}

// The FROM list of a block: ANSI joins as written, or the comma list with old-style outer joins
// as LEFT JOINs after the sources their conditions name.
std::string fromSql(const SelectCore &core, const BoundBlock &block) {
    std::string sql;
    if (block.ansi) {
        for (size_t i = 0; i < core.from.size(); ++i)
            sql += (i ? ", " : "") + ansiFrom(*core.from[i], block);
        return sql;
    }
    for (size_t k = 0; k < block.joinOrder.size(); ++k) {
        const Source &src = block.sources[size_t(block.joinOrder[k])];
        if (k == 0)
            sql += sourceSql(src);
        else if (src.optional)
            sql += " LEFT JOIN " + sourceSql(src) + " ON " + joinAnd(src.onConditions);
        else
            sql += ", " + sourceSql(src);
    }
    return sql;
}

// One ORDER BY term by select-list position or by expression.
std::string orderTerm(const OrderItem &item, int position) {
    return orderTermSql(position > 0 ? std::to_string(position) : emitExpression(*item.expr), item);
}

// Whether rows of this block come straight from one table in storage order: then that order is
// kept (Oracle returns a plain full scan in insertion order and users rely on it, while SQLite
// would otherwise read whatever covering index it likes).
// Bounds of a hierarchy without PRIOR, which nothing else stops (CONNECT BY 1 = 1): deeper or
// larger, it ends with Oracle's out-of-memory error instead of exhausting memory.
constexpr int kGeneratorMaxLevel = 10000;
constexpr long long kGeneratorMaxRows = 1000000;
// "FROM dual CONNECT BY LEVEL <= n", the everyday row generator, is a chain of one row per level:
// it is counted by level alone, streamed in level order without a path to build or sort, and only
// stopped (by Oracle's out-of-memory error) far beyond any count a user asks for.
constexpr long long kChainMaxLevel = 100000000;

// A chain's condition that reads neither LEVEL nor ROWNUM nor anything that may change from call to
// call (functions, subqueries, binds) holds at every level if it holds at the second: such a chain
// never ends, and is stopped as soon as it starts growing.
long long chainLevelBound(const SelectCore &core) {
    bool mayStop = false;
    visitExpressions(*core.connectBy, [&](const Expr &e, int) {
        if ((e.kind == ExprKind::Column && e.binding != ColumnBinding::TableColumn) || e.kind == ExprKind::Function ||
            e.kind == ExprKind::Bind || e.query)
            mayStop = true;
    });
    return mayStop ? kChainMaxLevel : 1;
}

// The SQL of an expression with the hierarchy's level (kdb_h.lvl, outside string literals)
// replaced by another expression.
std::string levelAs(const std::string &sql, const std::string &level) {
    static const std::string kLevel = "kdb_h.lvl";
    std::string out;
    bool inText = false;
    for (size_t i = 0; i < sql.size();) {
        if (sql[i] == '\'')
            inText = !inText;
        if (!inText && sql.compare(i, kLevel.size(), kLevel) == 0) {
            out += level;
            i += kLevel.size();
            continue;
        }
        out += sql[i++];
    }
    return out;
}

bool isRowChain(const SelectCore &core) {
    const BoundBlock &b = *core.bound;
    return b.hierarchical && !b.connectByPrior && core.siblingsOrder.empty() && b.sources.size() == 1 &&
           b.sources[0].isTable && b.sources[0].sqlFrom == physicalName("SYS", "DUAL");
}

bool keepsStorageOrder(const SelectCore &core, const Query &q) {
    const BoundBlock &b = *core.bound;
    return b.sources.size() == 1 && b.sources[0].isTable && !b.grouped && !core.distinct && q.orderBy.empty() &&
           !b.hierarchical && !b.rownumInsideSource && !b.windowed;
}

std::string emitCore(const SelectCore &core, const Query &q, const std::vector<std::string> *forcedNames,
                     bool withOrderBy, bool storageOrder, const std::string &hiddenColumns) {
    const BoundBlock &block = *core.bound;
    std::string sql;
    // A hierarchy over a table walks it by rowid; over a view or an inline view, the rows are
    // numbered once into a materialized table expression first.
    std::string hierarchyTable, hierarchyId = "rowid";
    const bool chain = isRowChain(core);
    if (block.hierarchical) {
        const Source &src = block.sources[0];
        hierarchyTable = src.sqlFrom;
        std::string prefix = "WITH RECURSIVE ";
        // A row generator (no PRIOR) is numbered too, so that its ids are small and dense and the
        // path of a deep generator stays one character per level.
        if (!chain && (!src.isTable || !core.siblingsOrder.empty() || !block.connectByPrior)) {
            // ORDER SIBLINGS BY numbers the rows in the wanted order, which the path then keeps.
            std::string rows = src.derived ? "(" + emitQuery(*src.derived) + ")" : src.sqlFrom;
            std::string order;
            for (size_t i = 0; i < core.siblingsOrder.size(); ++i)
                order += (i ? ", " : "ORDER BY ") + orderTerm(core.siblingsOrder[i], 0);
            if (order.empty() && src.isTable)
                order = "ORDER BY t0.rowid";
            prefix += "kdb_src AS MATERIALIZED (SELECT t0.*, row_number() OVER (" + order + ") AS kdb_rid FROM " + rows +
                      " AS t0), ";
            hierarchyTable = "kdb_src";
            hierarchyId = "kdb_rid";
        }
        const std::string id = "t0." + hierarchyId;
        // The path orders the rows depth first. With PRIOR it also finds loops (a row repeating
        // an ancestor); without PRIOR there are no loops, only a depth and row count bound.
        // In a chain the level is the path.
        const std::string piece = block.connectByPrior ? "'/' || printf('%012d', " + id + ")" : "char(" + id + ")";
        const std::string anchorPath = chain ? "1" : piece;
        const std::string stepPath = chain ? "kdb_h.lvl + 1" : "kdb_h.path || " + piece;
        const std::string stepId =
            block.connectByPrior
                ? "CASE WHEN instr(kdb_h.path, " + piece + ") > 0 THEN kdb_raise(1436) ELSE " + id + " END"
                : "CASE WHEN kdb_h.lvl >= " + std::to_string(chain ? chainLevelBound(core) : kGeneratorMaxLevel) +
                      " THEN kdb_raise(30009) ELSE " + id + " END";
        const std::string rowBound =
            block.connectByPrior || chain ? "" : " LIMIT " + std::to_string(kGeneratorMaxRows + 1);
        std::string start = core.startWith ? " WHERE " + emitExpression(*core.startWith) : "";
        std::string columns = "rid, lvl, path", anchor, step;
        for (size_t i = 0; i < block.carried.size(); ++i) {
            const auto &c = block.carried[i];
            const std::string name = "c" + std::to_string(i + 1);
            const std::string value = emitExpression(*c.value);
            // A carried value is the new row's: LEVEL in it is 1 at the start and one below the
            // parent's on each step.
            const std::string anchorValue = levelAs(value, "1");
            const std::string stepValue = levelAs(value, "(kdb_h.lvl + 1)");
            columns += ", " + name;
            if (c.separator) {
                const std::string sep = emitExpression(*c.separator);
                anchor += ", kdb_concat(" + levelAs(sep, "1") + ", " + anchorValue + ")";
                step += ", kdb_concat(kdb_h." + name + ", " + levelAs(sep, "(kdb_h.lvl + 1)") + ", " + stepValue + ")";
            } else {
                anchor += ", " + anchorValue;
                step += ", kdb_h." + name;
            }
        }
        sql += prefix + "kdb_h(" + columns + ") AS (SELECT " + id + ", 1, " + anchorPath + anchor + " FROM " +
               hierarchyTable + " AS t0" + start + " UNION ALL SELECT " + stepId + ", kdb_h.lvl + 1, " + stepPath +
               step + " FROM kdb_h" +
               // The parent's row is read only for PRIOR.
               (chain ? "" : " JOIN " + hierarchyTable + " AS kdb_p ON kdb_p." + hierarchyId + " = kdb_h.rid") +
               " JOIN " + hierarchyTable + " AS t0 ON " + emitExpression(*core.connectBy) + rowBound + ") ";
    }
    if (block.rownumBeforeSort) {
        // Rows are numbered before they are sorted: the limited rows come from an inner query
        // (its columns c1.., and o1.. for sort keys that are not selected), sorted outside.
        std::string inner = "SELECT ";
        for (size_t i = 0; i < core.items.size(); ++i)
            inner += (i ? ", " : "") + emitExpression(*core.items[i].expr) + " AS c" + std::to_string(i + 1);
        for (size_t i = 0; i < q.orderBy.size(); ++i)
            if (q.orderPositions[i] == 0)
                inner += ", " + emitExpression(*q.orderBy[i].expr) + " AS o" + std::to_string(i + 1);
        inner += " FROM " + fromSql(core, block);
        if (!block.where.empty())
            inner += " WHERE " + joinAnd(block.where);
        inner += " LIMIT " + std::to_string(block.rownumLimit);
        sql += core.distinct ? "SELECT DISTINCT " : "SELECT ";
        for (size_t i = 0; i < core.items.size(); ++i) {
            const std::string &name = forcedNames && i < forcedNames->size() ? (*forcedNames)[i] : q.outputs[i].name;
            sql += (i ? ", " : "") + std::string("c") + std::to_string(i + 1) + " AS " + quoteIdent(name);
        }
        sql += " FROM (" + inner + ")";
        if (withOrderBy && !q.orderBy.empty()) {
            sql += " ORDER BY ";
            for (size_t i = 0; i < q.orderBy.size(); ++i) {
                std::string key = q.orderPositions[i] > 0 ? "c" + std::to_string(q.orderPositions[i])
                                                         : "o" + std::to_string(i + 1);
                sql += (i ? ", " : "") + orderTermSql(key, q.orderBy[i]);
            }
        }
        return sql;
    }
    sql += core.distinct ? "SELECT DISTINCT " : "SELECT ";
    for (size_t i = 0; i < core.items.size(); ++i) {
        if (i)
            sql += ", ";
        const std::string &name = forcedNames && i < forcedNames->size() ? (*forcedNames)[i] : q.outputs[i].name;
        sql += emitExpression(*core.items[i].expr) + " AS " + quoteIdent(name);
    }
    sql += hiddenColumns;
    sql += " FROM ";
    bool whereMoved = false;
    if (block.hierarchical) {
        // CROSS JOIN keeps the hierarchy the outer loop, so that a chain comes out in level order.
        sql += "kdb_h " + std::string(chain ? "CROSS " : "") + "JOIN " + hierarchyTable + " AS t0 ON t0." +
               hierarchyId + " = kdb_h.rid";
        if (!block.connectByPrior && !chain)
            sql += " AND (SELECT CASE WHEN count(*) > " + std::to_string(kGeneratorMaxRows) +
                   " THEN kdb_raise(30009) END FROM kdb_h) IS NULL";
    } else if (block.rownumInsideSource) {
        // Rows are numbered as they leave WHERE, before grouping and sorting: filter and cut
        // inside the only source, then group and sort what is left.
        const Source &src = block.sources[0];
        std::string inner = src.derived ? "(" + emitQuery(*src.derived) + ")" : src.sqlFrom;
        sql += "(SELECT * FROM " + inner + " AS " + src.sqlAlias;
        if (!block.where.empty())
            sql += " WHERE " + joinAnd(block.where);
        if (src.isTable)
            sql += " ORDER BY " + src.sqlAlias + ".rowid";
        sql += " LIMIT " + std::to_string(block.rownumLimit) + ") AS " + src.sqlAlias;
        whereMoved = true;
    } else {
        sql += fromSql(core, block);
    }
    if (!whereMoved && !block.where.empty())
        sql += " WHERE " + joinAnd(block.where);
    sql += groupByClause(core);
    // HAVING without GROUP BY makes the rows one group even where the select list aggregates
    // nothing; SQLite takes such a query for grouped only with a GROUP BY.
    if (core.having && core.groupBy.empty() && core.groupingSets.empty() && !selectListAggregates(core))
        sql += " GROUP BY 'kdb_one_group'";
    if (core.having)
        sql += " HAVING " + emitExpression(*core.having);
    if (withOrderBy) {
        if (!q.orderBy.empty()) {
            sql += " ORDER BY ";
            for (size_t i = 0; i < q.orderBy.size(); ++i)
                sql += (i ? ", " : "") + orderTerm(q.orderBy[i], q.orderPositions[i]);
        } else if (block.hierarchical && !chain) {
            sql += " ORDER BY kdb_h.path";
        } else if (storageOrder && keepsStorageOrder(core, q)) {
            sql += " ORDER BY " + block.sources[0].sqlAlias + ".rowid";
        }
    }
    if (block.rownumLimit >= 0 && !block.rownumInsideSource)
        sql += " LIMIT " + std::to_string(block.rownumLimit);
    return sql;
}

bool needsWrapping(const Query &q) {
    if (!q.core)
        return true;
    const BoundBlock &b = *q.core->bound;
    return !q.orderBy.empty() || q.limit || b.hierarchical ||
           (b.rownumLimit >= 0 && !b.rownumInsideSource && !b.rownumBeforeSort);
}

}  // namespace

std::string emitQuery(const Query &q, const std::vector<std::string> *forcedNames, bool storageOrder) {
    GroupingPause ownValues;  // a subquery's expressions are its own, not the grouped block's
    if (!q.recursiveName.empty())
        return emitRecursiveQuery(q);
    if (!q.withColumns.empty() && !forcedNames)
        forcedNames = &q.withColumns;  // WITH name (columns): the element's columns by those names
    if (q.limit)
        return emitLimitedQuery(q, forcedNames, storageOrder);
    return emitQueryRows(q, forcedNames, storageOrder, {});
}

std::string emitQueryRows(const Query &q, const std::vector<std::string> *forcedNames, bool storageOrder,
                          const std::string &hiddenColumns) {
    if (q.core) {
        const bool branch = emittingBranchOf(*q.core);
        if (!q.core->groupingSets.empty() && !branch)
            return emitGroupingSets(q, forcedNames, hiddenColumns);
        return emitCore(*q.core, q, forcedNames, !branch, storageOrder && !branch, hiddenColumns);
    }
    std::string left = emitQuery(*q.left, forcedNames, false);
    if (q.left->core && needsWrapping(*q.left))
        left = "SELECT * FROM (" + left + ")";
    std::string right = emitQuery(*q.right, nullptr, false);
    if (needsWrapping(*q.right))
        right = "SELECT * FROM (" + right + ")";
    std::string op = q.setOp == "MINUS" ? "EXCEPT" : q.setOp;
    std::string sql = left + " " + op + " " + right;
    if (!q.orderBy.empty()) {
        sql += " ORDER BY ";
        for (size_t i = 0; i < q.orderBy.size(); ++i)
            sql += (i ? ", " : "") + orderTerm(q.orderBy[i], q.orderPositions[i]);
    }
    return sql;
}

}  // namespace localdb
