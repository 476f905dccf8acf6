// TStringGrid: geometry, scrolling, selection, painting, keyboard and mouse, in-place editing.
#include "classlib/string_grid.h"

#include "classlib/cp932.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {
constexpr int kSizingSlop = 3;  // pixels either side of a grid line that start a resize
}

TStringGrid::TStringGrid(QWidget *parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    color_ = palette().color(QPalette::Base);
    fixedColor_ = palette().color(QPalette::Button);
    cells_.SetColCount(5);
    cells_.SetRowCount(5);
    colWidths_.assign(5, defaultColWidth_);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    UpdateScrollBars();
}

TStringGrid::~TStringGrid() = default;

// ---- size -------------------------------------------------------------------------------------

void TStringGrid::SetColCount(int count)
{
    count = std::max(count, 1);
    if (count == ColCount()) return;
    if (editorMode_) HideEditor(true);
    cells_.SetColCount(count);
    colWidths_.resize(static_cast<std::size_t>(count), defaultColWidth_);
    if (fixedCols_ > count) fixedCols_ = count;
    UpdateView();
}

void TStringGrid::SetRowCount(int count)
{
    count = std::max(count, 1);
    if (count == RowCount()) return;
    if (editorMode_ && editRow_ >= count) HideEditor(false);
    const bool shrinking = count < RowCount();
    cells_.SetRowCount(count);
    if (shrinking) rowHeights_.erase(rowHeights_.lower_bound(count), rowHeights_.end());
    if (fixedRows_ > count) fixedRows_ = count;
    UpdateView();
}

void TStringGrid::SetFixedCols(int count)
{
    fixedCols_ = std::clamp(count, 0, ColCount());
    UpdateView();
}

void TStringGrid::SetFixedRows(int count)
{
    fixedRows_ = std::clamp(count, 0, RowCount());
    UpdateView();
}

void TStringGrid::SetDefaultColWidth(int width)
{
    defaultColWidth_ = std::max(width, 0);
    std::fill(colWidths_.begin(), colWidths_.end(), defaultColWidth_);
    UpdateView();
}

void TStringGrid::SetDefaultRowHeight(int height)
{
    defaultRowHeight_ = std::max(height, 0);
    rowHeights_.clear();
    UpdateView();
}

int TStringGrid::ColWidths(int col) const
{
    if (col < 0 || col >= ColCount()) return defaultColWidth_;
    return colWidths_[static_cast<std::size_t>(col)];
}

void TStringGrid::SetColWidths(int col, int width)
{
    if (col < 0 || col >= ColCount()) return;
    colWidths_[static_cast<std::size_t>(col)] = std::max(width, 0);
    UpdateView();
}

int TStringGrid::RowHeights(int row) const
{
    const auto it = rowHeights_.find(row);
    return it == rowHeights_.end() ? defaultRowHeight_ : it->second;
}

void TStringGrid::SetRowHeights(int row, int height)
{
    if (row < 0 || row >= RowCount()) return;
    height = std::max(height, 0);
    if (height == defaultRowHeight_)
        rowHeights_.erase(row);
    else
        rowHeights_[row] = height;
    UpdateView();
}

void TStringGrid::SetGridLineWidth(int width)
{
    gridLineWidth_ = std::max(width, 0);
    UpdateView();
}

// ---- cells ------------------------------------------------------------------------------------

void TStringGrid::SetCells(int col, int row, std::string_view text)
{
    cells_.Set(col, row, text);
    if (redraw_) {
        const QRect rect = CellRect(col, row);
        if (!rect.isEmpty()) viewport()->update(rect);
    }
}

void TStringGrid::ClearCells()
{
    cells_.Clear();
    if (redraw_) viewport()->update();
}

void TStringGrid::MoveColumn(int from, int to)
{
    if (from < 0 || to < 0 || from >= ColCount() || to >= ColCount() || from == to) return;
    if (editorMode_) HideEditor(true);
    cells_.MoveColumn(from, to);
    const int width = colWidths_[static_cast<std::size_t>(from)];
    colWidths_.erase(colWidths_.begin() + from);
    colWidths_.insert(colWidths_.begin() + to, width);
    UpdateView();
}

