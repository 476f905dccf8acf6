// Dropping a dragged text. The rows from the first to the last touched (the dragged range and
// the drop row) are rebuilt as one text and replaced in one step, so that a move is a single
// change: undo puts the text back where it came from in one go.
#include "editor/editor_drag.h"

#include "editor/row_span.h"

#include <algorithm>
#include <string>

namespace editor {

bool DropText(TEditorModel &model, TEditorPosition from, TEditorPosition to, TEditorPosition drop, bool copy)
{
    TEditorScreenStrings &store = model.Store();
    const int rows = store.Count();
    if (model.ReadOnly() || rows == 0 || !(from < to) || (from <= drop && drop <= to))
        return false;
    const int first = std::min(from.Row, drop.Row);
    const int last = std::min(std::max(to.Row, drop.Row), rows - 1);
    std::string text = JoinRows(store, first, last);
    const auto start = static_cast<std::size_t>(OffsetFromRow(store, first, from));
    const auto end = static_cast<std::size_t>(OffsetFromRow(store, first, to));
    auto at = static_cast<std::size_t>(OffsetFromRow(store, first, drop));
    const std::string moved = text.substr(start, end - start);
    if (!copy) {
        text.erase(start, end - start);
        if (at > start)
            at -= moved.size();
    }
    text.insert(at, moved);
    model.CancelSelection();
    store.ReplaceRows(first, last - first + 1, text);
    TEditorPosition selStart, selEnd;
    store.PositionFrom(first, static_cast<std::int64_t>(at), selStart.Row, selStart.Byte);
    store.PositionFrom(first, static_cast<std::int64_t>(at + moved.size()), selEnd.Row, selEnd.Byte);
    model.SelectRange(selStart, selEnd);
    return true;
}

} // namespace editor
