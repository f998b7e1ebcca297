#include "display.h"

#include "linelog.h"
#include "messages.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace process {

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Whether something accepts a connection where a Wayland client would connect.
bool waylandAnswers(const std::string& display) {
    const std::string path =
        display.starts_with('/') ? display : variable("XDG_RUNTIME_DIR") + "/" + display;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.front() != '/' || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool answered =
        fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return answered;
}

struct Held {
    QtMsgType type;
    std::string category;
    QString text;
};
std::vector<Held> held;
const WindowSystem* starting = nullptr;
LineLog* startLog = nullptr;

// Qt warns, then ends with a fatal message that holds no reason. The platform's own
// warning (qt.qpa.xcb, ...) says most, then the plugin loader's, then the fatal one.
[[noreturn]] void startFailed(const QString& fatal) {
    std::string reason = fatal.section('\n', 0, 0).toStdString();
    int rank = 0;
    for (const Held& message : held) {
        const int r = !message.category.starts_with("qt.qpa")         ? 0
                      : message.category.starts_with("qt.qpa.plugin") ? 1
                                                                      : 2;
        if (r > rank) {
            rank = r;
            reason = message.text.toStdString();
        }
    }
    const WindowSystem& system = *starting;
    const std::string wayland = variable("WAYLAND_DISPLAY").empty() ? std::string("wayland-0")
                                                                    : variable("WAYLAND_DISPLAY");
    const bool onlyWayland = system.platforms.find("xcb") == std::string::npos;
    if (onlyWayland && !waylandAnswers(wayland))
        startLog->line(messages::noWaylandCompositor(wayland));
    else
        startLog->line(messages::windowSystemFailed(system.asked, reason));
    startLog->flush();
    std::_Exit(1);
}

QtMessageHandler afterStart = nullptr;

void duringStart(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg)
        startFailed(text);
    // Qt may wait for a thread it could not start; what follows that must not wait too.
    if (text.startsWith("QThread::start:") && afterStart)
        return afterStart(type, context, text);
    held.push_back({type, context.category ? context.category : "", text});
}

} // namespace

WindowSystem chooseWindowSystem() {
    WindowSystem system;
    system.asked = variable("QT_QPA_PLATFORM");
    const bool x = !variable("DISPLAY").empty();
    if (system.asked.empty()) {
        const bool wayland = !variable("WAYLAND_DISPLAY").empty();
        system.platforms = wayland && x ? "wayland;xcb" : wayland ? "wayland" : x ? "xcb" : "";
        if (system.platforms.empty())
            system.refusal = messages::noDisplay();
        return system;
    }
    // Qt's form: entries separated by ';', each a name and its ':'-separated options. Only
    // the names are looked at.
    bool needsX = true;
    for (const QString& entry :
         QString::fromStdString(system.asked).split(';', Qt::SkipEmptyParts)) {
        const QString name = entry.section(':', 0, 0).toLower();
        if (name != "xcb" && !name.startsWith("wayland")) {
            system.refusal = messages::opensNoWindow(system.asked);
            return system;
        }
        needsX = needsX && name == "xcb";
    }
    if (needsX && !x)
        system.refusal = messages::noDisplay();
    else
        system.platforms = system.asked;
    return system;
}

std::unique_ptr<QApplication> openApplication(const WindowSystem& system, int& argc, char** argv,
                                              LineLog& log) {
    qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(system.platforms));
    // A platform theme comes from QT_QPA_PLATFORMTHEME, from the desktop named in
    // XDG_CURRENT_DESKTOP, DESKTOP_SESSION and the like (GNOME: the GTK theme plugin), and
    // for snaps from SNAP; not being desktop-settings aware leaves only Qt's built-in one.
    qunsetenv("QT_QPA_PLATFORMTHEME");
    qunsetenv("SNAP");
    // Xlib's way to name a window's instance in WM_CLASS; the program's name stays.
    qunsetenv("RESOURCE_NAME");
    QGuiApplication::setDesktopSettingsAware(false);

    starting = &system;
    startLog = &log;
    afterStart = qInstallMessageHandler(duringStart);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(afterStart);
    // What Qt said on a start that worked still reaches standard error, in its own words.
    for (const Held& message : held)
        qt_message_output(message.type,
                          QMessageLogContext(nullptr, 0, nullptr, message.category.c_str()),
                          message.text);
    held.clear();
    return application;
}

} // namespace process
