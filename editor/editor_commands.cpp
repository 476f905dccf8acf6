// Editing commands of the keyboard and the input method: typing and overwriting, Backspace with
// un-indenting, Delete, Tab, Enter with indentation, composition and its commit, and the way a
// search hit is shown. Every change passes through the row store's edit primitive.
#include "editor/editor_model.h"

#include <algorithm>

namespace editor {

std::string SanitizeTyped(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (cp932::IsLeadByte(c)) {
            const auto trail = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
            if (trail >= 0x40 && trail <= 0xFC && trail != 0x7F) {
                out += bytes.substr(i, 2);
                ++i;
            } else {
                out += '?';
            }
        } else if (c >= 0x20 ? c != 0x7F : c == '\t') {
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace editor

void TEditorModel::TypeText(std::string_view bytes)
{
    if (FReadOnly)
        return;
    const std::string text = editor::SanitizeTyped(bytes);
    if (text.empty())
        return;
    if (FOverwrite && !FSelected && FRow < RowCount()) {
        // As many characters of the row as are typed give way to them.
        const std::string_view row = FStore->View(FRow);
        const int start = CaretByte();
        std::size_t end = static_cast<std::size_t>(start);
        for (std::size_t i = 0; i < text.size() && end < row.size(); i += static_cast<std::size_t>(editor::CharLengthAt(text, i)))
            end += static_cast<std::size_t>(editor::CharLengthAt(row, end));
        if (end > static_cast<std::size_t>(start)) {
            ReplaceBetween({FRow, start}, {FRow, static_cast<int>(end)}, text);
            return;
        }
    }
    SetSelText(text);
}

void TEditorModel::Backspace()
{
    if (FReadOnly)
        return;
    if (FSelected) {
        ClearSelection();
        return;
    }
    const int count = RowCount();
    if (FCol == 0 || FRow >= count) {
        if (FRow == 0)
            return;
        const int above = FRow - 1;
        const int length = FStore->Length(above);
        if (FStore->RowAttribute(above) == raWrapped && length > 0) {
            const auto start = static_cast<int>(cp932::PrevCharPos(FStore->View(above), static_cast<std::size_t>(length)));
            ReplaceBetween({above, start}, {above, length}, {});
        } else {
            ReplaceBetween({above, length}, {FRow, 0}, {});
        }
        return;
    }
    const std::string_view text = FStore->View(FRow);
    const editor::TColumnRules rules = ColumnRules();
    const int width = editor::RowWidth(text, rules);
    if (FCol > width || text.empty()) {
        MoveCaret(FRow, FCol - 1, -1, false);
        return;
    }
    const int indent = editor::IndentWidth(text, rules);
    const bool blank = indent == width;
    if (FCaretRules.BackSpaceUnIndent && (blank || FCol == indent)) {
        UnIndent(FRow);
        return;
    }
    const int byte = CaretByte();
    const auto start = static_cast<int>(cp932::PrevCharPos(text, static_cast<std::size_t>(byte)));
    ReplaceBetween({FRow, start}, {FRow, byte}, {});
}

void TEditorModel::UnIndent(int row)
{
    const editor::TColumnRules rules = ColumnRules();
    const int lineRow = FStore->FirstRowOfLine(row);
    int target = 0;
    for (int r = row - 1; r >= 0; --r) {
        const int indent = editor::IndentWidth(FStore->View(r), rules);
        if (indent < 0 || (r >= lineRow && indent == 0))
            continue;
        if (indent < FCol) {
            target = indent;
            break;
        }
    }
    // The blanks before the caret give way down to the target column; a tab reaching past the
    // target is replaced by the spaces that stay.
    const std::string_view text = FStore->View(row);
    const int caretByte = CaretByte();
    std::string kept;
    int col = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(caretByte) && col < target;) {
        const int length = editor::CharLengthAt(text, i);
        const int width = text[i] == '\t' ? rules.TabWidthAt(col) : length;
        if (col + width <= target)
            kept += text.substr(i, static_cast<std::size_t>(length));
        else
            kept.append(static_cast<std::size_t>(target - col), ' ');
        col += width;
        i += static_cast<std::size_t>(length);
    }
    ReplaceBetween({row, 0}, {row, caretByte}, kept);
}

void TEditorModel::DeleteChar()
{
    if (FReadOnly)
        return;
    if (FSelected) {
        ClearSelection();
        return;
    }
    const int count = RowCount();
    if (FRow >= count)
        return;
    const std::string_view text = FStore->View(FRow);
    const editor::TColumnRules rules = ColumnRules();
    const editor::TAttributeString attributes(text, rules, std::max(rules.Cap(), FCol + 3));
    if (attributes.At(FCol + 1) != editor::acEnd) {
        const int byte = attributes.ByteAt(FCol + 1);
        const int length = std::max(1, editor::CharLengthAt(text, static_cast<std::size_t>(byte)));
        ReplaceBetween({FRow, byte}, {FRow, byte + length}, {});
        return;
    }
    if (FStore->RowAttribute(FRow) == raEof || FRow + 1 > count)
        return;
    // Past the row's text the next row joins this one, the gap filled with blanks.
    const int width = editor::RowWidth(text, rules);
    const int col = FCol;
    const int row = FRow;
    ReplaceBetween({row, static_cast<int>(text.size())}, {row + 1, 0}, std::string(static_cast<std::size_t>(std::max(0, col - width)), ' '));
    MoveCaret(row, col, -1, false);
}

void TEditorModel::InsertTab()
{
    if (FReadOnly)
        return;
    int n = FCaretRules.TabSpaceCount - FCol % FCaretRules.TabSpaceCount;
    if (WordWrap()) {
        const int wrap = FStore->WrapOption()->WrapByte();
        n = std::min(n, wrap - FCol % wrap);
    }
    SetSelText(FCaretRules.SoftTab ? std::string(static_cast<std::size_t>(n), ' ') : std::string("\t"));
}

std::string TEditorModel::IndentText(int width) const
{
    if (width <= 0)
        return {};
    if (!FCaretRules.TabIndent)
        return std::string(static_cast<std::size_t>(width), ' ');
    const int tab = FCaretRules.TabSpaceCount;
    return std::string(static_cast<std::size_t>(width / tab), '\t') + std::string(static_cast<std::size_t>(width % tab), ' ');
}

int TEditorModel::EnterIndent() const
{
    if (!FCaretRules.AutoIndent || FRow >= RowCount())
        return 0;
    const editor::TColumnRules rules = ColumnRules();
    const int lineRow = FStore->FirstRowOfLine(FRow);
    int indent = std::max(0, editor::IndentWidth(FStore->View(lineRow), rules));
    const int own = indent;
    if (indent == 0 && FCaretRules.PrevSpaceIndent && FRow == lineRow && FStore->Length(FRow) == 0) {
        for (int r = lineRow - 1; r >= 0; --r) {
            const int first = FStore->FirstRowOfLine(r);
            if (FStore->Length(first) > 0) {
                indent = std::max(0, editor::IndentWidth(FStore->View(first), rules));
                break;
            }
            r = first;
        }
    }
    if (FRow == lineRow && FCol < own)
        indent = FCol;
    return indent;
}

void TEditorModel::Enter()
{
    if (FReadOnly)
        return;
    if (FSelected)
        ClearSelection();
    const int count = RowCount();
    if (FRow >= count) {
        SetSelText("\r\n");
        return;
    }
    const int width = RowWidth(FRow);
    if (FCol > width)
        MoveCaret(FRow, width, -1, false);
    SetSelText("\r\n" + IndentText(EnterIndent()));
}

void TEditorModel::ShiftEnter()
{
    if (FReadOnly || FSelected)
        return;
    const int indent = EnterIndent();
    const int lineRow = FRow >= RowCount() ? FRow : FStore->FirstRowOfLine(FRow);
    const std::string text = IndentText(indent);
    ReplaceBetween({lineRow, 0}, {lineRow, 0}, text + "\r\n");
    MoveCaret(lineRow, indent, -1, false);
}

void TEditorModel::SetComposition(std::string_view bytes)
{
    const std::string text = editor::SanitizeTyped(bytes);
    if (text == FComposition)
        return;
    FComposition = text;
    FDisplay->CaretMoved();
}

void TEditorModel::CommitComposition(std::string_view bytes)
{
    FComposition.clear();
    TypeText(bytes);
    FDisplay->CaretMoved();
}

void TEditorModel::SetHitShow(THitShow value)
{
    if (FHitShow == value)
        return;
    if (FHit || FHitCaretColumns > 0)
        CancelSelection();
    FHitShow = value;
}

void TEditorModel::ShowHit(std::int64_t length)
{
    const TEditorPosition start = CaretPosition();
    CancelSelection();
    FBox = false;
    if (length <= 0)
        return;
    const TEditorPosition end = Advance(start, length);
    if (FHitShow == THitShow::Caret) {
        FHitCaretColumns = std::max(1, ColumnOf(end) - FCol);
        if (end.Row != start.Row)
            FHitCaretColumns = std::max(1, RowWidth(FRow) - FCol);
        FDisplay->CaretMoved();
        return;
    }
    SelectRange(start, end);
    FHit = FSelected && FHitShow == THitShow::Draw;
    if (FHit)
        FDisplay->SelectionChanged(true);
}

TEditorModel::TSelectionColumns TEditorModel::SelectionColumns() const
{
    TSelectionColumns range;
    if (!FSelected)
        return range;
    if (FBox) {
        const TBox box = BoxRange();
        return {box.First, box.Last, box.Left, box.Right, true};
    }
    const TEditorPosition start = std::min(FAnchor, FHead);
    const TEditorPosition end = std::max(FAnchor, FHead);
    return {start.Row, end.Row, ColumnOf(start), ColumnOf(end), false};
}
