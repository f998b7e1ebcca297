#include "messages.h"

#include <cerrno>
#include <cstring>
#include <signal.h>

namespace messages {

namespace {

template<class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template<class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

// Strings here are appended to, not added: GCC 12 at -O2 wrongly warns (-Wrestrict) on
// "\"" + text + "\"" where the result is added to again.
std::string quoted(std::string_view text) {
    std::string out(1, '"');
    out.append(text);
    out.push_back('"');
    return out;
}

std::string explain(const bus::PortError& failure) {
    using Kind = bus::PortError::Kind;
    const std::string device = bus::kParportDevice;
    const std::string what = std::strerror(failure.error);
    const int e = failure.error;
    switch (failure.kind) {
    case Kind::Open:
        if (e == ENOENT)
            return "cannot open " + device + ": " + what +
                   " (load the ppdev module: sudo modprobe ppdev)";
        if (e == EACCES || e == EPERM)
            return "cannot open " + device + ": " + what +
                   " (add your user to group lp, then log in again)";
        return "cannot open " + device + ": " + what;
    case Kind::Claim:
        // Another program's exclusive hold is told apart (Held): ENXIO here is a node with no
        // port behind it.
        if (e == ENXIO)
            return "cannot claim " + device + ": " + what + " (no port behind it)";
        return "cannot claim " + device + ": " + what;
    case Kind::Busy: {
        const std::string gaveUp =
            "gave up waiting for " + device + " after " + bus::durationText(failure.waited);
        if (failure.detail.starts_with("lp"))
            return gaveUp + ": the printer driver (" + failure.detail + ") is printing";
        if (failure.detail.starts_with("ppdev"))
            return gaveUp + ": another program is using the port (" + failure.detail + ")";
        return gaveUp + ": the printer driver is printing, or another program is using the port";
    }
    case Kind::Held:
        return "another program holds " + device + " exclusively" +
               (failure.detail.empty() ? "" : " (" + failure.detail + ")") +
               ", and the kernel lets no one share it: not waiting for it";
    case Kind::Lock:
        if (e == bus::kNotALockFile)
            return "cannot lock I/O port " + bus::portAddressText() + ": " + bus::kPortLock +
                   " is not a regular file with one link, owned by root; it is left alone "
                   "(remove it if no panel is running)";
        if (e == EWOULDBLOCK)
            return "I/O port " + bus::portAddressText() + " is driven by another panel" +
                   (failure.detail.empty() ? "" : " (process " + failure.detail + ")");
        return "cannot lock I/O port " + bus::portAddressText() + " (" + bus::kPortLock +
               "): " + what;
    case Kind::DirectIo:
        const std::string reach = "cannot reach I/O port " + bus::portAddressText() + ": " + what;
        if (e != EPERM)
            return reach;
        return reach +
               (failure.asRoot ? " (the kernel forbids direct port access; load ppdev and use "
                               : " (run as root, or load ppdev and use ") +
               device + ")";
    }
    return {};
}

} // namespace

std::string line(std::string_view text) {
    std::string out(kProgram);
    out += ": ";
    out += text;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return out;
}

std::string title(std::string_view simulatedBecause, int writeError) {
    std::string out(kTitle);
    if (!simulatedBecause.empty())
        out.append(" \u2014 simulated board: ").append(simulatedBecause);
    if (writeError != 0)
        out.append(" \u2014 port write failed: ").append(std::strerror(writeError));
    return out;
}

std::string notSentWhileEnding() {
    return line("ending: what the controls do from now on is not sent to the chip");
}

std::string writeFailed(std::string_view port, std::string_view during, int error) {
    std::string text = "writing to ";
    text.append(port).append(" failed during ").append(during).append(": ");
    text.append(std::strerror(error)).append("; the chip may not hold what the panel shows");
    return line(text);
}

std::string portEvent(const bus::PortEvent& event) {
    const std::string device = bus::kParportDevice;
    const std::string notTried = "direct port I/O not tried: ";
    using Why = bus::DirectIoSkipped::Why;
    return line(std::visit(
        Overloaded{
            [&](const bus::SharingPort& e) {
                return "exclusive access to " + device +
                       " refused: the printer driver lp or another program is registered on "
                       "the port; asking to share it, waiting at most " +
                       bus::durationText(e.limit) + " for it to be free";
            },
            [](const bus::PortError& e) { return explain(e); },
            [&](const bus::DirectIoSkipped& e) {
                if (e.why == Why::DeviceExists)
                    return notTried + device + " exists";
                if (e.why == Why::IoportsUnreadable)
                    return notTried + "cannot read /proc/ioports: " + std::strerror(e.error);
                return notTried + "no parallel port at " + bus::portAddressText() +
                       " in /proc/ioports";
            },
            [&](const bus::UsingPort& e) {
                return e.direct ? "using direct I/O at port " + bus::portAddressText()
                                : "using " + device;
            },
            [](const bus::UsingSimulated&) {
                return std::string("no parallel port available; using the simulated board (its "
                                   "decoded writes follow on standard error)");
            },
        },
        event));
}

std::string simulatedBecause(const bus::PortError& failure) {
    using Kind = bus::PortError::Kind;
    const std::string device = bus::kParportDevice;
    const std::string ioPort = "I/O port " + bus::portAddressText();
    const int e = failure.error;
    switch (failure.kind) {
    case Kind::Open:
        if (e == ENOENT)
            return "no parallel port";
        if (e == EACCES || e == EPERM)
            return "no permission for " + device;
        return e == ENODEV || e == ENXIO ? "no port behind " + device : "cannot open " + device;
    case Kind::Claim:
        return e == ENXIO ? device + " unavailable" : "cannot claim " + device;
    case Kind::Busy:
        if (failure.detail.starts_with("lp"))
            return device + " busy printing";
        if (failure.detail.starts_with("ppdev"))
            return device + " used by another program";
        return device + " busy";
    case Kind::Held:
        return device + " held by another program";
    case Kind::Lock:
        if (e == bus::kNotALockFile)
            return "not a lock file at " + std::string(bus::kPortLock);
        return e == EWOULDBLOCK ? ioPort + " used by another panel" : "cannot lock " + ioPort;
    case Kind::DirectIo:
        return e == EPERM ? "no permission for " + ioPort : "cannot reach " + ioPort;
    }
    return {};
}

std::string noDisplay() {
    return line("no display; start it from a desktop or set DISPLAY");
}

std::string opensNoWindow(std::string_view asked) {
    return line("Qt's window system " + quoted(asked) +
                " (QT_QPA_PLATFORM) opens no window; the panel needs xcb or wayland");
}

std::string windowSystemFailed(std::string_view asked, std::string_view reason) {
    std::string text = "Qt cannot open its window system";
    if (!asked.empty())
        text.append(" ").append(quoted(asked)).append(" (QT_QPA_PLATFORM)");
    return line(text.append(": ").append(reason));
}

std::string noWaylandCompositor(std::string_view waylandDisplay) {
    return line("no Wayland compositor answered at WAYLAND_DISPLAY " + quoted(waylandDisplay));
}

std::string droppedLines(std::size_t count) {
    return line(std::to_string(count) + (count == 1 ? " line was" : " lines were") +
                " dropped while standard error was not being read");
}

std::string tooFew(std::string_view what, std::string_view setting, std::size_t limit,
                   std::size_t needed) {
    return line("too few " + std::string(what) + " allowed: " + std::to_string(limit) + " (" +
                std::string(setting) + "); the panel needs " + std::to_string(needed));
}

std::string cannotContinue(std::string_view what, std::string_view reason) {
    return line("cannot " + std::string(what) + ": " + std::string(reason) + "; the panel ends");
}

std::string endedBy(int signal) {
    if (signal > SIGRTMIN && signal <= SIGRTMAX)
        return line("ended by SIGRTMIN+" + std::to_string(signal - SIGRTMIN));
    if (signal == SIGRTMIN)
        return line("ended by SIGRTMIN");
    if (signal == SIGIO) // SIGPOLL too; kill -l and the shells call it IO
        return line("ended by SIGIO");
    const char* name = ::sigabbrev_np(signal);
    return line("ended by SIG" + std::string(name ? name : std::to_string(signal)));
}

std::string tooFewFree(std::size_t free, std::size_t open, std::size_t limit, std::size_t needed) {
    return line("too few file descriptors free: " + std::to_string(free) + " of " +
                std::to_string(limit) + " (ulimit -n), " + std::to_string(open) +
                " being open already; the panel needs " + std::to_string(needed));
}

namespace {
const std::string kMayNotHold = "the chip may not hold what the window shows";
const std::string kHolds = "the chip holds what the window shows";
std::string failed(int error) {
    return "port write failed: " + std::string(std::strerror(error)) + "; " + kMayNotHold;
}
} // namespace

std::string writesFailingNotice(int error) {
    return failed(error);
}

std::string writesGoodNotice() {
    return "port writes work again; " + kHolds;
}

std::string defaultsNotice(int writeError, bool recovered) {
    if (writeError != 0)
        return "every control back to the start-up values, but " + failed(writeError);
    return std::string(recovered ? "port writes work again; " : "") +
           "every control and the chip back to the start-up values, all five registers sent";
}

std::string statusNotice(std::string_view port, std::string_view simulatedBecause, int writeError) {
    std::string text = "status: ";
    if (simulatedBecause.empty())
        text.append("driving ").append(port);
    else
        text.append("simulated board: ").append(simulatedBecause);
    return text.append("; ").append(writeError != 0 ? failed(writeError) : kHolds);
}

std::string rootLogin() {
    return line("running as root: no invoking user to drop to (start it from your own account, "
                "through sudo if the port needs root)");
}

std::string dropFailed(std::string_view step, int error) {
    std::string text = "cannot drop root rights: " + std::string(step);
    if (error != 0)
        text.append(": ").append(std::strerror(error));
    return line(text);
}

} // namespace messages
