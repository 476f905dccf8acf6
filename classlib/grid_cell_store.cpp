// Compact cell storage of the string grid: blocks of bytes per column, groups of 16 rows.
#include "classlib/grid_cell_store.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

namespace classlib {

namespace {
constexpr int kGroupShift = 4;  // 16 rows per group
constexpr int kGroupRows = 1 << kGroupShift;
constexpr std::uint8_t kLongText = 255;
constexpr std::uint32_t kMinBlock = 256;
constexpr std::uint32_t kMaxBlock = 1u << 20;
// Texts longer than this are cut: a block offset is 32 bits.
constexpr std::size_t kMaxText = std::numeric_limits<std::uint32_t>::max() / 2;

std::size_t EncodedSize(std::size_t textSize)
{
    if (textSize == 0) return 0;
    return textSize < kLongText ? textSize : textSize + 4;
}

int GroupCount(int rows) { return (rows + kGroupRows - 1) >> kGroupShift; }
} // namespace

// Bytes the cell of row takes in its block, its text starting at `at` (read only for long texts).
std::size_t GridCellStore::StoredSize(const Column &column, const char *at, int row)
{
    const std::uint8_t length = column.lengths[static_cast<std::size_t>(row)];
    if (length != kLongText) return length;
    std::uint32_t n;
    std::memcpy(&n, at, 4);
    return std::size_t{n} + 4;
}

const char *GridCellStore::GroupStart(const Column &column, int group)
{
    const GroupRef ref = column.groups[static_cast<std::size_t>(group)];
    return column.blocks[ref.block].data.get() + ref.offset;
}

char *GridCellStore::Allocate(Column &column, std::size_t size, GroupRef &ref)
{
    if (column.blocks.empty() || column.blocks.back().capacity - column.blocks.back().used < size) {
        const std::uint32_t last = column.blocks.empty() ? 0 : column.blocks.back().capacity;
        const std::size_t grown = std::min<std::size_t>(kMaxBlock, std::max<std::size_t>(kMinBlock, 2 * std::size_t{last}));
        Block block;
        block.capacity = static_cast<std::uint32_t>(std::max(size, grown));
        block.data = std::make_unique_for_overwrite<char[]>(block.capacity);
        column.blocks.push_back(std::move(block));
    }
    Block &block = column.blocks.back();
    ref.block = static_cast<std::uint32_t>(column.blocks.size() - 1);
    ref.offset = block.used;
    block.used += static_cast<std::uint32_t>(size);
    return block.data.get() + ref.offset;
}

// Copies every group into fresh blocks, leaving the space of rewritten groups behind.
void GridCellStore::Compact(Column &column) const
{
    std::vector<Block> old = std::move(column.blocks);
    column.blocks.clear();
    column.tailGroup = -1;
    if (column.liveBytes > 0) {
        Block first;
        first.capacity = static_cast<std::uint32_t>(std::max<std::size_t>(column.liveBytes, kMinBlock));
        first.data = std::make_unique_for_overwrite<char[]>(first.capacity);
        column.blocks.push_back(std::move(first));
    }
    const int groups = GroupCount(static_cast<int>(column.lengths.size()));
    for (int g = 0; g < groups; ++g) {
        const int firstRow = g << kGroupShift;
        const int endRow = std::min(firstRow + kGroupRows, static_cast<int>(column.lengths.size()));
        const GroupRef ref = column.groups[static_cast<std::size_t>(g)];
        std::size_t size = 0;
        for (int r = firstRow; r < endRow; ++r) {
            if (column.lengths[static_cast<std::size_t>(r)] == 0) continue;
            size += StoredSize(column, old[ref.block].data.get() + ref.offset + size, r);
        }
        if (size == 0) continue;
        GroupRef moved;
        char *to = Allocate(column, size, moved);
        std::memcpy(to, old[ref.block].data.get() + ref.offset, size);
        column.groups[static_cast<std::size_t>(g)] = moved;
        column.tailGroup = g;
    }
    column.deadBytes = 0;
}

void GridCellStore::SetColCount(int count)
{
    count = std::max(count, 0);
    for (int c = count; c < ColCount(); ++c) {
        for (int r = 0; r < rowCount_; ++r) textBytes_ -= Get(c, r).size();
    }
    const int before = ColCount();
    columns_.resize(static_cast<std::size_t>(count));
    for (int c = before; c < count; ++c) ResizeColumn(columns_[static_cast<std::size_t>(c)], rowCount_);
}

void GridCellStore::SetRowCount(int count)
{
    count = std::max(count, 0);
    if (count < rowCount_) {
        for (int c = 0; c < ColCount(); ++c) {
            for (int r = count; r < rowCount_; ++r) {
                if (columns_[static_cast<std::size_t>(c)].lengths[static_cast<std::size_t>(r)] != 0)
                    textBytes_ -= Get(c, r).size();
            }
        }
    }
    for (Column &column : columns_) ResizeColumn(column, count);
    rowCount_ = count;
}

void GridCellStore::ResizeColumn(Column &column, int rows) const
{
    const int before = static_cast<int>(column.lengths.size());
    if (rows == before + 1) {
        // One more row, as a fill adds them.
        column.lengths.push_back(0);
        if ((before & (kGroupRows - 1)) == 0) column.groups.emplace_back();
        return;
    }
    if (rows < before) {
        // The bytes of dropped rows stay in their blocks until the next compaction.
        std::size_t dropped = 0;
        for (int g = rows >> kGroupShift; g < GroupCount(before); ++g) {
            const int firstRow = g << kGroupShift;
            const int endRow = std::min(firstRow + kGroupRows, before);
            std::size_t offset = 0;
            for (int r = firstRow; r < endRow; ++r) {
                if (column.lengths[static_cast<std::size_t>(r)] == 0) continue;
                const std::size_t size = StoredSize(column, GroupStart(column, g) + offset, r);
                offset += size;
                if (r >= rows) dropped += size;
            }
        }
        column.liveBytes -= dropped;
        column.deadBytes += dropped;
        column.tailGroup = -1;  // the bytes of dropped rows may end the last block
    }
    column.lengths.resize(static_cast<std::size_t>(rows), 0);
    column.groups.resize(static_cast<std::size_t>(GroupCount(rows)));
    if (rows == 0 || column.liveBytes == 0) {
        column.blocks.clear();
        column.liveBytes = column.deadBytes = 0;
        column.tailGroup = -1;
    } else if (column.deadBytes > column.liveBytes) {
        Compact(column);
    }
}

std::string_view GridCellStore::Get(int col, int row) const
{
    if (col < 0 || row < 0 || col >= ColCount() || row >= rowCount_) return {};
    const Column &column = columns_[static_cast<std::size_t>(col)];
    const std::uint8_t length = column.lengths[static_cast<std::size_t>(row)];
    if (length == 0) return {};
    const int group = row >> kGroupShift;
    const char *at = GroupStart(column, group);
    for (int r = group << kGroupShift; r < row; ++r) {
        if (column.lengths[static_cast<std::size_t>(r)] != 0) at += StoredSize(column, at, r);
    }
    if (length != kLongText) return {at, length};
    std::uint32_t n;
    std::memcpy(&n, at, 4);
    return {at + 4, n};
}

void GridCellStore::Set(int col, int row, std::string_view text)
{
    if (col < 0 || row < 0 || col >= ColCount() || row >= rowCount_) return;
    if (text.size() > kMaxText) text = text.substr(0, kMaxText);
    Column &column = columns_[static_cast<std::size_t>(col)];
    const int group = row >> kGroupShift;
    const int firstRow = group << kGroupShift;
    const int endRow = std::min(firstRow + kGroupRows, rowCount_);
    const std::size_t encoded = EncodedSize(text.size());

    // Filling row by row writes after the last cell of the group written last: append in place.
    if (group == column.tailGroup && encoded > 0) {
        bool restEmpty = true;
        for (int r = row; r < endRow && restEmpty; ++r) restEmpty = column.lengths[static_cast<std::size_t>(r)] == 0;
        Block &block = column.blocks.back();
        if (restEmpty && block.used + encoded <= block.capacity) {
            char *at = block.data.get() + block.used;
            if (text.size() >= kLongText) {
                const auto n = static_cast<std::uint32_t>(text.size());
                std::memcpy(at, &n, 4);
                at += 4;
            }
            std::memcpy(at, text.data(), text.size());
            block.used += static_cast<std::uint32_t>(encoded);
            column.liveBytes += encoded;
            column.lengths[static_cast<std::size_t>(row)] =
                static_cast<std::uint8_t>(text.size() < kLongText ? text.size() : kLongText);
            textBytes_ += text.size();
            return;
        }
    }

    // Where the cell sits in its group: bytes before it, its own, and bytes after it.
    bool anyBytes = false;
    for (int r = firstRow; r < endRow && !anyBytes; ++r) anyBytes = column.lengths[static_cast<std::size_t>(r)] != 0;
    const char *start = anyBytes ? GroupStart(column, group) : nullptr;
    std::size_t before = 0, own = 0, after = 0;
    std::size_t oldText = 0;
    if (anyBytes) {
        for (int r = firstRow; r < row; ++r) {
            if (column.lengths[static_cast<std::size_t>(r)] != 0) before += StoredSize(column, start + before, r);
        }
        if (column.lengths[static_cast<std::size_t>(row)] != 0) {
            own = StoredSize(column, start + before, row);
            oldText = own >= 4 && column.lengths[static_cast<std::size_t>(row)] == kLongText ? own - 4 : own;
        }
        for (int r = row + 1; r < endRow; ++r) {
            if (column.lengths[static_cast<std::size_t>(r)] != 0)
                after += StoredSize(column, start + before + own + after, r);
        }
    }
    const std::size_t oldTotal = before + own + after;
    const std::size_t newTotal = before + encoded + after;

    auto writeCell = [&](char *at) {
        if (text.size() >= kLongText) {
            const auto n = static_cast<std::uint32_t>(text.size());
            std::memcpy(at, &n, 4);
            at += 4;
        }
        if (!text.empty()) std::memcpy(at, text.data(), text.size());
    };

    GroupRef &ref = column.groups[static_cast<std::size_t>(group)];
    const bool atTail = anyBytes && ref.block + 1 == column.blocks.size() &&
                        ref.offset + oldTotal == column.blocks.back().used &&
                        ref.offset + newTotal <= column.blocks.back().capacity;
    if (atTail) {
        // The group is the last thing written to the column: grow or shrink it where it is.
        char *base = column.blocks.back().data.get() + ref.offset;
        std::memmove(base + before + encoded, base + before + own, after);
        writeCell(base + before);
        column.blocks.back().used = static_cast<std::uint32_t>(ref.offset + newTotal);
        column.liveBytes = column.liveBytes - oldTotal + newTotal;
        column.tailGroup = group;
    } else if (newTotal > 0) {
        GroupRef moved;
        char *to = Allocate(column, newTotal, moved);
        if (before) std::memcpy(to, start, before);
        writeCell(to + before);
        if (after) std::memcpy(to + before + encoded, start + before + own, after);
        ref = moved;
        column.tailGroup = group;
        column.deadBytes += oldTotal;
        column.liveBytes = column.liveBytes - oldTotal + newTotal;
    } else {
        column.deadBytes += oldTotal;
        column.liveBytes -= oldTotal;
    }
    column.lengths[static_cast<std::size_t>(row)] =
        static_cast<std::uint8_t>(text.size() < kLongText ? text.size() : kLongText);
    textBytes_ = textBytes_ - oldText + text.size();
    if (column.liveBytes == 0) {
        column.blocks.clear();
        column.deadBytes = 0;
        column.tailGroup = -1;
    } else if (column.deadBytes > column.liveBytes && column.deadBytes > 4096) {
        Compact(column);
    }
}

std::size_t GridCellStore::MaxTextLength(int col) const
{
    if (col < 0 || col >= ColCount()) return 0;
    const Column &column = columns_[static_cast<std::size_t>(col)];
    std::size_t longest = 0;
    for (int r = 0; r < rowCount_; ++r) {
        const std::uint8_t length = column.lengths[static_cast<std::size_t>(r)];
        // Short texts are measured by their length byte alone; long ones are looked up.
        longest = std::max<std::size_t>(longest, length == kLongText ? Get(col, r).size() : length);
    }
    return longest;
}

void GridCellStore::Clear()
{
    for (Column &column : columns_) {
        std::fill(column.lengths.begin(), column.lengths.end(), 0);
        column.blocks.clear();
        column.liveBytes = column.deadBytes = 0;
        column.tailGroup = -1;
    }
    textBytes_ = 0;
}

void GridCellStore::MoveColumn(int from, int to)
{
    if (from < 0 || to < 0 || from >= ColCount() || to >= ColCount() || from == to) return;
    auto first = columns_.begin();
    if (from < to)
        std::rotate(first + from, first + from + 1, first + to + 1);
    else
        std::rotate(first + to, first + from, first + from + 1);
}

void GridCellStore::MoveRow(int from, int to)
{
    if (from < 0 || to < 0 || from >= rowCount_ || to >= rowCount_ || from == to) return;
    const int low = std::min(from, to);
    const int high = std::max(from, to);
    std::vector<std::string> texts(static_cast<std::size_t>(high - low + 1));
    for (int c = 0; c < ColCount(); ++c) {
        for (int r = low; r <= high; ++r) texts[static_cast<std::size_t>(r - low)] = std::string(Get(c, r));
        if (from < to)
            std::rotate(texts.begin(), texts.begin() + 1, texts.end());
        else
            std::rotate(texts.begin(), texts.end() - 1, texts.end());
        for (int r = low; r <= high; ++r) Set(c, r, texts[static_cast<std::size_t>(r - low)]);
    }
}

std::size_t GridCellStore::MemoryBytes() const
{
    std::size_t total = sizeof(*this) + columns_.capacity() * sizeof(Column);
    for (const Column &column : columns_) {
        total += column.lengths.capacity() + column.groups.capacity() * sizeof(GroupRef) +
                 column.blocks.capacity() * sizeof(Block);
        for (const Block &block : column.blocks) total += block.capacity;
    }
    return total;
}

} // namespace classlib
