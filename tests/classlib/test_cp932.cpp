// Tests of the code page 932 unit: boundaries around trail bytes that look like ASCII, stepping,
// columns with and without TAB, conversions with invalid input, and the letter case rules.
#include "classlib/cp932.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace std::string_literals;

namespace {

// 表 = 0x95 0x5C (trail byte looks like "\"), ポ = 0x83 0x7C (trail "|"), 亜 = 0x88 0x9F (trail
// in the lead range), ｱ = 0xB1 (half-width katakana), ‐ = 0x81 0x5D (trail "]"),
// 帰 = 0x8B 0x41, ａ = 0x82 0x81 (trail "a" + 0x20), 犬 = 0x8C 0xA2.
const std::string kHyo = "\x95\x5C";
const std::string kPo = "\x83\x7C";
const std::string kA = "\x88\x9F";
const std::string kKanaA = "\xB1";

TEST(Cp932Boundaries, TrailBytesThatLookLikeAsciiAreNotCharacters)
{
    const std::string text = "a" + kHyo + "b" + kPo + "c";
    EXPECT_TRUE(cp932::IsTrailByteAt(text, 2)) << "0x5C after a lead byte is no backslash";
    EXPECT_TRUE(cp932::IsTrailByteAt(text, 5)) << "0x7C after a lead byte is no bar";
    EXPECT_FALSE(cp932::IsTrailByteAt(text, 0));
    EXPECT_FALSE(cp932::IsTrailByteAt(text, 1));
    EXPECT_FALSE(cp932::IsTrailByteAt(text, 3));
    EXPECT_FALSE(cp932::IsTrailByteAt(text, 99));
    EXPECT_EQ(cp932::CharLength(text, 1), 2u);
    EXPECT_EQ(cp932::CharLength(text, 3), 1u);
    EXPECT_EQ(cp932::CharCount(text), 5u);
}

TEST(Cp932Boundaries, RunsOfLeadRangeBytesAreReadFromAKnownBoundary)
{
    // 亜亜亜: every byte is in the lead range, so only a scan from the start tells them apart.
    const std::string text = "x" + kA + kA + kA;
    for (std::size_t i = 1; i < text.size(); ++i)
        EXPECT_EQ(cp932::IsTrailByteAt(text, i), i % 2 == 0) << "index " << i;
    EXPECT_EQ(cp932::CharStart(text, 6), 5u);
    EXPECT_EQ(cp932::CharStart(text, 5), 5u);
}

TEST(Cp932Boundaries, LeadByteAtTheEndOrBeforeNulStandsAlone)
{
    const std::string atEnd = "ab\x81";
    EXPECT_EQ(cp932::CharLength(atEnd, 2), 1u);
    EXPECT_EQ(cp932::NextCharPos(atEnd, 2), 3u);
    EXPECT_EQ(cp932::CharLength(atEnd, 3), 0u);
    const std::string beforeNul = "\x81\0z"s;
    EXPECT_EQ(cp932::CharLength(beforeNul, 0), 1u);
    EXPECT_FALSE(cp932::IsTrailByteAt(beforeNul, 1));
    // A view that ends on a lead byte must not look at the byte after it.
    const std::string longer = "a" + kHyo;
    EXPECT_EQ(cp932::CharLength(std::string_view(longer).substr(0, 2), 1), 1u);
}

TEST(Cp932Boundaries, SteppingForwardAndBackNeverSplitsACharacter)
{
    const std::string text = kA + "a" + kHyo + kKanaA + kPo + kA + "\x81";
    std::vector<std::size_t> forward;
    for (std::size_t i = 0; i < text.size(); i = cp932::NextCharPos(text, i)) forward.push_back(i);
    EXPECT_EQ(forward, (std::vector<std::size_t>{0, 2, 3, 5, 6, 8, 10}));
    std::vector<std::size_t> back;
    for (std::size_t i = text.size(); i > 0;) {
        i = cp932::PrevCharPos(text, i);
        back.insert(back.begin(), i);
    }
    EXPECT_EQ(back, forward);
    // From inside a character: forward to its end, back to its start.
    EXPECT_EQ(cp932::NextCharPos(text, 1), 2u);
    EXPECT_EQ(cp932::PrevCharPos(text, 4), 3u);
    EXPECT_EQ(cp932::PrevCharPos(text, 0), 0u);
}

TEST(Cp932Columns, DoubleByteTakesTwoColumnsKanaOne)
{
    const std::string text = kKanaA + kHyo + "b";
    EXPECT_EQ(cp932::DisplayWidth(text), 4);
    EXPECT_EQ(cp932::ByteToColumn(text, 1), 1);
    EXPECT_EQ(cp932::ByteToColumn(text, 2), 1) << "a trail byte reports its character's column";
    EXPECT_EQ(cp932::ByteToColumn(text, 3), 3);
    EXPECT_EQ(cp932::ColumnToByte(text, 2), 1u) << "second column of 表 snaps to its start";
    EXPECT_EQ(cp932::ColumnToByte(text, 2, cp932::ColumnSnap::Next), 3u);
    EXPECT_EQ(cp932::ColumnToByte(text, 3), 3u);
    EXPECT_EQ(cp932::ColumnToByte(text, 40), text.size());
    EXPECT_EQ(cp932::ColumnToByte(text, -3), 0u);
}

TEST(Cp932Columns, TabsAdvanceToTheNextStop)
{
    const std::string text = "ab\t" + kHyo + "\tc";
    // a b TAB(2..3) 表(4,5) TAB(6..7) c(8)
    EXPECT_EQ(cp932::DisplayWidthTab(text, 4), 9);
    EXPECT_EQ(cp932::ByteToColumnTab(text, 3, 4), 4);
    EXPECT_EQ(cp932::ByteToColumnTab(text, 6, 4), 8);
    EXPECT_EQ(cp932::ColumnToByteTab(text, 3, 4), 2u) << "inside the tab's fill";
    EXPECT_EQ(cp932::ColumnToByteTab(text, 3, 4, cp932::ColumnSnap::Next), 3u);
    EXPECT_EQ(cp932::ExpandTabs(text, 4), "ab  " + kHyo + "  c");
    EXPECT_EQ(cp932::DisplayWidth(text), 7) << "without a tab width a TAB is one column";
}

TEST(Cp932Conversion, JapaneseTextRoundTrips)
{
    const QString unicode = QString::fromUtf8("表示ポート亜ｱ～－abc\\|");
    const std::string bytes = cp932::FromUnicode(unicode);
    EXPECT_EQ(bytes.substr(0, 2), kHyo);
    EXPECT_EQ(cp932::ToUnicode(bytes), unicode);
    EXPECT_EQ(cp932::Cp932ToUtf8(bytes), unicode.toStdString());
    EXPECT_EQ(cp932::Utf8ToCp932(unicode.toStdString()), bytes);
    // The wave dash and minus as other systems type them map to the same code page 932 bytes.
    EXPECT_EQ(cp932::FromUnicode(QString::fromUtf8("\u301C\u2212")), "\x81\x60\x81\x7C");
}

TEST(Cp932Conversion, UnmappableCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(cp932::FromUnicode(QString::fromUtf8("a😀b한c")), "a?b?c");
    QString lone;
    lone.append(QChar(0xD800));
    lone.append(QLatin1Char('x'));
    EXPECT_EQ(cp932::FromUnicode(lone), "?x");
    EXPECT_EQ(cp932::Utf8ToCp932("a\xFF\xC3z"), "a??z");
}

TEST(Cp932Conversion, InvalidInputIsReplacedAndNeverLost)
{
    const QString fffd(QChar(0xFFFD));
    EXPECT_EQ(cp932::ToUnicode("a\x81"), "a" + fffd);
    EXPECT_EQ(cp932::ToUnicode("\x81\nb"), fffd + "\nb") << "the line break after a stray lead survives";
    EXPECT_EQ(cp932::ToUnicode("\x85\x40" + kA), fffd + "@" + QString::fromUtf8("亜"));
    EXPECT_EQ(cp932::ToUnicode("\x85\x85"), fffd + fffd) << "the second lead cannot stand alone";
    EXPECT_EQ(cp932::ToUnicode("x\x81\0y"s), "x" + fffd + QChar(0) + "y");
    // Every byte string converts, and no output character stands for more than one character.
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(cp932::ToUnicode(one).size(), 1) << "byte " << b;
    }
}

