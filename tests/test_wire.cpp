// The wire: the transmitter's exact bytes, the walk-back from a failed write, and the
// simulated board's decoding of line states.
#include "board.h"
#include "frames.h"
#include "i2c.h"
#include "recordingport.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <tuple>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Hand-derived from the line-state table: start, 18 bit runs of four writes, stop; the bytes
// in hex.
TEST(Transmitter, SendsAFrameByteForByte) {
    const std::tuple<std::int16_t, regs::Frame, std::string> rows[] = {
        {0, regs::defaultFrame(0x81),
         "1F9FDF5F1F5FDF5F1F5FDF5F1F5FDF5F1F5FDF5F1F5FDFDF9FDFDFDF9FDFDFDF9FDFDF5F1F5FDF5F"
         "1F5FDFDF9FDFDFDF9FDFDFDF9FDFDFDF9FDFDFDF9FDFDFDF9FDFDF5F1F5FDF5F1F5FDF9F1F1F"},
        {1,
         {1, 1, 1, 1, 1, 0, 1, 0, 1, 1, 1, 0, 1, 0, 1, 0, 1, 1},
         "3FBFFFFF7F3F7FFF7F3F7FFF7F3F7FFF7F3F7FFF7F3F7FFFFFBFFFFF7F3F7FFFFFBFFFFF7F3F7FFF"
         "7F3F7FFF7F3F7FFFFFBFFFFF7F3F7FFFFFBFFFFF7F3F7FFFFFBFFFFF7F3F7FFF7F3F7FBF3F3F"},
    };
    for (const auto& [addressBit, frame, hex] : rows) {
        RecordingPort port;
        bus::Transmitter bus(port);
        bus.setAddressBit(addressBit);
        EXPECT_EQ(bus.PPort(frame), 0);
        Bytes golden;
        for (std::size_t i = 0; i < hex.size(); i += 2)
            golden.push_back(std::uint8_t(std::stoi(hex.substr(i, 2), nullptr, 16)));
        EXPECT_EQ(port.bytes, golden) << "address bit " << addressBit;
    }
}

// A failed write ends the transaction: no later bit goes out. Inside a transaction the bus is
// walked back from the last state that reached the port with a stop alone, one line moving
// per write, then the idle byte; outside one (before the start condition, after the stop)
// nothing follows: the exact tails, from the byte that failed, from each kind of state. From
// any failing write of a frame after one that went through, by the board's own decoding: no start
// condition after the failure, the chip takes the register only once its acknowledge clock was high
// (write 72), and the bus is left idle, so the next frame goes through whole.
TEST(Transmitter, EveryFailingWriteLeavesTheBusIdleWithAStopAlone) {
    const std::map<long, Bytes> tails = {
        {0, {0x1F}},
        {1, {0x9F}},
        {4, {0x1F, 0xDF, 0x9F, 0x1F, 0x1F}},       // from H/L
        {5, {0x5F, 0x5F, 0xDF, 0x9F, 0x1F, 0x1F}}, // from H/H
        {76, {0x1F, 0x1F, 0x1F}},                  // from L/H
        {77, {0x1F}},
    };
    for (long failAt = 0; failAt < 78; ++failAt) {
        sim::Board board;
        RecordingPort port(&board);
        bus::Transmitter bus(port);
        EXPECT_EQ(bus.PPort(regs::defaultFrame(0xC1)), 0); // counted from its own frame's start
        port.bytes.clear();
        port.failAt = {failAt};
        EXPECT_EQ(bus.PPort(regs::defaultFrame(0x85)), EIO);
        if (tails.contains(failAt)) {
            EXPECT_EQ(Bytes(port.bytes.begin() + failAt, port.bytes.end()), tails.at(failAt));
        }
        Bytes reached(port.bytes);
        reached.erase(reached.begin() + failAt);
        for (std::size_t i = std::max(failAt, 1L); i < reached.size(); ++i) {
            const bool sclHighBoth = (reached[i - 1] & 0x40) == 0 && (reached[i] & 0x40) == 0;
            EXPECT_FALSE(sclHighBoth && (reached[i - 1] & 0x80) == 0 && (reached[i] & 0x80))
                << "a start condition at write " << i << " after write " << failAt << " failed";
        }
        EXPECT_EQ(board.reg(sim::Register::Loudspeaker).has_value(), failAt >= 73) << failAt;
        port.failAt.clear();
        EXPECT_EQ(bus.PPort(regs::defaultFrame(0xC3)), 0);
        EXPECT_EQ(board.reg(sim::Register::LeftHeadphone), 0xC3) << failAt;
        EXPECT_EQ(board.transactions().back(), (sim::Transaction{0x7C, 0xC3, true})) << failAt;
    }
}

