// TEditorModel: one editor's text interface without a window. It holds the caret, the selection
// and the Modified flag, shares a row store with every other editor showing the same text, and
// answers the standard edit-control messages. The editor widget owns one and forwards to it;
// the widget in turn is the model's TEditorDisplay.
//
// Positions: Row is a screen row (0..RowCount; RowCount is the empty position below a text that
// ends with a line break), Col a display column (0..1001). Offsets count bytes over the whole
// text with 2 for each line break.
#pragma once

#include "editor/editor_display.h"
#include "editor/attribute_string.h"
#include "editor/screen_strings.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TEditorStrings;
class TFountain;

// The caret options column arithmetic depends on (the caret settings object feeds these).
struct TEditorCaretRules {
    bool FreeCaret = true;   // the caret may stand beyond the end of a row
    bool InTab = false;      // ... and inside the blank columns of a tab
    bool KeepCaret = false;  // vertical moves remember the column cut off at short rows
    int TabSpaceCount = 8;   // 2..8, even
    // The editing options the commands follow (the caret settings object feeds these too).
    bool NextLine = false;          // Left/Right cross row ends
    bool AutoIndent = true;         // Enter indents like the current line
    bool PrevSpaceIndent = false;   // ... or, on an empty line, like the previous non-empty one
    bool TabIndent = false;         // indentation made of tabs and spaces
    bool SoftTab = false;           // Tab inserts spaces
    bool BackSpaceUnIndent = true;  // Backspace at the indentation goes back a level
};

// How far the vertical keys move (the speed settings object feeds these).
struct TEditorSpeedRules {
    int CaretVerticalAc = 2;      // rows per step of a held Up/Down key at the view's edge
    int PageVerticalRange = 2;    // half screens per PageUp/PageDown
    int PageVerticalRangeAc = 2;  // ... while the key is held
};

// Caret moves of the keyboard.
enum class TCaretMove {
    Left, Right, Up, Down, PageUp, PageDown, Home, End,
    WordLeft, WordRight, TextHome, TextEnd, ScrollUp, ScrollDown
};

// How a search hit is shown.
enum class THitShow { Select, Draw, Caret };

// A text position: row and byte index in the row.
struct TEditorPosition {
    int Row = 0;
    int Byte = 0;
    friend bool operator==(const TEditorPosition &, const TEditorPosition &) = default;
    friend auto operator<=>(const TEditorPosition &, const TEditorPosition &) = default;
};

class TEditorModel : public TScreenStringsClient {
public:
    static constexpr int MaxCol = 1001;

    TEditorModel();
    ~TEditorModel() override;
    TEditorModel(const TEditorModel &) = delete;
    TEditorModel &operator=(const TEditorModel &) = delete;

    // --- The shared text.
    TEditorScreenStrings &Store() const { return *FStore; }
    // Leaves this editor's store and shows other's text (a second view of it).
    void AttachTo(TEditorModel &other);
    TEditorStrings *Lines() const { return FLines.get(); }
    void SetDisplay(TEditorDisplay *display);  // null: the windowless default
    TEditorDisplay &Display() const { return *FDisplay; }
    // The fountain whose parser keeps the row states (set by the view from its settings).
    void SetFountain(TFountain *fountain);
    TFountain *Fountain() const { return FFountain; }
    void SetFocused(bool focused) { FFocused = focused; }