void TStringGrid::MoveRow(int from, int to)
{
    if (from < 0 || to < 0 || from >= RowCount() || to >= RowCount() || from == to) return;
    if (editorMode_) HideEditor(true);
    cells_.MoveRow(from, to);
    const int height = RowHeights(from);
    // Heights of the rows between shift with them.
    std::map<int, int> moved;
    for (const auto &[row, h] : rowHeights_) {
        int r = row;
        if (row == from)
            r = to;
        else if (from < to && row > from && row <= to)
            r = row - 1;
        else if (to < from && row >= to && row < from)
            r = row + 1;
        moved[r] = h;
    }
    moved.erase(to);
    if (height != defaultRowHeight_) moved[to] = height;
    rowHeights_ = std::move(moved);
    UpdateView();
}

// ---- geometry ---------------------------------------------------------------------------------

int TStringGrid::RowSpan(int from, int to) const
{
    if (to <= from) return 0;
    long long span = static_cast<long long>(to - from) * (defaultRowHeight_ + gridLineWidth_);
    for (auto it = rowHeights_.lower_bound(from); it != rowHeights_.end() && it->first < to; ++it)
        span += it->second - defaultRowHeight_;
    return static_cast<int>(std::min<long long>(span, 1 << 30));
}

int TStringGrid::ColSpan(int from, int to) const
{
    long long span = 0;
    for (int c = std::max(from, 0); c < to && c < ColCount(); ++c)
        span += colWidths_[static_cast<std::size_t>(c)] + gridLineWidth_;
    return static_cast<int>(std::min<long long>(span, 1 << 30));
}

int TStringGrid::MaxTopRow() const
{
    const int avail = viewport()->height() - FixedHeight();
    if (rowHeights_.empty()) {
        const int step = std::max(defaultRowHeight_ + gridLineWidth_, 1);
        const int fit = std::max(avail / step, 1);
        return std::max(fixedRows_, RowCount() - fit);
    }
    int used = 0;
    int r = RowCount() - 1;
    for (; r >= fixedRows_; --r) {
        const int h = RowHeights(r) + gridLineWidth_;
        if (used > 0 && used + h > avail) break;
        used += h;
    }
    return std::max(fixedRows_, r + 1);
}

int TStringGrid::MaxLeftCol() const
{
    const int avail = viewport()->width() - FixedWidth();
    int used = 0;
    int c = ColCount() - 1;
    for (; c >= fixedCols_; --c) {
        const int w = ColWidths(c) + gridLineWidth_;
        if (used > 0 && used + w > avail) break;
        used += w;
    }
    return std::max(fixedCols_, c + 1);
}

int TStringGrid::VisibleRowCount() const
{
    const int avail = viewport()->height() - FixedHeight();
    int used = 0;
    int count = 0;
    for (int r = topRow_; r < RowCount(); ++r) {
        used += RowHeights(r) + gridLineWidth_;
        if (used > avail) break;
        ++count;
    }
    return count;
}

int TStringGrid::VisibleColCount() const
{
    const int avail = viewport()->width() - FixedWidth();
    int used = 0;
    int count = 0;
    for (int c = leftCol_; c < ColCount(); ++c) {
        used += ColWidths(c) + gridLineWidth_;
        if (used > avail) break;
        ++count;
    }
    return count;
}

QRect TStringGrid::CellRect(int col, int row) const
{
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) return {};
    int x;
    if (col < fixedCols_)
        x = ColSpan(0, col);
    else if (col >= leftCol_)
        x = FixedWidth() + ColSpan(leftCol_, col);
    else
        return {};
    int y;
    if (row < fixedRows_)
        y = RowSpan(0, row);
    else if (row >= topRow_)
        y = FixedHeight() + RowSpan(topRow_, row);
    else
        return {};
    return QRect(x, y, ColWidths(col), RowHeights(row));
}

