// Box paste into the text model, the clean-up of text that comes from outside, and dropping a
// dragged selection.
#include "editor/editor_box_paste.h"
#include "editor/editor_drag.h"
#include "editor_test_support.h"

#include <gtest/gtest.h>

using namespace editor_test;

namespace {

TEST(BoxPaste, LinesGoIntoConsecutiveRowsAtTheCaretColumn)
{
    TEditorModel editor;
    editor.SetText("abcdef\r\nab\r\n\tx\r\n" + Hyou + "yz");
    editor.SetCaretPosition(0, 3);
    editor::BoxPaste(editor, "11\r\n22\n33\r44\r\n");
    // Row 1 is padded to the column; in row 2 the column falls inside the tab, in row 3 inside
    // the double-byte character: the text goes after them.
    EXPECT_EQ(Rows(editor), "abc11def/|ab 22/|\t33x/|" + Hyou + "y44z$");
    EXPECT_EQ(editor.Row(), 0);
    EXPECT_EQ(editor.Col(), 3);
    // One change: one undo gives the old text back.
    editor.Undo();
    EXPECT_EQ(editor.Text(), "abcdef\r\nab\r\n\tx\r\n" + Hyou + "yz");
}

TEST(BoxPaste, RowsMissingAtTheEndAreAddedPaddedToTheColumn)
{
    TEditorModel editor;
    editor.SetText("0123456789ab\r\n");
    editor.SetCaretPosition(1, 10);  // below the last row, column 10
    editor::BoxPaste(editor, "x\r\ny\r\nz");
    EXPECT_EQ(Rows(editor), "0123456789ab/|          x/|          y/|          z/");

    editor.SetText("abc");  // no final line break: the added rows keep it so
    editor.SetCaretPosition(0, 1);
    editor::BoxPaste(editor, "1\r\n2\r\n3");
    EXPECT_EQ(Rows(editor), "a1bc/| 2/| 3$");

    editor.SetText("");
    editor::BoxPaste(editor, "p\r\nq");
    EXPECT_EQ(Rows(editor), "p/|q$");
}

TEST(BoxPaste, ReplacesTheSelectionAndKeepsLinesWiderThanTheView)
{
    TEditorModel editor;
    editor.SetText("abcd\r\nefgh\r\nijkl");
    editor.SelectBox(0, 1, 1, 3);  // "bc" and "fg"
    editor::BoxPaste(editor, "XY\r\nZW");
    EXPECT_EQ(Rows(editor), "aXYd/|eZWh/|ijkl$");

    // A line of 1,500 columns goes in whole, nothing cut at the 1,000-column view limit.
    const std::string wide = Repeat("0123456789", 150);
    editor.SetCaretPosition(2, 2);
    editor::BoxPaste(editor, wide + "\r\n" + wide);
    EXPECT_EQ(editor.RowText(2), "ij" + wide + "kl");
    EXPECT_EQ(editor.RowText(3), "  " + wide);

    editor.SetReadOnly(true);
    const std::string before = editor.Text();
    editor::BoxPaste(editor, "no");
    EXPECT_EQ(editor.Text(), before);
}

TEST(SanitizePasted, LeadBytesWithoutTrailBecomeQuestionMarksAndTheRestStays)
{
    EXPECT_EQ(editor::SanitizePasted(Hyou + "a"), Hyou + "a");
    EXPECT_EQ(editor::SanitizePasted("a\x95"), "a?");              // at the end
    EXPECT_EQ(editor::SanitizePasted("\x95\r\nb"), "?\r\nb");      // before a line break
    EXPECT_EQ(editor::SanitizePasted(std::string("\x95\0b", 3)), std::string("?\0b", 3));
    EXPECT_EQ(editor::SanitizePasted("\x95\x7F"), "?\x7F");
    EXPECT_EQ(editor::SanitizePasted(std::string("x\0y", 3)), std::string("x\0y", 3));
}

} // namespace

namespace {

// Dropping a dragged selection: moves and copies in both directions, and drops that change
// nothing.
TEST(DropText, MovesAndCopiesAsOneChange)
{
    TEditorModel editor;
    const std::string text = "select a\r\nfrom b\r\nwhere c";
    editor.SetText(text);
    // Move "a" (row 0, bytes 7-8) to the end of row 2.
    ASSERT_TRUE(editor::DropText(editor, {0, 7}, {0, 8}, {2, 7}, false));
    EXPECT_EQ(editor.Text(), "select \r\nfrom b\r\nwhere ca");
    EXPECT_EQ(editor.SelText(), "a");
    editor.Undo();
    EXPECT_EQ(editor.Text(), text) << "one undo takes the move back";

    // Move a range over a line break backwards, in front of the first word.
    ASSERT_TRUE(editor::DropText(editor, {1, 5}, {2, 5}, {0, 0}, false));
    EXPECT_EQ(editor.Text(), "b\r\nwhereselect a\r\nfrom  c");
    EXPECT_EQ(editor.SelText(), "b\r\nwhere");
    editor.Undo();

    // Copy: the original stays.
    ASSERT_TRUE(editor::DropText(editor, {0, 0}, {0, 6}, {1, 4}, true));
    EXPECT_EQ(editor.Text(), "select a\r\nfromselect b\r\nwhere c");
    editor.Undo();
    EXPECT_EQ(editor.Text(), text);
}

TEST(DropText, DropInsideTheSelectionOrWhileReadOnlyChangesNothing)
{
    TEditorModel editor;
    editor.SetText("abcdef");
    EXPECT_FALSE(editor::DropText(editor, {0, 1}, {0, 4}, {0, 2}, false));
    EXPECT_FALSE(editor::DropText(editor, {0, 1}, {0, 4}, {0, 1}, false));
    EXPECT_FALSE(editor::DropText(editor, {0, 1}, {0, 4}, {0, 4}, true));
    EXPECT_EQ(editor.Text(), "abcdef");
    EXPECT_FALSE(editor.CanUndo());
    editor.SetReadOnly(true);
    EXPECT_FALSE(editor::DropText(editor, {0, 1}, {0, 2}, {0, 5}, false));
    EXPECT_EQ(editor.Text(), "abcdef");
}

} // namespace
