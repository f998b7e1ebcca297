#pragma once

#include <cstdint>
#include <string>

namespace bus {

// The parallel port's data register, seen as a sink for whole bytes. Every byte that
// reaches the board goes through write(); nothing is ever read back.
class Port {
public:
    virtual ~Port() = default;

    // Puts the byte on the data lines before it returns. Returns 0 on success, otherwise
    // the errno value of the failure; the caller decides what to tell the user.
    virtual int write(std::uint8_t value) = 0;

    // What the bytes go to, for messages: "/dev/parport0", "I/O port 0x378", ...
    virtual std::string name() const = 0;

    // Whether write() may run in a signal handler: no allocation, no lock, async-signal-safe
    // system calls only. Only such a port is walked back to idle when the program faults
    // (bus::abandonTransaction); the others are left as they are.
    virtual bool writesFromSignalHandler() const { return false; }
};

} // namespace bus
