#pragma once

#include "i2c.h"

#include <cstdint>
#include <iosfwd>

namespace regs {

using bus::Frame;

// Slot 6 carries the low bit of the chip address, which follows the address-select pin.
inline constexpr int kAddressBitSlot = 6;

// Slot of data bit n (0 to 7): the data byte goes out most significant bit first in slots
// 9 to 16.
constexpr int dataSlot(int bit) {
    return 16 - bit;
}

// A register field: its highest data bit and how many bits it spans.
struct Field {
    int highBit;
    int width;
};

// The fields the panel's controls own, in the register each belongs to.
inline constexpr Field kVolumeCode{4, 5};       // loudspeaker, left and right volume
inline constexpr Field kDifferentialFlag{5, 1}; // mode control
inline constexpr Field kCapacitorFlag{3, 1};    // mode control
inline constexpr Field kModeNumber{2, 3};       // mode control
inline constexpr Field kInputCode{5, 2};        // 3D and input
inline constexpr Field kLevel3DCode{3, 2};      // 3D and input
inline constexpr Field k3DModeFlag{1, 1};       // 3D and input
inline constexpr Field kHeadphone3DFlag{0, 1};  // 3D and input

// Writes the low bits of value into the field's slots, most significant first.
void setField(Frame& frame, Field field, int value);

// Data bytes the chip is programmed with at start and on reset. The top two or three bits
// select the register and never change.
inline constexpr std::uint8_t kMonoDefault = 0x80;   // 10x: loudspeaker volume
inline constexpr std::uint8_t kLeftDefault = 0xC0;   // 110: left headphone volume
inline constexpr std::uint8_t kRightDefault = 0xE0;  // 111: right headphone volume
inline constexpr std::uint8_t kModeDefault = 0x00;   // 00: mode control
inline constexpr std::uint8_t kEffectDefault = 0x40; // 01: 3D and input configuration

// The frame that writes dataByte to the chip at address 0x7C (address bit 0).
Frame defaultFrame(std::uint8_t dataByte);

// The five register frames and the address bit: the panel's only record of what the chip
// holds, since the chip is never read. Handlers write fields, then send.
class ControlFrames {
public:
    ControlFrames(bus::Port& port, std::ostream& diagnostics);

    Frame monoword{};
    Frame leftword{};
    Frame rightword{};
    Frame modeword{};
    Frame effectword{};

    std::int16_t addressBit() const { return m_bus.addressBit(); }
    void setListener(bus::Transmitter::Listener listener) {
        m_bus.setListener(std::move(listener));
    }

    // What the window's load handler does: address bit 0, every frame to its default, and
    // the five frames sent in order.
    void startUp();
    // Every slot of every frame to its default, slot 6 included; the address bit itself
    // is left alone.
    void writeDefaults();
    // monoword, leftword, rightword, modeword, effectword: the start-up order.
    void sendAll();
    // Moves the chip to the other bus address: the address bit, slot 6 of every frame, and
    // the idle byte with the new address-select level on the port. Sends no frame.
    void selectAddress(std::int16_t value);

    void PPort(const Frame& Bin) { m_bus.PPort(Bin); }

private:
    bus::Transmitter m_bus;
};

} // namespace regs
