// TStringGrid: the class library's grid of code page 932 texts. Fixed rows and columns that do not
// scroll, default and per-column widths and per-row heights, a current cell and a selection
// rectangle (cells, rows or ranges), keyboard and mouse navigation, an owner-draw hook called
// after the grid's own painting, an in-place editor with key hooks, and painting that can be
// switched off while a caller fills a million rows. The cells live in a GridCellStore, so the
// grid costs little more memory than the text it shows.
//
// The grid paints itself (a scroll area, not an item view): it scrolls by whole rows and columns
// as a Windows-era grid does, and it needs no model object or index per cell.
#pragma once

#include "classlib/grid_cell_store.h"

#include <QAbstractScrollArea>
#include <QFlags>

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class QLineEdit;

enum TGridOption : unsigned {
    goFixedVertLine = 1u << 0,
    goFixedHorzLine = 1u << 1,
    goVertLine = 1u << 2,
    goHorzLine = 1u << 3,
    goRangeSelect = 1u << 4,
    goDrawFocusSelected = 1u << 5,
    goRowSizing = 1u << 6,
    goColSizing = 1u << 7,
    goRowMoving = 1u << 8,
    goColMoving = 1u << 9,
    goEditing = 1u << 10,
    goTabs = 1u << 11,
    goRowSelect = 1u << 12,
    goAlwaysShowEditor = 1u << 13,
    goThumbTracking = 1u << 14,
};
Q_DECLARE_FLAGS(TGridOptions, TGridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridOptions)

enum TGridDrawStateFlag : unsigned { gdSelected = 1u << 0, gdFocused = 1u << 1, gdFixed = 1u << 2 };
Q_DECLARE_FLAGS(TGridDrawState, TGridDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridDrawState)

// Columns Left..Right and rows Top..Bottom, inclusive.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    friend bool operator==(const TGridRect &, const TGridRect &) = default;
};

class TStringGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TStringGrid(QWidget *parent = nullptr);
    ~TStringGrid() override;

    // Size. The current cell and the selection are kept inside the grid when it shrinks.
    int ColCount() const { return cells_.ColCount(); }
    void SetColCount(int count);
    int RowCount() const { return cells_.RowCount(); }
    void SetRowCount(int count);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int count);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int count);

    // Widths and heights in pixels, without the grid line. Setting a default resets every column
    // (or row) to it.
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int width);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int height);
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    int GridLineWidth() const { return gridLineWidth_; }
    void SetGridLineWidth(int width);

    // Cells in code page 932; cells outside the grid read empty and ignore writes.
    std::string Cells(int col, int row) const { return std::string(cells_.Get(col, row)); }
    // The same text without a copy, valid until the next change to the grid's cells.
    std::string_view CellText(int col, int row) const { return cells_.Get(col, row); }
    void SetCells(int col, int row, std::string_view text);
    // Every cell empty; size, widths and selection kept.
    void ClearCells();
    void MoveColumn(int from, int to);
    void MoveRow(int from, int to);
    const classlib::GridCellStore &CellStore() const { return cells_; }

    // The current cell (never a fixed cell while the grid has data cells).
    int Col() const { return col_; }
    int Row() const { return row_; }
    void SetCol(int col) { FocusCell(col, row_, true); }
    void SetRow(int row) { FocusCell(col_, row, true); }
    // Moves the current cell; with moveAnchor false the selection stretches from its anchor.
    void FocusCell(int col, int row, bool moveAnchor);
    TGridRect Selection() const;
    // The anchor becomes the top-left corner and the current cell the bottom-right one.
    void SetSelection(const TGridRect &rect);
    int TopRow() const { return topRow_; }
    void SetTopRow(int row);
    int LeftCol() const { return leftCol_; }
    void SetLeftCol(int col);
    int VisibleRowCount() const;  // scrolling rows wholly in view
    int VisibleColCount() const;

    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions options);

    // Cell rectangle in viewport coordinates; empty when the cell is scrolled out of view.
    QRect CellRect(int col, int row) const;
    // The cell under a viewport point; false outside every cell.
    bool MouseToCell(const QPoint &point, int &col, int &row) const;

    // Painting: off while a caller writes many cells; on again schedules one repaint.
    void SetRedraw(bool on);
    bool Redraw() const { return redraw_; }
    // Paints now (when painting is on).
    void Repaint();

    // Colours of data cells and fixed cells.
    QColor Color() const { return color_; }
    void SetColor(const QColor &color);
    QColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(const QColor &color);

    // The in-place editor.
    bool EditorMode() const { return editorMode_; }
    void SetEditorMode(bool on);
    QLineEdit *InplaceEditor() const { return editor_; }

    // Hooks. OnDrawCell runs after the grid's own painting of each cell, the painter clipped to
    // the cell. OnSelectCell may refuse a new current cell. OnGetEditText supplies the editor's
    // text (the cell's text by default); OnSetEditText sees each committed edit after it was
    // written to the cell. OnKeyDown and OnEditorKeyDown see keys before the grid (or its editor)
    // handles them and return true to consume them.
    std::function<void(QPainter &painter, int col, int row, const QRect &rect, TGridDrawState state)> OnDrawCell;
    std::function<void(int col, int row, bool &canSelect)> OnSelectCell;
    std::function<void(int col, int row, std::string &text)> OnGetEditText;
    std::function<void(int col, int row, const std::string &text)> OnSetEditText;
    std::function<bool(QKeyEvent &event)> OnKeyDown;
    std::function<bool(QKeyEvent &event)> OnEditorKeyDown;
    std::function<void()> OnTopLeftChanged;

protected:
    // Paints one cell after its default painting; the default calls OnDrawCell. Grids derived
    // from this one override it to add to a cell (and call it to keep the hook).
    virtual void DrawCell(QPainter &painter, int col, int row, const QRect &rect, TGridDrawState state);
    void DefaultDrawCell(QPainter &painter, int col, int row, const QRect &rect, TGridDrawState state);

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Drag { None, Select, SizeCol, SizeRow, MoveCol, MoveRow };

    int RowSpan(int from, int to) const;  // pixels of rows from..to-1, lines included
    int ColSpan(int from, int to) const;
    int FixedHeight() const { return RowSpan(0, fixedRows_); }
    int FixedWidth() const { return ColSpan(0, fixedCols_); }
    int MaxTopRow() const;
    int MaxLeftCol() const;
    void UpdateScrollBars();
    void ScrollIntoView(int col, int row);
    void ClampCurrent();
    bool CanSelect(int col, int row);
    void MoveBy(int dCol, int dRow, bool extend);
    void UpdateView();
    void ShowEditor(const std::string *initial);
    void CommitEditor();
    void HideEditor(bool commit);
    void PlaceEditor();
    bool HitSizingLine(const QPoint &point, Drag &kind, int &index) const;

    classlib::GridCellStore cells_;
    std::vector<int> colWidths_;
    std::map<int, int> rowHeights_;  // rows whose height differs from the default
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    int gridLineWidth_ = 1;
    int col_ = 1;
    int row_ = 1;
    int anchorCol_ = 1;
    int anchorRow_ = 1;
    int topRow_ = 1;
    int leftCol_ = 1;
    TGridOptions options_ = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    bool redraw_ = true;
    bool viewDirty_ = false;
    QColor color_;
    QColor fixedColor_;

    QLineEdit *editor_ = nullptr;
    bool editorMode_ = false;
    int editCol_ = -1;
    int editRow_ = -1;

    Drag drag_ = Drag::None;
    int dragIndex_ = -1;
    int dragOrigin_ = 0;
    int dragStartSize_ = 0;
    bool syncingScrollBars_ = false;
};
