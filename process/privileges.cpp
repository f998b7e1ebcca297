#include "privileges.h"

#include "messages.h"

#include <grp.h>
#include <pwd.h>
#include <seccomp.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace process {

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

bool fail(const Lines& messages, const std::string& what, int error) {
    messages(messages::dropFailed(what, error));
    return false;
}

bool refuse(const Lines& messages, const std::string& why) {
    return fail(messages, why, 0);
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
constexpr std::string_view kWindowVariables[] = {"DISPLAY",
                                                 "XAUTHORITY",
                                                 "WAYLAND_DISPLAY",
                                                 "XDG_RUNTIME_DIR",
                                                 "LANG",
                                                 "LANGUAGE",
                                                 "LC_ALL",
                                                 "LC_ADDRESS",
                                                 "LC_COLLATE",
                                                 "LC_CTYPE",
                                                 "LC_IDENTIFICATION",
                                                 "LC_MEASUREMENT",
                                                 "LC_MESSAGES",
                                                 "LC_MONETARY",
                                                 "LC_NAME",
                                                 "LC_NUMERIC",
                                                 "LC_PAPER",
                                                 "LC_TELEPHONE",
                                                 "LC_TIME",
                                                 "TZ",
                                                 "TERM"};

// Searched by anything that runs a program by name; the caller's could point anywhere.
constexpr const char* kPath = "/usr/local/bin:/usr/bin:/bin";

// A locale, time zone or terminal name is looked up as a file by whatever reads it; with a
// '/' it can name any file, and a '%' is a format directive to some readers. Such a value
// is dropped, as sudo drops it. The display's variables may hold paths by design.
bool safeValue(std::string_view name, std::string_view value) {
    const bool isName = name != "DISPLAY" && name != "XAUTHORITY" && name != "WAYLAND_DISPLAY" &&
                        name != "XDG_RUNTIME_DIR";
    return !isName || value.find_first_of("/%") == std::string_view::npos;
}

// Empties the environment (unnamed and malformed entries too) and puts back only the
// variables above; HOME, USER, LOGNAME and PATH come from becomeUser().
bool keepOnlyWhatAWindowNeeds(Credentials& system, const Lines& messages) {
    std::vector<std::pair<std::string_view, std::string>> kept;
    for (const std::string_view name : kWindowVariables)
        if (auto value = system.getenv(std::string(name)); value && safeValue(name, *value))
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
bool takeUsersEnvironment(Credentials& system, const Lines& messages,
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

// A privileged panel starts no program, whatever asks it to: D-Bus autolaunching a session
// bus, a unixexec: address that the X server's AT_SPI_BUS property names, anything a library
// runs. Such a program would inherit the open device or, through fork and exec, the I/O
// permission. Refusing the exec itself holds for every path, whoever names the program;
// a library that meets the refusal goes on without what it wanted (a session bus it had to
// start, say), while one reachable through the kept environment (XDG_RUNTIME_DIR/bus) is
// still used, screen readers included.
bool forbidPrograms(Credentials& system, const Lines& messages) {
    if (const int error = system.forbidPrograms(); error != 0)
        return fail(messages, "seccomp filter against execve and execveat", error);
    return true;
}

bool becomeUser(Credentials& system, const Lines& messages, uid_t uid, gid_t gid) {
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
    const std::string gidText = std::to_string(gid);
    const std::string uidText = std::to_string(uid);
    if (const int error = system.setresgid(gid); error != 0)
        return fail(messages, "setresgid(" + gidText + ")", error);
    if (const int error = system.setresuid(uid); error != 0)
        return fail(messages, "setresuid(" + uidText + ")", error);

    // Trust the kernel's word, not the calls' return values: every id, saved ones included,
    // must be the user's, and the way back to root closed. A security module or a kernel
    // quirk that left one behind would otherwise hand root back to any code in the process.
    const auto [rgid, egid, sgid] = system.getresgid();
    const auto [ruid, euid, suid] = system.getresuid();
    if (rgid != gid || egid != gid || sgid != gid)
        return refuse(messages, "group ids are " + std::to_string(rgid) + " " +
                                    std::to_string(egid) + " " + std::to_string(sgid) +
                                    " after setresgid(" + gidText + ")");
    if (ruid != uid || euid != uid || suid != uid)
        return refuse(messages, "user ids are " + std::to_string(ruid) + " " +
                                    std::to_string(euid) + " " + std::to_string(suid) +
                                    " after setresuid(" + uidText + ")");
    if (system.setgid(0) == 0)
        return refuse(messages, "group 0 could be regained after setresgid(" + gidText + ")");
    if (system.setuid(0) == 0)
        return refuse(messages, "root could be regained after setresuid(" + uidText + ")");
    if (!takeUsersEnvironment(system, messages, account))
        return false;
    // Nothing this process starts later may gain rights through a set-user-ID file.
    if (const int error = system.forbidNewPrivileges(); error != 0)
        return fail(messages, "prctl(PR_SET_NO_NEW_PRIVS)", error);
    return forbidPrograms(system, messages);
}

class RealCredentials final : public Credentials {
public:
    uid_t getuid() override { return ::getuid(); }
    uid_t geteuid() override { return ::geteuid(); }
    gid_t getgid() override { return ::getgid(); }

    std::optional<std::string> getenv(const std::string& name) override {
        const char* value = std::getenv(name.c_str());
        if (!value)
            return std::nullopt;
        return std::string(value);
    }

    std::optional<Account> account(uid_t uid) override {
        const long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
        std::string buffer(size > 0 ? static_cast<std::size_t>(size) : 16384, '\0');
        for (;;) {
            passwd entry{};
            passwd* found = nullptr;
            const int rc = ::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found);
            if (rc == ERANGE && buffer.size() < (1u << 20)) {
                buffer.resize(buffer.size() * 2);
                continue;
            }
            if (rc != 0 || !found)
                return std::nullopt;
            return Account{found->pw_name, found->pw_dir};
        }
    }

    int setenv(const std::string& name, const std::string& value) override {
        return ::setenv(name.c_str(), value.c_str(), 1) < 0 ? errno : 0;
    }
    int clearenv() override { return ::clearenv() != 0 ? ENOMEM : 0; }
    int initgroups(const std::string& user, gid_t group) override {
        return ::initgroups(user.c_str(), group) < 0 ? errno : 0;
    }
    int setgroups(const std::vector<gid_t>& groups) override {
        return ::setgroups(groups.size(), groups.data()) < 0 ? errno : 0;
    }
    int setresgid(gid_t gid) override { return ::setresgid(gid, gid, gid) < 0 ? errno : 0; }
    int setresuid(uid_t uid) override { return ::setresuid(uid, uid, uid) < 0 ? errno : 0; }
    std::array<gid_t, 3> getresgid() override {
        std::array<gid_t, 3> ids{};
        ::getresgid(&ids[0], &ids[1], &ids[2]);
        return ids;
    }
    std::array<uid_t, 3> getresuid() override {
        std::array<uid_t, 3> ids{};
        ::getresuid(&ids[0], &ids[1], &ids[2]);
        return ids;
    }
    int setgid(gid_t gid) override { return ::setgid(gid) < 0 ? errno : 0; }
    int setuid(uid_t uid) override { return ::setuid(uid) < 0 ? errno : 0; }
    int forbidPrograms() override {
        scmp_filter_ctx filter = ::seccomp_init(SCMP_ACT_ALLOW);
        if (!filter)
            return ENOMEM;
        int rc = ::seccomp_attr_set(filter, SCMP_FLTATR_CTL_TSYNC, 1);
        for (const int call : {SCMP_SYS(execve), SCMP_SYS(execveat)})
            if (rc == 0)
                rc = ::seccomp_rule_add(filter, SCMP_ACT_ERRNO(EPERM), call, 0);
        if (rc == 0)
            rc = ::seccomp_load(filter);
        ::seccomp_release(filter);
        return -rc;
    }
    int forbidNewPrivileges() override {
        return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) < 0 ? errno : 0;
    }
};

} // namespace

Credentials& realCredentials() {
    static RealCredentials credentials;
    return credentials;
}

bool dropRoot(Credentials& system, const Lines& messages) {
    if (system.geteuid() != 0)
        return true;

    if (system.getuid() != 0)
        return keepOnlyWhatAWindowNeeds(system, messages) &&
               becomeUser(system, messages, system.getuid(), system.getgid());

    const auto uidText = system.getenv("SUDO_UID");
    if (!uidText) {
        messages(messages::rootLogin());
        return forbidPrograms(system, messages);
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

} // namespace process