// Plays hand-written line states to the board, independent of the transmitter. Tokens:
//   S / P      start / stop condition, one line moving per write
//   0 / 1      one data bit: SDA set while SCL is low, then one clock pulse
//   F8         a byte in hex followed by its ninth clock; "F8-" leaves the ninth clock out
//   HL, LL...  one raw write of SDA/SCL exactly as given, both lines moving if they differ
//   pin0/pin1  the address-select pin, written with the lines as they are
void play(sim::Board& board, const std::string& script) {
    bool sda = true;
    bool scl = true;
    bool pin = false;
    const auto put = [&] { board.write(std::uint8_t(!sda << 7 | !scl << 6 | pin << 5 | 0x1F)); };
    // One line per write: SCL falls first, then SDA moves, then SCL rises.
    const auto move = [&](bool toSda, bool toScl) {
        if (scl && !toScl) {
            scl = false;
            put();
        }
        if (sda != toSda) {
            sda = toSda;
            put();
        }
        if (scl != toScl) {
            scl = toScl;
            put();
        }
    };
    const auto clock = [&](bool bit) {
        move(bit, false);
        move(bit, true);
        move(bit, false);
    };
    std::istringstream in(script);
    for (std::string t; in >> t;) {
        if (t == "S" || t == "P") { // SDA falls (rises) while SCL is high
            move(t == "S", t == "S");
            move(false, true);
            move(t == "P", t == "P");
        } else if (t == "0" || t == "1") {
            clock(t == "1");
        } else if (t.starts_with("pin")) {
            pin = t == "pin1";
            put();
        } else if (t.find_first_not_of("HL") == std::string::npos) {
            sda = t[0] == 'H';
            scl = t[1] == 'H';
            put();
        } else { // a byte, then its ninth clock with SDA released unless "-" follows
            const int value = std::stoi(t, nullptr, 16) << 1 | 1;
            for (int i = 8; i >= int(t.size()) - 2; --i)
                clock((value >> i) & 1);
        }
    }
}

// A protocol decoder's golden test: line states in, decoded lines out, and only acknowledged
// writes kept.
TEST(Board, PrintsWhatItDecodedAndKeepsOnlyAcknowledgedWrites) {
    struct Decoding {
        const char* script;
        std::vector<std::string> log; // what the board prints, each line after "QX5180 sim: "
        std::optional<std::uint8_t> loudspeaker;
    };
    const Decoding rows[] = {
        // Every register, each field with a value no other field of the write has, so none can
        // stand in for another.
        {
            .script = "S F8 95 P  S F8 D4 P  S F8 EA P  S F8 0D P  S F8 22 P  S F8 59 P",
            .log = {"address 0x7C data 0x95 ACK loudspeaker volume 21",
                    "address 0x7C data 0xD4 ACK left headphone volume 20",
                    "address 0x7C data 0xEA ACK right headphone volume 10",
                    "address 0x7C data 0x0D ACK mode control mode 5 differential 0 capacitor 1",
                    "address 0x7C data 0x22 ACK mode control mode 2 differential 1 capacitor 0",
                    "address 0x7C data 0x59 ACK 3D and input input 1 3D-level 2 3D-mode 0 "
                    "headphone-3D 1"},
            .loudspeaker = 0x95,
        },
        // Every fault drops its transaction, and the well-formed write after it is taken.
        {
            .script = "S 1 1 1 1 1 0 0 P  S F8 1 0 0 0 S P  S F8- P  S F8 85 40 P  "
                      "S 1 1 pin1 1 1 1 0 1 0 85 P  pin0 S F8 LL HH  S F8 85 HH LL P  S F8 86 P",
            .log = {"fault: stop condition inside a byte", "fault: start condition inside a byte",
                    "fault: transaction cut short before its data byte",
                    "fault: byte without its acknowledge clock",
                    "fault: extra byte after the data byte",
                    "fault: address-select pin changed during a transaction",
                    "fault: SDA and SCL both rose in one write",
                    "fault: SDA and SCL both fell in one write",
                    "address 0x7C data 0x86 ACK loudspeaker volume 6"},
            .loudspeaker = 0x86,
        }};
    for (const Decoding& row : rows) {
        std::string log;
        sim::Board board([&log](std::string_view line) { log.append(line) += '\n'; });
        play(board, row.script);
        std::string expected;
        for (const std::string& line : row.log)
            expected += "QX5180 sim: " + line + "\n";
        EXPECT_EQ(log, expected);
        EXPECT_EQ(board.reg(sim::Register::Loudspeaker), row.loudspeaker);
    }
}

} // namespace
