#pragma once

#include <QApplication>

#include <memory>
#include <string>

namespace panel {

class LineLog;

inline constexpr const char* kNoDisplay =
    "qx5180: no display; start it from a desktop or set DISPLAY";

// Where the window opens, decided once, from the environment alone, before the port is
// taken: Qt's X platform (xcb) or, where Qt has it, its Wayland one, in the order Qt itself
// would try them. Any other platform in QT_QPA_PLATFORM (offscreen, linuxfb, vnc, ...)
// opens no window on a desktop and is refused, as is a start with no display at all.
struct WindowSystem {
    std::string platforms; // for QT_QPA_PLATFORM: "xcb", "wayland" or "wayland;xcb"
    std::string refusal;   // when platforms is empty: the line that says why
    std::string asked;     // QT_QPA_PLATFORM as the caller set it
};
WindowSystem chooseWindowSystem();

// The application on the chosen platforms, with no platform theme plugin: the panel draws
// its own style and palette, and a theme (GTK's reads the user's gtk-modules= setting)
// would only bring in code. Call it as the user: X authority is found through HOME.
//
// Qt's own answer to a display it cannot use is abort(), a core file and advice to
// reinstall. Here a fatal message while Qt starts becomes one line in `log` and exit status
// 1; for X, the display is then tried with libxcb, whose error says more than Qt's.
std::unique_ptr<QApplication> openApplication(const WindowSystem& system, int& argc, char** argv,
                                              LineLog& log);

} // namespace panel
