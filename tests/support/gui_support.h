// Support for the window tests: the application object on the offscreen platform, typing text
// into whatever control has the focus, and answering the modal message boxes a command opens.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace guitest {

// The application object that the test's main() made (tests/support/gui_test_main.cpp, or the
// test's own main for a subclass such as the program's TApplication).
template <class TApp = QApplication> TApp &App()
{
    auto *app = qobject_cast<TApp *>(QCoreApplication::instance());
    Q_ASSERT_X(app, "App", "the test's main() makes the application object");
    return *app;
}

// Shows the window and makes it the active one, so that focus moves as it does for a user.
inline void ShowActive(QWidget &window)
{
    window.show();
    QApplication::setActiveWindow(&window);
    (void)QTest::qWaitForWindowActive(&window);
}

// Sends each character as a key press to the control that has the focus at that moment.
inline void TypeText(QWidget &window, const QString &text)
{
    for (const QChar c : text) {
        QWidget *target = window.focusWidget() ? window.focusWidget() : &window;
        QTest::keyClick(target, c.toLatin1() ? c.toLatin1() : '?');
    }
}

inline void PressKey(QWidget &window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *target = window.focusWidget() ? window.focusWidget() : &window;
    QTest::keyClick(target, key, modifiers);
}

// Answers every message box that opens while it lives, keeping the title and text of each.
class TMessageBoxCatcher {
public:
    explicit TMessageBoxCatcher(QMessageBox::StandardButton answer = QMessageBox::Ok)
        : FAnswer(answer)
    {
        FTimer.setInterval(10);
        QObject::connect(&FTimer, &QTimer::timeout, [this] { Poll(); });
        FTimer.start();
    }

    int Count() const { return static_cast<int>(Texts.size()); }

    QStringList Titles;
    QStringList Texts;

private:
    void Poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || box == FLast)
            return;
        FLast = box;
        Titles.append(box->windowTitle());
        Texts.append(box->text());
        if (QAbstractButton *button = box->button(FAnswer))
            button->click();
        else
            box->reject();
    }

    QMessageBox::StandardButton FAnswer;
    QTimer FTimer;
    QPointer<QMessageBox> FLast;
};

} // namespace guitest
