// The window, driven through the real widgets: a long random run of clicks and keys checked
// against a small model of the register rules, golden rows for what the model leaves out (the
// Tab order, a held press, the title after a failed write), and the window as rendered. What
// a screen reader says is Orca's to tell: tests/screenreader.py.
#include "board.h"
#include "buttons.h"
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

double contrast(QRgb a, QRgb b) { // WCAG 2: relative luminances, (lighter + .05) / (darker + .05)
    const auto l = [](QRgb c) {
        double sum = .05;
        for (auto [v, w] : {std::pair{qRed(c), .2126}, {qGreen(c), .7152}, {qBlue(c), .0722}})
            sum += w * (v <= 10 ? v / 3294.6 : std::pow((v / 255.0 + .055) / 1.055, 2.4));
        return sum;
    };
    return std::max(l(a), l(b)) / std::min(l(a), l(b));
}

// The thumb as rendered: the columns of the dark run along its top, clear of the focus ring on
// the slider's edges.
QRect drawnThumb(QSlider* s) {
    const QImage shown = s->grab().toImage();
    QRect run;
    for (int x = 2; x < shown.width() - 2; ++x)
        if (contrast(shown.pixel(x, thumb(s).top()), s->palette().window().color().rgb()) >= 3)
            run |= QRect(x, thumb(s).top(), 1, thumb(s).height());
    return run;
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
    int besides = 0; // every slider, side and distance in turn
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
            const int key = pick(4);
            action << "arrow " << key << " on " << on.name;
            QTest::keyClick(rig.find(on.name),
                            std::array{Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up}[key]);
            auto next = std::size_t(&on - kButtons.data()); // the group's next, round the ends
            do
                next = (next + (key < 2 ? 1 : kButtons.size() - 1)) % kButtons.size();
            while (kButtons[next].group != on.group);
            model.select(kButtons[next]);
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
        } else if (kind == 6) { // a press 1 to 3 px beside the drawn thumb pages once; on its
            // edge, not. Held there from three steps back (every other round, with a page to go),
            // it pages up to that thumb, or one step past it, and no further (nor once the
            // pointer goes back behind it): a write a page.
            const int s = besides % 4;
            const int side = besides / 4 % 2 ? 1 : -1;
            const int off = besides / 8 % 4;
            const int page = s == 3 ? 5 : 1;
            auto* slider = rig.find<QSlider>(kSliders[s]);
            const QRect t = drawnThumb(slider);
            const QPoint at(side > 0 ? t.right() + off : t.left() - off, t.center().y());
            const bool inside = slider->rect().contains(at.x(), 1);
            int to = std::clamp(model.position[s] + (off > 0 && inside) * side * page, 0,
                                s == 3 ? 3 : 31);
            action << "press beside " << kSliders[s] << " at " << at.x();
            const bool far =
                besides++ / 32 % 2 && s < 3 && inside && (off == 0 || to != model.position[s]);
            if (far) {
                action << " held from three steps back";
                slider->setValue(std::clamp(model.position[s] - 3 * side, 0, 31));
                model.move(s, slider->value());
            }
            QTest::mousePress(slider, Qt::LeftButton, {}, at);
            if (far && besides % 3 == 0) { // taken back behind the thumb: it stops where it is
                const QRect now = drawnThumb(slider);
                QTest::mouseMove(slider, {side > 0 ? now.left() - 2 : now.right() + 2, at.y()});
                to = slider->value();
            }
            ASSERT_TRUE(!far || QTest::qWaitFor([&] { // the slider's repeat stops: no timer left
                return QAbstractEventDispatcher::instance()->registeredTimers(slider).isEmpty();
            })) << action.str()
                << " still paging at " << slider->value();
            QTest::mouseRelease(slider, Qt::LeftButton, {}, at);
            while (model.position[s] != to)
                model.move(s, model.position[s] + std::clamp(to - model.position[s], -page, page));
        } else { // " DEFAULT" by click, Space, Return or Enter; two arrows there or typing, nothing
            const int how = pick(6);
            action << "reset " << how;
            if (how == 4)
                QTest::keyClicks(rig.find(kStepBoxes[pick(3)]), "9x");
            else if (how == 5) { // Left, Up, Right or Down, twice
                const auto arrow = Qt::Key(Qt::Key_Left + pick(4));
                rig.find("RESET")->setFocus();
                for (int i = 0; i < 2; ++i)
                    QTest::keyClick(rig.window->focusWidget(), arrow);
                EXPECT_EQ(rig.window->focusWidget(), rig.find("RESET"));
            } else if (how == 0)
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
        // What each selected option is heard to do, from the board's decoding: the outputs the
        // boxes show, the inputs, the switches, the address the chip answers at. The words of
        // the three crossed pairs go with their captions.
        const int mode = rig.board.reg(sim::Register(3)).value();
        const int fx = rig.board.reg(sim::Register(4)).value();
        const std::array inputs{"inputs muted", "input L2 and R2", "input L1 and R1",
                                "input L1+L2 and R1+R2"};
        const std::map<std::string, std::string> heard = {
            {"mode", "outputs " + QString(kOutputs[mode & 7]).replace(" ", ", ").toStdString()},
            {"input", mode & 0x20 ? "differential input" : inputs[fx >> 4 & 3]},
            {"hp3d", fx & 1 ? "3D on the headphones" : "no 3D on the headphones"},
            {"3d", fx & 2 ? "narrow 3D" : "wide 3D"},
            {"capacitor", mode & 8 ? "capacitor-less outputs" : "single-ended outputs"},
            {"address", rig.board.addressSelect() ? "address 0x7D" : "address 0x7C"}};
        for (const auto& [group, effect] : heard)
            EXPECT_EQ(rig.find(model.selected.at(group))->accessibleDescription().toStdString(),
                      effect);
    }
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

