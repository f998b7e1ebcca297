#include "panelrig.h"

#include <gtest/gtest.h>

namespace {

using test::PanelRig;
using Data = std::vector<std::uint8_t>;
using sim::Register;

// Random sessions in test_model cover drags, track clicks, page keys and resets after any
// mix of changes; these pin down the rows and sequences worth reading as examples.

// ---- level sliders -------------------------------------------------------------------

struct VolumeSlider {
    const char* slider;
    const char* stepBox;
    Register reg;
    std::uint8_t selector;
};
const VolumeSlider kVolumeSliders[] = {
    {"monovol", "hfgainbox", Register::Loudspeaker, 0x80},
    {"leftvol", "lgainbox", Register::LeftHeadphone, 0xC0},
    {"rightvol", "rgainbox", Register::RightHeadphone, 0xE0},
};

class VolumeRow : public testing::TestWithParam<std::tuple<VolumeSlider, int>> {};

TEST_P(VolumeRow, KeyPressesSendOneFramePerPositionAndShowTheStep) {
    const auto [v, position] = GetParam();
    PanelRig rig;
    const std::size_t mark = rig.transactionMark();

    for (int i = 0; i < position; ++i)
        QTest::keyClick(rig.slider(v.slider), Qt::Key_Right);

    Data expected;
    for (int p = 1; p <= position; ++p)
        expected.push_back(static_cast<std::uint8_t>(v.selector | p));
    EXPECT_EQ(rig.dataSince(mark), expected);
    EXPECT_EQ(rig.board.reg(v.reg), v.selector | position);
    EXPECT_EQ(rig.text(v.stepBox), QString::number(position + 1));
}

INSTANTIATE_TEST_SUITE_P(TellingPositions, VolumeRow,
                         testing::Combine(testing::ValuesIn(kVolumeSliders),
                                          testing::Values(0, 1, 15, 16, 27, 28, 29, 30, 31)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).slider) + "_" +
                                    std::to_string(std::get<1>(info.param));
                         });

// A slider cannot report a position outside its range; widen the range quietly so that it
// reports one, as a misbehaving control might.
void reportOutOfRange(QSlider* slider, int position) {
    {
        const QSignalBlocker quiet(slider);
        slider->setRange(-5, 40);
    }
    slider->setValue(position);
}

TEST(LevelSliders, PositionsBeyondTheRangeDecodeNothingButStillSend) {
    for (const VolumeSlider& v : kVolumeSliders) {
        for (int position : {-1, 32}) {
            PanelRig rig;
            QTest::keyClick(rig.slider(v.slider), Qt::Key_End);
            const std::size_t mark = rig.transactionMark();
            reportOutOfRange(rig.slider(v.slider), position);
            EXPECT_EQ(rig.dataSince(mark), Data{static_cast<std::uint8_t>(v.selector | 31)})
                << v.slider << " at " << position;
            EXPECT_EQ(rig.text(v.stepBox), "32");
        }
    }
    PanelRig rig;
    QTest::keyClick(rig.slider("vol3d"), Qt::Key_Right);
    const std::size_t mark = rig.transactionMark();
    reportOutOfRange(rig.slider("vol3d"), 4);
    EXPECT_EQ(rig.dataSince(mark), Data{0x44});
}

// ---- mode selector -------------------------------------------------------------------

struct ModeRow {
    int mode;
    const char* loudspeaker;
    const char* left;
    const char* right;
};

class Mode : public testing::TestWithParam<ModeRow> {};

TEST_P(Mode, ChoosingItSendsTheModeAndShowsWhatEachOutputCarries) {
    const ModeRow row = GetParam();
    PanelRig rig;
    if (row.mode == 0)
        rig.click("mode7"); // mode 0 is already selected at start
    const std::size_t mark = rig.transactionMark();
    const std::string caption = "MODE " + std::to_string(row.mode);
    rig.click(rig.captioned("modeframe", caption.c_str()));

    EXPECT_EQ(rig.transactionsSince(mark),
              (std::vector<sim::Transaction>{{0x7C, static_cast<std::uint8_t>(row.mode), true}}));
    EXPECT_EQ(rig.text("RLS"), row.loudspeaker);
    EXPECT_EQ(rig.text("LHP"), row.left);
    EXPECT_EQ(rig.text("RHP"), row.right);
}

