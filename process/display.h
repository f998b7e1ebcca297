#pragma once

#include <QApplication>

#include <memory>
#include <string>

namespace process {

class LineLog;

// Where the window opens, decided once, from the environment alone, before the port is
// taken. Left to itself, the panel asks Qt for Wayland first when WAYLAND_DISPLAY is set and
// for X (xcb) when DISPLAY is, in that order, as Qt would try them. QT_QPA_PLATFORM, when
// set, is passed on as it is, but only if every platform it names opens a window on a
// desktop (xcb, or a Wayland one): offscreen, linuxfb, vnc, ... are refused, as is a start
// with no display at all.
struct WindowSystem {
    std::string platforms; // for QT_QPA_PLATFORM; empty when refused
    std::string refusal;   // when refused: the line that says why
    std::string asked;     // QT_QPA_PLATFORM as the caller set it
};
WindowSystem chooseWindowSystem();

// The application on the chosen platforms, with no platform theme plugin: the panel draws
// its own style and palette, and a theme (GTK's reads the user's gtk-modules= setting)
// would only bring in code. Call it as the user: X authority is found through HOME.
//
// Qt's own answer to a display it cannot use is abort(), a core file and advice to
// reinstall. Here a fatal message while Qt starts becomes one line in `log`, in Qt's words
// (or, when no Wayland compositor answers, the panel's), and exit status 1.
std::unique_ptr<QApplication> openApplication(const WindowSystem& system, int& argc, char** argv,
                                              LineLog& log);

} // namespace process
