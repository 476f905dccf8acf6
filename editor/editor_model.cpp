// TEditorModel: caret, selection, row queries, marks, undo and the Modified flag of one editor.
// The edit-control messages are answered in edit_messages.cpp.
#include "editor/editor_model.h"

#include "editor/attribute_string.h"
#include "editor/editor_strings.h"
#include "syntax/fountain.h"
#include "syntax/fountain_parser.h"

#include <algorithm>

TEditorModel::TEditorModel()
    : FStore(std::make_shared<TEditorScreenStrings>()), FLines(std::make_unique<TEditorStrings>(*this))
{
    FStore->AddEditor(this);
}

TEditorModel::~TEditorModel() { FStore->RemoveEditor(this); }

void TEditorModel::AttachTo(TEditorModel &other)
{
    if (other.FStore == FStore)
        return;
    CancelSelection();
    FStore->RemoveEditor(this);
    FStore = other.FStore;  // the old store goes with its last editor
    FStore->AddEditor(this);
    FRow = FCol = 0;
    FRememberedCol = -1;
    TEditorChangeExtent all;
    all.WholeText = true;
    FDisplay->TextChanged(all);
    CaretMovedNotify();
}

void TEditorModel::SetDisplay(TEditorDisplay *display) { FDisplay = display ? display : &FDefaultDisplay; }

void TEditorModel::SetFountain(TFountain *fountain)
{
    FFountain = fountain;
    if (FStore->Owner() == this) {
        FStore->ReparseAll();
        TEditorChangeExtent all;
        all.WholeText = true;
        FDisplay->TextChanged(all);
    }
}

void TEditorModel::SetCaretRules(const TEditorCaretRules &rules)
{
    const int oldTab = FCaretRules.TabSpaceCount;
    FCaretRules = rules;
    FCaretRules.TabSpaceCount = std::clamp(rules.TabSpaceCount, 2, 8) & ~1;
    if (FCaretRules.TabSpaceCount != oldTab && FStore->Owner() == this)
        FStore->Rewrap();
    MoveCaret(FRow, FCol, -1, false);
}

editor::TColumnRules TEditorModel::ColumnRules() const
{
    return {FCaretRules.TabSpaceCount, FStore->WordWrap(), FStore->WrapOption()->WrapByte()};
}

void TEditorModel::BeginLoading()
{
    ++FLoading;
    FStore->BeginLoading();
}

void TEditorModel::EndLoading()
{
    if (FLoading == 0)
        return;
    --FLoading;
    FStore->EndLoading();
    if (FLoading == 0)
        FModified = false;
}

int TEditorModel::VisibleRowCount() const { return std::max(1, FDisplay->VisibleRows()); }

// --- Caret

void TEditorModel::MoveCaret(int row, int col, int direction, bool vertical)
{
    const TEditorScreenStrings &store = *FStore;
    const int count = store.Count();
    row = std::clamp(row, 0, count);
    if (row == count && count > 0 && store.RowAttribute(count - 1) == raEof)
        row = count - 1;
    col = std::clamp(col, 0, MaxCol);
    if (!vertical) {
        FRememberedCol = -1;
    } else if (FRememberedCol >= 0) {
        col = FRememberedCol;
        FRememberedCol = -1;
    }
    auto remember = [&](int c) {
        if (vertical && FRememberedCol < 0)
            FRememberedCol = c;
    };

    const std::string_view text = row < count ? store.View(row) : std::string_view();
    const editor::TColumnRules rules = ColumnRules();
    const int width = editor::RowWidth(text, rules);
    if (!FCaretRules.FreeCaret && col > width) {
        if (FCaretRules.KeepCaret)
            remember(col);
        col = width;
    }
    const editor::TAttributeString attributes(text, rules, std::max(rules.Cap(), col + 3));
    auto classAt = [&](int c) { return attributes.At(c + 1); };
    if (classAt(col) == editor::acTrail) {
        remember(col);
        col += direction > 0 ? 1 : -1;
    }
    if (!FCaretRules.InTab && classAt(col) == editor::acTabFill) {
        remember(col);
        while (classAt(col) == editor::acTabFill)
            col += direction > 0 ? 1 : -1;
    }
    if (store.WordWrap() && row < count && col >= width) {
        // The place after the last character of a wrapped row is the start of the next row.
        if (store.RowAttribute(row) == raWrapped)
            col = width - 1;
        else if (col >= rules.WrapByte)
            col = std::max(width, rules.WrapByte - 1);
        while (col > 0 && (classAt(col) == editor::acTrail ||
                           (!FCaretRules.InTab && classAt(col) == editor::acTabFill)))
            --col;
    }
    if (col > editor::MaxColumns) {
        col = editor::MaxColumns;
        if (classAt(col) == editor::acTrail)
            col += 1;
    }
    FRow = row;
    FCol = std::max(col, 0);
    CaretMovedNotify();
}

