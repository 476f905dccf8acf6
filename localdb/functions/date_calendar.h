// Calendar arithmetic on localdb::DateTime: day numbers, weekdays, ISO weeks and the storage text
// 'YYYY-MM-DD HH:MM:SS'. Dates follow the Gregorian calendar throughout (years 1 to 9999, the
// range the storage form holds).
#pragma once

#include "localdb/localdb.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace localdb::functions {

bool isLeapYear(int year);
int daysInMonth(int year, int month);

// Days since 1970-01-01 (negative before it) and back.
std::int64_t daysFromCivil(int year, int month, int day);
void civilFromDays(std::int64_t days, int &year, int &month, int &day);

// Julian day number (DATE '2000-01-01' is 2451545).
std::int64_t julianDay(const DateTime &date);
constexpr std::int64_t kJulianDayOfEpoch = 2440588;

// Seconds since 1970-01-01 00:00:00 and back; fromSeconds throws ORA-01841 outside years 1-9999.
std::int64_t toSeconds(const DateTime &date);
DateTime fromSeconds(std::int64_t seconds);

int dayOfWeek(const DateTime &date);  // 0 Sunday .. 6 Saturday
int dayOfYear(const DateTime &date);  // 1 .. 366
int isoWeek(const DateTime &date);    // 1 .. 53
int isoYear(const DateTime &date);

// True for a well-formed date with every field in range.
bool isValidDate(const DateTime &date);

// The storage form: exactly 'YYYY-MM-DD HH:MM:SS'. parseStorageDate also takes 'YYYY-MM-DD'
// alone (midnight) and returns nullopt for anything else.
std::string storageText(const DateTime &date);
std::optional<DateTime> parseStorageDate(std::string_view text);

}  // namespace localdb::functions
