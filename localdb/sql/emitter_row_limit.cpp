// Emitter: OFFSET n ROWS FETCH FIRST m [PERCENT] ROWS ONLY | WITH TIES.
// A plain count becomes SQLite's LIMIT / OFFSET after the query's ORDER BY. PERCENT and WITH TIES
// number the rows in an outer query (row_number, rank and count(*) over the ORDER BY keys) and
// keep those in range, still in order.
// Oracle's value rules: a negative offset or count counts as 0, fractions are cut off, and a NULL
// offset or count gives no rows.
#include "localdb/sql/row_limit_sql.h"

#include "localdb/sql/binder.h"
#include "localdb/catalog/catalog.h"
#include "localdb/sql/emitter.h"

namespace localdb {
namespace {

// A whole number of rows, at least 0; NULL stays NULL.
std::string rowsSql(const Expr &e) { return "max(0, CAST(" + emitExpression(e) + " AS INTEGER))"; }

// Whether the query's SQL ends in a LIMIT of its own (a ROWNUM limit applied last).
bool endsInLimit(const Query &q) {
    if (!q.core)
        return false;
    const BoundBlock &b = *q.core->bound;
    return b.rownumLimit >= 0 && !b.rownumInsideSource && !b.rownumBeforeSort;
}

}  // namespace

std::string emitLimitedQuery(const Query &q, const std::vector<std::string> *forcedNames, bool storageOrder) {
    const RowLimit &limit = *q.limit;
    const std::string offset = limit.offset ? rowsSql(*limit.offset) : "0";
    const bool numbered = limit.count && (limit.percent || (limit.withTies && !q.orderBy.empty()));
    if (!numbered) {
        std::string sql = emitQueryRows(q, forcedNames, storageOrder, {});
        if (endsInLimit(q))
            sql = "SELECT * FROM (" + sql + ")";
        // A NULL offset or count leaves no rows; SQLite's LIMIT needs a number.
        std::string count = limit.count ? "coalesce(" + rowsSql(*limit.count) + ", 0)" : "-1";
        if (limit.offset)
            count = "CASE WHEN " + offset + " IS NULL THEN 0 ELSE " + count + " END";
        return sql + " LIMIT " + count + " OFFSET coalesce(" + offset + ", 0)";
    }
    std::vector<std::string> names;
    for (size_t i = 0; i < q.outputs.size(); ++i)
        names.push_back(forcedNames && i < forcedNames->size() ? (*forcedNames)[i] : q.outputs[i].name);
    // Sort keys that are not result columns travel as hidden columns kdb_o1, kdb_o2 ...
    std::string hidden, order;
    for (size_t i = 0; i < q.orderBy.size(); ++i) {
        std::string key;
        if (i < q.orderPositions.size() && q.orderPositions[i] > 0) {
            key = quoteIdent(names[size_t(q.orderPositions[i] - 1)]);
        } else {
            key = "kdb_o" + std::to_string(i + 1);
            hidden += ", " + emitExpression(*q.orderBy[i].expr) + " AS " + key;
        }
        order += (i ? ", " : "ORDER BY ") + orderTermSql(key, q.orderBy[i]);
    }
    const std::string rows = emitQueryRows(q, forcedNames, storageOrder, hidden);
    std::string count = emitExpression(*limit.count);
    if (limit.percent) {
        // CEIL(total * p / 100) rows.
        const std::string share = "(kdb_cnt * (" + count + ") / 100.0)";
        count = "(CAST(" + share + " AS INTEGER) + (CAST(" + share + " AS INTEGER) < " + share + "))";
    }
    const std::string last = "(" + offset + " + max(0, CAST(" + count + " AS INTEGER)))";
    std::string columns;
    for (size_t i = 0; i < names.size(); ++i)
        columns += (i ? ", " : "") + quoteIdent(names[i]);
    const std::string ranked = limit.withTies && !q.orderBy.empty() ? "kdb_rk" : "kdb_rn";
    return "SELECT " + columns + " FROM (SELECT *, row_number() OVER (" + order + ") AS kdb_rn, rank() OVER (" + order +
           ") AS kdb_rk, count(*) OVER () AS kdb_cnt FROM (" + rows + ")) WHERE kdb_rn > " + offset + " AND " + ranked +
           " <= " + last + " ORDER BY kdb_rn";
}

}  // namespace localdb
