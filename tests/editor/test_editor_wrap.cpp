// Word wrap: where a logical line is cut into rows under each line-breaking option.
#include "editor/row_wrapper.h"
#include "editor/screen_strings.h"
#include "editor_test_support.h"

#include <gtest/gtest.h>

using namespace editor;
using namespace editor_test;

namespace {

TWrapRules Rules(void (*configure)(TEditorWrapOption &) = nullptr)
{
    TEditorWrapOption option;
    if (configure)
        configure(option);
    return option.Rules(8);
}

std::vector<int> Cut(const std::string &line, const TWrapRules &rules) { return CutLine(line, rules); }

TEST(EditorWrap, ShortLinesStayWhole)
{
    EXPECT_EQ(Cut("", Rules()), std::vector<int>{0});
    EXPECT_EQ(Cut(std::string(79, 'a'), Rules()), std::vector<int>{79});
}

TEST(EditorWrap, FullRowLeavesAnEmptyRowUnlessTheLineEndMarkFollows)
{
    EXPECT_EQ(Cut(std::string(80, 'a'), Rules()), (std::vector<int>{80, 0}));
    auto retMark = [](TEditorWrapOption &o) { o.SetFollowRetMark(true); };
    EXPECT_EQ(Cut(std::string(80, 'a'), Rules(retMark)), (std::vector<int>{80}));
    EXPECT_EQ(Cut(std::string(170, 'a'), Rules()), (std::vector<int>{80, 80, 10}));
}

TEST(EditorWrap, DoubleByteCharacterNeverStraddlesTheRowEnd)
{
    // Its first column would be column 80: it moves to the next row.
    EXPECT_EQ(Cut(std::string(79, 'a') + Hira + "b", Rules()), (std::vector<int>{79, 3}));
    EXPECT_EQ(Cut(Repeat(Hira, 45), Rules()), (std::vector<int>{80, 10}));
}

TEST(EditorWrap, WordBreakCutsAfterADelimiterButNotBeforeAThird)
{
    auto wordBreak = [](TEditorWrapOption &o) { o.SetWordBreak(true); };
    const std::string words = std::string(70, 'a') + " " + std::string(20, 'b');
    EXPECT_EQ(Cut(words, Rules(wordBreak)), (std::vector<int>{71, 20}));
    // No delimiter: the stepping back stops at column 26.
    EXPECT_EQ(Cut(std::string(100, 'a'), Rules(wordBreak)), (std::vector<int>{26, 74}));
    // A double-byte character is a place to break after.
    const std::string mixed = std::string(60, 'a') + Hira + std::string(30, 'b');
    EXPECT_EQ(Cut(mixed, Rules(wordBreak))[0], 62);
    // Without the option the same line is cut at the row width.
    EXPECT_EQ(Cut(words, Rules())[0], 80);
}

TEST(EditorWrap, PunctuationHangsUpToTwoColumnsPastTheRowEnd)
{
    auto hang = [](TEditorWrapOption &o) { o.SetFollowPunctuation(true); };
    EXPECT_EQ(Cut(std::string(80, 'a') + Maru + "b", Rules(hang)), (std::vector<int>{82, 1}));
    EXPECT_EQ(Cut(std::string(80, 'a') + ",.b", Rules(hang)), (std::vector<int>{82, 1}));
    EXPECT_EQ(Cut(std::string(80, 'a') + ",.,b", Rules(hang)), (std::vector<int>{82, 2}));
    EXPECT_EQ(Cut(std::string(80, 'a') + Maru, Rules())[0], 80);
}

TEST(EditorWrap, LeadingKeepsOpeningBracketsWithWhatFollowsAndClosingOnesWithWhatPrecedes)
{
    auto leading = [](TEditorWrapOption &o) { o.SetLeading(true); };
    // An opening bracket that would end the row moves to the next row.
    EXPECT_EQ(Cut(std::string(78, 'a') + Kakko + "bbb", Rules(leading))[0], 78);
    EXPECT_EQ(Cut(std::string(79, 'a') + "(bbb", Rules(leading))[0], 79);
    // A closing bracket that would begin the next row takes the character before it along.
    EXPECT_EQ(Cut(std::string(79, 'a') + Kagi + "bb", Rules(leading))[0], 78);
    EXPECT_EQ(Cut(std::string(80, 'a') + ")bb", Rules(leading))[0], 79);
    // Stepping back never goes below four fifths of the row width.
    EXPECT_EQ(Cut(Repeat(Kakko, 41), Rules(leading))[0], 64);
    EXPECT_EQ(Cut(Repeat(Kakko, 41), Rules())[0], 80);
}

TEST(EditorWrap, OptionCharactersMatchWholeCharactersOnly)
{
    auto leading = [](TEditorWrapOption &o) { o.SetLeading(true); };
    // "]" (0x5D) may not begin a row, but a katakana whose trail byte is 0x5D may.
    const std::string trail5D = "\x83\x5D";
    EXPECT_EQ(Cut(std::string(79, 'a') + trail5D + "b", Rules(leading))[0], 79);
    TCharacterSet set(",\x81\x42");
    EXPECT_TRUE(set.Contains(","));
    EXPECT_TRUE(set.Contains(Maru));
    EXPECT_FALSE(set.Contains("\x42"));
    EXPECT_FALSE(set.Contains("\x81\x43"));
}

TEST(EditorWrap, WrapByteIsClampedAndChangesAreReportedOnce)
{
    TEditorWrapOption option;
    int changes = 0;
    option.OnChange = [&](QObject *) { ++changes; };
    option.SetWrapByte(5);
    EXPECT_EQ(option.WrapByte(), 20);
    option.SetWrapByte(300);
    EXPECT_EQ(option.WrapByte(), 250);
    option.SetWrapByte(250);  // unchanged: no report
    EXPECT_EQ(changes, 2);
    option.BeginUpdate();
    option.SetLeading(true);
    option.SetWordBreak(true);
    option.EndUpdate();
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(option.FollowStr().left(2), QString::fromUtf8("、。"));
}

TEST(EditorWrap, TextIsSplitAtEveryKindOfLineBreak)
{
    TEditorStringList rows;
    WrapText("a\r\nb\rc\nd", false, Rules(), rows);
    EXPECT_EQ(Rows(rows), "a/|b/|c/|d/");
    TEditorStringList empty;
    WrapText("", false, Rules(), empty);
    EXPECT_EQ(empty.Count(), 0);
    EXPECT_EQ(CountTextRows("x\r\n" + std::string(85, 'y'), true, Rules()), 3);
}

TEST(EditorWrap, TurningWrapOnAndOffKeepsTextAndMarks)
{
    TEditorModel editor;
    editor.SetText(std::string(100, 'a') + "\r\nshort\r\n" + std::string(160, 'b'));
    editor.PutMark(0, 3);
    editor.PutMark(2, 11);
    editor.SetWordWrap(true);
    EXPECT_EQ(Rows(editor), Repeat("a", 80) + "~|" + Repeat("a", 20) + "/|short/|" + Repeat("b", 80) + "~|" +
                                Repeat("b", 80) + "~|$");
    EXPECT_EQ(editor.RowMarks(0), 1u << 3);
    EXPECT_EQ(editor.RowMarks(3), 1u << 11);
    EXPECT_EQ(editor.Lines()->Count(), 3);
    // Marks on continuation rows join the line's row when wrap goes off.
    editor.PutMark(4, 12);
    editor.SetWordWrap(false);
    EXPECT_EQ(Rows(editor), Repeat("a", 100) + "/|short/|" + Repeat("b", 160) + "$");
    EXPECT_EQ(editor.RowMarks(2), (1u << 11) | (1u << 12));
}

TEST(EditorWrap, ChangingAnOptionRewrapsAndForgetsUndo)
{
    TEditorModel editor;
    editor.SetWordWrap(true);
    editor.SetText(std::string(70, 'a') + " " + std::string(20, 'b'));
    editor.SetSelStart(0);
    editor.SetSelText("x");
    EXPECT_TRUE(editor.CanUndo());
    editor.WrapOption()->SetWordBreak(true);
    EXPECT_EQ(Rows(editor), "x" + Repeat("a", 70) + " ~|" + Repeat("b", 20) + "$");
    EXPECT_FALSE(editor.CanUndo());
    const std::string text = editor.Text();
    editor.WrapOption()->SetWrapByte(30);
    EXPECT_EQ(editor.Text(), text);
    EXPECT_EQ(editor.Lines()->Count(), 1);
    for (int r = 0; r < editor.RowCount(); ++r)
        EXPECT_LE(editor.RowWidth(r), 30);
}

} // namespace
