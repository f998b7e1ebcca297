#pragma once

#include "port.h"
#include "system.h"

#include <functional>
#include <iosfwd>
#include <memory>

namespace bus {

inline constexpr const char* kParportDevice = "/dev/parport0";

// Picks the way bytes reach the port, once, at start, in this order:
//   1. the kernel's parallel-port device (needs membership of group lp, not root),
//   2. direct port I/O at kPortAddress, only where the device node is missing and the kernel
//      lists a parallel port there (needs root),
//   3. the board that `simulated` builds.
// Every way that cannot be had gets one line on `messages` saying what was tried and why,
// and one line names the way in use. The returned port keeps what it took (descriptor,
// port permission) until it is destroyed.
//
// Port permission is per thread: call this from the thread that will write, before it
// starts any other thread that writes.
std::unique_ptr<Port> choosePort(PortAccess& system, std::ostream& messages,
                                 const std::function<std::unique_ptr<Port>()>& simulated);

} // namespace bus
