// The wire: the transmitter's exact bytes, and the simulated board's decoding of line states.
#include "board.h"
#include "frames.h"
#include "i2c.h"
#include "recordingport.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>

namespace {

std::vector<std::uint8_t> bytes(const char* hex) {
    std::istringstream in(hex);
    const std::vector<int> values{std::istream_iterator<int>(in >> std::hex), {}};
    return {values.begin(), values.end()};
}

// Hand-derived from the line-state table: start, 18 bit runs of four writes, stop. A failed
// write is walked back from the last state that reached the port: never a clock pulse, a stop
// (or, with both lines high, a start and a stop) only once a start went out, and the idle byte
// with the address-select level last; nothing after a stop that was complete.
TEST(Transmitter, GoesOutByteForByteAndWalksBackFromAFailedWrite) {
    // clang-format off
    const std::tuple<std::int16_t, long, regs::Frame, const char*> rows[] = {
        {0, -1, regs::defaultFrame(0x81),
         "1F 9F DF 5F 1F 5F DF 5F 1F 5F DF 5F 1F 5F DF 5F 1F 5F DF 5F 1F 5F DF DF 9F DF DF DF 9F "
         "DF DF DF 9F DF DF 5F 1F 5F DF 5F 1F 5F DF DF 9F DF DF DF 9F DF DF DF 9F DF DF DF 9F DF "
         "DF DF 9F DF DF DF 9F DF DF 5F 1F 5F DF 5F 1F 5F DF 9F 1F 1F"},
        {1, -1, regs::Frame{1, 1, 1, 1, 1, 0, 1, 0, 1, 1, 1, 0, 1, 0, 1, 0, 1, 1},
         "3F BF FF FF 7F 3F 7F FF 7F 3F 7F FF 7F 3F 7F FF 7F 3F 7F FF 7F 3F 7F FF FF BF FF FF 7F "
         "3F 7F FF FF BF FF FF 7F 3F 7F FF 7F 3F 7F FF 7F 3F 7F FF FF BF FF FF 7F 3F 7F FF FF BF "
         "FF FF 7F 3F 7F FF FF BF FF FF 7F 3F 7F FF 7F 3F 7F BF 3F 3F"},
        {0, 0, regs::defaultFrame(0x85), "1F 1F"}, {0, 1, regs::defaultFrame(0x85), "9F 1F"},
        {1, 4, regs::defaultFrame(0x85), "7F FF BF 3F 3F"},
        {1, 5, regs::defaultFrame(0x85), "3F FF BF 3F 3F"},
        {1, 6, regs::defaultFrame(0x85), "7F BF 3F 3F"}, {1, 77, regs::defaultFrame(0x85), "3F"}};
    // clang-format on
    for (const auto& [addressBit, failAt, frame, tail] : rows) {
        RecordingPort port;
        std::ostringstream diagnostics;
        bus::Transmitter bus(port, diagnostics);
        bus.setAddressBit(addressBit);
        port.failAt = {failAt};
        bus.PPort(frame);
        EXPECT_EQ(std::vector(port.bytes.begin() + std::max(failAt, 0L), port.bytes.end()),
                  bytes(tail))
            << addressBit << ' ' << failAt;
    }
}

const std::string kFailed = "qx5180: writing to test port failed during ";
const std::string kMayNot = "; the chip may not hold what the panel shows\n";

// A failed write ends the transaction: no later bit goes out, the bus is walked back to
// idle, the user hears about it once, with the first error, and the chip takes the byte only
// when the failure came after the data byte's acknowledge clock. The stop condition is
// complete at write 76: a failure after it leaves nothing to walk back and counts as
// delivered. Every other position fails like an unplugged port: every write from there on.
// (The panel's rows show that the next write goes out whole.)
TEST(Transmitter, AFailedWriteCutsTheTransactionAndLeavesTheBusIdle) {
    for (long position = 0; position < 78; ++position) {
        SCOPED_TRACE(testing::Message() << "failing write " << position);
        sim::Board board;
        RecordingPort port(&board);
        std::ostringstream diagnostics;
        bus::Transmitter bus(port, diagnostics);
        port.failAt = {position};
        port.unplugged = position % 2;
        const bus::Outcome cut = bus.PPort(regs::defaultFrame(0x85));

        EXPECT_LE(port.bytes.size(), static_cast<std::size_t>(position) + 1 + 4);
        EXPECT_EQ(port.bytes.back(), 0x1F);
        EXPECT_EQ(diagnostics.str(), kFailed + "a register write: Input/output error" + kMayNot);
        EXPECT_EQ(cut.error, EIO);
        EXPECT_EQ(cut.delivered, position == 77);
        EXPECT_EQ(board.reg(sim::Register::Loudspeaker).has_value(),
                  position == 77 || (position >= 74 && !port.unplugged));

        diagnostics.str("");
        EXPECT_EQ(bus.writeIdle(), port.unplugged ? ENODEV : 0);
        EXPECT_EQ(diagnostics.str(),
                  port.unplugged ? kFailed + "the address-select line: No such device" + kMayNot
                                 : "");
    }
}

// Plays hand-written line states to the board, independent of the transmitter. Tokens:
//   S / P      start / stop condition, one line moving per write
//   0 / 1      one data bit: SDA set while SCL is low, then one clock pulse
//   F8         a byte in hex followed by its ninth clock; "F8-" leaves the ninth clock out
//   HL, LL...  one raw write of SDA/SCL exactly as given, both lines moving if they differ
//   pin0/pin1  the address-select pin, written with the lines as they are
void play(sim::Board& board, const std::string& script) {
    bool sda = true, scl = true, pin = false;
    const auto put = [&] { board.write(std::uint8_t(!sda << 7 | !scl << 6 | pin << 5 | 0x1F)); };
    // One line per write: SDA only ever changes while SCL is low, but for a start or stop.
    const auto set = [&](bool toSda, bool toScl) {
        if (!toScl && scl)
            scl = false, put();
        if (toSda != sda)
            sda = toSda, put();
        if (toScl != scl)
            scl = toScl, put();
    };
    const auto bit = [&](bool b) { set(b, false), set(b, true), set(b, false); };
    std::istringstream in(script);
    for (std::string t; in >> t;) {
        if (t == "S" || t == "P") // from both lines high SDA falls, then SCL; the reverse
            set(t == "S", t == "S"), set(false, true), set(t == "P", t == "P");
        else if (t == "0" || t == "1")
            bit(t == "1");
        else if (t.starts_with("pin"))
            pin = t == "pin1", put();
        else if (t.find_first_not_of("HL") == std::string::npos)
            sda = t[0] == 'H', scl = t[1] == 'H', put();
        else // a byte, then its ninth clock with SDA released unless "-" follows
            for (int i = 8, v = std::stoi(t, nullptr, 16) << 1 | 1; i >= int(t.size()) - 2; --i)
                bit((v >> i) & 1);
    }
}

struct Decoding {
    const char* name;
    const char* script;
    std::vector<std::string> log; // what the board prints, without its "QX5180 sim: " prefix
    std::optional<std::uint8_t> loudspeaker = std::nullopt;
};

class Decoder : public testing::TestWithParam<Decoding> {};

// A protocol decoder's golden test: line states in, decoded lines out.
TEST_P(Decoder, PrintsWhatItDecodedAndKeepsOnlyAcknowledgedWrites) {
    std::ostringstream log;
    sim::Board board(&log);
    play(board, GetParam().script);
    std::string expected;
    for (const std::string& line : GetParam().log)
        expected += "QX5180 sim: " + line + "\n";
    EXPECT_EQ(log.str(), expected);
    EXPECT_EQ(board.reg(sim::Register::Loudspeaker), GetParam().loudspeaker);
}
const std::string at7C = "address 0x7C data 0x", mode = "ACK mode control mode ";
const std::string effect = "ACK 3D and input input ", ok86 = at7C + "86 ACK loudspeaker volume 6";
const std::string cut = "fault: transaction cut short before its data byte";
const std::string both = "fault: SDA and SCL both ";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Scripts, Decoder, testing::ValuesIn(std::vector<Decoding>{
    {"EveryRegister", "S F8 95 P  S F8 D4 P  S F8 EA P", {at7C + "95 ACK loudspeaker volume 21",
     at7C + "D4 ACK left headphone volume 20", at7C + "EA ACK right headphone volume 10"}, 0x95},
    // One field bit per write, so that no two fields can stand in for each other.
    {"ModeFields", "S F8 01 P S F8 02 P S F8 04 P S F8 08 P S F8 20 P",
     {at7C + "01 " + mode + "1 differential 0 capacitor 0",
      at7C + "02 " + mode + "2 differential 0 capacitor 0",
      at7C + "04 " + mode + "4 differential 0 capacitor 0",
      at7C + "08 " + mode + "0 differential 0 capacitor 1",
      at7C + "20 " + mode + "0 differential 1 capacitor 0"}},
    {"EffectFields", "S F8 41 P S F8 42 P S F8 44 P S F8 48 P S F8 50 P S F8 60 P",
     {at7C + "41 " + effect + "0 3D-level 0 3D-mode 0 headphone-3D 1",
      at7C + "42 " + effect + "0 3D-level 0 3D-mode 1 headphone-3D 0",
      at7C + "44 " + effect + "0 3D-level 1 3D-mode 0 headphone-3D 0",
      at7C + "48 " + effect + "0 3D-level 2 3D-mode 0 headphone-3D 0",
      at7C + "50 " + effect + "1 3D-level 0 3D-mode 0 headphone-3D 0",
      at7C + "60 " + effect + "2 3D-level 0 3D-mode 0 headphone-3D 0"}},
    {"OtherAddressOrReadIsIgnored", "S FA 85 P  pin1 S FA 86 P  S F8 85 P  S FB 85 P",
     {"address 0x7D data 0x85 NACK ignored", "address 0x7D data 0x86 ACK loudspeaker volume 6",
      at7C + "85 NACK ignored", "address 0x7D data 0x85 NACK ignored"}, 0x86},
    {"RepeatedStart", "S F8 85 S F8 86 P", {at7C + "85 ACK loudspeaker volume 5", ok86}, 0x86},
    // "HL" after a clocked 0 drops SCL before SDA rises (no stop); "LH" from H/L pulls SDA
    // low before the clock rises (a 0, no start). Data byte 0 1 0 00000 = 0x40.
    {"OppositeMovesFallFirst", "S F8  LL LH HL HH HL LH LL 0 0 0 0 0 1  P",
     {at7C + "40 " + effect + "0 3D-level 0 3D-mode 0 headphone-3D 0"}},
    // Every fault drops its transaction, and the well-formed write after it is taken.
    {"Faults", "S 1 1 1 1 1 0 0 P S F8 1 0 0 0 S P S F8- P S F8 85 40 P "
               "S 1 1 pin1 1 1 1 0 1 0 85 P pin0 S F8 LL HH S F8 85 HH LL P S F8 86 P",
     {"fault: stop condition inside a byte", "fault: start condition inside a byte", cut,
      "fault: byte without its acknowledge clock", "fault: extra byte after the data byte",
      "fault: address-select pin changed during a transaction",
      both + "rose in one write", both + "fell in one write", ok86}, 0x86}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
