#pragma once

#include <QApplication>

#include <memory>

namespace panel {

inline constexpr const char* kNoDisplay =
    "qx5180: no display; start it from a desktop or set DISPLAY";

// The application, or null once one line on standard error has said why no window can open
// here. Qt's own answer to a display it cannot use is abort(), a core file and advice to
// reinstall; the X display is tried first, and a fatal message while Qt starts becomes a
// line of ours and exit status 1. Call it as the user: X authority is found through HOME.
std::unique_ptr<QApplication> openApplication(int& argc, char** argv);

} // namespace panel
