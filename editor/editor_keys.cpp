// TEditor's caret and keyboard: the caret's shape and blinking, keeping it in view, the keys and
// characters turned into the model's commands, focus, and the input method (its composition
// shown at the caret, its result inserted once).
#include "editor/editor.h"

#include "classlib/cp932.h"
#include "editor/edit_messages.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>

namespace {

constexpr int BlinkInterval = 500;

} // namespace

QRect TEditor::CaretRect() const
{
    const QPoint at = CellPos(FModel.Row(), FModel.Col());
    const int h = FCells.FontHeight();
    if (FModel.HitCaretColumns() > 0)
        return QRect(at.x(), at.y(), FModel.HitCaretColumns() * CharWidth(), h);
    // Overwriting shows the cell that will be replaced.
    if (FCaret->Style() == csBrief || FModel.Overwrite()) {
        int cells = 1;
        if (FModel.Row() < RowCount()) {
            const std::string_view text = FModel.Store().View(FModel.Row());
            const int byte = FModel.CaretByte();
            if (editor::CharLengthAt(text, static_cast<std::size_t>(byte)) == 2)
                cells = 2;
        }
        return QRect(at.x(), at.y() + h - 2, cells * CharWidth(), 2);
    }
    return QRect(at.x(), at.y(), 2, h);
}

void TEditor::UpdateCaret()
{
    if (!FCaretShown.isNull())
        update(FCaretShown);
    update(CaretRect());
    if (FMarks->Underline()->Visible()) {
        for (int row : {FUnderlineRow, FModel.Row()}) {
            if (row >= 0)
                update(QRect(FTextLeft, CellPos(row, 0).y() + FCells.FontHeight(), width(), 1));
        }
    }
    if (FRuler->Visible() && FRulerCol != FModel.Col()) {
        FRulerCol = FModel.Col();
        update(QRect(0, FMargin->Top(), width(), FRuler->Height()));
    }
    if (!FModel.Composition().empty())
        InvalidateRow(FModel.Row());
}

void TEditor::RestartBlink()
{
    FCaretOn = true;
    if (FBlinkTimer != 0)
        killTimer(FBlinkTimer);
    FBlinkTimer = hasFocus() ? startTimer(BlinkInterval) : 0;
}

void TEditor::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != FBlinkTimer) {
        QWidget::timerEvent(event);
        return;
    }
    FCaretOn = !FCaretOn;
    update(FCaretOn ? CaretRect() : FCaretShown);
}

void TEditor::CaretMoved()
{
    KeepCaretInView();
    UpdateCaret();
    RestartBlink();
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle | Qt::ImFont);
}

void TEditor::focusInEvent(QFocusEvent *event)
{
    FModel.SetFocused(true);
    RestartBlink();
    UpdateCaret();
    QWidget::focusInEvent(event);
}

void TEditor::focusOutEvent(QFocusEvent *event)
{
    FModel.SetFocused(false);
    if (FBlinkTimer != 0)
        killTimer(FBlinkTimer);
    FBlinkTimer = 0;
    UpdateCaret();
    QWidget::focusOutEvent(event);
}

