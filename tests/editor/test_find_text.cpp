// The search engine: each option, the starting points of both directions, double-byte text whose
// trail bytes look like ASCII, the full-width and case tables checked against Unicode, and random
// searches compared with a slow direct reading of the rules.
#include "editor/find_text.h"
#include "editor/find_text_chars.h"
#include "find_text_reference.h"

#include "classlib/cp932.h"

#include <QString>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>

using namespace editor::search;

namespace {

// The hit as (start, length), or (-1, -1) when nothing is found.
std::pair<std::int64_t, std::int64_t> Find(std::string_view text, std::string_view pattern, unsigned options,
                                           std::int64_t start = 0, std::int64_t length = 0)
{
    TFindPosition position{start, length};
    if (!FindText(text, position, pattern, options))
        return {-1, -1};
    return {position.Start, position.Length};
}

using Hit = std::pair<std::int64_t, std::int64_t>;
const Hit None{-1, -1};

// Code page 932 characters used below.
const std::string Hyou = "\x95\x5C";         // a kanji whose trail byte is a backslash
const std::string Po = "\x83\x7C";           // a katakana whose trail byte is "|"
const std::string FullA = "\x82\x60";        // full-width A
const std::string FullSmallA = "\x82\x81";   // full-width a
const std::string FullSpace = "\x81\x40";

TEST(FindText, ForwardStartsAfterTheSelectionSoRepeatingFindsTheNext)
{
    const std::string text = "abc abc abc";
    TFindPosition position{0, 0};
    ASSERT_TRUE(FindText(text, position, "abc", soDown | soMatchCase));
    EXPECT_EQ(position.Start, 0);
    ASSERT_TRUE(FindText(text, position, "abc", soDown | soMatchCase));
    EXPECT_EQ(position.Start, 4);
    ASSERT_TRUE(FindText(text, position, "abc", soDown | soMatchCase));
    EXPECT_EQ(position.Start, 8);
    EXPECT_FALSE(FindText(text, position, "abc", soDown | soMatchCase));
    EXPECT_EQ(position.Start, 8) << "a failed search leaves the position as it was";
    EXPECT_EQ(position.Length, 3);
}

TEST(FindText, BackwardStartsWhereAMatchWouldEndAtTheSelection)
{
    const std::string text = "abc abc abc";
    EXPECT_EQ(Find(text, "abc", soMatchCase, 8, 3), Hit(4, 3)) << "the current hit is not found again";
    EXPECT_EQ(Find(text, "abc", soMatchCase, 7, 0), Hit(4, 3));
    EXPECT_EQ(Find(text, "abc", soMatchCase, 6, 0), Hit(0, 3));
    EXPECT_EQ(Find(text, "abc", soMatchCase, 2, 0), None);
    EXPECT_EQ(Find(text, "abc", soMatchCase, 3, 0), Hit(0, 3));
    EXPECT_EQ(Find(text, "c", soMatchCase, 11, 0), Hit(10, 1));
}

TEST(FindText, EmptyInputAndInvalidPositionsFindNothing)
{
    EXPECT_EQ(Find("", "a", soDown), None);
    EXPECT_EQ(Find("abc", "", soDown), None);
    EXPECT_EQ(Find("abc", "a", soDown, -1), None);
    EXPECT_EQ(Find("abc", "a", soDown, 4), None);
    EXPECT_EQ(Find("abc", "a", soDown, 0, -1), None);
    EXPECT_EQ(Find("abc", "c", soDown, 1, INT64_MAX), None) << "a length past the end must not wrap around";
    EXPECT_EQ(Find("abc", "abcd", soDown), None) << "a pattern longer than the text";
    EXPECT_EQ(Find("abc", "abcd", 0, 3), None);
    EXPECT_EQ(Find("ab", Hyou + Hyou, soDown | soNoMatchZenkaku), None);
    EXPECT_EQ(Find("abc", "abcd", soDown | soIgnoreLineBreaks | soIgnoreBlanks), None);
}

TEST(FindText, CaseIsIgnoredUnlessAsked)
{
    EXPECT_EQ(Find("xx SeLeCt", "select", soDown), Hit(3, 6));
    EXPECT_EQ(Find("xx SeLeCt", "SELECT", soDown), Hit(3, 6));
    EXPECT_EQ(Find("xx SeLeCt", "select", soDown | soMatchCase), None);
    EXPECT_EQ(Find("xx SeLeCt", "SeLeCt", soDown | soMatchCase), Hit(3, 6));
    // Only a-z fold: the half-width kana and accented bytes are not letters of the locale.
    EXPECT_EQ(Find("\xB1", "\xB1", soDown), Hit(0, 1));
}

TEST(FindText, FullWidthLettersFoldInBothDirections)
{
    // A lower-case letter in the text matches the capital in the pattern ...
    EXPECT_EQ(Find("x" + FullSmallA, FullA, soDown), Hit(1, 2));
    // ... and, as a case-insensitive search should, the other way round too.
    EXPECT_EQ(Find("x" + FullA, FullSmallA, soDown), Hit(1, 2));
    EXPECT_EQ(Find("x" + FullA, FullSmallA, soDown | soMatchCase), None);
    // Greek, Cyrillic (both sides of the trail byte gap at 0x7F) and the small Roman numerals.
    EXPECT_EQ(Find("\x83\xBF", "\x83\x9F", soDown), Hit(0, 2));
    EXPECT_EQ(Find("\x84\x70", "\x84\x40", soDown), Hit(0, 2));
    EXPECT_EQ(Find("\x84\x91", "\x84\x60", soDown), Hit(0, 2));
    EXPECT_EQ(Find("\xEE\xEF", "\x87\x54", soDown), Hit(0, 2));
    EXPECT_EQ(Find("\x87\x54", "\xEE\xEF", soDown), Hit(0, 2));
}

TEST(FindText, HalfAndFullWidthFormsMatchWhenAsked)
{
    const std::string fullAbc = "\x82\x60\x82\x61\x82\x62";
    EXPECT_EQ(Find("--" + fullAbc, "ABC", soDown | soNoMatchZenkaku), Hit(2, 6));
    EXPECT_EQ(Find("--ABC", fullAbc, soDown | soNoMatchZenkaku), Hit(2, 3));
    EXPECT_EQ(Find("--abc", fullAbc, soDown | soNoMatchZenkaku), Hit(2, 3));
    EXPECT_EQ(Find("--abc", fullAbc, soDown | soNoMatchZenkaku | soMatchCase), None);
    EXPECT_EQ(Find("--" + fullAbc, "ABC", soDown), None);
    // Half-width ka + voiced mark is the full-width ga; u + voiced mark is vu; ha + semi-voiced
    // mark is pa; a mark that does not combine stays a character of its own.
    EXPECT_EQ(Find("x\xB6\xDE", "\x83\x4B", soDown | soNoMatchZenkaku), Hit(1, 2));
    EXPECT_EQ(Find("x\x83\x4B", "\xB6\xDE", soDown | soNoMatchZenkaku), Hit(1, 2));
    EXPECT_EQ(Find("\xB3\xDE", "\x83\x94", soDown | soNoMatchZenkaku), Hit(0, 2));
    EXPECT_EQ(Find("\xCA\xDF", "\x83\x70", soDown | soNoMatchZenkaku), Hit(0, 2));
    EXPECT_EQ(Find("\xB6\xDF", "\x83\x4A\x81\x4B", soDown | soNoMatchZenkaku), Hit(0, 2));
    EXPECT_EQ(Find("\xB6\xDE", "\x83\x4A", soDown | soNoMatchZenkaku), None) << "ga is not ka";
    // The quotes, backslash, grave accent and tilde take their Japanese full-width forms.
    EXPECT_EQ(Find("'\"\\`~", "\x81\x66\x81\x68\x81\x8F\x81\x4D\x81\x50", soDown | soNoMatchZenkaku), Hit(0, 5));
}

TEST(FindText, BackwardWithFullWidthFormsCountsCharactersNotBytes)
{
    // The pattern is two full-width characters (four bytes); the text before the selection holds
    // them in half-width form in two bytes, which a byte count would step over.
    const std::string text = "AB--AB";
    EXPECT_EQ(Find(text, FullA + "\x82\x61", soNoMatchZenkaku, 6, 0), Hit(4, 2));
    EXPECT_EQ(Find(text, FullA + "\x82\x61", soNoMatchZenkaku, 4, 2), Hit(0, 2));
    // A voiced kana before the selection is one character.
    EXPECT_EQ(Find("\xB6\xDE\xB6\xDE", "\x83\x4B", soNoMatchZenkaku, 4, 0), Hit(2, 2));
}

TEST(FindText, LineBreaksAndBlanksInsideAMatchAreSkippedWhenAsked)
{
    EXPECT_EQ(Find("xa\r\nb", "ab", soDown | soIgnoreLineBreaks), Hit(1, 4));
    EXPECT_EQ(Find("xa\r\nb", "ab", soDown), None);
    EXPECT_EQ(Find("xa\r\nb", "ab", soDown | soIgnoreBlanks), None) << "blanks do not cover line breaks";
    EXPECT_EQ(Find("a \t" + FullSpace + "b", "ab", soDown | soIgnoreBlanks), Hit(0, 6));
    EXPECT_EQ(Find("a \r\n b", "ab", soDown | soIgnoreLineBreaks | soIgnoreBlanks), Hit(0, 6));
    // Nothing is skipped before the first character, and the match never ends in a skip.
    EXPECT_EQ(Find("\r\nab\r\n", "ab", soDown | soIgnoreLineBreaks), Hit(2, 2));
    // A pattern blank still matches a text blank directly.
    EXPECT_EQ(Find("a b", "a b", soDown | soIgnoreBlanks), Hit(0, 3));
    // Backward: the match may run over a line break into the text after the start point.
    EXPECT_EQ(Find("sel\r\nect", "select", soIgnoreLineBreaks, 6, 0), Hit(0, 8));
}

TEST(FindText, WholeWordsNeedDelimitersOnBothSides)
{
    EXPECT_EQ(Find("x id y", "id", soDown | soWholeWord), Hit(2, 2));
    EXPECT_EQ(Find("ids", "id", soDown | soWholeWord), None);
    EXPECT_EQ(Find("ids id", "id", soDown | soWholeWord), Hit(4, 2));
    EXPECT_EQ(Find("(id)", "id", soDown | soWholeWord), Hit(1, 2));
    // At the very end of the text the word start still counts: "id" is not a word of "xid".
    EXPECT_EQ(Find("xid", "id", soDown | soWholeWord), None);
    // Backward down to the start of the text the word end still counts.
    EXPECT_EQ(Find("ids", "id", soWholeWord, 3, 0), None);
    EXPECT_EQ(Find("id ids", "id", soWholeWord, 6, 0), Hit(0, 2));
    // A double-byte character is a word character; the underscore is a delimiter.
    EXPECT_EQ(Find(Hyou + "id", "id", soDown | soWholeWord), None);
    EXPECT_EQ(Find("x_id", "id", soDown | soWholeWord), Hit(2, 2));
    EXPECT_EQ(Find("id" + Hyou, "id", soDown | soWholeWord), None);
}

TEST(FindText, NeverMatchesFromTheMiddleOfADoubleByteCharacter)
{
    // Trail bytes 0x5C and 0x7C look like "\" and "|".
    EXPECT_EQ(Find(Hyou + "\\", "\\", soDown | soMatchCase), Hit(2, 1));
    EXPECT_EQ(Find(Hyou + "\\", "\\", soDown), Hit(2, 1));
    EXPECT_EQ(Find(Po + "|", "|", soDown | soMatchCase), Hit(2, 1));
    EXPECT_EQ(Find(Po + "|", "|", 0, 3, 0), Hit(2, 1));
    EXPECT_EQ(Find(Po + "x", "|", 0, 3, 0), None);
    // "\" followed by the next character's lead byte: bytes equal, characters not.
    EXPECT_EQ(Find(Hyou + "\x8E\xA6", "\x5C\x8E", soDown | soMatchCase), None);
    // A long run of lead-range bytes: only the character boundaries count.
    const std::string run = "\x81\x81\x81\x81\x81\x81";
    EXPECT_EQ(Find(run, "\x81\x81", soDown | soMatchCase, 1, 0), Hit(2, 2));
    EXPECT_EQ(Find(run, "\x81\x81", soMatchCase, 5, 0), Hit(2, 2));
    // A pattern ending in a lone lead byte does not match half of a character.
    EXPECT_EQ(Find("a" + Hyou, "a\x95", soDown | soMatchCase), None);
    EXPECT_EQ(Find("a" + Hyou, "a\x95", soDown), None);
    EXPECT_EQ(Find("a\x95", "a\x95", soDown | soMatchCase), Hit(0, 2));
    // A start inside a character moves to the next character forwards.
    EXPECT_EQ(Find(Hyou + Hyou, Hyou, soDown | soMatchCase, 1, 0), Hit(2, 2));
}

TEST(FindText, LongRunsOfLeadRangeBytesStayLinear)
{
    // Every byte a lead-range byte: each candidate's trail check must not read back to the start
    // of the text, or this takes hours instead of milliseconds.
    const std::string run(2'000'000, '\x81');
    for (const unsigned direction : {unsigned(soDown), 0u}) {
        for (const unsigned options : {unsigned(soMatchCase), 0u, unsigned(soNoMatchZenkaku)}) {
            // The whole text is one word: no match is a whole word.
            TFindPosition position{direction ? 1 : 1'999'999, 0};
            EXPECT_FALSE(FindText(run, position, "\x81\x81", direction | options | soWholeWord)) << options;
            position = {direction ? 1 : 1'999'999, 0};
            ASSERT_TRUE(FindText(run, position, "\x81\x81", direction | options)) << options;
            EXPECT_EQ(position.Start, direction ? 2 : 1'999'996);
        }
    }
}

TEST(FindText, NulBytesAreOrdinaryText)
{
    const std::string text("a\0b\0ab", 6);
    EXPECT_EQ(Find(text, "ab", soDown | soMatchCase), Hit(4, 2));
    EXPECT_EQ(Find(text, std::string("\0b", 2), soDown | soMatchCase), Hit(1, 2));
    // A lead byte before NUL is a character of its own, so the NUL is not its trail byte.
    EXPECT_EQ(Find(std::string("\x95\0x", 3), std::string("\0x", 2), soDown | soMatchCase), Hit(1, 2));
}

// The tables follow the code page: each full-width form and each capital is what Unicode says,
// apart from the five characters the search deliberately maps to their Japanese forms.
TEST(FindTextTables, FullWidthFormsAgreeWithUnicode)
{
    const std::string special = "'\"\\`~";
    for (unsigned c = 0x21; c <= 0x7E; ++c) {
        if (special.find(static_cast<char>(c)) != std::string::npos)
            continue;
        const std::string expected = cp932::FromUnicode(QString(QChar(0xFF00 + c - 0x20)));
        EXPECT_EQ(ToFullWidth(std::string(1, static_cast<char>(c))), expected) << "byte " << c;
    }
    EXPECT_EQ(ToFullWidth(" "), FullSpace);
    for (unsigned c = 0xA6; c <= 0xDD; ++c) {
        const std::string half(1, static_cast<char>(c));
        const QString full = cp932::ToUnicode(half).normalized(QString::NormalizationForm_KC);
        EXPECT_EQ(ToFullWidth(half), cp932::FromUnicode(full)) << "byte " << c;
    }
    // The voiced and semi-voiced forms are the composed kana of Unicode.
    for (unsigned c = 0xB3; c <= 0xCE; ++c) {
        for (const unsigned char mark : {0xDE, 0xDF}) {
            const std::uint16_t combined = CombinedKana(static_cast<unsigned char>(c), mark);
            if (combined == 0)
                continue;
            const std::string half{static_cast<char>(c), static_cast<char>(mark)};
            const QString composed = cp932::ToUnicode(half).normalized(QString::NormalizationForm_KC);
            ASSERT_EQ(composed.size(), 1) << "byte " << c;
            EXPECT_EQ(ToFullWidth(half), cp932::FromUnicode(composed)) << "byte " << c;
        }
    }
}

TEST(FindTextTables, CapitalsAgreeWithUnicode)
{
    int folded = 0;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadRange(static_cast<unsigned char>(lead)))
            continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
            if (UpperCode(code) == code)
                continue;
            ++folded;
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const std::uint16_t upper = UpperCode(code);
            const std::string upperBytes{static_cast<char>(upper >> 8), static_cast<char>(upper & 0xFF)};
            EXPECT_EQ(cp932::ToUnicode(bytes).toUpper(), cp932::ToUnicode(upperBytes)) << std::hex << code;
        }
    }
    EXPECT_EQ(folded, 26 + 24 + 33 + 10);
}

