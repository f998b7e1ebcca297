#include "qx5180.h"

#include "buttons.h"
#include "messages.h"
#include "slider.h"
#include "text.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>

#include <algorithm>
#include <cerrno>
#include <map>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

// Edges rather than sizes are rounded, so neighbours that touch in twips touch in pixels.
QRect toPixels(const layout::Twips& t) {
    auto px = [](int twips) {
        return (twips + layout::kTwipsPerPixel / 2) / layout::kTwipsPerPixel;
    };
    return QRect(QPoint(px(t.left), px(t.top)),
                 QPoint(px(t.left + t.width) - 1, px(t.top + t.height) - 1));
}

struct ModeRow {
    const char* loudspeaker;
    const char* leftHeadphone;
    const char* rightHeadphone;
};

// What each of the chip's outputs carries in modes 0 to 7. "L+R" in mode 3 and "R+L" in
// mode 7 are two different texts.
constexpr ModeRow kModes[8] = {
    {"SHUTDOWN", "SHUTDOWN", "SHUTDOWN"},
    {"P", "MUTE", "MUTE"},
    {"SHUTDOWN", "P", "P"},
    {"L+R", "MUTE", "MUTE"},
    {"SHUTDOWN", "L", "R"},
    {"P+L+R", "MUTE", "MUTE"},
    {"SHUTDOWN", "L+P", "R+P"},
    {"R+L", "L", "R"},
};

constexpr int kWindowFontPixels = 11;