TEST(Cp932Conversion, ThreadsConvertAtTheSameTime)
{
    // Each thread has its own converters; shared ones would mix their shift state and output.
    const QString text = QString::fromUtf8("並行して変換するテキスト abc ｶﾅ");
    const std::string bytes = cp932::FromUnicode(text);
    std::vector<int> failures(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 2000; ++i)
                if (cp932::ToUnicode(bytes) != text || cp932::FromUnicode(text) != bytes) ++failures[t];
        });
    for (std::thread &thread : threads) thread.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

TEST(Cp932Conversion, Utf8OffsetsMapBackToCp932Offsets)
{
    const std::string text = "ab" + kHyo + "c" + kKanaA + "\x85" + "d";
    const std::string utf8 = cp932::Cp932ToUtf8(text);
    // a b 表(3 bytes) c ｱ(3) FFFD(3) d, where 0x85 0x64 is one (invalid) character
    ASSERT_EQ(utf8.size(), 13u);
    EXPECT_EQ(cp932::Utf8OffsetToCp932Offset(text, 0), 0u);
    EXPECT_EQ(cp932::Utf8OffsetToCp932Offset(text, 2), 2u);
    EXPECT_EQ(cp932::Utf8OffsetToCp932Offset(text, 4), 2u) << "inside 表";
    EXPECT_EQ(cp932::Utf8OffsetToCp932Offset(text, 5), 4u);
    EXPECT_EQ(cp932::Utf8OffsetToCp932Offset(text, 6), 5u);
    EXPECT_EQ(cp932::Utf8OffsetToCp932Offset(text, 12), 6u) << "\"d\" belongs to the stray pair 0x85 0x64";
    EXPECT_EQ(cp932::Utf8OffsetToCp932Offset(text, 13), text.size());
    EXPECT_EQ(cp932::Utf8OffsetToCp932Offset(text, 500), text.size());
    for (std::size_t i = 0; i <= text.size(); i = cp932::NextCharPos(text, i)) {
        EXPECT_EQ(cp932::Utf8OffsetToCp932Offset(text, cp932::Cp932OffsetToUtf8Offset(text, i)), i);
        if (i == text.size()) break;
    }
}

