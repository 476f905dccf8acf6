// TO_CHAR and TO_DATE for dates through format models, and the errors of TO_DATE. Row names draw
// the model; a '_' in an expected text stands for a blank.
#include "tests/localdb/functions/function_test_support.h"
#include "localdb/functions/date_calendar.h"
#include "localdb/functions/date_format.h"
#include "localdb/localdb.h"

#include <gtest/gtest.h>

#include <algorithm>

using localdb::DateTime;
using localdb::functions::DateFormatSettings;
using localdb::functions::DateLanguage;
using localdb::functions::formatDate;
using localdb::functions::parseDate;
using localdb::functions::storageText;

namespace {

using functiontest::errorCode;
using functiontest::blanksShown;

// DATE '2004-01-05' + 13.5/24: a Monday, 13:30:00.
const DateTime kMonday{2004, 1, 5, 13, 30, 0};

struct FormatRow {
    const char *name;
    const char *model;
    const char *expected;
};

class DateToCharTable : public testing::TestWithParam<FormatRow> {};

TEST_P(DateToCharTable, PrintsLikeOracle)
{
    EXPECT_EQ(blanksShown(formatDate(kMonday, GetParam().model)), GetParam().expected);
}

const FormatRow kFormatRows[] = {
    {"IsoLikeWithTime", "YYYY/MM/DD HH24:MI:SS", "2004/01/05_13:30:00"},
    {"DefaultNlsFormat_DD_MON_YY", "DD-MON-YY", "05-JAN-04"},
    {"DayPaddedToNine", "Day", "Monday___"},
    {"FillModeDay", "FMDay", "Monday"},
    {"DayAbbreviation", "DY", "MON"},
    {"TwelveHourWithMeridian", "HH:MI AM", "01:30_PM"},
    {"MeridianFollowsTheDateNotTheModel", "HH12 am", "01_pm"},
    {"MeridianWithDots", "A.M.", "P.M."},
    {"DayOfYear", "DDD", "005"},
    {"Quarter", "Q", "1"},
    {"JulianDay", "J", "2453010"},
    {"SpelledOrdinal", "DDSPTH", "FIFTH"},
    {"Ordinal", "DDTH", "05TH"},
    {"OrdinalLowerSuffix", "DDth", "05th"},
    {"FillModeOrdinal", "FMDDth", "5th"},
    {"SpelledCapitalized", "Ddsp", "Five"},
    {"MonthPaddedToNine", "MONTH", "JANUARY__"},
    {"MonthCapitalized", "FMMonth", "January"},
    {"MonthLower", "mon", "jan"},
    {"FillModeTogglesOff", "FMDD-FMMM", "5-01"},
    {"QuotedLiteral", "YYYY\"年\"MM\"月\"", "2004年01月"},
    {"YearSpelled", "YEAR", "TWO_THOUSAND_FOUR"},
    {"YearSpelledCapitalized", "Year", "Two_Thousand_Four"},
    {"YearWithComma", "Y,YYY", "2,004"},
    {"ThreeAndOneDigitYears", "YYY-Y", "004-4"},
    {"RoundYear", "RR-RRRR", "04-2004"},
    {"SignedYearHasBlankSign", "SYYYY", "_2004"},
    {"Century", "CC", "21"},
    {"RomanMonth", "RM", "I___"},
    {"WeekOfYear", "WW", "01"},
    {"IsoWeek", "IW", "02"},
    {"WeekOfMonth", "W", "1"},
    {"DayOfWeekSundayFirst", "D", "2"},
    {"SecondsOfDay", "SSSSS", "48600"},
    {"Era", "AD", "AD"},
    {"PunctuationCopied", "DD.MM;YYYY:", "05.01;2004:"},
};

INSTANTIATE_TEST_SUITE_P(ToChar, DateToCharTable, testing::ValuesIn(kFormatRows),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(DateToChar, JapaneseNames)
{
    DateFormatSettings japanese;
    japanese.language = DateLanguage::Japanese;
    EXPECT_EQ(formatDate(kMonday, "FMMONTH DAY DY AM", japanese), "1月 月曜日 月 午後");
    EXPECT_EQ(formatDate(DateTime{2004, 12, 5, 9, 0, 0}, "MON", japanese), "12月");
    // Shorter abbreviations are padded to the longest, as the default DD-MON-RR shows them.
    EXPECT_EQ(formatDate(kMonday, "DD-MON-RR", japanese), "05-1月 -04");
    EXPECT_EQ(formatDate(kMonday, "DD-FMMON-FMRR", japanese), "05-1月-04");
    EXPECT_EQ(storageText(parseDate("05-1月 -04", "DD-MON-RR", japanese)), "2004-01-05 00:00:00");
}

TEST(DateToChar, IsoYearAndWeekAtYearBoundaries)
{
    // 2004-12-31 is a Friday in ISO week 53 of 2004; 2008-12-29 is in ISO week 1 of 2009.
    EXPECT_EQ(formatDate(DateTime{2004, 12, 31}, "IYYY-IW"), "2004-53");
    EXPECT_EQ(formatDate(DateTime{2008, 12, 29}, "IYYY-IW"), "2009-01");
    EXPECT_EQ(formatDate(DateTime{2005, 1, 1}, "IYYY-IW"), "2004-53");
}

TEST(DateToChar, MidnightAndNoonOnTheTwelveHourClock)
{
    EXPECT_EQ(formatDate(DateTime{2004, 1, 5, 0, 5, 0}, "HH12:MI AM"), "12:05 AM");
    EXPECT_EQ(formatDate(DateTime{2004, 1, 5, 12, 5, 0}, "HH:MI PM"), "12:05 PM");
}

TEST(DateToChar, UnknownElementsRaise01821)
{
    for (const char *model : {"YYYYX", "ABC", "DD-MM-YYYY\"", "年", "FF"})
        EXPECT_EQ(errorCode([&] { formatDate(kMonday, model); }), 1821) << model;
}

struct ParseRow {
    const char *name;
    const char *text;
    const char *model;
    const char *expected;  // storage text
};

class ToDateTable : public testing::TestWithParam<ParseRow> {};

DateFormatSettings settingsAt(DateTime now)
{
    DateFormatSettings settings;
    settings.now = now;
    return settings;
}

TEST_P(ToDateTable, ReadsLikeOracle)
{
    const ParseRow &row = GetParam();
    DateTime date = parseDate(row.text, row.model, settingsAt(DateTime{2026, 12, 7, 8, 15, 0}));
    EXPECT_EQ(storageText(date), row.expected);
}

const ParseRow kParseRows[] = {
    {"Iso", "2004-01-05 13:30:00", "YYYY-MM-DD HH24:MI:SS", "2004-01-05 13:30:00"},
    {"DefaultNlsFormat", "05-JAN-04", "DD-MON-RR", "2004-01-05 00:00:00"},
    {"RrFiftyGoesToLastCentury", "05-JAN-50", "DD-MON-RR", "1950-01-05 00:00:00"},
    {"RrFourDigitYear", "05-JAN-1998", "DD-MON-RR", "1998-01-05 00:00:00"},
    {"YyIsThisCentury", "05-01-50", "DD-MM-YY", "2050-01-05 00:00:00"},
    {"MonthNameAnyCase", "5 january 2004", "DD MON YYYY", "2004-01-05 00:00:00"},
    {"AbbreviationForMonthElement", "5 Jan 2004", "DD MONTH YYYY", "2004-01-05 00:00:00"},
    {"MissingFieldsDefault", "10:30", "HH24:MI", "2026-12-01 10:30:00"},
    {"OnlyYear", "2004", "YYYY", "2004-12-01 00:00:00"},
    {"PunctuationNeedNotMatch", "2004/01/05", "YYYY-MM-DD", "2004-01-05 00:00:00"},
    {"PunctuationMayBeAbsent", "20040105", "YYYYMMDD", "2004-01-05 00:00:00"},
    {"LeadingZerosOptional", "2004-1-5", "YYYY-MM-DD", "2004-01-05 00:00:00"},
    {"TwelveHourPm", "01:30 PM", "HH:MI AM", "2026-12-01 13:30:00"},
    {"TwelveAm", "12:05 AM", "HH12:MI AM", "2026-12-01 00:05:00"},
    {"JulianDay", "2451545", "J", "2000-01-01 00:00:00"},
    {"DayOfYear", "2004 060", "YYYY DDD", "2004-02-29 00:00:00"},
    {"SecondsOfDay", "2004-01-05 48600", "YYYY-MM-DD SSSSS", "2004-01-05 13:30:00"},
    {"QuotedLiteral", "2004年01月05日", "YYYY\"年\"MM\"月\"DD\"日\"", "2004-01-05 00:00:00"},
    {"DayNameIsReadAndIgnored", "Monday 05-01-2004", "DAY DD-MM-YYYY", "2004-01-05 00:00:00"},
    {"TrailingBlanksAllowed", "2004-01-05  ", "YYYY-MM-DD", "2004-01-05 00:00:00"},
    {"TimeMayBeMissingAtTheEnd", "2004-01-05", "YYYY-MM-DD HH24:MI:SS", "2004-01-05 00:00:00"},
    {"OrdinalSuffixRead", "5th JAN 2004", "DDth MON YYYY", "2004-01-05 00:00:00"},
};

INSTANTIATE_TEST_SUITE_P(ToDate, ToDateTable, testing::ValuesIn(kParseRows),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(ToDate, RrRuleInTheSecondHalfOfACentury)
{
    DateFormatSettings settings = settingsAt(DateTime{1975, 6, 1});
    EXPECT_EQ(parseDate("01-01-49", "DD-MM-RR", settings).year, 2049);
    EXPECT_EQ(parseDate("01-01-50", "DD-MM-RR", settings).year, 1950);
}

TEST(ToDate, JapaneseMonthNames)
{
    DateFormatSettings settings = settingsAt(DateTime{2026, 12, 7});
    settings.language = DateLanguage::Japanese;
    EXPECT_EQ(storageText(parseDate("2004-12月-05", "YYYY-MON-DD", settings)), "2004-12-05 00:00:00");
    EXPECT_EQ(storageText(parseDate("2004-1月-05", "YYYY-MON-DD", settings)), "2004-01-05 00:00:00");
}

struct ErrorRow {
    const char *name;
    const char *text;
    const char *model;
    int code;
};

class ToDateErrorTable : public testing::TestWithParam<ErrorRow> {};

TEST_P(ToDateErrorTable, RaisesOraclesError)
{
    const ErrorRow &row = GetParam();
    EXPECT_EQ(errorCode([&] { parseDate(row.text, row.model, settingsAt(DateTime{2026, 12, 7})); }), row.code);
}

const ErrorRow kErrorRows[] = {
    {"InputLongerThanModel_01830", "2004-01-05 10:00", "YYYY-MM-DD", 1830},
    {"QuotedLiteralMismatch_01861", "2004x01", "YYYY\"-\"MM", 1861},
    {"LettersForDigits_01858", "2004-ab-05", "YYYY-MM-DD", 1858},
    {"MonthThirteen_01843", "2004-13-05", "YYYY-MM-DD", 1843},
    {"BadMonthName_01843", "05-FOO-2004", "DD-MON-YYYY", 1843},
    {"DayZero_01847", "2004-01-00", "YYYY-MM-DD", 1847},
    {"DayThirtyTwo_01847", "2004-01-32", "YYYY-MM-DD", 1847},
    {"ThirtyFirstApril_01839", "2004-04-31", "YYYY-MM-DD", 1839},
    {"NoLeapDay_01839", "2003-02-29", "YYYY-MM-DD", 1839},
    {"Hour24_01850", "24:00", "HH24:MI", 1850},
    {"Hour12_01849", "13:00", "HH:MI", 1849},
    {"Minutes_01851", "10:60", "HH24:MI", 1851},
    {"Seconds_01852", "10:00:60", "HH24:MI:SS", 1852},
    {"InputEndsEarly_01840", "2004", "YYYY-MM-DD", 1840},
    {"YearZero_01841", "0000-01-01", "YYYY-MM-DD", 1841},
    {"FormatCodeTwice_01810", "01 01", "MM MM", 1810},
    {"MonthTwiceDifferently_01816", "01 JAN", "MM MON", 1816},
    {"UnknownElement_01821", "2004", "YYYYQQX", 1821},
    {"QuarterCannotBeRead_01820", "1", "Q", 1820},
    {"MeridianWithHour24_01818", "13 PM", "HH24 AM", 1818},
    {"BadMeridian_01855", "10 XM", "HH AM", 1855},
    {"ExactModeNeedsFullWidth_01862", "2004-1-05", "FXYYYY-MM-DD", 1862},
    {"ExactModeNeedsPunctuation_01861", "2004/01/05", "FXYYYY-MM-DD", 1861},
    {"JulianOutOfRange_01854", "0", "J", 1854},
    {"DayOfYear366InCommonYear_01848", "2003 366", "YYYY DDD", 1848},
    {"BcYearsAreNotStored_01841", "2004 BC", "YYYY AD", 1841},
};

INSTANTIATE_TEST_SUITE_P(ToDate, ToDateErrorTable, testing::ValuesIn(kErrorRows),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(ToDate, RoundTripsThroughEveryNumericModel)
{
    const DateTime dates[] = {{1, 1, 1, 0, 0, 0}, {1999, 12, 31, 23, 59, 59}, {2000, 2, 29, 12, 0, 0},
                              {9999, 12, 31, 23, 59, 59}};
    for (const DateTime &date : dates) {
        for (const char *model : {"YYYY-MM-DD HH24:MI:SS", "J SSSSS", "SYYYY DDD HH:MI:SS AM",
                                  "FMDD Month YYYY HH24:MI:SS", "YYYYMMDDHH24MISS"}) {
            std::string text = formatDate(date, model);
            EXPECT_EQ(parseDate(text, model), date) << model << " " << text;
        }
    }
}

}  // namespace
