// Date arithmetic and the date functions: ADD_MONTHS and its last-day rule, MONTHS_BETWEEN's
// 31-day rule, LAST_DAY, NEXT_DAY and ROUND/TRUNC of dates.
#include "tests/localdb/functions/function_test_support.h"
#include "localdb/functions/date_calendar.h"
#include "localdb/functions/date_functions.h"
#include "localdb/localdb.h"

#include <gtest/gtest.h>

using localdb::DateTime;
using namespace localdb::functions;

namespace {

using functiontest::errorCode;

DateTime at(const char *storage) { return *parseStorageDate(storage); }

struct AddMonthsRow {
    const char *name;
    const char *date;
    double months;
    const char *expected;
};

class AddMonthsTable : public testing::TestWithParam<AddMonthsRow> {};

TEST_P(AddMonthsTable, KeepsTheDayOrGoesToTheLastDay)
{
    const AddMonthsRow &row = GetParam();
    EXPECT_EQ(storageText(addMonths(at(row.date), row.months)), row.expected);
}

const AddMonthsRow kAddMonthsRows[] = {
    {"Jan31ToLeapFeb29", "2004-01-31 00:00:00", 1, "2004-02-29 00:00:00"},
    {"LastDayFeb29ToMar31", "2004-02-29 00:00:00", 1, "2004-03-31 00:00:00"},
    {"LastDayFeb28ToMar31", "2003-02-28 00:00:00", 1, "2003-03-31 00:00:00"},
    {"MidMonthKeepsDay", "2004-01-15 10:20:30", 1, "2004-02-15 10:20:30"},
    {"NegativeAcrossYear", "2004-03-31 08:00:00", -13, "2003-02-28 08:00:00"},
    {"FractionTruncated", "2004-01-15 00:00:00", 1.9, "2004-02-15 00:00:00"},
    {"NegativeFractionTruncated", "2004-01-15 00:00:00", -1.9, "2003-12-15 00:00:00"},
    {"Zero", "2004-01-31 00:00:00", 0, "2004-01-31 00:00:00"},
    {"Apr30IsLastDay", "2004-04-30 00:00:00", 1, "2004-05-31 00:00:00"},
};

INSTANTIATE_TEST_SUITE_P(AddMonths, AddMonthsTable, testing::ValuesIn(kAddMonthsRows),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(AddMonths, LeavingTheStoredRangeRaises01841)
{
    EXPECT_EQ(errorCode([] { addMonths(at("9999-12-01 00:00:00"), 1); }), 1841);
    EXPECT_EQ(errorCode([] { addMonths(at("0001-01-01 00:00:00"), -1); }), 1841);
    EXPECT_EQ(errorCode([] { addMonths(at("2004-01-01 00:00:00"), 1e300); }), 1841);
}

TEST(MonthsBetween, ThirtyOneDayRule)
{
    EXPECT_NEAR(monthsBetween(at("2004-03-15 00:00:00"), at("2004-03-01 00:00:00")), 14.0 / 31, 1e-15);
    EXPECT_EQ(monthsBetween(at("2004-03-15 00:00:00"), at("2004-01-15 12:00:00")), 2.0);
    EXPECT_EQ(monthsBetween(at("2004-02-29 00:00:00"), at("2004-01-31 00:00:00")), 1.0);  // both last days
    EXPECT_EQ(monthsBetween(at("2004-01-31 00:00:00"), at("2004-02-29 00:00:00")), -1.0);
    EXPECT_NEAR(monthsBetween(at("2004-01-02 12:00:00"), at("2004-01-01 00:00:00")), 1.5 / 31, 1e-15);
    EXPECT_NEAR(monthsBetween(at("2004-02-01 00:00:00"), at("2004-01-31 00:00:00")), 1 - 30.0 / 31, 1e-15);
}

TEST(DateArithmetic, FractionsOfADayMoveTheTime)
{
    EXPECT_EQ(storageText(addDays(at("2004-01-05 00:00:00"), 13.5 / 24)), "2004-01-05 13:30:00");
    EXPECT_EQ(storageText(addDays(at("2004-01-05 00:00:00"), 1.0 / 3)), "2004-01-05 08:00:00");
    EXPECT_EQ(storageText(addDays(at("2004-03-01 00:00:00"), -1)), "2004-02-29 00:00:00");
    EXPECT_EQ(daysBetween(at("2004-01-02 00:00:00"), at("2004-01-01 12:00:00")), 0.5);
    EXPECT_EQ(errorCode([] { addDays(at("9999-12-31 00:00:00"), 1); }), 1841);
    EXPECT_EQ(errorCode([] { addDays(at("2004-01-01 00:00:00"), 1e18); }), 1841);
}

TEST(DateFunctions, LastDayAndNextDay)
{
    EXPECT_EQ(storageText(lastDay(at("2004-02-10 09:00:00"))), "2004-02-29 09:00:00");
    // 2004-01-05 is a Monday: the next Monday is a week later, never the same day.
    EXPECT_EQ(storageText(nextDay(at("2004-01-05 09:00:00"), "MONDAY", DateLanguage::English)),
              "2004-01-12 09:00:00");
    EXPECT_EQ(storageText(nextDay(at("2004-01-05 09:00:00"), "fri", DateLanguage::English)),
              "2004-01-09 09:00:00");
    EXPECT_EQ(storageText(nextDay(at("2004-01-05 09:00:00"), "水曜日", DateLanguage::Japanese)),
              "2004-01-07 09:00:00");
    EXPECT_EQ(errorCode([] { nextDay(at("2004-01-05 09:00:00"), "MOONDAY", DateLanguage::English); }), 1846);
}

struct RoundRow {
    const char *name;
    const char *date;
    const char *format;
    const char *rounded;
    const char *truncated;
};

class RoundTruncDateTable : public testing::TestWithParam<RoundRow> {};

TEST_P(RoundTruncDateTable, ByFormat)
{
    const RoundRow &row = GetParam();
    EXPECT_EQ(storageText(roundDate(at(row.date), row.format, 0)), row.rounded);
    EXPECT_EQ(storageText(truncDate(at(row.date), row.format, 0)), row.truncated);
}

const RoundRow kRoundRows[] = {
    {"DefaultNoonRoundsUp", "2004-01-05 12:00:00", "", "2004-01-06 00:00:00", "2004-01-05 00:00:00"},
    {"DefaultMorning", "2004-01-05 11:59:59", "DD", "2004-01-05 00:00:00", "2004-01-05 00:00:00"},
    {"MonthFromThe16th", "2004-01-16 00:00:00", "MM", "2004-02-01 00:00:00", "2004-01-01 00:00:00"},
    {"MonthBeforeThe16th", "2004-01-15 23:59:59", "MON", "2004-01-01 00:00:00", "2004-01-01 00:00:00"},
    {"DecemberRoundsIntoNextYear", "2004-12-20 00:00:00", "MONTH", "2005-01-01 00:00:00",
     "2004-12-01 00:00:00"},
    {"YearFromJuly", "2004-07-01 00:00:00", "YYYY", "2005-01-01 00:00:00", "2004-01-01 00:00:00"},
    {"YearBeforeJuly", "2004-06-30 23:59:59", "YEAR", "2004-01-01 00:00:00", "2004-01-01 00:00:00"},
    {"QuarterSecondMonth16th", "2004-05-16 00:00:00", "Q", "2004-07-01 00:00:00", "2004-04-01 00:00:00"},
    {"QuarterSecondMonth15th", "2004-05-15 00:00:00", "Q", "2004-04-01 00:00:00", "2004-04-01 00:00:00"},
    {"HourFrom30Minutes", "2004-01-05 13:30:00", "HH24", "2004-01-05 14:00:00", "2004-01-05 13:00:00"},
    {"MinuteFrom30Seconds", "2004-01-05 13:30:30", "MI", "2004-01-05 13:31:00", "2004-01-05 13:30:00"},
    {"WeekStartsSunday", "2004-01-07 12:00:00", "D", "2004-01-11 00:00:00", "2004-01-04 00:00:00"},
    {"WeekBeforeMidweek", "2004-01-07 11:59:59", "DAY", "2004-01-04 00:00:00", "2004-01-04 00:00:00"},
    {"IsoWeekMonday", "2004-01-04 00:00:00", "IW", "2004-01-05 00:00:00", "2003-12-29 00:00:00"},
    {"Century", "2004-01-05 00:00:00", "CC", "2001-01-01 00:00:00", "2001-01-01 00:00:00"},
    {"IsoYear", "2004-01-01 00:00:00", "IYYY", "2003-12-29 00:00:00", "2003-12-29 00:00:00"},
};

INSTANTIATE_TEST_SUITE_P(Dates, RoundTruncDateTable, testing::ValuesIn(kRoundRows),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(RoundTruncDate, BadFormatsAndRange)
{
    EXPECT_EQ(errorCode([] { truncDate(at("2004-01-05 00:00:00"), "XYZ", 0); }), 1821);
    EXPECT_EQ(errorCode([] { roundDate(at("9999-12-31 13:00:00"), "DD", 0); }), 1841);
    // Monday-first territories truncate to Monday.
    EXPECT_EQ(storageText(truncDate(at("2004-01-07 00:00:00"), "D", 1)), "2004-01-05 00:00:00");
}

TEST(Calendar, StorageTextIsStrict)
{
    EXPECT_TRUE(parseStorageDate("2004-02-29 23:59:59"));
    EXPECT_TRUE(parseStorageDate("2004-02-29"));
    for (const char *bad : {"2003-02-29 00:00:00", "2004-13-01 00:00:00", "2004-01-01 24:00:00", "2004-1-01",
                            "0000-01-01 00:00:00", "2004-01-01T00:00:00", "", "2004-01-01 00:00:0x"})
        EXPECT_FALSE(parseStorageDate(bad)) << bad;
    EXPECT_EQ(julianDay(DateTime{2000, 1, 1}), 2451545);
    EXPECT_EQ(storageText(fromSeconds(toSeconds(DateTime{1, 1, 1}))), "0001-01-01 00:00:00");
}

}  // namespace
