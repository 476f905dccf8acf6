// EXPLAIN PLAN: the statement is planned by SQLite and its plan is written into the plan table
// as Oracle's plan rows (operation, options, object, ID / PARENT_ID / POSITION forming the tree).
#pragma once

#include "localdb/sql/name_resolver.h"
#include "localdb/sql/statement.h"

namespace localdb {

struct SessionCore;

void explainPlan(ExplainStmt &st, SessionCore &core, NameResolver &names);

}  // namespace localdb
