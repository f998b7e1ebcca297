#pragma once

#include "port.h"
#include "system.h"

#include <chrono>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

namespace bus {

inline constexpr const char* kParportDevice = "/dev/parport0";
// How long start-up may wait for a shared port that someone else is using.
inline constexpr std::chrono::milliseconds kClaimLimit{2000};
// The least time any line state lasts on a real port, for standard-mode I2C (see backends.cpp).
inline constexpr std::chrono::nanoseconds kShortestLineState{5000};

struct ChosenPort {
    std::unique_ptr<Port> port;
    // Why the simulated board stands in, short and lower case for the window title ("no
    // parallel port"); empty when a real port is driven.
    std::string simulatedBecause;
};

// Picks the way bytes reach the port, once, at start, in this order:
//   1. the kernel's parallel-port device (needs membership of group lp, not root),
//   2. direct port I/O at kPortAddress, only where the device node is missing and the kernel
//      lists a parallel port there (needs root),
//   3. the board that `simulated` builds.
// Every way that cannot be had gets one line on `messages` saying what was tried and why,
// and one line names the way in use. The returned port keeps what it took (descriptor,
// port permission) until it is destroyed.
//
// A shared claim waits at most claimLimit for the port's holder to let go.
//
// Port permission is per thread: call this from the thread that will write, before it
// starts any other thread that writes.
ChosenPort choosePort(PortAccess& system, std::ostream& messages,
                      const std::function<std::unique_ptr<Port>()>& simulated,
                      std::chrono::milliseconds claimLimit = kClaimLimit);

} // namespace bus
