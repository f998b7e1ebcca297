#include "panelrig.h"

#include <QAccessible>
#include <QLabel>
#include <gtest/gtest.h>

namespace {

using test::PanelRig;

// Edges, not sizes, are rounded from twips to pixels, so touching controls stay touching.
TEST(PanelLayout, ControlsStandWhereTheLayoutPutsThem) {
    PanelRig rig;
    EXPECT_EQ(rig.window->size(), QSize(624, 485));
    // clang-format off
    const std::pair<const char*, QRect> golden[] = {
        {"monovol", {104, 112, 345, 33}}, {"Frame2", {8, 408, 601, 65}}, {"l1l2r1r2", {344, 16, 129, 41}},
        {"addrzero", {88, 24, 41, 13}}, {"hfgainbox", {464, 112, 25, 19}}, {"Picture1", {8, 8, 223, 72}}};
    // clang-format on
    for (auto [name, rect] : golden)
        EXPECT_EQ(rig.find(name)->geometry(), rect) << name;
    EXPECT_FALSE(rig.find<QLabel>("Picture1")->pixmap().isNull());
    // No caption takes more than the two lines the layout drew the longest ones on.
    for (OptionButton* b : rig.window->findChildren<OptionButton*>()) {
        const QFontMetrics m(b->font());
        const QRect needed =
            m.boundingRect(b->captionRect(), Qt::TextWordWrap, b->wrappedCaption());
        EXPECT_LE(needed.height() / m.lineSpacing(), 2) << b->objectName().toStdString();
    }
}

// Started from the desktop, the panel has no terminal: what went wrong shows in the title.
TEST(PanelTitle, SaysWhatDrivesTheChipAndHowTheLastWriteWent) {
    const QString plain = "QX5180 Audio Program v1.1";
    // Simulated because, failing write (start-up's fifth transaction spans writes 312 to 389),
    // unplugged from there on, one more write after start-up, the title.
    // clang-format off
    const std::tuple<const char*, long, bool, bool, QString> rows[] = {
        {"", -1, false, false, plain},
        {"no parallel port", -1, false, false, plain + " — simulated board: no parallel port"},
        {"", 320, false, false, plain + " — port write failed: Input/output error"},
        {"", 320, false, true, plain},
        {"", 320, true, true, plain + " — port write failed: No such device"},
        {"", 100, false, false, plain}}; // a later good start-up write already restored it
    // clang-format on
    for (const auto& [simulatedBecause, failAt, unplugged, writeAgain, title] : rows) {
        PanelRig rig(simulatedBecause, failAt, unplugged);
        if (writeAgain)
            rig.slider("monovol")->setValue(1);
        EXPECT_EQ(rig.window->windowTitle(), title) << failAt << ' ' << writeAgain;
    }
}

// A screen reader names sliders and boxes by the captions beside them, the rest by their own.
TEST(PanelAccess, ControlsAreNamedByTheirCaptions) {
    PanelRig rig;
    // clang-format off
    const std::pair<const char*, const char*> golden[] = {
        {"monovol", "MONO VOLUME CONTROL"}, {"leftvol", "LEFT VOLUME CONTROL"}, {"rightvol", "RIGHT VOLUME CONTROL"},
        {"vol3d", "3D LEVEL"}, {"hfgainbox", "MONO VOLUME CONTROL Step #"}, {"lgainbox", "LEFT VOLUME CONTROL Step #"},
        {"rgainbox", "RIGHT VOLUME CONTROL Step #"}, {"RLS", "LOUDSPEAKER"}, {"LHP", "LEFT HEADPHONE"},
        {"RHP", "RIGHT HEADPHONE"}, {"mode3", "MODE 3"}, {"modeframe", "MODE SELECT"}, {"RESET", " DEFAULT"},
        // Three pairs carry the caption that their partner's name suggests.
        {"narrow", "WIDE"}, {"wide", "NARROW"}, {"ocl", "SE"}, {"se", "OCL"},
        {"l2r2", "L1 AND R1        SINGLE ENDED STEREO PAIR"}, {"l1r1", "L2 AND R2 SINGLE ENDED STEREO PAIR"},
        {"l1l2r1r2", "L1+L2  AND  R1+R2 SINGLE ENDED STEREO PAIR"}};
    // clang-format on
    for (auto [name, expected] : golden)
        EXPECT_EQ(QAccessible::queryAccessibleInterface(rig.find(name))->text(QAccessible::Name),
                  expected)
            << name;
}

} // namespace
