// The edit-control messages, answered from the model. Offsets are byte offsets over the whole
// text (a line break counts 2); rows and offsets out of range give -1 or do nothing.
#include "editor/edit_messages.h"

#include "editor/attribute_string.h"
#include "editor/editor_model.h"

#include <algorithm>
#include <cstring>

namespace {

std::intptr_t MakeLong(int low, int high)
{
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(high & 0xFFFF) << 16) |
                                      static_cast<std::uint32_t>(low & 0xFFFF));
}

} // namespace

std::intptr_t TEditorModel::LineLengthMessage(std::int64_t offset) const
{
    const TEditorScreenStrings &store = *FStore;
    const int count = store.Count();
    if (offset < 0) {
        if (FSelected) {
            // The unselected bytes of the rows the selection touches.
            const TEditorPosition start = SelectionStart();
            const TEditorPosition end = SelectionEnd();
            const int endLength = end.Row < count ? store.Length(end.Row) : 0;
            return endLength + start.Byte - end.Byte;
        }
        return FRow < count ? store.Length(FRow) : 0;
    }
    int row = 0;
    int byte = 0;
    store.PositionOf(offset, row, byte);
    return row < count ? store.Length(row) : 0;
}

std::intptr_t TEditorModel::Perform(unsigned message, std::uintptr_t wparam, std::intptr_t lparam)
{
    TEditorScreenStrings &store = *FStore;
    const int count = store.Count();
    const auto signedW = static_cast<std::intptr_t>(wparam);
    switch (message) {
    case EM_GETSEL: {
        const std::int64_t start = SelStart();
        const std::int64_t end = start + SelLength();
        if (wparam)
            *reinterpret_cast<std::uint32_t *>(wparam) = static_cast<std::uint32_t>(start);
        if (lparam)
            *reinterpret_cast<std::uint32_t *>(lparam) = static_cast<std::uint32_t>(end);
        return MakeLong(static_cast<int>(start), static_cast<int>(end));
    }
    case EM_SETSEL:
        if (signedW == 0 && lparam == -1) {
            SelectAll();
        } else if (signedW == -1) {
            CancelSelection();
        } else {
            SetSelStart(std::min<std::intptr_t>(signedW, lparam));
            SetSelLength(std::abs(lparam - signedW));
        }
        return 0;
    case EM_GETLINECOUNT:
        return count;
    case EM_LINEINDEX: {
        // The row below the last one exists only after a final line break.
        const std::intptr_t row = signedW == -1 ? FRow : signedW;
        const bool belowLast = row == count && (count == 0 || store.RowAttribute(count - 1) == raCrlf);
        if (row < 0 || (row >= count && !belowLast))
            return -1;
        return static_cast<std::intptr_t>(store.OffsetOf(static_cast<int>(row), 0));
    }
    case EM_LINELENGTH:
        return LineLengthMessage(signedW);
    case EM_LINEFROMCHAR: {
        if (signedW < 0)
            return SelectionStart().Row;
        int row = 0;
        int byte = 0;
        store.PositionOf(signedW, row, byte);
        return row;
    }
    case EM_GETLINE: {
        // The buffer's first 16-bit word states its size in bytes; the row's bytes replace it.
        if (signedW < 0 || signedW >= count || !lparam)
            return 0;
        auto *buffer = reinterpret_cast<char *>(lparam);
        std::uint16_t size = 0;
        std::memcpy(&size, buffer, sizeof size);
        const std::string_view text = store.View(static_cast<int>(signedW));
        const std::size_t n = std::min<std::size_t>(size, text.size());
        std::memcpy(buffer, text.data(), n);
        return static_cast<std::intptr_t>(n);
    }
    case EM_POSFROMCHAR: {
        int row = 0;
        int byte = 0;
        store.PositionOf(signedW, row, byte);
        const int col = row < count ? editor::ByteToColumn(store.View(row), byte, ColumnRules()) : 0;
        const editor::TCellGeometry g = FDisplay->Geometry();
        const int x = g.TextLeft + (col - FDisplay->TopCol()) * g.CharWidth;
        const int y = g.TextTop + (row - FDisplay->TopRow()) * g.RowHeight;
        return MakeLong(x, y);
    }
    case EM_CHARFROMPOS: {
        const int x = static_cast<std::int16_t>(lparam & 0xFFFF);
        const int y = static_cast<std::int16_t>((lparam >> 16) & 0xFFFF);
        const editor::TCellGeometry g = FDisplay->Geometry();
        if (x < 0 || y < 0 || x >= g.ClientWidth || y >= g.ClientHeight)
            return -1;
        int row = FDisplay->TopRow() + std::max(0, y - g.TextTop) / std::max(1, g.RowHeight);
        row = std::clamp(row, 0, std::max(count - 1, 0));
        const int col = FDisplay->TopCol() + std::max(0, x - g.TextLeft) / std::max(1, g.CharWidth);
        const int byte = row < count ? editor::ColumnToByte(store.View(row), col, ColumnRules()) : 0;
        return MakeLong(static_cast<int>(store.OffsetOf(row, byte)), row);
    }
    case EM_GETMODIFY:
        return FModified ? 1 : 0;
    case EM_SETMODIFY:
        if (!FReadOnly)
            FModified = wparam != 0;
        return 0;
    case EM_CANUNDO:
        return !FReadOnly && CanUndo() ? 1 : 0;
    case EM_UNDO:
        if (FReadOnly || !CanUndo())
            return 0;
        Undo();
        return 1;
    case EM_EMPTYUNDOBUFFER:
        if (!FReadOnly)
            store.Undo().Clear();
        return 0;
    case EM_REPLACESEL:
        if (!FReadOnly && lparam)
            SetSelText(reinterpret_cast<const char *>(lparam));
        return 0;
    case EM_GETFIRSTVISIBLELINE:
        return FDisplay->TopRow();
    case EM_SCROLLCARET:
        ScrollCaret();
        return 1;
    case EM_SETREADONLY:
        FReadOnly = wparam != 0;
        return 1;
    case WM_GETTEXT: {
        // Copies at most wparam - 1 bytes and a terminating NUL; returns the bytes copied.
        if (wparam == 0 || !lparam)
            return 0;
        const std::string text = Text();
        const std::size_t n = std::min<std::size_t>(wparam - 1, text.size());
        auto *buffer = reinterpret_cast<char *>(lparam);
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
        return static_cast<std::intptr_t>(n);
    }
    case WM_SETTEXT:
        if (FReadOnly)
            return 0;
        SetText(lparam ? std::string_view(reinterpret_cast<const char *>(lparam)) : std::string_view());
        return 1;
    case WM_GETTEXTLENGTH:
        return static_cast<std::intptr_t>(TextLength());
    case WM_CLEAR:
        if (!FReadOnly)
            ClearSelection();
        return 0;
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
        return static_cast<std::intptr_t>(FDisplay->ClipboardMessage(message));
    default:
        return 0;
    }
}
