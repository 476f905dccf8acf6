// Reading and applying a window's normal rectangle and state.
#include "settings/window_placement.h"

#include <QGuiApplication>
#include <QScreen>

namespace settings {

TWindowPlacement PlacementOf(const QWidget &window)
{
    QRect normal = window.normalGeometry();
    // A window maximised or minimised before it was ever shown has no normal geometry yet.
    if (!normal.isValid()) normal = window.geometry();
    TWindowPlacement placement;
    placement.Left = normal.left();
    placement.Top = normal.top();
    placement.Right = normal.left() + normal.width();
    placement.Bottom = normal.top() + normal.height();
    const Qt::WindowStates state = window.windowState();
    if (state.testFlag(Qt::WindowMinimized))
        placement.State = 1;
    else if (state.testFlag(Qt::WindowMaximized))
        placement.State = 2;
    return placement;
}

namespace {

// A rectangle stored on another monitor, or damaged, must not put the window where nobody can
// reach it: when too little of it lies on any screen, it moves to the primary screen's corner
// and shrinks to fit there.
QRect KeepOnScreen(QRect rect)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.isEmpty()) return rect;
    const int needWidth = qMin(rect.width(), 50);
    const int needHeight = qMin(rect.height(), 20);
    for (const QScreen *screen : screens) {
        const QRect shown = screen->availableGeometry().intersected(rect);
        if (shown.width() >= needWidth && shown.height() >= needHeight) return rect;
    }
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    rect.setSize(rect.size().boundedTo(area.size()));
    rect.moveTopLeft(area.topLeft());
    return rect;
}

} // namespace

void ApplyPlacement(QWidget &window, const TWindowPlacement &placement)
{
    const qint64 width = qint64(placement.Right) - placement.Left;
    const qint64 height = qint64(placement.Bottom) - placement.Top;
    // The normal rectangle can only be set while the window is in the normal state; the
    // maximised or minimised state is then applied on top of it.
    window.setWindowState(window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    if (width > 0 && height > 0 && width <= QWIDGETSIZE_MAX && height <= QWIDGETSIZE_MAX)
        window.setGeometry(KeepOnScreen(QRect(placement.Left, placement.Top, static_cast<int>(width),
                                              static_cast<int>(height))));
    if (placement.State == 1)
        window.setWindowState(window.windowState() | Qt::WindowMinimized);
    else if (placement.State == 2)
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

} // namespace settings
