// Oracle's date functions and date arithmetic on localdb::DateTime: date + n, date - date,
// ADD_MONTHS, MONTHS_BETWEEN, LAST_DAY, NEXT_DAY, and ROUND and TRUNC of a date by a format.
#pragma once

#include "localdb/functions/date_names.h"
#include "localdb/localdb.h"

#include <string_view>

namespace localdb::functions {

// date + days; fractions of a day move the time (rounded to the second). ORA-01841 when the
// result leaves years 1-9999.
DateTime addDays(const DateTime &date, double days);
// later - earlier in days, fractional.
double daysBetween(const DateTime &later, const DateTime &earlier);

// Same day n months later (n truncated toward zero); the last day of a month, or a day the target
// month lacks, gives the target month's last day. Time of day kept.
DateTime addMonths(const DateTime &date, double months);
// Whole months when both days are equal or both are last days of their months; otherwise the
// remainder is the difference in days (time included) over 31.
double monthsBetween(const DateTime &first, const DateTime &second);
DateTime lastDay(const DateTime &date);
// First date after the given one falling on the named weekday (full or abbreviated name in the
// date language, any case); ORA-01846 for a bad name.
DateTime nextDay(const DateTime &date, std::string_view dayName, DateLanguage language);

// ROUND(date, fmt) and TRUNC(date, fmt); an empty format means 'DD'. ORA-01821 for an unknown
// format. firstDayOfWeek as in DateFormatSettings (for D, DY, DAY).
DateTime roundDate(const DateTime &date, std::string_view format, int firstDayOfWeek);
DateTime truncDate(const DateTime &date, std::string_view format, int firstDayOfWeek);

}  // namespace localdb::functions
