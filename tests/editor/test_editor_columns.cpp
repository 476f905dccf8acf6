// Column arithmetic: attribute strings, their cursor, and the conversions between columns,
// bytes, widths and tab-expanded text.
#include "editor/attribute_string.h"
#include "editor_test_support.h"

#include <gtest/gtest.h>

using namespace editor;
using namespace editor_test;

namespace {

const TColumnRules Tab4{4, false, 80};

TEST(EditorColumns, AttributeStringClassesEachColumn)
{
    // 'a', tab to column 4, a double-byte character, a space, '_' and a half-width katakana.
    const std::string text = "a\t" + Hira + " _\xB1";
    EXPECT_EQ(TAttributeString(text, Tab4).Classes(), "1233" "45" "2" "1" "1");
    // Delimiters include 0x80, half-width punctuation 0xA1 and 0xFD; not digits or letters.
    EXPECT_EQ(TAttributeString("\x80\xA1\xFD" "0zZ", Tab4).Classes(), "222111");
}

TEST(EditorColumns, TrailBytesThatLookLikeAsciiStayInTheirCharacter)
{
    // 0x5C after a lead byte is the kanji's second half, not a backslash delimiter.
    EXPECT_EQ(TAttributeString(Hyou + "\\", Tab4).Classes(), "452");
    // A lead byte at the end of the row, or before NUL, is a single byte.
    EXPECT_EQ(TAttributeString("a\x82", Tab4).Classes(), "11");
    EXPECT_EQ(TAttributeString(std::string("\x82\0", 2), Tab4).Classes(), "12");
}

TEST(EditorColumns, AttributeStringIsCappedAndTabsStopAtTheRowWidthUnderWrap)
{
    const std::string longRow(5000, 'x');
    EXPECT_EQ(TAttributeString(longRow, Tab4).Columns(), 1000);
    const TColumnRules wrap{8, true, 20};
    EXPECT_EQ(TAttributeString(longRow, wrap).Columns(), 23);
    // A tab at column 18 would run to 24 with 8-column stops; under wrap it ends at column 20.
    EXPECT_EQ(TAttributeString(std::string(18, 'a') + "\tb", wrap).Classes().substr(18), "231");
    EXPECT_EQ(RowWidth(std::string(18, 'a') + "\t", wrap), 20);
    EXPECT_EQ(RowWidth(std::string(18, 'a') + "\t", {8, false, 20}), 24);
}

TEST(EditorColumns, CursorStepsColumnsAndBytes)
{
    const std::string text = "a\t" + Hira;
    const TAttributeString attributes(text, Tab4);
    TAttributeCursor cursor(text, attributes);
    cursor.MoveTo(1);
    EXPECT_EQ(cursor.ByteIndex(), 1);
    cursor.Right();  // onto the tab
    EXPECT_EQ(cursor.ByteIndex(), 2);
    cursor.Right();  // fill columns keep the tab's byte
    cursor.Right();
    EXPECT_EQ(cursor.ByteIndex(), 2);
    EXPECT_EQ(cursor.Char(), "\t");
    cursor.Right();  // first column of the double-byte character
    EXPECT_EQ(cursor.ByteIndex(), 3);
    EXPECT_EQ(cursor.Char(), Hira);
    cursor.Right();
    EXPECT_EQ(cursor.Char(), Hira);
    cursor.Right();
    EXPECT_TRUE(cursor.AtEnd());
    cursor.MoveTo(2);  // back over the fill columns to the tab
    EXPECT_EQ(cursor.ByteIndex(), 2);
    cursor.Left();
    EXPECT_EQ(cursor.ByteIndex(), 1);
}

TEST(EditorColumns, ColumnsAndBytesConvertBothWays)
{
    const std::string text = "ab\t" + Hira + "c";  // columns: a0 b1 tab2-3 hira4-5 c6
    EXPECT_EQ(RowWidth(text, Tab4), 7);
    EXPECT_EQ(ColumnToByte(text, 0, Tab4), 0);
    EXPECT_EQ(ColumnToByte(text, 2, Tab4), 2);
    EXPECT_EQ(ColumnToByte(text, 3, Tab4), 3);  // fill columns are not counted as bytes
    EXPECT_EQ(ColumnToByte(text, 4, Tab4), 3);
    EXPECT_EQ(ColumnToByte(text, 6, Tab4), 5);
    EXPECT_EQ(ColumnToByte(text, 7, Tab4), 6);
    EXPECT_EQ(ColumnToByte(text, 50, Tab4), 6);  // never past the row
    EXPECT_EQ(ByteToColumn(text, 3, Tab4), 4);
    EXPECT_EQ(ByteToColumn(text, 4, Tab4), 4);  // the trail byte's character starts at 4
    EXPECT_EQ(ByteToColumn(text, 5, Tab4), 6);
    EXPECT_EQ(ByteToColumn(text, 99, Tab4), 7);
}

TEST(EditorColumns, IndentationWidth)
{
    EXPECT_EQ(IndentWidth("", Tab4), -1);
    EXPECT_EQ(IndentWidth("x", Tab4), 0);
    EXPECT_EQ(IndentWidth("  \t x", Tab4), 5);
    EXPECT_EQ(IndentWidth(Zenkaku + " " + Hira, Tab4), 3);
    EXPECT_EQ(IndentWidth("   ", Tab4), 3);
    // Under wrap a tab stops at the row width.
    EXPECT_EQ(IndentWidth(std::string(18, ' ') + "\t", {8, true, 20}), 20);
}

TEST(EditorColumns, ExpandedTextReplacesTabsBySpacesToTheStop)
{
    EXPECT_EQ(ExpandTabs("a\tb" + Hira + "\tc", Tab4), "a   b" + Hira + " c");
    EXPECT_EQ(ExpandTabs("\t", Tab4), "    ");
}

} // namespace
