// The editing commands and caret moves of the text model, without a window: the indentation
// rules of Enter and Backspace, Delete past a row's end, typing over text, the moves that skip
// double-byte characters and tab blanks, token moves, and typed bytes made safe.
#include "editor_test_support.h"

#include "syntax/editor_fountain.h"

#include <gtest/gtest.h>

using namespace editor_test;

namespace {

class Commands : public ::testing::Test {
protected:
    TEditorModel editor;
    void Rules(bool freeCaret, bool inTab, bool keepCaret, int tab = 4)
    {
        TEditorCaretRules rules = editor.CaretRules();
        rules.FreeCaret = freeCaret;
        rules.InTab = inTab;
        rules.KeepCaret = keepCaret;
        rules.TabSpaceCount = tab;
        editor.SetCaretRules(rules);
    }
};

TEST_F(Commands, EnterKeepsTheIndentationAndSplitsTheRow)
{
    editor.SetText("    abc");
    editor.SetCaretPosition(0, 5);  // between a and b
    editor.Enter();
    EXPECT_EQ(editor.Text(), "    a\r\n    bc");
    EXPECT_EQ(editor.Row(), 1);
    EXPECT_EQ(editor.Col(), 4);
    // Left of the indentation the new line gets only the blanks before the caret.
    editor.SetText("    abc");
    editor.SetCaretPosition(0, 2);
    editor.Enter();
    EXPECT_EQ(editor.Text(), "  \r\n    abc");
    // With tabs for indentation: 6 columns = one tab and two spaces.
    TEditorCaretRules rules = editor.CaretRules();
    rules.TabIndent = true;
    rules.TabSpaceCount = 4;
    editor.SetCaretRules(rules);
    editor.SetText("      x");
    editor.SetCaretPosition(0, 7);
    editor.Enter();
    EXPECT_EQ(editor.Text(), "      x\r\n\t  ");
    // Below the last row a line break is appended and the caret goes to the new row.
    editor.SetText("a\r\n");
    editor.SetCaretPosition(1, 0);
    editor.Enter();
    EXPECT_EQ(editor.Text(), "a\r\n\r\n");
    EXPECT_EQ(editor.Row(), 2);
}

TEST_F(Commands, EnterOnAnEmptyLineTakesThePreviousIndentationWhenAsked)
{
    TEditorCaretRules rules = editor.CaretRules();
    rules.PrevSpaceIndent = true;
    editor.SetCaretRules(rules);
    editor.SetText("  x\r\n\r\ny");
    editor.SetCaretPosition(1, 0);
    editor.Enter();
    EXPECT_EQ(editor.Text(), "  x\r\n\r\n  \r\ny");
    rules.AutoIndent = false;
    editor.SetCaretRules(rules);
    editor.SetText("  x");
    editor.SetCaretPosition(0, 3);
    editor.Enter();
    EXPECT_EQ(editor.Text(), "  x\r\n");
}

TEST_F(Commands, ShiftEnterOpensAnIndentedLineAbove)
{
    editor.SetText("  ab\r\ncd");
    editor.SetCaretPosition(0, 3);
    editor.ShiftEnter();
    EXPECT_EQ(editor.Text(), "  \r\n  ab\r\ncd");
    EXPECT_EQ(editor.Row(), 0);
    EXPECT_EQ(editor.Col(), 2);
}

TEST_F(Commands, BackspaceGoesBackToTheLesserIndentationAbove)
{
    editor.SetText("    a\r\n        x");
    editor.SetCaretPosition(1, 8);
    editor.Backspace();
    EXPECT_EQ(editor.RowText(1), "    x");
    EXPECT_EQ(editor.Col(), 4);
    // No less-indented row above: to column 0.
    editor.SetText("        x");
    editor.SetCaretPosition(0, 8);
    editor.Backspace();
    EXPECT_EQ(editor.RowText(0), "x");
    EXPECT_EQ(editor.Col(), 0);
    // A tab reaching past the target gives way to the spaces that stay.
    Rules(true, false, false, 8);
    editor.SetText("  a\r\n\tx");
    editor.SetCaretPosition(1, 8);
    editor.Backspace();
    EXPECT_EQ(editor.RowText(1), "  x");
    EXPECT_EQ(editor.Col(), 2);
}

TEST_F(Commands, BackspaceDeletesWholeCharactersAndJoinsRows)
{
    editor.SetText("a" + Hyou + "b\r\ncd");
    editor.SetCaretPosition(0, 3);
    editor.Backspace();
    EXPECT_EQ(editor.RowText(0), "ab");  // both bytes of the kanji, although its trail is a backslash
    editor.SetCaretPosition(1, 0);
    editor.Backspace();
    EXPECT_EQ(editor.Text(), "abcd");
    EXPECT_EQ(editor.Col(), 2);
    // Past the row's end the caret only moves left.
    editor.SetCaretPosition(0, 7);
    editor.Backspace();
    EXPECT_EQ(editor.Text(), "abcd");
    EXPECT_EQ(editor.Col(), 6);
    // Read-only text is left alone.
    editor.SetReadOnly(true);
    editor.SetCaretPosition(0, 2);
    editor.Backspace();
    editor.TypeText("z");
    editor.Enter();
    EXPECT_EQ(editor.Text(), "abcd");
}

TEST_F(Commands, DeletePastTheEndJoinsTheNextRowWithBlanks)
{
    editor.SetText("ab\r\ncd");
    editor.SetCaretPosition(0, 4);
    editor.DeleteChar();
    EXPECT_EQ(editor.Text(), "ab  cd");
    EXPECT_EQ(editor.Col(), 4);
    editor.SetText(Hira + "x");
    editor.SetCaretPosition(0, 0);
    editor.DeleteChar();
    EXPECT_EQ(editor.Text(), "x");
    // On the last row without a line break there is nothing to join.
    editor.SetCaretPosition(0, 5);
    editor.DeleteChar();
    EXPECT_EQ(editor.Text(), "x");
}

TEST_F(Commands, TypingInsertsOrOverwritesWholeCharacters)
{
    editor.SetText("abcd");
    editor.SetCaretPosition(0, 1);
    editor.TypeText("X");
    EXPECT_EQ(editor.Text(), "aXbcd");
    editor.SetOverwrite(true);
    editor.TypeText(Hira);
    EXPECT_EQ(editor.Text(), "aX" + Hira + "cd");  // one character gives way to one character
    editor.SetCaretPosition(0, 2);
    editor.TypeText("yz");
    EXPECT_EQ(editor.Text(), "aXyzd");  // the double-byte character and the c
    // At the row's end overwriting appends.
    editor.SetCaretPosition(0, 5);
    editor.TypeText("!");
    EXPECT_EQ(editor.Text(), "aXyzd!");
}

TEST_F(Commands, TypedBytesNeverMergeWithTheTextAround)
{
    EXPECT_EQ(editor::SanitizeTyped("a\x01" "b\x7f"), "ab");
    EXPECT_EQ(editor::SanitizeTyped("\x82"), "?");             // a lead byte with nothing after it
    EXPECT_EQ(editor::SanitizeTyped(std::string("\x82\0x", 3)), "?x");
    EXPECT_EQ(editor::SanitizeTyped("\x82\x0a"), "?");
    EXPECT_EQ(editor::SanitizeTyped(Hira + "\t"), Hira + "\t");
    editor.SetText("ab");
    editor.SetCaretPosition(0, 1);
    editor.TypeText("\x82");
    EXPECT_EQ(editor.Text(), "a?b");
    editor.CommitComposition(std::string("\x83", 1));
    EXPECT_EQ(editor.Text(), "a??b");
}

TEST_F(Commands, HorizontalMovesSkipDoubleByteHalvesAndTabBlanks)
{
    Rules(false, false, false, 4);
    editor.SetText(Hira + "\tx\r\ny");
    editor.MoveCaretBy(TCaretMove::Right);
    EXPECT_EQ(editor.Col(), 2);
    editor.MoveCaretBy(TCaretMove::Right);
    EXPECT_EQ(editor.Col(), 4);  // over the tab's blanks
    editor.MoveCaretBy(TCaretMove::Left);
    EXPECT_EQ(editor.Col(), 2);
    editor.MoveCaretBy(TCaretMove::Left);
    EXPECT_EQ(editor.Col(), 0);
    // Row ends are crossed only with NextLine.
    editor.MoveCaretBy(TCaretMove::End);
    editor.MoveCaretBy(TCaretMove::Right);
    EXPECT_EQ(editor.Row(), 0);
    TEditorCaretRules rules = editor.CaretRules();
    rules.NextLine = true;
    editor.SetCaretRules(rules);
    editor.MoveCaretBy(TCaretMove::Right);
    EXPECT_EQ(editor.Row(), 1);
    EXPECT_EQ(editor.Col(), 0);
    editor.MoveCaretBy(TCaretMove::Left);
    EXPECT_EQ(editor.Row(), 0);
    EXPECT_EQ(editor.Col(), 5);
}

TEST_F(Commands, VerticalMovesRememberTheColumnCutOffAtShortRows)
{
    Rules(false, false, true);
    editor.SetText(std::string(40, 'a') + "\r\n" + std::string(10, 'b') + "\r\n" + std::string(40, 'c'));
    editor.SetCaretPosition(0, 30);
    editor.MoveCaretBy(TCaretMove::Down);
    EXPECT_EQ(editor.Col(), 10);
    editor.MoveCaretBy(TCaretMove::Down);
    EXPECT_EQ(editor.Col(), 30);
    // Down from the last row without a line break does nothing.
    editor.MoveCaretBy(TCaretMove::Down);
    EXPECT_EQ(editor.Row(), 2);
    editor.MoveCaretBy(TCaretMove::TextHome);
    editor.MoveCaretBy(TCaretMove::TextEnd);
    EXPECT_EQ(editor.Row(), 2);
    EXPECT_EQ(editor.Col(), 40);
}

TEST_F(Commands, ShiftMovesExtendTheSelectionFromTheFirstCaret)
{
    editor.SetText("abc\r\ndef");
    editor.SetCaretPosition(0, 1);
    editor.MoveCaretBy(TCaretMove::Right, true);
    editor.MoveCaretBy(TCaretMove::Down, true);
    EXPECT_EQ(editor.SelText(), "bc\r\nde");
    editor.MoveCaretBy(TCaretMove::Up, true);
    EXPECT_EQ(editor.SelText(), "b");
    editor.MoveCaretBy(TCaretMove::Left);
    EXPECT_FALSE(editor.Selected());
    // In box mode Shift moves span a rectangle.
    editor.SetSelectionMode(true);
    editor.SetCaretPosition(0, 1);
    editor.MoveCaretBy(TCaretMove::Down, true);
    editor.MoveCaretBy(TCaretMove::Right, true);
    EXPECT_EQ(editor.SelText(), "b\r\ne\r\n");
}

TEST_F(Commands, TokenMovesStopAtWordsNotAtSymbolsOrBlanks)
{
    TEditorFountain fountain;
    editor.SetFountain(&fountain);
    editor.SetText("select a.name,  b\r\nfrom t");
    editor.MoveCaretBy(TCaretMove::WordRight);
    EXPECT_EQ(editor.Col(), 7);   // a
    editor.MoveCaretBy(TCaretMove::WordRight);
    EXPECT_EQ(editor.Col(), 9);   // name, the dot skipped
    editor.MoveCaretBy(TCaretMove::WordRight);
    EXPECT_EQ(editor.Col(), 16);  // b
    editor.MoveCaretBy(TCaretMove::WordRight);
    EXPECT_EQ(editor.Col(), 17);  // the row's end
    editor.MoveCaretBy(TCaretMove::WordRight);
    EXPECT_EQ(editor.Row(), 1);
    EXPECT_EQ(editor.Col(), 0);
    editor.MoveCaretBy(TCaretMove::WordLeft);
    EXPECT_EQ(editor.Row(), 0);
    EXPECT_EQ(editor.Col(), 17);
    editor.MoveCaretBy(TCaretMove::WordLeft);
    EXPECT_EQ(editor.Col(), 16);
    editor.SetFountain(nullptr);
}

TEST_F(Commands, PagesScrollAndTheCaretFollows)
{
    TRecordingDisplay display;
    display.Rows = 11;
    editor.SetDisplay(&display);
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "row\r\n";
    editor.SetText(text);
    editor.SetCaretPosition(3, 0);
    editor.MoveCaretBy(TCaretMove::PageDown);  // (11 - 1) / 2 * 2 = 10 rows
    EXPECT_EQ(editor.TopRow(), 10);
    EXPECT_EQ(editor.Row(), 13);
    editor.MoveCaretBy(TCaretMove::PageUp);
    EXPECT_EQ(editor.TopRow(), 0);
    EXPECT_EQ(editor.Row(), 3);
    editor.MoveCaretBy(TCaretMove::PageUp);  // already at the top: to row 0
    EXPECT_EQ(editor.Row(), 0);
    editor.SetDisplay(nullptr);
}

TEST_F(Commands, HitsAreShownAsTheHitStyleSays)
{
    editor.SetText("abcdef");
    editor.SetCaretPosition(0, 1);
    editor.ShowHit(3);
    EXPECT_EQ(editor.SelText(), "bcd");
    EXPECT_FALSE(editor.Hit());
    editor.SetCaretPosition(0, 1);
    editor.SetHitShow(THitShow::Draw);
    editor.ShowHit(3);
    EXPECT_TRUE(editor.Hit());
    editor.SetHitShow(THitShow::Caret);  // changing the style removes the shown hit
    EXPECT_FALSE(editor.Selected());
    editor.SetCaretPosition(0, 1);
    editor.ShowHit(3);
    EXPECT_FALSE(editor.Selected());
    EXPECT_EQ(editor.HitCaretColumns(), 3);
}

} // namespace
