// The message boxes of Kestrim's windows, with the captions and buttons every window uses.
#pragma once

#include <QString>

class QWidget;

namespace msgbox {

// An error box with the message and a single OK button (login and file errors), caption "エラー".
void ShowError(QWidget *parent, const QString &message);

// The program's default error report for a failure no command caught itself: the message under
// the application's title with a single OK button.
void ShowApplicationError(QWidget *parent, const QString &message);

// Asks before a destructive or long command: caption "警告", OK and Cancel, exclamation icon.
// True only for OK.
bool Confirm(QWidget *parent, const QString &question);

} // namespace msgbox
