// TEditorScreenStrings: editors, the edit primitive, lines and offsets, marks and whole-text
// operations. Loading and parser-state upkeep live in screen_strings_load.cpp and
// screen_strings_states.cpp.
#include "editor/screen_strings.h"

#include "editor/attribute_string.h"
#include "editor/row_wrapper.h"

#include <algorithm>

TEditorScreenStrings::TEditorScreenStrings(QObject *parent)
    : TEditorStringList(parent), FUndo(std::make_unique<TEditorUndoObj>(*this)),
      FWrapOption(new TEditorWrapOption(this))
{
    FWrapOption->OnChange = [this](QObject *sender) { WrapOptionChanged(sender); };
}

TEditorScreenStrings::~TEditorScreenStrings()
{
    FWrapOption->OnChange = nullptr;
}

// --- Editors

void TEditorScreenStrings::AddEditor(TScreenStringsClient *editor)
{
    if (editor && std::find(FEditors.begin(), FEditors.end(), editor) == FEditors.end())
        FEditors.push_back(editor);
}

void TEditorScreenStrings::RemoveEditor(TScreenStringsClient *editor)
{
    FEditors.erase(std::remove(FEditors.begin(), FEditors.end(), editor), FEditors.end());
}

TScreenStringsClient *TEditorScreenStrings::Owner() const
{
    return FEditors.empty() ? nullptr : FEditors.front();
}

TScreenStringsClient *TEditorScreenStrings::ActiveEditor() const
{
    for (TScreenStringsClient *editor : FEditors)
        if (editor->HasFocus())
            return editor;
    return Owner();
}

int TEditorScreenStrings::CaretColumnOfActive() const
{
    const TScreenStringsClient *active = ActiveEditor();
    return active ? active->CaretCol() : -1;
}

int TEditorScreenStrings::ScreenRows() const
{
    const TScreenStringsClient *owner = Owner();
    return owner ? std::max(1, owner->VisibleRowCount()) : 1;
}

editor::TWrapRules TEditorScreenStrings::WrapRules() const
{
    const TScreenStringsClient *owner = Owner();
    return FWrapOption->Rules(owner ? owner->TabSpaceCount() : 8);
}

editor::TColumnRules TEditorScreenStrings::ColumnRules() const
{
    const TScreenStringsClient *owner = Owner();
    return {owner ? owner->TabSpaceCount() : 8, FWordWrap, FWrapOption->WrapByte()};
}

// --- Change notification

void TEditorScreenStrings::RecordChange(int first, int oldRows, int newRows, int parsedRows)
{
    if (FExtentRecorded) {
        // A second change inside one update scope: repaint everything rather than track both.
        FExtent.WholeText = true;
        FExtent.FirstRow = std::min(FExtent.FirstRow, first);
    } else {
        FExtent.FirstRow = first;
        FExtent.OldRows = oldRows;
        FExtent.NewRows = newRows;
        FExtent.ParsedRows = parsedRows;
    }
    FExtent.Changed = true;
    FExtentRecorded = true;
}

void TEditorScreenStrings::DoChange()
{
    const TEditorChangeExtent extent = FExtent;
    FExtent = TEditorChangeExtent{};
    FExtentRecorded = false;
    TEditorStringList::DoChange();
    // A copy: a handler may detach its editor.
    const std::vector<TScreenStringsClient *> editors = FEditors;
    for (TScreenStringsClient *editor : editors)
        editor->StoreChanged(extent);
}

void TEditorScreenStrings::RowsShifted(int index, int count)
{
    TEditorStringList::RowsShifted(index, count);
    FCachedLine = -1;
}

// --- Logical lines

int TEditorScreenStrings::FirstRowOfLine(int row) const
{
    row = std::clamp(row, 0, Count());
    while (row > 0 && RowAttribute(row - 1) != raCrlf)
        --row;
    return row;
}

int TEditorScreenStrings::LastRowOfLine(int row) const
{
    const int last = Count() - 1;
    row = std::clamp(row, 0, std::max(last, 0));
    while (row < last && RowAttribute(row) == raWrapped)
        ++row;
    return row;
}

