// Small helpers shared by every window of Kestrim: menu items with their captions, shortcuts,
// hints and help context numbers, hints on controls, the fonts the windows ask for by their
// Japanese names, and the help context lookup used by F1.
#pragma once

#include <QFont>
#include <QKeySequence>
#include <QString>

class QAction;
class QMenu;
class QObject;
class QWidget;

namespace formutil {

// Name of the dynamic property that carries a control's or menu item's help context number.
inline constexpr const char *kHelpContextProperty = "helpContext";

void SetHelpContext(QObject *object, int context);
// The help context of the object itself, 0 when it has none.
int HelpContext(const QObject *object);
// The help context of the widget or of its nearest ancestor that has one; 0 when none has.
int HelpContextOfWidget(const QWidget *widget);

// A hint is "short|long" (or one text for both): the short part becomes the tool tip, the long
// part the status tip.
void SetHint(QWidget *widget, const QString &hint);
void SetHint(QAction *action, const QString &hint);

// A submenu named name with caption, added to parentMenuOrBar (a QMenu or a QMenuBar).
QMenu *AddMenu(QWidget *parentMenuOrBar, const char *name, const QString &caption,
               int helpContext = 0, const QString &hint = {});

// A menu item named name, owned by menu.
QAction *AddMenuItem(QMenu *menu, const char *name, const QString &caption,
                     const QKeySequence &shortcut = {}, int helpContext = 0,
                     const QString &hint = {});

// A file filter written as display text and pattern pairs separated by "|"
// ("CSVファイル(*.CSV)|*.CSV|全て(*.*)|*.*") in the form Qt's file dialogs take
// ("CSVファイル(*.CSV *.csv);;全て(*.*)"). Patterns also match in lower case, as file names on
// Linux are case-sensitive and "*.CSV" is meant for "save.csv" too.
QString QtFileFilter(const QString &filter);

// The font a window asks for by its Windows font name ("ＭＳ ゴシック", "ＭＳ Ｐゴシック", "FixedSys")
// with a character height in pixels.
QFont WindowFont(const QString &family, int pixelHeight);

// Maps the Japanese Windows font names used by the windows and the editor settings to the
// installed Japanese fonts (IPA Gothic and IPA P Gothic). Called once at start-up.
void InstallFontSubstitutions();

} // namespace formutil
