// Caret moves of the keyboard: characters, rows, tokens, pages, row and text ends, and the
// selection that Shift extends while moving.
#include "editor/editor_model.h"

#include "syntax/fountain.h"
#include "syntax/fountain_parser.h"

#include <algorithm>

void TEditorModel::MoveCaretBy(TCaretMove move, bool extend, bool repeat)
{
    TEditorPosition anchor = CaretPosition();
    int anchorCol = FCol;
    if (extend && FSelected) {
        anchor = FAnchor;
        anchorCol = FBoxAnchorCol;
    }
    if (!extend)
        CancelSelection();
    const int count = RowCount();
    const int top = FDisplay->TopRow();
    const int visible = VisibleRowCount();
    switch (move) {
    case TCaretMove::Left: MoveHorizontally(-1); break;
    case TCaretMove::Right: MoveHorizontally(1); break;
    case TCaretMove::Up: {
        const int step = repeat && FRow == top ? FSpeed.CaretVerticalAc : 1;
        MoveCaret(std::max(0, FRow - step), FCol, -1, true);
        break;
    }
    case TCaretMove::Down: {
        if (FRow < count && FStore->RowAttribute(FRow) == raEof)
            break;
        const int step = repeat && FRow == top + visible - 1 ? FSpeed.CaretVerticalAc : 1;
        MoveCaret(FRow + step, FCol, -1, true);
        break;
    }
    case TCaretMove::PageUp: PageMove(-1, repeat); break;
    case TCaretMove::PageDown: PageMove(1, repeat); break;
    case TCaretMove::Home: MoveCaret(FRow, 0, -1, false); break;
    case TCaretMove::End: MoveCaret(FRow, FRow < count ? RowWidth(FRow) : 0, 1, false); break;
    case TCaretMove::TextHome: MoveCaret(0, 0, -1, false); break;
    case TCaretMove::TextEnd: {
        const int last = count > 0 && FStore->RowAttribute(count - 1) == raEof ? count - 1 : count;
        MoveCaret(last, last < count ? RowWidth(last) : 0, 1, false);
        break;
    }
    case TCaretMove::WordLeft: MoveByToken(-1); break;
    case TCaretMove::WordRight: MoveByToken(1); break;
    case TCaretMove::ScrollUp: ScrollRows(-(repeat ? FSpeed.CaretVerticalAc : 1), true); break;
    case TCaretMove::ScrollDown: ScrollRows(repeat ? FSpeed.CaretVerticalAc : 1, true); break;
    }
    if (!extend)
        return;
    const int remembered = FRememberedCol;
    if (FBox)
        SelectBox(anchor.Row, anchorCol, FRow, FCol);
    else
        SelectRange(anchor, CaretPosition());
    FRememberedCol = remembered;
}

void TEditorModel::MoveHorizontally(int direction)
{
    const int count = RowCount();
    if (direction < 0) {
        if (FCol > 0) {
            MoveCaret(FRow, FCol - 1, -1, false);
        } else if (FRow > 0 && (FCaretRules.NextLine || FStore->RowAttribute(FRow - 1) == raWrapped)) {
            MoveCaret(FRow - 1, RowWidth(FRow - 1), 1, false);
        }
        return;
    }
    const int before = FCol;
    MoveCaret(FRow, FCol + 1, 1, false);
    if (FCol != before || FRow >= count)
        return;
    const TRowAttribute attribute = FStore->RowAttribute(FRow);
    if (attribute != raEof && (FCaretRules.NextLine || attribute == raWrapped))
        MoveCaret(FRow + 1, 0, -1, false);
}

