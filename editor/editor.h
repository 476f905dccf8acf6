// TEditor: the text editor widget every text pane of Kestrim uses. It draws its rows itself (in
// the colours of its syntax fountain, with the selection, search hits, end-of-row marks, the
// image bar, the left bar with line numbers and the ruler), keeps its own caret, and turns keys
// and input-method text into the commands of its TEditorModel, whose TEditorDisplay it is.
//
// Host windows use the text interface: Lines (the text), SelStart/SelLength/SelText, Row/Col,
// TopRow, Perform (the edit-control messages), ScrollCaret, SelectTokenAtCaret and the events
// OnChange, OnCaretMoved and OnDblClick. Everything else of the text model is reached through
// Model().
//
// Files: editor.cpp (construction, properties, option changes, host interface), editor_geometry.cpp
// (cells, scrolling, scroll bars, hit testing), editor_paint.cpp (rows and selection),
// editor_bars.cpp (margins, left bar, ruler, image bar, marks), editor_keys.cpp (caret, keys,
// focus, input method), editor_mouse.cpp (mouse, drag and drop, popup menu) and
// editor_clipboard.cpp (the clipboard).
#pragma once

#include "editor/editor_font.h"
#include "editor/editor_model.h"
#include "editor/editor_options.h"
#include "editor/editor_strings.h"
#include "editor/editor_view_info.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QMenu;
class QScrollBar;

// The part of the editor under a point.
enum class TEditorArea { Text, Leftbar, Imagebar, Ruler, Corner, Outside };

// What lies under a point: the area, and the text cell nearest to it (row 0..RowCount, the
// caret column of the nearest cell boundary, and its byte index in the row).
struct TEditorHitTest {
    TEditorArea Area = TEditorArea::Outside;
    int Row = 0;
    int Col = 0;
    int Byte = 0;
};

