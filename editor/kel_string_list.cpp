// TKelStringList: rows in a gap buffer, texts as private copies or slices of shared blocks.
#include "editor/kel_string_list.h"

#include <algorithm>
#include <cstring>

using editor::TKelStringItem;

namespace {

constexpr std::uint32_t OwnedBit = 0x80000000u;

std::uint32_t LengthOf(const TKelStringItem &item) { return item.Length & ~OwnedBit; }

} // namespace

TKelStringList::TKelStringList(QObject *parent) : TStrings(parent) {}

TKelStringList::~TKelStringList()
{
    for (int i = 0; i < FItems.Size(); ++i)
        ReleaseText(FItems[i]);
}

void TKelStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= FItems.Size())
        Error(index);
}

std::string_view TKelStringList::View(int index) const
{
    const TKelStringItem &item = Item(index);
    return {item.Text ? item.Text : "", LengthOf(item)};
}

int TKelStringList::Length(int index) const { return static_cast<int>(LengthOf(Item(index))); }

std::string TKelStringList::Get(int index) const { return std::string(View(index)); }

void TKelStringList::ReleaseText(TKelStringItem &item)
{
    if (item.Length & OwnedBit)
        delete[] item.Text;
    item.Text = nullptr;
    item.Length = 0;
}

void TKelStringList::AssignText(TKelStringItem &item, std::string_view s)
{
    // Copy before releasing: s may be a view of this very row.
    char *copy = nullptr;
    if (!s.empty()) {
        copy = new char[s.size()];
        std::memcpy(copy, s.data(), s.size());
    }
    FTotalBytes -= LengthOf(item);
    ReleaseText(item);
    item.Text = copy;
    item.Length = static_cast<std::uint32_t>(s.size()) | (copy ? OwnedBit : 0u);
    FTotalBytes += static_cast<std::int64_t>(s.size());
}

void TKelStringList::CountItem(const TKelStringItem &item, int sign)
{
    FLowBitRows[item.AttrA & 15u] += sign;
    for (int m = 0; m < 16; ++m)
        if (item.AttrB & (1u << (16 + m)))
            FMarkRows[static_cast<std::size_t>(m)] += sign;
}

void TKelStringList::Put(int index, const std::string &s)
{
    CheckIndex(index);
    Changing();
    AssignText(FItems[index], s);
    Changed();
}

void TKelStringList::PutView(int index, std::string_view s)
{
    CheckIndex(index);
    Changing();
    AssignText(FItems[index], s);
    Changed();
}

void *TKelStringList::GetObject(int index) const { return Item(index).Object; }

void TKelStringList::PutObject(int index, void *object)
{
    CheckIndex(index);
    Changing();
    FItems[index].Object = object;
    Changed();
}

void TKelStringList::Insert(int index, const std::string &s)
{
    if (index < 0 || index > Count())
        Error(index);
    Changing();
    FItems.InsertZeroed(index, 1);
    FLowBitRows[0] += 1;
    AssignText(FItems[index], s);
    RowsShifted(index, 1);
    Changed();
}

void TKelStringList::InsertRows(int index, int count)
{
    if (index < 0 || index > Count())
        Error(index);
    if (count <= 0)
        return;
    Changing();
    FItems.InsertZeroed(index, count);
    FLowBitRows[0] += count;
    RowsShifted(index, count);
    Changed();
}

void TKelStringList::Delete(int index)
{
    CheckIndex(index);
    DeleteRows(index, 1);
}

void TKelStringList::DeleteRows(int index, int count)
{
    if (count <= 0)
        return;
    CheckIndex(index);
    CheckIndex(index + count - 1);
    Changing();
    for (int i = index; i < index + count; ++i) {
        TKelStringItem &item = FItems[i];
        CountItem(item, -1);
        FTotalBytes -= LengthOf(item);
        ReleaseText(item);
    }
    FItems.Erase(index, count);
    RowsShifted(index, -count);
    Changed();
}

void TKelStringList::Clear()
{
    Changing();
    const int count = FItems.Size();
    for (int i = 0; i < count; ++i)
        ReleaseText(FItems[i]);
    FItems.Clear();
    FTextBlocks.clear();
    FTotalBytes = 0;
    FLowBitRows.fill(0);
    FMarkRows.fill(0);
    if (count > 0)
        RowsShifted(0, -count);
    Changed();
}

void TKelStringList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(FItems[index1], FItems[index2]);
    Changed();
}

void TKelStringList::SetWordA(int index, std::uint32_t value)
{
    CheckIndex(index);
    TKelStringItem &item = FItems[index];
    FLowBitRows[item.AttrA & 15u] -= 1;
    FLowBitRows[value & 15u] += 1;
    item.AttrA = value;
}

void TKelStringList::SetWordB(int index, std::uint32_t value)
{
    CheckIndex(index);
    TKelStringItem &item = FItems[index];
    const std::uint32_t changed = (item.AttrB ^ value) >> 16;
    if (changed)
        for (int m = 0; m < 16; ++m)
            if (changed & (1u << m))
                FMarkRows[static_cast<std::size_t>(m)] += (value & (1u << (16 + m))) ? 1 : -1;
    item.AttrB = value;
}

char *TKelStringList::NewTextBlock(std::size_t size)
{
    FTextBlocks.push_back(std::make_unique_for_overwrite<char[]>(std::max<std::size_t>(size, 1)));
    return FTextBlocks.back().get();
}

void TKelStringList::PutSlice(int index, const char *text, std::uint32_t length)
{
    CheckIndex(index);
    TKelStringItem &item = FItems[index];
    FTotalBytes -= LengthOf(item);
    ReleaseText(item);
    item.Text = length ? text : nullptr;
    item.Length = length & ~OwnedBit;
    FTotalBytes += length;
}

void TKelStringList::Changed()
{
    if (UpdateCount() == 0)
        DoChange();
}

void TKelStringList::Changing()
{
    if (UpdateCount() == 0)
        DoChanging();
}

void TKelStringList::SetUpdateState(bool updating)
{
    if (updating)
        DoChanging();
    else
        DoChange();
}

void TKelStringList::DoChange()
{
    if (OnChange)
        OnChange(this);
}

void TKelStringList::DoChanging()
{
    if (OnChanging)
        OnChanging(this);
}

void TKelStringList::RowsShifted(int, int) {}
