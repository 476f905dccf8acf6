// What timestamps depend on in a session: its time zone, the database time zone, the session's
// default timestamp formats, and the text a query's timestamp and interval columns show.
#pragma once

#include "localdb/functions/session_context.h"
#include "localdb/functions/timestamp_value.h"
#include "localdb/sql/types.h"

#include <string>

namespace localdb::functions {

// DBTIMEZONE: where TIMESTAMP WITH LOCAL TIME ZONE values are kept.
inline constexpr const char *kDatabaseTimeZone = "+00:00";

// The session's zone (ALTER SESSION SET TIME_ZONE, else the operating system's offset).
TimeZone sessionTimeZone(const SessionContext &session);

// The value ALTER SESSION SET TIME_ZONE = value keeps: LOCAL, DBTIMEZONE, an offset or a region.
// Throws Oracle's error for a zone that does not exist, at position.
std::string sessionTimeZoneSetting(const std::string &value, int position);

// A stored timestamp (kind Timestamp, TimestampTz or TimestampLtz) or interval as the session
// shows it: the default timestamp formats, intervals as '+01 02:03:04.000000'.
std::string temporalDisplayText(const std::string &stored, Temporal kind, int leading, int fraction,
                                const SessionContext &session);
std::string intervalDisplayText(std::int64_t stored, Temporal kind, int leading, int fraction);

// The wall-clock time and zone of any stored datetime: DATE and TIMESTAMP are in the session's
// zone, WITH LOCAL TIME ZONE values are kept in the database zone and seen in the session's.
ZonedTimestamp zonedOf(const std::string &stored, Temporal kind, const SessionContext &session);

}  // namespace localdb::functions
