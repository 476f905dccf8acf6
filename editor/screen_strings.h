// TEditorScreenStrings: the editor's row store, shared by every editor that shows the same text.
// It holds the rows with their attributes, parser states and marks, the word wrap setting, the
// undo history, and the one primitive through which every change of text passes (ReplaceRows):
// typing, deleting, pasting, the Lines operations, undo and redo.
#pragma once

#include "editor/attribute_string.h"
#include "editor/editor_undo.h"
#include "editor/row_attribute_string_list.h"
#include "editor/wrap_option.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class TFountain;
class TFountainParser;

// What the last change touched, for repainting: rows [FirstRow, FirstRow + OldRows) were
// replaced by NewRows rows, of which ParsedRows got new parser states.
struct TEditorChangeExtent {
    int FirstRow = 0;
    int OldRows = 0;
    int NewRows = 0;
    int ParsedRows = 0;
    bool Changed = false;    // the text was edited: editors set Modified and fire OnChange
    bool WholeText = false;  // everything was replaced, re-wrapped or re-parsed: repaint all
};

// What the row store needs of each editor showing it.
class TScreenStringsClient {
public:
    virtual ~TScreenStringsClient() = default;
    virtual int CaretRow() const = 0;
    virtual int CaretCol() const = 0;
    // Moves the caret (the column validated as a caret move would).
    virtual void SetCaretPosition(int row, int col) = 0;
    virtual bool HasFocus() const = 0;
    // Screen height in rows (at least 1) and the first row shown: the parser-state upkeep after
    // an edit reaches about two screens.
    virtual int VisibleRowCount() const = 0;
    virtual int FirstVisibleRow() const = 0;
    virtual int TabSpaceCount() const = 0;
    // The fountain whose parser carries the row states (null: states pass through unchanged).
    virtual TFountain *ParserFountain() const = 0;
    virtual void CancelSelection() = 0;
    // Called once after each change (at the end of the outermost update scope).
    virtual void StoreChanged(const TEditorChangeExtent &extent) = 0;
    // A row got a new parser state / its marks changed: repaint that row.
    virtual void RowStateChanged(int row) = 0;
    virtual void RowMarksChanged(int row) = 0;
};

struct TReplaceResult {
    bool Done = false;
    int FirstRow = 0;  // first row that was replaced
    int NewRows = 0;   // rows now standing there
};

class TEditorScreenStrings : public TEditorStringList {
    Q_OBJECT
public:
    explicit TEditorScreenStrings(QObject *parent = nullptr);
    ~TEditorScreenStrings() override;

    // --- Editors showing the text. The first is the owner (its tab width and fountain are used);
    // the active one is the focused editor, else the owner.
    void AddEditor(TScreenStringsClient *editor);
    void RemoveEditor(TScreenStringsClient *editor);
    int EditorCount() const { return static_cast<int>(FEditors.size()); }
    TScreenStringsClient *Owner() const;
    TScreenStringsClient *ActiveEditor() const;

    // --- The edit primitive: replaces n rows from row a by s (CR LF separated; n = 0 inserts,
    // an empty s deletes). Returns Done = false, changing nothing, unless 0 <= a, a + n <= Count
    // and (n > 0 or s is not empty).
    TReplaceResult ReplaceRows(int a, int n, std::string_view s);

    // --- Whole-text operations. Setting the text and loading do not count as edits.
    void Clear() override;
    void SetAllText(std::string_view text);
    // Clears, then reads the file (EFOpenError when it cannot be opened). CR LF, CR and LF end
    // lines; a 0x1A byte ends the text; NUL bytes are kept.
    void LoadFromFile(const QString &fileName) override;
    std::string Text() const override;
    void SetText(const std::string &text) override { SetAllText(text); }
    std::int64_t TextLength() const;

