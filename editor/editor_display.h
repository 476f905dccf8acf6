// TEditorDisplay: the narrow interface between an editor's text model and the window that shows
// it. The model asks it for the screen geometry (rows and columns in view, the first visible
// row and column, cell sizes) and tells it what to repaint. The defaults describe a window of
// 24 rows by 80 columns that paints nothing, so the model works and is tested without a window.
#pragma once

namespace editor {

struct TCellGeometry {
    int TextLeft = 0;   // left edge of the text area, in pixels
    int TextTop = 0;    // top edge of the text area
    int CharWidth = 8;  // width of one column
    int RowHeight = 16;
    int ClientWidth = 640;
    int ClientHeight = 384;
};

} // namespace editor

struct TEditorChangeExtent;

class TEditorDisplay {
public:
    virtual ~TEditorDisplay() = default;

    virtual int VisibleRows() const { return 24; }
    virtual int VisibleCols() const { return 80; }
    virtual int TopRow() const { return FTopRow; }
    virtual int TopCol() const { return FTopCol; }
    // Scrolls (the caller has clamped the value).
    virtual void SetTopRow(int row) { FTopRow = row; }
    virtual void SetTopCol(int col) { FTopCol = col; }
    virtual editor::TCellGeometry Geometry() const { return {}; }

    // Repaint after a change of text (rows of the extent, or everything).
    virtual void TextChanged(const TEditorChangeExtent &) {}
    // Repaint one row: its parser state or its marks changed.
    virtual void RowStateChanged(int) {}
    virtual void RowMarksChanged(int) {}
    // The caret moved: reposition it and keep it in view.
    virtual void CaretMoved() {}
    virtual void SelectionChanged(bool) {}
    // Around a group of Lines changes: hide the caret and stop redrawing, then repaint all.
    virtual void BeginTextUpdate() {}
    virtual void EndTextUpdate() {}
    // Cut, copy and paste through the clipboard (the messages' numbers); returns the answer.
    virtual long long ClipboardMessage(unsigned) { return 0; }

private:
    int FTopRow = 0;
    int FTopCol = 0;
};
