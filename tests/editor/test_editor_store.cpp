// The row store: the string list under it, packed row attributes, the edit primitive with its
// mark rules, change notification and the upkeep of parser states.
#include "classlib/errors.h"
#include "editor/screen_strings.h"
#include "editor_test_support.h"
#include "syntax/editor_fountain.h"

#include <gtest/gtest.h>

using namespace editor_test;

namespace {

TEST(EditorStringList, IndexErrorsAndInsertAtTheEnd)
{
    TKelStringList list;
    list.Insert(0, "b");
    list.Insert(1, "c");  // Count is a valid insertion index
    list.Insert(0, "a");
    EXPECT_EQ(list.Get(0) + list.Get(1) + list.Get(2), "abc");
    EXPECT_THROW(list.Get(3), EListError);
    EXPECT_THROW(list.Insert(5, "x"), EListError);
    EXPECT_THROW(list.Delete(-1), EListError);
    try {
        list.Put(7, "x");
        FAIL();
    } catch (const EListError &e) {
        EXPECT_NE(std::string(e.what()).find("(7)"), std::string::npos);
    }
}

TEST(EditorStringList, CapacityGrowsByFourThenSixteenThenAQuarter)
{
    TKelStringList list;
    std::vector<int> capacities;
    for (int i = 0; i < 80; ++i) {
        list.Insert(list.Count(), "x");
        if (capacities.empty() || capacities.back() != list.Capacity())
            capacities.push_back(list.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95}));
}

TEST(EditorStringList, ExchangeMovesTextObjectAttributesAndMarksTogether)
{
    TRowAttributeStringList list;
    list.AddRow("one", raCrlf);
    list.AddRow("two", raEof);
    int object = 0;
    list.PutObject(0, &object);
    list.SetRowMarks(0, 0x8001);
    list.SetParseState(0, {3, 4, 5, 6, 7});
    list.Exchange(0, 1);
    EXPECT_EQ(list.Get(1), "one");
    EXPECT_EQ(list.GetObject(1), &object);
    EXPECT_EQ(list.RowMarks(1), 0x8001);
    EXPECT_EQ(list.RowAttribute(0), raEof);
    EXPECT_EQ(list.ParseState(1), (TRowParseState{3, 4, 5, 6, 7}));
    EXPECT_EQ(list.RowMarks(0), 0);
}

TEST(EditorStringList, ParseStatesPackWithoutTouchingMarksOrAttribute)
{
    TRowAttributeStringList list;
    list.AddRow("x", raWrapped);
    list.SetRowMarks(0, 0xFFFF);
    EXPECT_EQ(list.Brackets(0), -2);  // a fresh row is not computed
    for (const TRowParseState &state : {TRowParseState{-2, 0, 0, 0, 0}, TRowParseState{-1, 15, 255, 255, 255},
                                        TRowParseState{13, 1, 2, 3, 4}}) {
        list.SetParseState(0, state);
        EXPECT_EQ(list.ParseState(0), state);
        EXPECT_EQ(list.RowMarks(0), 0xFFFF);
        EXPECT_EQ(list.RowAttribute(0), raWrapped);
    }
}

TEST(EditorStringList, ChangeEventsFireAroundEachChangeOrOnceAroundAnUpdate)
{
    TKelStringList list;
    std::string log;
    list.OnChanging = [&](QObject *) { log += '<'; };
    list.OnChange = [&](QObject *) { log += '>'; };
    list.Insert(0, "a");
    list.Put(0, "b");
    EXPECT_EQ(log, "<><>");
    log.clear();
    list.BeginUpdate();
    list.Insert(0, "c");
    list.Delete(1);
    list.BeginUpdate();
    list.EndUpdate();
    list.EndUpdate();
    EXPECT_EQ(log, "<>");
}

class EditorPrimitive : public ::testing::Test {
protected:
    TEditorModel editor;
    TEditorScreenStrings &store = editor.Store();
    void Set(const std::string &text) { editor.SetText(text); }
};