INSTANTIATE_TEST_SUITE_P(
    AllEight, Mode,
    testing::Values(ModeRow{0, "SHUTDOWN", "SHUTDOWN", "SHUTDOWN"}, ModeRow{1, "P", "MUTE", "MUTE"},
                    ModeRow{2, "SHUTDOWN", "P", "P"}, ModeRow{3, "L+R", "MUTE", "MUTE"},
                    ModeRow{4, "SHUTDOWN", "L", "R"}, ModeRow{5, "P+L+R", "MUTE", "MUTE"},
                    ModeRow{6, "SHUTDOWN", "L+P", "R+P"}, ModeRow{7, "R+L", "L", "R"}),
    [](const auto& info) { return std::to_string(info.param.mode); });

TEST(ModeSelector, ArrowKeysSelectTheNextModeAndItsHandlerRuns) {
    PanelRig rig;
    const std::size_t mark = rig.transactionMark();
    rig.button("mode0")->setFocus();
    QTest::keyClick(rig.button("mode0"), Qt::Key_Down);
    EXPECT_TRUE(rig.button("mode1")->isChecked());
    EXPECT_EQ(rig.dataSince(mark), Data{0x01});
    EXPECT_EQ(rig.text("RLS"), "P");
}

// ---- feature switches and their sequences, clicked by the captions the user sees -------

struct Click {
    const char* group;
    const char* caption;
};

struct Sequence {
    const char* name;
    std::vector<Click> clicks;
    Data sent; // data bytes of every write the clicks cause, in order
    std::uint8_t modeRegister;
    std::uint8_t effectRegister;
};

class Switches : public testing::TestWithParam<Sequence> {};

TEST_P(Switches, SendTheirFramesModeRegisterFirst) {
    const Sequence& s = GetParam();
    PanelRig rig;
    const std::size_t mark = rig.transactionMark();
    for (const Click& c : s.clicks)
        rig.click(rig.captioned(c.group, c.caption));

    EXPECT_EQ(rig.dataSince(mark), s.sent);
    for (const sim::Transaction& t : rig.transactionsSince(mark))
        EXPECT_TRUE(t.ack);
    EXPECT_EQ(rig.board.reg(Register::ModeControl), s.modeRegister);
    EXPECT_EQ(rig.board.reg(Register::Effect), s.effectRegister);
    EXPECT_EQ(rig.board.reg(Register::Loudspeaker), 0x80);
    EXPECT_TRUE(rig.board.faults().empty());
}

const char* const kL1R1 = "L1 AND R1        SINGLE ENDED STEREO PAIR";
const char* const kL2R2 = "L2 AND R2 SINGLE ENDED STEREO PAIR";
const char* const kBoth = "L1+L2  AND  R1+R2 SINGLE ENDED STEREO PAIR";
const char* const kDiff = "DIFFERENTIAL STEREO PAIR";

INSTANTIATE_TEST_SUITE_P(
    Captions, Switches,
    testing::Values(
        Sequence{"Differential", {{"Frame2", kDiff}}, {0x20}, 0x20, 0x40},
        Sequence{"L1R1", {{"Frame2", kL1R1}}, {0x00, 0x60}, 0x00, 0x60},
        Sequence{"L2R2", {{"Frame2", kL2R2}}, {0x00, 0x50}, 0x00, 0x50},
        Sequence{"BothThenMute",
                 {{"Frame2", kBoth}, {"Frame2", "MUTE"}},
                 {0x00, 0x70, 0x00, 0x40},
                 0x00,
                 0x40},
        Sequence{"DifferentialThenMute",
                 {{"Frame2", kDiff}, {"Frame2", "MUTE"}},
                 {0x20, 0x00, 0x40},
                 0x00,
                 0x40},
        Sequence{"DifferentialKeepsInputCode",
                 {{"Frame2", kBoth}, {"Frame2", kDiff}},
                 {0x00, 0x70, 0x20},
                 0x20,
                 0x70},
        Sequence{
            "NarrowThenWide", {{"Frame4", "NARROW"}, {"Frame4", "WIDE"}}, {0x42, 0x40}, 0x00, 0x40},
        Sequence{
            "HeadphoneOnThenOff", {{"Frame1", "ON"}, {"Frame1", "OFF"}}, {0x41, 0x40}, 0x00, 0x40},
        Sequence{"OclThenSe", {{"oclse", "OCL"}, {"oclse", "SE"}}, {0x08, 0x00}, 0x00, 0x40},
        Sequence{
            "NarrowThenOn", {{"Frame4", "NARROW"}, {"Frame1", "ON"}}, {0x42, 0x43}, 0x00, 0x43},
        Sequence{
            "ModeKeptByOcl", {{"modeframe", "MODE 3"}, {"oclse", "OCL"}}, {0x03, 0x0B}, 0x0B, 0x40},
        Sequence{
            "OclKeptByMode", {{"oclse", "OCL"}, {"modeframe", "MODE 2"}}, {0x08, 0x0A}, 0x0A, 0x40},
        Sequence{"DifferentialKeptByMode",
                 {{"Frame2", kDiff}, {"modeframe", "MODE 6"}, {"modeframe", "MODE 1"}},
                 {0x20, 0x26, 0x21},
                 0x21,
                 0x40},
        Sequence{"SelectedButtonClickedAgainSendsNothing",
                 {{"Frame2", "MUTE"}, {"Frame4", "WIDE"}},
                 {},
                 0x00,
                 0x40}),
    [](const auto& info) { return info.param.name; });

