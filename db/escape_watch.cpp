// The application-wide Esc watch.
#include "db/escape_watch.h"

#include <QCoreApplication>
#include <QKeyEvent>

TEscapeWatch *TEscapeWatch::FInstance = nullptr;

TEscapeWatch::~TEscapeWatch()
{
    // The watch goes with the application object; a later application installs a new one.
    if (FInstance == this)
        FInstance = nullptr;
}

void TEscapeWatch::Install()
{
    auto *app = QCoreApplication::instance();
    if (FInstance || !app)
        return;
    FInstance = new TEscapeWatch(app);
    app->installEventFilter(FInstance);
}

bool TEscapeWatch::Pressed()
{
    Install();
    if (!FInstance)
        return false;
    const bool pressed = FInstance->FPressed;
    FInstance->FPressed = false;
    return pressed;
}

bool TEscapeWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
        FPressed = true;
    return QObject::eventFilter(watched, event);
}
