// The base parser's scanners: token kinds, offsets and lengths for each kind of text, and the
// bad input a row can hold (invalid double-byte text, NUL bytes, stale states, long rows).
#include "syntax_test_support.h"

#include "classlib/errors.h"

#include <gtest/gtest.h>

using namespace syntax_test;

namespace {

class ScannerTest : public ::testing::Test {
protected:
    std::vector<Tok> Scan(std::string_view text, const TRowParseState &state = TRowParseState{})
    {
        return Tokenise(*Parser(), text, state);
    }
    TFountainParser *Parser()
    {
        if (!FParser)
            FParser = Fountain.CreateParser();
        return FParser.get();
    }
    TEditorFountain Fountain;  // no editor features: the base scanners alone
    std::unique_ptr<TFountainParser> FParser;
};

using Toks = std::vector<Tok>;

TEST_F(ScannerTest, Numbers)
{
    EXPECT_EQ(Scan("12.x"), (Toks{{ftFloat, 0, 2}, {ftSymbol, 2, 1}, {ftAnk, 3, 1}}));
    EXPECT_EQ(Scan("1.5e+3"), (Toks{{ftFloat, 0, 6}}));
    EXPECT_EQ(Scan("1e"), (Toks{{ftFloat, 0, 2}}));
    EXPECT_EQ(Scan("1E+ 2"), (Toks{{ftFloat, 0, 3}, {ftInteger, 4, 1}}));
    EXPECT_EQ(Scan("1.e5"), (Toks{{ftFloat, 0, 4}}));
    EXPECT_EQ(Scan("3."), (Toks{{ftFloat, 0, 1}, {ftSymbol, 1, 1}}));
    EXPECT_EQ(Scan("123abc"), (Toks{{ftInteger, 0, 3}, {ftAnk, 3, 3}}));
    EXPECT_EQ(Scan("2.5.1"), (Toks{{ftFloat, 0, 3}, {ftSymbol, 3, 1}, {ftInteger, 4, 1}}));
}

TEST_F(ScannerTest, WordsStartWithLetterOrUnderscore)
{
    EXPECT_EQ(Scan("abc123_"), (Toks{{ftAnk, 0, 7}}));
    EXPECT_EQ(Scan("_x9 y"), (Toks{{ftAnk, 0, 3}, {ftAnk, 4, 1}}));
    EXPECT_EQ(Scan("a.b"), (Toks{{ftAnk, 0, 1}, {ftSymbol, 1, 1}, {ftAnk, 2, 1}}));
}

TEST_F(ScannerTest, TabIsATokenAndOtherControlBytesAreBlanks)
{
    EXPECT_EQ(Scan("a\tb"), (Toks{{ftAnk, 0, 1}, {ftTab, 1, 1}, {ftAnk, 2, 1}}));
    EXPECT_EQ(Scan(" \r\n\x01\x1f" "a"), (Toks{{ftAnk, 5, 1}}));
    EXPECT_EQ(Scan("a\rb\nc"), (Toks{{ftAnk, 0, 1}, {ftAnk, 2, 1}, {ftAnk, 4, 1}}));
    EXPECT_TRUE(Scan("").empty());
    EXPECT_TRUE(Scan("   ").empty());
}

TEST_F(ScannerTest, NulEndsTheRowsTokens)
{
    EXPECT_EQ(Scan(std::string_view("ab\0cd", 5)), (Toks{{ftAnk, 0, 2}}));
    // Once ended, the row stays ended.
    Parser()->StartRow(std::string_view("\0x", 2), TRowParseState{});
    EXPECT_EQ(Parser()->NextToken(), ftEnd);
    EXPECT_EQ(Parser()->NextToken(), ftEnd);
}

TEST_F(ScannerTest, DoubleByteRuns)
{
    EXPECT_EQ(Scan(Sj("あいう")), (Toks{{ftHiragana, 0, 6}}));
    EXPECT_EQ(Scan(Sj("ひらがなー")), (Toks{{ftHiragana, 0, 10}}));  // the long vowel continues
    EXPECT_EQ(Scan(Sj("カタカナー")), (Toks{{ftKatakana, 0, 10}}));
    EXPECT_EQ(Scan(Sj("漢字かな")), (Toks{{ftKanji, 0, 4}, {ftHiragana, 4, 4}}));
    EXPECT_EQ(Scan(Sj("１２，３")), (Toks{{ftZenkakuDigit, 0, 8}}));
    EXPECT_EQ(Scan(Sj("ＡＢｃ１")), (Toks{{ftZenkakuAlpha, 0, 6}, {ftZenkakuDigit, 6, 2}}));
    EXPECT_EQ(Scan(Sj("、。")), (Toks{{ftDbcsSymbol, 0, 2}, {ftDbcsSymbol, 2, 2}}));
    EXPECT_EQ(Scan(Sj("Ωα")), (Toks{{ftDbcsSymbol, 0, 2}, {ftDbcsSymbol, 2, 2}}));
    EXPECT_EQ(Scan(Sj("ｱｲｳ｡ｰ")), (Toks{{ftHankakuKana, 0, 3}, {ftKanaSymbol, 3, 1},
                                         {ftHankakuKana, 4, 1}}));
}

TEST_F(ScannerTest, TrailBytesThatLookLikeAsciiStayInTheirCharacter)
{
    // 0x95 0x5C is a kanji whose second byte is "\", 0x83 0x5C a katakana, 0x95 0x5D "]".
    EXPECT_EQ(Scan("\x95\x5C" "a"), (Toks{{ftKanji, 0, 2}, {ftAnk, 2, 1}}));
    EXPECT_EQ(Scan("\x83\x5C\x83\x7C|"), (Toks{{ftKatakana, 0, 4}, {ftSymbol, 4, 1}}));
    Fountain.Brackets()->AddBracket("[", "]");
    FParser.reset();
    EXPECT_EQ(Scan("[\x95\x5D] x"), (Toks{{ftBracket, 0, 4}, {ftAnk, 5, 1}}));
}

TEST_F(ScannerTest, InvalidDoubleByteText)
{
    // A lead byte at the row's end, or before a NUL, is a one-byte token.
    EXPECT_EQ(Scan("a\x88"), (Toks{{ftAnk, 0, 1}, {ftKanji, 1, 1}}));
    EXPECT_EQ(Scan("\x81"), (Toks{{ftDbcsSymbol, 0, 1}}));
    EXPECT_EQ(Scan(std::string_view("\x82\0x", 3)), (Toks{{ftDbcsSymbol, 0, 1}}));
    // 0x82 or 0x83 with a trail byte outside every range: the lead byte alone.
    EXPECT_EQ(Scan("\x82 a"), (Toks{{ftDbcsSymbol, 0, 1}, {ftAnk, 2, 1}}));
    EXPECT_EQ(Scan("\x83\xFCz"), (Toks{{ftDbcsSymbol, 0, 1}, {ftKanji, 1, 2}}));
    // Bytes that begin no character: one symbol each.
    EXPECT_EQ(Scan("\x80\xFD\xFF"), (Toks{{ftSymbol, 0, 1}, {ftSymbol, 1, 1}, {ftSymbol, 2, 1}}));
}

TEST_F(ScannerTest, BracketsAreTriedInIndexOrder)
{
    Fountain.Brackets()->AddBracket("/*", "*/");
    Fountain.Brackets()->AddBracket("/", "/");
    EXPECT_EQ(Scan("/*x/ y*/"), (Toks{{ftBracket, 0, 8}}));
    EXPECT_EQ(Parser()->LastBracket(), 0);
    EXPECT_EQ(Parser()->BracketIndex(), -1);

    TEditorFountain other;
    other.Brackets()->AddBracket("/", "/");
    other.Brackets()->AddBracket("/*", "*/");
    const auto parser = other.CreateParser();
    EXPECT_EQ(Tokenise(*parser, "/*x/ y*/"),
              (Toks{{ftBracket, 0, 4}, {ftAnk, 5, 1}, {ftSymbol, 6, 1}, {ftBracket, 7, 1}}));
    EXPECT_EQ(parser->BracketIndex(), 0);  // the last "/" opened a bracket left open
}

TEST_F(ScannerTest, BracketsOpenAtTheRowEndOrAtItsStart)
{
    Fountain.Brackets()->AddBracket("/*", "*/");
    EXPECT_EQ(Scan("a /* b"), (Toks{{ftAnk, 0, 1}, {ftBracket, 2, 4}}));
    EXPECT_EQ(Parser()->BracketIndex(), 0);
    TRowParseState inside;
    inside.Bracket = 0;
    EXPECT_EQ(Scan("b */ c", inside), (Toks{{ftBracket, 0, 4}, {ftAnk, 5, 1}}));
    // The body goes on from the previous row: the row's leading blanks belong to it.
    EXPECT_EQ(Scan("  no end", inside), (Toks{{ftBracket, 0, 8}}));
    // Below -1 bracket recognition is off for the row.
    TRowParseState off;
    off.Bracket = -2;
    EXPECT_EQ(Scan("/*", off), (Toks{{ftSymbol, 0, 1}, {ftSymbol, 1, 1}}));
}

TEST_F(ScannerTest, StaleBracketStateEndsTheRowsTokens)
{
    Fountain.Brackets()->AddBracket("/*", "*/");
    TRowParseState gone;
    gone.Bracket = 7;  // the bracket list shrank since the state was stored
    EXPECT_TRUE(Scan("select x */ y", gone).empty());
}

TEST_F(ScannerTest, BracketWithoutRightTextIsNotMatched)
{
    // Matching it would open a bracket that can never close and leave the rest of the text,
    // on every following row, uncoloured.
    Fountain.Brackets()->AddBracket("<<", "");
    Fountain.Brackets()->AddBracket("<", ">");
    EXPECT_EQ(Scan("<<a> b"), (Toks{{ftBracket, 0, 4}, {ftAnk, 5, 1}}));
    EXPECT_EQ(Parser()->LastBracket(), 1);
}

TEST_F(ScannerTest, MailAddresses)
{
    Fountain.SetMail(true);
    FParser.reset();
    auto *parser = static_cast<TEditorParser *>(Parser());
    EXPECT_EQ(Tokenise(*parser, "to:abc@ex.com!"),
              (Toks{{ftAnk, 0, 2}, {ftSymbol, 2, 1}, {ftMail, 3, 11}}));
    EXPECT_EQ(Tokenise(*parser, "a@b c"),
              (Toks{{ftAnk, 0, 1}, {ftSymbol, 1, 1}, {ftAnk, 2, 1}, {ftAnk, 4, 1}}));
    EXPECT_EQ(Tokenise(*parser, "a.b@c.d"), (Toks{{ftMail, 0, 7}}));
    // The point must come after the at sign.
    EXPECT_EQ(Tokenise(*parser, "a.b@c"), (Toks{{ftAnk, 0, 1}, {ftSymbol, 1, 1}, {ftAnk, 2, 1},
                                               {ftSymbol, 3, 1}, {ftAnk, 4, 1}}));
}

TEST_F(ScannerTest, LongMailCharacterRunIsSearchedOnce)
{
    // Regression: every token start in a run of mail characters without an at sign used to
    // search the whole run again, which is quadratic in the row's length.
    Fountain.SetMail(true);
    std::string row;
    for (int i = 0; i < 50000; ++i)
        row += "a.";
    const auto tokens = Scan(row);
    ASSERT_EQ(tokens.size(), 100000u);
    EXPECT_EQ(tokens.back(), (Tok{ftSymbol, 99999, 1}));
}

TEST_F(ScannerTest, UrlsAreCaseSensitive)
{
    Fountain.SetUrl(true);
    EXPECT_EQ(Scan("see https://x.org/a?b=1&c#d."), (Toks{{ftAnk, 0, 3}, {ftUrl, 4, 24}}));
    EXPECT_EQ(Scan("www.kestrim.jp ftp:x http:y"),
              (Toks{{ftUrl, 0, 14}, {ftUrl, 15, 5}, {ftUrl, 21, 6}}));
    EXPECT_EQ(Scan("HTTPS://x")[0], (Tok{ftAnk, 0, 5}));
    EXPECT_EQ(Scan("https"), (Toks{{ftAnk, 0, 5}}));
}

TEST_F(ScannerTest, ReservedWordsAreFoundWhateverTheirCaseAndKind)
{
    TStringList words;
    for (const char *word : {"select", "+", "by", "漢字"})
        words.Add(Sj(word));
    Fountain.SetReserveWordList(&words);
    auto reserved = [this](std::string_view text) {
        std::vector<bool> flags;
        Parser()->StartRow(text, TRowParseState{});
        while (Parser()->NextToken() != ftEnd)
            flags.push_back(Parser()->IsReservedToken());
        return flags;
    };
    EXPECT_EQ(reserved("SELECT Select select selected"), (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(reserved("a+BY"), (std::vector<bool>{false, true, true}));
    EXPECT_EQ(reserved(Sj("漢字 漢")), (std::vector<bool>{true, false}));
    // Letters are folded only outside double-byte characters: 0x95 0x61 and 0x95 0x41 are two
    // different characters.
    words.Clear();
    words.Add("\x95\x61");
    Fountain.SetReserveWordList(&words);
    FParser.reset();
    EXPECT_EQ(reserved("\x95\x41 \x95\x61"), (std::vector<bool>{false, true}));
}

TEST_F(ScannerTest, CarriedTokenWithLengthTakesTheRowStart)
{
    TRowParseState carried;
    carried.PrevToken = ftAnk;
    carried.WrappedByte = 3;
    EXPECT_EQ(Scan("ect x", carried), (Toks{{ftAnk, 0, 3}, {ftAnk, 4, 1}}));
    EXPECT_TRUE(Parser()->Resuming() == false);
    // Leading blanks belong to the carried part (a string broken at a blank).
    carried.PrevToken = ftSingleQuote;
    carried.WrappedByte = 4;
    EXPECT_EQ(Scan("  b' x", carried), (Toks{{ftSingleQuote, 0, 4}, {ftAnk, 5, 1}}));
    // A stale length never reaches past the row.
    carried.WrappedByte = 200;
    EXPECT_EQ(Scan("ab", carried), (Toks{{ftSingleQuote, 0, 2}}));
}

TEST_F(ScannerTest, CarriedKindWithoutLengthIsResumedByItsScanner)
{
    TRowParseState carried;
    carried.PrevToken = ftSingleQuote;
    EXPECT_EQ(Scan("ab''c' d", carried), (Toks{{ftSingleQuote, 0, 6}, {ftAnk, 7, 1}}));
    carried.PrevToken = ftComment;
    EXPECT_EQ(Scan("all of it", carried), (Toks{{ftComment, 0, 9}}));
    carried.PrevToken = ftReserve;
    EXPECT_EQ(Scan("ect x", carried), (Toks{{ftReserve, 0, 3}, {ftAnk, 4, 1}}));
    // A row that does not continue the carried kind is scanned afresh.
    carried.PrevToken = ftInteger;
    EXPECT_EQ(Scan("ab", carried), (Toks{{ftAnk, 0, 2}}));
    // Unknown kinds (a corrupt state) are scanned as symbols, a whole character at a time.
    carried.PrevToken = 200;
    EXPECT_EQ(Scan(Sj("漢x"), carried), (Toks{{ftSymbol, 0, 2}, {ftAnk, 2, 1}}));
}

TEST_F(ScannerTest, OverriddenScannerServesBothTables)
{
    // Words of hexadecimal digits are numbers to this parser, fresh or carried into a row.
    class THexWordParser : public TEditorParser {
    public:
        using TEditorParser::TEditorParser;

    protected:
        void ScanWord() override
        {
            TEditorParser::ScanWord();
            const std::string_view word(FTokenStart, static_cast<std::size_t>(FCursor - FTokenStart));
            if (word.find_first_not_of("abcdefABCDEF") == std::string_view::npos)
                FTokenKind = ftHex;
        }
    };
    THexWordParser parser(&Fountain);
    EXPECT_EQ(Tokenise(parser, "cafe bar"), (Toks{{ftHex, 0, 4}, {ftAnk, 5, 3}}));
    TRowParseState carried;
    carried.PrevToken = ftAnk;
    EXPECT_EQ(Tokenise(parser, "bad x", carried), (Toks{{ftHex, 0, 3}, {ftAnk, 4, 1}}));
}

TEST_F(ScannerTest, ParserNeedsAFountain)
{
    try {
        TEditorParser parser(nullptr);
        FAIL() << "no exception";
    } catch (const Exception &error) {
        EXPECT_STREQ(error.what(), "TFountainParser.Create need instance of TFountain");
    }
}

TEST_F(ScannerTest, TokenTextAndOffsets)
{
    Parser()->StartRow("  select  x", TRowParseState{});
    ASSERT_EQ(Parser()->NextToken(), ftAnk);
    EXPECT_EQ(Parser()->TokenString(), "select");
    EXPECT_EQ(Parser()->TokenOffset(), 2);
    EXPECT_EQ(Parser()->TokenLength(), 6);
}

} // namespace