// Random texts built from characters that stress the rules (lead-range runs, trail bytes that
// look like ASCII, kana with marks, line breaks, blanks, letters of both cases and widths).
TEST(FindTextRandom, AgreesWithADirectReadingOfTheRules)
{
    const char *const pieces[] = {"a", "A", "b", "B", "i", "d", " ", "\t", "\r", "\n", "_", "(", "\\", "|",
                                  "\x95\x5C", "\x83\x7C", "\x82\x60", "\x82\x81", "\x81\x40", "\x81\x81",
                                  "\x81", "\xB6", "\xDE", "\xDF", "\xCA", "\x87\x54", "\xEE\xEF"};
    std::mt19937 random(12345);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto make = [&](int count) {
        std::string s;
        for (int i = 0; i < count; ++i)
            s += pieces[pick(std::size(pieces))];
        return s;
    };
    const unsigned optionBits[] = {soDown, soMatchCase, soWholeWord, soNoMatchZenkaku, soIgnoreLineBreaks, soIgnoreBlanks};
    int hits = 0;
    for (int round = 0; round < 20000; ++round) {
        const std::string text = make(pick(40));
        // Half the patterns are cut from the text (perhaps through a character) to find something.
        std::string pattern = make(1 + pick(3));
        if (text.size() > 2 && pick(2))
            pattern = text.substr(static_cast<std::size_t>(pick(static_cast<int>(text.size()) - 1)), 1 + pick(5));
        unsigned options = 0;
        for (const unsigned bit : optionBits)
            options |= pick(2) ? bit : 0;
        const std::int64_t start = pick(static_cast<int>(text.size()) + 2) - 1;
        const std::int64_t length = pick(4);
        TFindPosition actual{start, length};
        TFindPosition expected{start, length};
        const bool found = FindText(text, actual, pattern, options);
        ASSERT_EQ(found, find_text_test::ReferenceFind(text, expected, pattern, options))
            << "round " << round << " options " << options;
        ASSERT_EQ(actual.Start, expected.Start) << "round " << round;
        ASSERT_EQ(actual.Length, expected.Length) << "round " << round;
        hits += found ? 1 : 0;
    }
    EXPECT_GT(hits, 1500) << "the random searches should find something often enough to compare hits";
}

} // namespace
