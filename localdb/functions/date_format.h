// Dates and text through date format models: TO_CHAR(date, fmt) and TO_DATE(text, fmt).
#pragma once

#include "localdb/functions/date_names.h"
#include "localdb/localdb.h"

#include <string>
#include <string_view>
#include <vector>

namespace localdb::functions {

struct DateFormatSettings {
    DateLanguage language = DateLanguage::English;
    int firstDayOfWeek = 0;  // 0 Sunday, 1 Monday (element D)
    // The clock TO_DATE takes missing fields from (current year and month) and the RR century
    // rule works against.
    DateTime now{2000, 1, 1, 0, 0, 0};
};

struct DateFormatItem;

// One element of a model printed from a date (not a timestamp element).
std::string formatDateItem(const DateFormatItem &item, const DateTime &date, const DateFormatSettings &settings);

// Fields only timestamps have, read by TO_TIMESTAMP and TO_TIMESTAMP_TZ.
struct TimestampParts {
    int nanos = 0;
    bool hasZoneHour = false;
    int zoneHour = 0, zoneMinute = 0;  // minutes carry the hour's sign
    std::string zoneRegion;           // TZR as read
};

// Reads a date or timestamp: parts, when given, receives FF and zone fields; without it they
// are ORA-01821.
DateTime parseDateParts(std::string_view text, std::string_view model, const DateFormatSettings &settings,
                        TimestampParts *parts);

// Throws ORA-01821 for an unknown element.
std::string formatDate(const DateTime &date, std::string_view model, const DateFormatSettings &settings = {});
// The same with the model parsed once (parseDateFormatModel), for many dates in a row.
std::string formatDate(const DateTime &date, const std::vector<DateFormatItem> &model,
                       const DateFormatSettings &settings);

// Lenient matching unless FX: punctuation need not match, leading zeros may be missing; fields
// absent from the model default to the current year and month, day 1, midnight. Throws Oracle's
// date errors (ORA-01830, 01840, 01841, 01843, 01847, 01858, 01861 ...).
DateTime parseDate(std::string_view text, std::string_view model, const DateFormatSettings &settings = {});

}  // namespace localdb::functions
