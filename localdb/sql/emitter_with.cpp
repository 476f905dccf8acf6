// Emitter: a recursive WITH element as SQLite's WITH RECURSIVE. Hidden columns carry, per row, the
// path of the cycle columns' values from the anchor down (to find a row repeating an ancestor:
// ORA-32044, or the CYCLE mark), the path of the SEARCH keys and the level (for SEARCH's order).
#include "localdb/sql/emitter.h"

#include "localdb/catalog/catalog.h"
#include "localdb/sql/row_limit_sql.h"

#include <algorithm>

namespace localdb {
namespace {

// The SQL of the member's result column named column.
std::string itemSql(const Query &member, const std::vector<std::string> &names, const std::string &column) {
    size_t i = size_t(std::find(names.begin(), names.end(), column) - names.begin());
    return emitExpression(*member.core->items[std::min(i, member.core->items.size() - 1)].expr);
}

// One step of a path: the values quoted, so that no value can pass for another.
std::string pathPiece(const Query &member, const Query &q, const std::vector<std::string> &columns) {
    std::string out = "'/'";
    for (size_t i = 0; i < columns.size(); ++i)
        out += " || quote(" + itemSql(member, q.withColumns, columns[i]) + ")" + (i + 1 < columns.size() ? " || '|'" : "");
    return out + " || '/'";
}

// SEARCH keys of one level as text that sorts as the values do: numbers offset and padded.
std::string orderPiece(const Query &member, const Query &q) {
    std::string out = "''";
    for (const auto &column : q.searchBy) {
        const std::string v = itemSql(member, q.withColumns, column);
        out += " || CASE WHEN typeof(" + v + ") IN ('integer', 'real') THEN printf('%030.9f', " + v +
               " + 1e15) ELSE coalesce(" + v + ", '') END || char(2)";
    }
    return out;
}

}  // namespace

std::string emitRecursiveQuery(const Query &q) {
    const Query &anchor = *q.left, &member = *q.right;
    const std::string &self = q.recursiveAlias;
    const std::vector<std::string> &cycle = q.cycleColumns.empty() ? q.withColumns : q.cycleColumns;
    std::string columns;
    for (size_t i = 0; i < q.withColumns.size(); ++i)
        columns += (i ? ", " : "") + quoteIdent(q.withColumns[i]);
    const std::string start = ", " + pathPiece(anchor, q, cycle) + " AS kdb_path, 0 AS kdb_cyc, " +
                              orderPiece(anchor, q) + " AS kdb_ord, 1 AS kdb_lvl";
    const std::string piece = pathPiece(member, q, cycle);
    const std::string repeats = "instr(" + self + ".kdb_path, " + piece + ") > 0";
    std::string step = ", " + self + ".kdb_path || " + piece + " AS kdb_path, ";
    if (q.cycleColumns.empty())
        step = ", CASE WHEN " + repeats + " THEN kdb_raise(32044) ELSE " + self + ".kdb_path || " + piece +
               " END AS kdb_path, 0 AS kdb_cyc, ";
    else
        step += "(" + repeats + ") AS kdb_cyc, ";
    step += self + ".kdb_ord || char(1) || " + orderPiece(member, q) + " AS kdb_ord, " + self + ".kdb_lvl + 1 AS kdb_lvl";
    std::string sql = "WITH RECURSIVE " + q.recursiveName + "(" + columns + ", kdb_path, kdb_cyc, kdb_ord, kdb_lvl) AS (" +
                      emitQueryRows(anchor, &q.withColumns, false, start) + " UNION ALL " +
                      emitQueryRows(member, &q.withColumns, false, step) + ") SELECT " + columns;
    if (!q.searchKind.empty())
        sql += ", row_number() OVER (ORDER BY " + std::string(q.searchKind == "BREADTH" ? "kdb_lvl, " : "") +
               "kdb_ord) AS " + quoteIdent(q.searchColumn);
    if (!q.cycleColumns.empty())
        sql += ", CASE WHEN kdb_cyc THEN " + quoteText(q.cycleValue) + " ELSE " + quoteText(q.cycleDefault) + " END AS " +
               quoteIdent(q.cycleMark);
    return sql + " FROM " + q.recursiveName;
}

}  // namespace localdb
