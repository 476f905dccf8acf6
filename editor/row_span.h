// A span of the editor's rows read as one text, as the search and the drop of dragged text need
// it: the rows joined with CR LF after each row that ends a line, and positions counted as byte
// offsets from the span's first row.
#pragma once

#include "editor/editor_model.h"

#include <string>

namespace editor {

// Rows first..last joined as the text holds them.
std::string JoinRows(const TEditorScreenStrings &store, int first, int last);

// Offset of a position from the start of row first (a position below the last row counts as
// the end of the text).
std::int64_t OffsetFromRow(const TEditorScreenStrings &store, int first, TEditorPosition position);

} // namespace editor
