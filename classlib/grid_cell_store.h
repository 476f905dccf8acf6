// Compact storage of a string grid's cells: code page 932 texts addressed by column and row,
// without a heap object per cell, so a grid of a million rows costs little more than its text.
//
// Each column keeps its texts in a few large byte blocks. Rows are taken in groups of 16: the
// texts of a group lie next to each other in one block, in row order, so a group is found by one
// reference (8 bytes) and a cell inside it by adding up the lengths before it. Each cell has one
// length byte (255 marks a text of 255 bytes or more, whose length then precedes it in the block
// as 4 bytes). A changed cell rewrites its group in place when the group is the last thing written
// to the column, else copies the group to the end; the space left behind is reclaimed when it
// grows larger than the live text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace classlib {

class GridCellStore {
public:
    GridCellStore() = default;
    GridCellStore(const GridCellStore &other) = delete;
    GridCellStore &operator=(const GridCellStore &other) = delete;

    int ColCount() const { return static_cast<int>(columns_.size()); }
    int RowCount() const { return rowCount_; }
    // Cells outside the new size are dropped; new cells are empty.
    void SetColCount(int count);
    void SetRowCount(int count);

    // The text of a cell; empty outside the grid. The view stays valid until the store changes.
    std::string_view Get(int col, int row) const;
    // Cells outside the grid are ignored.
    void Set(int col, int row, std::string_view text);
    // Length in bytes of the longest text in a column (0 for an empty or unknown column).
    std::size_t MaxTextLength(int col) const;
    // Every cell empty, size kept.
    void Clear();

    // Moves column from to position to, the columns between shifting by one.
    void MoveColumn(int from, int to);
    // Moves row from to position to, the rows between shifting by one.
    void MoveRow(int from, int to);

    // Bytes of text held (the sum of all cell lengths) and bytes of memory the store uses for it.
    std::size_t TextBytes() const { return textBytes_; }
    std::size_t MemoryBytes() const;

private:
    struct Block {
        std::unique_ptr<char[]> data;
        std::uint32_t used = 0;
        std::uint32_t capacity = 0;
    };
    struct GroupRef {
        std::uint32_t block = 0;
        std::uint32_t offset = 0;
    };
    struct Column {
        std::vector<std::uint8_t> lengths;  // one per row
        std::vector<GroupRef> groups;       // one per 16 rows
        std::vector<Block> blocks;          // the last one is where new bytes go
        std::size_t liveBytes = 0;          // bytes of the blocks that groups still use
        std::size_t deadBytes = 0;          // bytes left behind by rewritten groups
        int tailGroup = -1;                 // the group whose bytes end the last block, if known
    };

    static std::size_t StoredSize(const Column &column, const char *at, int row);
    static const char *GroupStart(const Column &column, int group);
    static char *Allocate(Column &column, std::size_t size, GroupRef &ref);
    void Compact(Column &column) const;
    void ResizeColumn(Column &column, int rows) const;

    std::vector<Column> columns_;
    int rowCount_ = 0;
    std::size_t textBytes_ = 0;
};

} // namespace classlib