TEST_F(EditorPrimitive, InvalidArgumentsChangeNothing)
{
    Set("a\r\nb");
    EXPECT_FALSE(store.ReplaceRows(-1, 1, "x").Done);
    EXPECT_FALSE(store.ReplaceRows(1, 2, "x").Done);
    EXPECT_FALSE(store.ReplaceRows(0, 0, "").Done);
    EXPECT_FALSE(store.ReplaceRows(3, 0, "x").Done);
    EXPECT_EQ(Rows(editor), "a/|b$");
    EXPECT_FALSE(editor.CanUndo());
}

TEST_F(EditorPrimitive, InsertingAtTheFirstRowAndIntoAnEmptyText)
{
    // Nothing before row 0 exists, yet inserting there must work.
    EXPECT_TRUE(store.ReplaceRows(0, 0, "first").Done);
    EXPECT_EQ(Rows(editor), "first$");
    EXPECT_TRUE(store.ReplaceRows(0, 0, "zero\r\n").Done);
    EXPECT_EQ(Rows(editor), "zero/|first$");
}

TEST_F(EditorPrimitive, ReplacementTextIncludesTheLineBreaks)
{
    Set("a\r\nb\r\nc\r\n");
    store.ReplaceRows(1, 1, "x");  // no line break: runs into the next line
    EXPECT_EQ(Rows(editor), "a/|xc/");
    store.ReplaceRows(1, 1, "y\r\nz\r\n");
    EXPECT_EQ(Rows(editor), "a/|y/|z/");
    store.ReplaceRows(2, 1, "end");  // the last line: no break after it any more
    EXPECT_EQ(Rows(editor), "a/|y/|end$");
    store.ReplaceRows(3, 0, "more");  // after the raEof row: joins it
    EXPECT_EQ(Rows(editor), "a/|y/|endmore$");
    store.ReplaceRows(2, 1, "last\r");  // a final CR is a line break too
    EXPECT_EQ(Rows(editor), "a/|y/|last/");
    store.ReplaceRows(3, 0, "tail");  // below a final break: a new line
    EXPECT_EQ(Rows(editor), "a/|y/|last/|tail$");
}

TEST_F(EditorPrimitive, LoneCarriageReturnsAndLineFeedsInInsertedTextBreakLines)
{
    Set("ab");
    editor.SetSelStart(1);
    editor.SetSelText("1\r2\n3\r\n4");
    EXPECT_EQ(Rows(editor), "a1/|2/|3/|4b$");
    EXPECT_EQ(editor.Text(), "a1\r\n2\r\n3\r\n4b");
}

TEST_F(EditorPrimitive, DeletingWholeLinesGivesTheirMarksToTheRowBelow)
{
    Set("a\r\nb\r\nc\r\nd");
    editor.PutMark(1, 3);
    editor.PutMark(2, 12);
    store.ReplaceRows(1, 2, "");
    EXPECT_EQ(Rows(editor), "a/|d$");
    EXPECT_EQ(editor.RowMarks(1), (1u << 3) | (1u << 12));
    store.ReplaceRows(1, 1, "");  // the last row: marks go to the row now last
    EXPECT_EQ(editor.RowMarks(0), (1u << 3) | (1u << 12));
    store.ReplaceRows(0, 1, "");
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(editor.UsedMarks(), 0);
}

TEST_F(EditorPrimitive, MarkMovesWithItsLineWhenLinesAreTypedInFrontAtColumnZero)
{
    Set("a\r\nmarked\r\nz");
    editor.PutMark(1, 5);
    editor.SetCaretPosition(1, 0);
    editor.SetSelText("new\r\n");
    EXPECT_EQ(Rows(editor), "a/|new/|marked/|z$");
    EXPECT_EQ(editor.RowMarks(2), 1u << 5);
    // Splitting the line elsewhere leaves the mark on the line's first row.
    editor.SetCaretPosition(2, 3);
    editor.SetSelText("\r\n");
    EXPECT_EQ(Rows(editor), "a/|new/|mar/|ked/|z$");
    EXPECT_EQ(editor.RowMarks(2), 1u << 5);
}

