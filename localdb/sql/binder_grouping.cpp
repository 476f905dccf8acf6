// Binder: GROUPING(expr), GROUPING_ID(expr, ...) and GROUP_ID(), which tell the rows of grouping
// sets apart. Each is a constant per grouping set, so the emitter writes its value per branch.
#include "localdb/sql/binder.h"

#include "localdb/system/errors.h"

namespace localdb {

void Binder::bindGroupingFunction(ExprPtr &ep, Scope &scope) {
    Expr &e = *ep;
    if (!scope.aggregatesAllowed)
        raise(934, e.offset);
    if (!scope.block || !scope.block->grouped)
        raise(30481, e.offset);
    const size_t n = e.args.size();
    if (e.op == "GROUP_ID" ? n != 0 : n == 0)
        raise(909, e.offset);
    if (e.op == "GROUPING" && n > 1)
        raise(939, e.offset);
    Scope inner = scope;
    inner.aggregatesAllowed = false;
    inner.analyticAllowed = false;
    for (auto &a : e.args)
        bindExpr(a, inner);
    e.aggregate = true;  // one value per group, like an aggregate
    e.sqlFunction = "kdb_grouping";
    e.type = Type::number();
}

}  // namespace localdb