class TEditor : public QWidget, public TEditorDisplay {
    Q_OBJECT
    Q_PROPERTY(TEditorCaret *Caret READ Caret WRITE SetCaret)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(TFont *Font READ Font WRITE SetFont)
    Q_PROPERTY(editoropt::TEditorHitStyle HitStyle READ HitStyle WRITE SetHitStyle)
    Q_PROPERTY(TEditorImagebar *Imagebar READ Imagebar WRITE SetImagebar)
    Q_PROPERTY(TEditorLeftbar *Leftbar READ Leftbar WRITE SetLeftbar)
    Q_PROPERTY(TStrings *Lines READ LinesList WRITE SetLines)
    Q_PROPERTY(TEditorMargin *Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(TEditorMarks *Marks READ Marks WRITE SetMarks)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(TStrings *ReserveWordList READ ReserveWordList WRITE SetReserveWordList)
    Q_PROPERTY(TEditorRuler *Ruler READ Ruler WRITE SetRuler)
    Q_PROPERTY(editoropt::TScrollStyle ScrollBars READ ScrollBars WRITE SetScrollBars)
    Q_PROPERTY(TEditorSpeed *Speed READ Speed WRITE SetSpeed)
    Q_PROPERTY(int UndoListMax READ UndoListMax WRITE SetUndoListMax)
    Q_PROPERTY(TEditorViewInfo *View READ View WRITE SetView)
    Q_PROPERTY(bool WantReturns READ WantReturns WRITE SetWantReturns)
    Q_PROPERTY(bool WantTabs READ WantTabs WRITE SetWantTabs)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(TEditorWrapOption *WrapOption READ WrapOption WRITE SetWrapOption)
    Q_CLASSINFO("Default.Color", "clWhite")
    Q_CLASSINFO("Default.HitStyle", "hsSelect")
    Q_CLASSINFO("Default.ReadOnly", "False")
    Q_CLASSINFO("Default.ScrollBars", "ssNone")
    Q_CLASSINFO("Default.UndoListMax", "64")
    Q_CLASSINFO("Default.WantReturns", "True")
    Q_CLASSINFO("Default.WantTabs", "True")
    Q_CLASSINFO("Default.WordWrap", "False")
public:
    explicit TEditor(QWidget *parent = nullptr);
    ~TEditor() override;

    TEditorModel &Model() { return FModel; }
    const TEditorModel &Model() const { return FModel; }

    // --- The host interface.
    TEditorStrings *Lines() const { return FModel.Lines(); }
    std::string Text() const { return FModel.Text(); }
    void SetText(std::string_view text);  // as writing the text of Lines
    void Clear() { FModel.Clear(); }
    std::int64_t SelStart() const { return FModel.SelStart(); }
    void SetSelStart(std::int64_t offset) { FModel.SetSelStart(offset); }
    std::int64_t SelLength() const { return FModel.SelLength(); }
    void SetSelLength(std::int64_t length) { FModel.SetSelLength(length); }
    std::string SelText() const { return FModel.SelText(); }
    // Replaces the selection (or inserts at the caret); the host may do so while ReadOnly.
    void SetSelText(std::string_view text);
    int Row() const { return FModel.Row(); }
    void SetRow(int row) { FModel.SetRow(row); }
    int Col() const { return FModel.Col(); }
    void SetCol(int col) { FModel.SetCol(col); }
    int RowCount() const { return FModel.RowCount(); }
    std::string RowText(int row) const { return FModel.RowText(row); }
    bool Modified() const { return FModel.Modified(); }
    void SetModified(bool value) { FModel.SetModified(value); }
    std::intptr_t Perform(unsigned message, std::uintptr_t wparam = 0, std::intptr_t lparam = 0);
    void ScrollCaret() { FModel.ScrollCaret(); }
    bool SelectTokenAtCaret() { return FModel.SelectTokenAtCaret(); }
    bool Selected() const { return FModel.Selected(); }
    bool SelectionMode() const { return FModel.SelectionMode(); }
    void SetSelectionMode(bool box);
    void CancelSelection() { FModel.CancelSelection(); }
    void ClearSelection();
    void SelectAll() { FModel.SelectAll(); }
    bool CanUndo() const { return FModel.CanUndo(); }
    bool CanRedo() const { return FModel.CanRedo(); }
    void Undo();
    void Redo();
    // Shows length bytes from the caret as a search hit, as HitStyle says.
    void ShowHit(std::int64_t length) { FModel.ShowHit(length); }

    // --- The clipboard, the popup menu, dragging and search (editor_clipboard.cpp,
    // editor_popup_menu.h, editor_mouse.cpp, editor_search.cpp).
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    // Lays the lines of text into consecutive rows at the caret column (editor_box_paste.h).
    void BoxPaste(const QString &text);
    // Finds text from the selection, hit or caret with the search options word (find_text.h)
    // and shows the hit; false, changing nothing, when there is none.
    bool Search(std::string_view text, unsigned options);
    // Makes a drag of the selection pending, as a press in it does with dmAutomatic.
    void BeginSelDrag();
    // The popup menu (the editor's own TEditorPopupMenu unless the host sets another).
    QMenu *PopupMenu() const;
    void SetPopupMenu(QMenu *menu);

    // Events (Sender first). OnKeyDown and OnKeyPress run before the editor's own handling and
    // suppress it by clearing key / text.
    std::function<void(TEditor *)> OnChange;
    std::function<void(TEditor *)> OnCaretMoved;
    std::function<void(TEditor *)> OnDblClick;
    std::function<void(TEditor *)> OnTopRowChange;
    std::function<void(TEditor *)> OnTopColChange;
    std::function<void(TEditor *, bool selected)> OnSelectionChange;
    std::function<void(TEditor *)> OnSelectionModeChange;
    std::function<void(TEditor *, int &key, Qt::KeyboardModifiers shift)> OnKeyDown;
    std::function<void(TEditor *, QString &text)> OnKeyPress;
    // After a row is painted: the painter, the row's text, the text origin, the row index, the
    // row's rectangle and whether this is the selected part.
    std::function<void(TEditor *, QPainter &, const std::string &, int x, int y, int index, const QRect &, bool)>
        OnDrawLine;

    // --- Published settings.
    TEditorCaret *Caret() const { return FCaret; }
    void SetCaret(TEditorCaret *value) { FCaret->Assign(value); }
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TFont *Font() const { return FFont; }
    void SetFont(TFont *value) { FFont->Assign(value); }
    TEditorHitStyle HitStyle() const { return FHitStyle; }
    void SetHitStyle(TEditorHitStyle value);
    TEditorImagebar *Imagebar() const { return FImagebar; }
    void SetImagebar(TEditorImagebar *value) { FImagebar->Assign(value); }
    TEditorLeftbar *Leftbar() const { return FLeftbar; }
    void SetLeftbar(TEditorLeftbar *value) { FLeftbar->Assign(value); }
    TStrings *LinesList() const { return FModel.Lines(); }
    void SetLines(TStrings *value) { FModel.Lines()->Assign(value); }
    TEditorMargin *Margin() const { return FMargin; }
    void SetMargin(TEditorMargin *value) { FMargin->Assign(value); }
    TEditorMarks *Marks() const { return FMarks; }
    void SetMarks(TEditorMarks *value) { FMarks->Assign(value); }
    bool ReadOnly() const { return FModel.ReadOnly(); }
    void SetReadOnly(bool value) { FModel.SetReadOnly(value); }
    TStrings *ReserveWordList() const { return FView->Fountain()->ReserveWordList(); }
    void SetReserveWordList(TStrings *value) { FView->Fountain()->SetReserveWordList(value); }
    TEditorRuler *Ruler() const { return FRuler; }
    void SetRuler(TEditorRuler *value) { FRuler->Assign(value); }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle value);
    TEditorSpeed *Speed() const { return FSpeed; }
    void SetSpeed(TEditorSpeed *value) { FSpeed->Assign(value); }
    int UndoListMax() const { return FModel.UndoListMax(); }
    void SetUndoListMax(int value) { FModel.SetUndoListMax(value); }
    TEditorViewInfo *View() const { return FView; }
    void SetView(TEditorViewInfo *value) { FView->Assign(value); }
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool value) { FWantReturns = value; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool value) { FWantTabs = value; }
    bool WordWrap() const { return FModel.WordWrap(); }
    void SetWordWrap(bool value);
    TEditorWrapOption *WrapOption() const { return FModel.WrapOption(); }
    void SetWrapOption(TEditorWrapOption *value) { FModel.WrapOption()->Assign(value); }
    // A separate fountain instead of View's own (null: View's); forgotten when it is freed.
    TFountain *Fountain() const { return FFountain; }
    void SetFountain(TFountain *fountain);
    // Pictures for the numbered marks 0-9 and the image marks 10-15 (index mark - 10); marks
    // without one use the built-in pictures.
    void SetImageDigits(const QList<QPixmap> &images);
    void SetImageMarks(const QList<QPixmap> &images);

    // --- Geometry (editor_geometry.cpp).
    TEditorHitTest HitTest(QPoint point) const;
    int TextLeft() const { return FTextLeft; }
    int TextTop() const { return FTextTop; }
    int RowHeight() const { return FRowHeight; }
    int CharWidth() const { return FCells.CharWidth(); }
    int FontHeight() const { return FCells.FontHeight(); }
    int LeftbarDigits() const { return FLeftbarDigits; }
    // The number the left bar shows beside a row (padded to its digit cells; empty for none).
    QString RowNumber(int row) const;
    // Client position of a cell's top left corner.
    QPoint CellPos(int row, int col) const;
    QRect TextArea() const;
    void InvalidateRow(int row);
    void RepaintRows(int first, int last);

    // --- TEditorDisplay.
    int VisibleRows() const override;
    int VisibleCols() const override;
    int TopRow() const override { return FTopRow; }
    int TopCol() const override { return FTopCol; }
    void SetTopRow(int row) override;
    void SetTopCol(int col) override;
    editor::TCellGeometry Geometry() const override;
    void TextChanged(const TEditorChangeExtent &extent) override;
    void RowStateChanged(int row) override { InvalidateRow(row); }
    void RowMarksChanged(int row) override;
    void CaretMoved() override;
    void SelectionChanged(bool selected) override;
    void BeginTextUpdate() override;
    void EndTextUpdate() override;

    QSize sizeHint() const override { return {185, 89}; }
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

    // --- Mouse, drag and drop and the popup menu (editor_mouse.cpp); the state they keep lives
    // in TMouseState, which that file defines.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    struct TMouseState;
    struct TMouseStateDeleter {
        void operator()(TMouseState *state) const;
    };
    std::unique_ptr<TMouseState, TMouseStateDeleter> FMouse;
    QPointer<QMenu> FPopupMenu;
    TMouseState &Mouse();
    bool MovedHalfACharacter(QPoint point) const;
    bool CanDragSelection() const;
    bool InSelection(const TEditorHitTest &hit) const;
    void SelectRows(int anchorRow, int row);  // whole rows from anchorRow to row
    void StartDragging();
    void ShowDragCursor();
    void EndDrag();
    void UpdateMouseCursor(QPoint point);  // the cursor for a point without a button held
    TEditorHitTest HitWhileMoving(QPoint point) const;
    // --- The clipboard (editor_clipboard.cpp): WM_CUT, WM_COPY, WM_PASTE and WM_CLEAR.
    long long ClipboardMessage(unsigned message) override;

