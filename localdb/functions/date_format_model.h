// A date format model (TO_CHAR(date, fmt), TO_DATE(text, fmt), NLS_DATE_FORMAT) split into its
// elements, with the fill-mode and exact-match state in force at each. Unknown elements raise
// ORA-01821.
#pragma once

#include "localdb/functions/date_names.h"

#include <string>
#include <string_view>
#include <vector>

namespace localdb::functions {

enum class DateElement {
    Literal,  // punctuation or "quoted text", copied as it is
    SignedYear, Year4, Year3, Year2, Year1, YearWithComma,  // SYYYY YYYY YYY YY Y Y,YYY
    IsoYear4, IsoYear3, IsoYear2, IsoYear1,                  // IYYY IYY IY I
    RoundYear4, RoundYear2,                                  // RRRR RR
    YearSpelled, SignedYearSpelled,                          // YEAR SYEAR
    Century, SignedCentury,                                  // CC SCC
    Quarter,                                                 // Q
    Month, MonthAbbreviation, MonthName, RomanMonth,         // MM MON MONTH RM
    WeekOfYear, IsoWeek, WeekOfMonth,                        // WW IW W
    DayOfYear, DayOfMonth, DayOfWeek, DayName, DayAbbreviation,  // DDD DD D DAY DY
    JulianDay,                                               // J
    Hour12, Hour24, Minute, Second, SecondsOfDay,            // HH/HH12 HH24 MI SS SSSSS
    Meridian, MeridianWithDots,                              // AM PM / A.M. P.M.
    Era, EraWithDots,                                        // AD BC / A.D. B.C.
    // Timestamp elements: a DATE has none of these fields (ORA-01821 in its models).
    Fraction, Radix,                                         // FF FF1..FF9, X
    ZoneHour, ZoneMinute, ZoneRegion, ZoneAbbreviation,      // TZH TZM TZR TZD
};

struct DateFormatItem {
    DateElement element = DateElement::Literal;
    std::string text;  // the literal, or the element as written in the model
    bool quoted = false;  // a "quoted" literal (must match in TO_DATE) rather than punctuation
    bool fillMode = false;
    bool exact = false;
    LetterCase letterCase = LetterCase::Upper;
    bool ordinal = false;  // TH suffix
    bool spelled = false;  // SP suffix
    LetterCase suffixCase = LetterCase::Upper;
    int digits = 0;  // FF1..FF9; 0 for FF (the value's own precision)
};

std::vector<DateFormatItem> parseDateFormatModel(std::string_view model);

// True for elements whose value is a number (they take the TH and SP suffixes).
bool isNumericElement(DateElement element);

// True for FF, X, TZH, TZM, TZR and TZD.
bool isTimestampElement(DateElement element);

}  // namespace localdb::functions
