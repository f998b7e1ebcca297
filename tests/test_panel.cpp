#include "layout.h"
#include "panelrig.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>

namespace {

using test::PanelRig;

// The kind of control a widget is, in the layout's terms.
std::optional<layout::Kind> kindOf(const QWidget* w) {
    using K = layout::Kind;
    if (qobject_cast<const QGroupBox*>(w))
        return K::Frame;
    if (qobject_cast<const QRadioButton*>(w))
        return K::Option;
    if (qobject_cast<const QSlider*>(w))
        return K::Slider;
    if (qobject_cast<const QLineEdit*>(w))
        return K::TextBox;
    if (qobject_cast<const QPushButton*>(w))
        return K::Button;
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->pixmap().isNull() ? K::Label : K::Picture;
    return std::nullopt;
}

QString shownText(const QWidget* w) {
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        return g->title();
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text();
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    return {};
}

TEST(PanelLayout, EveryControlIsBuiltWhereTheLayoutPutsIt) {
    PanelRig rig;
    EXPECT_EQ(rig.window->windowTitle(), "QX5180 Audio Program v1.1");
    EXPECT_EQ(rig.window->size(), QSize(624, 485));
    EXPECT_EQ(layout::controls().size(), 68u);

    for (const layout::Control& c : layout::controls()) {
        SCOPED_TRACE(c.name);
        QWidget* w = rig.find(c.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(kindOf(w), c.kind);
        EXPECT_EQ(w->parentWidget()->objectName(), c.container ? c.container : "QX5180");
        EXPECT_EQ(shownText(w), QString::fromLatin1(c.text));
        // Edges are rounded to the pixel, so touching controls stay touching.
        auto px = [](int twips) { return (twips * 2 + 15) / 30; };
        EXPECT_EQ(w->geometry(), QRect(QPoint(px(c.left), px(c.top)),
                                       QPoint(px(c.left + c.width) - 1, px(c.top + c.height) - 1)));
        EXPECT_TRUE(w->isVisibleTo(rig.window.get()));
        EXPECT_TRUE(w->isEnabled());
    }
    EXPECT_EQ(rig.find("monovol")->geometry(), QRect(104, 112, 345, 33));
    EXPECT_EQ(rig.find("Frame2")->geometry(), QRect(8, 408, 601, 65));
}

TEST(PanelStart, OpensInTheStateThatStartUpProgrammed) {
    PanelRig rig;
    std::map<QString, QStringList> selectedByGroup;
    for (QRadioButton* b : rig.window->findChildren<QRadioButton*>())
        if (b->isChecked())
            selectedByGroup[b->parentWidget()->objectName()] << b->objectName();

    const std::map<QString, QStringList> expected = {
        {"modeframe", {"mode0"}},       {"Frame2", {"mute"}}, {"Frame1", {"HP3Doff"}},
        {"Frame4", {"narrow"}},         {"oclse", {"ocl"}},   {"addr", {"addrzero"}},
        {"codectest", {"codecnormal"}}, {"irqout", {"irq"}},  {"testadcdith", {"codecadcditheron"}},
        {"dacframe", {"dacdithon"}},
    };
    EXPECT_EQ(selectedByGroup, expected);

    for (const char* box : {"RLS", "LHP", "RHP"})
        EXPECT_EQ(rig.text(box), "SHUTDOWN");
    for (const char* box : {"hfgainbox", "lgainbox", "rgainbox"})
        EXPECT_EQ(rig.text(box), "1");
    for (const char* name : {"monovol", "leftvol", "rightvol", "vol3d"})
        EXPECT_EQ(rig.slider(name)->value(), 0);
    EXPECT_EQ(rig.window->focusWidget(), rig.find("monovol"));

    // The load handler already ran: the chip got the five defaults.
    const std::vector<sim::Transaction> startUp = {
        {0x7C, 0x80, true}, {0x7C, 0xC0, true}, {0x7C, 0xE0, true},
        {0x7C, 0x00, true}, {0x7C, 0x40, true},
    };
    EXPECT_EQ(rig.board.transactions(), startUp);
    EXPECT_EQ(rig.port.bytes.size(), 390u);
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
