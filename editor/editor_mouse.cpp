// TEditor and the mouse: a press puts the caret at the nearest cell boundary and takes the focus,
// Shift extends the selection, moving with the button down selects, a double click runs the
// host's handler.
#include "editor/editor.h"

#include <QMouseEvent>

struct TEditor::TMouseState {
    bool Pressed = false;
    QPoint PressPoint;
    TEditorPosition Anchor;
    int AnchorCol = 0;
    bool Selecting = false;  // moved at least half a character since the press
};

void TEditor::TMouseStateDeleter::operator()(TMouseState *state) const { delete state; }

void TEditor::mousePressEvent(QMouseEvent *event)
{
    if (!FMouse)
        FMouse.reset(new TMouseState);
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const TEditorHitTest hit = HitTest(event->position().toPoint());
    if (hit.Area == TEditorArea::Outside)
        return;
    TMouseState &mouse = *FMouse;
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    if (extend) {
        if (!FModel.Selected()) {
            mouse.Anchor = FModel.CaretPosition();
            mouse.AnchorCol = FModel.Col();
        }
    } else {
        FModel.CancelSelection();
    }
    FModel.SetCaretPosition(hit.Row, hit.Col);
    if (!extend) {
        mouse.Anchor = FModel.CaretPosition();
        mouse.AnchorCol = FModel.Col();
    } else if (FModel.SelectionMode()) {
        FModel.SelectBox(mouse.Anchor.Row, mouse.AnchorCol, FModel.Row(), FModel.Col());
    } else {
        FModel.SelectRange(mouse.Anchor, FModel.CaretPosition());
    }
    mouse.Pressed = true;
    mouse.Selecting = extend;
    mouse.PressPoint = event->position().toPoint();
}

void TEditor::mouseMoveEvent(QMouseEvent *event)
{
    if (!FMouse || !FMouse->Pressed || !(event->buttons() & Qt::LeftButton))
        return;
    TMouseState &mouse = *FMouse;
    const QPoint point = event->position().toPoint();
    const QPoint moved = point - mouse.PressPoint;
    if (!mouse.Selecting && std::abs(moved.x()) < CharWidth() / 2 && std::abs(moved.y()) < CharWidth() / 2)
        return;
    mouse.Selecting = true;
    TEditorHitTest hit = HitTest(QPoint(std::max(0, point.x()), std::max(0, point.y())));
    if (point.y() < FTextTop)
        hit.Row = std::max(0, FTopRow - 1);
    FModel.SetCaretPosition(hit.Row, hit.Col);
    if (FModel.SelectionMode())
        FModel.SelectBox(mouse.Anchor.Row, mouse.AnchorCol, FModel.Row(), FModel.Col());
    else
        FModel.SelectRange(mouse.Anchor, FModel.CaretPosition());
}

void TEditor::mouseReleaseEvent(QMouseEvent *event)
{
    if (FMouse)
        FMouse->Pressed = false;
    QWidget::mouseReleaseEvent(event);
}

void TEditor::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (OnDblClick)
        OnDblClick(this);
    event->accept();
}

void TEditor::contextMenuEvent(QContextMenuEvent *event) { QWidget::contextMenuEvent(event); }
