#include "i2c.h"

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

} // namespace

// After a failure nothing more of the operation goes out: a chip that latches on its
// eighth clock must not be handed a byte with holes in it.
void Transmitter::put(std::span<const LineState> run, std::int16_t addressBit) {
    for (LineState s : run) {
        if (m_error != 0)
            return;
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
    m_error = 0;
    m_written = 0;
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
    return m_error;
}

// Ends a cut transaction with a stop condition alone, from the last state that reached the
// port, one line moving per write: with SCL high, SCL falls first (ending the clock pulse
// under way, never starting one), so that SDA can go low without making a start; then SCL
// rises, SDA rises under it, and the idle byte follows, as at the end of a frame. Only
// between the start condition (write 1) and the stop condition (write 76) is the chip inside
// a transaction; outside it the bus is idle already and nothing goes out. These writes may
// fail too; the first failure is the one worth reporting.
void Transmitter::leaveBusIdle() {
    if (m_written < 2 || m_written >= kFrameWrites - 1)
        return;
    if (m_lines.scl == H && m_lines.sda == H)
        m_port.write(portByte({H, L}, m_addressBit));
    if (m_lines.scl == L || m_lines.sda == H) {
        m_port.write(portByte({L, L}, m_addressBit));
        m_port.write(portByte({L, H}, m_addressBit));
    }
    m_port.write(portByte({H, H}, m_addressBit));
    m_port.write(idleByte(m_addressBit));
    m_lines = {H, H};
}

int Transmitter::writeIdle() {
    m_lines = {H, H};
    return m_port.write(idleByte(m_addressBit));
}

} // namespace bus
