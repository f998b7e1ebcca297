#pragma once

#include "i2c.h"

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>

namespace regs {

using bus::Frame;

// The chip's five registers, in the order start-up and a reset program them; a call that
// writes several registers sends them in this order too.
enum class Register { Loudspeaker, LeftHeadphone, RightHeadphone, ModeControl, Effect };
inline constexpr int kRegisterCount = 5;

// A field of one register: its highest data bit and how many bits it spans.
struct Field {
    Register reg;
    int highBit;
    int width;
};

inline constexpr Field kLoudspeakerVolume{Register::Loudspeaker, 4, 5};
inline constexpr Field kLeftVolume{Register::LeftHeadphone, 4, 5};
inline constexpr Field kRightVolume{Register::RightHeadphone, 4, 5};
inline constexpr Field kDifferentialFlag{Register::ModeControl, 5, 1};
inline constexpr Field kCapacitorFlag{Register::ModeControl, 3, 1};
inline constexpr Field kModeNumber{Register::ModeControl, 2, 3};
inline constexpr Field kInputCode{Register::Effect, 5, 2};
inline constexpr Field kLevel3DCode{Register::Effect, 3, 2};
inline constexpr Field k3DModeFlag{Register::Effect, 1, 1};
inline constexpr Field kHeadphone3DFlag{Register::Effect, 0, 1};

struct Setting {
    Field field;
    int value;
};

// The frame that writes dataByte to the chip at address 0x7C (address bit 0).
Frame defaultFrame(std::uint8_t dataByte);

// The five register frames and the address bit: the panel's only record of what the chip
// holds, since the chip is never read. After a failed port write the chip may hold anything,
// so the frames count it as unconfirmed until every register has been written successfully
// since (a reset does that).
class ControlFrames {
public:
    // Told after every port operation with its errno (0: it went through), and whether it
    // was the idle byte that moves the address-select line rather than a register write.
    using Listener = std::function<void(int error, bool addressLine)>;

    explicit ControlFrames(bus::Port& port) : m_bus(port) {}

    void setListener(Listener listener) { m_listener = std::move(listener); }

    // Address bit 0, every frame to its default, and the five frames sent in register order.
    void startUp();
    // Writes the settings' fields, then sends each register they touch, once, in register
    // order: a register is sent even when its value did not change.
    void set(std::initializer_list<Setting> settings);
    // Every slot of every frame to its default, slot 6 included; the address bit itself is
    // left alone. Sends nothing.
    void writeDefaults();
    // All five frames, in register order.
    void sendAll();
    // Moves the chip to the other bus address: the address bit, slot 6 of every frame, and
    // the idle byte with the new address-select level on the port. Sends no frame.
    void selectAddress(std::int16_t value);

    // 0 while the chip holds what the frames say; otherwise the errno of the latest failed
    // write, until each register has been written successfully after it.
    int standingError() const { return m_error; }

private:
    void send(Register r);
    void settle(int error, unsigned confirmed);

    bus::Transmitter m_bus;
    std::array<Frame, kRegisterCount> m_frames{};
    int m_error = 0;
    unsigned m_unconfirmed = 0; // one bit per register
    Listener m_listener;
};

} // namespace regs