std::vector<int> TEditorModel::TokenColumns(int row) const
{
    std::vector<int> starts;
    if (row < 0 || row >= RowCount())
        return starts;
    const std::string text = ExpandedRowText(row);
    if (FFountain == nullptr) {
        // No parser: a word starts after a delimiter.
        for (std::size_t i = 0; i < text.size(); i += static_cast<std::size_t>(editor::CharLengthAt(text, i))) {
            const bool delimiter = editor::IsWordDelimiter(static_cast<unsigned char>(text[i]));
            const bool afterDelimiter = i == 0 || editor::IsWordDelimiter(static_cast<unsigned char>(text[i - 1]));
            if (!delimiter && afterDelimiter)
                starts.push_back(static_cast<int>(i));
        }
        return starts;
    }
    FStore->EnsureRowStates(row);
    const std::unique_ptr<TFountainParser> parser = FFountain->CreateParser();
    parser->StartRow(text, FStore->ParseState(row));
    // Expanded text holds one byte per column, so token offsets are columns.
    while (parser->NextToken() != ftEnd) {
        if (parser->TokenKind() != ftSymbol && parser->TokenOffset() < static_cast<int>(text.size()))
            starts.push_back(parser->TokenOffset());
    }
    return starts;
}

void TEditorModel::MoveByToken(int direction)
{
    const int count = RowCount();
    if (FRow >= count) {
        if (direction < 0 && count > 0)
            MoveCaret(count - 1, RowWidth(count - 1), 1, false);
        return;
    }
    const std::vector<int> starts = TokenColumns(FRow);
    const int width = RowWidth(FRow);
    if (direction > 0) {
        if (FCol >= width) {
            if (FStore->RowAttribute(FRow) == raEof)
                return;
            const std::vector<int> next = TokenColumns(FRow + 1);
            MoveCaret(FRow + 1, next.empty() || FRow + 1 >= count ? 0 : next.front(), -1, false);
            return;
        }
        const auto it = std::upper_bound(starts.begin(), starts.end(), FCol);
        if (it != starts.end())
            MoveCaret(FRow, *it, -1, false);
        else if (FStore->RowAttribute(FRow) == raWrapped)
            MoveCaret(FRow + 1, 0, -1, false);
        else
            MoveCaret(FRow, width, 1, false);
        return;
    }
    if (FCol == 0) {
        if (FRow == 0)
            return;
        const TRowAttribute above = FStore->RowAttribute(FRow - 1);
        const std::vector<int> previous = TokenColumns(FRow - 1);
        if (above == raWrapped && !previous.empty())
            MoveCaret(FRow - 1, previous.back(), -1, false);
        else
            MoveCaret(FRow - 1, RowWidth(FRow - 1), 1, false);
        return;
    }
    const auto it = std::lower_bound(starts.begin(), starts.end(), std::min(FCol, width + 1));
    if (it != starts.begin())
        MoveCaret(FRow, *std::prev(it), -1, false);
    else if (FRow > 0)
        MoveCaret(FRow - 1, RowWidth(FRow - 1), 1, false);
    else
        MoveCaret(0, 0, -1, false);
}

void TEditorModel::ScrollRows(int rows, bool caretFollows)
{
    const int top = FDisplay->TopRow();
    const int newTop = std::clamp(top + rows, 0, RowCount());
    FDisplay->SetTopRow(newTop);
    if (!caretFollows)
        return;
    const int visible = VisibleRowCount();
    if (FRow < newTop)
        MoveCaret(newTop, FCol, -1, true);
    else if (FRow >= newTop + visible)
        MoveCaret(newTop + visible - 1, FCol, -1, true);
}

void TEditorModel::PageMove(int direction, bool repeat)
{
    const int count = RowCount();
    const int top = FDisplay->TopRow();
    const int amount = std::max(1, (VisibleRowCount() - 1) / 2) *
                       (repeat ? FSpeed.PageVerticalRangeAc : FSpeed.PageVerticalRange);
    if (direction < 0) {
        if (top == 0) {
            MoveCaret(0, FCol, -1, true);
            return;
        }
        const int newTop = std::max(0, top - amount);
        FDisplay->SetTopRow(newTop);
        MoveCaret(std::max(0, FRow - (top - newTop)), FCol, -1, true);
        return;
    }
    if (top < count && FStore->RowAttribute(top) == raEof)
        return;
    const int newTop = std::min(count, top + amount);
    FDisplay->SetTopRow(newTop);
    MoveCaret(FRow + (newTop - top), FCol, -1, true);
}
