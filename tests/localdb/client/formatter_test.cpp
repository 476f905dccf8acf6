// Column layout, numbers fitted to columns, pages and CSV, from column descriptions and cell
// texts.
#include "localdb/client/result_formatter.h"
#include "localdb/client/text_width.h"
#include "localdb/client/value_text.h"
#include "localdb/functions/decimal_number.h"
#include "localdb/functions/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace localdb::client;
using localdb::Column;

namespace {

Column numberColumn(const std::string &name) { return Column{name, localdb::Double, "NUMBER"}; }
Column textColumn(const std::string &name, const std::string &type) { return Column{name, localdb::Text, type}; }
Column dateColumn(const std::string &name) { return Column{name, localdb::Date, "DATE"}; }

// Everything a result prints, as one string of lines.
std::string printed(const std::vector<Column> &columns, const std::vector<Cells> &rows, const ClientSettings &s) {
    ResultFormatter formatter(layoutColumns(columns, rows, s, 9), s);
    std::string out;
    PagedPrinter printer(formatter, s, [&](const std::string &line) { out += line + "\n"; });
    for (const Cells &row : rows)
        printer.addRow(row);
    printer.finish();
    return out;
}

}  // namespace

TEST(NumberFit, RoundsDecimalsThenUsesScientificNotation) {
    struct Case {
        const char *text;
        int width;
        const char *expected;
    };
    const Case cases[] = {
        {"2450", 10, "2450"},
        {".333333333333333", 10, ".333333333"},
        {"-.666666666666667", 10, "-.66666667"},
        {"123456.789", 8, "123456.8"},
        {"9.99999999", 5, "10"},
        {"12345678901", 10, "1.2346E+10"},
        {"-12345678901", 10, "-1.235E+10"},
        {".00000000001234", 10, "1.234E-11"},
        {"123456789012", 4, "####"},
        {"not a number", 4, "not a number"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(fitNumberText(c.text, c.width), c.expected) << c.text << " in " << c.width;
}

TEST(NumberFit, BinaryDoublesInOraclesScientificForm) {
    EXPECT_EQ(binaryNumberText(10, false), "1.0E+001");
    EXPECT_EQ(binaryNumberText(1.5, false), "1.5E+000");
    EXPECT_EQ(binaryNumberText(123.456, false), "1.23456E+002");
    EXPECT_EQ(binaryNumberText(0.1, false), "1.0E-001");
    EXPECT_EQ(binaryNumberText(-2.5, false), "-2.5E+000");
    EXPECT_EQ(binaryNumberText(0, false), "0");
    EXPECT_EQ(binaryNumberText(1.0 / 3, false), "3.33333333333333E-001");
    EXPECT_EQ(binaryNumberText(double(1.1f), true), "1.1E+000");
    EXPECT_EQ(binaryNumberText(1e300 * 1e300, false), "Inf");
    // Narrower than NUMWIDTH: fewer significant digits, the exponent kept at three digits.
    EXPECT_EQ(fitBinaryNumberText("3.33333333333333E-001", false, 10), "3.333E-001");
    EXPECT_EQ(fitBinaryNumberText("-3.33333333333333E-001", false, 10), "-3.33E-001");
    EXPECT_EQ(fitBinaryNumberText("1.0E+001", false, 10), "1.0E+001");
    EXPECT_EQ(fitBinaryNumberText("9.99999E+002", false, 8), "1.0E+003");
    EXPECT_EQ(fitBinaryNumberText("1.5E+000", false, 4), "####");
}

TEST(ColumnLayout, WidthsByKind) {
    ClientSettings s;
    s.lineSize = 200;
    const std::vector<Column> columns{
        numberColumn("EMPNO"), numberColumn("A_LONG_NUMBER_HEADING"), textColumn("ENAME", "VARCHAR2(10)"),
        textColumn("'ABC'", "CHAR(3)"), dateColumn("HIREDATE"), textColumn("UPPER(ENAME)", "VARCHAR2(4000)"),
        Column{"R", localdb::LongBinary, "RAW(4)"}};
    const std::vector<Cells> sample{{std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                                     std::string("SMITH"), std::nullopt},
                                    {std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                                     std::string("ADAMS_LONGER_NAME"), std::nullopt}};
    auto layout = layoutColumns(columns, sample, s, 9);
    ASSERT_EQ(layout.size(), 7u);
    EXPECT_EQ(layout[0].width, 10);   // NUMWIDTH
    EXPECT_EQ(layout[1].width, 21);   // the heading is wider
    EXPECT_EQ(layout[2].width, 10);   // declared length
    EXPECT_EQ(layout[3].width, 3);    // heading cut to the length
    EXPECT_EQ(layout[4].width, 9);    // the date format's width
    EXPECT_EQ(layout[5].width, 17);   // unsized expression: its longest value
    EXPECT_EQ(layout[6].width, 8);    // two hexadecimal digits a byte

    ResultFormatter formatter(layout, s);
    auto headings = formatter.headingLines();
    ASSERT_EQ(headings.size(), 2u);
    EXPECT_EQ(headings[0].substr(0, 32), "     EMPNO A_LONG_NUMBER_HEADING");
    EXPECT_NE(headings[0].find(" ENAME      'AB HIREDATE  UPPER(ENAME)"), std::string::npos);
}

TEST(ColumnLayout, NoColumnWiderThanTheLine) {
    ClientSettings s;
    s.lineSize = 20;
    auto layout = layoutColumns({textColumn("TEXT", "VARCHAR2(100)")}, {}, s, 9);
    EXPECT_EQ(layout[0].width, 20);
}

TEST(ResultPrinting, UsualQueryListing) {
    ClientSettings s;
    const std::string out = printed(
        {numberColumn("EMPNO"), textColumn("ENAME", "VARCHAR2(10)"), dateColumn("HIREDATE"), numberColumn("COMM")},
        {{std::string("7782"), std::string("CLARK"), std::string("09-JUN-81"), std::nullopt},
         {std::string("7839"), std::string("KING"), std::string("17-NOV-81"), std::string(".5")}},
        s);
    EXPECT_EQ(out, "\n"
                   "     EMPNO ENAME      HIREDATE        COMM\n"
                   "---------- ---------- --------- ----------\n"
                   "      7782 CLARK      09-JUN-81\n"
                   "      7839 KING       17-NOV-81         .5\n"
                   "\n");
}

TEST(ResultPrinting, WideRowsContinueOnFurtherLinesWithTheirHeadings) {
    ClientSettings s;
    s.lineSize = 25;
    const std::string out = printed({numberColumn("A"), numberColumn("B"), numberColumn("C")},
                                    {{std::string("1"), std::string("2"), std::string("3")}}, s);
    EXPECT_EQ(out, "\n"
                   "         A          B\n"
                   "---------- ----------\n"
                   "         C\n"
                   "----------\n"
                   "         1          2\n"
                   "         3\n"
                   "\n");
}

TEST(ResultPrinting, LongValuesWrapInsideTheirColumn) {
    ClientSettings s;
    const std::string out =
        printed({textColumn("T", "VARCHAR2(4)"), numberColumn("N")}, {{std::string("abcdefghij"), std::string("1")}}, s);
    EXPECT_EQ(out, "\n"
                   "T             N\n"
                   "---- ----------\n"
                   "abcd          1\n"
                   "efgh\n"
                   "ij\n"
                   "\n");
    s.wrap = false;
    const std::string cut =
        printed({textColumn("T", "VARCHAR2(4)"), numberColumn("N")}, {{std::string("abcdefghij"), std::string("1")}}, s);
    EXPECT_NE(cut.find("abcd          1\n\n"), std::string::npos);
}

TEST(ResultPrinting, HeadingsRepeatEveryPage) {
    ClientSettings s;
    std::vector<Cells> rows;
    for (int i = 1; i <= 14; ++i)
        rows.push_back({std::to_string(i)});
    std::string out = printed({numberColumn("N")}, rows, s);
    // A page of 14 lines: the blank line, two heading lines and 11 rows.
    size_t headings = 0;
    for (size_t at = out.find("         N\n"); at != std::string::npos; at = out.find("         N\n", at + 1))
        ++headings;
    EXPECT_EQ(headings, 2u);
    EXPECT_NE(out.find("        11\n\n         N\n----------\n        12\n"), std::string::npos);

    s.pageSize = 0;
    out = printed({numberColumn("N")}, {{std::string("1")}, {std::string("2")}}, s);
    EXPECT_EQ(out, "         1\n         2\n\n");
}

TEST(ResultPrinting, NullTextAndJapaneseWidths) {
    ClientSettings s;
    s.nullText = "-";
    const std::string out = printed({textColumn("NAME", "VARCHAR2(6)"), textColumn("X", "VARCHAR2(2)")},
                                    {{std::string("山田"), std::nullopt}, {std::string("ab"), std::string("z")}}, s);
    EXPECT_EQ(out, "\nNAME   X\n------ --\n山田   -\nab     z\n\n");
    EXPECT_EQ(displayWidth("山田a"), 5);
    EXPECT_EQ(std::string(leadingColumns("山田", 3)), "山");
}

TEST(ResultPrinting, CsvQuotesTextAndLeavesNumbersAndNullsBare) {
    ClientSettings s;
    s.markupCsv = true;
    const std::string out = printed({numberColumn("ID"), textColumn("NAME", "VARCHAR2(20)"), dateColumn("D")},
                                    {{std::string("1"), std::string("say \"hi\", twice"), std::string("03-FEB-01")},
                                     {std::string("12345678901.5"), std::nullopt, std::nullopt}},
                                    s);
    EXPECT_EQ(out, "\"ID\",\"NAME\",\"D\"\n"
                   "1,\"say \"\"hi\"\", twice\",\"03-FEB-01\"\n"
                   "12345678901.5,,\n");
    s.csvDelimiter = ';';
    s.csvQuote = false;
    s.heading = false;
    EXPECT_EQ(printed({numberColumn("ID"), textColumn("NAME", "VARCHAR2(20)")}, {{std::string("1"), std::string("a")}},
                      s),
              "1;a\n");
}

TEST(ColumnLayout, ColumnCommandOverridesWidthAndHeading) {
    ClientSettings s;
    auto outcome = applyColumn(s, "ename format a4 heading 'Who'");
    EXPECT_TRUE(outcome.error.empty());
    outcome = applyColumn(s, "sal heading 'Monthly salary' format 99,999.00");
    EXPECT_EQ(outcome.notes.size(), 1u);  // number formats are not drawn
    const std::string out = printed({textColumn("ENAME", "VARCHAR2(10)"), numberColumn("SAL")},
                                    {{std::string("SMITH"), std::string("800")}}, s);
    EXPECT_EQ(out, "\n"
                   "Who  Monthly salary\n"
                   "---- --------------\n"
                   "SMIT            800\n"
                   "H\n"
                   "\n");
    applyColumn(s, "ename clear");
    EXPECT_EQ(layoutColumns({textColumn("ENAME", "VARCHAR2(10)")}, {}, s, 9)[0].width, 10);
}

// Numbers are printed by a short path for the common cases; it must give exactly the text of the
// engine's decimal conversion, for every magnitude and sign, or a listing and TO_CHAR disagree.
TEST(ValueText, NumbersMatchTheDecimalTextAtEveryMagnitude) {
    using localdb::functions::DecimalNumber;
    const localdb::client::DateDisplay dates;
    std::vector<double> values = {0.0, -0.0, 1, -1, 0.5, -0.125, 1.25, 100, 1e15, 1e16, 123456789012345.6,
                                  1e-7, -1e-5, 0.1 + 0.2, 1.0 / 3, 2.0 / 3, 9.999999999999999e14, 5e-324, 1e300};
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-30, 30);
    for (int i = 0; i < 20000; ++i)
        values.push_back(mantissa(random) * std::pow(10.0, exponent(random)));
    for (int i = 0; i < 2000; ++i)
        values.push_back(std::round(mantissa(random) * 1e6) / 100);  // money amounts
    for (double v : values) {
        const std::string expected = localdb::functions::defaultNumberText(DecimalNumber::fromDouble(v));
        EXPECT_EQ(valueText(localdb::Value(v), dates).value_or("<null>"), expected) << v;
    }
    // Cells reused row after row keep no text of the row before.
    std::optional<std::string> cell = std::string("previous long text");
    assignValueText(cell, localdb::Value(std::int64_t{-42}), dates);
    EXPECT_EQ(cell, "-42");
    assignValueText(cell, localdb::Value(), dates);
    EXPECT_EQ(cell, std::nullopt);
}
