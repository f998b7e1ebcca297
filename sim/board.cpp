#include "board.h"

#include <cstdio>

namespace sim {
namespace {

// The board's wiring, written out here on purpose rather than taken from the transmitter:
// a shared mistake would otherwise pass unseen.
constexpr std::uint8_t kSdaPulledLow = 0x80;
constexpr std::uint8_t kSclPulledLow = 0x40;
constexpr std::uint8_t kAddressSelectHigh = 0x20;

// The chip's 7-bit address with the address-select pin low; the pin adds one.
constexpr std::uint8_t kChipAddress = 0x7C;

constexpr int kDataBits = 8;

int bits(std::uint8_t value, int lowest, int count) {
    return (value >> lowest) & ((1 << count) - 1);
}

} // namespace

Board::Board(std::function<void(std::string_view line)> log) : m_log(std::move(log)) {}

std::string Board::name() const {
    return "simulated board";
}

std::optional<std::uint8_t> Board::reg(Register r) const {
    return m_registers[static_cast<std::size_t>(r)];
}

const std::vector<Transaction>& Board::transactions() const {
    return m_transactions;
}

const std::vector<std::string>& Board::faults() const {
    return m_faults;
}

Register Board::registerFor(std::uint8_t data) {
    if ((data & 0x80) == 0)
        return (data & 0x40) == 0 ? Register::ModeControl : Register::Effect;
    if ((data & 0x40) == 0)
        return Register::Loudspeaker;
    return (data & 0x20) == 0 ? Register::LeftHeadphone : Register::RightHeadphone;
}

std::string Board::describe(const Transaction& t) {
    char what[80];
    const std::uint8_t d = t.data;
    if (!t.ack) {
        std::snprintf(what, sizeof what, "NACK ignored");
    } else {
        switch (registerFor(d)) {
        case Register::Loudspeaker:
            std::snprintf(what, sizeof what, "ACK loudspeaker volume %d", bits(d, 0, 5));
            break;
        case Register::LeftHeadphone:
            std::snprintf(what, sizeof what, "ACK left headphone volume %d", bits(d, 0, 5));
            break;
        case Register::RightHeadphone:
            std::snprintf(what, sizeof what, "ACK right headphone volume %d", bits(d, 0, 5));
            break;
        case Register::ModeControl:
            std::snprintf(what, sizeof what,
                          "ACK mode control mode %d differential %d capacitor %d", bits(d, 0, 3),
                          bits(d, 5, 1), bits(d, 3, 1));
            break;
        case Register::Effect:
            std::snprintf(what, sizeof what,
                          "ACK 3D and input input %d 3D-level %d 3D-mode %d headphone-3D %d",
                          bits(d, 4, 2), bits(d, 2, 2), bits(d, 1, 1), bits(d, 0, 1));
            break;
        }
    }
    char line[128];
    std::snprintf(line, sizeof line, "QX5180 sim: address 0x%02X data 0x%02X %s", t.address, d,
                  what);
    return line;
}

int Board::write(std::uint8_t value) {
    const bool sda = (value & kSdaPulledLow) == 0;
    const bool scl = (value & kSclPulledLow) == 0;
    const bool pin = (value & kAddressSelectHigh) != 0;

    // The pin is not part of the bus protocol, but the chip compares its address against
    // it; moving it mid-transaction leaves what the chip answers to undefined.
    if (pin != m_pin) {
        m_pin = pin;
        if (m_phase != Phase::Idle)
            fault("address-select pin changed during a transaction");
    }

    const bool sdaMoves = sda != m_sda;
    const bool sclMoves = scl != m_scl;
    if (sdaMoves && sclMoves && sda == scl) {
        // Two stages switching the same way: which edge the chip sees first depends on the
        // board, not on us, so nothing sound can be decoded from it.
        m_sda = sda;
        m_scl = scl;
        m_sampled.reset();
        fault(sda ? "SDA and SCL both rose in one write" : "SDA and SCL both fell in one write");
        return 0;
    }
    // A stage that pulls its line low wins at once; a released line has to be pulled up
    // through its resistor and arrives later.
    if (sdaMoves && !sda)
        sdaMoved(false);
    if (sclMoves)
        sclMoved(scl);
    if (sdaMoves && sda)
        sdaMoved(true);
    return 0;
}

void Board::sdaMoved(bool high) {
    m_sda = high;
    if (!m_scl)
        return;
    // SDA moving under a high clock is a start (falling) or stop (rising) condition, never
    // data; the clock pulse it happened in carries no bit.
    m_sampled.reset();
    condition(!high);
}

void Board::sclMoved(bool high) {
    m_scl = high;
    if (high) {
        m_sampled = m_sda;
    } else if (m_sampled) {
        const bool bit = *m_sampled;
        m_sampled.reset();
        clockIn(bit);
    }
}

void Board::condition(bool isStart) {
    if (m_phase == Phase::Complete) {
        // A repeated start ends the write as well as a stop does.
        finish();
    } else if (m_phase != Phase::Idle) {
        if (m_clocks == kDataBits)
            fault("byte without its acknowledge clock");
        else if (m_clocks > 0)
            fault(isStart ? "start condition inside a byte" : "stop condition inside a byte");
        else
            fault("transaction cut short before its data byte");
    }
    if (isStart) {
        m_phase = Phase::Address;
        m_clocks = 0;
        m_shift = 0;
    }
}

void Board::clockIn(bool bit) {
    switch (m_phase) {
    case Phase::Idle:
        // Clocks on a free bus address nobody.
        return;
    case Phase::Complete:
        // The chip takes one data byte per write. The whole write is dropped rather than
        // guessing which byte the master meant.
        fault("extra byte after the data byte");
        return;
    case Phase::Address:
    case Phase::Data:
        break;
    }
    if (m_clocks < kDataBits) {
        m_shift = static_cast<std::uint8_t>((m_shift << 1) | (bit ? 1 : 0));
        if (++m_clocks < kDataBits)
            return;
        if (m_phase == Phase::Address) {
            m_addressByte = m_shift;
            const bool write = (m_shift & 1) == 0;
            m_ack = write && (m_shift >> 1) == kChipAddress + (m_pin ? 1 : 0);
        } else {
            m_dataByte = m_shift;
        }
        return;
    }
    // The ninth clock. The chip's answer on SDA is not modelled: the master never reads it,
    // so the stream has to be well formed whatever the chip drives.
    m_clocks = 0;
    m_shift = 0;
    m_phase = m_phase == Phase::Address ? Phase::Data : Phase::Complete;
}

void Board::finish() {
    const Transaction t{static_cast<std::uint8_t>(m_addressByte >> 1), m_dataByte, m_ack};
    m_phase = Phase::Idle;
    m_transactions.push_back(t);
    if (t.ack)
        m_registers[static_cast<std::size_t>(registerFor(t.data))] = t.data;
    if (m_log)
        m_log(describe(t));
}

void Board::fault(const char* text) {
    // Registers are written only when a transaction finishes, so dropping it here is all
    // it takes to leave them untouched.
    m_phase = Phase::Idle;
    m_faults.emplace_back(text);
    if (m_log)
        m_log(std::string("QX5180 sim: fault: ").append(text));
}

} // namespace sim
