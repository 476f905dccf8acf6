// Character functions: positions counted in characters (and in Shift-JIS bytes for the B forms),
// negative and zero positions, padding to display width, trimming sets, and the rule that an
// empty result is NULL.
#include "tests/localdb/functions/function_test_support.h"
#include "localdb/functions/text_functions.h"
#include "localdb/functions/width_conversion.h"
#include "localdb/localdb.h"

#include <gtest/gtest.h>

using namespace localdb::functions;

namespace {

using functiontest::errorCode;

constexpr std::optional<double> kToEnd = std::nullopt;
constexpr DatabaseCharset kSjis = DatabaseCharset::ShiftJis;
constexpr DatabaseCharset kUtf8 = DatabaseCharset::Utf8;

std::string utf8Of(char32_t c)
{
    std::string text;
    if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
    } else {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    text += static_cast<char>(0x80 | (c & 0x3F));
    return text;
}

struct SubstrRow {
    const char *name;
    const char *text;
    double position;
    std::optional<double> length;
    std::optional<std::string> expected;
};

class SubstrTable : public testing::TestWithParam<SubstrRow> {};

TEST_P(SubstrTable, CountsCharacters)
{
    const SubstrRow &row = GetParam();
    EXPECT_EQ(substr(row.text, row.position, row.length), row.expected);
}

const SubstrRow kSubstrRows[] = {
    {"NegativeCountsFromEnd_ABCDEFG_m3_2", "ABCDEFG", -3, 2, "EF"},
    {"ZeroIsOne", "ABCDEFG", 0, 3, "ABC"},
    {"ToTheEnd", "ABCDEFG", 5, kToEnd, "EFG"},
    {"PastTheEndIsNull", "abc", 4, kToEnd, std::nullopt},
    {"NegativeBeyondStartIsNull", "abc", -4, kToEnd, std::nullopt},
    {"LengthBelowOneIsNull", "abc", 1, 0.9, std::nullopt},
    {"NegativeLengthIsNull", "abc", 1, -1, std::nullopt},
    {"FractionsTruncated", "ABCDEFG", 2.9, 2.9, "BC"},
    {"LengthBeyondEnd", "abc", 2, 100, "bc"},
    {"KanjiAreOneCharacterEach", "日本語テキスト", 3, 2, "語テ"},
    {"NegativeOnKanji", "日本語", -1, kToEnd, "語"},
    {"HugePositionIsNull", "abc", 1e300, kToEnd, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Substr, SubstrTable, testing::ValuesIn(kSubstrRows),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(Substrb, CountsBytesOfTheDatabaseCharacterSet)
{
    EXPECT_EQ(substrb("日本語", 3, 2, kSjis), "本");
    // A double-byte character cut by either end becomes a blank per byte taken.
    EXPECT_EQ(substrb("日本語", 2, 2, kSjis), "  ");
    EXPECT_EQ(substrb("日本語", 2, 3, kSjis), " 本");
    EXPECT_EQ(substrb("a日本", -2, kToEnd, kSjis), "本");
    EXPECT_EQ(substrb("日本", 4, 3, kUtf8), "本");
    EXPECT_EQ(substrb("abc", 4, kToEnd, kSjis), std::nullopt);
}

struct InstrRow {
    const char *name;
    const char *text;
    const char *search;
    double position;
    double occurrence;
    std::int64_t expected;
};

class InstrTable : public testing::TestWithParam<InstrRow> {};

TEST_P(InstrTable, FindsTheOccurrence)
{
    const InstrRow &row = GetParam();
    EXPECT_EQ(instr(row.text, row.search, row.position, row.occurrence), row.expected);
}

const InstrRow kInstrRows[] = {
    {"BackwardFromThirdLast_2ndOccurrence", "CORPORATE FLOOR", "OR", -3, 2, 2},
    {"ForwardFromThree_2ndOccurrence", "CORPORATE FLOOR", "OR", 3, 2, 14},
    {"First", "CORPORATE FLOOR", "OR", 1, 1, 2},
    {"NotFound", "CORPORATE FLOOR", "XY", 1, 1, 0},
    {"TooFewOccurrences", "CORPORATE FLOOR", "OR", 1, 4, 0},
    {"PositionZeroIsZero", "abc", "a", 0, 1, 0},
    {"BackwardFromLastFindsMatchEndingThere", "abcabc", "bc", -1, 1, 5},
    {"BackwardMatchMayNotStartAfterPosition", "abcabc", "bc", -2, 1, 5},
    {"BackwardThird", "abcabc", "bc", -3, 1, 2},
    {"OverlappingOccurrences", "AAA", "AA", 1, 2, 2},
    {"PositionPastEnd", "abc", "c", 4, 1, 0},
    {"KanjiPositions", "東京都東京", "東京", 2, 1, 4},
    {"SearchLongerThanText", "ab", "abc", 1, 1, 0},
};

INSTANTIATE_TEST_SUITE_P(Instr, InstrTable, testing::ValuesIn(kInstrRows),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(Instr, OccurrenceBelowOneRaises01428)
{
    try {
        instr("abc", "a", 1, 0);
        FAIL();
    } catch (const localdb::Error &e) {
        EXPECT_STREQ(e.what(), "ORA-01428: argument '0' is out of range");
    }
    EXPECT_EQ(errorCode([] { instr("abc", "a", 1, -1); }), 1428);
}

TEST(Instrb, BytePositionsOnCharacterBoundaries)
{
    EXPECT_EQ(instrb("日本語", "語", 1, 1, kSjis), 5);
    EXPECT_EQ(instrb("a日本語", "本", 1, 1, kSjis), 4);
    EXPECT_EQ(instrb("日本語", "語", 1, 1, kUtf8), 7);
}

TEST(Length, CharactersAndBytes)
{
    EXPECT_EQ(lengthOf("日本語abc"), 6);
    EXPECT_EQ(lengthbOf("日本語abc", kSjis), 9);
    EXPECT_EQ(lengthbOf("日本語abc", kUtf8), 12);
    EXPECT_EQ(lengthbOf("ｱｲｳ", kSjis), 3);  // half-width katakana are single bytes
}

struct PadRow {
    const char *name;
    bool left;
    const char *text;
    double length;
    const char *padding;
    std::optional<std::string> expected;
};

class PadTable : public testing::TestWithParam<PadRow> {};

TEST_P(PadTable, PadsToDisplayWidth)
{
    const PadRow &row = GetParam();
    auto result = row.left ? lpad(row.text, row.length, row.padding) : rpad(row.text, row.length, row.padding);
    EXPECT_EQ(result, row.expected);
}

const PadRow kPadRows[] = {
    {"LpadBlanks", true, "abc", 6, " ", "   abc"},
    {"LpadRepeatsPattern", true, "abc", 10, "xyz", "xyzxyzxabc"},
    {"RpadRepeatsPattern", false, "abc", 7, "xy", "abcxyxy"},
    {"LpadTruncatesLongerText", true, "abcdef", 3, " ", "abc"},
    {"RpadTruncatesLongerText", false, "abcdef", 3, " ", "abc"},
    {"ZeroLengthIsNull", true, "x", 0, " ", std::nullopt},
    {"BlankToZeroIsNull", true, " ", 0, " ", std::nullopt},
    {"NegativeLengthIsNull", false, "x", -5, " ", std::nullopt},
    {"KanjiTakeTwoColumns", true, "日本", 6, "*", "**日本"},
    {"HalfAKanjiBecomesBlank", false, "日本語", 5, " ", "日本 "},
    {"WidePaddingCutToBlank", false, "a", 4, "＊", "a＊ "},
    {"ExactFit", true, "abc", 3, "x", "abc"},
};

INSTANTIATE_TEST_SUITE_P(Pad, PadTable, testing::ValuesIn(kPadRows),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(Pad, HugeLengthsAreCappedNotAllocated)
{
    auto result = rpad("x", 1e12, "y");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->size(), static_cast<std::size_t>(kMaxPadLength));
    EXPECT_EQ(lpad("x", 1e300, "ab")->size(), static_cast<std::size_t>(kMaxPadLength));
}

TEST(Trim, SetsAndEnds)
{
    EXPECT_EQ(trimCharacters("xxabcxx", "x", true, false), "abcxx");
    EXPECT_EQ(trimCharacters("xxabcxx", "x", false, true), "xxabc");
    EXPECT_EQ(trimCharacters("xyxzabcxzy", "xyz", true, true), "abc");
    EXPECT_EQ(trimCharacters("xxx", "x", true, false), std::nullopt);
    EXPECT_EQ(trimCharacters("   ", " ", true, true), std::nullopt);
    EXPECT_EQ(trimCharacters("　全角　", "　", true, true), "全角");
}

TEST(CaseMapping, UpperLowerInitcap)
{
    EXPECT_EQ(upperText("abc日本ｘ"), "ABC日本Ｘ");
    EXPECT_EQ(lowerText("ÀBC"), "àbc");
    EXPECT_EQ(initcapText("hello WORLD-foo"), "Hello World-Foo");
    EXPECT_EQ(initcapText("o'neil mcDONALD 3rd"), "O'Neil Mcdonald 3rd");
}

TEST(ReplaceTranslate, NullRules)
{
    EXPECT_EQ(replaceText("aa", "a", ""), std::nullopt);
    EXPECT_EQ(replaceText("abcabc", "b", "XY"), "aXYcaXYc");
    EXPECT_EQ(replaceText("abc", "", "X"), "abc");
    EXPECT_EQ(translateText("abcdef", "abc", "x"), "xdef");
    EXPECT_EQ(translateText("2004-01-05", "0123456789-", "9999999999"), "99999999");
    EXPECT_EQ(translateText("日本", "日", "月"), "月本");
    EXPECT_EQ(translateText("abc", "abc", ""), std::nullopt);
    // A result beyond any storable length is refused before it is built.
    std::string large(100000, 'a');
    EXPECT_EQ(errorCode([&] { replaceText(large, "a", large); }), 1489);
}

TEST(Soundex, AmericanRules)
{
    EXPECT_EQ(soundexText("Robert"), "R163");
    EXPECT_EQ(soundexText("Rupert"), "R163");
    EXPECT_EQ(soundexText("Ashcraft"), "A261");
    EXPECT_EQ(soundexText("Tymczak"), "T522");
    EXPECT_EQ(soundexText("Lee"), "L000");
    EXPECT_EQ(soundexText("123"), std::nullopt);
}

TEST(ChrAscii, CodesOfTheDatabaseCharacterSet)
{
    EXPECT_EQ(chrText(65, kSjis), "A");
    EXPECT_EQ(chrText(10, kSjis), "\n");
    EXPECT_EQ(chrText(0x82A0, kSjis), "あ");
    EXPECT_EQ(asciiCode("あいう", kSjis), 33440);
    EXPECT_EQ(asciiCode("A", kSjis), 65);
    EXPECT_EQ(asciiCode("あ", kUtf8), 0xE38182);
    EXPECT_EQ(chrText(0xE38182, kUtf8), "あ");
    EXPECT_EQ(chrText(0xFF, kUtf8), "\xEF\xBF\xBD");  // a stray byte never reaches storage as such
    EXPECT_EQ(errorCode([] { chrText(-1, kSjis); }), 1428);
}

TEST(WidthConversion, HalfAndFullWidthForms)
{
    EXPECT_EQ(toMultiByte("AB 1!"), "ＡＢ　１！");
    EXPECT_EQ(toMultiByte("ｶﾞｷﾞｸﾟﾊﾟｳﾞｯｰ｡"), "ガギク゜パヴッー。");  // ク takes no semi-voiced mark
    EXPECT_EQ(toSingleByte("ＡＢ　１！"), "AB 1!");
    EXPECT_EQ(toSingleByte("ガパヴッボポ漢字"), "ｶﾞﾊﾟｳﾞｯﾎﾞﾎﾟ漢字");
    // Round trip through both conversions for every half-width katakana with and without marks.
    std::string all;
    for (char32_t c = 0xFF61; c <= 0xFF9D; ++c)
        all += utf8Of(c);
    EXPECT_EQ(toSingleByte(toMultiByte(all)), all);
}

}  // namespace
