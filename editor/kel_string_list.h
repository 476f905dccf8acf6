// TKelStringList: the string list under the editor's rows. Each item carries its text, one
// pointer-sized user value and two 32-bit attribute words that the derived lists pack their
// per-row data into; all four move together when rows are inserted or deleted.
//
// Rows live in a gap buffer of 28-byte items. A row's text is either a slice of a shared text
// block (loading a file or setting the whole text reads everything into one block and points the
// rows into it) or a private copy made when the row is written. So a loaded text costs its own
// size plus one item per row, and an edit in the middle of a long text costs no more than near
// its end once the gap stands there.
#pragma once

#include "classlib/string_list.h"
#include "editor/gap_buffer.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace editor {

#pragma pack(push, 4)
// One row. Packed to 28 bytes: the row count of a large file multiplies every byte here.
struct TKelStringItem {
    const char *Text;
    std::uint32_t Length;  // bit 31: the text is a private copy owned by the item
    std::uint32_t AttrA;
    std::uint32_t AttrB;
    void *Object;
};
#pragma pack(pop)
static_assert(sizeof(TKelStringItem) == 28);

} // namespace editor

class TKelStringList : public TStrings {
    Q_OBJECT
public:
    explicit TKelStringList(QObject *parent = nullptr);
    ~TKelStringList() override;

    int Count() const override { return FItems.Size(); }
    std::string Get(int index) const override;
    void Put(int index, const std::string &s) override;
    void *GetObject(int index) const override;
    void PutObject(int index, void *object) override;
    void Insert(int index, const std::string &s) override;  // index may equal Count
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int index1, int index2) override;  // whole items: text, object, both words

    int Capacity() const { return FItems.Capacity(); }
    void SetCapacity(int capacity) { FItems.SetCapacity(capacity); }

    // The row's bytes without copying; valid until the row or the list changes.
    std::string_view View(int index) const;
    int Length(int index) const;
    void PutView(int index, std::string_view s);

    // Inserts count empty rows (both words zero) before index / removes count rows from index.
    void InsertRows(int index, int count);
    void DeleteRows(int index, int count);

    // Sum of the rows' byte lengths.
    std::int64_t TotalBytes() const { return FTotalBytes; }
    // Rows whose attribute word A has the given low four bits.
    int RowsWithLowBits(int bits) const { return FLowBitRows[static_cast<std::size_t>(bits & 15)]; }
    // Rows whose attribute word B has bit 16 + mark set.
    int RowsWithMark(int mark) const { return FMarkRows[static_cast<std::size_t>(mark & 15)]; }

    // Called after / before every change while no update scope is open, and around a whole
    // update scope.
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    std::uint32_t WordA(int index) const { return Item(index).AttrA; }
    std::uint32_t WordB(int index) const { return Item(index).AttrB; }
    void SetWordA(int index, std::uint32_t value);
    void SetWordB(int index, std::uint32_t value);

    // A block of n bytes that rows may point into with PutSlice; freed by Clear.
    char *NewTextBlock(std::size_t size);
    // Points the row at bytes of a text block (no copy, no notification).
    void PutSlice(int index, const char *text, std::uint32_t length);

    // Notify unless an update scope is open; the scope notifies once around all its changes.
    void Changed();
    void Changing();
    void SetUpdateState(bool updating) override;
    // The notifications themselves; the defaults call OnChange / OnChanging.
    virtual void DoChange();
    virtual void DoChanging();
    void CheckIndex(int index) const;

    // Told after rows were inserted (count > 0) or removed (count < 0) at index.
    virtual void RowsShifted(int index, int count);

private:
    const editor::TKelStringItem &Item(int index) const
    {
        CheckIndex(index);
        return FItems[index];
    }
    void ReleaseText(editor::TKelStringItem &item);
    void AssignText(editor::TKelStringItem &item, std::string_view s);
    void CountItem(const editor::TKelStringItem &item, int sign);

    editor::TGapBuffer<editor::TKelStringItem> FItems;
    std::vector<std::unique_ptr<char[]>> FTextBlocks;
    std::int64_t FTotalBytes = 0;
    std::array<int, 16> FLowBitRows{};
    std::array<int, 16> FMarkRows{};
};
