#include "layout.h"
#include "panelrig.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QProxyStyle>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

using test::PanelRig;

// Edges, not sizes, are rounded from twips to pixels, so touching controls stay touching.
TEST(PanelLayout, ControlsStandWhereTheLayoutPutsThem) {
    PanelRig rig;
    EXPECT_EQ(rig.window->size(), QSize(624, 485));
    EXPECT_EQ(rig.window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size() +
                  rig.window->findChildren<QRadioButton*>().size(),
              68);
    const struct {
        const char* name;
        const char* kind;
        const char* parent;
        QRect rect;
    } golden[] = {
        {"monovol", "TrackSlider", "QX5180", {104, 112, 345, 33}},
        {"Frame2", "QGroupBox", "QX5180", {8, 408, 601, 65}},
        {"l1l2r1r2", "OptionButton", "Frame2", {344, 16, 129, 41}},
        {"addrzero", "OptionButton", "addr", {88, 24, 41, 13}},
        {"hfgainbox", "QLineEdit", "QX5180", {464, 112, 25, 19}},
        {"RESET", "QPushButton", "QX5180", {504, 72, 105, 25}},
        {"Label9", "QLabel", "QX5180", {496, 8, 97, 25}},
        {"Picture1", "QLabel", "QX5180", {8, 8, 223, 72}},
    };
    for (const auto& g : golden) {
        QWidget* w = rig.find(g.name);
        ASSERT_NE(w, nullptr) << g.name;
        EXPECT_STREQ(w->metaObject()->className(), g.kind) << g.name;
        EXPECT_EQ(w->parentWidget()->objectName(), g.parent) << g.name;
        EXPECT_EQ(w->geometry(), g.rect) << g.name;
    }
    EXPECT_FALSE(rig.find<QLabel>("Picture1")->pixmap().isNull());
}

// Started from the desktop, the panel has no terminal: what went wrong shows in the title.
TEST(PanelTitle, SaysWhatDrivesTheChipAndHowTheLastWriteWent) {
    const QString plain = "QX5180 Audio Program v1.1";
    const struct {
        const char* simulatedBecause;
        long failAt; // the fifth start-up transaction spans writes 312 to 389
        bool unplugged;
        bool writeAgain; // one volume step after start-up
        QString title;
    } rows[] = {
        {"", -1, false, false, plain},
        {"no parallel port", -1, false, false, plain + " — simulated board: no parallel port"},
        {"", 320, false, false, plain + " — port write failed: Input/output error"},
        {"", 320, false, true, plain},
        {"", 320, true, true, plain + " — port write failed: No such device"},
        {"", 100, false, false, plain}, // a later good start-up write already restored it
    };
    for (const auto& r : rows) {
        PanelRig rig(r.simulatedBecause, r.failAt, r.unplugged);
        if (r.writeAgain)
            rig.slider("monovol")->setValue(1);
        EXPECT_EQ(rig.window->windowTitle(), r.title) << r.failAt << ' ' << r.writeAgain;
    }
}

// A screen reader names sliders and boxes by the captions beside them, the rest by their own.
TEST(PanelAccess, ControlsAreNamedByTheirCaptions) {
    PanelRig rig;
    const std::pair<const char*, const char*> golden[] = {
        {"monovol", "MONO VOLUME CONTROL"},
        {"leftvol", "LEFT VOLUME CONTROL"},
        {"rightvol", "RIGHT VOLUME CONTROL"},
        {"vol3d", "3D LEVEL"},
        {"hfgainbox", "MONO VOLUME CONTROL Step #"},
        {"lgainbox", "LEFT VOLUME CONTROL Step #"},
        {"rgainbox", "RIGHT VOLUME CONTROL Step #"},
        {"RLS", "LOUDSPEAKER"},
        {"LHP", "LEFT HEADPHONE"},
        {"RHP", "RIGHT HEADPHONE"},
        {"mode3", "MODE 3"},
        {"modeframe", "MODE SELECT"},
    };
    for (auto [name, expected] : golden)
        EXPECT_EQ(QAccessible::queryAccessibleInterface(rig.find(name))->text(QAccessible::Name),
                  expected)
            << name;
}

// One style and a fixed light palette whatever the desktop prefers; the long input captions
// keep to the two lines the layout drew them on.
TEST(PanelLook, OneStyleALightPaletteAndTwoLineCaptions) {
    {
        PanelRig rig;
        for (const char* name : {"l2r2", "l1r1", "l1l2r1r2"}) {
            auto* b = rig.find<OptionButton>(name);
            const QFontMetrics m(b->font());
            EXPECT_EQ(
                m.boundingRect(b->captionRect(), Qt::TextWordWrap, b->wrappedCaption()).height() /
                    m.lineSpacing(),
                2)
                << name;
        }
    }
    const QPalette desktop = QApplication::palette();
    QApplication::setStyle("Windows");
    QApplication::setPalette(QPalette(Qt::black));
    PanelRig rig;
    EXPECT_EQ(qobject_cast<QProxyStyle*>(rig.slider("vol3d")->style())->baseStyle()->name(),
              QApplication::style()->name());
    EXPECT_EQ(rig.window->palette().color(QPalette::Window),
              QApplication::style()->standardPalette().color(QPalette::Window));
    QApplication::setStyle("Fusion");
    QApplication::setPalette(desktop);
}

} // namespace
