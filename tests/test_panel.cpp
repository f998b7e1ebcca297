// The window, driven through the real widgets: a golden table of short scripts of actions and
// of what the controls show between them, each with the writes the chip must get, and what
// must hold after any script; then the window as rendered: as the README's screenshot, one
// light look whatever the palette, a focus ring that can be seen, captions that keep clear of
// their neighbours.
#include "board.h"
#include "qx5180.h"
#include "recordingport.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <sstream>

namespace {

using Strings = std::vector<std::string>;
using Writes = std::set<long>;

// The real window on a recording port that feeds the simulated board.
struct PanelRig {
    sim::Board board;
    RecordingPort port{&board};
    std::ostringstream diagnostics;
    std::unique_ptr<QX5180> window;

    explicit PanelRig(const QString& simulated = {}, Writes failAt = {}, bool unplugged = false) {
        port.failAt = failAt, port.unplugged = unplugged;
        window = std::make_unique<QX5180>(port, diagnostics, simulated);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get())) << "the window never appeared";
    }
    QWidget* find(const char* name) const { return window->findChild<QWidget*>(name); }
};

// Where the slider's thumb is drawn.
QRect thumb(const QSlider* s) {
    QStyleOptionSlider o;
    o.initFrom(s);
    o.minimum = s->minimum(), o.maximum = s->maximum(), o.tickPosition = s->tickPosition();
    o.sliderPosition = o.sliderValue = s->value();
    return s->style()->subControlRect(QStyle::CC_Slider, &o, QStyle::SC_SliderHandle, s);
}

// One user action:
//   click W [x y]   left click on W, at its centre or at x,y (negative: from the far edge)
//   key W K [N]     key K (as Qt spells it: Right, PgUp, Down, Space, ...), N times, with
//                   the focus put on W first
//   press K [N]     the same on whatever has the focus
//   beside W d      left click d px right of the thumb's right edge, or -d px left of its left
//                   (0: on the thumb's last pixel)
void act(PanelRig& rig, const std::string& action) {
    std::istringstream in(action);
    std::string verb, name;
    in >> verb >> name;
    if (verb == "key")
        rig.find(name.c_str())->setFocus(), in >> name;
    const std::vector<int> n{std::istream_iterator<int>(in), {}};
    QWidget* w = rig.find(name.c_str());
    if (verb == "key" || verb == "press") {
        for (int i = n.empty() ? 1 : n[0]; i-- > 0;)
            QTest::keyClick(rig.window->focusWidget(),
                            QKeySequence(QString::fromStdString(name))[0].key());
    } else if (verb == "beside") {
        const QRect t = thumb(qobject_cast<QSlider*>(w));
        QTest::mouseClick(w, Qt::LeftButton, {}, {(n[0] < 0 ? t.left() : t.right()) + n[0], 5});
    } else {
        EXPECT_EQ(verb, "click") << action;
        const QPoint at = n.size() == 2 ? QPoint((n[0] + w->width()) % w->width(),
                                                 (n[1] + w->height()) % w->height())
                                        : w->rect().center();
        QTest::mouseClick(w, Qt::LeftButton, {}, at);
    }
}

// What a control shows: a slider its position, a box its text, an option button "on" or
// "off"; "focus" names the control that has the focus, "title" is the window's title, "@W"
// the name a screen reader reads for W, "#W" the description, "%W" the value.
std::string shown(const PanelRig& rig, const std::string& name) {
    if (const auto role = std::string("@#%").find(name[0]); role != std::string::npos)
        return QAccessible::queryAccessibleInterface(rig.find(name.c_str() + 1))
            ->text(QAccessible::Text(role)) // Name, Description, Value
            .toStdString();
    if (name == "title")
        return rig.window->windowTitle().toStdString();
    if (name == "focus")
        return rig.window->focusWidget()->objectName().toStdString();
    if (auto* l = qobject_cast<QLabel*>(rig.find(name.c_str())))
        return l->pixmap().isNull() ? l->text().toStdString() : "picture";
    if (auto* s = qobject_cast<QSlider*>(rig.find(name.c_str())))
        return std::to_string(s->value());
    if (auto* e = qobject_cast<QLineEdit*>(rig.find(name.c_str())))
        return e->text().toStdString();
    return qobject_cast<QAbstractButton*>(rig.find(name.c_str()))->isChecked() ? "on" : "off";
}

