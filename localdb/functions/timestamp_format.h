// Timestamps and text through format models: TO_CHAR of a timestamp (FF, X, TZH, TZM, TZR, TZD
// besides the date elements), TO_TIMESTAMP and TO_TIMESTAMP_TZ, and the session's default
// timestamp formats.
#pragma once

#include "localdb/functions/date_format.h"
#include "localdb/functions/timestamp_value.h"

#include <optional>
#include <string>
#include <string_view>

namespace localdb::functions {

// A timestamp as it is shown: its wall-clock time, fractional precision and, for the zoned
// kinds, its zone.
struct TimestampDisplay {
    Timestamp local;
    int precision = 6;  // digits FF prints
    const TimeZone *zone = nullptr;
    ZoneOffset offset;
};

// ORA-01821 for an unknown element, or a zone element when the value has no zone.
std::string formatTimestamp(const TimestampDisplay &value, std::string_view model, const DateFormatSettings &settings);

// A timestamp read through a model. zone receives the zone the text names (TZH:TZM or TZR),
// nullopt when it names none.
Timestamp parseTimestamp(std::string_view text, std::string_view model, const DateFormatSettings &settings,
                         std::optional<TimeZone> *zone);

}  // namespace localdb::functions
