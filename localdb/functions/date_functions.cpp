// Date arithmetic and the date functions.
#include "localdb/functions/ascii_text.h"
#include "localdb/functions/date_functions.h"

#include "localdb/functions/date_calendar.h"
#include "localdb/functions/function_errors.h"

#include <cmath>
#include <string>

namespace localdb::functions {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Days beyond any distance between two storable dates: larger moves are out of range at once,
// before any integer conversion could overflow.
constexpr double kMaxDayMove = 4000000.0;

std::int64_t dayNumber(const DateTime &date) { return daysFromCivil(date.year, date.month, date.day); }

DateTime dateOfDay(std::int64_t days)
{
    return fromSeconds(days * kSecondsPerDay);
}

std::int64_t secondsOfDay(const DateTime &date)
{
    return date.hour * 3600 + date.minute * 60 + date.second;
}

bool isLastDayOfMonth(const DateTime &date)
{
    return date.day == daysInMonth(date.year, date.month);
}

std::string upperTrimmed(std::string_view text)
{
    std::string result;
    for (char c : text) {
        if (c != ' ')
            result += ascii::toUpper(c);
    }
    return result;
}

enum class Unit { Century, Year, IsoYear, Quarter, Month, Week, IsoWeek, MonthWeek, Day, WeekStart, Hour, Minute };

Unit unitOf(std::string_view format)
{
    std::string f = upperTrimmed(format);
    if (f.empty())
        return Unit::Day;
    static const struct {
        const char *name;
        Unit unit;
    } kUnits[] = {
        {"CC", Unit::Century},   {"SCC", Unit::Century},   {"SYYYY", Unit::Year}, {"YYYY", Unit::Year},
        {"YEAR", Unit::Year},    {"SYEAR", Unit::Year},    {"YYY", Unit::Year},   {"YY", Unit::Year},
        {"Y", Unit::Year},       {"IYYY", Unit::IsoYear},  {"IYY", Unit::IsoYear}, {"IY", Unit::IsoYear},
        {"I", Unit::IsoYear},    {"Q", Unit::Quarter},     {"MONTH", Unit::Month}, {"MON", Unit::Month},
        {"MM", Unit::Month},     {"RM", Unit::Month},      {"WW", Unit::Week},    {"IW", Unit::IsoWeek},
        {"W", Unit::MonthWeek},  {"DDD", Unit::Day},       {"DD", Unit::Day},     {"J", Unit::Day},
        {"DAY", Unit::WeekStart}, {"DY", Unit::WeekStart}, {"D", Unit::WeekStart}, {"HH", Unit::Hour},
        {"HH12", Unit::Hour},    {"HH24", Unit::Hour},     {"MI", Unit::Minute},
    };
    for (const auto &entry : kUnits) {
        if (f == entry.name)
            return entry.unit;
    }
    raiseError(1821);
}

// Start (day number) of the period holding the date for the week-like units.
std::int64_t weekStart(const DateTime &date, Unit unit, int firstDayOfWeek)
{
    std::int64_t days = dayNumber(date);
    switch (unit) {
    case Unit::Week:
        return daysFromCivil(date.year, 1, 1) + (dayOfYear(date) - 1) / 7 * 7;
    case Unit::MonthWeek:
        return daysFromCivil(date.year, date.month, 1) + (date.day - 1) / 7 * 7;
    case Unit::IsoWeek:
        return days - (dayOfWeek(date) + 6) % 7;
    default:
        return days - (dayOfWeek(date) - firstDayOfWeek + 7) % 7;
    }
}

std::int64_t isoYearStart(int year)
{
    std::int64_t january4 = daysFromCivil(year, 1, 4);
    DateTime d = dateOfDay(january4);
    return january4 - (dayOfWeek(d) + 6) % 7;
}

DateTime firstOfMonth(int year, int month)
{
    while (month > 12) {
        month -= 12;
        ++year;
    }
    if (year > 9999)
        raiseError(1841);
    return DateTime{year, month, 1, 0, 0, 0};
}

}  // namespace

DateTime addDays(const DateTime &date, double days)
{
    if (!std::isfinite(days) || std::fabs(days) > kMaxDayMove)
        raiseError(1841);
    return fromSeconds(toSeconds(date) + std::llround(days * kSecondsPerDay));
}

double daysBetween(const DateTime &later, const DateTime &earlier)
{
    return static_cast<double>(toSeconds(later) - toSeconds(earlier)) / kSecondsPerDay;
}

