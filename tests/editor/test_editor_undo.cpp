// Undo and redo of the row store.
#include "editor_test_support.h"

#include <gtest/gtest.h>

using namespace editor_test;

namespace {

class EditorUndo : public ::testing::Test {
protected:
    TEditorModel editor;
    void Type(const std::string &s) { editor.SetSelText(s); }
};

TEST_F(EditorUndo, EachTypedCharacterIsOneStep)
{
    Type("a");
    Type("b");
    Type("c");
    EXPECT_EQ(editor.Text(), "abc");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "ab");
    editor.Undo();
    editor.Undo();
    EXPECT_EQ(editor.Text(), "");
    EXPECT_EQ(editor.RowCount(), 0);
    EXPECT_FALSE(editor.CanUndo());
    editor.Redo();
    EXPECT_EQ(editor.Text(), "a");
    EXPECT_TRUE(editor.CanRedo());
}

TEST_F(EditorUndo, ANewChangeAfterUndoEmptiesRedo)
{
    Type("a");
    Type("b");
    editor.Undo();
    EXPECT_TRUE(editor.CanRedo());
    Type("x");
    EXPECT_FALSE(editor.CanRedo());
    EXPECT_EQ(editor.Text(), "ax");
}

TEST_F(EditorUndo, OnlyTheLastUndoListMaxChangesCanBeUndone)
{
    editor.SetUndoListMax(10);
    EXPECT_EQ(editor.UndoListMax(), 64);
    for (int i = 0; i < 65; ++i)
        Type("x");
    int undone = 0;
    while (editor.CanUndo()) {
        editor.Undo();
        ++undone;
    }
    EXPECT_EQ(undone, 64);
    EXPECT_EQ(editor.Text(), "x");
}

TEST_F(EditorUndo, UndoOfLinesAddedAtTheEndRemovesThemAndKeepsTheirMarks)
{
    editor.SetText("top\r\n");
    editor.SetCaretPosition(1, 0);
    Type("new\r\nrows\r\n");
    EXPECT_EQ(Rows(editor), "top/|new/|rows/");
    editor.PutMark(2, 11);
    editor.Undo();
    EXPECT_EQ(Rows(editor), "top/");
    EXPECT_EQ(editor.RowMarks(0), 1u << 11);
    editor.Redo();
    EXPECT_EQ(Rows(editor), "top/|new/|rows/");
}

TEST_F(EditorUndo, CaretReturnsToWhereEachStepBegan)
{
    editor.SetText("hello\r\nworld");
    editor.SetCaretPosition(1, 5);
    Type("!");
    EXPECT_EQ(editor.Col(), 6);
    editor.SetCaretPosition(0, 0);
    editor.Undo();
    EXPECT_EQ(editor.Row(), 1);  // where the caret was before the change
    EXPECT_EQ(editor.Col(), 5);
    editor.SetCaretPosition(0, 2);
    editor.Redo();
    EXPECT_EQ(editor.Text(), "hello\r\nworld!");
    EXPECT_EQ(editor.Row(), 0);  // where it stood before the undo
    EXPECT_EQ(editor.Col(), 0);
    editor.Undo();  // the redo's record holds the caret from before the redo
    EXPECT_EQ(editor.Col(), 2);
}

TEST_F(EditorUndo, UndoRestoresRowAttributesAndDeletedLines)
{
    editor.SetText("a\r\nb\r\nc");
    editor.DeleteRow(2);
    EXPECT_EQ(Rows(editor), "a/|b/");
    EXPECT_EQ(editor.Row(), 2);
    editor.DeleteRow(0);
    EXPECT_EQ(Rows(editor), "b/");
    editor.Undo();
    editor.Undo();
    EXPECT_EQ(Rows(editor), "a/|b/|c$");
}

TEST_F(EditorUndo, WrapChangesAndEmptyingTheBufferForgetHistory)
{
    Type("abc");
    editor.SetWordWrap(true);
    EXPECT_FALSE(editor.CanUndo());
    Type("d");
    editor.Undo();
    EXPECT_TRUE(editor.CanRedo());
    editor.SetWordWrap(false);
    EXPECT_FALSE(editor.CanRedo());
}

TEST_F(EditorUndo, EditorsSharingATextShareItsHistory)
{
    TEditorModel second;
    second.AttachTo(editor);
    editor.SetText("shared");
    second.SetCaretPosition(0, 6);
    second.SetSelText("!");
    EXPECT_EQ(editor.Text(), "shared!");
    EXPECT_TRUE(editor.CanUndo());
    editor.Undo();
    EXPECT_EQ(second.Text(), "shared");
}

} // namespace
