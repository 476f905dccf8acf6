// The string grid widget on the offscreen platform: fixed cells stay put while the rest scrolls,
// the keyboard and the mouse move the current cell and the selection, the owner-draw hook sees
// each cell's state, and the in-place editor writes what was typed.
#include "classlib/string_grid.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace {

// The application object made by the window tests' main().
QApplication &App()
{
    return *qApp;
}

struct AppFirst {
    AppFirst() { App(); }
};

// A shown 10 x 100 grid whose cells read "c,r"; rows 20 pixels plus the line, columns 50.
struct GridFixture : ::testing::Test, AppFirst {
    TStringGrid grid;
    GridFixture()
    {
        grid.SetColCount(10);
        grid.SetRowCount(100);
        grid.SetDefaultRowHeight(20);
        grid.SetDefaultColWidth(50);
        for (int r = 0; r < 100; ++r)
            for (int c = 0; c < 10; ++c) grid.SetCells(c, r, std::to_string(c) + "," + std::to_string(r));
        grid.resize(320, 240);
        grid.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&grid));
        grid.setFocus();
    }
    QPoint CellCentre(int col, int row) const { return grid.CellRect(col, row).center(); }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&grid, static_cast<Qt::Key>(key), modifiers);
    }
};

} // namespace

TEST_F(GridFixture, FixedRowAndColumnStayWhileTheRestScrolls)
{
    grid.SetTopRow(50);
    grid.SetLeftCol(3);
    EXPECT_EQ(grid.CellRect(0, 0).topLeft(), QPoint(0, 0));
    EXPECT_EQ(grid.CellRect(0, 50).topLeft(), QPoint(0, 21));
    EXPECT_EQ(grid.CellRect(3, 0).topLeft(), QPoint(51, 0));
    EXPECT_TRUE(grid.CellRect(1, 10).isEmpty()) << "scrolled out of view";
    int col, row;
    ASSERT_TRUE(grid.MouseToCell(QPoint(10, 25), col, row));
    EXPECT_EQ(std::pair(col, row), std::pair(0, 50));
    ASSERT_TRUE(grid.MouseToCell(QPoint(60, 5), col, row));
    EXPECT_EQ(std::pair(col, row), std::pair(3, 0));
}

TEST_F(GridFixture, ScrollingStopsWithTheLastRowInView)
{
    grid.SetTopRow(1000);
    EXPECT_LT(grid.TopRow(), 100);
    EXPECT_EQ(grid.TopRow() + grid.VisibleRowCount(), 100);
}

TEST_F(GridFixture, ArrowsHomeEndAndPagesMoveTheCurrentCell)
{
    EXPECT_EQ(std::pair(grid.Col(), grid.Row()), std::pair(1, 1));
    Key(Qt::Key_Down);
    Key(Qt::Key_Right);
    EXPECT_EQ(std::pair(grid.Col(), grid.Row()), std::pair(2, 2));
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    EXPECT_EQ(grid.Row(), 1) << "the fixed row is never current";
    Key(Qt::Key_End);
    EXPECT_EQ(std::pair(grid.Col(), grid.Row()), std::pair(9, 1));
    Key(Qt::Key_Home);
    EXPECT_EQ(grid.Col(), 1);
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(std::pair(grid.Col(), grid.Row()), std::pair(9, 99));
    EXPECT_GT(grid.TopRow(), 1) << "the current cell is scrolled into view";
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(std::pair(grid.Col(), grid.Row()), std::pair(1, 1));
    EXPECT_EQ(grid.TopRow(), 1);
    const int page = grid.VisibleRowCount();
    Key(Qt::Key_PageDown);
    EXPECT_EQ(grid.Row(), 1 + page);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(grid.Row(), 1);
}

TEST_F(GridFixture, ShiftExtendsTheSelectionOnlyWithRangeSelect)
{
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (TGridRect{1, 1, 2, 2}));
    Key(Qt::Key_Down);
    EXPECT_EQ(grid.Selection(), (TGridRect{2, 3, 2, 3}));

    grid.SetOptions(grid.Options() & ~TGridOptions(goRangeSelect));
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (TGridRect{2, 4, 2, 4}));

    grid.SetOptions(grid.Options() | goRowSelect);
    EXPECT_EQ(grid.Selection(), (TGridRect{1, 4, 9, 4}));
}

TEST_F(GridFixture, ClickShiftClickAndDragSelect)
{
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(2, 3));
    EXPECT_EQ(std::pair(grid.Col(), grid.Row()), std::pair(2, 3));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCentre(4, 5));
    EXPECT_EQ(grid.Selection(), (TGridRect{2, 3, 4, 5}));

    QTest::mousePress(grid.viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(3, 6));
    QMouseEvent move(QEvent::MouseMove, CellCentre(1, 4), grid.viewport()->mapToGlobal(CellCentre(1, 4)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &move);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(1, 4));
    EXPECT_EQ(grid.Selection(), (TGridRect{1, 4, 3, 6}));

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(5, 0));
    EXPECT_EQ(std::pair(grid.Col(), grid.Row()), std::pair(1, 4)) << "a click on a fixed cell selects nothing";
}

