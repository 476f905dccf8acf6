// The worksheet's text panes.
#include "sql/worksheet_editor.h"

#include "classlib/cp932.h"

#include <QTextBlock>
#include <QTextCursor>

TWorksheetEditor::TWorksheetEditor(QWidget *parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
}

std::string TWorksheetEditor::Text() const
{
    std::string text;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin())
            text += "\r\n";
        text += cp932::FromUnicode(block.text());
    }
    return text;
}

void TWorksheetEditor::SetText(std::string_view text)
{
    QString unicode = cp932::ToUnicode(text);
    unicode.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    unicode.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // A final line break adds no empty line.
    if (unicode.endsWith(QLatin1Char('\n')))
        unicode.chop(1);
    setPlainText(unicode);
}

int TWorksheetEditor::SelStart() const
{
    const QTextCursor cursor = textCursor();
    const int position = cursor.selectionStart();
    const QTextBlock caretBlock = document()->findBlock(position);
    int offset = 0;
    for (QTextBlock block = document()->begin(); block.isValid() && block != caretBlock; block = block.next())
        offset += static_cast<int>(cp932::FromUnicode(block.text()).size()) + 2;
    offset += static_cast<int>(
        cp932::FromUnicode(caretBlock.text().left(position - caretBlock.position())).size());
    return offset;
}

void TWorksheetEditor::SetSelStart(int offset)
{
    QTextBlock block = document()->begin();
    int remaining = std::max(offset, 0);
    while (block.isValid()) {
        const std::string line = cp932::FromUnicode(block.text());
        const int length = static_cast<int>(line.size());
        if (remaining <= length || !block.next().isValid()) {
            // An offset inside a line break or past the line's end lands at the line's end.
            const std::size_t bytes = cp932::CharStart(line, static_cast<std::size_t>(std::min(remaining, length)));
            const int chars = static_cast<int>(cp932::ToUnicode(std::string_view(line).substr(0, bytes)).size());
            QTextCursor cursor(block);
            cursor.setPosition(block.position() + chars);
            setTextCursor(cursor);
            ensureCursorVisible();
            return;
        }
        remaining -= length + 2;
        if (remaining < 0) {
            QTextCursor cursor(block);
            cursor.movePosition(QTextCursor::EndOfBlock);
            setTextCursor(cursor);
            return;
        }
        block = block.next();
    }
}

void TWorksheetEditor::SetSelText(std::string_view text)
{
    textCursor().insertText(cp932::ToUnicode(text));
}

void TWorksheetEditor::mouseDoubleClickEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    emit DoubleClicked();
}
