// Binder: the offset and count of the row limiting clause are constants, bind variables or
// subqueries, never columns of the query (ORA-62550).
#include "localdb/sql/binder.h"

#include "localdb/system/errors.h"
#include "localdb/sql/expr_walk.h"

namespace localdb {

void Binder::bindRowLimit(RowLimit &limit) {
    for (ExprPtr *e : {&limit.offset, &limit.count}) {
        if (!*e)
            continue;
        visitExpressions(**e, [](const Expr &x, int depth) {
            if (depth == 0 && x.kind == ExprKind::Column)
                raise(62550, x.offset);
        });
        Scope constant;
        bindExpr(*e, constant);
        convert(*e, BaseType::Number);
    }
}

}  // namespace localdb
