// The edge-docking rule of the main window: a window pushed against the top, left or
// right edge of the screen slides out of sight, leaving a 3-pixel strip, once the mouse
// leaves it, and slides back when the mouse touches that edge beside the strip.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace sorvane::app {

// One tick of the docking rule. `window` is the window's frame in screen pixels,
// `screen` the screen's size, `mouse` the cursor. Returns the window's new top-left
// corner (equal to window.topLeft() when nothing moves). The eight steps run in order
// and each sees the position the previous one left.
QPoint edgeDockStep(const QRect &window, const QSize &screen, const QPoint &mouse);

} // namespace sorvane::app