QWidget* makeWidget(const layout::Control& c, QWidget* parent) {
    const QString text = QString::fromLatin1(c.caption);
    switch (c.kind) {
    case layout::Kind::Frame:
        return new QGroupBox(text, parent);
    case layout::Kind::Option: {
        auto* b = new OptionButton(text, parent);
        b->setChecked(c.selected);
        return b;
    }
    case layout::Kind::Slider: {
        auto* s = new TrackSlider(c.field, parent);
        s->setPageStep(c.pageStep);
        QStringList words;
        for (const char* word : c.stepWords)
            if (word)
                words << QString::fromLatin1(word);
        s->setStepTexts(words);
        return s;
    }
    case layout::Kind::TextBox:
        return new ReadOnlyBox(text, parent);
    case layout::Kind::Label: {
        auto* l = new QLabel(text, parent);
        l->setWordWrap(true);
        l->setAlignment((c.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
        return l;
    }
    case layout::Kind::Button: {
        auto* b = new CommandButton(text, parent);
        b->setAutoDefault(true);
        return b;
    }
    case layout::Kind::Picture: {
        auto* l = new QLabel(parent);
        l->setPixmap(panelImage(":/logo.bmp", QImage::Format_RGB32));
        l->setAutoFillBackground(true);
        QPalette background = l->palette();
        background.setColor(QPalette::Window, QColor(128, 128, 255));
        l->setPalette(background);
        return l;
    }
    }
    return nullptr;
}

// A widget of a control the handlers reach, or nullptr.
QWidget* widgetOf(const layout::Controls& controls, const layout::Member& member) {
    return std::visit(
        [&](auto m) -> QWidget* {
            using M = decltype(m);
            if constexpr (std::is_same_v<M, std::monostate> ||
                          std::is_same_v<M, QButtonGroup * layout::Controls::*>)
                return nullptr;
            else
                return controls.*m;
        },
        member);
}

void setPositionQuietly(QSlider& slider, int position) {
    const QSignalBlocker quiet(slider);
    slider.setValue(position);
}

void select(QButtonGroup* group, int id) {
    group->button(id)->setChecked(true);
}

} // namespace

QX5180::QX5180(bus::Port& port, std::function<void(std::string_view line)> log,
               std::string simulatedBecause, QWidget* parent)
    : QWidget(parent), m_port(port), m_log(std::move(log)),
      m_simulatedBecause(std::move(simulatedBecause)), m_frames(port) {
    readAsShown();
    build();
    m_frames.setListener(
        [this](int error, bool addressLine) { showWriteOutcome(error, addressLine); });
    showWriteOutcome(0, false);
    Form_Load();
    // Orca reads no Qt 6.4 window's title on request; the status is asked for here instead.
    connect(new QShortcut(Qt::Key_F1, this), &QShortcut::activated, this, &QX5180::sayStatus);
}

// A screen reader hears a failure where the focus is, once as it starts (not on every key
// while it stands), and once more when it is over.
void QX5180::showWriteOutcome(int error, bool addressLine) {
    // Once the program is ending nothing more is sent (bus::startNoMoreTransactions): said
    // once, not once per key of a backlog.
    if (error == ECANCELED) {
        if (!std::exchange(m_toldEnding, true))
            m_log(messages::notSentWhileEnding());
    } else if (error != 0) {
        m_log(messages::writeFailed(
            m_port.name(), addressLine ? "the address-select line" : "a register write", error));
    }
    const int standing = m_frames.standingError();
    setWindowTitle(QString::fromStdString(messages::title(m_simulatedBecause, standing)));
    if (standing != 0 && m_heardError == 0)
        m_notice->say(QString::fromStdString(messages::writesFailingNotice(standing)));
    else if (standing == 0 && m_heardError != 0)
        m_notice->say(QString::fromStdString(messages::writesGoodNotice()));
    m_heardError = standing;
}

void QX5180::sayStatus() {
    m_notice->say(QString::fromStdString(
        messages::statusNotice(m_port.name(), m_simulatedBecause, m_frames.standingError())));
}

void QX5180::build() {
    setUpWindow();
    std::vector<QWidget*> built;
    QWidget* frame = this;
    for (const layout::Control& c : form()) {
        QWidget* w = place(c, c.kind == layout::Kind::Option ? frame : this);
        if (c.kind == layout::Kind::Frame)
            frame = w;
        built.push_back(w);
    }
    link(built);
    orderTabs(built);
    describeModes();
    m_notice = new Notice(this);
    for (TrackSlider* s : findChildren<TrackSlider*>())
        s->setNotice(m_notice);
    m_c.monovol->setFocus();
    keepPanelLook(*this, m_style);
    fitCaptions(built);
}

void QX5180::setUpWindow() {
    setObjectName("QX5180");
    setPalette(m_style.standardPalette());
    setWindowIcon(panelImage(":/qx5180-32.bmp", QImage::Format_ARGB32));
    QFont small = font();
    small.setPixelSize(kWindowFontPixels);
    // The application's too: each line edit lays its text out in the application's font
    // before it takes the window's, and nothing else in the process draws text.
    QApplication::setFont(small);
    setFont(small);
    setFixedSize(layout::kClientWidth / layout::kTwipsPerPixel,
                 layout::kClientHeight / layout::kTwipsPerPixel);
}

// A row's control, where the row puts it, joined to its handler and to Controls.
QWidget* QX5180::place(const layout::Control& c, QWidget* parent) {
    QWidget* w = makeWidget(c, parent);
    w->setObjectName(QString::fromLatin1(c.name));
    w->setGeometry(toPixels(c.at));
    if (c.accessibleName)
        w->setAccessibleName(QString::fromLatin1(c.accessibleName));
    if (c.description)
        w->setAccessibleDescription(QString::fromLatin1(c.description));
    // A slider reports every position the user moves it to; code moves it quietly.
    if (c.kind == layout::Kind::Slider)
        connect(static_cast<QSlider*>(w), &QSlider::valueChanged, this, c.handler);
    if (c.kind == layout::Kind::Button)
        connect(static_cast<QPushButton*>(w), &QPushButton::clicked, this, c.handler);

    std::visit(
        [&](auto member) {
            using M = decltype(member);
            if constexpr (std::is_same_v<M, QButtonGroup * layout::Controls::*>) {
                QButtonGroup*& group = m_c.*member;
                if (!group)
                    group = new QButtonGroup(this);
                auto* b = static_cast<OptionButton*>(w);
                group->addButton(b, c.id);
                // Tab lands on a group's selected button only.
                auto tabStopWhenSelected = [b](bool selected) {
                    b->setFocusPolicy(selected ? Qt::StrongFocus : Qt::ClickFocus);
                };
                tabStopWhenSelected(c.selected);
                connect(b, &QAbstractButton::toggled, b, tabStopWhenSelected);
                // A button answers when it becomes the selected one of its group, by mouse,
                // keyboard or code; the handler runs before whoever selected it goes on.
                connect(b, &QAbstractButton::toggled, this, [this, h = c.handler](bool on) {
                    if (on)
                        (this->*h)();
                });
            } else if constexpr (!std::is_same_v<M, std::monostate>) {
                using Widget = std::remove_reference_t<decltype(*(m_c.*member))>;
                m_c.*member = static_cast<Widget*>(w);
            }
        },
        c.member);
    return w;
}

// Once every control exists, whatever the rows' order: a screen reader names a control after
// the label that is its caption, and a volume shows its step in its box.
void QX5180::link(const std::vector<QWidget*>& built) {
    for (std::size_t i = 0; i < built.size(); ++i) {
        const layout::Control& c = form()[i];
        if (QWidget* control = widgetOf(m_c, c.captionOf))
            static_cast<QLabel*>(built[i])->setBuddy(control);
        if (c.stepBox)
            static_cast<TrackSlider*>(built[i])->setStepBox(m_c.*c.stepBox);
    }
}

// Every option button has its place, selected or not: Tab stops at whichever is selected.
void QX5180::orderTabs(const std::vector<QWidget*>& built) {
    std::vector<std::pair<int, QWidget*>> chain;
    for (std::size_t i = 0; i < built.size(); ++i)
        if (form()[i].tab != 0)
            chain.emplace_back(form()[i].tab, built[i]);
    std::stable_sort(chain.begin(), chain.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1].second, chain[i].second);
}

