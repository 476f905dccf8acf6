// Prints SQLite SQL from a bound syntax tree. Everything was decided by the binder; the emitter
// only spells it out (pure functions, no catalogue access).
#pragma once

#include "localdb/sql/ast.h"

#include <string>
#include <vector>

namespace localdb {

// The SQL of a bound expression.
std::string emitExpression(const Expr &e);

// The SQL of a bound query. forcedNames, when given, replaces the result column names (used by
// INSERT ... SELECT to address the columns by position).
// storageOrder: a plain scan of one table keeps the table's storage (insertion) order.
std::string emitQuery(const Query &q, const std::vector<std::string> *forcedNames = nullptr, bool storageOrder = true);

// One ORDER BY term over the SQL key with Oracle's NULL placement: NULL sorts as larger than
// every value unless NULLS FIRST / LAST says otherwise.
std::string orderTermSql(const std::string &key, const OrderItem &item);

// The SQLite parameter name used for the bind variable NAME.
std::string bindParameterName(const std::string &name);

}  // namespace localdb
