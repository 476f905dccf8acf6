// TEditor and the mouse: a press puts the caret at the nearest cell boundary and takes the focus;
// Shift extends the selection; moving with the button down selects; a press in the bars left of
// the text selects whole rows; a press in a selection starts dragging it, to move it or (with
// Ctrl) copy it where the button is released; without a button the cursor shows what a press
// would do. A double click runs the host's handler (selecting the token under the caret when
// the host has none), and the right button opens the popup menu.
#include "editor/editor.h"

#include "editor/editor_cursors.h"
#include "editor/editor_drag.h"
#include "editor/editor_popup_menu.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

// While a selection is dragged the keyboard only steers the drag: Ctrl switches between moving
// and copying, Esc cancels, every other key is ignored.
class TDragKeys : public QObject {
public:
    TDragKeys(QObject *parent, std::function<void()> controlChanged, std::function<void()> cancel)
        : QObject(parent), FControlChanged(std::move(controlChanged)), FCancel(std::move(cancel))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Control)
            FControlChanged();
        else if (key->key() == Qt::Key_Escape && event->type() == QEvent::KeyPress)
            FCancel();
        return true;
    }

private:
    std::function<void()> FControlChanged;
    std::function<void()> FCancel;
};

} // namespace

struct TEditor::TMouseState {
    enum class TDrag { None, Pending, Dragging };
    bool Pressed = false;
    QPoint PressPoint;
    TEditorPosition Anchor;
    int AnchorCol = 0;
    bool Selecting = false;     // moved at least half a character since the press
    bool RowSelecting = false;  // pressed in the bars: whole rows from AnchorRow
    int AnchorRow = 0;
    TDrag Drag = TDrag::None;
    TEditorPosition DragFrom;   // the dragged selection
    TEditorPosition DragTo;
    TDragKeys *Keys = nullptr;  // installed on the editor while dragging
};

void TEditor::TMouseStateDeleter::operator()(TMouseState *state) const { delete state; }

TEditor::TMouseState &TEditor::Mouse()
{
    if (!FMouse)
        FMouse.reset(new TMouseState);
    return *FMouse;
}

bool TEditor::MovedHalfACharacter(QPoint point) const
{
    const QPoint moved = point - FMouse->PressPoint;
    const int half = std::max(1, CharWidth() / 2);
    return std::abs(moved.x()) >= half || std::abs(moved.y()) >= half;
}

bool TEditor::CanDragSelection() const
{
    return FCaret->SelMove() && !ReadOnly() && Selected() && !SelectionMode();
}

bool TEditor::InSelection(const TEditorHitTest &hit) const
{
    const TEditorPosition at{hit.Row, hit.Byte};
    return FModel.Selected() && FModel.SelectionStart() <= at && at <= FModel.SelectionEnd();
}

void TEditor::SelectRows(int anchorRow, int row)
{
    const int rows = RowCount();
    if (rows == 0)
        return;
    anchorRow = std::clamp(anchorRow, 0, rows - 1);
    row = std::clamp(row, 0, rows - 1);
    // A row runs from its column 0 to column 0 of the next row; the last row without a line
    // break to its end.
    auto rowEnd = [&](int r) -> TEditorPosition {
        if (r + 1 < rows || FModel.RowAttributes(r) != raEof)
            return {r + 1, 0};
        return {r, static_cast<int>(FModel.RowText(r).size())};
    };
    if (row >= anchorRow)
        FModel.SelectRange({anchorRow, 0}, rowEnd(row));
    else
        FModel.SelectRange(rowEnd(anchorRow), {row, 0});
}

void TEditor::BeginSelDrag()
{
    if (!CanDragSelection())
        return;
    TMouseState &mouse = Mouse();
    mouse.Drag = TMouseState::TDrag::Pending;
    mouse.DragFrom = FModel.SelectionStart();
    mouse.DragTo = FModel.SelectionEnd();
}

void TEditor::StartDragging()
{
    TMouseState &mouse = Mouse();
    mouse.Drag = TMouseState::TDrag::Dragging;
    mouse.Keys = new TDragKeys(
        this, [this] { ShowDragCursor(); }, [this] { EndDrag(); });
    installEventFilter(mouse.Keys);
    ShowDragCursor();
}

void TEditor::ShowDragCursor()
{
    const bool copy = QApplication::queryKeyboardModifiers() & Qt::ControlModifier;
    TEditorCursors *cursors = FCaret->Cursors();
    setCursor(editor::EditorCursor(copy ? cursors->DragSelCopyCursor() : cursors->DragSelCursor()));
}

void TEditor::EndDrag()
{
    TMouseState &mouse = Mouse();
    mouse.Drag = TMouseState::TDrag::None;
    if (mouse.Keys) {
        removeEventFilter(mouse.Keys);
        mouse.Keys->deleteLater();
        mouse.Keys = nullptr;
    }
    UpdateMouseCursor(mapFromGlobal(QCursor::pos()));
}

void TEditor::UpdateMouseCursor(QPoint point)
{
    if (!FCaret->AutoCursor())
        return;
    TEditorCursors *cursors = FCaret->Cursors();
    TCursor shape = cursors->DefaultCursor();
    if (point.y() < FTextTop)
        shape = cursors->TopMarginCursor();
    else if (point.x() < FTextLeft)
        shape = cursors->LeftMarginCursor();
    else if (CanDragSelection() && InSelection(HitTest(point)))
        shape = cursors->InSelCursor();
    setCursor(editor::EditorCursor(shape));
}