void TEditorModel::CaretMovedNotify()
{
    FDisplay->CaretMoved();
    if (OnCaretMoved)
        OnCaretMoved();
}

void TEditorModel::SetRow(int row)
{
    CancelSelection();
    MoveCaret(row, FCol, -1, true);
}

void TEditorModel::SetCol(int col)
{
    CancelSelection();
    col = std::clamp(col, 0, MaxCol);
    MoveCaret(FRow, col, col > FCol ? 1 : -1, false);
}

void TEditorModel::SetCaretPosition(int row, int col) { MoveCaret(row, col, -1, false); }

int TEditorModel::CaretByte() const
{
    if (FRow >= FStore->Count())
        return 0;
    return editor::ColumnToByte(FStore->View(FRow), FCol, ColumnRules());
}

void TEditorModel::PlaceCaretInLine(int lineRow, std::int64_t offset)
{
    int row = 0;
    int byte = 0;
    FStore->PositionFrom(lineRow, offset, row, byte);
    const int col = row < FStore->Count() ? editor::ByteToColumn(FStore->View(row), byte, ColumnRules()) : 0;
    MoveCaret(row, col, -1, false);
}

// --- Selection

bool TEditorModel::Selected() const { return FSelected; }

void TEditorModel::CancelSelection()
{
    FHitCaretColumns = 0;
    if (!FSelected)
        return;
    FSelected = false;
    FHit = false;
    FDisplay->SelectionChanged(false);
}

TEditorPosition TEditorModel::SelectionStart() const
{
    if (FSelected && FBox) {
        const TBox box = BoxRange();
        return {box.First, box.First < RowCount() ? BoxBytes(box.First, box).first : 0};
    }
    return FSelected ? std::min(FAnchor, FHead) : CaretPosition();
}

TEditorPosition TEditorModel::SelectionEnd() const
{
    if (FSelected && FBox) {
        const TBox box = BoxRange();
        return {box.Last, box.Last < RowCount() ? BoxBytes(box.Last, box).second : 0};
    }
    return FSelected ? std::max(FAnchor, FHead) : CaretPosition();
}

int TEditorModel::ColumnOf(TEditorPosition position) const
{
    return position.Row < RowCount() ? editor::ByteToColumn(FStore->View(position.Row), position.Byte, ColumnRules())
                                     : 0;
}

void TEditorModel::SelectRange(TEditorPosition anchor, TEditorPosition caret)
{
    CancelSelection();
    MoveCaret(caret.Row, ColumnOf(caret), -1, false);
    FAnchor = anchor;
    FHead = CaretPosition();
    FBoxAnchorCol = ColumnOf(anchor);
    FBoxHeadCol = FCol;
    FSelected = FHead != FAnchor;
    if (FSelected)
        FDisplay->SelectionChanged(true);
}

void TEditorModel::SelectAll() { SelectRange({0, 0}, Advance({0, 0}, TextLength())); }

bool TEditorModel::SelectTokenAtCaret()
{
    const TEditorScreenStrings &store = *FStore;
    if (FRow >= store.Count() || !FFountain)
        return false;
    const int lineRow = store.FirstRowOfLine(FRow);
    const int lastRow = store.LastRowOfLine(lineRow);
    std::string line;
    int offset = CaretByte();
    for (int r = lineRow; r <= lastRow; ++r) {
        if (r < FRow)
            offset += store.Length(r);
        line += store.View(r);
    }
    const std::unique_ptr<TFountainParser> parser = FFountain->CreateParser();
    parser->StartRow(line, TRowParseState{});
    while (parser->NextToken() != ftEnd) {
        const int start = parser->TokenOffset();
        const int end = start + parser->TokenLength();
        if (start <= offset && offset < end) {
            TEditorPosition anchor;
            TEditorPosition head;
            store.PositionFrom(lineRow, start, anchor.Row, anchor.Byte);
            store.PositionFrom(lineRow, end, head.Row, head.Byte);
            SelectRange(anchor, head);
            return true;
        }
        if (start > offset)
            break;
    }
    return false;
}

