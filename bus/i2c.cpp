#include "i2c.h"

#include <cstring>
#include <ostream>

namespace bus {
namespace {

constexpr Level H = Level::High;
constexpr Level L = Level::Low;

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

Transmitter::Transmitter(Port& port, const std::int16_t& addressBit, std::ostream& diagnostics)
    : m_port(port), m_addressBit(addressBit), m_diagnostics(diagnostics) {}

void Transmitter::put(std::span<const LineState> run, std::int16_t addressBit) {
    for (LineState s : run) {
        const int error = m_port.write(portByte(s, addressBit));
        if (error != 0 && m_firstError == 0)
            m_firstError = error;
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

void Transmitter::PPort(const Frame& Bin) {
    m_firstError = 0;
    I2C_START();
    for (std::int16_t slot : Bin) {
        if (slot == 1)
            I2C_ONE();
        else
            I2C_ZERO();
    }
    I2C_STOP();
    reportFailure("a register write");
}

void Transmitter::writeIdle() {
    m_firstError = m_port.write(idleByte(m_addressBit));
    reportFailure("the address-select line");
}

void Transmitter::reportFailure(const char* what) {
    if (m_firstError == 0)
        return;
    m_diagnostics << "qx5180: writing to " << m_port.name() << " failed during " << what << ": "
                  << std::strerror(m_firstError) << "; the chip may not hold what the panel shows"
                  << std::endl;
    m_firstError = 0;
}

} // namespace bus