TEditorHitTest TEditor::HitWhileMoving(QPoint point) const
{
    // Outside the text the nearest cell is taken, and a row beyond the view's edge, so that the
    // view scrolls towards the mouse.
    const int right = width() - ScrollBarWidth() - 1;
    const int bottom = height() - ScrollBarHeight() - 1;
    TEditorHitTest hit = HitTest(QPoint(std::clamp(point.x(), 0, std::max(0, right)), std::clamp(point.y(), 0, std::max(0, bottom))));
    if (point.y() < FTextTop)
        hit.Row = std::max(0, FTopRow - 1);
    else if (point.y() > bottom)
        hit.Row = std::min(FModel.RowCount(), FTopRow + VisibleRows());
    return hit;
}

void TEditor::mousePressEvent(QMouseEvent *event)
{
    TMouseState &mouse = Mouse();
    setFocus(Qt::MouseFocusReason);
    if (mouse.Drag == TMouseState::TDrag::Dragging || event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const QPoint point = event->position().toPoint();
    const TEditorHitTest hit = HitTest(point);
    if (hit.Area == TEditorArea::Outside)
        return;
    mouse.Pressed = true;
    mouse.PressPoint = point;
    mouse.Selecting = false;
    mouse.RowSelecting = false;
    const bool extend = event->modifiers() & Qt::ShiftModifier;

    if (!extend && hit.Area == TEditorArea::Text && CanDragSelection() && InSelection(hit)) {
        const TEditorPosition from = FModel.SelectionStart();
        const TEditorPosition to = FModel.SelectionEnd();
        FModel.SetCaretPosition(hit.Row, hit.Col);  // the selection stays
        if (FCaret->SelDragMode() == dmAutomatic) {
            mouse.Drag = TMouseState::TDrag::Pending;
            mouse.DragFrom = from;
            mouse.DragTo = to;
        }
        return;
    }
    if (!extend && (hit.Area == TEditorArea::Leftbar || hit.Area == TEditorArea::Imagebar) && FCaret->RowSelect()) {
        mouse.RowSelecting = true;
        mouse.AnchorRow = std::min(hit.Row, RowCount() - 1);
        SelectRows(mouse.AnchorRow, mouse.AnchorRow);
        return;
    }
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
    mouse.Selecting = extend;
}

void TEditor::mouseMoveEvent(QMouseEvent *event)
{
    TMouseState &mouse = Mouse();
    const QPoint point = event->position().toPoint();
    if (!mouse.Pressed || !(event->buttons() & Qt::LeftButton)) {
        if (mouse.Drag == TMouseState::TDrag::None)
            UpdateMouseCursor(point);
        return;
    }
    if (mouse.Drag == TMouseState::TDrag::Pending) {
        if (!MovedHalfACharacter(point))
            return;
        StartDragging();
    }
    const TEditorHitTest hit = HitWhileMoving(point);
    if (mouse.Drag == TMouseState::TDrag::Dragging) {
        FModel.SetCaretPosition(hit.Row, hit.Col);  // the drop position; the selection stays
        ShowDragCursor();
        return;
    }
    if (mouse.RowSelecting) {
        SelectRows(mouse.AnchorRow, hit.Row);
        return;
    }
    if (!mouse.Selecting && !MovedHalfACharacter(point))
        return;
    mouse.Selecting = true;
    FModel.SetCaretPosition(hit.Row, hit.Col);
    if (FModel.SelectionMode())
        FModel.SelectBox(mouse.Anchor.Row, mouse.AnchorCol, FModel.Row(), FModel.Col());
    else
        FModel.SelectRange(mouse.Anchor, FModel.CaretPosition());
}

void TEditor::mouseReleaseEvent(QMouseEvent *event)
{
    TMouseState &mouse = Mouse();
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const bool wasPressed = mouse.Pressed;
    mouse.Pressed = false;
    mouse.RowSelecting = false;
    if (mouse.Drag == TMouseState::TDrag::Dragging) {
        const QPoint point = event->position().toPoint();
        const bool copy = event->modifiers() & Qt::ControlModifier;
        const TEditorHitTest hit = HitTest(point);
        const TEditorPosition from = mouse.DragFrom;
        const TEditorPosition to = mouse.DragTo;
        EndDrag();
        // Outside the control, or inside the dragged text: nothing is dropped.
        if (!rect().contains(point) || hit.Area == TEditorArea::Outside ||
            !editor::DropText(FModel, from, to, {hit.Row, hit.Byte}, copy))
            FModel.CancelSelection();
        return;
    }
    if (mouse.Drag == TMouseState::TDrag::Pending && wasPressed) {
        // Pressed in the selection and released without moving: an ordinary click.
        mouse.Drag = TMouseState::TDrag::None;
        FModel.CancelSelection();
    }
    QWidget::mouseReleaseEvent(event);
}

void TEditor::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (Mouse().Drag != TMouseState::TDrag::None || event->button() != Qt::LeftButton)
        return;
    Mouse().Pressed = false;
    // The caret stands where the double click was, whatever the presses before it did.
    const TEditorHitTest hit = HitTest(event->position().toPoint());
    if (hit.Area == TEditorArea::Text) {
        FModel.CancelSelection();
        FModel.SetCaretPosition(hit.Row, hit.Col);
    }
    if (OnDblClick)
        OnDblClick(this);
    else
        SelectTokenAtCaret();
}

void TEditor::contextMenuEvent(QContextMenuEvent *event)
{
    if (Mouse().Drag == TMouseState::TDrag::Dragging || !FPopupMenu) {
        event->accept();
        return;
    }
    FPopupMenu->popup(event->globalPos());
    event->accept();
}

QMenu *TEditor::PopupMenu() const { return FPopupMenu; }

void TEditor::SetPopupMenu(QMenu *menu) { FPopupMenu = menu; }