bool TStringGrid::MouseToCell(const QPoint &point, int &col, int &row) const
{
    col = row = -1;
    if (point.x() < 0 || point.y() < 0) return false;
    int x = 0;
    for (int c = 0; c < fixedCols_; ++c) {
        x += ColWidths(c) + gridLineWidth_;
        if (point.x() < x) {
            col = c;
            break;
        }
    }
    for (int c = leftCol_; col < 0 && c < ColCount() && x <= point.x(); ++c) {
        x += ColWidths(c) + gridLineWidth_;
        if (point.x() < x) col = c;
    }
    int y = 0;
    for (int r = 0; r < fixedRows_; ++r) {
        y += RowHeights(r) + gridLineWidth_;
        if (point.y() < y) {
            row = r;
            break;
        }
    }
    for (int r = topRow_; row < 0 && r < RowCount() && y <= point.y(); ++r) {
        y += RowHeights(r) + gridLineWidth_;
        if (point.y() < y) row = r;
    }
    return col >= 0 && row >= 0;
}

// ---- scrolling --------------------------------------------------------------------------------

void TStringGrid::UpdateScrollBars()
{
    syncingScrollBars_ = true;
    QScrollBar *v = verticalScrollBar();
    v->setRange(0, MaxTopRow() - fixedRows_);
    v->setPageStep(std::max(VisibleRowCount(), 1));
    v->setValue(topRow_ - fixedRows_);
    QScrollBar *h = horizontalScrollBar();
    h->setRange(0, MaxLeftCol() - fixedCols_);
    h->setPageStep(std::max(VisibleColCount(), 1));
    h->setValue(leftCol_ - fixedCols_);
    syncingScrollBars_ = false;
}

void TStringGrid::scrollContentsBy(int, int)
{
    if (syncingScrollBars_) return;
    const int top = fixedRows_ + verticalScrollBar()->value();
    const int left = fixedCols_ + horizontalScrollBar()->value();
    if (top == topRow_ && left == leftCol_) return;
    topRow_ = top;
    leftCol_ = left;
    if (editorMode_) PlaceEditor();
    viewport()->update();
    if (OnTopLeftChanged) OnTopLeftChanged();
}

void TStringGrid::SetTopRow(int row)
{
    row = std::clamp(row, fixedRows_, std::max(MaxTopRow(), fixedRows_));
    if (row == topRow_) return;
    topRow_ = row;
    UpdateScrollBars();
    if (editorMode_) PlaceEditor();
    viewport()->update();
    if (OnTopLeftChanged) OnTopLeftChanged();
}

void TStringGrid::SetLeftCol(int col)
{
    col = std::clamp(col, fixedCols_, std::max(MaxLeftCol(), fixedCols_));
    if (col == leftCol_) return;
    leftCol_ = col;
    UpdateScrollBars();
    if (editorMode_) PlaceEditor();
    viewport()->update();
    if (OnTopLeftChanged) OnTopLeftChanged();
}

void TStringGrid::ScrollIntoView(int col, int row)
{
    if (row >= fixedRows_) {
        if (row < topRow_) {
            SetTopRow(row);
        } else {
            // Lowest top row that still shows row whole.
            const int avail = viewport()->height() - FixedHeight();
            int top = row;
            int used = RowHeights(row) + gridLineWidth_;
            while (top > fixedRows_ && used + RowHeights(top - 1) + gridLineWidth_ <= avail) {
                --top;
                used += RowHeights(top) + gridLineWidth_;
            }
            if (top > topRow_) SetTopRow(top);
        }
    }
    if (col >= fixedCols_) {
        if (col < leftCol_) {
            SetLeftCol(col);
        } else {
            const int avail = viewport()->width() - FixedWidth();
            int left = col;
            int used = ColWidths(col) + gridLineWidth_;
            while (left > fixedCols_ && used + ColWidths(left - 1) + gridLineWidth_ <= avail) {
                --left;
                used += ColWidths(left) + gridLineWidth_;
            }
            if (left > leftCol_) SetLeftCol(left);
        }
    }
}

