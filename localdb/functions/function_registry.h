// The SQLite entry points of each group of functions, gathered by registerOracleFunctions.
#pragma once

#include "localdb/functions/function_errors.h"
#include "localdb/functions/sqlite_arguments.h"

#include <vector>

namespace localdb::functions {

std::vector<ScalarImplementation> numberFunctionImplementations();
std::vector<ScalarImplementation> textFunctionImplementations();
std::vector<ScalarImplementation> conversionFunctionImplementations();
std::vector<ScalarImplementation> dateFunctionImplementations();
std::vector<ScalarImplementation> sessionFunctionImplementations();
std::vector<ScalarImplementation> regexFunctionImplementations();
std::vector<ScalarImplementation> miscFunctionImplementations();
std::vector<ScalarImplementation> jsonFunctionImplementations();

// Aggregates have their own registration (step and final callbacks).
void registerAggregates(sqlite3 *db, SessionContext *context);
// The engine's own window functions and ordered aggregates (kdb_frame_value, kdb_listagg ...).
void registerWindowFunctions(sqlite3 *db, SessionContext *context);
void registerOrderedAggregates(sqlite3 *db, SessionContext *context);

}  // namespace localdb::functions
