// Emitter: grouping sets as UNION ALL of one GROUP BY per set.
#include "localdb/sql/grouping_sql.h"

#include "localdb/sql/binder.h"
#include "localdb/catalog/catalog.h"
#include "localdb/sql/emitter.h"
#include "localdb/sql/expr_walk.h"
#include "localdb/sql/row_limit_sql.h"

#include <algorithm>

namespace localdb {
namespace {

struct GroupingBranch {
    const SelectCore *core;
    std::vector<int> set;
    int groupId;  // how many earlier branches group by the same set

    bool groups(int position) const { return std::find(set.begin(), set.end(), position) != set.end(); }
    // 1 when the expression is aggregated away in this branch (GROUPING's value).
    int groupingOf(const Expr &e) const {
        for (size_t i = 0; i < core->groupBy.size(); ++i)
            if (sameExpression(e, *core->groupBy[i]))
                return groups(int(i)) ? 0 : 1;
        return 0;
    }
};

thread_local const GroupingBranch *activeBranch = nullptr;

// Whether the block's select list or HAVING aggregates (then SQLite returns one row without
// GROUP BY); GROUPING() and its kin do not count.
bool hasAggregate(const SelectCore &core) {
    bool found = false;
    auto look = [&](const Expr &e, int depth) {
        found = found || (depth == 0 && e.aggregate && e.sqlFunction != "kdb_grouping");
    };
    for (const auto &item : core.items)
        visitExpressions(*item.expr, look);
    if (core.having)
        visitExpressions(*core.having, look);
    return found;
}

// The position of the select item an ORDER BY expression repeats, or 0.
int selectedPosition(const SelectCore &core, const Expr &e) {
    for (size_t i = 0; i < core.items.size(); ++i)
        if (sameExpression(*core.items[i].expr, e))
            return int(i + 1);
    return 0;
}

}  // namespace

GroupingPause::GroupingPause(bool pause) : saved_(activeBranch), paused_(pause) {
    if (paused_)
        activeBranch = nullptr;
}

GroupingPause::~GroupingPause() {
    if (paused_)
        activeBranch = static_cast<const GroupingBranch *>(saved_);
}

bool groupingReplacement(const Expr &e, std::string &sql) {
    const GroupingBranch *branch = activeBranch;
    if (e.kind == ExprKind::Function && e.sqlFunction == "kdb_grouping") {
        // Outside grouping sets every grouping expression is grouped by: all values are 0.
        long long value = 0;
        if (branch && e.op == "GROUP_ID") {
            value = branch->groupId;
        } else if (branch) {
            for (const auto &a : e.args)
                value = value * 2 + branch->groupingOf(*a);
        }
        sql = std::to_string(value);
        return true;
    }
    if (!branch || e.aggregate || e.kind == ExprKind::Null)
        return false;
    for (size_t i = 0; i < branch->core->groupBy.size(); ++i)
        if (!branch->groups(int(i)) && sameExpression(e, *branch->core->groupBy[i])) {
            sql = "NULL";
            return true;
        }
    return false;
}

bool emittingBranchOf(const SelectCore &core) { return activeBranch && activeBranch->core == &core; }

std::string groupByClause(const SelectCore &core) {
    const GroupingBranch *branch = activeBranch && activeBranch->core == &core ? activeBranch : nullptr;
    std::string sql;
    for (size_t i = 0; i < core.groupBy.size(); ++i)
        if (!branch || branch->groups(int(i)))
            sql += (sql.empty() ? " GROUP BY " : ", ") + emitExpression(*core.groupBy[i]);
    if (branch && sql.empty() && !hasAggregate(core))
        sql = " GROUP BY ''";  // the grand total is one row even where nothing aggregates
    return sql;
}

std::string emitGroupingSets(const Query &q, const std::vector<std::string> *forcedNames,
                             const std::string &hiddenColumns) {
    const SelectCore &core = *q.core;
    // ORDER BY expressions that are not result columns travel as hidden columns of each branch
    // (the same ones the row limiting clause asks for, when it asks).
    std::vector<int> positions(q.orderBy.size(), 0);
    std::string hiddenNames;
    for (size_t i = 0; i < q.orderBy.size(); ++i) {
        positions[i] = q.orderPositions[i] > 0 ? q.orderPositions[i] : selectedPosition(core, *q.orderBy[i].expr);
        if (q.orderPositions[i] == 0)
            hiddenNames += ", kdb_o" + std::to_string(i + 1);
    }
    std::string branches;
    std::vector<std::vector<int>> seen;
    for (const auto &set : core.groupingSets) {
        std::vector<int> sorted = set;
        std::sort(sorted.begin(), sorted.end());
        sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
        GroupingBranch branch{&core, sorted, int(std::count(seen.begin(), seen.end(), sorted))};
        seen.push_back(sorted);
        const GroupingBranch *saved = activeBranch;
        activeBranch = &branch;
        std::string sql;
        try {
            std::string hidden;
            for (size_t i = 0; i < q.orderBy.size(); ++i)
                if (q.orderPositions[i] == 0)
                    hidden += ", " + emitExpression(*q.orderBy[i].expr) + " AS kdb_o" + std::to_string(i + 1);
            sql = emitQueryRows(q, forcedNames, false, hidden);
        } catch (...) {
            activeBranch = saved;
            throw;
        }
        activeBranch = saved;
        branches += (branches.empty() ? "" : " UNION ALL ") + sql;
    }
    std::string columns;
    for (size_t i = 0; i < q.outputs.size(); ++i)
        columns += (i ? ", " : "") +
                   quoteIdent(forcedNames && i < forcedNames->size() ? (*forcedNames)[i] : q.outputs[i].name);
    if (!hiddenColumns.empty())
        columns += hiddenNames;
    std::string sql = "SELECT " + columns + " FROM (" + branches + ")";
    for (size_t i = 0; i < q.orderBy.size(); ++i) {
        const std::string key = positions[i] > 0 ? std::to_string(positions[i]) : "kdb_o" + std::to_string(i + 1);
        sql += (i ? ", " : " ORDER BY ") + orderTermSql(key, q.orderBy[i]);
    }
    return sql;
}

}  // namespace localdb
