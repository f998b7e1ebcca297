#include "privileges.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

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

bool becomeUser(Credentials& system, std::ostream& messages, uid_t uid, gid_t gid) {
    // Groups first: once the uid is gone, so is the right to change them, and root's
    // supplementary groups would stay with us.
    if (const auto name = system.userName(uid)) {
        if (const int error = system.initgroups(*name, gid); error != 0)
            return fail(messages, "initgroups(" + *name + ", " + std::to_string(gid) + ")", error);
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
    return true;
}

} // namespace

bool dropRoot(Credentials& system, std::ostream& messages) {
    if (system.geteuid() != 0)
        return true;

    if (system.getuid() != 0)
        return becomeUser(system, messages, system.getuid(), system.getgid());

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

    return becomeUser(system, messages, *uid, *gid);
}

} // namespace bus
