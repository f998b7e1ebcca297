// Stands in for /dev/parport0, loaded with LD_PRELOAD into the real program: the device
// opens, claims and releases; each byte written (PPWDATA) is appended to $QX_FAKE_PORT/bytes,
// and refused with EIO while $QX_FAKE_PORT/fail exists. With QX_FAKE_SIGNAL="N SIGNAL" the
// program sends itself that signal during its Nth write. Safe in a signal handler, as the
// real device is.
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
int g_fd = -1;
int g_bytes = -1;
int g_signal = 0;
long g_at = 0;
std::string g_fail;
} // namespace

extern "C" int open(const char* path, int flags, ...) {
    va_list more;
    va_start(more, flags);
    const mode_t mode = __OPEN_NEEDS_MODE(flags) ? va_arg(more, mode_t) : 0;
    va_end(more);
    static const auto next =
        reinterpret_cast<int (*)(const char*, int, ...)>(dlsym(RTLD_NEXT, "open"));
    if (std::string(path) != "/dev/parport0")
        return next(path, flags, mode);
    const std::string dir = std::getenv("QX_FAKE_PORT");
    g_fail = dir + "/fail";
    std::sscanf(std::getenv("QX_FAKE_SIGNAL") ?: "-1 0", "%ld %d", &g_at, &g_signal);
    g_bytes = next((dir + "/bytes").c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    return g_fd = next("/dev/null", flags);
}

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept {
    va_list more;
    va_start(more, request);
    void* data = va_arg(more, void*);
    va_end(more);
    if (fd != g_fd)
        return reinterpret_cast<int (*)(int, unsigned long, ...)>(dlsym(RTLD_NEXT, "ioctl"))(
            fd, request, data);
    if (request == PPWDATA && access(g_fail.c_str(), F_OK) == 0) {
        errno = EIO;
        return -1;
    }
    if (request == PPWDATA && write(g_bytes, data, 1) == 1 && --g_at == 0)
        kill(getpid(), g_signal);
    return 0;
}
