// The lazy cursor over a prepared SQLite query: one row at a time, so a million-row query
// starts at once.
#pragma once

#include "localdb/system/session_core.h"

#include <memory>

namespace localdb {

// readNow: every row is read before the cursor is returned (its errors still come with the rows
// as they are fetched), so that what the query wrote can be committed at once.
std::unique_ptr<Cursor> makeCursor(std::shared_ptr<SessionCore> core, std::shared_ptr<CompiledStatement> compiled,
                                   Prepared statement, bool readNow = false);

}  // namespace localdb
