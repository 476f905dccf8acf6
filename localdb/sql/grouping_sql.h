// ROLLUP, CUBE and GROUPING SETS in emitted SQL: one grouped branch per grouping set, joined by
// UNION ALL. While a branch is emitted, the grouping expressions it leaves out read as NULL and
// GROUPING(), GROUPING_ID() and GROUP_ID() as the branch's constants.
#pragma once

#include "localdb/sql/ast.h"

#include <string>
#include <vector>

namespace localdb {

// The branches of a query block with grouping sets, ordered by the query's ORDER BY.
std::string emitGroupingSets(const Query &q, const std::vector<std::string> *forcedNames,
                             const std::string &hiddenColumns);

// The SQL standing for e in the branch being emitted (a left-out grouping expression or a
// grouping function); false when e is emitted as usual.
bool groupingReplacement(const Expr &e, std::string &sql);

// The GROUP BY clause of the block: the grouping expressions of the branch being emitted (all of
// them outside a branch); "" when there are none.
std::string groupByClause(const SelectCore &core);

// Whether a branch of this block is being emitted.
bool emittingBranchOf(const SelectCore &core);

// Emitting an aggregate's arguments or a subquery: the values are those before grouping.
class GroupingPause {
public:
    explicit GroupingPause(bool pause = true);
    ~GroupingPause();
    GroupingPause(const GroupingPause &) = delete;
    GroupingPause &operator=(const GroupingPause &) = delete;

private:
    const void *saved_;
    bool paused_;
};

}  // namespace localdb