// Keeps the current cell, the anchor and the scroll position inside the grid after a change of
// size, fixed counts or sizes, and repaints.
void TStringGrid::UpdateView()
{
    ClampCurrent();
    if (!redraw_) {
        // A caller filling the grid changes its size once per row: the scroll bars follow when
        // painting is switched on again.
        viewDirty_ = true;
        return;
    }
    viewDirty_ = false;
    topRow_ = std::clamp(topRow_, fixedRows_, std::max(MaxTopRow(), fixedRows_));
    leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(MaxLeftCol(), fixedCols_));
    UpdateScrollBars();
    if (editorMode_) PlaceEditor();
    if (redraw_) viewport()->update();
}

void TStringGrid::ClampCurrent()
{
    const int lastCol = std::max(ColCount() - 1, fixedCols_);
    const int lastRow = std::max(RowCount() - 1, fixedRows_);
    col_ = std::clamp(col_, fixedCols_, lastCol);
    row_ = std::clamp(row_, fixedRows_, lastRow);
    anchorCol_ = std::clamp(anchorCol_, fixedCols_, lastCol);
    anchorRow_ = std::clamp(anchorRow_, fixedRows_, lastRow);
    if (!(options_ & goRangeSelect)) {
        anchorCol_ = col_;
        anchorRow_ = row_;
    }
}

// ---- current cell and selection ---------------------------------------------------------------

bool TStringGrid::CanSelect(int col, int row)
{
    bool can = true;
    if (OnSelectCell) OnSelectCell(col, row, can);
    return can;
}

void TStringGrid::FocusCell(int col, int row, bool moveAnchor)
{
    if (ColCount() <= fixedCols_ || RowCount() <= fixedRows_) return;  // no data cell to hold
    col = std::clamp(col, fixedCols_, ColCount() - 1);
    row = std::clamp(row, fixedRows_, RowCount() - 1);
    if ((col != col_ || row != row_) && !CanSelect(col, row)) return;
    if (editorMode_ && (col != editCol_ || row != editRow_)) HideEditor(true);
    col_ = col;
    row_ = row;
    if (moveAnchor || !(options_ & goRangeSelect)) {
        anchorCol_ = col;
        anchorRow_ = row;
    }
    ScrollIntoView(col, row);
    if ((options_ & goEditing) && (options_ & goAlwaysShowEditor) && !editorMode_) ShowEditor(nullptr);
    if (redraw_) viewport()->update();
}

TGridRect TStringGrid::Selection() const
{
    TGridRect rect;
    rect.Left = std::min(anchorCol_, col_);
    rect.Right = std::max(anchorCol_, col_);
    rect.Top = std::min(anchorRow_, row_);
    rect.Bottom = std::max(anchorRow_, row_);
    if (options_ & goRowSelect) {
        rect.Left = fixedCols_;
        rect.Right = ColCount() - 1;
    }
    return rect;
}

void TStringGrid::SetSelection(const TGridRect &rect)
{
    if (ColCount() <= fixedCols_ || RowCount() <= fixedRows_) return;
    if (editorMode_) HideEditor(true);
    anchorCol_ = rect.Left;
    anchorRow_ = rect.Top;
    col_ = rect.Right;
    row_ = rect.Bottom;
    const bool range = options_ & goRangeSelect;
    options_ |= goRangeSelect;  // keep the anchor through the clamp
    ClampCurrent();
    if (!range) options_ &= ~TGridOptions(goRangeSelect);
    ScrollIntoView(col_, row_);
    if (redraw_) viewport()->update();
}

void TStringGrid::SetOptions(TGridOptions options)
{
    options_ = options;
    if (!(options_ & goEditing) && editorMode_) HideEditor(true);
    UpdateView();
}

void TStringGrid::MoveBy(int dCol, int dRow, bool extend)
{
    FocusCell(col_ + dCol, row_ + dRow, !extend);
}

// ---- painting ---------------------------------------------------------------------------------

void TStringGrid::SetRedraw(bool on)
{
    if (on == redraw_) return;
    redraw_ = on;
    viewport()->setUpdatesEnabled(on);
    if (on) {
        if (viewDirty_) UpdateView();
        viewport()->update();
    }
}