bool TEditor::event(QEvent *event)
{
    // Tab belongs to the text, not to the focus chain, while the editor wants tabs.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && FWantTabs &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            keyPressEvent(key);
            return true;
        }
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Editing keys without Ctrl are the editor's even where a window has them as shortcuts.
        auto *key = static_cast<QKeyEvent *>(event);
        static const QList<int> editingKeys = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down,
                                               Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown,
                                               Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Insert};
        const bool printable = !key->text().isEmpty() && key->text()[0].isPrint();
        if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && (printable || editingKeys.contains(key->key()))) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void TEditor::keyPressEvent(QKeyEvent *event)
{
    int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (OnKeyDown) {
        OnKeyDown(this, key, modifiers);
        if (key == 0) {
            event->accept();
            return;
        }
    }
    FKeyRepeat = event->isAutoRepeat();
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool repeat = event->isAutoRepeat();
    auto move = [&](TCaretMove plain, TCaretMove withCtrl) { FModel.MoveCaretBy(ctrl ? withCtrl : plain, shift, repeat); };
    switch (key) {
    case Qt::Key_Left: move(TCaretMove::Left, TCaretMove::WordLeft); break;
    case Qt::Key_Right: move(TCaretMove::Right, TCaretMove::WordRight); break;
    case Qt::Key_Up: move(TCaretMove::Up, TCaretMove::ScrollUp); break;
    case Qt::Key_Down: move(TCaretMove::Down, TCaretMove::ScrollDown); break;
    case Qt::Key_PageUp: move(TCaretMove::PageUp, TCaretMove::PageUp); break;
    case Qt::Key_PageDown: move(TCaretMove::PageDown, TCaretMove::PageDown); break;
    case Qt::Key_Home: move(TCaretMove::Home, TCaretMove::TextHome); break;
    case Qt::Key_End: move(TCaretMove::End, TCaretMove::TextEnd); break;
    case Qt::Key_Delete:
        if (shift && !ctrl)
            Perform(WM_CUT);
        else
            FModel.DeleteChar();
        break;
    case Qt::Key_Backspace: FModel.Backspace(); break;
    case Qt::Key_Insert:
        if (ctrl)
            Perform(WM_COPY);
        else if (shift)
            Perform(WM_PASTE);
        else
            FModel.SetOverwrite(!FModel.Overwrite());
        UpdateCaret();
        break;
    case Qt::Key_Tab:
        if (!shift && !ctrl && FWantTabs)
            FModel.InsertTab();
        break;
    case Qt::Key_Backtab: break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!FWantReturns || ctrl) {
            event->ignore();
            FKeyRepeat = false;
            return;
        }
        if (shift)
            FModel.ShiftEnter();
        else
            FModel.Enter();
        break;
    default:
        if (ctrl) {
            switch (key) {
            case Qt::Key_Z: Undo(); break;
            case Qt::Key_Y: Redo(); break;
            case Qt::Key_A: SelectAll(); break;
            case Qt::Key_C: Perform(WM_COPY); break;
            case Qt::Key_X: Perform(WM_CUT); break;
            case Qt::Key_V: Perform(WM_PASTE); break;
            case Qt::Key_K: SetSelectionMode(!SelectionMode()); break;
            default: event->ignore(); FKeyRepeat = false; return;
            }
            break;
        }
        QString text = event->text();
        if (OnKeyPress)
            OnKeyPress(this, text);
        if (text.isEmpty() || !text[0].isPrint()) {
            event->ignore();
            FKeyRepeat = false;
            return;
        }
        FModel.TypeText(cp932::FromUnicode(text));
        break;
    }
    event->accept();
}

void TEditor::keyReleaseEvent(QKeyEvent *event)
{
    if (!event->isAutoRepeat())
        FKeyRepeat = false;
    QWidget::keyReleaseEvent(event);
}

void TEditor::inputMethodEvent(QInputMethodEvent *event)
{
    if (ReadOnly()) {
        FModel.SetComposition({});
        event->accept();
        return;
    }
    if (!event->commitString().isEmpty())
        FModel.CommitComposition(cp932::FromUnicode(event->commitString()));
    FModel.SetComposition(cp932::FromUnicode(event->preeditString()));
    event->accept();
}

QVariant TEditor::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImEnabled: return !ReadOnly();
    case Qt::ImCursorRectangle: {
        const QPoint at = CellPos(FModel.Row(), FModel.Col());
        return QRect(at.x(), at.y(), CharWidth(), FCells.FontHeight());
    }
    case Qt::ImFont: return FCells.Font();
    case Qt::ImCursorPosition: return FModel.Col();
    case Qt::ImSurroundingText: return cp932::ToUnicode(FModel.RowText(FModel.Row()));
    case Qt::ImCurrentSelection: return cp932::ToUnicode(FModel.SelText());
    case Qt::ImHints: return static_cast<int>(Qt::ImhMultiLine);
    default: return QWidget::inputMethodQuery(query);
    }
}
