// The text interface host windows use (caret, offsets, selection, rows) and the edit-control
// messages.
#include "editor/edit_messages.h"
#include "editor_test_support.h"
#include "syntax/editor_fountain.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace editor_test;

namespace {

class EditorHost : public ::testing::Test {
protected:
    TEditorModel editor;
    std::intptr_t Send(unsigned message, std::intptr_t w = 0, std::intptr_t l = 0)
    {
        return editor.Perform(message, static_cast<std::uintptr_t>(w), l);
    }
};

TEST_F(EditorHost, OffsetsCountLineBreaksAsTwoBytes)
{
    editor.SetText("abc\r\ndef");
    EXPECT_EQ(Send(EM_LINEINDEX, 1), 5);
    EXPECT_EQ(Send(EM_LINEINDEX, 2), -1);  // beyond the last line
    EXPECT_EQ(Send(EM_LINEINDEX, 9), -1);
    editor.SetSelStart(5);
    EXPECT_EQ(editor.Row(), 1);
    EXPECT_EQ(editor.Col(), 0);
    EXPECT_EQ(Send(EM_LINEINDEX, -1), 5);
    editor.SetSelStart(4);  // the second byte of the line break: end of line 0
    EXPECT_EQ(editor.Row(), 0);
    EXPECT_EQ(editor.Col(), 3);
    EXPECT_EQ(editor.SelStart(), 3);
    editor.SetSelStart(-7);
    EXPECT_EQ(editor.SelStart(), 0);
    editor.SetSelStart(999);  // past the end: the end of the last line
    EXPECT_EQ(editor.Row(), 1);
    EXPECT_EQ(editor.Col(), 3);
}

TEST_F(EditorHost, DoubleByteCharactersAndTabsInOffsetsAndColumns)
{
    editor.SetCaretRules({true, false, false, 4});
    editor.SetText(Hira + "x\ty");
    editor.SetSelStart(2);
    EXPECT_EQ(editor.Col(), 2);  // a double-byte character counts 2 both ways
    editor.SetSelStart(4);
    EXPECT_EQ(editor.Col(), 4);  // after the tab, which runs from column 3 to the stop at 4
    editor.SetSelStart(3);
    EXPECT_EQ(editor.Col(), 3);
    editor.SetText("\t" + Hira);
    editor.SetSelStart(1);
    EXPECT_EQ(editor.Col(), 4);
    EXPECT_EQ(editor.SelStart(), 1);
}

TEST_F(EditorHost, CaretNeverSplitsADoubleByteCharacterOrRestsInATab)
{
    editor.SetCaretRules({false, false, false, 8});
    editor.SetText("a" + Hira + "b\tc");
    editor.SetCol(2);  // moving right onto the second column skips past the character
    EXPECT_EQ(editor.Col(), 3);
    editor.SetCol(2);  // moving left onto it lands on its first column
    EXPECT_EQ(editor.Col(), 1);
    editor.SetCol(6);  // onto the tab's blank columns, moving right: after the tab
    EXPECT_EQ(editor.Col(), 8);
    editor.SetCol(5);  // moving left: onto the tab itself
    EXPECT_EQ(editor.Col(), 4);
    editor.SetCol(50);  // without FreeCaret: the row end
    EXPECT_EQ(editor.Col(), 9);
    editor.SetCaretRules({false, true, false, 8});
    editor.SetCol(6);  // InTab: the blank columns are allowed
    EXPECT_EQ(editor.Col(), 6);
}

TEST_F(EditorHost, KeepCaretRemembersTheColumnCutAtShortRows)
{
    editor.SetCaretRules({false, false, true, 8});
    editor.SetText(std::string(40, 'a') + "\r\n" + std::string(10, 'b') + "\r\n" + std::string(40, 'c'));
    editor.SetCaretPosition(0, 30);
    editor.SetRow(1);
    EXPECT_EQ(editor.Col(), 10);
    editor.SetRow(2);
    EXPECT_EQ(editor.Col(), 30);
}

TEST_F(EditorHost, RowWritesClampAndTheRowBelowAFinalBreakIsReachable)
{
    editor.SetText("a\r\nb");
    editor.SetRow(9);
    EXPECT_EQ(editor.Row(), 1);  // the last row ends without a break
    editor.SetText("a\r\nb\r\n");
    editor.SetRow(9);
    EXPECT_EQ(editor.Row(), 2);
    editor.SetRow(-4);
    EXPECT_EQ(editor.Row(), 0);
    editor.SetCol(5000);
    EXPECT_EQ(editor.Col(), 1000);
}

TEST_F(EditorHost, SelectionByOffsetAndLength)
{
    editor.SetText("abc\r\ndef\r\nghi");
    editor.SetSelStart(2);
    editor.SetSelLength(5);  // c, the break (2), d, e
    EXPECT_EQ(editor.SelText(), "c\r\nde");
    EXPECT_EQ(editor.SelLength(), 5);
    EXPECT_EQ(editor.SelStart(), 2);
    editor.SetSelText(Hira);
    EXPECT_EQ(editor.Text(), "ab" + Hira + "f\r\nghi");
    EXPECT_EQ(editor.SelStart(), 4);
    EXPECT_FALSE(editor.Selected());
    editor.SetSelStart(0);
    editor.SetSelLength(100);
    EXPECT_EQ(editor.SelText(), editor.Text());
    editor.ClearSelection();
    EXPECT_EQ(editor.Text(), "");
}

TEST_F(EditorHost, TypingBeyondTheRowEndFillsTheGapWithBlanks)
{
    editor.SetText("ab\r\ncd");
    editor.SetCaretPosition(0, 5);
    editor.SetSelText("x");
    EXPECT_EQ(editor.RowText(0), "ab   x");
    EXPECT_EQ(editor.Col(), 6);
}

TEST_F(EditorHost, RowQueriesAnswerEmptyForInvalidRows)
{
    editor.SetCaretRules({true, false, false, 4});
    editor.SetText("a\tb\r\nxyz");
    EXPECT_EQ(editor.RowText(1), "xyz");
    EXPECT_EQ(editor.ExpandedRowText(0), "a   b");
    EXPECT_EQ(editor.RowWidth(0), 5);
    EXPECT_EQ(editor.RowText(2), "");
    EXPECT_EQ(editor.RowWidth(-1), 0);
    EXPECT_EQ(editor.RowAttributes(5), raInvalid);
    EXPECT_EQ(editor.LineFromRow(7), -1);
    EXPECT_EQ(editor.RowColToOffset(0, 4), 2);
    EXPECT_EQ(editor.RowColToOffset(0, -1), -1);
    EXPECT_EQ(editor.RowColToOffset(3, 0), -1);
    editor.DeleteRow(9);
    EXPECT_EQ(editor.TextLength(), 8);
}

TEST_F(EditorHost, RowColToOffsetCountsTheWrappedRowsBefore)
{
    editor.SetWordWrap(true);
    editor.WrapOption()->SetWrapByte(20);
    editor.SetText(std::string(45, 'a'));
    EXPECT_EQ(editor.RowColToOffset(2, 3), 43);
    EXPECT_EQ(editor.LineFromRow(2), 0);
}

TEST_F(EditorHost, DeleteRowPutsTheCaretOnTheRowThatTookItsPlace)
{
    editor.SetText("a\r\nb\r\nc");
    editor.DeleteRow(1);
    EXPECT_EQ(editor.Text(), "a\r\nc");
    EXPECT_EQ(editor.Row(), 1);
    EXPECT_EQ(editor.Col(), 0);
    editor.SetText("a\r\nb");
    editor.DeleteRow(1);  // the last row goes, the row above keeps its break
    EXPECT_EQ(editor.Text(), "a\r\n");
}

TEST_F(EditorHost, MarksAndGotoMarkScrollTheRowIntoView)
{
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "row\r\n";
    editor.SetText(text);
    editor.PutMark(150, 4);
    editor.GotoMark(4);
    EXPECT_EQ(editor.Row(), 150);
    EXPECT_EQ(editor.Display().TopRow(), 150 - 12);
    editor.GotoMark(7);  // not placed: nothing
    EXPECT_EQ(editor.Row(), 150);
}

TEST_F(EditorHost, OnChangeFiresOncePerEditAndNotForSettingTheText)
{
    int changes = 0;
    int moves = 0;
    editor.OnChange = [&] { ++changes; };
    editor.OnCaretMoved = [&] { ++moves; };
    editor.SetText("select 1");
    EXPECT_EQ(changes, 0);
    editor.SetSelText("x");
    EXPECT_EQ(changes, 1);
    EXPECT_GT(moves, 0);
    editor.Undo();
    EXPECT_EQ(changes, 2);
}

TEST_F(EditorHost, LoadingFromAFormClearsModifiedAtTheEnd)
{
    editor.BeginLoading();
    editor.SetWordWrap(true);
    editor.SetText(std::string(100, 'a'));
    EXPECT_EQ(editor.RowCount(), 1);  // wrapping waits for the end of loading
    editor.SetModified(true);
    editor.EndLoading();
    EXPECT_EQ(editor.RowCount(), 2);
    EXPECT_FALSE(editor.Modified());
}

TEST_F(EditorHost, SelectTokenAtCaretSelectsTheWholeTokenUnderIt)
{
    TEditorFountain fountain;
    editor.SetFountain(&fountain);
    editor.SetText("select ename\r\nfrom emp");
    editor.SetCaretPosition(0, 9);
    EXPECT_TRUE(editor.SelectTokenAtCaret());
    EXPECT_EQ(editor.SelText(), "ename");
    EXPECT_EQ(editor.SelStart(), 7);
    editor.SetCaretPosition(0, 6);  // the blank between: no token covers it
    EXPECT_FALSE(editor.SelectTokenAtCaret());
    EXPECT_EQ(editor.SelText(), "ename");  // nothing changed
    // A token running over a wrapped row boundary is selected whole.
    editor.SetWordWrap(true);
    editor.WrapOption()->SetWrapByte(20);
    editor.SetText(std::string(18, 'a') + " wordacrossrows");
    editor.SetCaretPosition(1, 2);
    EXPECT_TRUE(editor.SelectTokenAtCaret());
    EXPECT_EQ(editor.SelText(), "wordacrossrows");
    editor.SetFountain(nullptr);
}

TEST_F(EditorHost, TopRowIsKeptWithinTheRows)
{
    editor.SetText("a\r\nb\r\nc");
    editor.SetTopRow(50);
    EXPECT_EQ(editor.TopRow(), 3);
    editor.SetTopRow(-2);
    EXPECT_EQ(editor.TopRow(), 0);
}

TEST_F(EditorHost, GetSetSelAndLineMessages)
{
    editor.SetText("abc\r\ndefg\r\nhi");
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    Send(EM_SETSEL, 6, 2);
    Send(EM_GETSEL, reinterpret_cast<std::intptr_t>(&start), reinterpret_cast<std::intptr_t>(&end));
    EXPECT_EQ(start, 2u);
    EXPECT_EQ(end, 6u);
    EXPECT_EQ(Send(EM_LINELENGTH, -1), 5);  // the unselected "ab" and "efg"
    EXPECT_EQ(Send(EM_LINEFROMCHAR, -1), 0);
    Send(EM_SETSEL, -1, 0);
    EXPECT_FALSE(editor.Selected());
    Send(EM_GETSEL, reinterpret_cast<std::intptr_t>(&start), reinterpret_cast<std::intptr_t>(&end));
    EXPECT_EQ(start, end);
    Send(EM_SETSEL, 0, -1);
    EXPECT_EQ(editor.SelLength(), editor.TextLength());
    EXPECT_EQ(Send(EM_GETLINECOUNT), 3);
    EXPECT_EQ(Send(EM_LINELENGTH, 7), 4);
    EXPECT_EQ(Send(EM_LINEFROMCHAR, 11), 2);
    char buffer[8] = {};
    const std::uint16_t size = 3;
    std::memcpy(buffer, &size, sizeof size);
    EXPECT_EQ(Send(EM_GETLINE, 1, reinterpret_cast<std::intptr_t>(buffer)), 3);
    EXPECT_EQ(std::string(buffer, 3), "def");
    EXPECT_EQ(Send(EM_GETLINE, 9, reinterpret_cast<std::intptr_t>(buffer)), 0);
}

TEST_F(EditorHost, TextMessagesAndReadOnly)
{
    Send(WM_SETTEXT, 0, reinterpret_cast<std::intptr_t>("one\r\ntwo"));
    EXPECT_EQ(Send(WM_GETTEXTLENGTH), 8);
    char buffer[6];
    EXPECT_EQ(Send(WM_GETTEXT, sizeof buffer, reinterpret_cast<std::intptr_t>(buffer)), 5);
    EXPECT_STREQ(buffer, "one\r\n");
    Send(EM_SETSEL, 0, 3);
    Send(EM_REPLACESEL, 0, reinterpret_cast<std::intptr_t>("ONE"));
    EXPECT_EQ(editor.Text(), "ONE\r\ntwo");
    EXPECT_EQ(Send(EM_CANUNDO), 1);
    EXPECT_EQ(Send(EM_GETMODIFY), 1);

    Send(EM_SETREADONLY, 1);
    EXPECT_TRUE(editor.ReadOnly());
    EXPECT_EQ(Send(EM_CANUNDO), 0);
    EXPECT_EQ(Send(EM_UNDO), 0);
    Send(EM_REPLACESEL, 0, reinterpret_cast<std::intptr_t>("x"));
    EXPECT_EQ(Send(WM_SETTEXT, 0, reinterpret_cast<std::intptr_t>("y")), 0);
    Send(EM_SETMODIFY, 0);
    Send(EM_EMPTYUNDOBUFFER);
    EXPECT_EQ(editor.Text(), "ONE\r\ntwo");
    EXPECT_EQ(Send(EM_GETMODIFY), 1);
    EXPECT_TRUE(editor.CanUndo());

    Send(EM_SETREADONLY, 0);
    EXPECT_EQ(Send(EM_UNDO), 1);
    EXPECT_EQ(editor.Text(), "one\r\ntwo");
    Send(EM_EMPTYUNDOBUFFER);
    EXPECT_EQ(Send(EM_CANUNDO), 0);
}

TEST_F(EditorHost, PositionsAndScrollingMessages)
{
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    editor.SetText(text);
    editor.Display().SetTopRow(10);
    // Offset 9 is row 1, column 1; row 1 lies above the view.
    const std::intptr_t pos = Send(EM_POSFROMCHAR, 9);
    EXPECT_EQ(static_cast<std::int16_t>(pos & 0xFFFF), 8);
    EXPECT_EQ(static_cast<std::int16_t>((pos >> 16) & 0xFFFF), (1 - 10) * 16);
    // Pixel (20, 33): column 2 of the third visible row (row 12).
    const std::intptr_t at = Send(EM_CHARFROMPOS, 0, (33 << 16) | 20);
    EXPECT_EQ((at >> 16) & 0xFFFF, 12);
    EXPECT_EQ(at & 0xFFFF, editor.Store().OffsetOf(12, 2));
    EXPECT_EQ(Send(EM_CHARFROMPOS, 0, (5000 << 16) | 20), -1);
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 10);
    editor.SetSelStart(editor.Store().OffsetOf(80, 0));
    Send(EM_SCROLLCARET);
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 80 - 24 / 3);
    Send(EM_SCROLLCARET);  // already in view: stays
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 72);
}

} // namespace