void TStringGrid::Repaint()
{
    if (redraw_) viewport()->repaint();
}

void TStringGrid::SetColor(const QColor &color)
{
    color_ = color;
    viewport()->update();
}

void TStringGrid::SetFixedColor(const QColor &color)
{
    fixedColor_ = color;
    viewport()->update();
}

void TStringGrid::DefaultDrawCell(QPainter &painter, int col, int row, const QRect &rect, TGridDrawState state)
{
    const QPalette &pal = palette();
    QColor background = color_;
    QColor text = pal.color(QPalette::Text);
    if (state & gdFixed) {
        background = fixedColor_;
        text = pal.color(QPalette::ButtonText);
    } else if ((state & gdSelected) && (!(state & gdFocused) || (options_ & goDrawFocusSelected))) {
        background = pal.color(QPalette::Highlight);
        text = pal.color(QPalette::HighlightedText);
    }
    painter.fillRect(rect, background);
    if (state & gdFixed) {
        // Raised edges, as fixed cells have always looked.
        painter.setPen(pal.color(QPalette::Light));
        painter.drawLine(rect.topLeft(), rect.topRight());
        painter.drawLine(rect.topLeft(), rect.bottomLeft());
        painter.setPen(pal.color(QPalette::Mid));
        painter.drawLine(rect.bottomLeft(), rect.bottomRight());
        painter.drawLine(rect.topRight(), rect.bottomRight());
    }
    const std::string_view cell = cells_.Get(col, row);
    if (!cell.empty()) {
        painter.setPen(text);
        painter.drawText(rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         cp932::ToUnicode(cell));
    }
    painter.setBrush(background);
    painter.setPen(text);
}

void TStringGrid::DrawCell(QPainter &painter, int col, int row, const QRect &rect, TGridDrawState state)
{
    if (OnDrawCell) OnDrawCell(painter, col, row, rect, state);
}

void TStringGrid::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QRect area = event->rect();
    painter.fillRect(area, color_);
    painter.setFont(font());

    // Columns and rows in view: the fixed ones, then the scrolled ones up to the edge.
    std::vector<std::pair<int, int>> cols;  // index, x
    std::vector<std::pair<int, int>> rows;  // index, y
    int x = 0;
    for (int c = 0; c < fixedCols_ && x < viewport()->width(); ++c) {
        cols.emplace_back(c, x);
        x += ColWidths(c) + gridLineWidth_;
    }
    for (int c = leftCol_; c < ColCount() && x < viewport()->width(); ++c) {
        cols.emplace_back(c, x);
        x += ColWidths(c) + gridLineWidth_;
    }
    int y = 0;
    for (int r = 0; r < fixedRows_ && y < viewport()->height(); ++r) {
        rows.emplace_back(r, y);
        y += RowHeights(r) + gridLineWidth_;
    }
    for (int r = topRow_; r < RowCount() && y < viewport()->height(); ++r) {
        rows.emplace_back(r, y);
        y += RowHeights(r) + gridLineWidth_;
    }

    const TGridRect selection = Selection();
    const bool focused = hasFocus() || (editor_ && editor_->hasFocus());
    const QColor dataLine = palette().color(QPalette::Midlight).darker(110);
    const QColor fixedLine = palette().color(QPalette::Dark);
    for (const auto &[row, top] : rows) {
        for (const auto &[col, left] : cols) {
            const QRect rect(left, top, ColWidths(col), RowHeights(row));
            const QRect withLines = rect.adjusted(0, 0, gridLineWidth_, gridLineWidth_);
            if (!withLines.intersects(area)) continue;
            TGridDrawState state;
            const bool fixed = col < fixedCols_ || row < fixedRows_;
            if (fixed) {
                state |= gdFixed;
            } else {
                if (col >= selection.Left && col <= selection.Right && row >= selection.Top && row <= selection.Bottom)
                    state |= gdSelected;
                if (focused && col == col_ && row == row_) state |= gdFocused;
            }
            if (gridLineWidth_ > 0) {
                const bool vert = options_ & (fixed ? goFixedVertLine : goVertLine);
                const bool horz = options_ & (fixed ? goFixedHorzLine : goHorzLine);
                const QColor line = fixed ? fixedLine : dataLine;
                painter.fillRect(QRect(rect.right() + 1, top, gridLineWidth_, rect.height() + gridLineWidth_),
                                 vert ? line : color_);
                painter.fillRect(QRect(left, rect.bottom() + 1, rect.width() + gridLineWidth_, gridLineWidth_),
                                 horz ? line : color_);
            }
            if (rect.isEmpty()) continue;
            painter.save();
            painter.setClipRect(rect);
            DefaultDrawCell(painter, col, row, rect, state);
            DrawCell(painter, col, row, rect, state);
            painter.restore();
        }
    }

    // The focus frame on the current cell, drawn last so that no cell painting hides it.
    if (focused && !editorMode_ && !(options_ & goRowSelect)) {
        const QRect rect = CellRect(col_, row_);
        if (!rect.isEmpty()) {
            QPen pen(palette().color(QPalette::Text));
            pen.setStyle(Qt::DotLine);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(rect.adjusted(0, 0, -1, -1));
        }
    }
}