    // --- Settings.
    const TEditorCaretRules &CaretRules() const { return FCaretRules; }
    void SetCaretRules(const TEditorCaretRules &rules);
    bool WordWrap() const { return FStore->WordWrap(); }
    void SetWordWrap(bool value) { FStore->SetWordWrap(value); }
    TEditorWrapOption *WrapOption() const { return FStore->WrapOption(); }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }
    int UndoListMax() const { return FStore->Undo().UndoListMax(); }
    void SetUndoListMax(int value) { FStore->Undo().SetUndoListMax(value); }
    editor::TColumnRules ColumnRules() const;
    // While the control is read from its form nothing is re-wrapped or re-parsed; at the end
    // everything is, and Modified is cleared.
    void BeginLoading();
    void EndLoading();

    // --- Caret.
    int Row() const { return FRow; }
    void SetRow(int row);
    int Col() const { return FCol; }
    void SetCol(int col);
    // Byte index of the caret in its row (the row length when the caret stands past the end).
    int CaretByte() const;
    TEditorPosition CaretPosition() const { return {FRow, CaretByte()}; }
    void SetCaretPosition(int row, int col) override;

    // --- Selection: a stream of bytes between an anchor and a head (where the caret was put).
    // Writing Row or Col cancels it; the raw SetCaretPosition does not.
    bool Selected() const;
    void CancelSelection() override;
    void SelectAll();
    TEditorPosition SelectionStart() const;
    TEditorPosition SelectionEnd() const;
    std::int64_t SelStart() const;
    void SetSelStart(std::int64_t offset);
    std::int64_t SelLength() const;
    void SetSelLength(std::int64_t length);
    std::string SelText() const;
    // Selects from anchor to caret (the caret moves to caret); equal positions select nothing.
    void SelectRange(TEditorPosition anchor, TEditorPosition caret);
    TEditorPosition Anchor() const { return FAnchor; }
    // Box selection: the rectangle of columns between anchor and caret over their rows. A
    // double-byte character or tab that begins inside the box belongs to it (even when it
    // reaches past the right edge); one that begins left of it does not.
    bool SelectionMode() const { return FBox; }
    void SetSelectionMode(bool box);
    // Selects the box between two cells; the caret goes to the second.
    void SelectBox(int anchorRow, int anchorCol, int row, int col);
    // Selects the syntax token under the caret, parsing its logical line from the start outside
    // any bracket; returns false (changing nothing) when no token covers the caret.
    bool SelectTokenAtCaret();
    // Replaces the selection (or inserts at the caret) with text; empty text deletes the
    // selection. The caret ends after the inserted text.
    void SetSelText(std::string_view text);
    void ClearSelection() { SetSelText({}); }

    // --- Keyboard commands (editor_commands.cpp, editor_navigation.cpp). Editing commands do
    // nothing while ReadOnly; each change is one undo record.
    // Moves the caret; extend keeps (or sets) the anchor and selects up to the new caret,
    // otherwise a selection is cancelled first. repeat: the key is held (acceleration).
    void MoveCaretBy(TCaretMove move, bool extend = false, bool repeat = false);
    const TEditorSpeedRules &SpeedRules() const { return FSpeed; }
    void SetSpeedRules(const TEditorSpeedRules &rules) { FSpeed = rules; }
    // Typed characters or an input method's result: control bytes are dropped and a lead byte
    // without a valid trail byte becomes "?", so typing never merges with the text around it.
    // In overwrite mode the characters under the caret are replaced.
    void TypeText(std::string_view bytes);
    bool Overwrite() const { return FOverwrite; }
    void SetOverwrite(bool value) { FOverwrite = value; }
    void Backspace();
    void DeleteChar();
    void InsertTab();
    void Enter();
    void ShiftEnter();
    // The input method's text being composed (shown at the caret, not yet in the text) and its
    // commit, inserted once as one change.
    void SetComposition(std::string_view bytes);
    const std::string &Composition() const { return FComposition; }
    void CommitComposition(std::string_view bytes);
    // A search hit of length bytes from the caret, shown as the hit style says; Hit() is the
    // drawn hit (Draw), HitCaretColumns() the width of the hit caret (Caret).
    void ShowHit(std::int64_t length);
    THitShow HitShow() const { return FHitShow; }
    void SetHitShow(THitShow value);
    bool Hit() const { return FSelected && FHit; }
    int HitCaretColumns() const { return FHitCaretColumns; }
    // Painted range of the selection in columns: rows [first, last], the start column on the
    // first row and the end column on the last (box: left and right on every row).
    struct TSelectionColumns {
        int FirstRow = 0;
        int LastRow = -1;
        int StartCol = 0;
        int EndCol = 0;
        bool Box = false;
    };
    TSelectionColumns SelectionColumns() const;

    // --- Rows and text.
    int RowCount() const { return FStore->Count(); }
    std::string RowText(int row) const;
    std::string ExpandedRowText(int row) const;
    int RowWidth(int row) const;
    TRowAttribute RowAttributes(int row) const;  // raInvalid for an invalid row
    int LineFromRow(int row) const;              // -1 for an invalid row
    int RowColToOffset(int row, int col) const;  // offset in the logical line; -1 if invalid
    void DeleteRow(int row);
    void Clear();
    std::int64_t TextLength() const { return FStore->TextLength(); }
    std::string Text() const { return FStore->Text(); }
    void SetText(std::string_view text) { FStore->SetAllText(text); }

    // --- Marks.
    void PutMark(int row, int mark) { FStore->PutMark(row, mark); }
    void DeleteMark(int row, int mark) { FStore->DeleteMark(row, mark); }
    void GotoMark(int mark);
    std::uint16_t RowMarks(int row) const;
    std::uint16_t UsedMarks() const { return FStore->UsedMarks(); }

    // --- Undo.
    bool CanUndo() const { return FStore->Undo().CanUndo(); }
    bool CanRedo() const { return FStore->Undo().CanRedo(); }
    void Undo();
    void Redo();

    bool Modified() const { return FModified; }
    void SetModified(bool value) { FModified = value; }
    // Fires once after every edit of the text (not after setting or loading the whole text).
    std::function<void()> OnChange;
    std::function<void()> OnCaretMoved;

    // --- Scrolling.
    int TopRow() const { return FDisplay->TopRow(); }
    void SetTopRow(int row);  // kept within 0..RowCount
    // Brings the caret into view as the edit control does (a third of the view in).
    void ScrollCaret();

    // --- The standard edit-control messages (numbers in edit_messages.h). Pointers travel in
    // the parameters as integers, as the messages define.
    std::intptr_t Perform(unsigned message, std::uintptr_t wparam, std::intptr_t lparam);

    // --- TScreenStringsClient
    int CaretRow() const override { return FRow; }
    int CaretCol() const override { return FCol; }
    bool HasFocus() const override { return FFocused; }
    int VisibleRowCount() const override;
    int FirstVisibleRow() const override { return FDisplay->TopRow(); }
    int TabSpaceCount() const override { return FCaretRules.TabSpaceCount; }
    TFountain *ParserFountain() const override { return FFountain; }
    void StoreChanged(const TEditorChangeExtent &extent) override;
    void RowStateChanged(int row) override { FDisplay->RowStateChanged(row); }
    void RowMarksChanged(int row) override { FDisplay->RowMarksChanged(row); }

