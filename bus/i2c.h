#pragma once

#include "lines.h"
#include "port.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <span>

namespace bus {

// One complete I2C write as bit slots, most significant bit first: slots 0-7 the address
// byte (7-bit address and the write flag), slot 8 the acknowledge clock, slots 9-16 the
// data byte, slot 17 the second acknowledge clock. A slot holding exactly 1 is a one bit,
// anything else a zero bit.
inline constexpr int kFrameSlots = 18;
using Frame = std::array<std::int16_t, kFrameSlots>;

// Bit-banged I2C master, write only. Each line procedure writes a fixed run of line states,
// one port write per state; how long a state lasts is the port's business. The address bit
// (the level of the address-select line) is read afresh at the start of every procedure.
class Transmitter {
public:
    explicit Transmitter(Port& port) : m_port(port) {}

    // Only the next procedure sees the new level; nothing is written here.
    void setAddressBit(std::int16_t value) { m_addressBit = value; }

    // The whole transaction for one frame: start, the 18 slots, stop (78 port writes).
    // Returns 0, or the errno of the first failed port write: that write ends the frame, no
    // further bit goes out, and the bus is walked back to idle.
    int PPort(const Frame& Bin);

    // Writes the idle byte for the current address bit, so the address-select line follows
    // a new address at once. Returns 0 or the errno of the failed write.
    int writeIdle();

private:
    // From idle (H/H): SDA falls while SCL is high, then SCL falls. Leaves L/L.
    void I2C_START();
    // From SCL low: SDA goes low and SCL rises (in one write after a one bit at address bit
    // 1, where the falling SDA wins), then SDA rises while SCL is high. Leaves the bus idle,
    // so the port holds the idle byte.
    void I2C_STOP();
    // One clock with SDA released. SDA never moves while SCL is high.
    void I2C_ONE();
    // One clock with SDA held low.
    void I2C_ZERO();

    void put(std::span<const LineState> run, std::int16_t addressBit);
    void leaveBusIdle();
    // Marks `s` as handed to the port, and whether the chip is inside a transaction once it
    // is there, in one store, so that a signal handler never sees the one without the other.
    void attempt(LineState s, bool insideAfter);
    friend void abandonTransaction() noexcept;

    // For a program that has been asked to end: the transaction in progress, if any, goes on to
    // its stop condition, and none starts after it: PPort and writeIdle return ECANCELED without
    // writing. Async-signal-safe; for good. However long the program then takes to get round to
    // ending (a backlog of keys), and whatever ends it then (SIGKILL), the bus is idle.
    void startNoMoreTransactions() noexcept;

    Port& m_port;
    std::int16_t m_addressBit = 0;
    LineState m_lines{Level::High, Level::High}; // the last state that reached the port
    int m_written = 0; // port writes of the current transaction that went through
    int m_error = 0;   // first failure of the current transaction
    // The last state handed to the port, which may or may not have reached it yet, and
    // whether the chip is inside a transaction once it has: what a fault handler walks
    // back from. Bits: SDA high, SCL high, inside.
    std::atomic<std::uint8_t> m_attempt{0b011};
};

// For a program about to die wherever it is: a fault of its own (SIGSEGV, SIGBUS, ...), or a
// fatal error on another thread. Async-signal-safe. From then on no port write of any
// transmitter goes out; the transaction in progress, if any, gets its interrupted write again
// (so the lines are where the transmitter last put them) and, if the chip is then inside the
// transaction, the stop condition alone that ends a failed frame (see leaveBusIdle). Nothing
// is written on a port that cannot be written from a signal handler, or outside a
// transaction.
void abandonTransaction() noexcept;

// For a program that has been asked to end: the transaction in progress, if any, goes on to
// its stop condition, and none starts after it: PPort and writeIdle return ECANCELED without
// writing. Async-signal-safe; for good. However long the program then takes to get round to
// ending (a backlog of keys), and whatever ends it then (SIGKILL), the bus is idle.
void startNoMoreTransactions() noexcept;

} // namespace bus
