#include "layout.h"
#include "panelrig.h"

#include <QLabel>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <algorithm>

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
        {"monovol", "QSlider", "QX5180", {104, 112, 345, 33}},
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

TEST(PanelStart, TabOrderFollowsTheTabIndexes) {
    PanelRig rig;
    std::vector<std::pair<int, QString>> focusable;
    for (const layout::Control& c : layout::controls())
        if (rig.find(c.name)->focusPolicy() & Qt::TabFocus)
            focusable.emplace_back(c.tabIndex, c.name);
    std::sort(focusable.begin(), focusable.end());

    QStringList expected;
    for (auto& [index, name] : focusable)
        expected << name;

    QStringList chain;
    QWidget* w = rig.find(expected.first().toLatin1().constData());
    do {
        if (w->focusPolicy() & Qt::TabFocus)
            chain << w->objectName();
        w = w->nextInFocusChain();
    } while (chain.size() < expected.size());
    EXPECT_EQ(chain, expected);
    EXPECT_TRUE(expected.contains("monovol"));
}

} // namespace
