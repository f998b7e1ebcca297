#include "privileges.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace bus {

namespace {

// A plain decimal id. (uid_t)-1 is not one: the set*id calls read it as "leave unchanged".
template<typename Id>
std::optional<Id> parseId(std::string_view text) {
    unsigned long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc{} || ptr != end || value >= std::numeric_limits<Id>::max())
        return std::nullopt;
    return static_cast<Id>(value);
}

bool fail(std::ostream& messages, const std::string& what, int error) {
    messages << "qx5180: cannot drop root rights: " << what << ": " << std::strerror(error) << '\n';
    return false;
}

bool refuse(std::ostream& messages, const std::string& why) {
    messages << "qx5180: cannot drop root rights: " << why << '\n';
    return false;
}

// Variables that make Qt, or the GL, GTK and Xlib code it may pull in, load a shared object
// from a path the caller picks, or choose another platform (vnc serves the window on the
// network, linuxfb writes the screen). After the drop such code would run as the user, who
// may run any code anyway, but inside this process, which still holds the port: the I/O
// permission and the open device outlast the drop, and those the user was not given. Glibc
// already removes LD_* and the like from a set-user-ID environment; no one removes these.
// Looks and accessibility (QT_SCALE_FACTOR, QT_ACCESSIBILITY, fonts) load no code and stay.
constexpr std::string_view kCodeLoadingVariables[] = {
    "QT_PLUGIN_PATH", "QT_QPA_PLATFORM_PLUGIN_PATH", "QT_QPA_PLATFORM", "QT_QPA_PLATFORMTHEME",
    "QT_QPA_GENERIC_PLUGINS", "QT_QPA_EGLFS_INTEGRATION", "QT_STYLE_OVERRIDE",
    "QT_XCB_GL_INTEGRATION", "QT_WAYLAND_SHELL_INTEGRATION",
    "QT_WAYLAND_CLIENT_BUFFER_INTEGRATION", "QT_WAYLAND_DECORATION", "QT_IM_MODULE",
    "QT_IM_MODULES", "QT_QUICK_BACKEND", "LIBGL_DRIVERS_PATH", "LIBGL_DRIVERS_DIR",
    "__EGL_VENDOR_LIBRARY_DIRS", "__EGL_VENDOR_LIBRARY_FILENAMES", "__GLX_VENDOR_LIBRARY_NAME",
    "GBM_BACKENDS_PATH", "GTK_PATH", "GTK_MODULES", "GTK3_MODULES", "GTK_IM_MODULE_FILE",
    "GIO_EXTRA_MODULES", "GIO_MODULE_DIR", "GDK_PIXBUF_MODULE_FILE", "XLOCALEDIR"};

bool scrubSetUserIdEnvironment(Credentials& system, std::ostream& messages) {
    for (const std::string_view name : kCodeLoadingVariables)
        if (const int error = system.unsetenv(std::string(name)); error != 0)
            return fail(messages, "unsetenv(" + std::string(name) + ")", error);
    return true;
}

// Code that reads HOME after the drop must find the user's files, not root's: X authority
// (~/.Xauthority when XAUTHORITY is unset), settings, caches. Without an entry nothing
// right can be said, so root's values go rather than stay.
bool takeUsersEnvironment(Credentials& system, std::ostream& messages,
                          const std::optional<Credentials::Account>& account) {
    const std::pair<const char*, std::string> values[] = {
        {"HOME", account ? account->home : ""},
        {"USER", account ? account->name : ""},
        {"LOGNAME", account ? account->name : ""}};
    for (const auto& [name, value] : values) {
        const int error = account ? system.setenv(name, value) : system.unsetenv(name);
        if (error != 0)
            return fail(messages, (account ? "setenv(" : "unsetenv(") + std::string(name) + ")",
                        error);
    }
    return true;
}

bool becomeUser(Credentials& system, std::ostream& messages, uid_t uid, gid_t gid) {
    const auto account = system.account(uid);
    // Groups first: once the uid is gone, so is the right to change them, and root's
    // supplementary groups would stay with us.
    if (account) {
        if (const int error = system.initgroups(account->name, gid); error != 0)
            return fail(messages,
                        "initgroups(" + account->name + ", " + std::to_string(gid) + ")", error);
    } else if (const int error = system.setgroups({gid}); error != 0) {
        return fail(messages, "setgroups(" + std::to_string(gid) + ")", error);
    }
    if (const int error = system.setgid(gid); error != 0)
        return fail(messages, "setgid(" + std::to_string(gid) + ")", error);
    if (const int error = system.setuid(uid); error != 0)
        return fail(messages, "setuid(" + std::to_string(uid) + ")", error);

    // As root, setuid() also replaces the saved set-user-ID; should some kernel or security
    // module leave a way back, getting root again would work here.
    if (system.setuid(0) == 0)
        return refuse(messages, "root could be regained after setuid(" + std::to_string(uid) + ")");
    if (!takeUsersEnvironment(system, messages, account))
        return false;
    // Nothing this process starts later may gain rights through a set-user-ID file.
    if (const int error = system.forbidNewPrivileges(); error != 0)
        return fail(messages, "prctl(PR_SET_NO_NEW_PRIVS)", error);
    return true;
}

} // namespace

bool dropRoot(Credentials& system, std::ostream& messages) {
    if (system.geteuid() != 0)
        return true;

    if (system.getuid() != 0)
        return scrubSetUserIdEnvironment(system, messages) &&
               becomeUser(system, messages, system.getuid(), system.getgid());

    const auto uidText = system.getenv("SUDO_UID");
    if (!uidText) {
        messages << "qx5180: running as root: no invoking user to drop to (start it from your "
                    "own account, through sudo if the port needs root)\n";
        return true;
    }
    const auto uid = parseId<uid_t>(*uidText);
    if (!uid)
        return refuse(messages, "SUDO_UID \"" + *uidText + "\" is not a user id");
    if (*uid == 0)
        return refuse(messages, "SUDO_UID is 0, so there is no unprivileged user to become");

    const auto gidText = system.getenv("SUDO_GID");
    if (!gidText)
        return refuse(messages, "SUDO_UID is set but SUDO_GID is not");
    const auto gid = parseId<gid_t>(*gidText);
    if (!gid)
        return refuse(messages, "SUDO_GID \"" + *gidText + "\" is not a group id");
    if (*gid == 0)
        return refuse(messages, "SUDO_GID is 0, so the program would keep root's group");

    return becomeUser(system, messages, *uid, *gid);
}

} // namespace bus
