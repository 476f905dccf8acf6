// TEditorPopupMenu: the editor's own popup menu, with the numbered marks, undo and redo, the
// clipboard commands, select all and the box selection mode. Its items are enabled and checked
// afresh each time it pops up, and their shortcuts work while the editor has the focus (the
// menu watches the editor's keys for that, before the host's window shortcuts see them).
#pragma once

#include <QMenu>

class QKeyEvent;
class TEditor;

class TEditorPopupMenu : public QMenu {
    Q_OBJECT
public:
    explicit TEditorPopupMenu(TEditor *editor);

    TEditor *Editor() const { return FEditor; }
    // Enables and checks the items for the editor's state now.
    void UpdateItems();

    QMenu *MarkSetMenu;    // "マーク設定": toggles numbered mark n on the caret row
    QMenu *MarkJumpMenu;   // "マークジャンプ": goes to numbered mark n
    QAction *MarkSetItems[10];
    QAction *MarkJumpItems[10];
    QAction *UndoItem;
    QAction *RedoItem;
    QAction *CutItem;
    QAction *CopyItem;
    QAction *PasteItem;
    QAction *BoxPasteItem;
    QAction *DeleteItem;
    QAction *SelectAllItem;
    QAction *BoxSelectionModeItem;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *AddItem(QMenu *menu, const char *name, const QString &caption, const QKeySequence &shortcut);
    // The item whose shortcut the key is, or null.
    QAction *ItemForKey(const QKeyEvent &key) const;
    void ToggleMark(int mark);

    TEditor *FEditor;
};
