// The lazy cursor over a prepared SQLite query: one row at a time, so a million-row query
// starts at once.
#pragma once

#include "localdb/session_core.h"

#include <memory>

namespace localdb {

std::unique_ptr<Cursor> makeCursor(std::shared_ptr<SessionCore> core, std::shared_ptr<CompiledStatement> compiled,
                                   Prepared statement);

}  // namespace localdb
