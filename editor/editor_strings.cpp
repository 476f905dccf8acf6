// TEditorStrings: the Lines of an editor.
#include "editor/editor_strings.h"

#include "editor/editor_model.h"

TEditorStrings::TEditorStrings(TEditorModel &editor) : FEditor(editor) {}
TEditorStrings::~TEditorStrings() = default;

int TEditorStrings::Count() const { return FEditor.Store().LineCount(); }

std::string TEditorStrings::Get(int index) const
{
    const TEditorScreenStrings &store = FEditor.Store();
    if (index < 0 || index >= Count())
        Error(index);
    if (!store.WordWrap())
        return store.Get(index);
    const int first = store.LineToRow(index);
    const int last = store.LastRowOfLine(first);
    std::string line;
    for (int r = first; r <= last; ++r)
        line += store.View(r);
    return line;
}

void TEditorStrings::Replace(int row, int rows, const std::string &s, int lineRow, int caretOffset)
{
    FEditor.CancelSelection();
    if (FEditor.Store().ReplaceRows(row, rows, s).Done)
        FEditor.PlaceCaretInLine(lineRow, caretOffset);
}

void TEditorStrings::Put(int index, const std::string &s)
{
    const TEditorScreenStrings &store = FEditor.Store();
    if (index < 0 || index >= Count())
        Error(index);
    const int first = store.LineToRow(index);
    const int last = store.LastRowOfLine(first);
    Replace(first, last - first + 1, store.RowAttribute(last) == raCrlf ? s + "\r\n" : s, first,
            static_cast<int>(s.size()));
}

void TEditorStrings::Insert(int index, const std::string &s)
{
    const int count = Count();
    if (index < 0 || index > count)
        Error(index);
    if (index == count) {
        Add(s);
        return;
    }
    const int first = FEditor.Store().LineToRow(index);
    Replace(first, 0, s + "\r\n", first, static_cast<int>(s.size()));
}

int TEditorStrings::Add(const std::string &s)
{
    const TEditorScreenStrings &store = FEditor.Store();
    const int lines = Count();
    const int rows = store.Count();
    if (rows > 0 && store.RowAttribute(rows - 1) == raEof) {
        // The new last line again ends without a line break.
        FEditor.CancelSelection();
        if (FEditor.Store().ReplaceRows(rows - 1, 1, store.Get(rows - 1) + "\r\n" + s).Done)
            FEditor.PlaceCaretInLine(store.LineToRow(lines), static_cast<int>(s.size()));
    } else {
        Replace(rows, 0, s + "\r\n", rows, static_cast<int>(s.size()));
    }
    return lines;
}

void TEditorStrings::Delete(int index)
{
    const TEditorScreenStrings &store = FEditor.Store();
    if (index < 0 || index >= Count())
        Error(index);
    const int first = store.LineToRow(index);
    const int last = store.LastRowOfLine(first);
    Replace(first, last - first + 1, std::string(), first, 0);
}

void TEditorStrings::Clear() { FEditor.Store().Clear(); }

std::string TEditorStrings::Text() const { return FEditor.Store().Text(); }

void TEditorStrings::SetText(const std::string &text)
{
    FEditor.CancelSelection();
    FEditor.Store().SetAllText(text);
}

void TEditorStrings::LoadFromFile(const QString &fileName)
{
    FEditor.CancelSelection();
    FEditor.Store().LoadFromFile(fileName);
}

void TEditorStrings::Assign(const TPersistent *source)
{
    const auto *strings = qobject_cast<const TStrings *>(source);
    if (!strings) {
        TStrings::Assign(source);
        return;
    }
    SetText(strings->Text());
    FEditor.SetCaretPosition(FEditor.RowCount(), 0);
}

void TEditorStrings::SetUpdateState(bool updating)
{
    if (updating) {
        FEditor.Display().BeginTextUpdate();
        FEditor.Store().BeginUpdate();
    } else {
        FEditor.Store().EndUpdate();
        FEditor.Display().EndTextUpdate();
    }
}
