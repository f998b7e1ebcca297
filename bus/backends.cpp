#include "backends.h"

#include "lines.h"

// ppdev.h builds its request codes from the macros in ioctl.h.
#include <sys/ioctl.h>

#include <linux/ppdev.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <ostream>
#include <sstream>
#include <string_view>

namespace bus {

namespace {

constexpr const char* kIoportsFile = "/proc/ioports";

std::string portText() {
    std::ostringstream text;
    text << "0x" << std::hex << kPortAddress;
    return text.str();
}

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
        return m_system.ioctl(m_fd, PPWDATA, &data);
    }
    std::string name() const override { return kParportDevice; }

private:
    PortAccess& m_system;
    int m_fd;
};

class DirectPort final : public Port {
public:
    explicit DirectPort(PortAccess& system) : m_system(system) {}
    ~DirectPort() override { m_system.ioperm(kPortAddress, 1, false); }
    DirectPort(const DirectPort&) = delete;
    DirectPort& operator=(const DirectPort&) = delete;

    int write(std::uint8_t value) override {
        m_system.outb(value, kPortAddress);
        return 0;
    }
    std::string name() const override { return "I/O port " + portText(); }

private:
    PortAccess& m_system;
};

void reportOpenFailure(std::ostream& messages, int error) {
    messages << "qx5180: cannot open " << kParportDevice << ": " << std::strerror(error);
    if (error == ENOENT)
        messages << " (load the ppdev module: sudo modprobe ppdev)";
    else if (error == EACCES || error == EPERM)
        messages << " (add your user to group lp, then log in again)";
    messages << '\n';
}

void reportClaimFailure(std::ostream& messages, int error) {
    messages << "qx5180: cannot claim " << kParportDevice << ": " << std::strerror(error);
    // The kernel answers ENXIO both when no port stands behind the node and when another
    // program registered on it exclusively; the user needs to know it may be either.
    if (error == ENXIO)
        messages << " (no port behind it, or another program holds it exclusively)";
    messages << '\n';
}

struct Claim {
    int fd = -1;
    int openError = 0;
    int claimError = 0;
};

Claim claim(PortAccess& system, bool exclusive) {
    Claim result;
    int fd = -1;
    result.openError = system.openReadWrite(kParportDevice, fd);
    if (result.openError != 0)
        return result;
    int error = exclusive ? system.ioctl(fd, PPEXCL, nullptr) : 0;
    if (error == 0)
        error = system.ioctl(fd, PPCLAIM, nullptr);
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
std::unique_ptr<Port> openParportDevice(PortAccess& system, std::ostream& messages, bool& missing) {
    Claim attempt = claim(system, true);
    const bool refused = attempt.claimError == ENXIO;
    if (refused)
        attempt = claim(system, false);

    missing = attempt.openError == ENOENT;
    if (attempt.openError != 0) {
        reportOpenFailure(messages, attempt.openError);
        return nullptr;
    }
    if (attempt.claimError != 0) {
        reportClaimFailure(messages, attempt.claimError);
        return nullptr;
    }
    if (refused)
        messages << "qx5180: exclusive access to " << kParportDevice
                 << " refused: another driver (such as the printer driver lp) uses the port; "
                    "sharing it\n";
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

std::unique_ptr<Port> openDirectPort(PortAccess& system, std::ostream& messages, bool deviceMissing) {
    // Where the device node exists the kernel driver owns the port; banging on its
    // registers behind the driver's back would fight it.
    if (!deviceMissing) {
        messages << "qx5180: direct port I/O not tried: " << kParportDevice << " exists\n";
        return nullptr;
    }
    std::string ioports;
    if (const int error = system.readFile(kIoportsFile, ioports); error != 0) {
        messages << "qx5180: direct port I/O not tried: cannot read " << kIoportsFile << ": "
                 << std::strerror(error) << '\n';
        return nullptr;
    }
    // Writing to an address where no parallel port decodes could hit some other device.
    if (!listsParallelPort(ioports)) {
        messages << "qx5180: direct port I/O not tried: no parallel port at " << portText()
                 << " in " << kIoportsFile << '\n';
        return nullptr;
    }
    if (const int error = system.ioperm(kPortAddress, 1, true); error != 0) {
        messages << "qx5180: cannot reach I/O port " << portText() << ": " << std::strerror(error);
        if (error == EPERM) {
            // Root refused as well means the kernel is locked down against port access.
            if (system.geteuid() == 0)
                messages << " (the kernel forbids direct port access; load ppdev and use "
                         << kParportDevice << ")";
            else
                messages << " (run as root, or load ppdev and use " << kParportDevice << ")";
        }
        messages << '\n';
        return nullptr;
    }
    return std::make_unique<DirectPort>(system);
}

} // namespace

std::unique_ptr<Port> choosePort(PortAccess& system, std::ostream& messages,
                                 const std::function<std::unique_ptr<Port>()>& simulated) {
    bool deviceMissing = false;
    if (auto port = openParportDevice(system, messages, deviceMissing)) {
        messages << "qx5180: using " << kParportDevice << '\n';
        return port;
    }
    if (auto port = openDirectPort(system, messages, deviceMissing)) {
        messages << "qx5180: using direct I/O at port " << portText() << '\n';
        return port;
    }
    messages << "qx5180: no parallel port available; using the simulated board (its decoded "
                "writes follow on standard error)\n";
    messages.flush();
    return simulated();
}

} // namespace bus
