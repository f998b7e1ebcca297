#include "board.h"
#include "frames.h"
#include "i2c.h"
#include "recordingport.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using sim::Board;
using sim::Register;
using sim::Transaction;

// The register a data byte belongs to, read off the selector ranges rather than the bits.
Register expectedRegister(int data) {
    if (data < 0x40)
        return Register::ModeControl;
    if (data < 0x80)
        return Register::Effect;
    if (data < 0xC0)
        return Register::Loudspeaker;
    return data < 0xE0 ? Register::LeftHeadphone : Register::RightHeadphone;
}

// Hand-written line states, independent of the transmitter. Space-separated tokens:
//   S / P      start / stop condition, one line moving per write
//   0 / 1      one data bit: SDA set while SCL is low, then one clock pulse
//   F8         a byte in hex followed by its ninth clock; "F8-" leaves the ninth clock out
//   HL, LL...  one raw write of SDA/SCL exactly as given, both lines moving if they differ
//   pin0/pin1  the address-select pin, written with the lines as they are
class Lines {
public:
    explicit Lines(Board& board) : m_board(board) {}

    void play(const std::string& script) {
        std::istringstream in(script);
        for (std::string t; in >> t;) {
            if (t == "S") {
                set(true, true);
                set(false, true);
                set(false, false);
            } else if (t == "P") {
                set(false, false);
                set(false, true);
                set(true, true);
            } else if (t == "0" || t == "1") {
                bit(t == "1");
            } else if (t.starts_with("pin")) {
                m_pin = t == "pin1";
                put();
            } else if (t.find_first_not_of("HL") == std::string::npos) {
                m_sda = t[0] == 'H', m_scl = t[1] == 'H';
                put();
            } else {
                const int value = std::stoi(t.substr(0, 2), nullptr, 16);
                for (int i = 7; i >= 0; --i)
                    bit((value >> i) & 1);
                if (t.size() == 2)
                    bit(true);
            }
        }
    }

private:
    void bit(bool b) {
        set(b, false);
        set(b, true);
        set(b, false);
    }
    // Moves one line per write: SDA only ever changes while SCL is low, unless the caller
    // asks for a start or stop condition.
    void set(bool sda, bool scl) {
        if (!scl && m_scl)
            m_scl = false, put();
        if (sda != m_sda)
            m_sda = sda, put();
        if (scl != m_scl)
            m_scl = scl, put();
    }
    void put() {
        const int byte = (m_sda ? 0 : 0x80) | (m_scl ? 0 : 0x40) | (m_pin ? 0x20 : 0) | 0x1F;
        m_board.write(static_cast<std::uint8_t>(byte));
    }

    Board& m_board;
    bool m_sda = true, m_scl = true, m_pin = false;
};

TEST(Board, StartUpProgramsTheFiveDefaults) {
    Board board;
    test::RecordingPort port(&board);
    std::ostringstream diagnostics;
    regs::ControlFrames frames(port, diagnostics);
    frames.startUp();

    ASSERT_EQ(port.bytes.size(), 390u);
    EXPECT_EQ(port.bytes.front(), 31);
    EXPECT_EQ(port.bytes.back(), 31);
    EXPECT_EQ(board.transactions(), (std::vector<Transaction>{{0x7C, 128, true},
                                                              {0x7C, 192, true},
                                                              {0x7C, 224, true},
                                                              {0x7C, 0, true},
                                                              {0x7C, 64, true}}));
    EXPECT_TRUE(board.faults().empty());
    EXPECT_EQ(board.reg(Register::Loudspeaker), 128);
    EXPECT_EQ(board.reg(Register::LeftHeadphone), 192);
    EXPECT_EQ(board.reg(Register::RightHeadphone), 224);
    EXPECT_EQ(board.reg(Register::ModeControl), 0);
    EXPECT_EQ(board.reg(Register::Effect), 64);
}

// Every data byte at both addresses, each followed by a check of all five registers so
// that a byte routed to the wrong register shows up at once.
TEST(Board, EveryDataByteReachesItsRegisterAtBothAddresses) {
    for (std::int16_t addressBit : {0, 1}) {
        Board board;
        std::ostringstream diagnostics;
        bus::Transmitter transmitter(board, addressBit, diagnostics);
        std::array<std::optional<std::uint8_t>, sim::kRegisterCount> expected{};
        for (int data = 0; data < 256; ++data) {
            bus::Frame frame = regs::defaultFrame(static_cast<std::uint8_t>(data));
            frame[regs::kAddressBitSlot] = addressBit;
            transmitter.PPort(frame);

            SCOPED_TRACE(testing::Message() << "address bit " << addressBit << " data " << data);
            ASSERT_TRUE(board.faults().empty()) << board.faults().front();
            ASSERT_EQ(board.transactions().size(), static_cast<std::size_t>(data) + 1);
            const Transaction want{static_cast<std::uint8_t>(0x7C + addressBit),
                                   static_cast<std::uint8_t>(data), true};
            ASSERT_EQ(board.transactions().back(), want);
            expected[static_cast<std::size_t>(expectedRegister(data))] = data;
            for (int r = 0; r < sim::kRegisterCount; ++r)
                ASSERT_EQ(board.reg(static_cast<Register>(r)), expected[r]) << "register " << r;
        }
    }
}

