#pragma once

namespace sorvane::platform {

// Edge docking and the global hot key need absolute window positions and key grabs on
// the root window, which a Wayland compositor does not give to its clients. Under a
// Wayland session that also runs XWayland (DISPLAY set) this asks Qt for its xcb
// platform by setting QT_QPA_PLATFORM=xcb. A QT_QPA_PLATFORM the user set wins.
//
// Call in main() before the QApplication is constructed. Returns true when it set the
// variable.
bool preferXcbPlatform();

} // namespace sorvane::platform
