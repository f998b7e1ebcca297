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
#include <cstring>

namespace {
int g_fd = -1, g_bytes = -1, g_signal = 0;
long g_count = 0, g_signalAt = 0;
char g_fail[4096];
template<class F>
F real(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
} // namespace

extern "C" int open(const char* path, int flags, ...) {
    va_list more;
    va_start(more, flags);
    const mode_t mode = flags & O_CREAT ? va_arg(more, mode_t) : 0;
    va_end(more);
    const auto open = real<int (*)(const char*, int, ...)>("open");
    if (std::strcmp(path, "/dev/parport0") != 0)
        return open(path, flags, mode);
    char bytes[4096];
    std::snprintf(bytes, sizeof bytes, "%s/bytes", std::getenv("QX_FAKE_PORT"));
    std::snprintf(g_fail, sizeof g_fail, "%s/fail", std::getenv("QX_FAKE_PORT"));
    std::sscanf(std::getenv("QX_FAKE_SIGNAL") ?: "0 0", "%ld %d", &g_signalAt, &g_signal);
    g_bytes = open(bytes, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    return g_fd = open("/dev/null", flags);
}

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept {
    va_list more;
    va_start(more, request);
    void* argument = va_arg(more, void*);
    va_end(more);
    if (fd != g_fd)
        return real<int (*)(int, unsigned long, ...)>("ioctl")(fd, request, argument);
    if (request == PPWDATA && access(g_fail, F_OK) == 0) {
        errno = EIO;
        return -1;
    }
    if (request == PPWDATA && write(g_bytes, argument, 1) == 1 && ++g_count == g_signalAt)
        kill(getpid(), g_signal);
    return 0;
}
