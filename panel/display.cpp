#include "display.h"

#include "linelog.h"

#include <QFileInfo>
#include <QLibraryInfo>

#include <xcb/xcb.h>

#include <cstdlib>
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

// Whether Qt has a plugin for the platform in its own folder, as Debian installs them
// ("wayland" is in libqwayland-generic.so, from qt6-wayland). Asked as root in a privileged
// start, so neither a folder nor a name from the caller can make it look anywhere else.
bool qtHas(const std::string& platform) {
    if (platform.empty() ||
        platform.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-_") != std::string::npos)
        return false;
    const std::string file = platform == "wayland" ? "qwayland-generic" : "q" + platform;
    return QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms/lib" +
                             QString::fromStdString(file) + ".so");
}

// Why no window opens with QT_QPA_PLATFORM's first entry, `name`.
std::string refuse(const std::string& name, const std::string& asked) {
    if (name.rfind("wayland", 0) != 0 && qtHas(name))
        return "qx5180: Qt's window system \"" + printable(asked) +
               "\" (QT_QPA_PLATFORM) opens no window; the panel needs xcb or wayland";
    return "qx5180: Qt cannot open its window system \"" + printable(asked) +
           "\" (QT_QPA_PLATFORM): Could not find the Qt platform plugin \"" + printable(name) +
           "\" in \"" + printable(variable("QT_QPA_PLATFORM_PLUGIN_PATH")) + "\"";
}

std::string xFault() {
    const std::string display = printable(variable("DISPLAY"));
    // An X server now and then drops a connection while it is being set up (a stream error,
    // a few times in a hundred); only one that fails again and again is not there.
    int error = XCB_CONN_ERROR;
    for (int attempt = 0; attempt < 3 && error == XCB_CONN_ERROR; ++attempt) {
        int screen = 0;
        xcb_connection_t* connection = xcb_connect(nullptr, &screen);
        error = xcb_connection_has_error(connection);
        xcb_disconnect(connection);
    }
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
const WindowSystem* starting = nullptr;
LineLog* startLog = nullptr;

// Qt warns, then ends with a fatal message that holds no reason; the first warning from
// its platform code is the reason. For X, libxcb says what is wrong with the display.
[[noreturn]] void startFailed(const QString& fatal) {
    std::string reason = fatal.section('\n', 0, 0).toStdString();
    for (const Held& message : held)
        if (message.category.rfind("qt.qpa", 0) == 0) {
            reason = message.text.toStdString();
            break;
        }
    const WindowSystem& system = *starting;
    std::string line = system.platforms.find("xcb") != std::string::npos ? xFault() : "";
    if (line.empty() && system.asked.empty() && system.platforms == "wayland")
        line = "qx5180: cannot use Wayland display " + variable("WAYLAND_DISPLAY") + ": " + reason;
    else if (line.empty())
        line = "qx5180: Qt cannot open its window system" +
               (system.asked.empty() ? "" : " \"" + system.asked + "\" (QT_QPA_PLATFORM)") + ": " +
               reason;
    startLog->line(printable(line));
    startLog->flush();
    std::_Exit(1);
}

void duringStart(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg)
        startFailed(text);
    held.push_back({type, context.category ? context.category : "", text});
}

} // namespace

WindowSystem chooseWindowSystem() {
    WindowSystem system;
    system.asked = variable("QT_QPA_PLATFORM");
    const bool x = !variable("DISPLAY").empty();
    const std::string wayland = variable("WAYLAND_DISPLAY");
    if (system.asked.empty()) {
        // Qt tries Wayland first where a compositor is named, then X.
        const bool useWayland = !wayland.empty() && qtHas("wayland");
        system.platforms = useWayland && x ? "wayland;xcb"
                           : useWayland    ? "wayland"
                           : x             ? "xcb"
                                           : "";
        if (system.platforms.empty())
            system.refusal = wayland.empty()
                                 ? kNoDisplay
                                 : "qx5180: cannot use Wayland display " + printable(wayland) +
                                       " and no X display is set (Debian's Qt needs qt6-wayland "
                                       "for Wayland)";
        return system;
    }
    // Qt's form: entries separated by ';', each a name and its ':'-separated options. Only
    // the names are kept.
    std::string first;
    for (const QString& entry :
         QString::fromStdString(system.asked).split(';', Qt::SkipEmptyParts)) {
        const std::string name = entry.section(':', 0, 0).toLower().toStdString();
        if (first.empty())
            first = name;
        const bool takes =
            name == "xcb" || ((name == "wayland" || name == "wayland-egl") && qtHas(name));
        if (takes && system.platforms.find(name) == std::string::npos)
            system.platforms += (system.platforms.empty() ? "" : ";") + name;
    }
    if (system.platforms.empty())
        system.refusal = refuse(first, system.asked);
    else if (system.platforms == "xcb" && !x)
        system.platforms.clear(), system.refusal = kNoDisplay;
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
    QGuiApplication::setDesktopSettingsAware(false);

    starting = &system;
    startLog = &log;
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