TEST_F(EditorPrimitive, NumberedMarksAreUniqueAndImageMarksStayInUseWhileAnyRowHasThem)
{
    Set("a\r\nb\r\nc");
    editor.PutMark(0, 5);
    editor.PutMark(2, 5);
    EXPECT_EQ(editor.RowMarks(0), 0);
    EXPECT_EQ(editor.RowMarks(2), 1u << 5);
    editor.PutMark(0, 10);
    editor.PutMark(1, 10);
    editor.DeleteMark(0, 10);
    // Row 1 still holds image mark 10, so it is still in use.
    EXPECT_EQ(editor.UsedMarks(), (1u << 5) | (1u << 10));
    editor.DeleteMark(1, 10);
    EXPECT_EQ(editor.UsedMarks(), 1u << 5);
    editor.PutMark(9, 1);  // invalid row: nothing
    editor.PutMark(0, 16);  // invalid mark: nothing
    EXPECT_EQ(editor.UsedMarks(), 1u << 5);
}

TEST_F(EditorPrimitive, WrappedTextFlowsBackOntoTheRowAbove)
{
    editor.SetWordWrap(true);
    editor.WrapOption()->SetWrapByte(20);
    Set(std::string(25, 'a'));
    EXPECT_EQ(Rows(editor), Repeat("a", 20) + "~|aaaaa$");
    editor.SetSelStart(0);
    editor.SetSelLength(1);
    editor.SetSelText("");
    EXPECT_EQ(Rows(editor), Repeat("a", 20) + "~|aaaa$");
    // Deleting the first byte of the second row pulls nothing up but re-wraps from the row above.
    editor.SetSelStart(20);
    editor.SetSelLength(4);
    editor.SetSelText("");
    EXPECT_EQ(Rows(editor), Repeat("a", 20) + "~|$");
    EXPECT_EQ(editor.Text(), std::string(20, 'a'));
}

TEST_F(EditorPrimitive, EditUnderWordBreakLeavesTheSameRowsAsWrappingAfresh)
{
    // Short rows cut by WordBreak let a row's cut see two rows ahead.
    editor.SetWordWrap(true);
    editor.WrapOption()->SetWrapByte(30);
    editor.WrapOption()->SetWordBreak(true);
    Set(std::string(12, 'a') + " " + std::string(40, 'b') + " " + std::string(40, 'c'));
    for (int pos : {60, 45, 30, 14, 70}) {
        editor.SetSelStart(pos);
        editor.SetSelText(pos % 2 ? " " : "dd");
        TEditorModel fresh;
        fresh.SetWordWrap(true);
        fresh.WrapOption()->SetWrapByte(30);
        fresh.WrapOption()->SetWordBreak(true);
        fresh.SetText(editor.Text());
        EXPECT_EQ(Rows(editor), Rows(fresh)) << "after inserting at " << pos;
    }
}

TEST_F(EditorPrimitive, ChangesNotifyOnceAndSetModified)
{
    TRecordingDisplay display;
    editor.SetDisplay(&display);
    int changes = 0;
    editor.OnChange = [&] { ++changes; };
    Set("abc\r\ndef");
    EXPECT_EQ(changes, 0);  // setting the whole text is not an edit
    EXPECT_FALSE(editor.Modified());
    EXPECT_TRUE(display.LastExtent.WholeText);
    editor.SetSelStart(1);
    editor.SetSelText("x");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(editor.Modified());
    // The edited line ends with a break and another line follows: that line joins the range.
    EXPECT_EQ(display.LastExtent.FirstRow, 0);
    EXPECT_EQ(display.LastExtent.OldRows, 2);
    EXPECT_EQ(display.LastExtent.NewRows, 2);
    editor.Lines()->BeginUpdate();
    editor.Lines()->Add("1");
    editor.Lines()->Add("2");
    editor.Lines()->EndUpdate();
    EXPECT_EQ(changes, 2);
    editor.SetModified(false);
    editor.Clear();  // clearing a non-empty text is an edit
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(editor.Modified());
    editor.Clear();  // already empty
    EXPECT_EQ(changes, 3);
}

