// Undo and redo: records of whole replaced rows, restored through the row store.
#include "editor/editor_undo.h"

#include "editor/row_wrapper.h"
#include "editor/screen_strings.h"

#include <algorithm>

TUndoData &TUndoDataList::Add(const TUndoData &data)
{
    FItems.push_back(std::make_unique<TUndoData>(data));
    return *FItems.back();
}

TEditorUndoObj::TEditorUndoObj(TEditorScreenStrings &store) : FStore(store) {}

void TEditorUndoObj::SetUndoListMax(int value)
{
    FUndoListMax = std::max(value, MinUndoListMax);
    while (FUndoList.Count() > FUndoListMax)
        FUndoList.DeleteFirst();
}

TUndoData &TEditorUndoObj::Record(int firstRow, std::string savedText, int savedAttribute)
{
    TUndoData data;
    if (const TScreenStringsClient *active = FStore.ActiveEditor()) {
        data.CaretRow = active->CaretRow();
        data.CaretCol = active->CaretCol();
    }
    data.FirstRow = firstRow;
    data.SavedAttribute = savedAttribute;
    TUndoData &record = FUndoList.Add(data);
    record.SavedText = std::move(savedText);
    if (FUndoList.Count() > FUndoListMax)
        FUndoList.DeleteFirst();
    if (!FRedoing)
        FRedoList.Clear();
    return FUndoList.Last();
}

void TEditorUndoObj::Clear()
{
    FUndoList.Clear();
    FRedoList.Clear();
}

bool TEditorUndoObj::Restore(const TUndoData &record, TRestored &replaced)
{
    const int first = record.FirstRow;
    const int n = record.RowCount;
    // A record always fits the rows it was made on; refuse rather than damage the text if not.
    if (first < 0 || n < 0 || first + n > FStore.Count() || (n == 0 && first > FStore.Count()))
        return false;
    replaced.Rows = n;
    replaced.Text = n > 0 ? FStore.RowsText(first, n) : std::string();
    replaced.Attribute = n > 0 ? FStore.RowAttribute(first + n - 1) : raInvalid;

    int restored = 0;
    if (record.SavedAttribute == raInvalid) {
        FStore.DeleteRowRange(first, n);
    } else {
        TEditorStringList rows;
        editor::WrapText(record.SavedText, FStore.WordWrap(), FStore.WrapRules(), rows);
        if (record.SavedAttribute == raWrapped && rows.Count() > 0 && rows.Length(rows.Count() - 1) == 0)
            rows.DeleteRows(rows.Count() - 1, 1);
        if (rows.Count() > 0)
            rows.SetRowAttribute(rows.Count() - 1, static_cast<TRowAttribute>(record.SavedAttribute));
        FStore.ReplaceRowRange(first, n, rows);
        restored = rows.Count();
    }
    FStore.RecordChange(first, n, restored, FStore.UpdateRowStates(first));
    replaced.Rows = restored;
    return true;
}

bool TEditorUndoObj::Undo()
{
    if (FUndoList.Empty())
        return false;
    TUpdateScope scope(FStore);
    TUndoData &record = FUndoList.Last();
    TRestored replaced;
    if (!Restore(record, replaced)) {
        Clear();
        return false;
    }
    TUndoData redo = record;
    redo.RowCount = replaced.Rows;
    redo.SavedAttribute = replaced.Attribute;
    redo.SavedText = std::move(replaced.Text);
    TScreenStringsClient *active = FStore.ActiveEditor();
    if (active) {
        redo.CaretRow = active->CaretRow();
        redo.CaretCol = active->CaretCol();
    }
    const int caretRow = record.CaretRow;
    const int caretCol = record.CaretCol;
    FRedoList.Add(redo);
    FUndoList.DeleteLast();
    if (active)
        active->SetCaretPosition(caretRow, caretCol);
    return true;
}

bool TEditorUndoObj::Redo()
{
    if (FRedoList.Empty())
        return false;
    TUpdateScope scope(FStore);
    const TUndoData record = FRedoList.Last();
    TRestored replaced;
    if (!Restore(record, replaced)) {
        Clear();
        return false;
    }
    FRedoing = true;
    TUndoData &undo = Record(record.FirstRow, std::move(replaced.Text), replaced.Attribute);
    FRedoing = false;
    undo.RowCount = replaced.Rows;
    FRedoList.DeleteLast();
    if (TScreenStringsClient *active = FStore.ActiveEditor())
        active->SetCaretPosition(record.CaretRow, record.CaretCol);
    return true;
}
