#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bus {

// The operating-system calls that reaching the port and giving up root take, behind two
// small interfaces so that tests can stand in for the kernel. Calls that can fail return 0
// or the errno value of the failure instead of leaving it in errno, so a stand-in never has
// to touch the global.

// What choosing and driving a port back end needs.
class PortAccess {
public:
    virtual ~PortAccess() = default;

    // Opens for reading and writing, close-on-exec. On success fd holds the descriptor.
    virtual int openReadWrite(const std::string& path, int& fd) = 0;
    virtual int ioctl(int fd, unsigned long request, void* arg) = 0;
    // For a request the kernel may sleep in: gives up with ETIMEDOUT once limit has passed.
    virtual int ioctlWithin(int fd, unsigned long request, void* arg,
                            std::chrono::milliseconds limit) = 0;
    virtual void close(int fd) = 0;
    // Whole content of a (possibly size-less, /proc) file.
    virtual int readFile(const std::string& path, std::string& content) = 0;

    // Access to count I/O ports from first, for the calling thread (and threads it starts
    // afterwards).
    virtual int ioperm(unsigned long first, unsigned long count, bool on) = 0;
    virtual void outb(std::uint8_t value, std::uint16_t port) = 0;
    // Whether a refused ioperm() came from root, to tell lockdown from missing rights.
    virtual uid_t geteuid() = 0;
};

// What giving up root needs.
class Credentials {
public:
    virtual ~Credentials() = default;

    virtual uid_t getuid() = 0;
    virtual uid_t geteuid() = 0;
    virtual gid_t getgid() = 0;
    virtual std::optional<std::string> getenv(const std::string& name) = 0;
    struct Account {
        std::string name, home;
    };
    // The user database's entry for the uid, if it has one.
    virtual std::optional<Account> account(uid_t uid) = 0;
    virtual int setenv(const std::string& name, const std::string& value) = 0;
    // Empties the environment, entries without a name or "=" included.
    virtual int clearenv() = 0;
    virtual int initgroups(const std::string& user, gid_t group) = 0;
    virtual int setgroups(const std::vector<gid_t>& groups) = 0;
    virtual int setgid(gid_t gid) = 0;
    virtual int setuid(uid_t uid) = 0;
    // prctl(PR_SET_NO_NEW_PRIVS): no exec from here on can grant rights.
    virtual int forbidNewPrivileges() = 0;
};

// Runs call, which returns 0 or an errno, until it returns anything but EINTR or limit has
// passed; a call still sleeping then is interrupted and ETIMEDOUT returned. For a request the
// kernel sleeps in interruptibly; it takes SIGALRM for the calling thread while it runs.
int withinLimit(const std::function<int()>& call, std::chrono::milliseconds limit);

// The real calls. Each lives for the whole program.
PortAccess& realPortAccess();
Credentials& realCredentials();

} // namespace bus
