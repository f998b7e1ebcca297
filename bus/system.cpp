#include "system.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define QX_HAVE_PORT_IO 1
#endif

#include <algorithm>
#include <cerrno>
#include <string_view>

namespace bus {

namespace {

#ifndef sigev_notify_thread_id
#define sigev_notify_thread_id _sigev_un._tid
#endif

volatile sig_atomic_t g_sentMeanwhile = 0;

// The timer's signal only interrupts the call; the clock decides whether the limit passed.
// The same signal sent by someone else is theirs, and is raised again afterwards.
void onLimitSignal(int, siginfo_t* info, void*) {
    if (info->si_code != SI_TIMER)
        g_sentMeanwhile = 1;
}

// A process number and nothing else, as this lock writes it: anything else in the file is
// not ours to repeat.
std::string processNumber(std::string_view text) {
    if (text.ends_with('\n'))
        text.remove_suffix(1);
    const bool digits = !text.empty() && text.size() <= 10 &&
                        text.find_first_not_of("0123456789") == std::string_view::npos;
    return digits ? std::string(text) : std::string();
}

class RealPortAccess final : public PortAccess {
public:
    int openReadWrite(const std::string& path, int& fd) override {
        fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        return fd < 0 ? errno : 0;
    }

    int ioctl(int fd, unsigned long request, void* arg) override {
        return ::ioctl(fd, request, arg) < 0 ? errno : 0;
    }

    int ioctlWithin(int fd, unsigned long request, void* arg,
                    std::chrono::milliseconds limit) override {
        return withinLimit([&] { return ::ioctl(fd, request, arg) < 0 ? errno : 0; }, limit);
    }

    void close(int fd) override { ::close(fd); }

    int readFile(const std::string& path, std::string& content) override {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return errno;
        content.clear();
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                const int error = errno;
                ::close(fd);
                return error;
            }
            if (n == 0)
                break;
            content.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(fd);
        return 0;
    }

#ifdef QX_HAVE_PORT_IO
    int ioperm(unsigned long first, unsigned long count, bool on) override {
        return ::ioperm(first, count, on ? 1 : 0) < 0 ? errno : 0;
    }
    void outb(std::uint8_t value, std::uint16_t port) override {
        ::outb(value, port);
    }
#else
    // No port I/O instructions on this architecture; the device is the only way.
    int ioperm(unsigned long, unsigned long, bool) override {
        return ENOSYS;
    }
    void outb(std::uint8_t, std::uint16_t) override {}
#endif

    // Nothing is read, truncated or written before the file has proved to be a lock file of
    // ours: with root's rights an open path may be a hard link to any file root owns (where
    // the kernel allows those), a FIFO or a file some user left there. O_NOFOLLOW refuses a
    // symbolic link; O_NONBLOCK and O_NOCTTY keep a FIFO or device from blocking or
    // becoming the terminal.
    int lock(const std::string& path, int& fd, std::string& holder) override {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY,
                    0644);
        if (fd < 0)
            return errno == ELOOP ? kNotALockFile : errno; // a symbolic link
        struct stat file {};
        if (::fstat(fd, &file) != 0 || !S_ISREG(file.st_mode) || file.st_nlink != 1 ||
            (file.st_uid != 0 && file.st_uid != ::geteuid())) {
            ::close(fd);
            fd = -1;
            return kNotALockFile;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) < 0) {
            const int error = errno;
            char text[16] = {};
            const ssize_t n = ::pread(fd, text, sizeof text, 0);
            holder = processNumber({text, static_cast<std::size_t>(std::max<ssize_t>(n, 0))});
            ::close(fd);
            fd = -1;
            return error;
        }
        const std::string pid = std::to_string(::getpid());
        if (::ftruncate(fd, 0) != 0 ||
            ::pwrite(fd, pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size()))
            holder.clear(); // the lock holds all the same; only its note is missing
        return 0;
    }

    uid_t geteuid() override {
        return ::geteuid();
    }
};

} // namespace

int limitSignal() {
    return SIGRTMAX;
}

// A ppdev claim on a port that another device holds sleeps in parport_claim_or_block()
// (wait_event_interruptible), which gives up with EINTR as soon as a signal is pending.
// A timer aimed at this thread raises limitSignal() after `limit`; its handler is installed
// without SA_RESTART, so the call returns instead of being restarted. The timer repeats
// every 10 ms after that: an expiry that lands just before the call is entered still has
// a successor that lands inside it. Whether the limit has passed is the monotonic clock's
// word, never a signal's: any signal can be sent by whoever may signal the panel, SIGALRM
// included, which is why none of the usual ones is taken. A call cut short by another
// signal is not made again: parport leaves an interrupted claimer on its wait list, and a
// second claim by the same device adds it again, corrupting the list, so that the next
// claim on the port after the panel has gone oopses the kernel (seen on Debian's 6.1). Such
// a signal is one that ends the panel anyway. The old handler and signal mask come back
// afterwards.
int withinLimit(const std::function<int()>& call, std::chrono::milliseconds limit) {
    const int signal = limitSignal();
    struct sigaction action {};
    struct sigaction previous {};
    action.sa_sigaction = onLimitSignal;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    g_sentMeanwhile = 0;
    ::sigaction(signal, &action, &previous);
    sigset_t own;
    sigset_t previousMask;
    sigemptyset(&own);
    sigaddset(&own, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &own, &previousMask);

    sigevent event{};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = signal;
    event.sigev_notify_thread_id = ::gettid();
    timer_t timer{};
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int error = ::timer_create(CLOCK_MONOTONIC, &event, &timer) < 0 ? errno : 0;
    if (error == 0) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(limit);
        itimerspec when{};
        when.it_value.tv_sec = seconds.count();
        when.it_value.tv_nsec = std::chrono::nanoseconds(limit - seconds).count();
        when.it_interval.tv_nsec = 10'000'000;
        if (::timer_settime(timer, 0, &when, nullptr) < 0)
            error = errno;
        if (error == 0)
            error = call();
        ::timer_delete(timer);
        if (error == EINTR && std::chrono::steady_clock::now() >= deadline)
            error = ETIMEDOUT;
    }
    ::pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    ::sigaction(signal, &previous, nullptr);
    if (g_sentMeanwhile)
        ::raise(signal);
    return error;
}

PortAccess& realPortAccess() {
    static RealPortAccess access;
    return access;
}

} // namespace bus
