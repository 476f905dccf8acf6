// TEditor and the clipboard: cut, copy, paste and clear, with the text converted between code
// page 932 and the desktop's Unicode. A box selection is copied with its bytes also under the
// editor's private box format, so that pasting it into an editor lays it out as a box again;
// text copied elsewhere pastes as a stream.
#include "editor/editor.h"

#include "classlib/cp932.h"
#include "editor/edit_messages.h"
#include "editor/editor_box_paste.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

// The private format "TEditor Box Type", carried beside the text.
const QString BoxFormat = QStringLiteral("application/x-teditor-box-type");

} // namespace

void TEditor::CopyToClipboard() { Perform(WM_COPY); }

void TEditor::CutToClipboard() { Perform(WM_CUT); }

void TEditor::PasteFromClipboard() { Perform(WM_PASTE); }

void TEditor::BoxPaste(const QString &text)
{
    if (!ReadOnly())
        editor::BoxPaste(FModel, editor::SanitizePasted(cp932::FromUnicode(text)));
}

long long TEditor::ClipboardMessage(unsigned message)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    switch (message) {
    case WM_COPY:
    case WM_CUT: {
        if (!FModel.Selected() || (message == WM_CUT && ReadOnly())) {
            clipboard->clear();
            return 0;
        }
        const std::string text = FModel.SelText();
        auto *data = new QMimeData;
        data->setText(cp932::ToUnicode(text));
        if (FModel.SelectionMode())
            data->setData(BoxFormat, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
        clipboard->setMimeData(data);
        if (message == WM_CUT)
            FModel.ClearSelection();
        return 1;
    }
    case WM_PASTE: {
        const QMimeData *data = clipboard->mimeData();
        if (ReadOnly() || !data || !data->hasText())
            return 0;
        // The box bytes are the editor's own, but the clipboard is shared with every program:
        // they are cleaned like any other text before they go in.
        if (data->hasFormat(BoxFormat)) {
            const QByteArray box = data->data(BoxFormat);
            editor::BoxPaste(FModel, editor::SanitizePasted(std::string_view(box.constData(), static_cast<std::size_t>(box.size()))));
        } else {
            FModel.SetSelText(editor::SanitizePasted(cp932::FromUnicode(data->text())));
        }
        return 1;
    }
    case WM_CLEAR:
        if (!ReadOnly())
            FModel.ClearSelection();
        return 1;
    default: return 0;
    }
}
