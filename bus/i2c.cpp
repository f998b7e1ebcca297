#include "i2c.h"

#include <cerrno>

namespace bus {
namespace {

constexpr Level H = Level::High;
constexpr Level L = Level::Low;

// Start (3), 18 slots of 4, stop (3).
constexpr int kFrameWrites = 78;

struct Run {
    std::array<LineState, 4> states;
    int length;
};

// Line states written by each procedure, SDA/SCL. The two address-bit variants differ in
// the order of their writes, not only in the address-select line; the bytes on the wire
// are what the board has always been driven with, so they stay exactly as they are.
constexpr Run kStart = {{{{H, H}, {L, H}, {L, L}}}, 3};
constexpr Run kStop = {{{{L, H}, {H, H}, {H, H}}}, 3};
// Address bit 1: the clock is high in the third write; ONE leaves SDA released.
constexpr Run kOneAt1 = {{{{L, L}, {H, L}, {H, H}, {H, L}}}, 4};
constexpr Run kZeroAt1 = {{{{L, L}, {L, L}, {L, H}, {L, L}}}, 4};
// Address bit 0: the clock is high in the second write; both bits end with SDA low.
constexpr Run kOneAt0 = {{{{H, L}, {H, H}, {H, L}, {L, L}}}, 4};
constexpr Run kZeroAt0 = {{{{L, L}, {L, H}, {L, L}, {L, L}}}, 4};

std::span<const LineState> states(const Run& r) {
    return {r.states.data(), static_cast<std::size_t>(r.length)};
}

// The transaction a fault handler would walk back, and whether the program has given up.
std::atomic<Transmitter*> g_inFlight{nullptr};
std::atomic<bool> g_abandoned{false};
std::atomic<bool> g_noMore{false};

constexpr std::uint8_t kSdaHigh = 1;
constexpr std::uint8_t kSclHigh = 2;
constexpr std::uint8_t kInside = 4;

// A stop condition alone, from `from`, one line moving per write: with SCL high, SCL falls
// first (ending the clock pulse under way, never starting one), so that SDA can go low
// without making a start; then SCL rises, SDA rises under it (the stop), and the idle byte
// follows, as at the end of a frame. `write` is told whether the chip is still inside the
// transaction once each state is on the port.
template<class Write>
void stopFrom(LineState from, Write&& write) {
    if (from.scl == H && from.sda == H)
        write(LineState{H, L}, true);
    if (from.scl == L || from.sda == H) {
        write(LineState{L, L}, true);
        write(LineState{L, H}, true);
    }
    write(LineState{H, H}, false);
    write(LineState{H, H}, false);
}

} // namespace

void Transmitter::attempt(LineState s, bool insideAfter) {
    m_attempt.store(static_cast<std::uint8_t>(
        (s.sda == H ? kSdaHigh : 0) | (s.scl == H ? kSclHigh : 0) | (insideAfter ? kInside : 0)));
}

// After a failure nothing more of the operation goes out: a chip that latches on its
// eighth clock must not be handed a byte with holes in it.
void Transmitter::put(std::span<const LineState> run, std::int16_t addressBit) {
    for (LineState s : run) {
        if (m_error != 0)
            return;
        if (g_abandoned.load()) {
            m_error = ECANCELED;
            return;
        }
        // Write 1 is the start condition, write 76 the stop's SDA rise.
        attempt(s, m_written >= 1 && m_written < kFrameWrites - 2);
        m_error = m_port.write(portByte(s, addressBit));
        if (m_error == 0) {
            m_lines = s;
            ++m_written;
        }
    }
}

void Transmitter::I2C_START() {
    put(states(kStart), m_addressBit);
}
void Transmitter::I2C_STOP() {
    put(states(kStop), m_addressBit);
}

void Transmitter::I2C_ONE() {
    const std::int16_t addressBit = m_addressBit;
    put(states(addressBit == 1 ? kOneAt1 : kOneAt0), addressBit);
}

void Transmitter::I2C_ZERO() {
    const std::int16_t addressBit = m_addressBit;
    put(states(addressBit == 1 ? kZeroAt1 : kZeroAt0), addressBit);
}

int Transmitter::PPort(const Frame& Bin) {
    if (g_noMore.load() || g_abandoned.load())
        return ECANCELED;
    m_error = 0;
    m_written = 0;
    g_inFlight.store(this);
    I2C_START();
    for (std::int16_t slot : Bin) {
        if (slot == 1)
            I2C_ONE();
        else
            I2C_ZERO();
    }
    I2C_STOP();
    if (m_error != 0)
        leaveBusIdle();
    g_inFlight.store(nullptr);
    return m_error;
}

// Ends a cut transaction with a stop condition alone (stopFrom), from the last state that
// reached the port. Only between the start condition (write 1) and the stop condition (write
// 76) is the chip inside a transaction; outside it the bus is idle already and nothing goes
// out. These writes may fail too; the first failure is the one worth reporting.
void Transmitter::leaveBusIdle() {
    if (m_written < 2 || m_written >= kFrameWrites - 1)
        return;
    stopFrom(m_lines, [this](LineState s, bool inside) {
        attempt(s, inside);
        m_port.write(portByte(s, m_addressBit));
    });
    m_lines = {H, H};
}

// The interrupted write goes out again first: whether or not it reached the port, it is a
// move the transmitter made from the state before it, so after it the lines are known.
void abandonTransaction() noexcept {
    if (g_abandoned.exchange(true))
        return;
    Transmitter* t = g_inFlight.load();
    if (!t || !t->m_port.writesFromSignalHandler())
        return;
    const std::uint8_t last = t->m_attempt.load();
    const LineState from{last & kSdaHigh ? H : L, last & kSclHigh ? H : L};
    t->m_port.write(portByte(from, t->m_addressBit));
    if (last & kInside)
        stopFrom(from, [t](LineState s, bool) { t->m_port.write(portByte(s, t->m_addressBit)); });
}

void startNoMoreTransactions() noexcept {
    g_noMore.store(true);
}

int Transmitter::writeIdle() {
    if (g_noMore.load() || g_abandoned.load())
        return ECANCELED;
    m_lines = {H, H};
    attempt(m_lines, false);
    return m_port.write(idleByte(m_addressBit));
}

} // namespace bus
