// Undo and redo of the row store. Every call of the row-replacement primitive leaves one record
// holding the whole rows it overwrote; undo puts those rows back and turns the record into its
// redo, and redo does the same the other way. Editors that share a text share its history.
#pragma once

#include "syntax/row_parse_state.h"

#include <deque>
#include <memory>
#include <string>

class TEditorScreenStrings;

// One replacement: where it happened, how many rows it put in place, and the rows it replaced.
struct TUndoData {
    int CaretRow = 0;   // caret of the active editor when the record was made
    int CaretCol = 0;
    int FirstRow = -1;  // first replaced row
    int RowCount = 0;   // rows the replacement put in place of the old ones
    int SavedAttribute = raInvalid;  // row attribute of the last replaced row; raInvalid: none
    std::string SavedText;           // the replaced rows, CR LF after every raCrlf row
};

// A list of records that owns them.
class TUndoDataList {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    bool Empty() const { return FItems.empty(); }
    TUndoData &Last() { return *FItems.back(); }
    const TUndoData &Item(int index) const { return *FItems[static_cast<std::size_t>(index)]; }
    TUndoData &Add(const TUndoData &data);
    void DeleteLast() { FItems.pop_back(); }
    void DeleteFirst() { FItems.pop_front(); }
    void Clear() { FItems.clear(); }

private:
    std::deque<std::unique_ptr<TUndoData>> FItems;
};

class TEditorUndoObj {
public:
    static constexpr int MinUndoListMax = 64;

    explicit TEditorUndoObj(TEditorScreenStrings &store);

    int UndoListMax() const { return FUndoListMax; }
    void SetUndoListMax(int value);  // values below 64 store 64

    // Starts a record with the active editor's caret; the replacement fills in the rest.
    TUndoData &Record(int firstRow, std::string savedText, int savedAttribute);

    bool CanUndo() const { return !FUndoList.Empty(); }
    bool CanRedo() const { return !FRedoList.Empty(); }
    // Each returns false when there was nothing to do (or the record no longer fits the rows).
    bool Undo();
    bool Redo();
    // Forgets both lists.
    void Clear();

    const TUndoDataList &UndoList() const { return FUndoList; }
    const TUndoDataList &RedoList() const { return FRedoList; }

private:
    struct TRestored {
        std::string Text;
        int Attribute = raInvalid;
        int Rows = 0;
    };
    // Puts record's saved rows in place of the rows its change produced; returns what it replaced.
    bool Restore(const TUndoData &record, TRestored &replaced);

    TEditorScreenStrings &FStore;
    int FUndoListMax = MinUndoListMax;
    bool FRedoing = false;
    TUndoDataList FUndoList;
    TUndoDataList FRedoList;
};
