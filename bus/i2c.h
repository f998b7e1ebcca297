#pragma once

#include "lines.h"
#include "port.h"

#include <array>
#include <cstdint>
#include <iosfwd>
#include <span>

namespace bus {

// One complete I2C write as bit slots, most significant bit first: slots 0-7 the address
// byte (7-bit address and the write flag), slot 8 the acknowledge clock, slots 9-16 the
// data byte, slot 17 the second acknowledge clock. A slot holding exactly 1 is a one bit,
// anything else a zero bit.
inline constexpr int kFrameSlots = 18;
using Frame = std::array<std::int16_t, kFrameSlots>;

// Bit-banged I2C master, write only. Each line procedure writes a fixed run of line states,
// one port write per state and no waits: the bus clock is as fast as the port takes bytes.
// The address bit is read afresh at the start of every procedure, never cached.
class Transmitter {
public:
    Transmitter(Port& port, const std::int16_t& addressBit, std::ostream& diagnostics);

    // From idle (H/H): SDA falls while SCL is high, then SCL falls. Leaves L/L.
    void I2C_START();
    // From SCL low: SCL rises with SDA low, then SDA rises while SCL is high. Leaves the
    // bus idle, so the port holds the idle byte.
    void I2C_STOP();
    // One clock with SDA released. SDA never moves while SCL is high.
    void I2C_ONE();
    // One clock with SDA held low.
    void I2C_ZERO();

    // The whole transaction for one frame: start, the 18 slots, stop (78 port writes).
    // A failed port write does not stop the transaction; it is reported once, at the end.
    void PPort(const Frame& Bin);

    // Writes the idle byte for the current address bit, so the address-select line follows
    // a new address at once.
    void writeIdle();

private:
    void put(std::span<const LineState> run, std::int16_t addressBit);
    void reportFailure(const char* what);

    Port& m_port;
    const std::int16_t& m_addressBit;
    std::ostream& m_diagnostics;
    int m_firstError = 0;
};

} // namespace bus
