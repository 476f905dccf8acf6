// The editor's search. The rows are joined into a text (CR LF after the rows that end a line)
// from the starting row onwards, a few kilobytes first and four times more each time nothing is
// found, until the end of the text: a hit near the caret costs little, and a match that runs
// past the end of one piece is found in the next, larger one, which starts at the same place.
#include "editor/editor_search.h"

#include "editor/attribute_string.h"
#include "editor/editor.h"
#include "editor/editor_model.h"
#include "editor/find_text.h"
#include "editor/row_span.h"

#include <algorithm>
#include <string>

namespace editor {

namespace {

constexpr std::size_t FirstPieceBytes = 8192;

// The last row of a piece that starts at row first and holds about budget bytes (at least one
// row, never past the last row).
int PieceEnd(const TEditorScreenStrings &store, int first, std::size_t budget)
{
    std::size_t size = 0;
    int r = first;
    for (; r < store.Count() - 1; ++r) {
        size += static_cast<std::size_t>(store.Length(r)) + 2;
        if (size >= budget)
            break;
    }
    return r;
}

// The first row of a piece that ends at row last and holds about budget bytes.
int PieceStart(const TEditorScreenStrings &store, int last, std::size_t budget)
{
    std::size_t size = 0;
    int r = last;
    for (; r > 0; --r) {
        size += static_cast<std::size_t>(store.Length(r)) + 2;
        if (size >= budget)
            break;
    }
    return r;
}

} // namespace

bool Search(TEditorModel &model, std::string_view text, unsigned options)
{
    const TEditorScreenStrings &store = model.Store();
    const int rows = model.RowCount();
    if (text.empty() || rows == 0)
        return false;
    const bool forward = (options & soDown) != 0;

    // Where the search starts, as a row and byte, and how many bytes of a hit shown as a caret
    // lie behind it (the engine starts after them).
    TEditorPosition start = model.CaretPosition();
    std::int64_t skip = 0;
    if (model.Selected()) {
        start = forward ? model.SelectionEnd() : model.SelectionStart();
    } else if (forward && model.HitCaretColumns() > 0 && start.Row < rows) {
        const int end = ColumnToByte(store.View(start.Row), model.Col() + model.HitCaretColumns(), model.ColumnRules());
        skip = std::max(0, end - start.Byte);
    }
    if (start.Row >= rows) {
        if (forward)
            return false;
        start = {rows - 1, store.Length(rows - 1)};
    }

    // Backwards a match may run on past the starting point only over skipped blanks and line
    // breaks; then the piece reaches to the end of the text.
    const bool runsOn = (options & (soIgnoreLineBreaks | soIgnoreBlanks)) != 0;
    for (std::size_t budget = FirstPieceBytes;; budget *= 4) {
        const int first = forward ? start.Row : PieceStart(store, start.Row, budget);
        const int last = forward ? PieceEnd(store, start.Row, budget) : (runsOn ? rows - 1 : start.Row);
        const std::string piece = JoinRows(store, first, last);
        TFindPosition position{OffsetFromRow(store, first, start), skip};
        while (FindText(piece, position, text, options)) {
            int row = 0;
            int byte = 0;
            store.PositionFrom(first, position.Start, row, byte);
            // The caret cannot go past the columns the editor shows; a hit beyond them could
            // not be shown, so the search goes on past it instead of claiming it.
            if (ByteToColumn(store.View(row), byte, model.ColumnRules()) > MaxColumns) {
                position = forward ? TFindPosition{position.Start, 1} : TFindPosition{position.Start, 0};
                continue;
            }
            model.SetSelStart(store.OffsetOf(row, byte));
            model.ShowHit(position.Length);
            model.ScrollCaret();
            return true;
        }
        if (forward ? last >= rows - 1 : first == 0)
            return false;
    }
}

} // namespace editor

// --- The widget's search operation.

bool TEditor::Search(std::string_view text, unsigned options) { return editor::Search(FModel, text, options); }
