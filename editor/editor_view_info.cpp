// The editor's View (see editor_view_info.h).
#include "editor/editor_view_info.h"

TEditorViewInfo::TEditorViewInfo(QObject *parent) : TNotifyPersistent(parent), FFountain(new TEditorFountain(this)) {}

TEditorViewInfo::~TEditorViewInfo() = default;

void TEditorViewInfo::Assign(const TPersistent *source)
{
    // The fountain's change list reports the whole copy once.
    TNotifyEventList *changes = FFountain->NotifyEventList();
    changes->BeginUpdate();
    try {
        TNotifyPersistent::Assign(source);
    } catch (...) {
        changes->EndUpdate();
        throw;
    }
    changes->EndUpdate();
}
