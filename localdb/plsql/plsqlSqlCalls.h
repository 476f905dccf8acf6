// Stored functions called from SQL: the binder's hook that turns f(x) and pkg.f(x) into
// kdb_call(id, x), and the SQLite function that runs them.
#pragma once

#include "localdb/sql/name_resolver.h"
#include "localdb/plsql/plsqlCompiler.h"

namespace localdb::plsql {

// Resolves a call in SQL to a stored function (or a package's public function); false when the
// name is none. The units it found are added to dependencies when given.
bool resolveSqlCall(SessionCore &core, const UnitLookup &lookup, ExprPtr &e,
                    const std::function<void(ExprPtr &)> &bindArgument, std::vector<Dependency> *dependencies);

// A name SQL found no column for, tried as a call without arguments (pkg.f, f): Oracle calls a
// function named without parentheses. resolve is the caller's resolveSqlCall.
bool resolveBareCall(ExprPtr &e, const std::function<bool(ExprPtr &)> &resolve);

// Registers kdb_call on the session's connection.
void registerSqlCalls(SessionCore &core);

}  // namespace localdb::plsql
