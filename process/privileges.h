#pragma once

#include <sys/types.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace process {

// Where the program's lines go, one whole line (no newline) at a time.
using Lines = std::function<void(std::string_view line)>;

// What giving up root needs, behind an interface so that tests can stand in for the kernel.
// Calls that can fail return 0 or the errno value of the failure.
class Credentials {
public:
    virtual ~Credentials() = default;

    virtual uid_t getuid() = 0;
    virtual uid_t geteuid() = 0;
    virtual gid_t getgid() = 0;
    virtual std::optional<std::string> getenv(const std::string& name) = 0;
    struct Account {
        std::string name;
        std::string home;
    };
    // The user database's entry for the uid, if it has one.
    virtual std::optional<Account> account(uid_t uid) = 0;
    virtual int setenv(const std::string& name, const std::string& value) = 0;
    // Empties the environment, entries without a name or "=" included.
    virtual int clearenv() = 0;
    virtual int initgroups(const std::string& user, gid_t group) = 0;
    virtual int setgroups(const std::vector<gid_t>& groups) = 0;
    // Real, effective and saved ids all set to one value.
    virtual int setresgid(gid_t gid) = 0;
    virtual int setresuid(uid_t uid) = 0;
    // Real, effective and saved ids, as the kernel holds them now.
    virtual std::array<gid_t, 3> getresgid() = 0;
    virtual std::array<uid_t, 3> getresuid() = 0;
    // Only to prove that the way back is closed: both must fail after the drop.
    virtual int setgid(gid_t gid) = 0;
    virtual int setuid(uid_t uid) = 0;
    // prctl(PR_SET_NO_NEW_PRIVS): no exec from here on can grant rights.
    virtual int forbidNewPrivileges() = 0;
    // A seccomp filter, in every thread and for good: execve and execveat fail with EPERM.
    virtual int forbidPrograms() = 0;
};

// The real calls; they live for the whole program.
Credentials& realCredentials();

// Gives up root for good once the port has been taken; call it after choosePort() and
// before anything else runs. Root rights are only ever wanted for direct port I/O, and that
// permission survives the drop.
//
//   not root                         nothing to do; true.
//   root through sudo (SUDO_UID/GID) keeps only the environment a window needs (see
//                                    privileges.cpp), then becomes the invoking user:
//                                    supplementary groups, then all three group ids, then
//                                    all three user ids; reads them back and checks that
//                                    neither group 0 nor user 0 can be had again; HOME,
//                                    USER, LOGNAME and PATH then come from the user's entry
//                                    and no later exec may gain rights.
//   set-user-ID root (real uid not 0) the same, becoming the real user; SUDO_* is ignored,
//                                    since whoever started the program could have set it.
//   a root login (no SUDO_UID)       there is no one to become; keeps running, says so; true.
//
// Either way a privileged start then runs no program at all (see forbidPrograms): the port
// rights outlast the drop, and ioperm's are inherited through fork and exec.
//
// On any failure hands one line to `messages` and returns false: the caller must exit
// rather than run on with rights it meant to drop.
bool dropRoot(Credentials& system, const Lines& messages);

} // namespace process
