// A fountain written to the component stream and read back (the editor settings file holds the
// fountain's settings this way), and the reserved word index checked against a plain search.
#include "syntax_test_support.h"

#include "classlib/component_stream.h"
#include "syntax/oracle_reserved_words.h"
#include "syntax/reserved_word_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace syntax_test;

namespace {

TEST(FountainStreamTest, SettingsSurviveTheComponentStream)
{
    const auto source = SqlFountain({"select", "from"});
    source->setObjectName("View");
    source->SetMail(true);
    source->SetHexPrefix("0x");
    source->Brackets()->AddBracket(Sj("「"), Sj("」"))->ItemColor()->SetStyle(fsItalic | fsUnderline);
    source->Colors()->Select()->SetBkColor(clTeal);
    source->Colors()->Str()->SetColor(static_cast<TColor>(0x123456));

    const std::string binary = WriteComponentBinary(*source);
    const std::string text = ObjectBinaryToText(binary);
    for (const char *expected : {"Commenter = '--'", "Colors.Reserve.Color = clBlue", "Colors.Select.BkColor = clTeal",
                                 "Mail = True", "ReserveWordList.Strings = ("})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;

    TEditorFountain target;
    target.Brackets()->AddBracket("x", "y");
    ReadComponentBinary(binary, target);
    EXPECT_EQ(target.Commenter(), "--");
    EXPECT_EQ(target.Quotation(), "'");
    EXPECT_EQ(target.HexPrefix(), "0x");
    EXPECT_TRUE(target.Mail());
    ASSERT_EQ(target.Brackets()->Count(), 2);
    EXPECT_EQ(target.Brackets()->BracketItem(1)->LeftBracket(), Sj("「"));
    EXPECT_EQ(target.Brackets()->BracketItem(1)->ItemColor()->Style(), fsItalic | fsUnderline);
    EXPECT_EQ(target.Brackets()->BracketItem(0)->ItemColor()->Color(), clGreen);
    EXPECT_EQ(target.Reserve()->Color(), clBlue);
    EXPECT_EQ(target.Colors()->Reserve(), target.Reserve());
    EXPECT_EQ(target.Colors()->Select()->BkColor(), clTeal);
    EXPECT_EQ(target.Colors()->Str()->Color(), static_cast<TColor>(0x123456));
    EXPECT_EQ(target.ReserveWordList()->Count(), 2);
    target.setObjectName("View");  // the stream's header name is not applied to the root
    EXPECT_EQ(WriteComponentBinary(target), binary);
}

TEST(ReservedWordIndexTest, AgreesWithAPlainSearch)
{
    // Long words share their first eight bytes with others, so the bisection's integer keys
    // tie and the tails decide.
    std::vector<std::string> words = syntax::OracleReservedWords();
    for (const char *extra : {"binary_int", "binary_integers", "pls_integer_x", "abcdefgh", "abcdefghi",
                              "abcdefg", "\x88\x9f\x88\x9f\x88\x9f\x88\x9f\x88\x9f", "a", "_"})
        words.push_back(extra);
    std::mt19937 random(5);
    std::shuffle(words.begin(), words.end(), random);
    syntax::TReservedWordIndex index;
    for (const std::string &word : words)
        index.Add(word);
    index.Finish();

    auto folded = [](std::string_view text) {
        std::string out;
        syntax::FoldCase(text, out);
        return out;
    };
    std::vector<std::string> foldedWords;
    for (const std::string &word : words)
        foldedWords.push_back(folded(word));

    std::vector<std::string> probes = words;
    for (const std::string &word : words) {
        std::string upper = folded(word);
        probes.push_back(upper);
        probes.push_back(upper + "X");
        probes.push_back(upper.substr(0, upper.size() - 1));
        std::string mixed = word;
        mixed[random() % mixed.size()] ^= 1;
        probes.push_back(mixed);
    }
    probes.push_back(std::string(100, 'a'));
    probes.push_back("");
    for (const std::string &probe : probes) {
        const bool expected = !probe.empty() &&
                              std::find(foldedWords.begin(), foldedWords.end(), folded(probe)) != foldedWords.end();
        EXPECT_EQ(index.Contains(probe), expected) << probe;
    }
}

} // namespace
