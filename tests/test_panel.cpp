// The window, driven through the real widgets: a long random run of clicks and keys checked
// against a small model of the register rules, golden rows for what the model leaves out (the
// Tab order, a held press, the title after a failed write), and the window as rendered. What
// a screen reader says is Orca's to tell: tests/screenreader.py.
#include "board.h"
#include "qx5180.h"
#include "recordingport.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyleOptionSlider>
#include <QTest>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <sstream>

namespace {

// The real window on a recording port that feeds the simulated board.
struct PanelRig {
    sim::Board board;
    RecordingPort port{&board};
    std::string log;
    std::unique_ptr<QX5180> window;

    explicit PanelRig(std::set<long> failAt = {}, const std::string& simulated = {}) {
        port.failAt = std::move(failAt);
        window = std::make_unique<QX5180>(
            port, [this](std::string_view line) { log.append(line) += '\n'; }, simulated);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    template<class T = QWidget>
    T* find(const std::string& name) const {
        return window->findChild<T*>(QString::fromStdString(name));
    }
};

// The option buttons, each group in the order it stands on screen, with the value each stands
// for. Three pairs carry the caption their partner's name suggests; the value goes with the
// name. The differential pair has no input code.
struct Button {
    std::string name;
    std::string group;
    int value;
};
const std::vector<Button> kButtons = {
    {"mode0", "mode", 0},   {"mode1", "mode", 1},      {"mode2", "mode", 2},
    {"mode3", "mode", 3},   {"mode4", "mode", 4},      {"mode5", "mode", 5},
    {"mode6", "mode", 6},   {"mode7", "mode", 7},      {"mute", "input", 0},
    {"l2r2", "input", 2},   {"l1r1", "input", 1},      {"l1l2r1r2", "input", 3},
    {"Diff", "input", -1},  {"HP3Don", "hp3d", 1},     {"HP3Doff", "hp3d", 0},
    {"narrow", "3d", 0},    {"wide", "3d", 1},         {"ocl", "capacitor", 0},
    {"se", "capacitor", 1}, {"addrone", "address", 1}, {"addrzero", "address", 0},
};
const char* const kSliders[] = {"monovol", "leftvol", "rightvol", "vol3d"};
const char* const kStepBoxes[] = {"hfgainbox", "lgainbox", "rgainbox"};

// What the loudspeaker, left and right headphone carry in each mode.
const char* const kOutputs[] = {"SHUTDOWN SHUTDOWN SHUTDOWN",
                                "P MUTE MUTE",
                                "SHUTDOWN P P",
                                "L+R MUTE MUTE",
                                "SHUTDOWN L R",
                                "P+L+R MUTE MUTE",
                                "SHUTDOWN L+P R+P",
                                "R+L L R"};

// The chip's register map and the panel's send rules, apart from the panel's own table: each
// action sends each register it changes, at once, the mode register before the effect
// register; a selected button or a slider at its end sends nothing.
struct Model {
    std::array<int, 4> position{}; // the sliders
    std::map<std::string, std::string> selected = {
        {"mode", "mode0"}, {"input", "mute"},    {"hp3d", "HP3Doff"},
        {"3d", "narrow"},  {"capacitor", "ocl"}, {"address", "addrzero"},
    };
    int inputCode = 0; // kept under the differential pair
    int slot6 = 0;     // the address bit the frames carry; the reset clears it before the pin
    std::vector<sim::Transaction> sent;

    int value(const std::string& group) const { return button(selected.at(group)).value; }
    std::uint8_t reg(int r) const {
        const int diff = value("input") < 0;
        const std::uint8_t regs[] = {
            std::uint8_t(0x80 | position[0]),
            std::uint8_t(0xC0 | position[1]),
            std::uint8_t(0xE0 | position[2]),
            std::uint8_t(value("mode") | diff << 5 | value("capacitor") << 3),
            std::uint8_t(0x40 | inputCode << 4 | position[3] << 2 | value("3d") << 1 |
                         value("hp3d")),
        };
        return regs[r];
    }
    // The chip answers only to the address that its address-select pin gives.
    void send(int r) {
        sent.push_back({std::uint8_t(0x7C + slot6), reg(r), slot6 == value("address")});
    }

