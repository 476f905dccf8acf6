// The grid filler: cell texts by field type (rounding halves to even, Japanese short dates, nulls),
// emptying a grid, and column sizing at 10 pixels per byte.
#include "app/grid_filler.h"

#include "classlib/string_grid.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cmath>

namespace {

QApplication &App()
{
    static int argc = 1;
    static char name[] = "test_grid_filler";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

std::string Cell(int type, const db::Variant &value)
{
    bool hasText = false;
    std::string text = app::FieldCellText(type, value, hasText);
    EXPECT_TRUE(hasText) << "type " << type;
    return text;
}

} // namespace

TEST(FieldCellText, NumbersRoundHalvesToTheEvenNeighbour)
{
    struct Case {
        double value;
        const char *text;
    } cases[] = {{12.5, "12"}, {13.5, "14"}, {0.5, "0"}, {1.5, "2"}, {-2.5, "-2"}, {-0.4, "0"},
                 {2.4999, "2"}, {1234567.6, "1234568"}, {1e20, "100000000000000000000"}};
    for (int type : {3, 4, 7}) {
        for (const Case &c : cases) EXPECT_EQ(Cell(type, c.value), c.text) << c.value << " type " << type;
        EXPECT_EQ(Cell(type, std::int64_t{-9000000000}), "-9000000000");
        EXPECT_EQ(Cell(type, std::string("7.5")), "8") << "a number that arrives as text";
        EXPECT_EQ(Cell(type, db::Variant{}), "");
    }
    EXPECT_EQ(Cell(7, std::nan("")), "") << "not a number shows nothing rather than garbage";
}

TEST(FieldCellText, DatesShowTheTimeOnlyWhenNotMidnight)
{
    EXPECT_EQ(Cell(8, db::DateTime{2024, 1, 5, 0, 0, 0}), "2024/01/05");
    EXPECT_EQ(Cell(8, db::DateTime{1981, 12, 31, 23, 5, 9}), "1981/12/31 23:05:09");
    EXPECT_EQ(Cell(8, db::DateTime{2000, 2, 29, 0, 0, 1}), "2000/02/29 00:00:01");
    EXPECT_EQ(Cell(8, db::DateTime{12, 3, 4, 0, 0, 0}), "0012/03/04");
}

TEST(FieldCellText, TextMemoAndBinaryShowTheirTextForm)
{
    EXPECT_EQ(Cell(10, std::string("\x93\xfa\x96\x7b")), "\x93\xfa\x96\x7b");
    EXPECT_EQ(Cell(12, std::string("memo")), "memo");
    EXPECT_EQ(Cell(10, db::Variant{}), "") << "a null is an empty cell, not the text of a null";
    EXPECT_EQ(Cell(11, db::Bytes{{0x00, 0xAB, 0x7F}}), "00AB7F");
    EXPECT_EQ(Cell(10, 0.1 + 0.2), "0.3") << "doubles show up to 15 significant digits";
    EXPECT_EQ(Cell(10, 1e20), "1E20");
    EXPECT_EQ(Cell(10, 1.5e-7), "1.5E-7");
    EXPECT_EQ(Cell(10, std::int64_t{42}), "42");
}

TEST(FieldCellText, OtherTypeCodesWriteNothing)
{
    for (int type : {0, 1, 2, 5, 6, 9, 13, 99}) {
        bool hasText = true;
        EXPECT_EQ(app::FieldCellText(type, std::string("x"), hasText), "");
        EXPECT_FALSE(hasText) << type;
    }
}

struct GridFillerFixture : ::testing::Test {
    GridFillerFixture() { App(); }
};

TEST_F(GridFillerFixture, ClearGridEmptiesEveryCellAndLeavesTwoByTwo)
{
    TStringGrid grid;
    grid.SetColCount(4);
    grid.SetRowCount(6);
    grid.SetCells(0, 0, "fixed");
    grid.SetCells(3, 5, "data");
    app::ClearGrid(grid);
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.CellStore().TextBytes(), 0u);
    grid.SetColCount(4);
    grid.SetRowCount(6);
    EXPECT_EQ(grid.Cells(3, 5), "") << "cells dropped by shrinking do not come back";
}

TEST_F(GridFillerFixture, ColumnsAreTenPixelsPerByteOfTheLongestText)
{
    TStringGrid grid;
    grid.SetDefaultColWidth(64);
    grid.SetColCount(4);
    grid.SetRowCount(3);
    grid.SetCells(1, 0, "NAME");
    grid.SetCells(1, 2, "twelve bytes");
    grid.SetCells(2, 0, "\x8a\xbf\x8e\x9a");  // two double-byte characters: 4 bytes
    grid.SetCells(0, 1, "1");
    QFont font = grid.font();
    font.setPixelSize(15);
    grid.setFont(font);
    app::AutoSizeGridColumns(grid);
    EXPECT_EQ(grid.ColWidths(0), 10);
    EXPECT_EQ(grid.ColWidths(1), 120);
    EXPECT_EQ(grid.ColWidths(2), 40);
    EXPECT_EQ(grid.ColWidths(3), 64) << "an empty column keeps the default width";
    EXPECT_EQ(grid.DefaultRowHeight(), 19);
}
