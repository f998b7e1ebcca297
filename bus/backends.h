#pragma once

#include "port.h"
#include "system.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace bus {

inline constexpr const char* kParportDevice = "/dev/parport0";
// Taken for as long as a panel drives kPortAddress by direct I/O: the kernel keeps no claim
// of its own there, and two panels' frames would interleave on the wire.
inline constexpr const char* kPortLock = "/run/lock/qx5180-0x378.lock";
// How long start-up may wait for a shared port that someone else is using.
inline constexpr std::chrono::milliseconds kClaimLimit{2000};
// The least time any line state lasts on a real port, for standard-mode I2C (see backends.cpp).
inline constexpr std::chrono::nanoseconds kShortestLineState{5000};

// A way to the port that could not be had, as a value: bus/ says what happened, the caller
// words it for the terminal and the window.
struct PortError {
    enum class Kind {
        Open,     // opening kParportDevice
        Claim,    // claiming it
        Busy,     // a shared claim that waited `waited` in vain; detail: the holder, if known
        Held,     // another program registered exclusively; detail: the holder, if claiming
        DirectIo, // ioperm() at kPortAddress; asRoot: refused although root asked
        Lock,     // locking kPortLock; detail: the process holding it, when EWOULDBLOCK
    };
    Kind kind;
    int error = 0;
    std::string detail;
    std::chrono::milliseconds waited{};
    bool asRoot = false;
};

// What choosing a port did, one step at a time, as values; the caller words them.
// The exclusive claim was refused (another device, lp or a program, is registered): asking to
// share the port, waiting at most `limit` for it.
struct SharingPort {
    std::chrono::milliseconds limit;
};
// Direct I/O was not tried: the device node exists (the kernel driver owns the port),
// /proc/ioports could not be read (`error`), or it lists no parallel port at kPortAddress.
struct DirectIoSkipped {
    enum class Why { DeviceExists, IoportsUnreadable, NotListed };
    Why why;
    int error = 0;
};
// A real port is in use: the device, or direct I/O.
struct UsingPort {
    bool direct = false;
};
// Neither way could be had: the simulated board stands in.
struct UsingSimulated {};
using PortEvent = std::variant<SharingPort, PortError, DirectIoSkipped, UsingPort, UsingSimulated>;
using PortReport = std::function<void(const PortEvent&)>;

struct ChosenPort {
    std::unique_ptr<Port> port;
    // The last failure, when the simulated board stands in; empty when a real port is driven.
    std::optional<PortError> simulatedBecause;
};

// "0x378".
std::string portAddressText();
// "2 s", or "50 ms" for a limit that is no whole number of seconds.
std::string durationText(std::chrono::milliseconds limit);

// Picks the way bytes reach the port, once, at start, in this order:
//   1. the kernel's parallel-port device (needs membership of group lp, not root),
//   2. direct port I/O at kPortAddress, only where the device node is missing and the kernel
//      lists a parallel port there (needs root),
//   3. the board that `simulated` builds.
// Each step is handed to `report` as it happens (before a wait, the wait's limit): every way
// that cannot be had, or was not worth trying, and the way in use. The returned port keeps
// what it took (descriptor, port permission) until it is destroyed.
//
// A shared claim waits at most claimLimit for the port's holder to let go.
//
// Port permission is per thread: call this from the thread that will write, before it
// starts any other thread that writes.
ChosenPort choosePort(PortAccess& system, const PortReport& report,
                      const std::function<std::unique_ptr<Port>()>& simulated,
                      std::chrono::milliseconds claimLimit = kClaimLimit);

} // namespace bus
