// The editor's search operation: finds a search text in the editor's rows with the options word
// of find_text.h, starting at the selection, the shown hit or the caret, and shows the hit.
#pragma once

#include <string_view>

class TEditorModel;

namespace editor {

// Searches forwards (soDown) from the end of the selection or hit, else from the caret, or
// backwards from its start. On a hit the caret goes to the hit, the hit is shown as the model's
// hit style says and scrolled into view, and true is returned; otherwise nothing changes.
bool Search(TEditorModel &model, std::string_view text, unsigned options);

} // namespace editor