std::int64_t TEditorModel::SelStart() const
{
    const TEditorPosition start = SelectionStart();
    return FStore->OffsetOf(start.Row, start.Byte);
}

void TEditorModel::SetSelStart(std::int64_t offset)
{
    CancelSelection();
    int row = 0;
    int byte = 0;
    FStore->PositionOf(offset, row, byte);
    const int col = row < RowCount() ? editor::ByteToColumn(FStore->View(row), byte, ColumnRules()) : 0;
    MoveCaret(row, col, -1, false);
}

std::int64_t TEditorModel::SelLength() const
{
    if (!FSelected)
        return 0;
    if (FBox)
        return static_cast<std::int64_t>(BoxText().size());
    return static_cast<std::int64_t>(TextBetween(SelectionStart(), SelectionEnd()).size());
}

TEditorPosition TEditorModel::Advance(TEditorPosition from, std::int64_t n) const
{
    const TEditorScreenStrings &store = *FStore;
    const int count = store.Count();
    int row = from.Row;
    int byte = from.Byte;
    for (;;) {
        if (row >= count)
            return {count, 0};
        const int length = store.Length(row);
        const TRowAttribute attribute = store.RowAttribute(row);
        byte = std::min(byte, length);
        // The end of a wrapped row is the start of the next one.
        if (n < length - byte || (n == length - byte && attribute != raWrapped))
            return {row, byte + static_cast<int>(n)};
        n -= length - byte;
        if (attribute == raEof)
            return {row, length};
        if (attribute == raCrlf) {
            if (n < 2)
                return {row, length};
            n -= 2;
        }
        ++row;
        byte = 0;
    }
}

void TEditorModel::SetSelLength(std::int64_t length)
{
    const TEditorPosition anchor = SelectionStart();
    CancelSelection();
    FBox = false;
    if (length <= 0)
        return;
    const TEditorPosition end = Advance(anchor, length);
    if (end == anchor)
        return;
    SelectRange(anchor, end);
}

std::string TEditorModel::TextBetween(TEditorPosition from, TEditorPosition to) const
{
    const TEditorScreenStrings &store = *FStore;
    const int count = store.Count();
    if (from.Row >= count || to <= from)
        return {};
    if (from.Row == to.Row)
        return std::string(store.View(from.Row).substr(static_cast<std::size_t>(from.Byte),
                                                       static_cast<std::size_t>(to.Byte - from.Byte)));
    std::string text(store.View(from.Row).substr(static_cast<std::size_t>(from.Byte)));
    if (store.RowAttribute(from.Row) == raCrlf)
        text += "\r\n";
    const int lastFull = std::min(to.Row, count);
    text += store.RowsText(from.Row + 1, lastFull - from.Row - 1);
    if (to.Row < count)
        text += store.View(to.Row).substr(0, static_cast<std::size_t>(to.Byte));
    return text;
}

std::string TEditorModel::SelText() const
{
    if (!FSelected)
        return {};
    return FBox ? BoxText() : TextBetween(SelectionStart(), SelectionEnd());
}

void TEditorModel::SetSelText(std::string_view text)
{
    const int count = FStore->Count();
    const bool selected = FSelected;
    if (!selected && text.empty())
        return;
    if (selected && FBox) {
        ReplaceBox(text);
        return;
    }
    const TEditorPosition start = SelectionStart();
    const TEditorPosition end = SelectionEnd();
    CancelSelection();
    // A caret standing past the end of its row fills the gap with blanks.
    int pad = 0;
    if (!selected && start.Row < count)
        pad = std::max(0, FCol - editor::RowWidth(FStore->View(start.Row), ColumnRules()));
    ReplaceBetween(start, end, text, pad);
}

