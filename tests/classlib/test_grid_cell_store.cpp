// The string grid's compact cell storage against a plain table of strings: every change the grid
// makes (writes, clears, resizing, moving rows and columns) must leave the same texts.
#include "classlib/grid_cell_store.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using classlib::GridCellStore;

namespace {

using Table = std::vector<std::vector<std::string>>;  // [col][row]

void Resize(Table &table, int cols, int rows)
{
    table.resize(static_cast<std::size_t>(cols));
    for (auto &column : table) column.resize(static_cast<std::size_t>(rows));
}

void ExpectSame(const GridCellStore &store, const Table &table)
{
    std::size_t bytes = 0;
    ASSERT_EQ(store.ColCount(), static_cast<int>(table.size()));
    for (int c = 0; c < store.ColCount(); ++c) {
        ASSERT_EQ(store.RowCount(), static_cast<int>(table[c].size()));
        for (int r = 0; r < store.RowCount(); ++r) {
            ASSERT_EQ(store.Get(c, r), table[c][r]) << "cell " << c << "," << r;
            bytes += table[c][r].size();
        }
    }
    EXPECT_EQ(store.TextBytes(), bytes);
}

std::string RandomText(std::mt19937 &random)
{
    // Mostly short texts, some empty, some at and past the one-byte length limit.
    static const int lengths[] = {0, 0, 1, 3, 8, 20, 254, 255, 256, 1000};
    const int length = lengths[random() % std::size(lengths)];
    std::string text(static_cast<std::size_t>(length), 'x');
    for (char &ch : text) ch = static_cast<char>('a' + random() % 26);
    return text;
}

} // namespace

TEST(GridCellStore, SequentialFillReadsBack)
{
    GridCellStore store;
    store.SetColCount(3);
    Table table;
    Resize(table, 3, 0);
    for (int r = 0; r < 1000; ++r) {
        store.SetRowCount(r + 1);
        Resize(table, 3, r + 1);
        for (int c = 0; c < 3; ++c) {
            const std::string text = std::to_string(r * 7 + c) + (r % 50 == 0 ? std::string(300, 'L') : "");
            store.Set(c, r, text);
            table[c][r] = text;
        }
    }
    ExpectSame(store, table);
}

TEST(GridCellStore, RandomEditsMatchPlainTable)
{
    std::mt19937 random(20261207);
    GridCellStore store;
    Table table;
    store.SetColCount(4);
    store.SetRowCount(70);
    Resize(table, 4, 70);
    for (int step = 0; step < 20000; ++step) {
        const int op = static_cast<int>(random() % 100);
        const int cols = store.ColCount();
        const int rows = store.RowCount();
        if (op < 80 && cols > 0 && rows > 0) {
            const int c = static_cast<int>(random() % cols);
            const int r = static_cast<int>(random() % rows);
            const std::string text = RandomText(random);
            store.Set(c, r, text);
            table[c][r] = text;
        } else if (op < 88) {
            const int n = static_cast<int>(random() % 90);
            store.SetRowCount(n);
            Resize(table, cols, n);
        } else if (op < 91) {
            const int n = 1 + static_cast<int>(random() % 6);
            store.SetColCount(n);
            Resize(table, n, rows);
        } else if (op < 96 && rows > 1) {
            const int from = static_cast<int>(random() % rows);
            const int to = static_cast<int>(random() % rows);
            store.MoveRow(from, to);
            for (auto &column : table) {
                std::string moved = column[from];
                column.erase(column.begin() + from);
                column.insert(column.begin() + to, moved);
            }
        } else if (op < 99 && cols > 1) {
            const int from = static_cast<int>(random() % cols);
            const int to = static_cast<int>(random() % cols);
            store.MoveColumn(from, to);
            auto moved = table[from];
            table.erase(table.begin() + from);
            table.insert(table.begin() + to, moved);
        } else {
            store.Clear();
            for (auto &column : table)
                for (auto &cell : column) cell.clear();
        }
        if (step % 500 == 0) ExpectSame(store, table);
        if (HasFatalFailure()) return;
    }
    ExpectSame(store, table);
}

TEST(GridCellStore, OutsideCellsReadEmptyAndIgnoreWrites)
{
    GridCellStore store;
    store.SetColCount(2);
    store.SetRowCount(2);
    store.Set(2, 0, "x");
    store.Set(0, 2, "x");
    store.Set(-1, 0, "x");
    EXPECT_EQ(store.Get(2, 0), "");
    EXPECT_EQ(store.Get(0, -1), "");
    EXPECT_EQ(store.TextBytes(), 0u);
}

TEST(GridCellStore, MaxTextLengthCountsBytesIncludingLongTexts)
{
    GridCellStore store;
    store.SetColCount(2);
    store.SetRowCount(40);
    store.Set(0, 3, "abcd");
    store.Set(0, 39, std::string(600, 'z'));
    store.Set(1, 20, "\x82\xa0\x82\xa2");  // two double-byte characters: 4 bytes
    EXPECT_EQ(store.MaxTextLength(0), 600u);
    EXPECT_EQ(store.MaxTextLength(1), 4u);
    EXPECT_EQ(store.MaxTextLength(2), 0u);
}

// Rewriting every cell many times must not let the space of old texts pile up.
TEST(GridCellStore, RewritesReclaimTheirSpace)
{
    GridCellStore store;
    store.SetColCount(2);
    store.SetRowCount(5000);
    for (int pass = 0; pass < 20; ++pass) {
        for (int r = 4999; r >= 0; --r) store.Set(pass % 2, r, std::to_string(pass * 100000 + r));
    }
    EXPECT_EQ(store.Get(1, 1234), std::to_string(19 * 100000 + 1234));
    EXPECT_LT(store.MemoryBytes(), 3 * store.TextBytes() + 64 * 1024);
}

TEST(GridCellStore, ShortCellsCostLittleMoreThanTheirText)
{
    GridCellStore store;
    store.SetColCount(5);
    store.SetRowCount(200000);
    for (int r = 0; r < 200000; ++r)
        for (int c = 0; c < 5; ++c) store.Set(c, r, "ABCDEFGH");
    EXPECT_EQ(store.TextBytes(), 200000u * 5 * 8);
    EXPECT_LT(store.MemoryBytes(), store.TextBytes() * 3 / 2);
}
