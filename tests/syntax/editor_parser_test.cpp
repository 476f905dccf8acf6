// The editor parser's own features (comments, strings, control codes, hexadecimal numbers, the
// order in which a fresh token is tried) and the colour TokenColor picks for each token.
#include "syntax_test_support.h"

#include <gtest/gtest.h>

using namespace syntax_test;

namespace {

using Toks = std::vector<Tok>;

class EditorParserTest : public ::testing::Test {
protected:
    std::vector<Tok> Scan(std::string_view text, const TRowParseState &state = TRowParseState{})
    {
        Parser = Fountain->CreateParser();
        return Tokenise(*Parser, text, state);
    }
    // The colour of every token of text, in order.
    std::vector<TFountainColor *> Colours(std::string_view text)
    {
        Parser = Fountain->CreateParser();
        Parser->StartRow(text, TRowParseState{});
        std::vector<TFountainColor *> colours;
        while (Parser->NextToken() != ftEnd)
            colours.push_back(Parser->TokenColor());
        return colours;
    }
    TEditorColors &Slots() { return *Fountain->Colors(); }

    std::unique_ptr<TEditorFountain> Fountain = SqlFountain();
    std::unique_ptr<TFountainParser> Parser;
};

TEST_F(EditorParserTest, LineComment)
{
    EXPECT_EQ(Scan("select -- note"), (Toks{{ftAnk, 0, 6}, {ftComment, 7, 7}}));
    EXPECT_EQ(Colours("select -- note"), (std::vector<TFountainColor *>{Fountain->Reserve(), Slots().Comment()}));
    EXPECT_EQ(Scan("a-b"), (Toks{{ftAnk, 0, 1}, {ftSymbol, 1, 1}, {ftAnk, 2, 1}}));
    Fountain->SetCommenter("");
    EXPECT_EQ(Scan("--"), (Toks{{ftSymbol, 0, 1}, {ftSymbol, 1, 1}}));
}

TEST_F(EditorParserTest, QuotedStrings)
{
    EXPECT_EQ(Scan("'a -- b' x"), (Toks{{ftQuotation, 0, 8}, {ftAnk, 9, 1}}));
    EXPECT_EQ(Scan("'it''s'"), (Toks{{ftQuotation, 0, 7}}));
    EXPECT_EQ(Scan("x 'abc"), (Toks{{ftAnk, 0, 1}, {ftQuotation, 2, 4}}));
    EXPECT_EQ(Scan("''"), (Toks{{ftQuotation, 0, 2}}));
    // A kanji whose second byte looks like a backslash is string content like any other.
    EXPECT_EQ(Scan("'\x95\x5C' y"), (Toks{{ftQuotation, 0, 4}, {ftAnk, 5, 1}}));
    // Resumed on the next row: the first byte is already string content.
    TRowParseState carried;
    carried.PrevToken = ftQuotation;
    EXPECT_EQ(Scan("abc' x", carried), (Toks{{ftQuotation, 0, 4}, {ftAnk, 5, 1}}));
    EXPECT_EQ(Scan("' x", carried), (Toks{{ftQuotation, 0, 1}, {ftAnk, 2, 1}}));
    // Only the first byte of Quotation counts.
    Fountain->SetQuotation("\"'");
    EXPECT_EQ(Scan("\"a' b\""), (Toks{{ftQuotation, 0, 6}}));
    Fountain->SetQuotation("");
    EXPECT_EQ(Scan("'a'"), (Toks{{ftSymbol, 0, 1}, {ftAnk, 1, 1}, {ftSymbol, 2, 1}}));
    // With strings switched off a carried string is scanned afresh.
    EXPECT_EQ(Scan("ab", carried), (Toks{{ftAnk, 0, 2}}));
}

TEST_F(EditorParserTest, ControlCodes)
{
    Fountain->SetControlCode(true);
    EXPECT_EQ(Scan("#$0D #13 # #$"), (Toks{{ftControlHex, 0, 4}, {ftControlCode, 5, 3},
                                             {ftControlCode, 9, 1}, {ftControlHex, 11, 2}}));
    EXPECT_EQ(Colours("#$0D #13"), (std::vector<TFountainColor *>{Slots().Str(), Slots().Str()}));
    Fountain->SetControlCode(false);
    EXPECT_EQ(Scan("#13"), (Toks{{ftSymbol, 0, 1}, {ftInteger, 1, 2}}));
}

TEST_F(EditorParserTest, HexadecimalPrefix)
{
    Fountain->SetHexPrefix("0x");
    EXPECT_EQ(Scan("0XFF 0xff 0x 0x1g"), (Toks{{ftHex, 0, 4}, {ftHex, 5, 4}, {ftHex, 10, 2},
                                                 {ftHex, 13, 3}, {ftAnk, 16, 1}}));
    EXPECT_EQ(Colours("0xff"), (std::vector<TFountainColor *>{Slots().Int()}));
    Fountain->SetHexPrefix("$");
    EXPECT_EQ(Scan("$1F"), (Toks{{ftHex, 0, 3}}));
    Fountain->SetHexPrefix("");
    EXPECT_EQ(Scan("0xff"), (Toks{{ftInteger, 0, 1}, {ftAnk, 1, 3}}));
}

TEST_F(EditorParserTest, FreshTokenOrder)
{
    // Brackets before comments: a bracket whose left text is the commenter wins.
    Fountain->Brackets()->AddBracket("--", "++");
    EXPECT_EQ(Scan("-- x ++ y"), (Toks{{ftBracket, 0, 7}, {ftAnk, 8, 1}}));
    EXPECT_EQ(Parser->LastBracket(), 1);
    // Mail addresses before comments.
    Fountain->Brackets()->Delete(1);
    Fountain->SetMail(true);
    EXPECT_EQ(Scan("--ab@ex.jp"), (Toks{{ftMail, 0, 10}}));
    EXPECT_EQ(Scan("-- ab@ex.jp"), (Toks{{ftComment, 0, 11}}));
    // Comments before strings, strings before control codes.
    Fountain->SetControlCode(true);
    EXPECT_EQ(Scan("'--#1' --'x"), (Toks{{ftQuotation, 0, 6}, {ftComment, 7, 4}}));
}

TEST_F(EditorParserTest, ReservedWordsTakeTheReserveColourWhateverTheirKind)
{
    TStringList words;
    for (const char *word : {"by", "=", "order"})
        words.Add(word);
    Fountain->SetReserveWordList(&words);
    const auto reserve = Fountain->Reserve();
    EXPECT_EQ(Colours("ORDER BY x = 1"),
              (std::vector<TFountainColor *>{reserve, reserve, Slots().Ank(), reserve, Slots().Int()}));
    // Not inside comments, strings or brackets.
    EXPECT_EQ(Colours("'by' /*by*/ --by"),
              (std::vector<TFountainColor *>{Slots().Str(), Fountain->Brackets()->BracketItem(0)->ItemColor(),
                                             Slots().Comment()}));
}

TEST_F(EditorParserTest, TokenColourOfEveryKind)
{
    Fountain->SetMail(true);
    Fountain->SetUrl(true);
    const std::string text = "x ; 1 2.5 /*c*/ " + Sj("漢字かなカナ１Ａ、ｱ｡") + "\t a@b.c http://k";
    const std::vector<TFountainColor *> expected{
        Slots().Ank(),  Slots().Symbol(), Slots().Int(),  Slots().Int(),
        Fountain->Brackets()->BracketItem(0)->ItemColor(),
        Slots().DBCS(), Slots().DBCS(), Slots().DBCS(), Slots().DBCS(), Slots().DBCS(),
        Slots().DBCS(), Slots().DBCS(), Slots().DBCS(),
        nullptr,  // TAB
        Slots().Mail(), Slots().Url()};
    EXPECT_EQ(Colours(text), expected);
}

TEST_F(EditorParserTest, CarriedBracketColourComesFromTheOpenItem)
{
    TRowParseState inside;
    inside.Bracket = 0;
    inside.PrevToken = ftBracket;
    inside.WrappedByte = 1;
    Parser = Fountain->CreateParser();
    Parser->StartRow("/ x", inside);
    ASSERT_EQ(Parser->NextToken(), ftBracket);
    EXPECT_EQ(Parser->TokenColor(), Fountain->Brackets()->BracketItem(0)->ItemColor());
    EXPECT_EQ(Parser->BracketIndex(), -1);
    ASSERT_EQ(Parser->NextToken(), ftAnk);
    // A carried bracket token whose item is gone has no colour.
    inside.Bracket = 5;
    Parser->StartRow("/ x", inside);
    ASSERT_EQ(Parser->NextToken(), ftBracket);
    EXPECT_EQ(Parser->TokenColor(), nullptr);
}

TEST_F(EditorParserTest, ParserOfAnotherFountainKindColoursNothing)
{
    class TPlainFountain : public TFountain {
    public:
        TPlainFountain() : TFountain(nullptr, TDeferInitialize{}) { Initialize(); }
        TFountainParserClass ParserClass() const override
        {
            return [](TFountain *f) -> std::unique_ptr<TFountainParser> {
                return std::make_unique<TEditorParser>(f);
            };
        }
    } plain;
    const auto parser = plain.CreateParser();
    parser->StartRow("a -- b", TRowParseState{});
    ASSERT_EQ(parser->NextToken(), ftAnk);
    EXPECT_EQ(parser->TokenColor(), nullptr);
    EXPECT_EQ(parser->NextToken(), ftSymbol);  // no commenter in a plain fountain
}

} // namespace
