#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace bus {

// The operating-system calls that reaching the port takes, behind a small interface so that
// tests can stand in for the kernel. Calls that can fail return 0
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
    // An exclusive lock (flock) on `path`, created if missing, held until fd is closed; the
    // file then holds this process's id. Without waiting: EWOULDBLOCK while another process
    // holds it, whose id is then read into `holder` when the file holds a process number and
    // nothing else. kNotALockFile when what is at `path` is not the panel's to take.
    virtual int lock(const std::string& path, int& fd, std::string& holder) = 0;
    // Whether a refused ioperm() came from root, to tell lockdown from missing rights.
    virtual uid_t geteuid() = 0;
};

// Not an errno: what is at the lock's path is not a regular file with one link, owned by root
// or by the user. Nothing of it was read, changed or locked.
inline constexpr int kNotALockFile = -1;

// Runs call once, which returns 0 or an errno; a call still sleeping once limit has passed is
// interrupted and ETIMEDOUT returned, one that another signal cuts short returns EINTR. For a
// request the kernel sleeps in interruptibly. The time is the monotonic clock's: a timer of its own
// interrupts the call with limitSignal(), a real-time signal, while it runs, and one of those
// sent by anyone else is raised again, to its usual handler, once it is done.
int limitSignal();
int withinLimit(const std::function<int()>& call, std::chrono::milliseconds limit);

// The real calls; they live for the whole program.
PortAccess& realPortAccess();

} // namespace bus
