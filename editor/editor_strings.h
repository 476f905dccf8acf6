// TEditorStrings: the editor's Lines, its text seen as logical lines. With word wrap off a line
// is a row; with it on, a run of rows ended by a row that is not wrapped. Every change goes
// through the row store's edit primitive (and so into undo), except setting the whole text and
// loading a file, which replace everything.
#pragma once

#include "classlib/string_list.h"

class TEditorModel;

class TEditorStrings : public TStrings {
    Q_OBJECT
public:
    explicit TEditorStrings(TEditorModel &editor);
    ~TEditorStrings() override;

    int Count() const override;
    std::string Get(int index) const override;
    void Put(int index, const std::string &s) override;
    void Insert(int index, const std::string &s) override;  // index = Count appends
    int Add(const std::string &s) override;  // returns the line count before the call
    void Delete(int index) override;
    void Clear() override;

    std::string Text() const override;
    void SetText(const std::string &text) override;
    void LoadFromFile(const QString &fileName) override;
    // Through Text; the caret then stands at column 0 of the last row.
    void Assign(const TPersistent *source) override;

protected:
    void SetUpdateState(bool updating) override;

private:
    // Replaces rows through the primitive and puts the caret caretOffset bytes into the line
    // that starts at lineRow afterwards.
    void Replace(int row, int rows, const std::string &s, int lineRow, int caretOffset);

    TEditorModel &FEditor;
};
