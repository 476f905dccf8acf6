// The text panes of the worksheet as the window uses them: the whole text in code page 932, the
// caret by byte offset (a line break counting two bytes), inserting at the caret, and the focus.
#pragma once

#include <QPlainTextEdit>

#include <string>
#include <string_view>

class TWorksheetEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TWorksheetEditor(QWidget *parent = nullptr);

    // The lines joined by CR LF.
    std::string Text() const;
    // Replaces the text; lines may end with CR LF, LF or CR.
    void SetText(std::string_view text);
    // The caret as a byte offset of Text(); setting it cancels the selection.
    int SelStart() const;
    void SetSelStart(int offset);
    // Replaces the selection (or inserts at the caret) as typed text would.
    void SetSelText(std::string_view text);

signals:
    void DoubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};
