// Numeric functions whose Oracle rules differ from C's: MOD's sign and zero divisor, exact
// decimal remainders, REMAINDER's even quotient, CEIL/FLOOR of negatives and the ORA-01428
// domain errors.
#include "tests/localdb/functions/function_test_support.h"
#include "localdb/functions/numeric_functions.h"
#include "localdb/functions/number_text.h"
#include "localdb/localdb.h"

#include <gtest/gtest.h>

using namespace localdb::functions;

namespace {

using functiontest::errorCode;

DecimalNumber number(const char *text) { return *DecimalNumber::parse(text); }
std::string text(const DecimalNumber &n) { return defaultNumberText(n); }

struct BinaryRow {
    const char *name;
    const char *m;
    const char *n;
    const char *expected;
};

class ModTable : public testing::TestWithParam<BinaryRow> {};

TEST_P(ModTable, KeepsTheDividendsSign)
{
    EXPECT_EQ(text(modNumber(number(GetParam().m), number(GetParam().n))), GetParam().expected);
}

const BinaryRow kModRows[] = {
    {"Positive_11_4", "11", "4", "3"},
    {"NegativeDivisor_11_m4", "11", "-4", "3"},
    {"NegativeDividend_m11_4", "-11", "4", "-3"},
    {"BothNegative_m11_m4", "-11", "-4", "-3"},
    {"Fraction_5_5_2", "5.5", "2", "1.5"},
    {"ZeroDivisorGivesDividend", "7", "0", "7"},
    {"ExactDecimal_0_3_0_1", "0.3", "0.1", "0"},
    {"ExactDecimal_1_0_0_7", "1", "0.7", ".3"},
    {"BeyondSixtyFourBits", "123456789012345678901234567891", "7", "1"},
};

INSTANTIATE_TEST_SUITE_P(Mod, ModTable, testing::ValuesIn(kModRows),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

class RemainderTable : public testing::TestWithParam<BinaryRow> {};

TEST_P(RemainderTable, UsesTheNearestQuotient)
{
    EXPECT_EQ(text(remainderNumber(number(GetParam().m), number(GetParam().n))), GetParam().expected);
}

const BinaryRow kRemainderRows[] = {
    {"RoundsUp_11_4", "11", "4", "-1"},
    {"RoundsDown_10_4_5", "9", "4", "1"},
    {"HalfGoesToEven_10_4", "10", "4", "2"},
    {"HalfGoesToEven_6_4", "6", "4", "-2"},
    {"Negative_m11_4", "-11", "4", "1"},
    {"Fraction_5_5_2", "5.5", "2", "-.5"},
};

INSTANTIATE_TEST_SUITE_P(Remainder, RemainderTable, testing::ValuesIn(kRemainderRows),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(NumericFunctions, CeilFloorTowardTheRightSide)
{
    EXPECT_EQ(text(ceilNumber(number("-1.5"))), "-1");
    EXPECT_EQ(text(floorNumber(number("-1.5"))), "-2");
    EXPECT_EQ(text(ceilNumber(number("1.2"))), "2");
    EXPECT_EQ(text(floorNumber(number("1.8"))), "1");
    EXPECT_EQ(text(ceilNumber(number("-0.5"))), "0");
    EXPECT_EQ(text(floorNumber(number("3"))), "3");
}

TEST(NumericFunctions, DomainErrorsNameTheValue)
{
    try {
        sqrtNumber(-1);
        FAIL();
    } catch (const localdb::Error &e) {
        EXPECT_STREQ(e.what(), "ORA-01428: argument '-1' is out of range");
    }
    EXPECT_EQ(errorCode([] { lnNumber(0); }), 1428);
    EXPECT_EQ(errorCode([] { logNumber(1, 10); }), 1428);
    EXPECT_EQ(errorCode([] { logNumber(10, -1); }), 1428);
    EXPECT_EQ(errorCode([] { powerNumber(-8, 1.0 / 3); }), 1428);
    EXPECT_EQ(errorCode([] { asinNumber(1.5); }), 1428);
    EXPECT_EQ(errorCode([] { expNumber(1e6); }), 1426);
    EXPECT_EQ(errorCode([] { remainderNumber(number("1"), number("0")); }), 1476);
    EXPECT_EQ(powerNumber(-2, 3), -8);
    EXPECT_NEAR(logNumber(10, 1000), 3, 1e-12);
}

}  // namespace
