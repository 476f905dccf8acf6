// Box selections of TEditorModel: a rectangle of columns over a range of rows.
#include "editor/attribute_string.h"
#include "editor/editor_model.h"

#include <algorithm>

void TEditorModel::SetSelectionMode(bool box)
{
    if (FBox == box)
        return;
    FBox = box;
    if (FSelected)
        FDisplay->SelectionChanged(true);
}

void TEditorModel::SelectBox(int anchorRow, int anchorCol, int row, int col)
{
    CancelSelection();
    FBox = true;
    MoveCaret(row, col, -1, false);
    const int count = RowCount();
    const int clampedRow = std::clamp(anchorRow, 0, count);
    FAnchor = {clampedRow, clampedRow < count ? editor::ColumnToByte(FStore->View(clampedRow), anchorCol, ColumnRules()) : 0};
    FHead = CaretPosition();
    FBoxAnchorCol = std::clamp(anchorCol, 0, MaxCol);
    FBoxHeadCol = FCol;
    FSelected = FBoxAnchorCol != FBoxHeadCol || FAnchor.Row != FHead.Row;
    if (FSelected)
        FDisplay->SelectionChanged(true);
}

TEditorModel::TBox TEditorModel::BoxRange() const
{
    TBox box;
    const int last = RowCount() - 1;
    box.First = std::min(std::min(FAnchor.Row, FHead.Row), std::max(last, 0));
    box.Last = std::min(std::max(FAnchor.Row, FHead.Row), last);
    box.Left = std::min(FBoxAnchorCol, FBoxHeadCol);
    box.Right = std::max(FBoxAnchorCol, FBoxHeadCol);
    return box;
}

std::pair<int, int> TEditorModel::BoxBytes(int row, const TBox &box) const
{
    const std::string_view text = FStore->View(row);
    const editor::TColumnRules rules = ColumnRules();
    int first = -1;
    int col = 0;
    std::size_t i = 0;
    for (; i < text.size(); i += static_cast<std::size_t>(editor::CharLengthAt(text, i))) {
        if (first < 0 && col >= box.Left)
            first = static_cast<int>(i);
        if (col >= box.Right)
            break;
        const int length = editor::CharLengthAt(text, i);
        col += length == 2 ? 2 : text[i] == '\t' ? rules.TabWidthAt(col) : 1;
    }
    const int end = static_cast<int>(i);
    return {first < 0 ? end : first, end};
}

std::string TEditorModel::BoxText() const
{
    const TBox box = BoxRange();
    std::string text;
    for (int r = box.First; r <= box.Last; ++r) {
        const auto [first, last] = BoxBytes(r, box);
        text += FStore->View(r).substr(static_cast<std::size_t>(first), static_cast<std::size_t>(last - first));
        text += "\r\n";
    }
    return text;
}

void TEditorModel::ReplaceBox(std::string_view text)
{
    TEditorScreenStrings &store = *FStore;
    const TBox box = BoxRange();
    CancelSelection();
    if (box.Last < box.First)
        return;
    // Every row of the box loses its columns; the text goes where the first row's began.
    std::string s;
    int firstByte = 0;
    for (int r = box.First; r <= box.Last; ++r) {
        const auto [first, last] = BoxBytes(r, box);
        const std::string_view row = store.View(r);
        s += row.substr(0, static_cast<std::size_t>(first));
        if (r == box.First) {
            s += text;
            firstByte = first;
        }
        s += row.substr(static_cast<std::size_t>(last));
        if (store.RowAttribute(r) == raCrlf)
            s += "\r\n";
    }
    const int lineRow = store.FirstRowOfLine(box.First);
    std::int64_t before = 0;
    for (int r = lineRow; r < box.First; ++r)
        before += store.Length(r);
    store.ReplaceRows(box.First, box.Last - box.First + 1, s);
    PlaceCaretInLine(lineRow, before + firstByte + static_cast<std::int64_t>(text.size()));
}
