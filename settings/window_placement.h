// A window's placement as the ini persistence keeps it: the normal (restored) rectangle with
// right and bottom exclusive, and the state 0 normal, 1 minimised, 2 maximised.
#pragma once

#include <QWidget>

namespace settings {

struct TWindowPlacement {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int State = 0;
};

// The placement of a window now: its normal geometry (what it returns to from maximised or
// minimised) and its state.
TWindowPlacement PlacementOf(const QWidget &window);

// Gives the window the normal rectangle and then the state; the rectangle is explicit, so the
// window system does not place the window itself. A rectangle without area is not applied (a
// damaged file must not shrink the window to nothing), one that would lie off every screen is
// moved onto the primary screen; unknown states mean normal.
void ApplyPlacement(QWidget &window, const TWindowPlacement &placement);

} // namespace settings