    void select(const Button& b) {
        if (selected[b.group] == b.name)
            return;
        selected[b.group] = b.name;
        if (b.group == "input" && b.value >= 0)
            inputCode = b.value;
        if (b.group == "address")
            slot6 = b.value;
        if (b.group == "mode" || b.group == "input" || b.group == "capacitor")
            send(3);
        if (b.group == "3d" || b.group == "hp3d" || (b.group == "input" && b.value >= 0))
            send(4);
    }
    void move(int slider, int to) {
        to = std::clamp(to, 0, slider == 3 ? 3 : 31);
        if (to == position[slider])
            return;
        position[slider] = to;
        send(slider == 3 ? 4 : slider);
    }
    // The reset puts every register back to its start-up value first (the address aside),
    // then selects the start-up buttons in turn, each of which sends when it was not selected
    // (with the pin at the old address until "0" is selected), then sends all five registers.
    void reset() {
        const Model before = *this;
        *this = Model{.sent = sent};
        selected["address"] = before.selected.at("address");
        for (const char* name : {"mode0", "ocl", "narrow", "HP3Doff", "addrzero", "mute"}) {
            const Button& b = button(name);
            if (before.selected.at(b.group) == b.name)
                continue;
            selected[b.group] = before.selected.at(b.group);
            select(b);
        }
        for (int r = 0; r < 5; ++r)
            send(r);
    }
    static const Button& button(const std::string& name) {
        return *std::find_if(kButtons.begin(), kButtons.end(),
                             [&](const Button& b) { return b.name == name; });
    }
};

// Where a part of the slider is drawn: the thumb, or the groove.
QRect thumb(const QSlider* s, QStyle::SubControl part = QStyle::SC_SliderHandle) {
    QStyleOptionSlider o;
    o.initFrom(s);
    o.minimum = s->minimum();
    o.maximum = s->maximum();
    o.tickPosition = s->tickPosition();
    o.sliderPosition = s->value();
    return s->style()->subControlRect(QStyle::CC_Slider, &o, part, s);
}

// Random clicks and keys, each checked as it happens: the writes the board decodes, then what
// every control shows and what every register holds.
TEST(Panel, EveryActionSendsWhatTheModelSays) {
    PanelRig rig;
    Model model;
    for (int r = 0; r < 5; ++r)
        model.send(r);
    std::mt19937 random(5180);
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    for (int step = 0; step < 600; ++step) {
        std::ostringstream action;
        const int kind = pick(8);
        if (kind <= 1) { // a click anywhere in an option button's rectangle
            const Button& b = kButtons[pick(int(kButtons.size()))];
            auto* w = rig.find(b.name);
            action << "click " << b.name;
            QTest::mouseClick(w, Qt::LeftButton, {}, {pick(w->width()), pick(w->height())});
            model.select(b);
        } else if (kind == 2) { // an arrow in a group, from its selected button, round the ends
            const Button& on = Model::button(model.selected.at(kButtons[pick(21)].group));
            std::vector<const Button*> group;
            for (const Button& b : kButtons)
                if (b.group == on.group)
                    group.push_back(&b);
            const int key = pick(4);
            const auto at = std::find(group.begin(), group.end(), &on) - group.begin();
            action << "arrow " << key << " on " << on.name;
            QTest::keyClick(rig.find(on.name),
                            std::array{Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up}[key]);
            model.select(*group[(at + (key < 2 ? 1 : group.size() - 1)) % group.size()]);
            EXPECT_EQ(rig.window->focusWidget(), rig.find(model.selected.at(on.group)));
        } else if (kind <= 5) { // a key on a slider
            const int s = pick(4);
            const int key = pick(6);
            const int page = s == 3 ? 5 : 1;
            action << "key " << key << " on " << kSliders[s];
            QTest::keyClick(rig.find(kSliders[s]),
                            std::array{Qt::Key_Right, Qt::Key_Left, Qt::Key_PageUp,
                                       Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End}[key]);
            const int p = model.position[s];
            model.move(s, std::array{p + 1, p - 1, p + page, p - page, 0, 99}[key]);
        } else if (kind == 6) { // a click beside the thumb, however near, pages towards it
            const int s = pick(4);
            auto* slider = rig.find<QSlider>(kSliders[s]);
            const QRect t = thumb(slider);
            const int side = pick(2) ? 1 : -1;
            const int x = side > 0 ? t.right() + 1 + pick(3) : t.left() - 1 - pick(3);
            action << "beside " << kSliders[s] << " at " << x;
            QTest::mouseClick(slider, Qt::LeftButton, {}, {x, t.center().y()});
            if (slider->rect().contains(x, 1))
                model.move(s, model.position[s] + side * (s == 3 ? 5 : 1));
        } else { // " DEFAULT" by click, Space, Return or Enter; typing into a box does nothing
            const int how = pick(5);
            action << "reset " << how;
            if (how == 4)
                QTest::keyClicks(rig.find(kStepBoxes[pick(3)]), "9x");
            else if (how == 0)
                QTest::mouseClick(rig.find("RESET"), Qt::LeftButton);
            else
                QTest::keyClick(rig.find("RESET"),
                                std::array{Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}[how - 1]);
            if (how < 4)
                model.reset();
        }
        SCOPED_TRACE("step " + std::to_string(step) + ": " + action.str());
        ASSERT_EQ(rig.board.transactions(), model.sent);
        ASSERT_TRUE(rig.board.faults().empty());
        EXPECT_EQ(rig.board.addressSelect(), model.value("address") == 1);
        for (int r = 0; r < 5; ++r)
            EXPECT_EQ(rig.board.reg(sim::Register(r)), model.reg(r)) << "register " << r;
        for (int s = 0; s < 4; ++s)
            EXPECT_EQ(rig.find<QSlider>(kSliders[s])->value(), model.position[s]);
        for (int s = 0; s < 3; ++s)
            EXPECT_EQ(rig.find<QLineEdit>(kStepBoxes[s])->text(),
                      QString::number(model.position[s] + 1));
        EXPECT_EQ(rig.find<QLineEdit>("RLS")->text() + " " + rig.find<QLineEdit>("LHP")->text() +
                      " " + rig.find<QLineEdit>("RHP")->text(),
                  kOutputs[model.value("mode")]);
        for (const Button& b : kButtons)
            EXPECT_EQ(rig.find<QAbstractButton>(b.name)->isChecked(),
                      model.selected.at(b.group) == b.name);
    }
}

// A held press beside the thumb keeps paging until the thumb reaches the pointer, never past:
// there the slider's repeat stops.
TEST(Panel, AHeldPressPagesUpToThePointer) {
    PanelRig rig;
    auto* slider = rig.find<QSlider>("monovol");
    const QPoint at(slider->width() / 2, thumb(slider).center().y());
    QTest::mousePress(slider, Qt::LeftButton, {}, at);
    QTRY_VERIFY_WITH_TIMEOUT(
        thumb(slider).contains(at) &&
            QAbstractEventDispatcher::instance()->registeredTimers(slider).isEmpty(),
        10000);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, at);
    EXPECT_TRUE(thumb(slider).contains(at)) << slider->value();
    EXPECT_EQ(rig.board.transactions().size(), 5 + std::size_t(slider->value()));
}

// Started from the desktop the panel has no terminal: the title says what drives the chip
// and whether the chip may not hold what the window shows, until every register has been
// written since; standard error gets one line per failed write. Start-up writes the
// loudspeaker at port writes 0 to 77.
TEST(Panel, TheTitleTellsAFailedWriteUntilEveryRegisterIsWrittenAgain) {
    const std::string simulated =
        "QX5180 Audio Program v1.1 \u2014 simulated board: no parallel port";
    const std::string failed = simulated + " \u2014 port write failed: Input/output error";
    PanelRig rig({20}, "no parallel port");
    std::vector<std::string> titles = {rig.window->windowTitle().toStdString()};
    for (const char* name : {"mode1", "RESET", "addrone", "mode2", "RESET"}) {
        if (name == std::string("addrone")) // its idle byte fails
            rig.port.failAt = {long(rig.port.bytes.size())};
        QTest::mouseClick(rig.find(name), Qt::LeftButton);
        titles.push_back(rig.window->windowTitle().toStdString());
    }
    EXPECT_EQ(titles, (std::vector{failed, failed, simulated, failed, failed, simulated}));
    EXPECT_EQ(rig.log, "qx5180: writing to test port failed during a register write: "
                       "Input/output error; the chip may not hold what the panel shows\n"
                       "qx5180: writing to test port failed during the address-select "
                       "line: Input/output error; the chip may not hold what the panel "
                       "shows\n");
}

double contrast(QRgb a, QRgb b) { // WCAG 2: relative luminances, (lighter + .05) / (darker + .05)
    const auto l = [](QRgb c) {
        double sum = .05;
        for (auto [v, w] : {std::pair{qRed(c), .2126}, {qGreen(c), .7152}, {qBlue(c), .0722}})
            sum += w * (v <= 10 ? v / 3294.6 : std::pow((v / 255.0 + .055) / 1.055, 2.4));
        return sum;
    };
    return std::max(l(a), l(b)) / std::min(l(a), l(b));
}

QImage shot(const PanelRig& rig) {
    return rig.window->grab().toImage();
}
QRect scaled(QRect r, qreal s) {
    return QRectF(r.x() * s, r.y() * s, r.width() * s, r.height() * s).toRect();
}

// The window opens exactly as the README's screenshot shows it (at scale 1), with the 32 px icon
// the package installs, and with the same pixels under a dark application palette, set before
// or after the window opens.
// What identifies a control (radio circles, slider grooves and thumbs, box borders, group
// frames) stands out from the window at 3:1 or more: inward from the middle of each side of the
// part (but a group's top, where its title is), one of the three outermost pixels does. Focus
// shows from the start on MONO VOLUME, then wherever it goes, as a ring of 3:1 or more against
// the unfocused pixels; nothing outside the focused control changes.
TEST(PanelLook, AsTheReadmeShowsItLightUnderADarkPaletteWithAFocusRing) {
    const QImage opened = shot(PanelRig());
    const QImage readme(QX_SOURCE_DIR "/docs/panel.png"); // made by qx5180-snapshot
    EXPECT_TRUE(opened.devicePixelRatio() != 1 ||
                opened.convertToFormat(readme.format()) == readme);
    QApplication::setPalette(QPalette(QColor(40, 40, 40), QColor(30, 30, 30)));
    PanelRig rig;
    EXPECT_EQ(rig.window->windowIcon().pixmap(QSize(32, 32), 1).toImage(),
              QImage(QX_SOURCE_DIR "/assets/qx5180.png")
                  .convertToFormat(QImage::Format_ARGB32_Premultiplied));
    QApplication::setPalette(QPalette(Qt::darkBlue));
    EXPECT_EQ(shot(rig), opened);
    rig.window->focusWidget()->clearFocus();
    const QImage plain = shot(rig);
    const qreal scale = plain.devicePixelRatio();
    const auto standsOut = [&](QWidget* w, QRect part) {
        const QRect r = scaled({w->mapTo(rig.window.get(), part.topLeft()), part.size()}, scale);
        for (const QPoint in : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
            const QPoint edge(in.x() ? (in.x() > 0 ? r.left() : r.right()) : r.center().x(),
                              in.y() ? (in.y() > 0 ? r.top() : r.bottom()) : r.center().y());
            double most = 1;
            for (int i = 0; i < 3 * scale && !(qobject_cast<QGroupBox*>(w) && in.y() > 0); ++i)
                most = std::max(most, contrast(plain.pixel(edge + i * in), plain.pixel(2, 2)));
            EXPECT_GE(most, qobject_cast<QGroupBox*>(w) && in.y() > 0 ? 1 : 3)
                << w->objectName().toStdString() << " at " << edge.x() << "," << edge.y();
        }
    };
    for (QWidget* w : rig.window->findChildren<QWidget*>()) {
        const int side = w->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth);
        if (auto* s = qobject_cast<QSlider*>(w)) {
            standsOut(w, thumb(s));
            standsOut(w, thumb(s, QStyle::SC_SliderGroove));
        } else if (qobject_cast<QRadioButton*>(w)) {
            standsOut(w, QRect(0, (w->height() - side) / 2, side, side));
        } else if (qobject_cast<QLineEdit*>(w) || qobject_cast<QGroupBox*>(w)) {
            standsOut(w, w->rect());
        }
    }
    for (const char* name : {"monovol", "vol3d", "hfgainbox", "RLS", "RESET", "mode0", "addrone"}) {
        QWidget* w = rig.find(name);
        w->setFocus(Qt::TabFocusReason);
        const QImage on = name == std::string("monovol") ? opened : shot(rig);
        const QRect own =
            scaled({w->mapTo(w->window(), QPoint()), w->size()}, on.devicePixelRatio());
        QRect ring; // bounds the pixels changed by 3:1 or more
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x) {
                const double c = contrast(on.pixel(x, y), plain.pixel(x, y));
                EXPECT_TRUE(c == 1 || own.contains(x, y)) << name;
                if (c >= 3)
                    ring |= QRect(x, y, 1, 1);
            }
        double least = 99; // on the ring's outline
        for (int y = ring.top(); y <= ring.bottom(); ++y)
            for (int x = ring.left(); x <= ring.right(); ++x)
                if (!ring.adjusted(1, 1, -1, -1).contains(x, y))
                    least = std::min(least, contrast(on.pixel(x, y), plain.pixel(x, y)));
        EXPECT_TRUE(least >= 3 && ring.width() * ring.height() >= 100) << name << ' ' << least;
    }
    QApplication::setPalette(QApplication::style()->standardPalette());
}

} // namespace

// One application object on Qt's offscreen platform, so the tests run without a display,
// with the panel's own style.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setStyle("Fusion");
    return RUN_ALL_TESTS();
}
