// Spans of rows read as one text.
#include "editor/row_span.h"

#include <algorithm>

namespace editor {

std::string JoinRows(const TEditorScreenStrings &store, int first, int last)
{
    std::string text;
    for (int r = first; r <= last; ++r) {
        text.append(store.View(r));
        if (store.RowAttribute(r) == raCrlf)
            text += "\r\n";
    }
    return text;
}

std::int64_t OffsetFromRow(const TEditorScreenStrings &store, int first, TEditorPosition position)
{
    std::int64_t offset = 0;
    for (int r = first; r < position.Row && r < store.Count(); ++r)
        offset += store.Length(r) + (store.RowAttribute(r) == raCrlf ? 2 : 0);
    return offset + (position.Row < store.Count() ? std::min(position.Byte, store.Length(position.Row)) : 0);
}

} // namespace editor