TEST(Board, AddressNotMatchingThePinIsIgnored) {
    for (std::int16_t addressBit : {0, 1}) {
        Board board;
        std::ostringstream diagnostics;
        bus::Transmitter transmitter(board, addressBit, diagnostics);
        bus::Frame frame = regs::defaultFrame(0x85);
        frame[regs::kAddressBitSlot] = static_cast<std::int16_t>(1 - addressBit);
        transmitter.PPort(frame);

        const Transaction want{static_cast<std::uint8_t>(0x7D - addressBit), 0x85, false};
        EXPECT_EQ(board.transactions(), std::vector<Transaction>{want});
        EXPECT_TRUE(board.faults().empty());
        EXPECT_EQ(board.reg(Register::Loudspeaker), std::nullopt);
    }
}

TEST(Board, DescribesEachRegisterOnOneLine) {
    const std::pair<Transaction, const char*> cases[] = {
        {{0x7C, 0x85, true}, "QX5180 sim: address 0x7C data 0x85 ACK loudspeaker volume 5"},
        {{0x7D, 0xD4, true}, "QX5180 sim: address 0x7D data 0xD4 ACK left headphone volume 20"},
        {{0x7C, 0xE0, true}, "QX5180 sim: address 0x7C data 0xE0 ACK right headphone volume 0"},
        {{0x7C, 0x2B, true},
         "QX5180 sim: address 0x7C data 0x2B ACK mode control mode 3 differential 1 capacitor 1"},
        {{0x7C, 0x7A, true},
         "QX5180 sim: address 0x7C data 0x7A ACK 3D and input input 3 "
         "3D-level 2 3D-mode 1 headphone-3D 0"},
        {{0x05, 0x0A, false}, "QX5180 sim: address 0x05 data 0x0A NACK ignored"},
    };
    for (const auto& [t, line] : cases)
        EXPECT_EQ(Board::describe(t), line);
}

TEST(Board, LogsTransactionsAndFaults) {
    std::ostringstream log;
    Board board(&log);
    Lines(board).play("S F8 85 P  S FA 85 P  S F8 P");
    EXPECT_EQ(log.str(), "QX5180 sim: address 0x7C data 0x85 ACK loudspeaker volume 5\n"
                         "QX5180 sim: address 0x7D data 0x85 NACK ignored\n"
                         "QX5180 sim: fault: transaction cut short before its data byte\n");
}

// A write moving the lines in opposite directions is decoded falls-first: "HL" after a
// clocked 0 drops SCL before SDA rises (no stop), "LH" from H/L pulls SDA low before the
// clock rises (a 0, no start). Data byte 0 1 0 00000 = 0x40.
TEST(Board, OppositeMovesInOneWriteFallFirst) {
    Board board;
    Lines(board).play("S F8  LL LH HL HH HL LH LL 0 0 0 0 0 1  P");
    EXPECT_TRUE(board.faults().empty());
    EXPECT_EQ(board.transactions(), (std::vector<Transaction>{{0x7C, 0x40, true}}));
}

struct Malformed {
    const char* name;
    const char* script;
    const char* fault;
    const char* next; // a well-formed write of 0x86 from where the script leaves the bus
};

void PrintTo(const Malformed& m, std::ostream* os) {
    *os << m.name;
}

class BoardFault : public testing::TestWithParam<Malformed> {};

TEST_P(BoardFault, IsReportedChangesNothingAndTheNextWriteIsTaken) {
    const Malformed& c = GetParam();
    Board board;
    Lines lines(board);
    lines.play("S F8 81 P");
    lines.play(c.script);

    EXPECT_EQ(board.faults(), std::vector<std::string>{c.fault});
    EXPECT_EQ(board.transactions().size(), 1u);
    EXPECT_EQ(board.reg(Register::Loudspeaker), 0x81);

    lines.play(c.next);
    EXPECT_EQ(board.faults().size(), 1u);
    ASSERT_EQ(board.transactions().size(), 2u);
    EXPECT_TRUE(board.transactions().back().ack);
    EXPECT_EQ(board.reg(Register::Loudspeaker), 0x86);
}

const Malformed kMalformed[] = {
    {"StopInAddressByte", "S 1 1 1 P", "stop condition inside a byte", "S F8 86 P"},
    {"StartInDataByte", "S F8 1 0 0 0 S", "start condition inside a byte", "F8 86 P"},
    {"StopAfterStart", "S P", "transaction cut short before its data byte", "S F8 86 P"},
    {"StopAfterAddress", "S F8 P", "transaction cut short before its data byte", "S F8 86 P"},
    {"StartAfterAddress", "S F8 S", "transaction cut short before its data byte", "F8 86 P"},
    {"AddressWithoutNinthClock", "S F8- P", "byte without its acknowledge clock", "S F8 86 P"},
    {"DataWithoutNinthClock", "S F8 85- P", "byte without its acknowledge clock", "S F8 86 P"},
    {"ExtraDataByte", "S F8 85 40 P", "extra byte after the data byte", "S F8 86 P"},
    {"PinMovesInAddressByte", "S 1 1 pin1 1 1 1 0 1 0 85 P",
     "address-select pin changed during a transaction", "S FA 86 P"},
    {"PinMovesBeforeStop", "S F8 85 pin1 P", "address-select pin changed during a transaction",
     "S FA 86 P"},
    {"BothLinesRise", "S F8 LL HH", "SDA and SCL both rose in one write", "S F8 86 P"},
    {"BothLinesFall", "S F8 85 HH LL P", "SDA and SCL both fell in one write", "S F8 86 P"},
};

INSTANTIATE_TEST_SUITE_P(Streams, BoardFault, testing::ValuesIn(kMalformed),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
