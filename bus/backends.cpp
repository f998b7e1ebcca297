#include "backends.h"

#include "lines.h"

// ppdev.h builds its request codes from the macros in ioctl.h.
#include <sys/ioctl.h>

#include <linux/ppdev.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <string_view>

namespace bus {

namespace {

constexpr const char* kIoportsFile = "/proc/ioports";
// The name of the device that holds the port now ("none" when free): the printer driver
// registers as lp, a program on /dev/parport0 through ppdev as ppdev0.
constexpr const char* kHolderFile = "/proc/sys/dev/parport/parport0/devices/active";

// Standard-mode I2C asks for SCL low at least 4.7 µs and high at least 4.0 µs, and for
// 4.7 µs of bus free time and start set-up, 4.0 µs of start hold and stop set-up. With one
// port write per line state, every state must meet the longest of these, so each lasts at
// least kShortestLineState. The count starts when the write that set the state returns:
// the lines change somewhere inside that write, never later, so the time the next write
// spends before reaching the port only lengthens the state. Time the caller already spent
// between writes counts, and a state that has lasted long enough costs nothing more.
// The wait spins on the monotonic clock: a sleep lasts tens of microseconds at the least
// (timer slack, wake-up latency) and would stretch a 78-write frame several times over.
class LinePacer {
public:
    template<class Write>
    int write(Write&& write) {
        while (Clock::now() < m_stateLasts) {
        }
        const int error = write();
        m_stateLasts = Clock::now() + kShortestLineState;
        return error;
    }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point m_stateLasts{};
};

// Holds the claimed device for the program's life. The port stays claimed throughout: the
// bus is clocked as fast as bytes go out, and yielding between bytes would let another
// driver's lines change under a half-sent I2C frame.
class ParportDevice final : public Port {
public:
    ParportDevice(PortAccess& system, int fd) : m_system(system), m_fd(fd) {}
    ~ParportDevice() override {
        m_system.ioctl(m_fd, PPRELEASE, nullptr);
        m_system.close(m_fd);
    }
    ParportDevice(const ParportDevice&) = delete;
    ParportDevice& operator=(const ParportDevice&) = delete;

    int write(std::uint8_t value) override {
        unsigned char data = value;
        return m_pacer.write([&] { return m_system.ioctl(m_fd, PPWDATA, &data); });
    }
    std::string name() const override { return kParportDevice; }
    // An ioctl on a descriptor held open, and the monotonic clock.
    bool writesFromSignalHandler() const override { return true; }

private:
    PortAccess& m_system;
    int m_fd;
    LinePacer m_pacer;
};

class DirectPort final : public Port {
public:
    DirectPort(PortAccess& system, int lock) : m_system(system), m_lock(lock) {}
    ~DirectPort() override {
        m_system.ioperm(kPortAddress, 1, false);
        m_system.close(m_lock);
    }
    DirectPort(const DirectPort&) = delete;
    DirectPort& operator=(const DirectPort&) = delete;