TEST(Switches, CrossedCaptionsBelongToTheButtonsNamedForTheValue) {
    PanelRig rig;
    EXPECT_EQ(rig.captioned("Frame4", "WIDE"), rig.button("narrow"));
    EXPECT_EQ(rig.captioned("Frame4", "NARROW"), rig.button("wide"));
    EXPECT_EQ(rig.captioned("oclse", "SE"), rig.button("ocl"));
    EXPECT_EQ(rig.captioned("oclse", "OCL"), rig.button("se"));
    EXPECT_EQ(rig.captioned("Frame2", kL1R1), rig.button("l2r2"));
    EXPECT_EQ(rig.captioned("Frame2", kL2R2), rig.button("l1r1"));
}

// ---- reset to defaults ---------------------------------------------------------------

TEST(Reset, RightAfterStartItRepeatsTheStartUpWrites) {
    PanelRig rig;
    const std::vector<std::uint8_t> startUpBytes = rig.port.bytes;
    rig.click("RESET");
    ASSERT_EQ(rig.port.bytes.size(), 2 * startUpBytes.size());
    EXPECT_TRUE(std::equal(startUpBytes.begin(), startUpBytes.end(),
                           rig.port.bytes.begin() + static_cast<long>(startUpBytes.size())));
}

TEST(Reset, AfterAddressOneTheEarlySendsMissTheChipAndTheRestUseAddressZero) {
    PanelRig rig;
    rig.click(rig.captioned("modeframe", "MODE 6"));
    rig.click(rig.captioned("Frame4", "NARROW"));
    rig.click(rig.captioned("Frame2", kBoth));
    rig.click("addrone");
    const std::size_t bytes = rig.port.bytes.size();
    const std::size_t mark = rig.transactionMark();

    rig.click("RESET");

    // mode0 and narrow run while the address-select line is still high but slot 6 is
    // already 0: the chip (now at 0x7D) ignores them. Then addrzero, then mute and the
    // five start-up frames at 0x7C.
    const std::vector<sim::Transaction> expected = {
        {0x7C, 0x00, false}, {0x7C, 0x40, false}, {0x7C, 0x00, true},
        {0x7C, 0x40, true},  {0x7C, 0x80, true},  {0x7C, 0xC0, true},
        {0x7C, 0xE0, true},  {0x7C, 0x00, true},  {0x7C, 0x40, true}};
    EXPECT_EQ(rig.transactionsSince(mark), expected);

    const std::vector<std::uint8_t> sent(rig.port.bytes.begin() + static_cast<long>(bytes),
                                         rig.port.bytes.end());
    ASSERT_EQ(sent.size(), 2 * 78 + 1 + 7 * 78u);
    for (std::size_t i = 0; i < 2 * 78; ++i)
        EXPECT_TRUE(sent[i] & 0x20) << "byte " << i;
    EXPECT_EQ(sent[2 * 78], 31);
    for (std::size_t i = 2 * 78 + 1; i < sent.size(); ++i)
        EXPECT_FALSE(sent[i] & 0x20) << "byte " << i;
    EXPECT_EQ(sent.back(), 31);
    EXPECT_TRUE(rig.button("addrzero")->isChecked());
    EXPECT_TRUE(rig.board.faults().empty());
}

} // namespace