TEST_F(GridFixture, SelectCellHookCanRefuseACell)
{
    grid.OnSelectCell = [](int col, int, bool &can) { can = col != 2; };
    Key(Qt::Key_Right);
    EXPECT_EQ(grid.Col(), 1);
}

TEST_F(GridFixture, DrawHookSeesFixedSelectedAndFocusedStates)
{
    grid.SetSelection(TGridRect{1, 1, 2, 2});  // current cell 2,2
    std::map<std::pair<int, int>, TGridDrawState> states;
    grid.OnDrawCell = [&](QPainter &, int col, int row, const QRect &, TGridDrawState state) {
        states[{col, row}] = state;
    };
    grid.repaint();
    grid.viewport()->repaint();
    ASSERT_FALSE(states.empty());
    EXPECT_EQ((states[{0, 0}]), TGridDrawState(gdFixed));
    EXPECT_EQ((states[{3, 0}]), TGridDrawState(gdFixed));
    EXPECT_EQ((states[{1, 1}]), TGridDrawState(gdSelected));
    EXPECT_EQ((states[{2, 2}]), gdSelected | gdFocused);
    EXPECT_EQ((states[{3, 3}]), TGridDrawState());
}

TEST_F(GridFixture, RedrawOffSuppressesPaintingUntilSwitchedOn)
{
    int painted = 0;
    grid.OnDrawCell = [&](QPainter &, int, int, const QRect &, TGridDrawState) { ++painted; };
    grid.SetRedraw(false);
    grid.Repaint();
    grid.viewport()->repaint();
    EXPECT_EQ(painted, 0);
    grid.SetRedraw(true);
    grid.Repaint();
    EXPECT_GT(painted, 0);
}

TEST_F(GridFixture, InPlaceEditorWritesOnEnterAndCancelsOnEscape)
{
    grid.SetOptions(grid.Options() | goEditing);
    std::vector<std::string> committed;
    grid.OnSetEditText = [&](int, int, const std::string &text) { committed.push_back(text); };
    QTest::keyClicks(&grid, "a");
    ASSERT_TRUE(grid.EditorMode());
    QLineEdit *editor = grid.InplaceEditor();
    EXPECT_EQ(editor->text(), "a") << "a typed key replaces the text";
    QTest::keyClicks(editor, "b");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(grid.Cells(1, 1), "ab");
    EXPECT_EQ(committed, std::vector<std::string>{"ab"});

    Key(Qt::Key_F2);
    ASSERT_TRUE(grid.EditorMode());
    EXPECT_EQ(editor->text(), "ab");
    QTest::keyClicks(editor, "zzz");
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(grid.Cells(1, 1), "ab");

    // An arrow key in the editor keeps the text and moves on.
    Key(Qt::Key_F2);
    editor->insert(QString::fromUtf8("\xe6\x97\xa5"));  // a kanji, stored as code page 932
    QTest::keyClick(editor, Qt::Key_Down);
    EXPECT_EQ(grid.Cells(1, 1), "\x93\xfa");
    EXPECT_EQ(grid.Row(), 2);
}

TEST_F(GridFixture, EditorKeyHookConsumesKeys)
{
    grid.SetOptions(grid.Options() | goEditing);
    grid.OnEditorKeyDown = [](QKeyEvent &event) { return event.key() == Qt::Key_Return; };
    Key(Qt::Key_F2);
    QTest::keyClick(grid.InplaceEditor(), Qt::Key_Return);
    EXPECT_TRUE(grid.EditorMode());
}

TEST_F(GridFixture, DraggingAHeaderLineResizesTheColumn)
{
    grid.SetOptions(grid.Options() | goColSizing);
    const QPoint edge(grid.CellRect(1, 0).right() + 1, 5);
    QTest::mousePress(grid.viewport(), Qt::LeftButton, Qt::NoModifier, edge);
    QMouseEvent move(QEvent::MouseMove, edge + QPoint(30, 0), grid.viewport()->mapToGlobal(edge + QPoint(30, 0)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &move);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, Qt::NoModifier, edge + QPoint(30, 0));
    EXPECT_EQ(grid.ColWidths(1), 80);
}

TEST_F(GridFixture, ShrinkingKeepsTheCurrentCellInside)
{
    Key(Qt::Key_End, Qt::ControlModifier);
    grid.SetRowCount(5);
    grid.SetColCount(3);
    EXPECT_EQ(std::pair(grid.Col(), grid.Row()), std::pair(2, 4));
    EXPECT_EQ(grid.Cells(2, 4), "2,4");
    EXPECT_EQ(grid.Cells(5, 4), "");
    EXPECT_EQ(grid.TopRow(), 1);
}

TEST_F(GridFixture, MovingAColumnTakesItsWidthAlong)
{
    grid.SetColWidths(2, 77);
    grid.MoveColumn(2, 5);
    EXPECT_EQ(grid.Cells(5, 7), "2,7");
    EXPECT_EQ(grid.Cells(2, 7), "3,7");
    EXPECT_EQ(grid.ColWidths(5), 77);
    EXPECT_EQ(grid.ColWidths(2), 50);
}