namespace {

class EditorBox : public ::testing::Test {
protected:
    TEditorModel editor;
    void SetUp() override
    {
        editor.SetCaretRules({true, true, false, 4});
        editor.SetText("abcd\r\na" + Hira + "d\r\na\tbc\r\nxy");
    }
};

TEST_F(EditorBox, CharactersBeginningInsideTheBoxBelongToIt)
{
    editor.SelectBox(0, 1, 2, 3);
    EXPECT_TRUE(editor.SelectionMode());
    // "bc"; the double-byte character starting at column 1; the tab starting at column 1.
    EXPECT_EQ(editor.SelText(), "bc\r\n" + Hira + "\r\n\t\r\n");
    EXPECT_EQ(editor.SelLength(), 11);
    EXPECT_EQ(editor.SelStart(), 1);
    // Box from column 2: the double-byte character begins left of it and is left out, and the
    // tab (columns 1 to 3) too.
    editor.SelectBox(0, 2, 2, 4);
    EXPECT_EQ(editor.SelText(), "cd\r\nd\r\n\r\n");
}

TEST_F(EditorBox, ReplacingABoxEditsEachRowAsOneUndoStep)
{
    editor.SelectBox(0, 1, 2, 3);
    editor.SetSelText("Z");
    EXPECT_EQ(editor.Text(), "aZd\r\nad\r\nabc\r\nxy");
    EXPECT_EQ(editor.Row(), 0);
    EXPECT_EQ(editor.Col(), 2);
    editor.Undo();
    EXPECT_EQ(editor.Text(), "abcd\r\na" + Hira + "d\r\na\tbc\r\nxy");
    // Writing SelLength returns to stream selection.
    editor.SelectBox(0, 1, 1, 2);
    editor.SetSelLength(2);
    EXPECT_FALSE(editor.SelectionMode());
    EXPECT_EQ(editor.SelText(), "bc");
}

} // namespace
