// The state carried from row to row: brackets over several rows, comments and strings that go
// on through wrapped rows, tokens broken by a wrap, and stored states that no longer fit.
#include "syntax_test_support.h"

#include <gtest/gtest.h>

#include <utility>

using namespace syntax_test;

namespace {

using Toks = std::vector<Tok>;

TRowParseState State(int bracket, TTokenKind prevToken = 0, int wrappedByte = 0)
{
    TRowParseState state;
    state.Bracket = bracket;
    state.PrevToken = prevToken;
    state.WrappedByte = wrappedByte;
    return state;
}

class RowStateTest : public ::testing::Test {
protected:
    // Tokens of every row, each row painted with its own fresh parser and its computed state.
    std::vector<Toks> Paint(const TVectorRowList &rows)
    {
        const auto states = AllStates(*Fountain, rows);
        std::vector<Toks> painted;
        for (int row = 0; row < rows.RowCount(); ++row) {
            const auto parser = Fountain->CreateParser();
            painted.push_back(Tokenise(*parser, rows.RowText(row), states[static_cast<std::size_t>(row)]));
        }
        return painted;
    }

    std::unique_ptr<TEditorFountain> Fountain = SqlFountain();
};

TEST_F(RowStateTest, BracketOverSeveralLines)
{
    const auto rows = TVectorRowList::FromLines({"a /* one", "two", "", "three */ b", "c"});
    const auto states = AllStates(*Fountain, rows);
    EXPECT_EQ(states[0], State(-1));
    EXPECT_EQ(states[1], State(0));
    EXPECT_EQ(states[2], State(0));
    EXPECT_EQ(states[3], State(0));  // the empty row passes the state through
    EXPECT_EQ(states[4], State(-1));
    EXPECT_EQ(Paint(rows), (std::vector<Toks>{{{ftAnk, 0, 1}, {ftBracket, 2, 6}},
                                              {{ftBracket, 0, 3}},
                                              {},
                                              {{ftBracket, 0, 8}, {ftAnk, 9, 1}},
                                              {{ftAnk, 0, 1}}}));
}

TEST_F(RowStateTest, BlankRowsClearOnlyTheCarriedToken)
{
    TVectorRowList rows;
    rows.Add("    ", raCrlf);
    const auto parser = Fountain->CreateParser();
    TRowParseState state = State(0, ftAnk, 3);
    state.Element = 5;
    state.TokenExtra = 9;
    parser->AdvanceRowState(0, rows, state);
    TRowParseState expected = State(0);
    expected.Element = 5;
    expected.TokenExtra = 9;
    EXPECT_EQ(state, expected);
}

TEST_F(RowStateTest, CommentGoesOnThroughWrappedRowsOnly)
{
    TVectorRowList rows;
    rows.Add("x -- ab", raWrapped);
    rows.Add("cd", raWrapped);
    rows.Add("ef", raCrlf);
    rows.Add("select", raEof);
    const auto states = AllStates(*Fountain, rows);
    EXPECT_EQ(states[1], State(-1, ftComment));
    EXPECT_EQ(states[2], State(-1, ftComment));
    EXPECT_EQ(states[3], State(-1));
    const auto painted = Paint(rows);
    EXPECT_EQ(painted[1], (Toks{{ftComment, 0, 2}}));
    EXPECT_EQ(painted[2], (Toks{{ftComment, 0, 2}}));
    EXPECT_EQ(painted[3], (Toks{{ftAnk, 0, 6}}));
}

TEST_F(RowStateTest, StringGoesOnThroughWrappedRows)
{
    TVectorRowList rows;
    rows.Add("x 'abc", raWrapped);
    rows.Add("def", raWrapped);
    rows.Add("gh' y", raCrlf);
    rows.Add("'z", raEof);
    const auto states = AllStates(*Fountain, rows);
    EXPECT_EQ(states[1], State(-1, ftQuotation, 0));  // runs on past the next row: its scanner resumes
    EXPECT_EQ(states[2], State(-1, ftQuotation, 3));  // "gh'" closes it
    EXPECT_EQ(states[3], State(-1));
    EXPECT_EQ(Paint(rows), (std::vector<Toks>{{{ftAnk, 0, 1}, {ftQuotation, 2, 4}},
                                              {{ftQuotation, 0, 3}},
                                              {{ftQuotation, 0, 3}, {ftAnk, 4, 1}},
                                              {{ftQuotation, 0, 2}}}));
}

TEST_F(RowStateTest, CarriedPartIsResumedBeforeTheNextStateIsComputed)
{
    // Regression: the row after a wrapped string was parsed from its first byte as if nothing
    // were carried, so the closing quote opened a new string and the next row was painted as
    // a string.
    TVectorRowList rows;
    rows.Add("'ab", raWrapped);
    rows.Add("c' d", raWrapped);
    rows.Add("e", raEof);
    const auto states = AllStates(*Fountain, rows);
    EXPECT_EQ(states[1], State(-1, ftQuotation, 2));
    // "d" + "e" is one word running into row 2.
    EXPECT_EQ(states[2], State(-1, ftAnk, 1));
    EXPECT_EQ(Paint(rows)[2], (Toks{{ftAnk, 0, 1}}));
}

TEST_F(RowStateTest, ReservedWordBrokenByTheWrap)
{
    TVectorRowList rows;
    rows.Add("x sel", raWrapped);
    rows.Add("ect y", raEof);
    const auto states = AllStates(*Fountain, rows);
    EXPECT_EQ(states[1], State(-1, ftReserve, 3));
    const auto parser = Fountain->CreateParser();
    parser->StartRow(rows.RowText(1), states[1]);
    ASSERT_EQ(parser->NextToken(), ftReserve);
    EXPECT_EQ(parser->TokenLength(), 3);
    EXPECT_EQ(parser->TokenColor(), Fountain->Reserve());
    ASSERT_EQ(parser->NextToken(), ftAnk);
    EXPECT_EQ(parser->TokenColor(), Fountain->Colors()->Ank());
}

TEST_F(RowStateTest, PaintingAWrappedRowSeesTheBrokenTokenWhole)
{
    TVectorRowList rows;
    rows.Add("x sel", raWrapped);
    rows.Add("ect -", raWrapped);
    rows.Add("- c /", raWrapped);
    rows.Add("* d */", raEof);
    const auto states = AllStates(*Fountain, rows);
    const auto parser = Fountain->CreateParser();
    auto paint = [&](int row) {
        std::vector<std::pair<Tok, TFountainColor *>> painted;
        parser->StartRow(rows, row, states[static_cast<std::size_t>(row)]);
        while (parser->NextToken() != ftEnd)
            painted.push_back({Tok{parser->TokenKind(), parser->TokenOffset(), parser->TokenLength()},
                               parser->TokenColor()});
        return painted;
    };
    TEditorColors &colors = *Fountain->Colors();
    TFountainColor *bracket = Fountain->Brackets()->BracketItem(0)->ItemColor();
    using Painted = std::vector<std::pair<Tok, TFountainColor *>>;
    // "sel" is painted as the reserved word "select", "-" as the comment "--", "/" as the
    // bracket "/*", matching the states carried into the next rows.
    EXPECT_EQ(paint(0), (Painted{{{ftAnk, 0, 1}, colors.Ank()}, {{ftAnk, 2, 3}, Fountain->Reserve()}}));
    EXPECT_EQ(paint(1), (Painted{{{ftReserve, 0, 3}, Fountain->Reserve()}, {{ftComment, 4, 1}, colors.Comment()}}));
    EXPECT_EQ(paint(2), (Painted{{{ftComment, 0, 5}, colors.Comment()}}));
    EXPECT_EQ(states[3], State(-1, ftComment));  // the comment runs on to the line's end
    TVectorRowList split;
    split.Add("a /", raWrapped);
    split.Add("* b */", raEof);
    const auto splitStates = AllStates(*Fountain, split);
    EXPECT_EQ(splitStates[1], State(0));
    parser->StartRow(split, 0, splitStates[0]);
    ASSERT_EQ(parser->NextToken(), ftAnk);
    ASSERT_EQ(parser->NextToken(), ftBracket);
    EXPECT_EQ(parser->TokenOffset(), 2);
    EXPECT_EQ(parser->TokenLength(), 1);
    EXPECT_EQ(parser->TokenColor(), bracket);
    EXPECT_EQ(parser->NextToken(), ftEnd);
    EXPECT_EQ(parser->NextToken(), ftEnd);
    // A row that is not wrapped, or a row outside the list, is painted from its own text.
    parser->StartRow(split, 1, splitStates[1]);
    EXPECT_EQ(parser->NextToken(), ftBracket);
    parser->StartRow(split, 7, TRowParseState{});
    EXPECT_EQ(parser->NextToken(), ftEnd);
}

TEST_F(RowStateTest, BracketClosingOnTheWrappedRow)
{
    TVectorRowList rows;
    rows.Add("/* a *", raWrapped);  // the closing text is split by the wrap
    rows.Add("/ b /* c", raWrapped);
    rows.Add("d */ e", raCrlf);
    rows.Add("f", raEof);
    const auto states = AllStates(*Fountain, rows);
    EXPECT_EQ(states[1], State(0, ftBracket, 1));
    EXPECT_EQ(states[2], State(0));  // the whole closing text lies on row 2
    EXPECT_EQ(states[3], State(-1));
    EXPECT_EQ(Paint(rows), (std::vector<Toks>{{{ftBracket, 0, 6}},
                                              {{ftBracket, 0, 1}, {ftAnk, 2, 1}, {ftBracket, 4, 4}},
                                              {{ftBracket, 0, 4}, {ftAnk, 5, 1}},
                                              {{ftAnk, 0, 1}}}));
}

TEST_F(RowStateTest, TokenWhollyOnTheNextRow)
{
    TVectorRowList rows;
    rows.Add("ab ", raWrapped);
    rows.Add("cd", raEof);
    EXPECT_EQ(AllStates(*Fountain, rows)[1], State(-1));
}

TEST_F(RowStateTest, LongCarriedPartIsResumedByItsScanner)
{
    // A row stores at most 255 carried bytes; a longer rest is resumed by the kind's scanner.
    TVectorRowList rows;
    rows.Add("x " + std::string(10, 'a'), raWrapped);
    rows.Add(std::string(300, 'a') + " y", raEof);
    const auto states = AllStates(*Fountain, rows);
    EXPECT_EQ(states[1], State(-1, ftAnk, 0));
    EXPECT_EQ(Paint(rows)[1], (Toks{{ftAnk, 0, 300}, {ftAnk, 301, 1}}));
}

TEST_F(RowStateTest, StaleStatesNeverBreakTheWalk)
{
    TVectorRowList rows;
    rows.Add("select 'x", raWrapped);
    rows.Add("y", raCrlf);
    const auto parser = Fountain->CreateParser();
    // A bracket that is gone: the row's tokens end, the state passes on unchanged.
    TRowParseState state = State(9);
    parser->AdvanceRowState(0, rows, state);
    EXPECT_EQ(state, State(9));
    // A carried length beyond the row, an unknown kind, a negative length.
    for (const TRowParseState &start : {State(-1, ftAnk, 255), State(-1, 200, 0), State(-1, ftQuotation, -4)}) {
        TRowParseState s = start;
        parser->AdvanceRowState(0, rows, s);
        EXPECT_GE(s.WrappedByte, 0);
        EXPECT_LE(s.WrappedByte, 255);
    }
    // Rows outside the list leave the state alone.
    state = State(-1, ftAnk, 2);
    parser->AdvanceRowState(5, rows, state);
    EXPECT_EQ(state, State(-1, ftAnk, 2));
}

TEST_F(RowStateTest, StateOfTheLastRowIgnoresAWrapMark)
{
    TVectorRowList rows;
    rows.Add("'abc", raWrapped);  // malformed: the last row claims to be wrapped
    const auto states = AllStates(*Fountain, rows);
    EXPECT_EQ(states[1], State(-1));
}

} // namespace