// Everything that must hold after any action; empty when it does.
std::string broken(const PanelRig& rig) {
    std::ostringstream why;
    const auto on = [&](const char* b) { return int(shown(rig, b) == "on"); };
    const auto at = [&](const char* s) { return std::stoi(shown(rig, s)); };
    const auto selected = [&](std::initializer_list<const char*> group) {
        return int(std::find_if(group.begin(), group.end(), on) - group.begin());
    };
    if (!rig.board.faults().empty())
        why << "bus fault: " << rig.board.faults().front() << "; ";
    if (rig.board.addressSelect() != on("addrone"))
        why << "address-select pin does not follow the address buttons; ";

    const int mode =
        selected({"mode0", "mode1", "mode2", "mode3", "mode4", "mode5", "mode6", "mode7"});
    const int input = selected({"mute", "l1r1", "l2r2", "l1l2r1r2", "Diff"});
    const bool diff = input == 4;
    const int want[sim::kRegisterCount] = {0x80 | at("monovol"), 0xC0 | at("leftvol"),
                                           0xE0 | at("rightvol"), mode | diff << 5 | on("se") << 3,
                                           0x40 | (diff ? 0 : input << 4) | at("vol3d") << 2 |
                                               on("wide") << 1 | on("HP3Don")};
    for (int r = 0; r < sim::kRegisterCount; ++r) {
        // Under a differential input the input code is whatever the last single-ended choice
        // left, which no control shows.
        const int mask = r == 4 && diff ? 0xCF : 0xFF;
        const auto held = rig.board.reg(static_cast<sim::Register>(r));
        if (!held || (*held & mask) != (want[r] & mask))
            why << "register " << r << " holds " << (held ? *held : -1) << ", the controls show "
                << want[r] << "; ";
    }
    return why.str();
}

// "a, b, c" as {"a", "b", "c"}
Strings split(const std::string& list) {
    Strings items;
    for (std::size_t at = 0, end; at < list.size(); at = end + 2)
        items.push_back(list.substr(at, (end = std::min(list.find(", ", at), list.size())) - at));
    return items;
}

struct Row {
    const char* name;
    std::string script; // actions, and what the controls show by then: "name=value", or
                        // "name" for "name=on"
    std::string sent;   // "*": not checked
    Writes failAt = {}; // the port writes that fail, and whether every later one does
    bool unplugged = false;
    const char* simulatedBecause = "";
};

class Handlers : public testing::TestWithParam<Row> {};

// What the chip was sent reads "7C:85" per write, with "!" after one nobody acknowledged.
TEST_P(Handlers, SendWhatTheControlsShow) {
    const Row& row = GetParam();
    PanelRig rig(row.simulatedBecause, row.failAt, row.unplugged);
    const std::size_t mark = rig.board.transactions().size();
    for (const std::string& step : split(row.script)) {
        const std::size_t is = step.find('='), name = std::min(is, step.size());
        if (step.find(' ') < is)
            act(rig, step);
        else
            EXPECT_EQ(step.substr(0, name) + "=" + shown(rig, step.substr(0, name)),
                      is == std::string::npos ? step + "=on" : step);
    }
    std::string sent;
    for (std::size_t i = mark; i < rig.board.transactions().size(); ++i) {
        const sim::Transaction& t = rig.board.transactions()[i];
        sent +=
            QString::asprintf(" %02X:%02X%s", t.address, t.data, t.ack ? "" : "!").toStdString();
    }
    EXPECT_EQ(row.sent == "*" ? "*" : sent.substr(sent.empty() ? 0 : 1), row.sent);
    EXPECT_EQ(row.failAt.empty() ? broken(rig) : "", ""); // failures break what is shown
}

