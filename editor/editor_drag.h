// Moving or copying a stream of text to another place in the editor's rows as one change: the
// model side of dragging a selection with the mouse.
#pragma once

#include "editor/editor_model.h"

namespace editor {

// Moves (or, with copy, copies) the text between from and to (from before to) so that it stands
// at drop, given as a position of the text before the change. A drop inside the range, at either
// end of it included, changes nothing and returns false. Afterwards the text is selected at its
// new place. One change, undone at once; nothing happens while the model is read-only.
bool DropText(TEditorModel &model, TEditorPosition from, TEditorPosition to, TEditorPosition drop, bool copy);

} // namespace editor
