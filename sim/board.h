#pragma once

#include "port.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// The chip's five write-only registers, told apart by the top bits of the data byte.
enum class Register { Loudspeaker, LeftHeadphone, RightHeadphone, ModeControl, Effect };
inline constexpr int kRegisterCount = 5;

// One write the board saw through to its end: a stop, or a start that begins the next.
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
    // With a log, hands it one line per finished transaction and one per protocol fault.
    explicit Board(std::function<void(std::string_view line)> log = {});

    int write(std::uint8_t value) override;
    std::string name() const override;

    // The data byte the chip last accepted for a register; nothing before the first write.
    std::optional<std::uint8_t> reg(Register r) const;
    const std::vector<Transaction>& transactions() const;
    const std::vector<std::string>& faults() const;

    // The line in the stable form other tools parse, e.g.
    // "QX5180 sim: address 0x7C data 0x85 ACK loudspeaker volume 5".
    static std::string describe(const Transaction& t);

    // The register a data byte is meant for, by its selector bits.
    static Register registerFor(std::uint8_t data);
    // The level the address-select pin was last driven to.
    bool addressSelect() const { return m_pin; }

private:
    // Where the current transaction has got to. Complete: address and data byte both
    // clocked with their ninth clocks, so only a stop (or a new start) may follow.
    enum class Phase { Idle, Address, Data, Complete };

    void sdaMoved(bool high);
    void sclMoved(bool high);
    void condition(bool isStart);
    void clockIn(bool bit);
    void finish();
    void fault(const char* text);

    std::function<void(std::string_view line)> m_log;
    bool m_sda = true;
    bool m_scl = true;
    bool m_pin = false;
    // SDA as the last SCL rise found it; the bit counts only once SCL falls again, since a
    // start or stop condition takes the clock pulse for itself.
    std::optional<bool> m_sampled;
    Phase m_phase = Phase::Idle;
    int m_clocks = 0; // clocks taken in the current byte, the ninth included
    std::uint8_t m_shift = 0;
    std::uint8_t m_addressByte = 0;
    std::uint8_t m_dataByte = 0;
    bool m_ack = false;
    std::array<std::optional<std::uint8_t>, kRegisterCount> m_registers{};
    std::vector<Transaction> m_transactions;
    std::vector<std::string> m_faults;
};

} // namespace sim
