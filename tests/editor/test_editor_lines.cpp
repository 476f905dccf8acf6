// Lines (logical lines over the rows) and loading files into the row store.
#include "classlib/errors.h"
#include "editor_test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace editor_test;

namespace {

class EditorLines : public ::testing::Test {
protected:
    TEditorModel editor;
    TEditorStrings &lines = *editor.Lines();
};

TEST_F(EditorLines, TextRoundTripsWithAndWithoutAFinalBreak)
{
    lines.SetText("a\r\nb");
    EXPECT_EQ(lines.Text(), "a\r\nb");
    EXPECT_EQ(Rows(editor), "a/|b$");
    lines.SetText("a\r\n");
    EXPECT_EQ(lines.Text(), "a\r\n");
    EXPECT_EQ(lines.Count(), 1);
    lines.SetText("x\ny\rz\r\n\r\n");
    EXPECT_EQ(lines.Text(), "x\r\ny\r\nz\r\n\r\n");
    EXPECT_EQ(lines.Count(), 4);
    lines.SetText("");
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_EQ(editor.TextLength(), 0);
}

TEST_F(EditorLines, LinesCountLogicalLinesUnderWrap)
{
    editor.SetWordWrap(true);
    lines.SetText(std::string(200, 'a') + "\r\nb\r\n" + std::string(80, 'c'));
    EXPECT_EQ(editor.RowCount(), 6);  // 3 + 1 + 2: a full last row leaves an empty one
    EXPECT_EQ(lines.Count(), 3);
    EXPECT_EQ(lines.Get(0), std::string(200, 'a'));
    EXPECT_EQ(lines.Get(2), std::string(80, 'c'));
    EXPECT_EQ(editor.LineFromRow(4), 2);
    lines.Put(0, "short");
    EXPECT_EQ(Rows(editor), "short/|b/|" + Repeat("c", 80) + "~|$");
    lines.Delete(1);
    EXPECT_EQ(lines.Count(), 2);
    EXPECT_EQ(lines.Get(1), std::string(80, 'c'));
}

TEST_F(EditorLines, InsertAddAndDelete)
{
    lines.Add("one");  // into an empty text
    EXPECT_EQ(Rows(editor), "one/");
    lines.SetText("one");
    EXPECT_EQ(lines.Add("two"), 1);  // after a last line without a break
    EXPECT_EQ(Rows(editor), "one/|two$");
    lines.Insert(0, "zero");
    lines.Insert(3, "three");  // at Count: Add
    EXPECT_EQ(lines.Text(), "zero\r\none\r\ntwo\r\nthree");
    lines.Put(1, "ONE");
    lines.Delete(3);
    EXPECT_EQ(lines.Text(), "zero\r\nONE\r\ntwo\r\n");
    EXPECT_THROW(lines.Get(3), EListError);
    EXPECT_THROW(lines.Insert(5, "x"), EListError);
    EXPECT_THROW(lines.Delete(-1), EListError);
    EXPECT_EQ(lines.Text(), "zero\r\nONE\r\ntwo\r\n");
}

TEST_F(EditorLines, ChangesPutTheCaretAfterTheInsertedText)
{
    lines.SetText("abc\r\ndef");
    lines.Put(1, "xy");
    EXPECT_EQ(editor.Row(), 1);
    EXPECT_EQ(editor.Col(), 2);
    lines.Insert(0, "12345");
    EXPECT_EQ(editor.Row(), 0);
    EXPECT_EQ(editor.Col(), 5);
}

TEST_F(EditorLines, AssignGoesThroughTextAndPutsTheCaretAtTheEnd)
{
    TStringList source;
    source.Add("first");
    source.Add("second");
    lines.Assign(&source);
    EXPECT_EQ(Rows(editor), "first/|second/");
    EXPECT_EQ(editor.Row(), 2);
    EXPECT_EQ(editor.Col(), 0);
    EXPECT_FALSE(editor.Modified());
}

class EditorLoading : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TEditorModel editor;

    QString Write(const std::string &bytes)
    {
        const QString name = dir.filePath("text.sql");
        QFile file(name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return name;
    }
    std::string Load(const std::string &bytes)
    {
        editor.Lines()->LoadFromFile(Write(bytes));
        return Rows(editor);
    }
};

TEST_F(EditorLoading, EveryKindOfLineBreakEndsOneLine)
{
    EXPECT_EQ(Load("a\r\nb\r\n"), "a/|b/");
    EXPECT_EQ(Load("a\nb\n"), "a/|b/");
    EXPECT_EQ(Load("a\rb\rc"), "a/|b/|c$");
    EXPECT_EQ(Load("a\r\nb\nc\rd\n\re"), "a/|b/|c/|d/|/|e$");
    EXPECT_EQ(Load("\r\n"), "/");
    EXPECT_EQ(Load(""), "");
    EXPECT_EQ(Load("last\r"), "last/");
}

TEST_F(EditorLoading, BreakSplitAcrossReadBlocksCountsOnce)
{
    std::string bytes(8191, 'x');
    bytes += "\r\ny";
    EXPECT_EQ(Load(bytes), Repeat("x", 8191) + "/|y$");
}

TEST_F(EditorLoading, EndOfFileCharacterEndsTheTextAndNulBytesAreKept)
{
    EXPECT_EQ(Load("a\r\nb\x1A" "c\r\nd"), "a/|b$");
    const std::string withNul("a\0b\r\nc", 6);
    Load(withNul);
    EXPECT_EQ(editor.RowText(0), std::string("a\0b", 3));
    EXPECT_EQ(editor.TextLength(), 6);
}

TEST_F(EditorLoading, InvalidDoubleByteTextAndLongLinesLoadIntact)
{
    const std::string odd = "\x82\r\n\x82" "a\xFF\x81";  // stray lead bytes, an unused byte
    Load(odd);
    EXPECT_EQ(editor.Text(), odd);
    const std::string longLine(100000, 'q');
    Load(longLine + "\r\nz");
    EXPECT_EQ(editor.RowWidth(0), 100000);
    editor.SetCol(5000);
    EXPECT_EQ(editor.Col(), 1000);  // the caret stops at the column limit
    editor.SetWordWrap(true);
    EXPECT_EQ(editor.RowCount(), 1250 + 1 + 1);  // 1250 full rows, their empty row, "z"
    EXPECT_EQ(editor.Text(), longLine + "\r\nz");
}

TEST_F(EditorLoading, MissingFileRaisesTheOpenErrorAfterClearing)
{
    editor.SetText("old text");
    EXPECT_THROW(editor.Lines()->LoadFromFile(dir.filePath("missing.sql")), EFOpenError);
    EXPECT_EQ(editor.RowCount(), 0);
}

TEST_F(EditorLoading, LoadingIsNotAnEditAndForgetsUndo)
{
    int changes = 0;
    editor.OnChange = [&] { ++changes; };
    editor.SetText("abc");
    editor.SetSelText("x");
    EXPECT_EQ(changes, 1);
    Load("new\r\n");
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_EQ(editor.Row(), 0);
    // Rows that point into the loaded text are copied when edited.
    editor.SetSelText("!");
    EXPECT_EQ(editor.Text(), "!new\r\n");
}

TEST_F(EditorLoading, WrapOnLoadCutsRows)
{
    editor.SetWordWrap(true);
    EXPECT_EQ(Load(std::string(100, 'a') + "\n"), Repeat("a", 80) + "~|" + Repeat("a", 20) + "/");
}

} // namespace