// A mode is heard by what it puts on the three outputs, in the order of their boxes.
void QX5180::describeModes() {
    for (QAbstractButton* b : m_c.modes->buttons()) {
        const ModeRow& m = kModes[m_c.modes->id(b)];
        b->setAccessibleDescription(QStringLiteral("outputs %1, %2, %3")
                                        .arg(m.loudspeaker, m.leftHeadphone, m.rightHeadphone));
    }
}

// The caption sizes were measured with DejaVu Sans; with any other font, a caption that
// would not fit its rectangle is drawn in the largest smaller size that fits, and captions
// of one group stay even.
void QX5180::fitCaptions(const std::vector<QWidget*>& built) {
    const bool measured = QFontInfo(font()).family() == QLatin1String("DejaVu Sans");
    std::vector<std::pair<const layout::Control*, QWidget*>> captions;
    for (std::size_t i = 0; i < built.size(); ++i)
        if (form()[i].kind == layout::Kind::Option || form()[i].kind == layout::Kind::Label)
            captions.emplace_back(&form()[i], built[i]);
    std::map<int, int> groupSize;
    std::vector<int> sizes;
    for (const auto& [c, w] : captions) {
        int size = c->fontPixels ? c->fontPixels : kWindowFontPixels;
        if (!measured) {
            if (auto* b = qobject_cast<OptionButton*>(w))
                size = fittingPixelSize(font(), size, b->wrappedCaption(), b->captionRect(), 2);
            else
                size = fittingPixelSize(font(), size, static_cast<QLabel*>(w)->text(), w->rect());
        }
        if (c->fontGroup && (!groupSize.count(c->fontGroup) || groupSize[c->fontGroup] > size))
            groupSize[c->fontGroup] = size;
        sizes.push_back(size);
    }
    for (std::size_t i = 0; i < captions.size(); ++i) {
        const auto& [c, w] = captions[i];
        const int size = c->fontGroup ? groupSize[c->fontGroup] : sizes[i];
        if (size != kWindowFontPixels) {
            QFont f = font();
            f.setPixelSize(size);
            w->setFont(f);
        }
    }
}

void QX5180::Form_Load() {
    m_frames.startUp();
}

