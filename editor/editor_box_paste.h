// Box paste: lines of text laid into consecutive rows at one column, as a box selection was cut
// out of them, and the clean-up every text from the clipboard gets before it enters the editor.
#pragma once

#include <string>
#include <string_view>

class TEditorModel;

namespace editor {

// Line k of text goes into row (caret row + k) at the caret column, after removing the selection
// first (a box leaves the caret at its left column). Rows shorter than the column are padded
// with spaces; rows missing at the end of the text are added (spaces up to the column, then the
// line). Lines wider than the editor shows are kept whole. One change; the caret ends at the
// column on the first row. Nothing happens while the model is read-only.
void BoxPaste(TEditorModel &model, std::string_view text);

// Text from outside made safe to insert: a lead byte without a valid trail byte after it becomes
// "?", so that it cannot merge with the character that follows it in the row. Everything else,
// NUL bytes and line breaks included, is kept.
std::string SanitizePasted(std::string_view text);

} // namespace editor
