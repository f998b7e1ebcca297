#include "frames.h"

namespace regs {
namespace {

// Slot 6 carries the low bit of the chip address, which follows the address-select pin.
constexpr int kAddressBitSlot = 6;
constexpr unsigned kAllRegisters = (1u << kRegisterCount) - 1;

// Slot of data bit n (0 to 7): the data byte goes out most significant bit first in slots
// 9 to 16.
constexpr int dataSlot(int bit) {
    return 16 - bit;
}

// The top two or three bits select the register and never change.
constexpr std::uint8_t kDefaults[kRegisterCount] = {
    0x80, // 10x: loudspeaker volume
    0xC0, // 110: left headphone volume
    0xE0, // 111: right headphone volume
    0x00, // 00: mode control
    0x40, // 01: 3D and input configuration
};

constexpr std::size_t index(Register r) {
    return static_cast<std::size_t>(r);
}

} // namespace

Frame defaultFrame(std::uint8_t dataByte) {
    // Address 0x7C, write: 1111 100 0, then an ack slot the master leaves released.
    Frame f = {1, 1, 1, 1, 1, 0, 0, 0, 1};
    for (int bit = 7; bit >= 0; --bit)
        f[dataSlot(bit)] = (dataByte >> bit) & 1;
    f[17] = 1;
    return f;
}

void ControlFrames::startUp() {
    m_bus.setAddressBit(0);
    writeDefaults();
    sendAll();
}

void ControlFrames::set(std::initializer_list<Setting> settings) {
    std::array<bool, kRegisterCount> touched{};
    for (const auto& [field, value] : settings) {
        Frame& frame = m_frames[index(field.reg)];
        const int lowBit = field.highBit - field.width + 1;
        for (int i = 0; i < field.width; ++i)
            frame[dataSlot(lowBit + i)] = static_cast<std::int16_t>((value >> i) & 1);
        touched[index(field.reg)] = true;
    }
    for (int r = 0; r < kRegisterCount; ++r)
        if (touched[r])
            send(static_cast<Register>(r));
}

void ControlFrames::writeDefaults() {
    for (int r = 0; r < kRegisterCount; ++r)
        m_frames[r] = defaultFrame(kDefaults[r]);
}

void ControlFrames::sendAll() {
    for (int r = 0; r < kRegisterCount; ++r)
        send(static_cast<Register>(r));
}

void ControlFrames::selectAddress(std::int16_t value) {
    m_bus.setAddressBit(value);
    for (Frame& f : m_frames)
        f[kAddressBitSlot] = value;
    settle(m_bus.writeIdle(), 0);
}

void ControlFrames::send(Register r) {
    settle(m_bus.PPort(m_frames[index(r)]), 1u << index(r));
}

// `confirmed`: the register the write carried, as a bit; 0 for the idle byte alone, which
// confirms no register.
void ControlFrames::settle(int error, unsigned confirmed) {
    if (error != 0) {
        m_error = error;
        m_unconfirmed = kAllRegisters;
    } else {
        m_unconfirmed &= ~confirmed;
        if (m_unconfirmed == 0)
            m_error = 0;
    }
    if (m_listener)
        m_listener(error, confirmed == 0);
}

} // namespace regs
