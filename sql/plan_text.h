// The statements of the worksheet's execution plan commands and the plan text they show.
#pragma once

#include <string>
#include <string_view>

namespace worksheet {

// Removes the worksheet's earlier plan rows.
std::string_view PlanDeleteStatement();
// EXPLAIN PLAN of the statement (trimmed of blanks and control characters) under the
// worksheet's statement identifier.
std::string ExplainStatement(std::string_view statement);
// The plan rows as indented text lines, one field per row.
std::string_view PlanQuery();
std::string_view CreatePlanTableStatement();
std::string_view DropPlanTableStatement();

// The plan words the log colours in bold blue.
const char *const *PlanWords();

} // namespace worksheet
