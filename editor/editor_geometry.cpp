// TEditor geometry: cell and row sizes, the text origin, the rows and columns in view, scrolling
// with both scroll bars, repainting after changes, and what lies under a point.
#include "editor/editor.h"

#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace {

int Digits(int n)
{
    int digits = 1;
    while (n >= 10) {
        n /= 10;
        ++digits;
    }
    return digits;
}

} // namespace

int TEditor::ScrollBarWidth() const
{
    return FScrollBars == ssVertical || FScrollBars == ssBoth ? FVScroll->sizeHint().width() : 0;
}

int TEditor::ScrollBarHeight() const
{
    return FScrollBars == ssHorizontal || FScrollBars == ssBoth ? FHScroll->sizeHint().height() : 0;
}

int TEditor::LargestLineNumber() const
{
    const TEditorScreenStrings &store = FModel.Store();
    const int count = store.Count();
    int largest = (FLeftbar->ShowNumberMode() == nmLine ? store.LineCount() : count) - 1;
    if (count > 0 && store.RowAttribute(count - 1) != raEof)
        ++largest;  // the position below a final line break is numbered too
    return std::max(0, largest) + (FLeftbar->ZeroBase() ? 0 : 1);
}

void TEditor::Measure()
{
    const int underline = FMarks->Underline()->Visible() ? 1 : 0;
    FRowHeight = std::max(1, FCells.FontHeight() + FMargin->Line() + underline);
    FLeftbarDigits = std::min(8, std::max(FLeftbar->Column(), Digits(LargestLineNumber())));
    FLeftbarWidth = FLeftbar->Visible()
                        ? FLeftbar->LeftMargin() + FLeftbarDigits * CharWidth() + FLeftbar->RightMargin() + 2
                        : 0;
    FTextLeft = FMargin->Left() + FImagebar->Width() + FLeftbarWidth;
    FTextTop = FMargin->Top() + FRuler->Height();
    FTopCol = std::clamp(FTopCol, 0, std::max(0, editor::MaxColumns - VisibleCols() / 2));
    UpdateScrollBars();
}

int TEditor::VisibleRows() const
{
    return std::max(1, (height() - FTextTop - 5 - ScrollBarHeight()) / FRowHeight);
}

int TEditor::VisibleCols() const
{
    return std::max(1, (width() - FTextLeft - CharWidth() / 2 - ScrollBarWidth()) / CharWidth());
}

editor::TCellGeometry TEditor::Geometry() const
{
    return {FTextLeft, FTextTop, CharWidth(), FRowHeight, width() - ScrollBarWidth(), height() - ScrollBarHeight()};
}

QPoint TEditor::CellPos(int row, int col) const
{
    return {FTextLeft + (col - FTopCol) * CharWidth(), FTextTop + (row - FTopRow) * FRowHeight};
}

QRect TEditor::TextArea() const
{
    return QRect(FTextLeft, FTextTop, std::max(0, width() - ScrollBarWidth() - FTextLeft),
                 std::max(0, height() - ScrollBarHeight() - FTextTop));
}

void TEditor::InvalidateRow(int row)
{
    if (row < FTopRow || row > FTopRow + VisibleRows())
        return;
    update(QRect(0, CellPos(row, 0).y(), width() - ScrollBarWidth(), FRowHeight));
}

void TEditor::RepaintRows(int first, int last)
{
    first = std::max(first, FTopRow);
    last = std::min(last, FTopRow + VisibleRows());
    if (last < first)
        return;
    update(QRect(0, CellPos(first, 0).y(), width() - ScrollBarWidth(), (last - first + 1) * FRowHeight));
}

void TEditor::RowMarksChanged(int row)
{
    if (row < FTopRow || row > FTopRow + VisibleRows())
        return;
    update(QRect(0, CellPos(row, 0).y(), FTextLeft, FRowHeight));
}

void TEditor::TextChanged(const TEditorChangeExtent &extent)
{
    const int digits = FLeftbarDigits;
    Measure();
    const int moved = extent.NewRows - extent.OldRows;
    if (extent.WholeText || digits != FLeftbarDigits || std::abs(moved) > VisibleRows() || extent.FirstRow < FTopRow) {
        FTopRow = std::min(FTopRow, RowCount());
        update();
        return;
    }
    const int bottom = height() - ScrollBarHeight();
    if (moved != 0) {
        // The rows below the change moved: they are painted again where they now stand, with the
        // bars (row numbers belong to positions, marks to rows).
        update(QRect(0, CellPos(extent.FirstRow, 0).y(), width() - ScrollBarWidth(), bottom));
    }
    RepaintRows(extent.FirstRow, extent.FirstRow + std::max(extent.NewRows, extent.ParsedRows));
    if (FLeftbar->Visible() && FLeftbar->ShowNumberMode() == nmLine)
        update(QRect(0, CellPos(extent.FirstRow, 0).y(), FTextLeft, bottom));
}

void TEditor::SelectionChanged(bool selected)
{
    update(TextArea());
    if (OnSelectionChange)
        OnSelectionChange(this, selected);
}

void TEditor::BeginTextUpdate() { ++FUpdateDepth; }

void TEditor::EndTextUpdate()
{
    if (FUpdateDepth > 0 && --FUpdateDepth == 0) {
        Measure();
        update();
    }
}

// --- Scrolling

