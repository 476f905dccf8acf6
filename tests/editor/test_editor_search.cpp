// The editor's search operation over its rows: where it starts, repeating it, both directions,
// how the hit is shown, and texts whose rows do not fit the first piece it searches.
#include "editor/editor_search.h"
#include "editor/find_text.h"
#include "editor_test_support.h"

#include <gtest/gtest.h>

using namespace editor_test;

namespace {

class EditorSearch : public ::testing::Test {
protected:
    bool Find(const std::string &text, unsigned options) { return editor::Search(editor, text, options); }
    TEditorModel editor;
};

TEST_F(EditorSearch, ForwardRepeatsFindTheNextAndStopAtTheEnd)
{
    editor.SetText("select a\r\nfrom emp a\r\nwhere a.id = 1");
    ASSERT_TRUE(Find("a", soDown | soWholeWord));
    EXPECT_EQ(editor.SelStart(), 7);
    EXPECT_EQ(editor.SelText(), "a");
    ASSERT_TRUE(Find("a", soDown | soWholeWord));
    EXPECT_EQ(editor.SelectionStart(), (TEditorPosition{1, 9}));
    ASSERT_TRUE(Find("a", soDown | soWholeWord));
    EXPECT_EQ(editor.SelectionStart(), (TEditorPosition{2, 6}));
    // Nothing more: false, and the caret and selection stay where they were.
    EXPECT_FALSE(Find("a", soDown | soWholeWord));
    EXPECT_EQ(editor.SelText(), "a");
    EXPECT_EQ(editor.SelectionStart(), (TEditorPosition{2, 6}));
    // A hit right after the selection is found (the search starts at its end, not beyond).
    editor.SetText("abcabc");
    editor.SetSelStart(0);
    editor.SetSelLength(3);
    ASSERT_TRUE(Find("abc", soDown));
    EXPECT_EQ(editor.SelStart(), 3);
}

TEST_F(EditorSearch, BackwardStartsAtTheSelectionOrTheCaret)
{
    editor.SetText("id\r\nx id\r\nid y");
    editor.SetSelStart(editor.TextLength());
    ASSERT_TRUE(Find("id", 0));
    EXPECT_EQ(editor.SelectionStart(), (TEditorPosition{2, 0}));
    ASSERT_TRUE(Find("id", 0));
    EXPECT_EQ(editor.SelectionStart(), (TEditorPosition{1, 2}));
    ASSERT_TRUE(Find("ID", 0));
    EXPECT_EQ(editor.SelectionStart(), (TEditorPosition{0, 0}));
    EXPECT_FALSE(Find("id", 0));
    // From below the last row of a text ending with a line break: the end of the last row.
    editor.SetText("ab\r\nab\r\n");
    editor.SetRow(2);
    ASSERT_TRUE(Find("ab", 0));
    EXPECT_EQ(editor.SelectionStart(), (TEditorPosition{1, 0}));
}

TEST_F(EditorSearch, HitIsShownAsTheHitStyleSays)
{
    editor.SetText("one two one two");
    editor.SetHitShow(THitShow::Caret);
    ASSERT_TRUE(Find("two", soDown));
    EXPECT_FALSE(editor.Selected());
    EXPECT_EQ(editor.Col(), 4);
    EXPECT_EQ(editor.HitCaretColumns(), 3);
    // The next search starts behind the hit caret, not on the same hit.
    ASSERT_TRUE(Find("two", soDown));
    EXPECT_EQ(editor.Col(), 12);
    editor.SetHitShow(THitShow::Draw);
    editor.SetSelStart(0);
    ASSERT_TRUE(Find("one", soDown));
    EXPECT_TRUE(editor.Hit());
    EXPECT_EQ(editor.SelText(), "one");
}

TEST_F(EditorSearch, RowsBeyondTheFirstPieceAreSearchedToo)
{
    // A row far longer than the first piece, with the hit on the row after it.
    editor.SetText(std::string(100'000, 'x') + "\r\nfind the needle");
    ASSERT_TRUE(Find("needle", soDown));
    EXPECT_EQ(editor.SelectionStart(), (TEditorPosition{1, 9}));
    // A hit past the columns the caret can reach is passed over, not shown in the wrong place.
    editor.SetText(std::string(5000, 'x') + "needle");
    EXPECT_FALSE(Find("needle", soDown));
    EXPECT_EQ(editor.SelStart(), 0);
    editor.SetText(std::string(5000, 'x') + "needle\r\nneedle");
    ASSERT_TRUE(Find("needle", soDown));
    EXPECT_EQ(editor.SelectionStart(), (TEditorPosition{1, 0}));
    // A match that spans thousands of rows of line breaks, beyond every piece boundary.
    std::string text = "start sel";
    for (int i = 0; i < 5000; ++i)
        text += "\r\n";
    text += "ect end";
    editor.SetText(text);
    ASSERT_TRUE(Find("select", soDown | soIgnoreLineBreaks));
    EXPECT_EQ(editor.SelectionStart(), (TEditorPosition{0, 6}));
    EXPECT_EQ(editor.SelLength(), 3 + 2 * 5000 + 3);
    // Backwards from the end, over many rows.
    editor.SetSelStart(editor.TextLength());
    ASSERT_TRUE(Find("start", 0));
    EXPECT_EQ(editor.SelStart(), 0);
    // With word wrap, wrapped rows join without line breaks.
    editor.SetText(std::string(30, 'a') + "needle" + std::string(30, 'b'));
    editor.WrapOption()->SetWrapByte(20);
    editor.SetWordWrap(true);
    ASSERT_GT(editor.RowCount(), 3);
    editor.SetSelStart(0);
    ASSERT_TRUE(Find("needle", soDown));
    EXPECT_EQ(editor.SelText(), "needle");
    EXPECT_EQ(editor.SelStart(), 30);
}

} // namespace