    int write(std::uint8_t value) override {
        return m_pacer.write([&] {
            m_system.outb(value, kPortAddress);
            return 0;
        });
    }
    std::string name() const override { return "I/O port " + portAddressText(); }
    // One instruction, and the monotonic clock.
    bool writesFromSignalHandler() const override { return true; }

private:
    PortAccess& m_system;
    int m_lock;
    LinePacer m_pacer;
};

// The kernel names the device that holds the port now: lp for the printer driver, ppdev0
// for a program on /dev/parport0.
std::string holder(PortAccess& system) {
    std::string text;
    if (system.readFile(kHolderFile, text) != 0)
        return "";
    return text.substr(0, text.find('\n'));
}

struct Claim {
    int fd = -1;
    int openError = 0;
    int claimError = 0;
};

// An exclusive claim never sleeps: the kernel refuses it while any other device is
// registered on the port, and with none registered nobody can be holding it. A shared claim
// sleeps until the holder releases the port: lp once the write it is printing has gone
// out, another program perhaps never; hence the limit.
Claim claim(PortAccess& system, bool exclusive, std::chrono::milliseconds limit) {
    Claim result;
    int fd = -1;
    result.openError = system.openReadWrite(kParportDevice, fd);
    if (result.openError != 0)
        return result;
    int error = 0;
    if (exclusive) {
        error = system.ioctl(fd, PPEXCL, nullptr);
        if (error == 0)
            error = system.ioctl(fd, PPCLAIM, nullptr);
    } else {
        error = system.ioctlWithin(fd, PPCLAIM, nullptr, limit);
    }
    if (error != 0) {
        system.close(fd);
        result.claimError = error;
        return result;
    }
    result.fd = fd;
    return result;
}

// Exclusive first, so that no other driver can drive the lines while a frame is on the
// bus. The kernel registers the exclusive wish only at the claim, and refuses it there with
// ENXIO when a driver (lp, usually) is already registered on the port. The wish stays on
// the descriptor and cannot be taken back, so sharing takes a fresh open.
std::unique_ptr<Port> openParportDevice(PortAccess& system, const PortReport& report,
                                        std::chrono::milliseconds limit,
                                        std::optional<PortError>& failure) {
    Claim attempt = claim(system, true, limit);
    if (attempt.claimError == ENXIO) {
        report(SharingPort{limit});
        attempt = claim(system, false, limit);
        // Refused again, at once: a device registered exclusively lets no other register
        // ("no more devices allowed"), and the kernel keeps no queue for it. Where the port's
        // folder in /proc is missing, no port stands behind the node.
        std::string active;
        if (attempt.claimError == ENXIO && system.readFile(kHolderFile, active) == 0) {
            active = active.substr(0, active.find('\n'));
            failure =
                PortError{PortError::Kind::Held, ENXIO, active == "none" ? "" : active, {}, false};
            return nullptr;
        }
    }

    if (attempt.openError != 0) {
        failure = PortError{PortError::Kind::Open, attempt.openError, "", {}, false};
        return nullptr;
    }
    if (attempt.claimError == ETIMEDOUT) {
        failure = PortError{PortError::Kind::Busy, ETIMEDOUT, holder(system), limit, false};
        return nullptr;
    }
    if (attempt.claimError != 0) {
        failure = PortError{PortError::Kind::Claim, attempt.claimError, "", {}, false};
        return nullptr;
    }
    return std::make_unique<ParportDevice>(system, attempt.fd);
}

// Whether /proc/ioports shows a parallel port whose range covers our address. Readers
// without CAP_SYS_ADMIN see every range as 0000-0000; a parallel port listed that way may
// well be ours, and ioperm() will decide (it needs more rights than reading this did).
bool listsParallelPort(std::string_view ioports) {
    while (!ioports.empty()) {
        const auto end = ioports.find('\n');
        std::string_view line = ioports.substr(0, end);
        ioports = end == std::string_view::npos ? std::string_view{} : ioports.substr(end + 1);

        line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
        const auto colon = line.find(" : ");
        const auto dash = line.find('-');
        if (colon == std::string_view::npos || dash == std::string_view::npos || dash > colon)
            continue;
        if (!line.substr(colon + 3).starts_with("parport"))
            continue;
        unsigned long first = 0;
        unsigned long last = 0;
        const char* text = line.data();
        if (std::from_chars(text, text + dash, first, 16).ptr != text + dash)
            continue;
        if (std::from_chars(text + dash + 1, text + colon, last, 16).ptr != text + colon)
            continue;
        if ((first == 0 && last == 0) || (first <= kPortAddress && kPortAddress <= last))
            return true;
    }
    return false;
}

std::unique_ptr<Port> openDirectPort(PortAccess& system, const PortReport& report,
                                     bool deviceMissing, std::optional<PortError>& failure) {
    using Why = DirectIoSkipped::Why;
    // Where the device node exists the kernel driver owns the port; banging on its
    // registers behind the driver's back would fight it.
    if (!deviceMissing) {
        report(DirectIoSkipped{Why::DeviceExists});
        return nullptr;
    }
    std::string ioports;
    if (const int error = system.readFile(kIoportsFile, ioports); error != 0) {
        report(DirectIoSkipped{Why::IoportsUnreadable, error});
        return nullptr;
    }
    // Writing to an address where no parallel port decodes could hit some other device.
    if (!listsParallelPort(ioports)) {
        report(DirectIoSkipped{Why::NotListed});
        return nullptr;
    }
    // The permission first: a panel that may not drive the port leaves no lock file behind,
    // which a later panel as root would rightly refuse as someone else's.
    if (const int error = system.ioperm(kPortAddress, 1, true); error != 0) {
        // Root refused as well means the kernel is locked down against port access.
        failure = PortError{PortError::Kind::DirectIo, error, "", {}, system.geteuid() == 0};
        return nullptr;
    }
    int lock = -1;
    std::string holder;
    if (const int error = system.lock(kPortLock, lock, holder); error != 0) {
        system.ioperm(kPortAddress, 1, false);
        failure = PortError{PortError::Kind::Lock, error, holder, {}, false};
        return nullptr;
    }
    return std::make_unique<DirectPort>(system, lock);
}

} // namespace

std::string portAddressText() {
    char digits[8];
    const auto end = std::to_chars(digits, digits + sizeof digits, kPortAddress, 16).ptr;
    std::string text = "0x";
    return text.append(digits, end);
}

std::string durationText(std::chrono::milliseconds limit) {
    const auto ms = limit.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

ChosenPort choosePort(PortAccess& system, const PortReport& report,
                      const std::function<std::unique_ptr<Port>()>& simulated,
                      std::chrono::milliseconds claimLimit) {
    std::optional<PortError> failure;
    if (auto port = openParportDevice(system, report, claimLimit, failure)) {
        report(UsingPort{false});
        return {std::move(port), std::nullopt};
    }
    report(*failure);
    const bool deviceMissing = failure->kind == PortError::Kind::Open && failure->error == ENOENT;
    std::optional<PortError> directFailure;
    if (auto port = openDirectPort(system, report, deviceMissing, directFailure)) {
        report(UsingPort{true});
        return {std::move(port), std::nullopt};
    }
    if (directFailure) {
        report(*directFailure);
        failure = directFailure;
    }
    report(UsingSimulated{});
    return {simulated(), failure};
}

} // namespace bus
