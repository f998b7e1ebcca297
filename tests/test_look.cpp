// What the panel looks like and how it answers arrows, clicks beside the thumb and a screen
// reader, measured on the rendered window and through Qt's accessibility interfaces.
#include "panelrig.h"

#include <QAccessible>
#include <QLabel>
#include <QStyleOptionSlider>

#include <cmath>
#include <iostream>

namespace {

using test::PanelRig;

double contrast(QRgb a, QRgb b) {
    auto lum = [](QRgb c) {
        auto lin = [](int v) {
            return v <= 10 ? v / 3294.6 : std::pow((v / 255.0 + .055) / 1.055, 2.4);
        };
        return .2126 * lin(qRed(c)) + .7152 * lin(qGreen(c)) + .0722 * lin(qBlue(c));
    };
    return (std::max(lum(a), lum(b)) + .05) / (std::min(lum(a), lum(b)) + .05);
}

QImage shot(const PanelRig& rig) {
    return rig.window->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Device pixels of a control's rectangle, in window coordinates.
QRect onImage(const QWidget* w, const QImage& image, QRect r = {}) {
    const qreal s = image.devicePixelRatio();
    r = (r.isNull() ? w->rect() : r).translated(w->mapTo(w->window(), QPoint()));
    return QRect(qRound(r.x() * s), qRound(r.y() * s), qRound(r.width() * s),
                 qRound(r.height() * s));
}

TEST(PanelLook, StaysLightUnderADarkApplicationPalette) {
    const QImage light = shot(PanelRig());
    QPalette dark(QColor(40, 40, 40), QColor(30, 30, 30));
    QApplication::setPalette(dark);
    PanelRig rig;
    QApplication::setPalette(QPalette(Qt::darkBlue));
    EXPECT_TRUE(shot(rig) == light);
    QApplication::setPalette(QApplication::style()->standardPalette());
}

// Focus shows at once on MONO VOLUME, then wherever Tab puts it; nothing else changes.
TEST(PanelLook, FocusRingStandsOutAndOnlyOnTheFocusedControl) {
    PanelRig rig;
    const QImage opened = shot(rig);
    rig.window->focusWidget()->clearFocus();
    const QImage plain = shot(rig);
    for (const char* name :
         {"monovol", "vol3d", "hfgainbox", "RLS", "RESET", "mode0", "addrzero"}) {
        QWidget* w = rig.find(name);
        w->setFocus(Qt::TabFocusReason);
        const QImage focused = name == std::string("monovol") ? opened : shot(rig);
        const QRect inside = onImage(w, plain);
        QRect ring; // around the pixels that changed by 3:1 or more; its outline must be all such
        const auto strong = [&](int x, int y) {
            return contrast(focused.pixel(x, y), plain.pixel(x, y)) >= 3;
        };
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x) {
                EXPECT_TRUE(inside.contains(x, y) || focused.pixel(x, y) == plain.pixel(x, y));
                ring |= strong(x, y) ? QRect(x, y, 1, 1) : QRect();
            }
        double least = 99;
        for (const QRect side :
             {ring.adjusted(0, 0, 0, 1 - ring.height()), ring.adjusted(0, ring.height() - 1, 0, 0),
              ring.adjusted(0, 0, 1 - ring.width(), 0), ring.adjusted(ring.width() - 1, 0, 0, 0)})
            for (int y = side.top(); y <= side.bottom(); ++y)
                for (int x = side.left(); x <= side.right(); ++x)
                    least = std::min(least, contrast(focused.pixel(x, y), plain.pixel(x, y)));
        EXPECT_GE(least, 3.0) << name;
        EXPECT_GE(ring.width() * ring.height(), 100) << name;
        std::cout << name << ": ring " << ring.width() << 'x' << ring.height()
                  << " px, least contrast " << least << ":1\n";
    }
}

// With either font: no caption is cut at the top or bottom, no option caption reaches the
// column before the next control's indicator, and the address circles are whole.
TEST(PanelLook, CaptionsKeepClearOfTheirNeighbours) {
    for (const char* family : {"DejaVu Sans", "Liberation Sans"}) {
        if (!QFontInfo(QFont(family)).exactMatch()) {
            ADD_FAILURE() << "*** font " << family << " is not installed; install-deps --test ***";
            continue;
        }
        QApplication::setFont(QFont(family));
        PanelRig rig;
        const QImage image = shot(rig);
        const auto ink = [&](int x, int y) { return qGray(image.pixel(x, y)) < 150; };
        for (QWidget* w : rig.window->findChildren<QWidget*>()) {
            auto* b = qobject_cast<OptionButton*>(w);
            const QRect r = onImage(w, image, b ? b->captionRect() : QRect());
            auto* l = qobject_cast<QLabel*>(w);
            if ((!b && (!l || l->text().isEmpty())) || !image.rect().contains(r))
                continue;
            for (int x = r.left(); x <= r.right(); ++x)
                EXPECT_FALSE(ink(x, r.top()) || ink(x, r.bottom()))
                    << family << w->objectName().toStdString();
            for (int y = r.top(); y <= r.bottom() && b; ++y)
                EXPECT_FALSE(ink(r.right(), y)) << family << ' ' << w->objectName().toStdString();
        }
        for (const char* name : {"addrone", "addrzero"}) {
            const QRect r = onImage(rig.find(name), image);
            QRect circle;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x < r.left() + r.height(); ++x)
                    if (ink(x, y))
                        circle |= QRect(x, y, 1, 1);
            EXPECT_EQ(circle.height(), circle.width()) << name;
        }
        EXPECT_EQ(rig.find("Label8")->font(), rig.find("Label9")->font()) << family;
    }
    QApplication::setFont(QFont());
}