int TEditorScreenStrings::LineCount() const
{
    const int count = Count();
    if (!FWordWrap || count == 0)
        return count;
    return count - RowsWithLowBits(raWrapped) + (RowAttribute(count - 1) == raWrapped ? 1 : 0);
}

int TEditorScreenStrings::LineToRow(int line) const
{
    if (line < 0)
        return -1;
    if (!FWordWrap)
        return line <= Count() ? line : -1;
    int row = 0;
    int current = 0;
    if (FCachedLine >= 0 && FCachedLine <= line) {
        row = FCachedLineRow;
        current = FCachedLine;
    }
    const int count = Count();
    while (current < line) {
        if (row >= count)
            return -1;
        row = LastRowOfLine(row) + 1;
        ++current;
    }
    if (row > count)
        return -1;
    FCachedLine = current;
    FCachedLineRow = row;
    return row;
}

int TEditorScreenStrings::LineFromRow(int row) const
{
    if (row < 0 || row > Count())
        return -1;
    if (!FWordWrap)
        return row;
    int line = 0;
    for (int r = 0; r < row; ++r)
        if (RowAttribute(r) == raCrlf)
            ++line;
    return line;
}

// --- Offsets

std::int64_t TEditorScreenStrings::OffsetOf(int row, int byteIndex) const
{
    row = std::clamp(row, 0, Count());
    std::int64_t offset = 0;
    for (int r = 0; r < row; ++r)
        offset += Length(r) + (RowAttribute(r) == raCrlf ? 2 : 0);
    if (row < Count())
        byteIndex = std::min(byteIndex, Length(row));
    return offset + std::max(byteIndex, 0);
}

void TEditorScreenStrings::PositionFrom(int startRow, std::int64_t offset, int &row, int &byteIndex) const
{
    row = std::clamp(startRow, 0, Count());
    byteIndex = 0;
    if (offset <= 0)
        return;
    const int count = Count();
    for (; row < count; ++row) {
        const int length = Length(row);
        const TRowAttribute attribute = RowAttribute(row);
        const std::int64_t contribution = length + (attribute == raCrlf ? 2 : 0);
        if (offset < contribution || attribute == raEof) {
            byteIndex = static_cast<int>(std::min<std::int64_t>(offset, length));
            return;
        }
        offset -= contribution;
    }
    byteIndex = 0;  // below the last row
}

std::string TEditorScreenStrings::Text() const { return RowsText(0, Count()); }

std::int64_t TEditorScreenStrings::TextLength() const
{
    return TotalBytes() + 2 * static_cast<std::int64_t>(RowsWithLowBits(raCrlf));
}

// --- The edit primitive

int TEditorScreenStrings::RewrapStart(int a) const
{
    const int lineStart = FirstRowOfLine(a);
    if (a <= lineStart)
        return a;
    // Text may flow back onto the row above. A row's cut looks at most a few columns past the
    // row width, so rows further up are re-wrapped only while their cut could see row a (which
    // a row shortened by WordBreak may).
    int top = a - 1;
    const int reach = FWrapOption->WrapByte() + 4;
    int bytes = Length(top);
    while (top > lineStart && bytes + Length(top - 1) <= reach) {
        --top;
        bytes += Length(top);
    }
    return top;
}

