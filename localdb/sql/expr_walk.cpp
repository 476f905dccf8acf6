#include "localdb/sql/expr_walk.h"

#include "localdb/sql/window_sql.h"

namespace localdb {
namespace {

void visitTableRef(const TableRef &t, const ExprVisitor &visit, int depth) {
    if (t.query)
        visitExpressions(*t.query, visit, depth);
    if (t.left)
        visitTableRef(*t.left, visit, depth);
    if (t.right)
        visitTableRef(*t.right, visit, depth);
    if (t.on)
        visitExpressions(*t.on, visit, depth);
}

void visitCore(const SelectCore &c, const ExprVisitor &visit, int depth) {
    for (const auto &item : c.items)
        visitExpressions(*item.expr, visit, depth);
    for (const auto &t : c.from)
        visitTableRef(*t, visit, depth);
    for (const ExprPtr *e : {&c.where, &c.startWith, &c.connectBy, &c.having})
        if (*e)
            visitExpressions(**e, visit, depth);
    for (const auto &g : c.groupBy)
        visitExpressions(*g, visit, depth);
    for (const auto &o : c.siblingsOrder)
        visitExpressions(*o.expr, visit, depth);
}

}  // namespace

void visitExpressions(const Expr &e, const ExprVisitor &visit, int depth) {
    visit(e, depth);
    for (const auto &a : e.args)
        visitExpressions(*a, visit, depth);
    for (const auto &w : e.whens)
        visitExpressions(*w, visit, depth);
    for (const auto &t : e.thens)
        visitExpressions(*t, visit, depth);
    if (e.elseExpr)
        visitExpressions(*e.elseExpr, visit, depth);
    forEachWindowPart(e, [&](const Expr &part) { visitExpressions(part, visit, depth); });
    if (e.query)
        visitExpressions(*e.query, visit, depth + 1);
}

void visitExpressions(const Query &q, const ExprVisitor &visit, int depth) {
    for (const auto &w : q.with)
        visitExpressions(*w.second, visit, depth);
    if (q.core)
        visitCore(*q.core, visit, depth);
    if (q.left)
        visitExpressions(*q.left, visit, depth);
    if (q.right)
        visitExpressions(*q.right, visit, depth);
    for (const auto &o : q.orderBy)
        visitExpressions(*o.expr, visit, depth);
}

}  // namespace localdb