private:
    friend class TEditorStrings;

    // Validates col for row after a move in direction (+1 right, -1 otherwise) and moves there.
    void MoveCaret(int row, int col, int direction, bool vertical);
    void CaretMovedNotify();
    // Caret at a local byte offset from the start of the line beginning at lineRow.
    void PlaceCaretInLine(int lineRow, std::int64_t offset);
    // Position n bytes forward from `from` (a line break counts 2).
    TEditorPosition Advance(TEditorPosition from, std::int64_t n) const;
    std::string TextBetween(TEditorPosition from, TEditorPosition to) const;
    struct TBox {
        int First = 0;
        int Last = -1;
        int Left = 0;
        int Right = 0;
    };
    TBox BoxRange() const;
    // Bytes [first, second) of row that lie in the box's columns.
    std::pair<int, int> BoxBytes(int row, const TBox &box) const;
    std::string BoxText() const;
    void ReplaceBox(std::string_view text);
    int ColumnOf(TEditorPosition position) const;
    // Replaces the bytes between two positions (end below the last row: to the end of the text)
    // and puts the caret after text; pad blanks go before the text.
    void ReplaceBetween(TEditorPosition start, TEditorPosition end, std::string_view text, int pad = 0);
    // Moves of editor_navigation.cpp.
    void MoveHorizontally(int direction);
    void MoveByToken(int direction);
    void ScrollRows(int rows, bool caretFollows);
    void PageMove(int direction, bool repeat);
    // Token starts (columns) of a row, ignoring single-byte symbols.
    std::vector<int> TokenColumns(int row) const;
    // The indentation Enter gives a new line at the caret.
    int EnterIndent() const;
    std::string IndentText(int width) const;
    void UnIndent(int row);
    std::intptr_t LineLengthMessage(std::int64_t offset) const;

    std::shared_ptr<TEditorScreenStrings> FStore;
    std::unique_ptr<TEditorStrings> FLines;
    TEditorDisplay FDefaultDisplay;
    TEditorDisplay *FDisplay = &FDefaultDisplay;
    TFountain *FFountain = nullptr;
    TEditorCaretRules FCaretRules;
    int FRow = 0;
    int FCol = 0;
    int FRememberedCol = -1;
    bool FSelected = false;
    TEditorPosition FAnchor;
    TEditorPosition FHead;  // the selection's other end; the caret stood there when it was made
    bool FBox = false;
    int FBoxAnchorCol = 0;
    int FBoxHeadCol = 0;
    bool FFocused = false;
    bool FReadOnly = false;
    bool FModified = false;
    int FLoading = 0;
    TEditorSpeedRules FSpeed;
    bool FOverwrite = false;
    std::string FComposition;
    THitShow FHitShow = THitShow::Select;
    bool FHit = false;
    int FHitCaretColumns = 0;
};

namespace editor {
// Typed text made safe to insert: control bytes dropped (tab kept), and a lead byte that has no
// valid trail byte after it replaced by "?".
std::string SanitizeTyped(std::string_view bytes);
} // namespace editor