    // --- Word wrap.
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);  // re-wraps or joins every row, forgets undo and redo
    TEditorWrapOption *WrapOption() const { return FWrapOption; }
    editor::TWrapRules WrapRules() const;
    // Re-wraps every row with the current options (after the owner's tab width changed).
    void Rewrap();
    editor::TColumnRules ColumnRules() const;
    // While loading (a form being read), re-wrapping and re-parsing wait for EndLoading.
    void BeginLoading() { ++FLoading; }
    void EndLoading();

    // --- Logical lines: a run of rows ended by a row that is not raWrapped (or by the last).
    int FirstRowOfLine(int row) const;  // row may equal Count
    int LastRowOfLine(int row) const;
    int LineCount() const;
    int LineToRow(int line) const;  // Count for line = LineCount; -1 when out of range
    int LineFromRow(int row) const;

    // --- Byte offsets over the whole text: rows contribute their length, plus 2 for raCrlf.
    std::int64_t OffsetOf(int row, int byteIndex) const;
    // The row and byte index at offset (negative: 0, 0); an offset inside a line break or past a
    // row's end stands at that row's end; past the text: the position below the last row (or the
    // end of the raEof row).
    void PositionOf(std::int64_t offset, int &row, int &byteIndex) const { PositionFrom(0, offset, row, byteIndex); }
    // The same, counting from the start of row startRow.
    void PositionFrom(int startRow, std::int64_t offset, int &row, int &byteIndex) const;

    // --- Marks 0-15 (0-9 numbered, each on one row at most; 10-15 image marks).
    void PutMark(int row, int mark);
    void DeleteMark(int row, int mark);
    int FindMark(int mark) const;  // first row holding it, or -1
    std::uint16_t UsedMarks() const { return MarksInUse(); }

    // --- Parser states.
    // Re-computes states from row a after a change, as far as they differ, at most about two
    // screens down; returns the number of rows that got a new state.
    int UpdateRowStates(int a);
    // Computes the states of all rows up to row (painting needs them).
    void EnsureRowStates(int row);
    // Forgets every state and computes the first screens again (or all with InitBracketsFull).
    void ReparseAll();
    bool InitBracketsFull() const { return FInitBracketsFull; }
    void SetInitBracketsFull(bool value) { FInitBracketsFull = value; }

    TEditorUndoObj &Undo() { return *FUndo; }
    const TEditorChangeExtent &ChangeExtent() const { return FExtent; }

    // --- Building blocks of the primitive, shared with undo.
    // Replaces oldCount rows from first by the rows of list; marks of the old rows stay with the
    // new ones (surplus old rows give theirs to the first new row; when rows are added, the
    // first old row's marks move down with its line if the active caret stands at column 0).
    void ReplaceRowRange(int first, int oldCount, const TEditorStringList &list);
    // Deletes rows; their marks go to the row now at min(first, Count - 1).
    void DeleteRowRange(int first, int count);
    void RecordChange(int first, int oldRows, int newRows, int parsedRows);

protected:
    void DoChange() override;
    void RowsShifted(int index, int count) override;

private:
    int RewrapStart(int a) const;
    void RewrapAll();
    void FillRowsFromBlock(const char *text, std::size_t size);
    std::unique_ptr<TFountainParser> NewParser() const;
    void AdvanceState(TFountainParser *parser, int row, TRowParseState &state) const;
    int ScreenRows() const;
    int CaretColumnOfActive() const;
    void WrapOptionChanged(QObject *sender);

    std::vector<TScreenStringsClient *> FEditors;
    TEditorChangeExtent FExtent;
    bool FExtentRecorded = false;
    std::unique_ptr<TEditorUndoObj> FUndo;
    bool FWordWrap = false;
    TEditorWrapOption *FWrapOption;
    int FLoading = 0;
    bool FInitBracketsFull = false;
    // Last logical line found by LineToRow, so that walking the lines in order costs no rescans.
    mutable int FCachedLine = -1;
    mutable int FCachedLineRow = 0;
};
