// The grid filler: cell texts by field type (rounding halves to even, Japanese short dates, nulls),
// emptying a grid, column sizing at 10 pixels per byte, and whole fills from the engine.
#include "app/grid_filler.h"

#include "classlib/string_grid.h"
#include "db/session_factory.h"
#include "localdb/localdb.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace {

// The application object made by the window tests' main().
QApplication &App()
{
    return *qApp;
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

namespace {

// A fresh engine database with a small table, for filling grids from real dynasets.
class FillFromEngine : public GridFillerFixture {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/kestrim-filler-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        const std::string path = (folder_ / "test.kdb").string();
        localdb::Session::createDatabase(path, "MANAGER");
        database_ = db::CreateSessionObject(db::kSessionProgId)->OpenDatabase(path, "system/manager", 0);
    }
    void TearDown() override
    {
        database_.reset();
        std::filesystem::remove_all(folder_);
    }
    std::shared_ptr<db::OraDynaset> Query(const std::string &sql) { return database_->DbCreateDynaset(sql, 8); }

    std::filesystem::path folder_;
    std::shared_ptr<db::OraDatabase> database_;
    TStringGrid grid_;
};

} // namespace

TEST_F(FillFromEngine, HeaderRowNumbersAndFormattedValues)
{
    database_->DbExecuteSQL("create table emp (empno number(4), ename varchar2(20), hired date, sal number(7,2), "
                            "code raw(4))");
    database_->DbExecuteSQL("insert into emp values (7369, '\x8e\x52\x93\x63', "
                            "to_date('1980-12-17 09:30:05', 'YYYY-MM-DD HH24:MI:SS'), 12.5, hextoraw('0AFF'))");
    database_->DbExecuteSQL("insert into emp values (7499, null, to_date('1981-02-20', 'YYYY-MM-DD'), 13.5, null)");
    const int records = app::FillGridFromDynaset(Query("select * from emp order by empno"), grid_);
    EXPECT_EQ(records, 2);
    ASSERT_EQ(grid_.ColCount(), 6);
    ASSERT_EQ(grid_.RowCount(), 3);
    const std::vector<std::vector<std::string>> expected = {
        {"", "EMPNO", "ENAME", "HIRED", "SAL", "CODE"},
        {"1", "7369", "\x8e\x52\x93\x63", "1980/12/17 09:30:05", "12", "0AFF"},
        {"2", "7499", "", "1981/02/20", "14", ""},
    };
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 6; ++c) EXPECT_EQ(grid_.Cells(c, r), expected[r][c]) << c << "," << r;
    EXPECT_EQ(grid_.ColWidths(3), 190) << "sized after the fill";
    EXPECT_TRUE(grid_.Redraw()) << "painting is on again";
}

TEST_F(FillFromEngine, AnEmptyResultLeavesTheHeaderAndOneEmptyRow)
{
    database_->DbExecuteSQL("create table t (a_long_name varchar2(10), b number)");
    grid_.SetDefaultColWidth(64);
    EXPECT_EQ(app::FillGridFromDynaset(Query("select * from t"), grid_), 0);
    EXPECT_EQ(grid_.RowCount(), 2);
    EXPECT_EQ(grid_.Cells(0, 1), "");
    EXPECT_EQ(grid_.Cells(1, 1), "");
    EXPECT_EQ(grid_.ColWidths(0), 64) << "the row-number column is empty in every row";
    EXPECT_EQ(grid_.ColWidths(1), 110);
    EXPECT_EQ(grid_.ColWidths(2), 10);
}

TEST_F(FillFromEngine, ACancelStopsAfterTheCurrentHundredAndKeepsTheRows)
{
    database_->DbExecuteSQL("create table t (n number(9))");
    for (int i = 1; i <= 250; ++i) database_->DbExecuteSQL("insert into t values (" + std::to_string(i) + ")");
    std::vector<int> asked;
    bool messagesRan = false;
    QTimer::singleShot(0, [&] { messagesRan = true; });
    const int records = app::FillGridFromDynaset(Query("select n from t order by n"), grid_, [&](int n) {
        asked.push_back(n);
        return n == 200;
    });
    EXPECT_EQ(records, 200);
    EXPECT_EQ(asked, (std::vector<int>{100, 200}));
    EXPECT_TRUE(messagesRan) << "window messages run before each check, so Esc can be seen";
    EXPECT_EQ(grid_.RowCount(), 201);
    EXPECT_EQ(grid_.Cells(1, 200), "200");
    EXPECT_EQ(grid_.ColWidths(1), 30) << "columns are sized after a cancel too";
}

TEST_F(FillFromEngine, TheGridClosedDuringTheFillStopsItSafely)
{
    database_->DbExecuteSQL("create table t (n number(9))");
    for (int i = 1; i <= 150; ++i) database_->DbExecuteSQL("insert into t values (" + std::to_string(i) + ")");
    auto *grid = new TStringGrid;
    const int records = app::FillGridFromDynaset(Query("select n from t"), *grid, [&](int) {
        delete grid;  // what a window closed while messages ran would do
        return false;
    });
    EXPECT_EQ(records, 100);

    // The same when the window goes while the filler itself lets messages run.
    auto *closing = new TStringGrid;
    QTimer::singleShot(0, [closing] { delete closing; });
    int checks = 0;
    EXPECT_EQ(app::FillGridFromDynaset(Query("select n from t"), *closing, [&](int) { return ++checks, false; }),
              100);
    EXPECT_EQ(checks, 0);
}
