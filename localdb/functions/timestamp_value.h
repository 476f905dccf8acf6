// TIMESTAMP values and intervals as the engine stores them, with the calendar arithmetic between
// them: timestamps as text 'YYYY-MM-DD HH:MM:SS.fffffffff' (with a blank and the zone after it
// for WITH TIME ZONE, where the time is UTC), YEAR TO MONTH intervals as a number of months and
// DAY TO SECOND intervals as a number of nanoseconds.
#pragma once

#include "localdb/functions/time_zone.h"
#include "localdb/localdb.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace localdb::functions {

// Nanosecond counts wider than 64 bits, for differences across the whole calendar.
__extension__ typedef __int128 WideNanos;

constexpr std::int64_t kNanosPerSecond = 1000000000;
constexpr std::int64_t kNanosPerDay = 86400 * kNanosPerSecond;

struct Timestamp {
    DateTime date;
    int nanos = 0;  // 0 .. 999,999,999
};

// A TIMESTAMP WITH TIME ZONE: the instant in UTC and the zone it is shown in.
struct ZonedTimestamp {
    Timestamp utc;
    TimeZone zone;

    Timestamp local() const;  // the wall-clock time in its zone
    ZoneOffset offset() const;
};

std::string timestampStorage(const Timestamp &t);
// Reads the storage form; a DATE's 'YYYY-MM-DD HH:MM:SS' (and 'YYYY-MM-DD') reads as a
// timestamp with no fraction. nullopt for anything else.
std::optional<Timestamp> parseStorageTimestamp(std::string_view text);

std::string zonedStorage(const ZonedTimestamp &t);
std::optional<ZonedTimestamp> parseStorageZoned(std::string_view text);
// A wall-clock time in a zone; ORA-01878 for a time the zone skips.
ZonedTimestamp zonedFromLocal(const Timestamp &local, const TimeZone &zone);
ZonedTimestamp zonedFromUtc(const Timestamp &utc, const TimeZone &zone);

// Nanoseconds since 1970-01-01 00:00:00, as wide integers: differences can exceed 64 bits.
WideNanos timestampNanos(const Timestamp &t);
// ORA-01841 outside years 1-9999.
Timestamp timestampFromNanos(WideNanos nanos);

// Rounds the fraction to the given number of digits (0-9); rounding may carry into the seconds.
Timestamp roundFraction(const Timestamp &t, int digits);
std::int64_t roundIntervalFraction(std::int64_t nanos, int digits);

// ts + months, without clamping the day: ORA-01839 when the month lacks it.
Timestamp addMonthsExact(const Timestamp &t, std::int64_t months);

// The leading field of an interval must fit its precision: ORA-01873 otherwise.
void checkYearMonthPrecision(std::int64_t months, int leading);
void checkDaySecondPrecision(std::int64_t nanos, int leading);
// Nanoseconds of a day-to-second interval from a wide value; ORA-01873 beyond what is stored.
std::int64_t narrowInterval(WideNanos nanos);

// Oracle's display of intervals: '+01-02' and '+01 01:30:00.000000'; leading digits zero-padded
// to the precision, fraction to its digits (none when 0).
std::string yearMonthText(std::int64_t months, int leading);
std::string daySecondText(std::int64_t nanos, int leading, int fraction);

// Interval literals and TO_DSINTERVAL / TO_YMINTERVAL texts. The fields name what the text holds:
// first and last of YEAR MONTH or DAY HOUR MINUTE SECOND ("DAY" to "SECOND" for '1 2:03:04.5').
// ORA-01867 for text that does not fit them, ORA-01873 when the leading field has more digits
// than leading allows (-1: no limit), ORA-01850/01851/01852 for out-of-range trailing fields.
std::int64_t parseYearMonth(std::string_view text, const std::string &first, const std::string &last, int leading);
std::int64_t parseDaySecond(std::string_view text, const std::string &first, const std::string &last, int leading);
// ISO 8601 durations 'P1Y2M', 'P1DT2H3M4.5S'; nullopt when the text is not one.
std::optional<std::int64_t> parseIsoYearMonth(std::string_view text);
std::optional<std::int64_t> parseIsoDaySecond(std::string_view text);

}  // namespace localdb::functions
