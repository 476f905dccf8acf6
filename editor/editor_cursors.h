// The mouse cursors of the editor: the standard ones by their TCursor number, and the two the
// editor brings itself, crRightArrow (over the bars left of the text, where a press selects
// rows) and crDragSelCopy (dragging a selection to copy it), drawn once on first use.
#pragma once

#include "classlib/graphics.h"

#include <QCursor>

namespace editor {

QCursor EditorCursor(TCursor cursor);

} // namespace editor