TEST_F(EditorPrimitive, ClearResetsCaretsSelectionUndoAndMarks)
{
    Set("abc\r\ndef");
    editor.PutMark(1, 2);
    editor.SetSelStart(2);
    editor.SetSelText("x");
    editor.SetSelStart(1);
    editor.SetSelLength(3);
    editor.Clear();
    EXPECT_EQ(editor.RowCount(), 0);
    EXPECT_FALSE(editor.Selected());
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_EQ(editor.UsedMarks(), 0);
    EXPECT_EQ(editor.Row(), 0);
    EXPECT_EQ(editor.Col(), 0);
}

// Parser states: "/*" ... "*/" brackets carry a state from row to row.
class EditorStates : public ::testing::Test {
protected:
    TEditorFountain fountain;
    TRecordingDisplay display;
    TEditorModel editor;
    TEditorScreenStrings &store = editor.Store();

    void SetUp() override
    {
        fountain.EditorBrackets()->AddBracket("/*", "*/");
        display.Rows = 5;
        editor.SetDisplay(&display);
        editor.SetFountain(&fountain);
        std::string text;
        for (int i = 0; i < 100; ++i)
            text += "row " + std::to_string(i) + "\r\n";
        editor.SetText(text);
    }

    // States computed from row 0 by a fresh parser.
    std::vector<TRowParseState> Fresh()
    {
        std::vector<TRowParseState> states;
        auto parser = fountain.CreateParser();
        TRowParseState state;
        for (int r = 0; r < store.Count(); ++r) {
            states.push_back(state);
            parser->AdvanceRowState(r, store, state);
        }
        return states;
    }
};

TEST_F(EditorStates, LoadingComputesTwoScreensAndTheRestOnDemand)
{
    EXPECT_EQ(store.Brackets(10), -1);
    EXPECT_EQ(store.Brackets(11), -2);
    store.EnsureRowStates(60);
    EXPECT_EQ(store.Brackets(60), -1);
    EXPECT_EQ(store.Brackets(61), -2);
}

TEST_F(EditorStates, AnOpenedBracketIsCarriedAtMostTwoScreensDown)
{
    store.EnsureRowStates(99);
    editor.SetCaretPosition(20, 0);
    editor.SetSelText("/*");
    for (int r = 21; r <= 30; ++r)
        EXPECT_EQ(store.Brackets(r), 0) << r;
    EXPECT_EQ(store.Brackets(31), -2);  // beyond the bound: computed when painted
    EXPECT_EQ(display.LastExtent.ParsedRows, 11);
    store.EnsureRowStates(99);
    const std::vector<TRowParseState> fresh = Fresh();
    for (int r = 0; r < store.Count(); ++r)
        EXPECT_EQ(store.ParseState(r), fresh[static_cast<std::size_t>(r)]) << r;
}

TEST_F(EditorStates, UpkeepStopsWhereTheStoredStateStillHolds)
{
    store.EnsureRowStates(99);
    display.StateRepaints = 0;
    editor.SetCaretPosition(40, 0);
    editor.SetSelText("x");  // changes no state
    EXPECT_EQ(display.StateRepaints, 2);  // only the two replaced rows
    EXPECT_EQ(store.Brackets(99), -1);
    // Closing what was opened restores the old states quickly.
    editor.SetCaretPosition(50, 0);
    editor.SetSelText("/*");
    editor.SetCaretPosition(52, 0);
    editor.SetSelText("*/");
    store.EnsureRowStates(99);
    const std::vector<TRowParseState> fresh = Fresh();
    for (int r = 0; r < store.Count(); ++r)
        EXPECT_EQ(store.ParseState(r), fresh[static_cast<std::size_t>(r)]) << r;
}

TEST_F(EditorStates, InsertedAndDeletedRowsShiftTheNotComputedRange)
{
    // Rows from 11 are not computed; inserting above moves that boundary down with them.
    editor.SetCaretPosition(2, 0);
    editor.SetSelText("a\r\nb\r\nc\r\n");
    EXPECT_NE(store.Brackets(13), -2);
    EXPECT_EQ(store.Brackets(store.Count() - 1), -2);
    store.ReplaceRows(0, 5, "");
    store.EnsureRowStates(store.Count() - 1);
    EXPECT_EQ(store.Brackets(store.Count() - 1), -1);
}

} // namespace