// Right and Down select the next button on screen, Left and Up the previous, round both ends;
// the selection sends as a click does ("7C:07": address 0x7C, data 0x07).
TEST(PanelKeys, ArrowsGoRoundEveryGroup) {
    const std::tuple<const char*, Qt::Key, const char*, std::vector<int>> rows[] = {
        {"mode0", Qt::Key_Left, "mode7", {0x07}},  {"mode7", Qt::Key_Right, "mode0", {0x00}},
        {"mode2", Qt::Key_Up, "mode1", {0x01}},    {"mute", Qt::Key_Down, "l2r2", {0x00, 0x60}},
        {"mute", Qt::Key_Left, "Diff", {0x20}},    {"Diff", Qt::Key_Down, "mute", {0x00, 0x40}},
        {"narrow", Qt::Key_Up, "wide", {0x42}},    {"HP3Doff", Qt::Key_Right, "HP3Don", {0x41}},
        {"addrzero", Qt::Key_Down, "addrone", {}}, {"ocl", Qt::Key_Left, "se", {0x08}}};
    for (const auto& [from, key, to, sent] : rows) {
        PanelRig rig;
        rig.button(from)->click();
        rig.button(from)->setFocus();
        const std::size_t mark = rig.board.transactions().size();
        QTest::keyClick(rig.window->focusWidget(), key);
        EXPECT_TRUE(rig.button(to)->isChecked() && rig.button(to)->hasFocus()) << from << key;
        std::vector<int> data;
        for (std::size_t i = mark; i < rig.board.transactions().size(); ++i)
            data.push_back(rig.board.transactions()[i].data);
        EXPECT_EQ(data, sent) << from << ' ' << key;
    }
}

QRect thumb(const QSlider* s) {
    QStyleOptionSlider o;
    o.initFrom(s);
    o.orientation = s->orientation();
    o.minimum = s->minimum(), o.maximum = s->maximum();
    o.sliderPosition = o.sliderValue = s->value();
    return s->style()->subControlRect(QStyle::CC_Slider, &o, QStyle::SC_SliderHandle, s);
}

// One large step towards a click 1 or 3 px beside the thumb: 1 on a volume, 5 on the 3D level.
TEST(PanelMouse, ClickBesideTheThumbPagesAndHoldingRepeats) {
    const std::tuple<const char*, int, int, int> rows[] = {
        {"monovol", 15, -1, 14}, {"leftvol", 15, 1, 16}, {"rightvol", 0, 3, 1}, {"vol3d", 0, 1, 3},
        {"vol3d", 0, 3, 3},      {"vol3d", 1, -1, 0},    {"vol3d", 1, 1, 3},    {"vol3d", 2, -3, 0},
        {"vol3d", 2, 1, 3},      {"vol3d", 3, -1, 0},    {"vol3d", 3, -3, 0}};
    PanelRig rig;
    for (const auto& [name, from, beside, to] : rows) {
        QSlider* s = rig.slider(name);
        s->setValue(from);
        const QRect t = thumb(s);
        QTest::mouseClick(s, Qt::LeftButton, {},
                          {beside < 0 ? t.left() + beside : t.right() + beside, 5});
        EXPECT_EQ(s->value(), to) << name << ' ' << from << ' ' << beside;
    }
    QSlider* s = rig.slider("monovol");
    s->setValue(0);
    const QPoint pointer(s->width() / 2, 5);
    QTest::mousePress(s, Qt::LeftButton, {}, pointer);
    QTest::qWait(2000);
    QTest::mouseRelease(s, Qt::LeftButton, {}, pointer);
    EXPECT_TRUE(thumb(s).left() <= pointer.x() && pointer.x() <= thumb(s).right()) << s->value();
}

// A screen reader reads a slider as the step shown beside it: the box's number, or the word
// under the 3D level's tick.
TEST(PanelAccess, SlidersReadAsTheStepTheScreenShows) {
    const std::tuple<const char*, const char*, int, const char*> rows[] = {
        {"monovol", "Right", 2, "2"}, {"leftvol", "End", 32, "32"},  {"vol3d", "Home", 1, "low"},
        {"vol3d", "Right", 2, "med"}, {"vol3d", "Right", 3, "high"}, {"vol3d", "End", 4, "max"}};
    PanelRig rig;
    for (const auto& [name, key, value, text] : rows) {
        rig.find(name)->setFocus();
        QTest::keyClick(rig.find(name), QKeySequence(key)[0].key());
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(rig.find(name));
        EXPECT_EQ(a->valueInterface()->currentValue(), value) << name << ' ' << key;
        EXPECT_EQ(a->text(QAccessible::Value), text) << name << ' ' << key;
    }
}

} // namespace
