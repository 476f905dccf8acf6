// Emitter: analytic functions as SQLite window functions with Oracle's NULL order written out,
// and what SQLite lacks (IGNORE NULLS, FROM LAST, RATIO_TO_REPORT, DISTINCT over a window,
// LISTAGG, PERCENTILE_*, KEEP) as calls of the engine's own window and ordered aggregates.
#include "localdb/sql/emitter.h"
#include "localdb/sql/window_sql.h"

#include "localdb/catalog/catalog.h"

namespace localdb {
namespace {

// The direction and NULL placement of each sort key, two letters per key (A/D, F/L), which the
// engine's ordered aggregates read to order their rows as Oracle would.
std::string sortSpec(const std::vector<OrderItem> &keys) {
    std::string spec;
    for (const auto &k : keys) {
        int nulls = k.nulls ? k.nulls : k.descending ? 1 : 2;
        spec += k.descending ? 'D' : 'A';
        spec += nulls == 1 ? 'F' : 'L';
    }
    return spec;
}

std::string keyList(const std::vector<OrderItem> &keys) {
    std::string out;
    for (const auto &k : keys)
        out += ", " + emitExpression(*k.expr);
    return out;
}

// ROWS offsets count whole rows.
std::string boundSql(const FrameBound &b, bool rows) {
    auto offset = [&]() {
        return rows ? "CAST(" + emitExpression(*b.offset) + " AS INTEGER)" : emitExpression(*b.offset);
    };
    switch (b.kind) {
    case FrameBound::UnboundedPreceding:
        return "UNBOUNDED PRECEDING";
    case FrameBound::Preceding:
        return offset() + " PRECEDING";
    case FrameBound::Following:
        return offset() + " FOLLOWING";
    case FrameBound::UnboundedFollowing:
        return "UNBOUNDED FOLLOWING";
    default:
        return "CURRENT ROW";
    }
}

// OVER (...) of a call; frame, when given, replaces the written frame.
std::string windowSql(const Analytic &a, const std::string &frame = {}) {
    std::string out = " OVER (";
    for (size_t i = 0; i < a.partitionBy.size(); ++i)
        out += (i ? ", " : "PARTITION BY ") + emitExpression(*a.partitionBy[i]);
    // A RANGE offset on a date counts days: the dates are ordered by their day number.
    const bool dayNumbers = a.frameUnit == "RANGE" && (a.start.offset || a.end.offset) && !a.orderBy.empty() &&
                            a.orderBy[0].expr->type.isDate();
    for (size_t i = 0; i < a.orderBy.size(); ++i) {
        std::string key = emitExpression(*a.orderBy[i].expr);
        if (dayNumbers)
            key = "julianday(" + key + ")";
        out += (i ? ", " : (a.partitionBy.empty() ? "ORDER BY " : " ORDER BY ")) + orderTermSql(key, a.orderBy[i]);
    }
    if (!frame.empty()) {
        out += " " + frame;
    } else if (!a.frameUnit.empty()) {
        const bool rows = a.frameUnit == "ROWS";
        out += " " + a.frameUnit + " BETWEEN " + boundSql(a.start, rows) + " AND " +
               (a.end.kind == FrameBound::None ? std::string("CURRENT ROW") : boundSql(a.end, rows));
    }
    return out + ")";
}

std::string argument(const Expr &e, size_t i, const std::string &otherwise) {
    return i < e.args.size() ? emitExpression(*e.args[i]) : otherwise;
}

// The call itself, without OVER.
std::string callSql(const Expr &e) {
    const Analytic &a = *e.analytic;
    const std::string name = e.op;
    if (e.sqlFunction == "kdb_keep") {
        std::string value = e.args[0]->kind == ExprKind::Star ? "1" : emitExpression(*e.args[0]);
        return "kdb_keep(" + quoteText(name) + ", " + value + ", " + quoteText((a.keep == 1 ? "F" : "L") +
               sortSpec(a.groupOrder)) + keyList(a.groupOrder) + ")";
    }
    if (e.sqlFunction == "kdb_listagg") {
        std::string overflow = a.overflowTruncate ? quoteText((a.overflowCount ? "C" : "N") + a.overflowIndicator)
                                                  : std::string("NULL");
        return "kdb_listagg(" + argument(e, 0, "NULL") + ", " + argument(e, 1, "NULL") + ", " + overflow + ", " +
               quoteText((e.distinct ? "D" : "A") + sortSpec(a.groupOrder)) + keyList(a.groupOrder) + ")";
    }
    if (e.sqlFunction == "kdb_percentile_cont" || e.sqlFunction == "kdb_percentile_disc")
        return e.sqlFunction + "(" + argument(e, 0, "NULL") + ", " + quoteText(sortSpec(a.groupOrder)) +
               keyList(a.groupOrder) + ")";
    if (e.sqlFunction == "kdb_distinct_aggregate")
        return "kdb_distinct_aggregate(" + quoteText(name) + ", " + argument(e, 0, "NULL") + ")";
    std::string out = e.sqlFunction + "(";
    for (size_t i = 0; i < e.args.size(); ++i)
        out += (i ? ", " : "") + (e.args[i]->kind == ExprKind::Star ? std::string("*") : emitExpression(*e.args[i]));
    return out + ")";
}

}  // namespace

std::string emitAnalytic(const Expr &e) {
    const Analytic &a = *e.analytic;
    if (!a.over)
        return callSql(e);
    const std::string name = e.op;
    if (name == "RATIO_TO_REPORT") {
        // The share of the partition's total; a zero total has no ratio.
        const std::string x = emitExpression(*e.args[0]);
        return "kdb_div(" + x + ", nullif(sum(" + x + ")" + windowSql(a) + ", 0))";
    }
    const bool valueFunction = name == "FIRST_VALUE" || name == "LAST_VALUE" || name == "NTH_VALUE";
    if (valueFunction && (a.ignoreNulls || a.fromLast)) {
        // The engine's frame value function counts from either end and can skip NULLs.
        const std::string nth = name == "NTH_VALUE" ? emitExpression(*e.args[1]) : "1";
        const bool fromLast = name == "LAST_VALUE" || a.fromLast;
        return "kdb_frame_value(" + emitExpression(*e.args[0]) + ", " + nth + ", " + (fromLast ? "1" : "0") + ", " +
               (a.ignoreNulls ? "1" : "0") + ")" + windowSql(a);
    }
    if ((name == "LAG" || name == "LEAD") && a.ignoreNulls) {
        // The offset-th non-NULL value before (after) the row: counted in the rows before (after) it.
        const bool lag = name == "LAG";
        const std::string frame = lag ? "ROWS BETWEEN UNBOUNDED PRECEDING AND 1 PRECEDING"
                                      : "ROWS BETWEEN 1 FOLLOWING AND UNBOUNDED FOLLOWING";
        std::string found = "kdb_frame_value(" + emitExpression(*e.args[0]) + ", " + argument(e, 1, "1") + ", " +
                            (lag ? "1" : "0") + ", 1)" + windowSql(a, frame);
        return e.args.size() > 2 ? "coalesce(" + found + ", " + emitExpression(*e.args[2]) + ")" : found;
    }
    return callSql(e) + windowSql(a);
}

}  // namespace localdb
