#pragma once
// The window's table of controls (machine/window_controls.h) in Qt's pixels:
// where each control lies, at the window's first size and when the user makes
// it larger.

#include <QRect>
#include <QSize>

#include "machine/window_controls.h"

namespace orvik::ui {

// The client area at the window's first, and smallest, size, in pixels.
QSize baseClientSize();

// Where a control lies when the client area is `extra` pixels larger than its first size.
QRect controlGeometry(const ControlEntry& control, QSize extra = {0, 0});

} // namespace orvik::ui
