// Gregorian calendar arithmetic for the date functions.
#include "localdb/functions/date_calendar.h"

#include "localdb/functions/function_errors.h"

#include <cstdio>

namespace localdb::functions {

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 31;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Civil-from-days and days-from-civil by eras of 400 years, which makes both exact for any
// proleptic Gregorian date.
std::int64_t daysFromCivil(int year, int month, int day)
{
    std::int64_t y = year - (month <= 2 ? 1 : 0);
    std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    std::int64_t yearOfEra = y - era * 400;
    std::int64_t m = month;
    std::int64_t dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void civilFromDays(std::int64_t days, int &year, int &month, int &day)
{
    days += 719468;
    std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    std::int64_t dayOfEra = days - era * 146097;
    std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    std::int64_t y = yearOfEra + era * 400;
    std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    std::int64_t mp = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2 ? 1 : 0));
}

std::int64_t julianDay(const DateTime &date)
{
    return daysFromCivil(date.year, date.month, date.day) + kJulianDayOfEpoch;
}

std::int64_t toSeconds(const DateTime &date)
{
    return daysFromCivil(date.year, date.month, date.day) * 86400 + date.hour * 3600 + date.minute * 60
           + date.second;
}

DateTime fromSeconds(std::int64_t seconds)
{
    static const std::int64_t kFirst = daysFromCivil(1, 1, 1) * 86400;
    static const std::int64_t kLast = daysFromCivil(9999, 12, 31) * 86400 + 86399;
    if (seconds < kFirst || seconds > kLast)
        raiseError(1841);
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    DateTime date;
    civilFromDays(days, date.year, date.month, date.day);
    date.hour = static_cast<int>(rest / 3600);
    date.minute = static_cast<int>(rest / 60 % 60);
    date.second = static_cast<int>(rest % 60);
    return date;
}

int dayOfWeek(const DateTime &date)
{
    // 1970-01-01 was a Thursday.
    std::int64_t days = daysFromCivil(date.year, date.month, date.day);
    return static_cast<int>(((days % 7) + 7 + 4) % 7);
}

int dayOfYear(const DateTime &date)
{
    return static_cast<int>(daysFromCivil(date.year, date.month, date.day) - daysFromCivil(date.year, 1, 1)) + 1;
}

namespace {

// Day number of the Monday that starts ISO week 1 of a year (the week holding 4 January).
std::int64_t isoWeekOneStart(int year)
{
    std::int64_t january4 = daysFromCivil(year, 1, 4);
    int weekday = static_cast<int>(((january4 % 7) + 7 + 3) % 7);  // 0 Monday .. 6 Sunday
    return january4 - weekday;
}

}  // namespace

int isoYear(const DateTime &date)
{
    std::int64_t days = daysFromCivil(date.year, date.month, date.day);
    if (days >= isoWeekOneStart(date.year + 1))
        return date.year + 1;
    if (days < isoWeekOneStart(date.year))
        return date.year - 1;
    return date.year;
}

int isoWeek(const DateTime &date)
{
    std::int64_t days = daysFromCivil(date.year, date.month, date.day);
    return static_cast<int>((days - isoWeekOneStart(isoYear(date))) / 7) + 1;
}

bool isValidDate(const DateTime &d)
{
    return d.year >= 1 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1
           && d.day <= daysInMonth(d.year, d.month) && d.hour >= 0 && d.hour <= 23 && d.minute >= 0
           && d.minute <= 59 && d.second >= 0 && d.second <= 59;
}

std::string storageText(const DateTime &d)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day,
                  d.hour, d.minute, d.second);
    return buffer;
}

std::optional<DateTime> parseStorageDate(std::string_view text)
{
    if (text.size() != 19 && text.size() != 10)
        return std::nullopt;
    auto field = [&](std::size_t pos, std::size_t length, int &out) {
        int value = 0;
        for (std::size_t i = pos; i < pos + length; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return false;
            value = value * 10 + (text[i] - '0');
        }
        out = value;
        return true;
    };
    DateTime d;
    if (!field(0, 4, d.year) || text[4] != '-' || !field(5, 2, d.month) || text[7] != '-'
        || !field(8, 2, d.day))
        return std::nullopt;
    if (text.size() == 19
        && (text[10] != ' ' || !field(11, 2, d.hour) || text[13] != ':' || !field(14, 2, d.minute)
            || text[16] != ':' || !field(17, 2, d.second)))
        return std::nullopt;
    if (!isValidDate(d))
        return std::nullopt;
    return d;
}

}  // namespace localdb::functions
