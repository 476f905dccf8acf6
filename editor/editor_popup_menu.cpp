// The editor's popup menu.
#include "editor/editor_popup_menu.h"

#include "editor/edit_messages.h"
#include "editor/editor.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>

namespace {

// The digit of a mark key. With Shift held the key reports the symbol above the digit, which
// depends on the keyboard layout, so the digit row is also recognised by its key position (the
// X11 key codes 10-19, as on Wayland).
int MarkDigit(const QKeyEvent &key)
{
    if (key.key() >= Qt::Key_0 && key.key() <= Qt::Key_9)
        return key.key() - Qt::Key_0;
    const quint32 code = key.nativeScanCode();
    if (code >= 10 && code <= 19)
        return static_cast<int>((code - 9) % 10);
    return -1;
}

bool ClipboardHasText()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText() && !data->text().isEmpty();
}

} // namespace

TEditorPopupMenu::TEditorPopupMenu(TEditor *editor)
    : QMenu(editor), FEditor(editor)
{
    setObjectName(QStringLiteral("EditorPopupMenu"));
    MarkSetMenu = addMenu(QStringLiteral("マーク設定"));
    MarkSetMenu->setObjectName(QStringLiteral("popMarkSet"));
    MarkJumpMenu = addMenu(QStringLiteral("マークジャンプ"));
    MarkJumpMenu->setObjectName(QStringLiteral("popMarkJump"));
    for (int n = 0; n < 10; ++n) {
        const QString digit = QString::number(n);
        MarkSetItems[n] = AddItem(MarkSetMenu, "popMarkSet", digit, QKeySequence(Qt::SHIFT | Qt::CTRL | (Qt::Key_0 + n)));
        MarkSetItems[n]->setObjectName(QStringLiteral("popMarkSet%1").arg(n));
        connect(MarkSetItems[n], &QAction::triggered, this, [this, n] { ToggleMark(n); });
        MarkJumpItems[n] = AddItem(MarkJumpMenu, "popMarkJump", digit, QKeySequence(Qt::CTRL | (Qt::Key_0 + n)));
        MarkJumpItems[n]->setObjectName(QStringLiteral("popMarkJump%1").arg(n));
        connect(MarkJumpItems[n], &QAction::triggered, this, [this, n] { FEditor->Model().GotoMark(n); });
    }
    addSeparator();
    UndoItem = AddItem(this, "popUndo", QStringLiteral("元に戻す(&U)"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    RedoItem = AddItem(this, "popRedo", QStringLiteral("やり直し(&R)"), QKeySequence(Qt::CTRL | Qt::Key_Y));
    addSeparator();
    CutItem = AddItem(this, "popCut", QStringLiteral("切り取り(&T)"), QKeySequence(Qt::CTRL | Qt::Key_X));
    CopyItem = AddItem(this, "popCopy", QStringLiteral("コピー(&C)"), QKeySequence(Qt::CTRL | Qt::Key_C));
    PasteItem = AddItem(this, "popPaste", QStringLiteral("貼り付け(&P)"), QKeySequence(Qt::CTRL | Qt::Key_V));
    BoxPasteItem = AddItem(this, "popBoxPaste", QStringLiteral("Box貼り付け(&B)"), QKeySequence(Qt::CTRL | Qt::Key_B));
    DeleteItem = AddItem(this, "popDelete", QStringLiteral("削除(&D)"), {});
    addSeparator();
    SelectAllItem = AddItem(this, "popSelectAll", QStringLiteral("すべて選択(&A)"), QKeySequence(Qt::CTRL | Qt::Key_A));
    addSeparator();
    BoxSelectionModeItem =
        AddItem(this, "popBoxSelectionMode", QStringLiteral("Box選択モード(&K)"), QKeySequence(Qt::CTRL | Qt::Key_K));
    BoxSelectionModeItem->setCheckable(true);

    connect(UndoItem, &QAction::triggered, FEditor, &TEditor::Undo);
    connect(RedoItem, &QAction::triggered, FEditor, &TEditor::Redo);
    connect(CutItem, &QAction::triggered, FEditor, &TEditor::CutToClipboard);
    connect(CopyItem, &QAction::triggered, FEditor, &TEditor::CopyToClipboard);
    connect(PasteItem, &QAction::triggered, FEditor, &TEditor::PasteFromClipboard);
    connect(BoxPasteItem, &QAction::triggered, this,
            [this] { FEditor->BoxPaste(QGuiApplication::clipboard()->text()); });
    connect(DeleteItem, &QAction::triggered, this, [this] { FEditor->Perform(WM_CLEAR); });
    connect(SelectAllItem, &QAction::triggered, FEditor, &TEditor::SelectAll);
    connect(BoxSelectionModeItem, &QAction::triggered, this,
            [this] { FEditor->SetSelectionMode(!FEditor->SelectionMode()); });
    connect(this, &QMenu::aboutToShow, this, &TEditorPopupMenu::UpdateItems);
    FEditor->installEventFilter(this);
}

QAction *TEditorPopupMenu::AddItem(QMenu *menu, const char *name, const QString &caption, const QKeySequence &shortcut)
{
    QAction *item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    // Shown in the menu; the key itself reaches the item through eventFilter, so that it works
    // only while the editor has the focus and never collides with a window's own shortcuts.
    item->setShortcut(shortcut);
    item->setShortcutContext(Qt::WidgetShortcut);
    item->setEnabled(false);
    return item;
}

void TEditorPopupMenu::UpdateItems()
{
    const TEditorModel &model = FEditor->Model();
    const bool writable = !FEditor->ReadOnly();
    const bool selected = FEditor->Selected();
    const bool pasteable = writable && ClipboardHasText();
    const std::uint16_t used = model.UsedMarks();
    for (int n = 0; n < 10; ++n) {
        for (QAction *item : {MarkSetItems[n], MarkJumpItems[n]}) {
            item->setEnabled(true);
            item->setCheckable(true);
            item->setChecked((used >> n) & 1);
        }
    }
    MarkSetMenu->setEnabled(true);
    MarkJumpMenu->setEnabled(true);
    UndoItem->setEnabled(writable && FEditor->CanUndo());
    RedoItem->setEnabled(writable && FEditor->CanRedo());
    CutItem->setEnabled(writable && selected);
    CopyItem->setEnabled(selected);
    PasteItem->setEnabled(pasteable);
    BoxPasteItem->setEnabled(pasteable);
    DeleteItem->setEnabled(writable && selected);
    SelectAllItem->setEnabled(model.TextLength() > 0);
    BoxSelectionModeItem->setEnabled(true);
    BoxSelectionModeItem->setChecked(FEditor->SelectionMode());
}

QAction *TEditorPopupMenu::ItemForKey(const QKeyEvent &key) const
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) || modifiers == Qt::ControlModifier) {
        const int digit = MarkDigit(key);
        if (digit >= 0)
            return modifiers & Qt::ShiftModifier ? MarkSetItems[digit] : MarkJumpItems[digit];
    }
    const QKeySequence pressed(QKeyCombination(modifiers, static_cast<Qt::Key>(key.key())));
    for (QAction *item : {UndoItem, RedoItem, CutItem, CopyItem, PasteItem, BoxPasteItem, SelectAllItem,
                          BoxSelectionModeItem})
        if (item->shortcut() == pressed)
            return item;
    return nullptr;
}

bool TEditorPopupMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != FEditor || (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride))
        return QMenu::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    QAction *item = ItemForKey(*key);
    if (!item)
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();  // the key is the editor's: it arrives as a key press
        return true;
    }
    // The host sees the key first and may take it, as with every key of the editor.
    if (FEditor->OnKeyDown) {
        int code = key->key();
        FEditor->OnKeyDown(FEditor, code, key->modifiers());
        if (code == 0)
            return true;
    }
    UpdateItems();
    if (item->isEnabled())
        item->trigger();
    return true;
}

void TEditorPopupMenu::ToggleMark(int mark)
{
    TEditorModel &model = FEditor->Model();
    const int row = model.Row();
    if (row >= model.RowCount())
        return;
    if ((model.RowMarks(row) >> mark) & 1)
        model.DeleteMark(row, mark);
    else
        model.PutMark(row, mark);
}
