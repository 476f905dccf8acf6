// The editor's option objects (see editor_options.h).
#include "editor/editor_options.h"

TEditorOption::~TEditorOption() = default;
TEditorCursors::~TEditorCursors() = default;

TEditorCaret::TEditorCaret(QObject *parent) : TEditorOption(parent), FCursors(new TEditorCursors(this))
{
    FCursors->OnChange = ChangedHandler();
}

TEditorCaret::~TEditorCaret() { FCursors->OnChange = nullptr; }

TEditorMargin::~TEditorMargin() = default;
TEditorLeftbar::~TEditorLeftbar() = default;
TEditorRuler::~TEditorRuler() = default;
TEditorImagebar::~TEditorImagebar() = default;
TEditorMark::~TEditorMark() = default;
TEditorSpeed::~TEditorSpeed() = default;

TEditorMarks::TEditorMarks(QObject *parent)
    : TEditorOption(parent), FEofMark(NewMark()), FRetMark(NewMark()), FWrapMark(NewMark()), FHideMark(NewMark()),
      FUnderline(NewMark())
{
}

TEditorMarks::~TEditorMarks()
{
    for (TEditorMark *mark : {FEofMark, FRetMark, FWrapMark, FHideMark, FUnderline})
        mark->OnChange = nullptr;
}

TEditorMark *TEditorMarks::NewMark()
{
    auto *mark = new TEditorMark(this);
    mark->OnChange = ChangedHandler();
    return mark;
}
