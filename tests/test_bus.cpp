#include "frames.h"
#include "i2c.h"
#include "recordingport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Rig {
    std::int16_t addressBit = 0;
    test::RecordingPort port;
    std::ostringstream diagnostics;
    bus::Transmitter bus{port, addressBit, diagnostics};
};

Bytes repeat(const Bytes& run, int times) {
    Bytes out;
    for (int i = 0; i < times; ++i)
        out.insert(out.end(), run.begin(), run.end());
    return out;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

const Bytes kOne0 = {95, 31, 95, 223};
const Bytes kZero0 = {223, 159, 223, 223};

TEST(Transmitter, DefaultLoudspeakerFrameGoesOutByteForByte) {
    Rig rig;
    rig.bus.PPort(regs::defaultFrame(regs::kMonoDefault));

    // start; address 1111100 + write; ack; data 1000 0000; ack; stop
    const Bytes expected = concat({{31, 159, 223},
                                   repeat(kOne0, 5),
                                   repeat(kZero0, 3),
                                   repeat(kOne0, 2),
                                   repeat(kZero0, 7),
                                   kOne0,
                                   {159, 31, 31}});
    EXPECT_EQ(rig.port.bytes, expected);
}

TEST(Transmitter, AddressBitOneChangesTheRunsNotJustBitFive) {
    Rig rig;
    rig.addressBit = 1;
    regs::Frame frame = regs::defaultFrame(regs::kMonoDefault);
    frame[regs::kAddressBitSlot] = 1;
    rig.bus.PPort(frame);

    const Bytes& b = rig.port.bytes;
    ASSERT_EQ(b.size(), 78u);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 3), (Bytes{63, 191, 255}));
    EXPECT_EQ(Bytes(b.end() - 7, b.end()), (Bytes{255, 127, 63, 127, 191, 63, 63}));
    // Slot 6 is a one bit; slot 7 a zero bit.
    EXPECT_EQ(Bytes(b.begin() + 3 + 6 * 4, b.begin() + 3 + 8 * 4),
              (Bytes{255, 127, 63, 127, 255, 255, 191, 255}));
}

struct ProcedureRun {
    const char* name;
    void (bus::Transmitter::*procedure)();
    std::int16_t addressBit;
    Bytes bytes;
};

class LineProcedure : public testing::TestWithParam<ProcedureRun> {};

TEST_P(LineProcedure, WritesItsRunForTheAddressBitItReads) {
    Rig rig;
    rig.addressBit = GetParam().addressBit;
    (rig.bus.*GetParam().procedure)();
    EXPECT_EQ(rig.port.bytes, GetParam().bytes);
}

using T = bus::Transmitter;
INSTANTIATE_TEST_SUITE_P(
    Runs, LineProcedure,
    testing::Values(ProcedureRun{"Start1", &T::I2C_START, 1, {63, 191, 255}},
                    ProcedureRun{"Start0", &T::I2C_START, 0, {31, 159, 223}},
                    ProcedureRun{"Stop1", &T::I2C_STOP, 1, {191, 63, 63}},
                    ProcedureRun{"Stop0", &T::I2C_STOP, 0, {159, 31, 31}},
                    ProcedureRun{"One1", &T::I2C_ONE, 1, {255, 127, 63, 127}},
                    ProcedureRun{"One0", &T::I2C_ONE, 0, {95, 31, 95, 223}},
                    ProcedureRun{"Zero1", &T::I2C_ZERO, 1, {255, 255, 191, 255}},
                    ProcedureRun{"Zero0", &T::I2C_ZERO, 0, {223, 159, 223, 223}},
                    // Only exactly 1 selects the address-bit-1 runs.
                    ProcedureRun{"OneAtTwo", &T::I2C_ONE, 2, {95, 31, 95, 223}},
                    ProcedureRun{"ZeroAtMinusOne", &T::I2C_ZERO, -1, {223, 159, 223, 223}}),
    [](const auto& info) { return info.param.name; });

TEST(Transmitter, OnlyASlotHoldingExactlyOneIsAOneBit) {
    Rig rig;
    regs::Frame frame{};
    frame[0] = 2;
    frame[1] = -1;
    frame[2] = 1;
    rig.bus.PPort(frame);

    const Bytes& b = rig.port.bytes;
    EXPECT_EQ(Bytes(b.begin() + 3, b.begin() + 7), kZero0);
    EXPECT_EQ(Bytes(b.begin() + 7, b.begin() + 11), kZero0);
    EXPECT_EQ(Bytes(b.begin() + 11, b.begin() + 15), kOne0);
}