void TStringGrid::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateView();
}

// ---- keyboard ---------------------------------------------------------------------------------

void TStringGrid::keyPressEvent(QKeyEvent *event)
{
    if (OnKeyDown && OnKeyDown(*event)) return;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool extend = shift && (options_ & goRangeSelect);
    const bool rowSelect = options_ & goRowSelect;
    switch (event->key()) {
    case Qt::Key_Up: MoveBy(0, -1, extend); return;
    case Qt::Key_Down: MoveBy(0, 1, extend); return;
    case Qt::Key_Left:
        if (rowSelect) SetLeftCol(leftCol_ - 1);
        else MoveBy(-1, 0, extend);
        return;
    case Qt::Key_Right:
        if (rowSelect) SetLeftCol(leftCol_ + 1);
        else MoveBy(1, 0, extend);
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        // The view and the current cell move by one page together.
        const int page = std::max(VisibleRowCount(), 1) * (event->key() == Qt::Key_PageUp ? -1 : 1);
        SetTopRow(topRow_ + page);
        FocusCell(col_, std::max(row_ + page, fixedRows_), !extend);
        return;
    }
    case Qt::Key_Home:
        if (ctrl) FocusCell(fixedCols_, fixedRows_, !extend);
        else if (rowSelect) FocusCell(col_, fixedRows_, !extend);
        else FocusCell(fixedCols_, row_, !extend);
        return;
    case Qt::Key_End:
        if (ctrl) FocusCell(ColCount() - 1, RowCount() - 1, !extend);
        else if (rowSelect) FocusCell(col_, RowCount() - 1, !extend);
        else FocusCell(ColCount() - 1, row_, !extend);
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (options_ & goTabs) {
            const bool back = event->key() == Qt::Key_Backtab || shift;
            int c = col_ + (back ? -1 : 1);
            int r = row_;
            if (c >= ColCount()) {
                c = fixedCols_;
                r = std::min(r + 1, RowCount() - 1);
            } else if (c < fixedCols_) {
                c = ColCount() - 1;
                r = std::max(r - 1, fixedRows_);
            }
            FocusCell(c, r, true);
            return;
        }
        break;
    case Qt::Key_F2:
        if (options_ & goEditing) {
            ShowEditor(nullptr);
            return;
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (options_ & goEditing) {
            ShowEditor(nullptr);
            return;
        }
        break;
    default:
        if ((options_ & goEditing) && !ctrl && !(event->modifiers() & Qt::AltModifier) && !event->text().isEmpty() &&
            event->text().at(0).isPrint()) {
            const std::string typed = cp932::FromUnicode(event->text());
            ShowEditor(&typed);
            return;
        }
        break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

// ---- mouse ------------------------------------------------------------------------------------

// True when point lies on the line after a column of the fixed rows (or after a row of the fixed
// columns) and the options allow resizing it.
bool TStringGrid::HitSizingLine(const QPoint &point, Drag &kind, int &index) const
{
    if ((options_ & goColSizing) && point.y() < FixedHeight()) {
        for (int c = 0; c < ColCount(); ++c) {
            const QRect rect = CellRect(c, 0);
            if (rect.isNull()) continue;
            const int edge = rect.right() + 1;
            if (edge > viewport()->width() + kSizingSlop) break;
            if (std::abs(point.x() - edge) <= kSizingSlop) {
                kind = Drag::SizeCol;
                index = c;
                return true;
            }
        }
    }
    if ((options_ & goRowSizing) && point.x() < FixedWidth()) {
        int y = 0;
        auto check = [&](int r) {
            y += RowHeights(r) + gridLineWidth_;
            if (std::abs(point.y() - (y - gridLineWidth_)) <= kSizingSlop) {
                kind = Drag::SizeRow;
                index = r;
                return true;
            }
            return false;
        };
        for (int r = 0; r < fixedRows_; ++r)
            if (check(r)) return true;
        for (int r = topRow_; r < RowCount() && y < viewport()->height() + kSizingSlop; ++r)
            if (check(r)) return true;
    }
    return false;
}

void TStringGrid::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QPoint point = event->position().toPoint();
    Drag kind;
    int index;
    if (HitSizingLine(point, kind, index)) {
        drag_ = kind;
        dragIndex_ = index;
        dragOrigin_ = kind == Drag::SizeCol ? point.x() : point.y();
        dragStartSize_ = kind == Drag::SizeCol ? ColWidths(index) : RowHeights(index);
        return;
    }
    int col, row;
    if (!MouseToCell(point, col, row)) return;
    if (row < fixedRows_ || col < fixedCols_) {
        if (row < fixedRows_ && col >= fixedCols_ && (options_ & goColMoving)) {
            drag_ = Drag::MoveCol;
            dragIndex_ = col;
        } else if (col < fixedCols_ && row >= fixedRows_ && (options_ & goRowMoving)) {
            drag_ = Drag::MoveRow;
            dragIndex_ = row;
        }
        return;
    }
    const bool extend = (event->modifiers() & Qt::ShiftModifier) && (options_ & goRangeSelect);
    const bool wasCurrent = col == col_ && row == row_;
    FocusCell(col, row, !extend);
    drag_ = (options_ & goRangeSelect) ? Drag::Select : Drag::None;
    if (wasCurrent && (options_ & goEditing) && !extend && !editorMode_) ShowEditor(nullptr);
}

void TStringGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    switch (drag_) {
    case Drag::SizeCol: SetColWidths(dragIndex_, dragStartSize_ + point.x() - dragOrigin_); return;
    case Drag::SizeRow: SetRowHeights(dragIndex_, dragStartSize_ + point.y() - dragOrigin_); return;
    case Drag::Select: {
        // Past an edge of the view the selection keeps growing and the grid scrolls.
        const QPoint inside(std::clamp(point.x(), FixedWidth(), std::max(viewport()->width() - 1, FixedWidth())),
                            std::clamp(point.y(), FixedHeight(), std::max(viewport()->height() - 1, FixedHeight())));
        int col, row;
        if (!MouseToCell(inside, col, row)) {
            col = col_;
            row = row_;
            if (inside.x() >= FixedWidth()) col = ColCount() - 1;
            if (inside.y() >= FixedHeight()) row = RowCount() - 1;
        }
        if (point.y() >= viewport()->height()) row = std::min(row + 1, RowCount() - 1);
        if (point.y() < FixedHeight()) row = std::max(topRow_ - 1, fixedRows_);
        if (point.x() >= viewport()->width()) col = std::min(col + 1, ColCount() - 1);
        if (point.x() < FixedWidth()) col = std::max(leftCol_ - 1, fixedCols_);
        FocusCell(col, row, false);
        return;
    }
    case Drag::MoveCol:
    case Drag::MoveRow: return;
    case Drag::None: break;
    }
    Drag kind;
    int index;
    if (!(event->buttons() & Qt::LeftButton) && HitSizingLine(point, kind, index))
        viewport()->setCursor(kind == Drag::SizeCol ? Qt::SplitHCursor : Qt::SplitVCursor);
    else
        viewport()->unsetCursor();
}

