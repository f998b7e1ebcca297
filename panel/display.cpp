#include "display.h"

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace panel {

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Environment and Qt text end up on the user's terminal: no control characters.
std::string printable(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return text;
}

// Qt takes X when told to, and otherwise whenever no Wayland compositor is named. Under
// Wayland the X display is Qt's fall-back at most, so a dead one is no reason to refuse.
bool xWillBeUsed() {
    const std::string platform = variable("QT_QPA_PLATFORM");
    return platform.empty() ? variable("WAYLAND_DISPLAY").empty() : platform.rfind("xcb", 0) == 0;
}

std::string xFault() {
    const std::string display = printable(variable("DISPLAY"));
    if (display.empty())
        return kNoDisplay;
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screen);
    const int error = xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    switch (error) {
    case 0:
        return "";
    case XCB_CONN_CLOSED_PARSE_ERR:
        return "qx5180: DISPLAY \"" + display + "\" is not a display name (such as :0)";
    case XCB_CONN_CLOSED_INVALID_SCREEN:
        return "qx5180: display " + display + " has no such screen";
    default:
        return "qx5180: cannot open display " + display +
               ": no X server there, or it does not let this user in";
    }
}

struct Held {
    QtMsgType type;
    std::string category;
    QString text;
};
std::vector<Held> held;

// Qt warns, then ends with a fatal message that holds no reason; the first warning from
// its platform code is the reason.
[[noreturn]] void startFailed(const QString& fatal) {
    std::string reason = fatal.section('\n', 0, 0).toStdString();
    for (const Held& message : held)
        if (message.category.rfind("qt.qpa", 0) == 0) {
            reason = message.text.toStdString();
            break;
        }
    const std::string platform = variable("QT_QPA_PLATFORM");
    std::string line;
    if (platform.empty() && variable("DISPLAY").empty())
        line = "cannot use Wayland display " + variable("WAYLAND_DISPLAY") +
               " and no X display is set (Debian's Qt needs qt6-wayland for Wayland)";
    else
        line = "Qt cannot open its window system" +
               (platform.empty() ? "" : " \"" + platform + "\" (QT_QPA_PLATFORM)") + ": " + reason;
    std::cerr << "qx5180: " << printable(line) << std::endl;
    std::fflush(stderr);
    std::_Exit(1);
}

void duringStart(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg)
        startFailed(text);
    held.push_back({type, context.category ? context.category : "", text});
}

} // namespace

std::unique_ptr<QApplication> openApplication(int& argc, char** argv) {
    if (xWillBeUsed())
        if (const std::string fault = xFault(); !fault.empty()) {
            std::cerr << fault << '\n';
            return nullptr;
        }
    const QtMessageHandler previous = qInstallMessageHandler(duringStart);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    // What Qt said on a start that worked still reaches standard error, in its own words.
    for (const Held& message : held)
        qt_message_output(message.type,
                          QMessageLogContext(nullptr, 0, nullptr, message.category.c_str()),
                          message.text);
    held.clear();
    return application;
}

} // namespace panel
