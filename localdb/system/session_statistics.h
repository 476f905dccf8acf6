// Figures about a session's work that its users do not need but its tests and diagnostics do.
#pragma once

#include "localdb/localdb.h"

#include <cstdint>

namespace localdb {

// How many queries and DML statements the session has translated from Oracle's SQL so far. A
// text run again reuses its translation until a DDL changes an object the text names.
std::int64_t statementsTranslated(const Session &session);

}  // namespace localdb