void TEditor::SetTopRow(int row)
{
    row = std::clamp(row, 0, RowCount());
    if (row == FTopRow)
        return;
    const int delta = FTopRow - row;
    FTopRow = row;
    const QRect below(0, FTextTop, width() - ScrollBarWidth(), height() - ScrollBarHeight() - FTextTop);
    if (std::abs(delta) < VisibleRows() && isVisible()) {
        scroll(0, delta * FRowHeight, below);
        // The caret and the underline moved with the pixels; where they landed is stale.
        if (!FCaretShown.isNull())
            update(FCaretShown.translated(0, delta * FRowHeight));
        if (FUnderlineRow >= 0)
            update(QRect(FTextLeft, CellPos(FUnderlineRow, 0).y() + FCells.FontHeight(), width(), 1));
    } else
        update(below);
    if (FLeftbar->Visible())
        update(QRect(0, FTextTop, FTextLeft, below.height()));
    UpdateScrollBars();
    UpdateCaret();
    if (OnTopRowChange)
        OnTopRowChange(this);
}

void TEditor::SetTopCol(int col)
{
    col = std::clamp(col, 0, std::max(0, editor::MaxColumns - VisibleCols() / 2));
    if (col == FTopCol)
        return;
    FTopCol = col;
    update(QRect(FTextLeft, 0, width(), height()));
    UpdateScrollBars();
    UpdateCaret();
    if (OnTopColChange)
        OnTopColChange(this);
}

void TEditor::UpdateScrollBars()
{
    FSyncingScrollBars = true;
    FVScroll->setRange(0, std::max(1, RowCount()));
    FVScroll->setPageStep(VisibleRows());
    FVScroll->setValue(FTopRow);
    FHScroll->setRange(0, std::max(0, editor::MaxColumns - VisibleCols() / 2));
    FHScroll->setPageStep(VisibleCols());
    FHScroll->setValue(FTopCol);
    FSyncingScrollBars = false;
}

void TEditor::LayoutScrollBars()
{
    const int w = ScrollBarWidth();
    const int h = ScrollBarHeight();
    FVScroll->setVisible(w > 0);
    FHScroll->setVisible(h > 0);
    if (w > 0)
        FVScroll->setGeometry(width() - w, 0, w, height() - h);
    if (h > 0)
        FHScroll->setGeometry(0, height() - h, width() - w, h);
}

void TEditor::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayoutScrollBars();
    Measure();
    update();
}

void TEditor::wheelEvent(QWheelEvent *event)
{
    const int steps = event->angleDelta().y() / 40;
    if (steps != 0)
        SetTopRow(FTopRow - steps);
    event->accept();
}

void TEditor::KeepCaretInView()
{
    const int row = FModel.Row();
    const int col = FModel.Col();
    const int rows = VisibleRows();
    const int cols = VisibleCols();
    if (row < FTopRow)
        SetTopRow(row);
    else if (row >= FTopRow + rows)
        SetTopRow(row - rows + 1);
    if (col < FTopCol)
        SetTopCol(std::max(0, std::min(col, FTopCol - cols / 4)));
    else if (col >= FTopCol + cols)
        SetTopCol(std::min(std::max(col - cols + 1, FTopCol + cols / 4), editor::MaxColumns - cols / 2));
}

// --- Hit testing

TEditorHitTest TEditor::HitTest(QPoint point) const
{
    TEditorHitTest hit;
    const int right = width() - ScrollBarWidth();
    const int bottom = height() - ScrollBarHeight();
    if (point.x() < 0 || point.y() < 0 || point.x() >= right || point.y() >= bottom)
        return hit;
    const int imagebar = FImagebar->Width();
    if (point.y() < FTextTop)
        hit.Area = point.x() < FTextLeft ? TEditorArea::Corner : TEditorArea::Ruler;
    else if (point.x() < imagebar)
        hit.Area = TEditorArea::Imagebar;
    else if (point.x() < imagebar + FLeftbarWidth)
        hit.Area = TEditorArea::Leftbar;
    else
        hit.Area = TEditorArea::Text;

    const TEditorScreenStrings &store = FModel.Store();
    const int count = store.Count();
    int row = FTopRow + (point.y() - FTextTop) / FRowHeight;
    if (point.y() < FTextTop)
        row = FTopRow;
    int maxRow = count;
    if (count > 0 && store.RowAttribute(count - 1) == raEof)
        maxRow = count - 1;
    hit.Row = std::clamp(row, 0, std::max(0, maxRow));
    // The nearest cell boundary: a point in the right half of a character belongs after it.
    const int x = std::max(0, point.x() - FTextLeft);
    const int cell = FTopCol + x / CharWidth();
    const bool rightHalf = x % CharWidth() >= CharWidth() / 2;
    int col = std::clamp(cell + (rightHalf ? 1 : 0), 0, TEditorModel::MaxCol);
    if (hit.Row < count) {
        const std::string_view text = store.View(hit.Row);
        const editor::TColumnRules rules = FModel.ColumnRules();
        const editor::TAttributeString attributes(text, rules, std::max(rules.Cap(), cell + 3));
        if (attributes.At(cell + 1) == editor::acLead)
            col = cell;
        else if (attributes.At(cell + 1) == editor::acTrail)
            col = cell + 1;
        if (!FCaret->FreeCaret())
            col = std::min(col, editor::RowWidth(text, rules));
        hit.Byte = editor::ColumnToByte(text, col, rules);
    }
    hit.Col = col;
    return hit;
}
