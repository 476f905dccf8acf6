// Reading and applying a window's normal rectangle and state.
#include "settings/window_placement.h"

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

void ApplyPlacement(QWidget &window, const TWindowPlacement &placement)
{
    const qint64 width = qint64(placement.Right) - placement.Left;
    const qint64 height = qint64(placement.Bottom) - placement.Top;
    // The normal rectangle can only be set while the window is in the normal state; the
    // maximised or minimised state is then applied on top of it.
    window.setWindowState(window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    if (width > 0 && height > 0 && width <= QWIDGETSIZE_MAX && height <= QWIDGETSIZE_MAX)
        window.setGeometry(placement.Left, placement.Top, static_cast<int>(width), static_cast<int>(height));
    if (placement.State == 1)
        window.setWindowState(window.windowState() | Qt::WindowMinimized);
    else if (placement.State == 2)
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

} // namespace settings