void TStringGrid::mouseReleaseEvent(QMouseEvent *event)
{
    if (drag_ == Drag::MoveCol || drag_ == Drag::MoveRow) {
        int col, row;
        if (MouseToCell(event->position().toPoint(), col, row)) {
            if (drag_ == Drag::MoveCol && col >= fixedCols_) MoveColumn(dragIndex_, col);
            if (drag_ == Drag::MoveRow && row >= fixedRows_) MoveRow(dragIndex_, row);
        }
    }
    drag_ = Drag::None;
    dragIndex_ = -1;
    event->accept();
}

void TStringGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    int col, row;
    if ((options_ & goEditing) && MouseToCell(event->position().toPoint(), col, row) && col == col_ && row == row_ &&
        col >= fixedCols_ && row >= fixedRows_) {
        ShowEditor(nullptr);
        return;
    }
    QAbstractScrollArea::mouseDoubleClickEvent(event);
}

void TStringGrid::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TStringGrid::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

// ---- in-place editor --------------------------------------------------------------------------

void TStringGrid::SetEditorMode(bool on)
{
    if (on)
        ShowEditor(nullptr);
    else if (editorMode_)
        HideEditor(true);
}

void TStringGrid::ShowEditor(const std::string *initial)
{
    if (!(options_ & goEditing) || ColCount() <= fixedCols_ || RowCount() <= fixedRows_) return;
    if (!editor_) {
        editor_ = new QLineEdit(viewport());
        editor_->setObjectName(QStringLiteral("InplaceEditor"));
        editor_->setFrame(false);
        editor_->installEventFilter(this);
        editor_->hide();
    }
    ScrollIntoView(col_, row_);
    editCol_ = col_;
    editRow_ = row_;
    std::string text = initial ? *initial : Cells(col_, row_);
    if (!initial && OnGetEditText) OnGetEditText(col_, row_, text);
    editor_->setFont(font());
    editor_->setText(cp932::ToUnicode(text));
    if (initial)
        editor_->end(false);
    else
        editor_->selectAll();
    editorMode_ = true;
    PlaceEditor();
    editor_->show();
    editor_->setFocus(Qt::OtherFocusReason);
    viewport()->update();
}