TEST(Transmitter, EveryByteHoldsUnusedLinesHighAndBitFiveAtTheAddressBit) {
    for (std::int16_t addressBit : {0, 1}) {
        Rig rig;
        rig.addressBit = addressBit;
        for (std::uint8_t data : {0x00, 0xFF, 0xA5, 0x5A}) {
            regs::Frame frame = regs::defaultFrame(data);
            frame[regs::kAddressBitSlot] = addressBit;
            rig.bus.PPort(frame);
        }
        for (std::uint8_t b : rig.port.bytes) {
            EXPECT_EQ(b & 0x1F, 0x1F);
            EXPECT_EQ((b >> 5) & 1, addressBit);
        }
        EXPECT_EQ(rig.port.bytes.back(), addressBit ? 63 : 31);
    }
}

// A port that fails mid-transaction must not cut the transaction short or flood the user:
// the rest of the bytes still go out, and the user hears about it once.
TEST(Transmitter, AFailedWriteAnywhereIsReportedOncePerTransaction) {
    for (int position = 0; position < 78; ++position) {
        Rig rig;
        rig.port.failAt = position;
        const regs::Frame frame = regs::defaultFrame(regs::kLeftDefault);
        rig.bus.PPort(frame);
        EXPECT_EQ(rig.port.bytes.size(), 78u) << "failing write " << position;
        const std::string text = rig.diagnostics.str();
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << "failing write " << position;
        EXPECT_NE(text.find("test port"), std::string::npos);
        EXPECT_EQ(frame, regs::defaultFrame(regs::kLeftDefault));

        rig.diagnostics.str("");
        rig.bus.PPort(frame);
        EXPECT_EQ(rig.diagnostics.str(), "") << "the next transaction is clean again";
        EXPECT_TRUE(std::equal(rig.port.bytes.begin(), rig.port.bytes.begin() + 78,
                               rig.port.bytes.begin() + 78));
    }
}

TEST(Transmitter, AFailedIdleWriteIsReported) {
    Rig rig;
    rig.port.failAt = 0;
    rig.bus.writeIdle();
    EXPECT_NE(rig.diagnostics.str().find("address-select"), std::string::npos);
}

struct Panel {
    test::RecordingPort port;
    std::ostringstream diagnostics;
    regs::ControlFrames frames{port, diagnostics};
};

TEST(ControlFrames, DefaultsAreTheFiveRegisterWritesAtAddressZero) {
    Panel p;
    p.frames.startUp();
    using F = regs::Frame;
    EXPECT_EQ(p.frames.monoword, (F{1, 1, 1, 1, 1, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(p.frames.leftword, (F{1, 1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(p.frames.rightword, (F{1, 1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(p.frames.modeword, (F{1, 1, 1, 1, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(p.frames.effectword, (F{1, 1, 1, 1, 1, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(p.frames.addressBit(), 0);
}

TEST(ControlFrames, AddressSelectionWritesOnlyTheIdleByteAndSlotSix) {
    Panel p;
    p.frames.startUp();
    p.port.bytes.clear();

    for (std::int16_t value : {1, 1, 0, 0}) {
        p.frames.selectAddress(value);
        EXPECT_EQ(p.frames.addressBit(), value);
        const std::pair<const regs::Frame*, std::uint8_t> frames[] = {{&p.frames.monoword, 0x80},
                                                                      {&p.frames.leftword, 0xC0},
                                                                      {&p.frames.rightword, 0xE0},
                                                                      {&p.frames.modeword, 0x00},
                                                                      {&p.frames.effectword, 0x40}};
        for (auto [frame, data] : frames) {
            regs::Frame expected = regs::defaultFrame(data);
            expected[regs::kAddressBitSlot] = value;
            EXPECT_EQ(*frame, expected);
        }
    }
    // Repeating a selection writes the same idle byte again; nothing else goes out.
    EXPECT_EQ(p.port.bytes, (Bytes{63, 63, 31, 31}));
}

TEST(ControlFrames, WriteDefaultsLeavesTheAddressBitAlone) {
    Panel p;
    p.frames.startUp();
    p.frames.selectAddress(1);
    p.frames.writeDefaults();
    EXPECT_EQ(p.frames.addressBit(), 1);
    EXPECT_EQ(p.frames.monoword[regs::kAddressBitSlot], 0);
}

} // namespace
