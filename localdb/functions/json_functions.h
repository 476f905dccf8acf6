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
// JSON_TABLE's rows: the table-valued function kdb_json_table(document, description).
void registerJsonTableModule(sqlite3 *db);

// A JSON document argument as text: a BLOB holds the document's UTF-8 bytes, not a RAW to show in
// hexadecimal.
std::string documentText(const Arguments &a, int i);

}  // namespace localdb::functions
