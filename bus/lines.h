#pragma once

#include <cstdint>

namespace bus {

// How the board is wired to the port's data register:
//   D7 drives SDA and D6 drives SCL through inverting open-collector stages, so a 1 pulls
//   the bus line low and a 0 lets it float high; D5 drives the chip's address-select pin;
//   D4..D0 are unused and always written as 1.
inline constexpr std::uint16_t kPortAddress = 0x378;
inline constexpr std::uint8_t kSdaLowBit = 0x80;
inline constexpr std::uint8_t kSclLowBit = 0x40;
inline constexpr std::uint8_t kAddressSelectBit = 0x20;
inline constexpr std::uint8_t kUnusedLines = 0x1F;

// Level of a bus line as the chip sees it.
enum class Level : bool { Low = false, High = true };

struct LineState {
    Level sda;
    Level scl;
};

// The whole port byte for one line state. Only an address bit of exactly 1 raises the
// address-select line; any other value counts as 0.
constexpr std::uint8_t portByte(LineState s, std::int16_t addressBit) {
    std::uint8_t b = kUnusedLines;
    if (addressBit == 1)
        b |= kAddressSelectBit;
    if (s.scl == Level::Low)
        b |= kSclLowBit;
    if (s.sda == Level::Low)
        b |= kSdaLowBit;
    return b;
}

// Both lines released: the bus is free.
constexpr std::uint8_t idleByte(std::int16_t addressBit) {
    return portByte({Level::High, Level::High}, addressBit);
}

} // namespace bus