void QX5180::sendPosition(const TrackSlider& slider) {
    m_frames.set({{slider.field(), slider.value()}});
}

void QX5180::monovol_Scroll() {
    sendPosition(*m_c.monovol);
}
void QX5180::leftvol_Scroll() {
    sendPosition(*m_c.leftvol);
}
void QX5180::rightvol_Scroll() {
    sendPosition(*m_c.rightvol);
}
void QX5180::vol3d_Scroll() {
    sendPosition(*m_c.vol3d);
}

// An option's value is its id in its group, which its row gives.
void QX5180::setMode() {
    const int mode = m_c.modes->checkedId();
    m_c.RLS->setText(kModes[mode].loudspeaker);
    m_c.LHP->setText(kModes[mode].leftHeadphone);
    m_c.RHP->setText(kModes[mode].rightHeadphone);
    m_frames.set({{regs::kModeNumber, mode}});
}

void QX5180::mode0_Click() {
    setMode();
}
void QX5180::mode1_Click() {
    setMode();
}
void QX5180::mode2_Click() {
    setMode();
}
void QX5180::mode3_Click() {
    setMode();
}
void QX5180::mode4_Click() {
    setMode();
}
void QX5180::mode5_Click() {
    setMode();
}
void QX5180::mode6_Click() {
    setMode();
}
void QX5180::mode7_Click() {
    setMode();
}

// A single-ended input clears the differential flag as well.
void QX5180::setInput() {
    m_frames.set({{regs::kDifferentialFlag, 0}, {regs::kInputCode, m_c.inputs->checkedId()}});
}

void QX5180::mute_Click() {
    setInput();
}
void QX5180::l2r2_Click() {
    setInput();
}
void QX5180::l1r1_Click() {
    setInput();
}
void QX5180::l1l2r1r2_Click() {
    setInput();
}

// The differential input leaves the input code where the last single-ended choice put it.
void QX5180::Diff_Click() {
    m_frames.set({{regs::kDifferentialFlag, 1}});
}

void QX5180::narrow_Click() {
    m_frames.set({{regs::k3DModeFlag, m_c.mode3D->checkedId()}});
}
void QX5180::wide_Click() {
    m_frames.set({{regs::k3DModeFlag, m_c.mode3D->checkedId()}});
}
void QX5180::ocl_Click() {
    m_frames.set({{regs::kCapacitorFlag, m_c.capacitor->checkedId()}});
}
void QX5180::se_Click() {
    m_frames.set({{regs::kCapacitorFlag, m_c.capacitor->checkedId()}});
}
void QX5180::HP3Don_Click() {
    m_frames.set({{regs::kHeadphone3DFlag, m_c.headphone3D->checkedId()}});
}
void QX5180::HP3Doff_Click() {
    m_frames.set({{regs::kHeadphone3DFlag, m_c.headphone3D->checkedId()}});
}

void QX5180::addrone_Click() {
    m_frames.selectAddress(m_c.address->checkedId());
}
void QX5180::addrzero_Click() {
    m_frames.selectAddress(m_c.address->checkedId());
}

// The sliders move quietly, their step boxes with them. The selections below run their
// buttons' handlers in place, sends included; those handlers write only defaults, which the
// frames already hold by then. The address bit comes back to 0 only through addrzero, so
// sends made before it still carry the old address-select level: the order of the
// selections is on the wire.
void QX5180::RESET_Click() {
    const bool failing = m_heardError != 0;
    m_frames.writeDefaults();
    for (TrackSlider* slider : findChildren<TrackSlider*>())
        setPositionQuietly(*slider, slider->minimum());
    select(m_c.modes, 0);
    select(m_c.capacitor, 0);
    select(m_c.mode3D, 0);
    select(m_c.headphone3D, 0);
    select(m_c.address, 0);
    select(m_c.inputs, 0b00);
    m_frames.sendAll();
    // What happened, a failure or its end included: this one message stands for the sends'.
    const int error = m_frames.standingError();
    m_notice->say(QString::fromStdString(messages::defaultsNotice(error, failing && !error)));
}