QRect scaled(QRect r, qreal s) {
    return QRectF(r.x() * s, r.y() * s, r.width() * s, r.height() * s).toRect();
}

// The window opens exactly as the README's screenshot, made by qx5180-snapshot, shows it: at
// scale 1, the screenshot's (test_panel_scale2 leaves this test out).
TEST(PanelLook, OpensAsTheReadmeShowsIt) {
    const QImage readme(QX_SOURCE_DIR "/docs/panel.png");
    EXPECT_EQ(PanelRig().window->grab().toImage().convertToFormat(readme.format()), readme);
}

// The window opens with the same pixels under a dark application palette, set before or after
// the window opens. What identifies a control (radio circles, slider grooves and thumbs, box
// borders, group frames) stands out from the window at 3:1 or more: inward from the middle of
// each side of the part, one of the three outermost pixels does.
TEST(PanelLook, LightUnderADarkPaletteWithAFocusRing) {
    const QImage opened = PanelRig().window->grab().toImage();
    QApplication::setPalette(QPalette(QColor(40, 40, 40), QColor(30, 30, 30)));
    PanelRig rig;
    QApplication::setPalette(QPalette(Qt::darkBlue));
    EXPECT_EQ(rig.window->grab().toImage(), opened);
    rig.window->focusWidget()->clearFocus();
    const QImage plain = rig.window->grab().toImage();
    const qreal scale = plain.devicePixelRatio();
    const auto standsOut = [&](QWidget* w, QRect part) {
        const QRect r = scaled({w->mapTo(rig.window.get(), part.topLeft()), part.size()}, scale);
        for (const QPoint in : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
            // A group's top runs under its title: looked for in its upper half, at
            // its right end, clear of the title.
            const bool top = qobject_cast<QGroupBox*>(w) && in.y() > 0;
            const QPoint edge(in.x() ? (in.x() > 0 ? r.left() : r.right())
                                     : (top ? r.right() - 4 * scale : r.center().x()),
                              in.y() ? (in.y() > 0 ? r.top() : r.bottom()) : r.center().y());
            double most = 1;
            for (int i = 0; i < (top ? w->height() / 2 : 3) * scale; ++i)
                most = std::max(most, contrast(plain.pixel(edge + i * in), plain.pixel(2, 2)));
            EXPECT_GE(most, 3) << w->objectName().toStdString() << " at " << edge.x() << ","
                               << edge.y();
        }
    };
    for (QWidget* w : rig.window->findChildren<QWidget*>()) {
        const int side = w->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth);
        if (auto* s = qobject_cast<QSlider*>(w)) {
            standsOut(w, thumb(s));
            standsOut(w, thumb(s, QStyle::SC_SliderGroove));
        } else if (qobject_cast<QRadioButton*>(w)) {
            standsOut(w, QRect(0, (w->height() - side) / 2, side, side));
        } else if (qobject_cast<QLineEdit*>(w) || qobject_cast<QGroupBox*>(w) ||
                   qobject_cast<QAbstractButton*>(w)) {
            standsOut(w, w->rect());
        }
    }
    QApplication::setPalette(QApplication::style()->standardPalette());
}

// Under fonts other than DejaVu Sans, for which the layout was measured (Liberation Sans, as
// where DejaVu is missing, and the wider DejaVu Serif), captions shrink to fit: none inks the
// first or last row of its caption's rectangle, or its last column and what lies right of it
// (the gap, which neighbours overlap by the layout's rounding), so none is cut and a blank
// column parts it from the next circle.
TEST(PanelLook, CaptionsFitUnderOtherFonts) {
    const QFont before = QApplication::font();
    for (const char* family : {"Liberation Sans", "DejaVu Serif"}) {
        QApplication::setFont(QFont(family));
        ASSERT_TRUE(QFontInfo(QApplication::font()).exactMatch()) << "*** no " << family << " ***";
        PanelRig rig;
        for (OptionButton* b : rig.window->findChildren<OptionButton*>()) {
            const QImage image = b->grab().toImage();
            const qreal s = image.devicePixelRatio();
            const QRect r = scaled(b->captionRect(), s);
            for (int y = 0; y < image.height(); ++y)
                for (int x = r.left(); x < image.width(); ++x)
                    EXPECT_FALSE(qGray(image.pixel(x, y)) < 200 &&
                                 (y == r.top() || y == r.bottom() || x >= r.right()))
                        << family << ' ' << b->objectName().toStdString() << " at " << x << ','
                        << y;
        }
    }
    QApplication::setFont(before);
}

} // namespace

// One application object on Qt's offscreen platform, so the tests run without a display; the
// panel brings its own style.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