void TStringGrid::PlaceEditor()
{
    if (!editor_) return;
    const QRect rect = CellRect(editCol_, editRow_);
    if (rect.isEmpty()) {
        editor_->hide();
        return;
    }
    editor_->setGeometry(rect);
    if (editorMode_ && !editor_->isVisible()) editor_->show();
}

void TStringGrid::CommitEditor()
{
    if (!editor_ || !editorMode_) return;
    const std::string text = cp932::FromUnicode(editor_->text());
    if (text != CellText(editCol_, editRow_)) SetCells(editCol_, editRow_, text);
    if (OnSetEditText) OnSetEditText(editCol_, editRow_, text);
}

void TStringGrid::HideEditor(bool commit)
{
    if (!editorMode_) return;
    if (commit) CommitEditor();
    editorMode_ = false;
    const bool hadFocus = editor_->hasFocus();
    editor_->hide();
    if (hadFocus) setFocus(Qt::OtherFocusReason);
    viewport()->update();
}

bool TStringGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != editor_) return QAbstractScrollArea::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (OnEditorKeyDown && OnEditorKeyDown(*key)) return true;
        switch (key->key()) {
        case Qt::Key_Escape:
            HideEditor(false);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            HideEditor(true);
            if (options_ & goAlwaysShowEditor) ShowEditor(nullptr);
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            HideEditor(true);
            keyPressEvent(key);
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            if (options_ & goTabs) {
                HideEditor(true);
                keyPressEvent(key);
                return true;
            }
            break;
        default: break;
        }
    } else if (event->type() == QEvent::FocusOut && editorMode_) {
        // Leaving the editor for another control keeps what was typed.
        CommitEditor();
        editorMode_ = false;
        editor_->hide();
        viewport()->update();
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}