TEST(Cp932Case, OnlySingleByteLettersChange)
{
    // 0x82 0x61 is a full-width letter whose trail byte is "a"; it must keep its bytes.
    const std::string trailA = "\x82\x61";
    EXPECT_EQ(cp932::UpperCase("select " + trailA + " from" + kHyo), "SELECT " + trailA + " FROM" + kHyo);
    EXPECT_EQ(cp932::LowerCase("ABC" + std::string("\x83\x41")), "abc\x83\x41");
    EXPECT_EQ(cp932::UpperCase("\x81"), "\x81");
}

TEST(Cp932Case, CompareFoldsLettersOnly)
{
    EXPECT_TRUE(cp932::SameText("WindowPlacement", "WINDOWplacement"));
    EXPECT_FALSE(cp932::SameText("\x82\x61", "\x82\x41")) << "trail bytes are not folded";
    EXPECT_LT(cp932::CompareText("abc", "ABD"), 0);
    EXPECT_GT(cp932::CompareText("abcd", "ABC"), 0);
    EXPECT_EQ(cp932::CompareText("", ""), 0);
    EXPECT_GT(cp932::CompareText("\xE0\x40", "z"), 0) << "bytes compare unsigned";
    EXPECT_NE(cp932::CompareText("\x81", "\x81\x40"), 0);
}

} // namespace
