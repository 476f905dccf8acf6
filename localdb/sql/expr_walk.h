// Visits every expression under an expression or a query, subqueries included, with the depth of
// the query block each one sits in (0 for the starting block, 1 inside a subquery of it ...), so
// that a caller can tell a reference to its own block's columns from a correlated one.
#pragma once

#include "localdb/sql/ast.h"

#include <functional>

namespace localdb {

using ExprVisitor = std::function<void(const Expr &, int depth)>;

void visitExpressions(const Expr &e, const ExprVisitor &visit, int depth = 0);
void visitExpressions(const Query &q, const ExprVisitor &visit, int depth = 0);

}  // namespace localdb
