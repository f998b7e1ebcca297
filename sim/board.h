#pragma once

#include "port.h"

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// The chip's five write-only registers, told apart by the top bits of the data byte.
enum class Register { Loudspeaker, LeftHeadphone, RightHeadphone, ModeControl, Effect };
inline constexpr int kRegisterCount = 5;

// One transaction the board saw end with a stop condition.
struct Transaction {
    std::uint8_t address; // the 7-bit address sent
    std::uint8_t data;
    bool ack; // the chip answered to that address and took the data byte
    friend bool operator==(const Transaction&, const Transaction&) = default;
};

// The board as the port sees it: open-collector drivers, the I2C lines and the chip
// behind them. It decodes the port bytes on its own, sharing nothing with the
// transmitter, so that a stream it accepts is proof that the transmitter is right.
class Board : public bus::Port {
public:
    // With a log, prints one line per finished transaction and one per protocol fault.
    explicit Board(std::ostream* log = nullptr);

    int write(std::uint8_t value) override;
    std::string name() const override;

    // The data byte the chip last accepted for a register; nothing before the first write.
    std::optional<std::uint8_t> reg(Register r) const;
    const std::vector<Transaction>& transactions() const;
    const std::vector<std::string>& faults() const;

    // The line in the stable form other tools parse, e.g.
    // "QX5180 sim: address 0x7C data 0x85 ACK loudspeaker volume 5".
    static std::string describe(const Transaction& t);
};

} // namespace sim