TReplaceResult TEditorScreenStrings::ReplaceRows(int a, int n, std::string_view s)
{
    const int count = Count();
    if (a < 0 || n < 0 || a + n > count || (n == 0 && s.empty()))
        return {};
    TUpdateScope scope(*this);
    const int last = a + n - 1;
    const int top = RewrapStart(a);
    int bottom = last >= 0 ? LastRowOfLine(last) : -1;

    if (top == a && bottom == last && s.empty()) {
        // Whole logical lines go: no re-wrapping needed.
        FUndo->Record(a, RowsText(a, n), RowAttribute(last)).RowCount = 0;
        DeleteRowRange(a, n);
        RecordChange(a, n, 0, UpdateRowStates(a));
        return {true, a, 0};
    }

    // The attribute the last new row takes. When the replaced range ends a line that another
    // line follows, that line joins the range: s may end without a line break and then runs
    // into it.
    TRowAttribute lastAttribute;
    if (last >= 0 && bottom > last) {
        lastAttribute = RowAttribute(bottom);
    } else if (bottom + 1 < count) {
        bottom = LastRowOfLine(bottom + 1);
        lastAttribute = RowAttribute(bottom);
    } else {
        const bool endsWithBreak = !s.empty() && (s.back() == '\n' || s.back() == '\r');
        lastAttribute = endsWithBreak ? raCrlf : raEof;
    }

    const int oldCount = bottom - top + 1;
    TUndoData &record = FUndo->Record(top, RowsText(top, std::max(oldCount, 0)),
                                      oldCount > 0 ? RowAttribute(bottom) : raInvalid);
    std::string text = RowsText(top, a - top);
    text.append(s);
    text += RowsText(last + 1, bottom - last);

    TEditorStringList rows;
    editor::WrapText(text, FWordWrap, WrapRules(), rows);
    if (rows.Count() > 0)
        rows.SetRowAttribute(rows.Count() - 1, lastAttribute);
    record.RowCount = rows.Count();
    ReplaceRowRange(top, std::max(oldCount, 0), rows);
    RecordChange(top, std::max(oldCount, 0), rows.Count(), UpdateRowStates(top));
    return {true, top, rows.Count()};
}

void TEditorScreenStrings::ReplaceRowRange(int first, int oldCount, const TEditorStringList &list)
{
    const int newCount = list.Count();
    FCachedLine = -1;
    if (newCount < oldCount) {
        std::uint16_t surplus = 0;
        for (int r = first + newCount; r < first + oldCount; ++r)
            surplus = static_cast<std::uint16_t>(surplus | RowMarks(r));
        DeleteRows(first + newCount, oldCount - newCount);
        if (newCount > 0 && surplus)
            SetRowMarks(first, static_cast<std::uint16_t>(RowMarks(first) | surplus));
    } else if (newCount > oldCount) {
        InsertRows(first + (oldCount > 0 ? 1 : 0), newCount - oldCount);
        // Lines typed in front of a marked line (caret at column 0) push the mark down with it.
        if (oldCount > 0 && CaretColumnOfActive() == 0) {
            const int to = first + newCount - oldCount;
            SetRowMarks(to, static_cast<std::uint16_t>(RowMarks(to) | RowMarks(first)));
            SetRowMarks(first, 0);
        }
    }
    for (int i = 0; i < newCount; ++i)
        CopyRow(list, i, first + i, true);
}

void TEditorScreenStrings::DeleteRowRange(int first, int count)
{
    if (count <= 0)
        return;
    FCachedLine = -1;
    std::uint16_t marks = 0;
    for (int r = first; r < first + count; ++r)
        marks = static_cast<std::uint16_t>(marks | RowMarks(r));
    DeleteRows(first, count);
    if (marks && Count() > 0) {
        const int to = std::min(first, Count() - 1);
        SetRowMarks(to, static_cast<std::uint16_t>(RowMarks(to) | marks));
    }
}

// --- Whole text

void TEditorScreenStrings::Clear()
{
    const std::vector<TScreenStringsClient *> editors = FEditors;
    for (TScreenStringsClient *editor : editors)
        editor->CancelSelection();
    FUndo->Clear();
    const int oldCount = Count();
    if (oldCount > 0)
        RecordChange(0, oldCount, 0, 0);
    FCachedLine = -1;
    TEditorStringList::Clear();
    FExtent = TEditorChangeExtent{};
    FExtentRecorded = false;
    for (TScreenStringsClient *editor : editors)
        editor->SetCaretPosition(0, 0);
}

void TEditorScreenStrings::SetAllText(std::string_view text)
{
    TUpdateScope scope(*this);
    Clear();
    char *block = NewTextBlock(text.size());
    std::copy(text.begin(), text.end(), block);
    FillRowsFromBlock(block, text.size());
}

void TEditorScreenStrings::EndLoading()
{
    if (FLoading > 0 && --FLoading == 0) {
        TUpdateScope scope(*this);
        if (FWordWrap)
            RewrapAll();
        ReparseAll();
        FExtent.WholeText = true;
    }
}

// --- Word wrap

