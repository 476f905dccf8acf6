// TEditor and the clipboard: cut, copy, paste and clear, with the text converted between code
// page 932 and the desktop's Unicode.
#include "editor/editor.h"

#include "classlib/cp932.h"
#include "editor/edit_messages.h"

#include <QClipboard>
#include <QGuiApplication>

long long TEditor::ClipboardMessage(unsigned message)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    switch (message) {
    case WM_COPY:
    case WM_CUT:
        if (!FModel.Selected() || (message == WM_CUT && ReadOnly())) {
            clipboard->clear();
            return 0;
        }
        clipboard->setText(cp932::ToUnicode(FModel.SelText()));
        if (message == WM_CUT)
            FModel.ClearSelection();
        return 1;
    case WM_PASTE: {
        if (ReadOnly())
            return 0;
        const QString text = clipboard->text();
        if (!text.isEmpty())
            FModel.SetSelText(cp932::FromUnicode(text));
        return 1;
    }
    case WM_CLEAR:
        if (!ReadOnly())
            FModel.ClearSelection();
        return 1;
    default: return 0;
    }
}
