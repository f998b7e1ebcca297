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
#include <vector>

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

// What a window needs, and all that a privileged start keeps of its caller's environment:
// where the display is and the key to it, the runtime directory (the Wayland socket), and
// language, locale, time zone and terminal. Anything else may make Qt, or the GTK, GL and
// Xlib code it can pull in, load a shared object the caller picks (QT_PLUGIN_PATH,
// GTK_MODULES, and XDG_CURRENT_DESKTOP, which picks a platform theme that reads the user's
// gtk-modules= setting): such code would share the I/O permission and the open device that
// outlast the drop, which the user was not given. A list of what to remove always misses
// the next such variable; this one says what stays. Glibc refuses locale names with a '/'
// in a set-user-ID program, and LOCPATH is among what goes.
// clang-format off
constexpr std::string_view kWindowVariables[] = {
    "DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR",
    "LANG", "LANGUAGE", "LC_ALL", "LC_ADDRESS", "LC_COLLATE", "LC_CTYPE", "LC_IDENTIFICATION",
    "LC_MEASUREMENT", "LC_MESSAGES", "LC_MONETARY", "LC_NAME", "LC_NUMERIC", "LC_PAPER",
    "LC_TELEPHONE", "LC_TIME", "TZ", "TERM"};
// clang-format on

// Searched by anything that runs a program by name; the caller's could point anywhere.
constexpr const char* kPath = "/usr/local/bin:/usr/bin:/bin";

// Empties the environment (unnamed and malformed entries too) and puts back only the
// variables above; HOME, USER, LOGNAME and PATH come from becomeUser().
bool keepOnlyWhatAWindowNeeds(Credentials& system, std::ostream& messages) {
    std::vector<std::pair<std::string_view, std::string>> kept;
    for (const std::string_view name : kWindowVariables)
        if (auto value = system.getenv(std::string(name)))
            kept.emplace_back(name, std::move(*value));
    if (const int error = system.clearenv(); error != 0)
        return fail(messages, "clearenv()", error);
    for (const auto& [name, value] : kept)
        if (const int error = system.setenv(std::string(name), value); error != 0)
            return fail(messages, "setenv(" + std::string(name) + ")", error);
    return true;
}

// Code that reads HOME after the drop must find the user's files, not root's: X authority
// (~/.Xauthority when XAUTHORITY is unset), settings, caches. Without an entry nothing
// right can be said, so they stay unset.
bool takeUsersEnvironment(Credentials& system, std::ostream& messages,
                          const std::optional<Credentials::Account>& account) {
    std::vector<std::pair<const char*, std::string>> values;
    if (account)
        values = {{"HOME", account->home}, {"USER", account->name}, {"LOGNAME", account->name}};
    values.emplace_back("PATH", kPath);
    for (const auto& [name, value] : values)
        if (const int error = system.setenv(name, value); error != 0)
            return fail(messages, "setenv(" + std::string(name) + ")", error);
    return true;
}

bool becomeUser(Credentials& system, std::ostream& messages, uid_t uid, gid_t gid) {
    const auto account = system.account(uid);
    // Groups first: once the uid is gone, so is the right to change them, and root's
    // supplementary groups would stay with us.
    if (account) {
        if (const int error = system.initgroups(account->name, gid); error != 0)
            return fail(messages, "initgroups(" + account->name + ", " + std::to_string(gid) + ")",
                        error);
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
        return keepOnlyWhatAWindowNeeds(system, messages) &&
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

    return keepOnlyWhatAWindowNeeds(system, messages) && becomeUser(system, messages, *uid, *gid);
}

} // namespace bus