private:
    // editor.cpp
    void OptionChanged(QObject *sender);
    void FountainChanged(QObject *sender);
    void FontChanged();
    TFountain *ActiveFountain() const;
    void ApplyCaretOptions();
    // editor_geometry.cpp
    void Measure();
    void UpdateScrollBars();
    void LayoutScrollBars();
    void KeepCaretInView();
    int LargestLineNumber() const;
    int ScrollBarWidth() const;
    int ScrollBarHeight() const;
    // editor_paint.cpp
    void PaintRow(QPainter &painter, TFountainParser &parser, int row, int y, const QRect &clip);
    void PaintRowText(QPainter &painter, TFountainParser &parser, int row, const std::string &text, int limit, int y,
                      bool selected);
    void PaintSelectedPart(QPainter &painter, TFountainParser &parser, int row, const std::string &text, int limit,
                           int y, const QRect &clip);
    void PaintRowMark(QPainter &painter, int row, int columns, int y, bool selected, bool cut);
    void PaintEof(QPainter &painter, int x, int y);
    void PaintCaret(QPainter &painter);
    void PaintComposition(QPainter &painter);
    // editor_bars.cpp
    void PaintCorner(QPainter &painter);
    void PaintRuler(QPainter &painter);
    void PaintLeftbar(QPainter &painter, int firstRow, int lastRow);
    void PaintImagebar(QPainter &painter, int firstRow, int lastRow);
    void PaintUnderline(QPainter &painter);
    QString NumberOfRow(int row, int line) const;
    QColor Resolve(TColor color, TColor fallback) const;
    // editor_keys.cpp
    QRect CaretRect() const;
    void UpdateCaret();
    void RestartBlink();

    TEditorModel FModel;
    TEditorCaret *FCaret;
    TEditorMargin *FMargin;
    TEditorLeftbar *FLeftbar;
    TEditorRuler *FRuler;
    TEditorImagebar *FImagebar;
    TEditorMarks *FMarks;
    TEditorSpeed *FSpeed;
    TEditorViewInfo *FView;
    TFont *FFont;
    QPointer<TFountain> FFountain;
    QList<QPixmap> FImageDigits;
    QList<QPixmap> FImageMarks;
    TColor FColor = clWhite;
    TEditorHitStyle FHitStyle = hsSelect;
    TScrollStyle FScrollBars = ssNone;
    bool FWantReturns = true;
    bool FWantTabs = true;

    editor::TCellPainter FCells;
    int FRowHeight = 16;
    int FTextLeft = 0;
    int FTextTop = 0;
    int FLeftbarWidth = 0;
    int FLeftbarDigits = 4;
    int FTopRow = 0;
    int FTopCol = 0;
    QScrollBar *FVScroll;
    QScrollBar *FHScroll;
    bool FSyncingScrollBars = false;

    int FBlinkTimer = 0;
    bool FCaretOn = true;
    QRect FCaretShown;     // where the caret was last drawn
    int FUnderlineRow = -1;  // the row whose underline was last drawn
    int FRulerCol = -1;
    int FUpdateDepth = 0;
    bool FKeyRepeat = false;
};