const std::string kStartUp = "7C:80 7C:C0 7C:E0 7C:00 7C:40";
const std::string kPlain = "title=QX5180 Audio Program v1.1";
const std::string kEio = kPlain + " — port write failed: Input/output error";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Golden, Handlers, testing::ValuesIn(std::vector<Row>{
    // Level sliders: the volume code in bits 4-0, the step text one more than the position;
    // a key at an end of the range moves nothing and sends nothing.
    {"VolumeKeys", "key leftvol End, key leftvol End, lgainbox=32, key monovol PgUp, "
     "key monovol Right, hfgainbox=3, key monovol Left 3, hfgainbox=1", "7C:DF 7C:81 7C:82 7C:81 "
     "7C:80"},
    {"StepAndOutputBoxesAreReadOnly", "key hfgainbox 9, key RLS Backspace, key RHP X, "
     "hfgainbox=1, RLS=SHUTDOWN, RHP=SHUTDOWN", ""},
    {"ReturnAndEnterPressDefault", "press Tab 3, press Return, press Enter, focus=RESET",
     kStartUp + " " + kStartUp},
    // What each output carries in each mode. "L+R" in mode 3 and "R+L" in mode 7 differ. The
    // whole rectangle of an option button answers, not only its caption.
    {"Modes", "click mode1, RLS=P, LHP=MUTE, RHP=MUTE, click mode2, RLS=SHUTDOWN, LHP=P, RHP=P, "
     "click mode3, RLS=L+R, LHP=MUTE, RHP=MUTE, click mode4, RLS=SHUTDOWN, LHP=L, RHP=R, "
     "click mode5, RLS=P+L+R, LHP=MUTE, RHP=MUTE, click mode6, RLS=SHUTDOWN, LHP=L+P, RHP=R+P, "
     "click mode7 -2 -2, RLS=R+L, LHP=L, RHP=R", "7C:01 7C:02 7C:03 7C:04 7C:05 7C:06 7C:07"},
    // Three pairs carry the caption their partner's name suggests; values go with the name.
    {"CrossedPairs", "click wide, click se, click ocl, click l2r2, click l1r1",
     "7C:42 7C:08 7C:00 7C:00 7C:62 7C:00 7C:52"},
    // A single-ended input sends the mode register first; the differential input sends only
    // the mode register and keeps the input code.
    {"InputsAndDifferential", "click l1l2r1r2, click Diff, click HP3Don, click mute, "
     "click HP3Doff, click l2r2, click se, click Diff, click HP3Don", "7C:00 7C:70 7C:20 7C:71 "
     "7C:00 7C:41 7C:40 7C:00 7C:60 7C:08 7C:28 7C:61"},
    {"SelectedButtonsTestGroupsAndLabelsSendNothing",
     "click mute, click digloop, click Label1, click Picture1, digloop", ""},
    // Address select: only the idle byte moves the pin; later writes go to 0x7D.
    {"AddressOne", "click addrone, key monovol Right, click wide, click addrzero, addrzero",
     "7D:81 7D:42"},
    // Tab goes round the controls in the order the README gives, one stop per option group,
    // on its selected button; Shift+Tab goes back.
    {"TabOrder", "press Tab, focus=leftvol, press Tab, focus=rightvol, press Tab, focus=RESET, "
     "press Tab, focus=addrzero, press Tab, focus=hfgainbox, press Tab, focus=lgainbox, "
     "press Tab, focus=rgainbox, press Tab, focus=RHP, press Tab, focus=mode0, press Tab, "
     "focus=RLS, press Tab, focus=LHP, press Tab, focus=HP3Doff, press Tab, focus=vol3d, "
     "press Tab, focus=ocl, press Tab, focus=narrow, press Tab, focus=mute, press Tab, "
     "focus=monovol, press Backtab, focus=mute, press Backtab 4, focus=HP3Doff", ""},
    // Right and Down select the next button on screen, Left and Up the previous, round both
    // ends, sending as a click does.
    {"ArrowsGoRoundModes", "key mode0 Left, press Right, press Up, press Down 2, press Down, "
     "mode2, focus=mode2", "7C:07 7C:00 7C:07 7C:00 7C:01 7C:02"},
    {"ArrowsGoRoundInputs", "key mute Left, press Right, press Down, press Up, focus=mute",
     "7C:20 7C:00 7C:40 7C:00 7C:60 7C:00 7C:40"},
    {"ArrowsGoRoundPairs", "key narrow Up, key HP3Doff Right, key ocl Left, key addrzero Down, "
     "key monovol Right, wide, HP3Don, se, addrone", "7C:42 7C:43 7C:08 7D:81"},
    // A screen reader reads and hears the step each slider's box shows.
    {"ScreenReadersHearTheStep", "key monovol Right, key vol3d Right 2, %monovol=2, "
     "%vol3d=high, %RLS=SHUTDOWN, key vol3d End, %vol3d=max", "7C:81 7C:44 7C:48 7C:4C"},
    // A click beside the thumb, however near, pages towards it: 1 on a volume, 5 on 3D; a
    // click on the thumb's last pixel takes the thumb.
    {"ClickBesideTheThumbPages", "beside monovol 1, beside monovol 3, key monovol End, "
     "beside monovol -1, beside vol3d 1, beside vol3d -1, key vol3d Right, beside vol3d -1, "
     "key vol3d Right 2, beside vol3d 1, beside vol3d -3, key vol3d Right, beside vol3d 3, "
     "key vol3d Left, beside vol3d -3, beside vol3d 0, vol3d=0", "7C:81 7C:82 7C:9F 7C:9E 7C:4C "
     "7C:40 7C:44 7C:40 7C:44 7C:48 7C:4C 7C:40 7C:44 7C:4C 7C:48 7C:40"},
    // Started from the desktop, the panel has no terminal: the title tells what drives the
    // chip, and whether the chip holds what the window shows. A failure stands until the
    // register it hit is written again. Start-up writes the loudspeaker at port writes 0 to
    // 77, the effect register at 312 to 389.
    {"TitleSimulated", "title=QX5180 Audio Program v1.1 — simulated board: no parallel port",
     "", {}, false, "no parallel port"},
    {"TitleFailed", "key leftvol Right, key vol3d Right, " + kEio + ", key monovol Right, " +
     kPlain, "*", {20}},
    {"TitleLatestStanding", kPlain + " — port write failed: No such device", "*", {20}, true},
    // The stop was complete: the chip took the write though the idle byte after it failed.
    {"TitleDelivered", kPlain, "*", {77}},
    {"TitleEffect", "click mode2, key monovol Right, " + kEio + ", key vol3d Right, " + kPlain,
     "*", {320}},
    // A frame the chip took though the idle byte after it failed clears its register's
    // failure, but not the address-select line's.
    {"TitleDeliveredAgain", "key monovol Right, " + kPlain, "*", {20, 414}},
    {"TitleLineStands", "click addrone, key monovol Right, " + kEio, "*", {390, 468}},
    // The address-select line alone: any later write puts it right.
    {"TitleAddressLine", "click addrone, " + kEio + ", key monovol Right, " + kPlain, "*", {390}},
    // A screen reader names sliders and boxes by the captions beside them, the rest by
    // their own; three pairs carry the caption that their partner's name suggests.
    {"ScreenReaderNames", "@monovol=MONO VOLUME CONTROL, @vol3d=3D LEVEL, @RLS=LOUDSPEAKER, "
     "@hfgainbox=MONO VOLUME CONTROL Step #, @rgainbox=RIGHT VOLUME CONTROL Step #, @mode3=MODE 3, "
     "@modeframe=MODE SELECT, @RESET= DEFAULT, @narrow=WIDE, @wide=NARROW, @ocl=SE, @se=OCL, "
     "@Picture1=QX5180 audio amplifier logo, #RESET=sets every control and the chip back to the "
     "start-up values, @l2r2=L1 AND R1        SINGLE ENDED STEREO PAIR, @l1r1=L2 AND R2 SINGLE "
     "ENDED STEREO PAIR, @l1l2r1r2=L1+L2  AND  R1+R2 SINGLE ENDED STEREO PAIR", ""},
    // The handlers the reset's selections run send at the old address (ignored), then mute
    // and the five start-up writes at 0x7C; sliders move quietly.
    {"ResetAfterEveryControlMoved", "key monovol End, key leftvol Right, key rightvol Right, "
     "hfgainbox=32, lgainbox=2, rgainbox=2, key vol3d Right, click mode6, click wide, "
     "click HP3Don, click se, click l1l2r1r2, click addrone, click RESET, monovol=0, leftvol=0, "
     "rightvol=0, vol3d=0, hfgainbox=1, lgainbox=1, rgainbox=1, mode0, ocl, narrow, HP3Doff, "
     "addrzero, mute, RLS=SHUTDOWN, LHP=SHUTDOWN, RHP=SHUTDOWN", "7C:9F 7C:C1 7C:E1 7C:44 "
     "7C:06 7C:46 7C:47 7C:0E 7C:0E 7C:77 7C:00! 7C:00! 7C:40! 7C:40! 7C:00 7C:40 " + kStartUp}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

double contrast(QRgb a, QRgb b) { // WCAG 2: relative luminances, (lighter + .05) / (darker + .05)
    const auto l = [](QRgb c) {
        double sum = .05;
        for (auto [v, w] : {std::pair{qRed(c), .2126}, {qGreen(c), .7152}, {qBlue(c), .0722}})
            sum += w * (v <= 10 ? v / 3294.6 : std::pow((v / 255.0 + .055) / 1.055, 2.4));
        return sum;
    };
    return std::max(l(a), l(b)) / std::min(l(a), l(b));
}

const auto shot = [](const PanelRig& rig) { return rig.window->grab().toImage(); };
QRect scaled(QRect r, qreal s) {
    return QRectF(r.x() * s, r.y() * s, r.width() * s, r.height() * s).toRect();
}

// The same pixels under a dark application palette. Focus shows from the start on MONO VOLUME,
// then wherever it goes, as a ring of 3:1 or more against the unfocused pixels; nothing outside
// the focused control changes.
TEST(PanelLook, LightUnderADarkPaletteWithAFocusRingOnlyOnTheFocusedControl) {
    const QImage opened = shot(PanelRig());
    QApplication::setPalette(QPalette(QColor(40, 40, 40), QColor(30, 30, 30)));
    PanelRig rig;
    QApplication::setPalette(QPalette(Qt::darkBlue));
    EXPECT_TRUE(shot(rig) == opened);
    rig.window->focusWidget()->clearFocus();
    const QImage plain = shot(rig);
    for (const char* name : {"monovol", "vol3d", "hfgainbox", "RLS", "RESET", "mode0", "addrone"}) {
        QWidget* w = rig.find(name);
        w->setFocus(Qt::TabFocusReason);
        const QImage on = name == std::string("monovol") ? opened : shot(rig);
        const QRect own =
            scaled({w->mapTo(w->window(), QPoint()), w->size()}, on.devicePixelRatio());
        QRect ring, inner; // ring bounds the pixels changed by 3:1 or more
        double least = 99; // on ring's outline
        for (int pass = 0; pass < 2; ++pass, inner = ring.adjusted(1, 1, -1, -1))
            for (int y = 0; y < plain.height(); ++y)
                for (int x = 0; x < plain.width(); ++x) {
                    const double c = contrast(on.pixel(x, y), plain.pixel(x, y));
                    EXPECT_TRUE(c == 1 || own.contains(x, y)) << name;
                    ring |= pass == 0 && c >= 3 ? QRect(x, y, 1, 1) : QRect();
                    if (pass && ring.contains(x, y) && !inner.contains(x, y))
                        least = std::min(least, c);
                }
        EXPECT_TRUE(least >= 3 && ring.width() * ring.height() >= 100) << name << ' ' << least;
        std::cout << name << ": focus ring at " << least << ":1 or more\n";
    }
    QApplication::setPalette(QApplication::style()->standardPalette());
}

// The window opens exactly as the README's screenshot shows it (qx5180-snapshot made it).
TEST(PanelScreenshot, OpensAsTheReadmeShowsIt) {
    const QImage readme(QX_SOURCE_DIR "/docs/panel.png");
    EXPECT_TRUE(!readme.isNull() && shot(PanelRig()).convertToFormat(readme.format()) == readme);
}

// With either font (and at scale 2 in test_panel_scale2): no option caption is cut at top or
// bottom or inks a button's last two columns (neighbours overlap the last one by the layout's
// rounding), so a blank column parts it from the next circle; address circles are whole.
TEST(PanelLook, CaptionsKeepClearOfTheirNeighbours) {
    const QFont before = QApplication::font();
    for (const char* family : {"DejaVu Sans", "Liberation Sans"}) {
        ASSERT_TRUE(QFontInfo(QFont(family)).exactMatch()) << "*** " << family << " missing ***";
        QApplication::setFont(QFont(family));
        PanelRig rig;
        for (OptionButton* b : rig.window->findChildren<OptionButton*>()) {
            const QImage image = b->grab().toImage();
            const qreal s = image.devicePixelRatio();
            const QRect r = scaled(b->captionRect(), s);
            QRect inked; // the indicator's ink
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const bool ink = qGray(image.pixel(x, y)) < 200;
                    EXPECT_FALSE(ink && x >= r.left() &&
                                 (y == r.top() || y == r.bottom() || x >= image.width() - 2 * s))
                        << family << ' ' << b->objectName().toStdString();
                    inked |= ink && x < r.left() - 1 ? QRect(x, y, 1, 1) : QRect();
                }
            EXPECT_TRUE(!b->parent()->objectName().startsWith("addr") ||
                        inked.width() == inked.height());
        }
    }
    QApplication::setFont(before);
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
