// The JSON functions' SQLite entry points, in two files: conditions and queries
// (json_functions.cpp) and generation with its aggregates (json_generation.cpp).
#pragma once

#include "localdb/functions/sqlite_arguments.h"

#include <vector>

namespace localdb::functions {

// The SQLite subtype marking a text value as JSON (a generated object or a query result), so that
// an enclosing generation function embeds it as JSON instead of quoting it as a string.
inline constexpr unsigned kJsonSubtype = 'J';

std::vector<ScalarImplementation> jsonGenerationImplementations();
void registerJsonAggregates(sqlite3 *db, SessionContext *context);

}  // namespace localdb::functions
