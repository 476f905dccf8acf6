// TO_CHAR and TO_NUMBER of numbers, with and without a format model, pinned against Oracle's
// results. Each row's name draws the call; a '_' in the expected text stands for a blank.
#include "tests/localdb/functions/function_test_support.h"
#include "localdb/functions/number_format.h"
#include "localdb/functions/number_text.h"
#include "localdb/localdb.h"

#include <gtest/gtest.h>

#include <algorithm>

using localdb::functions::DecimalNumber;
using localdb::functions::defaultNumberText;
using localdb::functions::formatNumber;
using localdb::functions::NumberSymbols;
using localdb::functions::parseNumberText;
using localdb::functions::parseNumberWithModel;

namespace {

using functiontest::errorCode;
using functiontest::blanksShown;

DecimalNumber number(const char *text) { return *DecimalNumber::parse(text); }

struct FormatRow {
    const char *name;
    const char *value;
    const char *model;
    const char *expected;  // blanks written as '_'
};

class NumberFormatTable : public testing::TestWithParam<FormatRow> {};

TEST_P(NumberFormatTable, PrintsLikeOracle)
{
    const FormatRow &row = GetParam();
    EXPECT_EQ(blanksShown(formatNumber(number(row.value), row.model)), row.expected);
}

const FormatRow kFormatRows[] = {
    {"Blank9LeadingZero_85_5_990_00", "85.5", "990.00", "__85.50"},
    {"ZeroForcedByZeroPosition_0_990_00", "0", "990.00", "___0.00"},
    {"Hundred_990_00", "100", "990.00", "_100.00"},
    {"MinusFloatsToFirstDigit_m85_5", "-85.5", "990.00", "_-85.50"},
    {"OverflowIsHashesOfFullWidth_1000_990_00", "1000", "990.00", "#######"},
    {"Two_990", "2", "990", "___2"},
    {"ThreeDigits_125_990", "125", "990", "_125"},
    {"Five_90", "5", "90", "__5"},
    {"Zero_90", "0", "90", "__0"},
    {"MinusFive_90", "-5", "90", "_-5"},
    {"ZeroNoDecimals_9999", "0", "9999", "____0"},
    {"ZeroWithDecimals_99_99", "0", "99.99", "___.00"},
    {"GroupsInBlankRegionAreBlank", "52428800", "99,999,999,990", "_____52,428,800"},
    {"FillModeStripsBlanks", "52428800", "FM99,999,999,990", "52,428,800"},
    {"NlsGroupSeparator", "52428800", "99G999G999G990", "_____52,428,800"},
    {"FillModeKeepsZeroPositions", "85.5", "FM990.00", "85.50"},
    {"FillModeDropsTrailingNinesZeros", "85.5", "FM999.99", "85.5"},
    {"FillModeZeroKeepsPoint", "0", "FM999.99", "0."},
    {"FractionOnly_999_99", "0.75", "999.99", "____.75"},
    {"FractionWithZero_990_99", "0.75", "990.99", "___0.75"},
    {"GroupAndDecimals", "1234.5", "9,999.99", "_1,234.50"},
    {"CommaInBlankRegion", "5", "9,999", "_____5"},
    {"LeadingZerosThroughComma", "5", "0,000", "_0,005"},
    {"TrailingMinusNegative", "-5", "90MI", "_5-"},
    {"TrailingMinusPositive", "5", "90MI", "_5_"},
    {"LeadingSPositive", "5", "S90", "_+5"},
    {"LeadingSNegative", "-5", "S90", "_-5"},
    {"LeadingSZeros", "5", "S00", "+05"},
    {"LeadingSFull", "1234", "S9999", "+1234"},
    {"TrailingS", "1234", "9999S", "1234+"},
    {"BracketsNegative", "-87", "999PR", "_<87>"},
    {"BracketsPositive", "87", "999PR", "__87_"},
    {"Scientific", "123.456", "9.9EEEE", "__1.2E+02"},
    {"ScientificNegativeExponent", "0.00123", "9.99EEEE", "__1.23E-03"},
    {"RoundHalfUp_2_5", "2.5", "9", "_3"},
    {"RoundHalfAwayFromZero_m2_5", "-2.5", "9", "-3"},
    {"RoundDecimalNotBinary_85_555", "85.555", "990.00", "__85.56"},
    {"RoundingCarriesIntoOverflow", "99.96", "99.9", "#####"},
    {"FillModeOverflowKeepsWidth", "12345", "FM0000", "#####"},
    {"OverflowNeedsOneMoreDigit", "1000", "990", "####"},
    {"DollarFloats", "5", "$9999", "____$5"},
    {"DollarAfterMinus", "-5", "$99.99", "_-$5.00"},
    {"LocalCurrencyFloats", "5", "L99", "__$5"},
    {"LocalCurrencyAtTheEnd", "5", "99L", "__5$"},
    {"IsoCurrency", "-5", "C99", "_-USD5"},
    {"FillModeBracketsPositive", "87", "FM999PR", "87"},
    {"FillModeTrailingMinus", "5", "FM90MI", "5"},
    {"FillModeLeadingSNegative", "-12.5", "FMS990.99", "-12.5"},
    {"BlankZero", "0", "B9999", "_____"},
    {"BlankZeroNonZero", "12", "B9999", "___12"},
    {"ShiftByV", "1.5", "99V99", "__150"},
    {"Hex", "255", "XXXX", "___FF"},
    {"HexLowerFillMode", "255", "FMxx", "ff"},
    {"HexZeroFill", "10", "0XXX", "_000A"},
    {"HexOverflow", "65536", "XXXX", "#####"},
    {"Roman", "1994", "FMRN", "MCMXCIV"},
    {"RomanLowerPadded", "4", "rn", "_____________iv"},
    {"TextMinimum", "0.5", "TM", ".5"},
    {"TextMinimumScientific", "150", "TME", "1.5E+02"},
    {"NegativeZeroAfterRounding", "-0.001", "9.99", "__.00"},
};

INSTANTIATE_TEST_SUITE_P(ToChar, NumberFormatTable, testing::ValuesIn(kFormatRows),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(NumberFormat, InvalidModelsRaise01481)
{
    for (const char *model : {"#,##0", "##0.00", "9.9.9", "99.9,9", ",999", "9G9,9", "99S9", "9MI9",
                              "A99", "FM9FM", "9EEE", "9V9.9", "$", "FM", "S", "."}) {
        EXPECT_EQ(errorCode([&] { formatNumber(number("1"), model); }), 1481) << model;
    }
}

TEST(NumberFormat, NlsCharactersApplyToGAndDOnly)
{
    NumberSymbols german{',', '.', "EUR", "EUR"};
    EXPECT_EQ(formatNumber(number("1234.5"), "FM9G999D99", german), "1.234,5");
    EXPECT_EQ(formatNumber(number("1234.5"), "FM9,999.99", german), "1,234.5");
    EXPECT_EQ(formatNumber(number("5"), "FML99", german), "EUR5");
}

TEST(NumberFormat, CompositeFieldsKeepTheirBlanks)
{
    // TO_CHAR(TRUNC(125/60),'990') || 'm' || TO_CHAR(MOD(125,60),'90') || 's'
    std::string text = formatNumber(number("2"), "990") + "m" + formatNumber(number("5"), "90") + "s";
    EXPECT_EQ(blanksShown(text), "___2m__5s");
}

TEST(NumberFormat, HugeModelsAndValuesStayBounded)
{
    std::string model(3000, '9');
    EXPECT_EQ(formatNumber(number("1e100"), model).size(), 3001u);
    EXPECT_EQ(formatNumber(number("1e200"), "999"), "####");
}

struct TextRow {
    const char *name;
    const char *value;
    const char *expected;
};

class DefaultNumberTextTable : public testing::TestWithParam<TextRow> {};

TEST_P(DefaultNumberTextTable, IsTheShortestText)
{
    EXPECT_EQ(defaultNumberText(number(GetParam().value)), GetParam().expected);
}

const TextRow kTextRows[] = {
    {"NoLeadingZero", "0.5", ".5"},
    {"NegativeNoLeadingZero", "-0.5", "-.5"},
    {"NoTrailingZeros", "1.10", "1.1"},
    {"Integer", "100", "100"},
    {"LongInteger", "123456789012", "123456789012"},
    {"Zero", "0", "0"},
    {"SmallFraction", "0.000123", ".000123"},
    {"HugeGoesScientific", "1.5e45", "1.5E+45"},
    {"TinyGoesScientific", "1e-45", "1E-45"},
};

INSTANTIATE_TEST_SUITE_P(ToChar, DefaultNumberTextTable, testing::ValuesIn(kTextRows),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(DefaultNumberText, DoublesPrintAtFifteenDigits)
{
    EXPECT_EQ(defaultNumberText(DecimalNumber::fromDouble(0.1 + 0.2)), ".3");
    EXPECT_EQ(defaultNumberText(DecimalNumber::fromDouble(1.0 / 3)), ".333333333333333");
    EXPECT_EQ(defaultNumberText(DecimalNumber::fromInt64(INT64_MIN)), "-9223372036854775808");
    EXPECT_EQ(defaultNumberText(DecimalNumber::fromDouble(0.5), ','), ",5");
}

TEST(ToNumber, AcceptsOraclesNumericText)
{
    EXPECT_EQ(defaultNumberText(parseNumberText(" 1.5E2 ")), "150");
    EXPECT_EQ(defaultNumberText(parseNumberText(" 12 ")), "12");
    EXPECT_EQ(defaultNumberText(parseNumberText("-.5")), "-.5");
    EXPECT_EQ(defaultNumberText(parseNumberText("1.")), "1");
    for (const char *bad : {"abc", "", " ", "1,5", "1e", "--1", "1.2.3", "0x10", "1 2"})
        EXPECT_EQ(errorCode([&] { parseNumberText(bad); }), 1722) << bad;
}

TEST(ToNumber, ReadsThroughAModel)
{
    auto read = [](const char *text, const char *model) {
        return defaultNumberText(parseNumberWithModel(text, model));
    };
    EXPECT_EQ(read("1,234.50", "9,999.99"), "1234.5");
    EXPECT_EQ(read("-1,234", "9,999"), "-1234");
    EXPECT_EQ(read("<87>", "999PR"), "-87");
    EXPECT_EQ(read("5-", "90MI"), "-5");
    EXPECT_EQ(read("$12.5", "$99.99"), "12.5");
    EXPECT_EQ(read("ff", "XX"), "255");
    EXPECT_EQ(read("1.5E+02", "9.9EEEE"), "150");
    EXPECT_EQ(read("150", "99V9"), "15");
    EXPECT_EQ(errorCode([] { parseNumberWithModel("12345", "999"); }), 1722);
    EXPECT_EQ(errorCode([] { parseNumberWithModel("1.234", "9.99"); }), 1722);
    EXPECT_EQ(errorCode([] { parseNumberWithModel("1x", "99"); }), 1722);
    EXPECT_EQ(errorCode([] { parseNumberWithModel("1", "#"); }), 1481);
}

TEST(DecimalNumber, RoundsInDecimal)
{
    EXPECT_EQ(defaultNumberText(DecimalNumber::fromDouble(1.005).rounded(2)), "1.01");
    EXPECT_EQ(defaultNumberText(number("1234.567").rounded(-2)), "1200");
    EXPECT_EQ(defaultNumberText(number("999.5").rounded(0)), "1000");
    EXPECT_EQ(defaultNumberText(number("0.4").rounded(0)), "0");
    EXPECT_EQ(defaultNumberText(number("0.5").rounded(0)), "1");
    EXPECT_EQ(defaultNumberText(number("-1.7").truncated(0)), "-1");
    EXPECT_EQ(defaultNumberText(number("50").rounded(-2)), "100");
    EXPECT_EQ(defaultNumberText(number("49").rounded(-2)), "0");
    EXPECT_EQ(number("9223372036854775807").toInt64(), INT64_MAX);
    EXPECT_FALSE(number("9223372036854775808").toInt64());
    EXPECT_EQ(number("-9223372036854775808").toInt64(), INT64_MIN);
}

}  // namespace