void TEditorModel::ReplaceBetween(TEditorPosition start, TEditorPosition end, std::string_view text, int pad)
{
    TEditorScreenStrings &store = *FStore;
    const int count = store.Count();
    if (start.Row >= count) {
        if (text.empty())
            return;
        // Below the last row: the text starts a new line.
        store.ReplaceRows(count, 0, text);
        PlaceCaretInLine(count, static_cast<std::int64_t>(text.size()));
        return;
    }
    const int lineRow = store.FirstRowOfLine(start.Row);
    std::int64_t before = 0;
    for (int r = lineRow; r < start.Row; ++r)
        before += store.Length(r);

    std::string s(store.View(start.Row).substr(0, static_cast<std::size_t>(start.Byte)));
    s.append(static_cast<std::size_t>(pad), ' ');
    s.append(text);
    int rows = 0;
    if (end.Row >= count) {
        rows = count - start.Row;
    } else {
        rows = end.Row - start.Row + 1;
        s += store.View(end.Row).substr(static_cast<std::size_t>(end.Byte));
        if (store.RowAttribute(end.Row) == raCrlf)
            s += "\r\n";
    }
    store.ReplaceRows(start.Row, rows, s);
    PlaceCaretInLine(lineRow, before + start.Byte + pad + static_cast<std::int64_t>(text.size()));
}

// --- Rows

std::string TEditorModel::RowText(int row) const
{
    return row >= 0 && row < RowCount() ? std::string(FStore->View(row)) : std::string();
}

std::string TEditorModel::ExpandedRowText(int row) const
{
    return row >= 0 && row < RowCount() ? editor::ExpandTabs(FStore->View(row), ColumnRules()) : std::string();
}

int TEditorModel::RowWidth(int row) const
{
    return row >= 0 && row < RowCount() ? editor::RowWidth(FStore->View(row), ColumnRules()) : 0;
}

TRowAttribute TEditorModel::RowAttributes(int row) const
{
    return row >= 0 && row < RowCount() ? FStore->RowAttribute(row) : raInvalid;
}

int TEditorModel::LineFromRow(int row) const
{
    return row >= 0 && row < RowCount() ? FStore->LineFromRow(row) : -1;
}

int TEditorModel::RowColToOffset(int row, int col) const
{
    if (row < 0 || row >= RowCount() || col < 0)
        return -1;
    const TEditorScreenStrings &store = *FStore;
    int offset = editor::ColumnToByte(store.View(row), col, ColumnRules());
    for (int r = row - 1; r >= 0 && store.RowAttribute(r) == raWrapped; --r)
        offset += store.Length(r);
    return offset;
}

void TEditorModel::DeleteRow(int row)
{
    if (row < 0 || row >= RowCount())
        return;
    CancelSelection();
    FStore->ReplaceRows(row, 1, {});
    if (row > 0 && row - 1 < RowCount() && FStore->RowAttribute(row - 1) == raEof)
        MoveCaret(row - 1, RowWidth(row - 1), -1, false);
    else
        MoveCaret(row, 0, -1, false);
}

void TEditorModel::Clear() { FStore->Clear(); }

// --- Marks

std::uint16_t TEditorModel::RowMarks(int row) const
{
    return row >= 0 && row < RowCount() ? FStore->RowMarks(row) : 0;
}

void TEditorModel::GotoMark(int mark)
{
    const int row = FStore->FindMark(mark);
    if (row < 0)
        return;
    SetRow(row);
    const int visible = VisibleRowCount();
    const int top = FDisplay->TopRow();
    if (row < top || row >= top + visible)
        FDisplay->SetTopRow(std::max(0, row - visible / 2));
}

// --- Undo

void TEditorModel::Undo()
{
    CancelSelection();
    FStore->Undo().Undo();
}

void TEditorModel::Redo()
{
    CancelSelection();
    FStore->Undo().Redo();
}

void TEditorModel::StoreChanged(const TEditorChangeExtent &extent)
{
    // Another editor's change may have removed the rows this caret stood on.
    if (FSelected && (std::max(FAnchor.Row, FHead.Row) > RowCount()))
        CancelSelection();
    if (FRow > RowCount())
        MoveCaret(FRow, FCol, -1, false);
    FDisplay->TextChanged(extent);
    if (extent.Changed) {
        FModified = true;
        if (OnChange)
            OnChange();
    }
}

void TEditorModel::SetTopRow(int row) { FDisplay->SetTopRow(std::clamp(row, 0, RowCount())); }

void TEditorModel::ScrollCaret()
{
    const int rows = VisibleRowCount();
    const int cols = std::max(1, FDisplay->VisibleCols());
    if (FRow < FDisplay->TopRow() || FRow >= FDisplay->TopRow() + rows)
        FDisplay->SetTopRow(std::clamp(FRow - rows / 3, 0, RowCount()));
    if (FCol < FDisplay->TopCol() || FCol >= FDisplay->TopCol() + cols)
        FDisplay->SetTopCol(std::max(0, FCol - cols / 3));
}