void TEditorScreenStrings::SetWordWrap(bool value)
{
    if (FWordWrap == value)
        return;
    FWordWrap = value;
    TUpdateScope scope(*this);
    RewrapAll();
    ReparseAll();
    FExtent.WholeText = true;
}

void TEditorScreenStrings::WrapOptionChanged(QObject *) { Rewrap(); }

void TEditorScreenStrings::Rewrap()
{
    if (!FWordWrap)
        return;
    TUpdateScope scope(*this);
    RewrapAll();
    ReparseAll();
    FExtent.WholeText = true;
}

void TEditorScreenStrings::RewrapAll()
{
    if (FLoading > 0)
        return;
    for (TScreenStringsClient *editor : FEditors)
        editor->CancelSelection();
    FUndo->Clear();
    FCachedLine = -1;
    const int count = Count();
    if (count == 0)
        return;
    const TRowAttribute finalAttribute = RowAttribute(count - 1);
    const editor::TWrapRules rules = WrapRules();
    std::string line;
    std::vector<std::uint16_t> marks;
    int row = 0;
    while (row < Count()) {
        const int oldCount = LastRowOfLine(row) - row + 1;
        if (oldCount == 1 && !FWordWrap) {
            if (RowAttribute(row) == raWrapped)
                SetRowAttribute(row, raCrlf);
            ++row;
            continue;
        }
        line.clear();
        marks.clear();
        for (int r = row; r < row + oldCount; ++r) {
            line += View(r);
            marks.push_back(RowMarks(r));
        }
        const std::vector<int> cuts =
            FWordWrap ? editor::CutLine(line, rules) : std::vector<int>{static_cast<int>(line.size())};
        const int newCount = static_cast<int>(cuts.size());
        if (newCount > oldCount)
            InsertRows(row + oldCount, newCount - oldCount);
        else if (newCount < oldCount)
            DeleteRows(row + newCount, oldCount - newCount);
        std::size_t pos = 0;
        for (int k = 0; k < newCount; ++k) {
            const int r = row + k;
            const std::string_view piece = std::string_view(line).substr(pos, static_cast<std::size_t>(cuts[k]));
            if (View(r) != piece)
                PutView(r, piece);
            pos += static_cast<std::size_t>(cuts[k]);
            SetRowAttribute(r, k + 1 < newCount ? raWrapped : raCrlf);
            // Marks go one to one; those of old rows past the new count go to the last new row.
            std::uint16_t m = k < oldCount ? marks[static_cast<std::size_t>(k)] : 0;
            if (k == newCount - 1)
                for (int j = newCount; j < oldCount; ++j)
                    m = static_cast<std::uint16_t>(m | marks[static_cast<std::size_t>(j)]);
            SetRowMarks(r, m);
        }
        row += newCount;
    }
    SetRowAttribute(Count() - 1, finalAttribute == raWrapped ? raEof : finalAttribute);
}

// --- Marks

void TEditorScreenStrings::PutMark(int row, int mark)
{
    if (row < 0 || row >= Count() || mark < 0 || mark > 15)
        return;
    if (mark < 10) {
        const int holder = FindMark(mark);
        if (holder == row)
            return;
        if (holder >= 0)
            DeleteMark(holder, mark);
    }
    const auto marks = static_cast<std::uint16_t>(RowMarks(row) | (1u << mark));
    if (marks == RowMarks(row))
        return;
    SetRowMarks(row, marks);
    for (TScreenStringsClient *editor : FEditors)
        editor->RowMarksChanged(row);
}

void TEditorScreenStrings::DeleteMark(int row, int mark)
{
    if (row < 0 || row >= Count() || mark < 0 || mark > 15 || !(RowMarks(row) & (1u << mark)))
        return;
    SetRowMarks(row, static_cast<std::uint16_t>(RowMarks(row) & ~(1u << mark)));
    for (TScreenStringsClient *editor : FEditors)
        editor->RowMarksChanged(row);
}

int TEditorScreenStrings::FindMark(int mark) const
{
    if (mark < 0 || mark > 15 || RowsWithMark(mark) == 0)
        return -1;
    const int count = Count();
    for (int r = 0; r < count; ++r)
        if (RowMarks(r) & (1u << mark))
            return r;
    return -1;
}
