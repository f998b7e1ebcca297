#include "board.h"
#include "frames.h"
#include "i2c.h"
#include "recordingport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

using regs::Frame;

std::vector<std::uint8_t> bytes(const char* hex) {
    std::vector<std::uint8_t> out;
    std::istringstream in(hex);
    for (int b; in >> std::hex >> b;)
        out.push_back(static_cast<std::uint8_t>(b));
    return out;
}

struct Stream {
    const char* name;
    std::int16_t addressBit;
    Frame frame;
    const char* bytes; // the whole transaction as it reaches the port
};

class Transaction : public testing::TestWithParam<Stream> {};

TEST_P(Transaction, GoesOutByteForByte) {
    test::RecordingPort port;
    std::ostringstream diagnostics;
    bus::Transmitter bus(port, diagnostics);
    bus.setAddressBit(GetParam().addressBit);
    bus.PPort(GetParam().frame);
    EXPECT_EQ(port.bytes, bytes(GetParam().bytes));
}

// Hand-derived from the line-state table: start, 18 bit runs of four writes, stop.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Golden, Transaction, testing::Values(
    Stream{"Loudspeaker1AtAddress0", 0, regs::defaultFrame(0x81),
           "1F 9F DF 5F 1F 5F DF 5F 1F 5F DF 5F 1F 5F DF 5F 1F 5F DF 5F 1F 5F DF DF 9F DF "
           "DF DF 9F DF DF DF 9F DF DF 5F 1F 5F DF 5F 1F 5F DF DF 9F DF DF DF 9F DF DF DF 9F "
           "DF DF DF 9F DF DF DF 9F DF DF DF 9F DF DF 5F 1F 5F DF 5F 1F 5F DF 9F 1F 1F"},
    Stream{"Left21AtAddress1", 1,
           Frame{1, 1, 1, 1, 1, 0, 1, 0, 1, 1, 1, 0, 1, 0, 1, 0, 1, 1},
           "3F BF FF FF 7F 3F 7F FF 7F 3F 7F FF 7F 3F 7F FF 7F 3F 7F FF 7F 3F 7F FF FF BF "
           "FF FF 7F 3F 7F FF FF BF FF FF 7F 3F 7F FF 7F 3F 7F FF 7F 3F 7F FF FF BF FF FF 7F "
           "3F 7F FF FF BF FF FF 7F 3F 7F FF FF BF FF FF 7F 3F 7F FF 7F 3F 7F BF 3F 3F"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

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
        test::RecordingPort port(&board);
        std::ostringstream diagnostics;
        bus::Transmitter bus(port, diagnostics);
        port.failAt = position;
        port.unplugged = position % 2;
        const bus::Outcome cut = bus.PPort(regs::defaultFrame(0x85));

        EXPECT_LE(port.bytes.size(), static_cast<std::size_t>(position) + 1 + 4);
        EXPECT_TRUE(position < 77 || port.bytes.size() == 78) << "walked back after the stop";
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

// How a cut transaction is walked back, from the failed write on: never a clock pulse, a
// stop (or, with both lines high, a start and a stop) only once a start went out, and the
// idle byte with the address-select level last; nothing after a stop that was complete.
TEST(Transmitter, WalksBackFromTheLastStateThatReachedThePort) {
    // clang-format off
    const std::tuple<std::int16_t, long, const char*> rows[] = {
        {0, 0, "1F 1F"}, {0, 1, "9F 1F"}, {1, 4, "7F FF BF 3F 3F"}, {1, 5, "3F FF BF 3F 3F"},
        {1, 6, "7F BF 3F 3F"}, {1, 77, "3F"}};
    // clang-format on
    for (const auto& [addressBit, failAt, tail] : rows) {
        test::RecordingPort port;
        std::ostringstream diagnostics;
        bus::Transmitter bus(port, diagnostics);
        bus.setAddressBit(addressBit);
        port.failAt = failAt;
        bus.PPort(regs::defaultFrame(0x85));
        EXPECT_EQ(std::vector(port.bytes.begin() + failAt, port.bytes.end()), bytes(tail))
            << addressBit << ' ' << failAt;
    }
}

} // namespace