DateTime addMonths(const DateTime &date, double months)
{
    if (!std::isfinite(months) || std::fabs(months) > 120000.0)
        raiseError(1841);
    long n = static_cast<long>(std::trunc(months));
    long total = static_cast<long>(date.year) * 12 + (date.month - 1) + n;
    long year = total >= 0 ? total / 12 : (total - 11) / 12;
    int month = static_cast<int>(total - year * 12) + 1;
    if (year < 1 || year > 9999)
        raiseError(1841);
    DateTime result = date;
    result.year = static_cast<int>(year);
    result.month = month;
    int last = daysInMonth(result.year, month);
    if (isLastDayOfMonth(date) || date.day > last)
        result.day = last;
    return result;
}

double monthsBetween(const DateTime &first, const DateTime &second)
{
    double months = (first.year - second.year) * 12.0 + (first.month - second.month);
    if (first.day == second.day || (isLastDayOfMonth(first) && isLastDayOfMonth(second)))
        return months;
    double seconds = static_cast<double>(first.day - second.day) * kSecondsPerDay
                     + static_cast<double>(secondsOfDay(first) - secondsOfDay(second));
    return months + seconds / (31.0 * kSecondsPerDay);
}

DateTime lastDay(const DateTime &date)
{
    DateTime result = date;
    result.day = daysInMonth(date.year, date.month);
    return result;
}

DateTime nextDay(const DateTime &date, std::string_view name, DateLanguage language)
{
    std::string wanted = upperTrimmed(name);
    int weekday = -1;
    for (int i = 0; i < 7 && weekday < 0; ++i) {
        if (wanted == dayName(language, i, false) || wanted == dayName(language, i, true))
            weekday = i;
    }
    if (weekday < 0)
        raiseError(1846);
    int ahead = (weekday - dayOfWeek(date) + 7) % 7;
    return addDays(date, ahead == 0 ? 7 : ahead);
}

DateTime truncDate(const DateTime &date, std::string_view format, int firstDayOfWeek)
{
    DateTime result{date.year, date.month, date.day, 0, 0, 0};
    switch (unitOf(format)) {
    case Unit::Century:
        return DateTime{(date.year - 1) / 100 * 100 + 1, 1, 1, 0, 0, 0};
    case Unit::Year:
        return DateTime{date.year, 1, 1, 0, 0, 0};
    case Unit::IsoYear:
        return dateOfDay(isoYearStart(isoYear(date)));
    case Unit::Quarter:
        return DateTime{date.year, (date.month - 1) / 3 * 3 + 1, 1, 0, 0, 0};
    case Unit::Month:
        return DateTime{date.year, date.month, 1, 0, 0, 0};
    case Unit::Week:
    case Unit::IsoWeek:
    case Unit::MonthWeek:
    case Unit::WeekStart:
        return dateOfDay(weekStart(date, unitOf(format), firstDayOfWeek));
    case Unit::Day:
        return result;
    case Unit::Hour:
        result.hour = date.hour;
        return result;
    case Unit::Minute:
        result.hour = date.hour;
        result.minute = date.minute;
        return result;
    }
    return result;
}

DateTime roundDate(const DateTime &date, std::string_view format, int firstDayOfWeek)
{
    Unit unit = unitOf(format);
    DateTime start = truncDate(date, format, firstDayOfWeek);
    switch (unit) {
    case Unit::Century:
        return (date.year - 1) % 100 >= 50 ? DateTime{start.year + 100, 1, 1, 0, 0, 0} : start;
    case Unit::Year:
        return date.month >= 7 ? firstOfMonth(date.year + 1, 1) : start;
    case Unit::IsoYear:
        return date.month >= 7 ? dateOfDay(isoYearStart(isoYear(date) + 1)) : start;
    case Unit::Quarter: {
        int inQuarter = (date.month - 1) % 3;
        bool up = inQuarter == 2 || (inQuarter == 1 && date.day >= 16);
        return up ? firstOfMonth(start.year, start.month + 3) : start;
    }
    case Unit::Month:
        return date.day >= 16 ? firstOfMonth(date.year, date.month + 1) : start;
    case Unit::Week:
    case Unit::IsoWeek:
    case Unit::MonthWeek:
    case Unit::WeekStart: {
        // Half a week (three and a half days) past the start rounds to the next start.
        std::int64_t elapsed = toSeconds(date) - toSeconds(start);
        return elapsed * 2 >= 7 * kSecondsPerDay ? addDays(start, 7) : start;
    }
    case Unit::Day:
        return date.hour >= 12 ? addDays(start, 1) : start;
    case Unit::Hour:
        return date.minute >= 30 ? fromSeconds(toSeconds(start) + 3600) : start;
    case Unit::Minute:
        return date.second >= 30 ? fromSeconds(toSeconds(start) + 60) : start;
    }
    return start;
}

}  // namespace localdb::functions
