#include "qx5180.h"

#include "access.h"
#include "layout.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Edges rather than sizes are rounded, so neighbours that touch in twips touch in pixels.
QRect toPixels(const layout::Control& c) {
    auto px = [](int twips) {
        return (twips + layout::kTwipsPerPixel / 2) / layout::kTwipsPerPixel;
    };
    return QRect(QPoint(px(c.left), px(c.top)),
                 QPoint(px(c.left + c.width) - 1, px(c.top + c.height) - 1));
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

void setPositionQuietly(QSlider& slider, int position) {
    const QSignalBlocker quiet(slider);
    slider.setValue(position);
}

} // namespace

QX5180::QX5180(bus::Port& port, std::ostream& diagnostics, const QString& simulatedBecause,
               QWidget* parent)
    : QWidget(parent), m_frames(port, diagnostics) {
    const Built built = build();
    setTabOrder(built);
    nameForScreenReaders(built);
    bindHandlers(built);
    m_title = QString::fromLatin1(layout::kTitle);
    if (!simulatedBecause.isEmpty())
        m_title += QString::fromUtf8(" \u2014 simulated board: ") + simulatedBecause;
    setWindowTitle(m_title);
    m_frames.setListener([this](int error) { showWriteOutcome(error); });
    Form_Load();
}

void QX5180::showWriteOutcome(int standingError) {
    if (standingError == 0)
        setWindowTitle(m_title);
    else
        setWindowTitle(QString::fromLatin1(layout::kTitle) +
                       QString::fromUtf8(" \u2014 port write failed: ") +
                       QString::fromLocal8Bit(std::strerror(standingError)));
}

namespace {

// A name missing from the layout, or of another kind, is a build mistake; running on would
// send nothing.
template<class T>
T* typed(const std::map<std::string_view, QWidget*>& built, std::string_view name) {
    const auto found = built.find(name);
    T* w = found == built.end() ? nullptr : qobject_cast<T*>(found->second);
    if (!w)
        qFatal("QX5180: no control named %s of the expected kind", name.data());
    return w;
}

} // namespace

QX5180::Built QX5180::build() {
    setObjectName("QX5180");
    setPalette(style()->standardPalette());
    setWindowTitle(layout::kTitle);
    setWindowIcon(panelIcon());
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    setFixedSize(layout::kClientWidth / layout::kTwipsPerPixel,
                 layout::kClientHeight / layout::kTwipsPerPixel);

    Built built;
    for (const layout::Control& c : layout::controls()) {
        QWidget* container = c.container ? typed<QWidget>(built, c.container) : this;
        const QString text = QString::fromLatin1(c.text);
        QWidget* w = nullptr;
        switch (c.kind) {
        case layout::Kind::Frame:
            w = new QGroupBox(text, container);
            break;
        case layout::Kind::Option: {
            auto* b = new OptionButton(text, container);
            b->setChecked(c.selected);
            w = b;
            break;
        }
        case layout::Kind::Slider: {
            auto* s = new TrackSlider(Qt::Horizontal, container);
            s->setTickPosition(QSlider::TicksBelow);
            s->setTickInterval(1);
            w = s;
            break;
        }
        case layout::Kind::TextBox: {
            auto* e = new ReadOnlyBox(text, container);
            w = e;
            break;
        }
        case layout::Kind::Label: {
            auto* l = new QLabel(text, container);
            l->setWordWrap(true);
            l->setAlignment((c.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
            w = l;
            break;
        }
        case layout::Kind::Button: {
            auto* b = new QPushButton(text, container);
            b->setAutoDefault(true);
            w = b;
            break;
        }
        case layout::Kind::Picture: {
            auto* l = new QLabel(container);
            l->setPixmap(QPixmap(":/logo.bmp"));
            l->setAutoFillBackground(true);
            QPalette background = l->palette();
            background.setColor(QPalette::Window, QColor(128, 128, 255));
            l->setPalette(background);
            w = l;
            break;
        }
        }
        w->setObjectName(QString::fromLatin1(c.name));
        built[c.name] = w;
        w->setGeometry(toPixels(c));
        if (auto* b = qobject_cast<OptionButton*>(w))
            shrinkFontToFit(*b, b->wrappedCaption(), b->captionRect(), 2);
        else if (c.kind == layout::Kind::Label)
            shrinkFontToFit(*w, text, w->rect());
    }

    for (const layout::Slider& s : layout::sliders()) {
        auto* slider = typed<QSlider>(built, s.name);
        slider->setRange(0, s.maximum);
        slider->setSingleStep(1);
        slider->setPageStep(s.pageStep);
    }

    m_monovol = typed<QSlider>(built, "monovol");
    m_leftvol = typed<QSlider>(built, "leftvol");
    m_rightvol = typed<QSlider>(built, "rightvol");
    m_vol3d = typed<QSlider>(built, "vol3d");
    m_hfgainbox = typed<QLineEdit>(built, "hfgainbox");
    m_lgainbox = typed<QLineEdit>(built, "lgainbox");
    m_rgainbox = typed<QLineEdit>(built, "rgainbox");
    m_RLS = typed<QLineEdit>(built, "RLS");
    m_LHP = typed<QLineEdit>(built, "LHP");
    m_RHP = typed<QLineEdit>(built, "RHP");
    m_mode0 = typed<QRadioButton>(built, "mode0");
    m_ocl = typed<QRadioButton>(built, "ocl");
    m_narrow = typed<QRadioButton>(built, "narrow");
    m_HP3Doff = typed<QRadioButton>(built, "HP3Doff");
    m_addrzero = typed<QRadioButton>(built, "addrzero");
    m_mute = typed<QRadioButton>(built, "mute");
    m_monovol->setFocus();
    keepPanelLook(*this, m_style);
    makeAccessible(*this);
    return built;
}

void QX5180::setTabOrder(const Built& built) {
    std::vector<std::pair<int, QWidget*>> chain;
    for (const layout::Control& c : layout::controls()) {
        auto* w = built.at(c.name);
        if (w->focusPolicy() & Qt::TabFocus)
            chain.emplace_back(c.tabIndex, w);
    }
    std::sort(chain.begin(), chain.end());
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1].second, chain[i].second);

    for (OptionButton* b : findChildren<OptionButton*>()) {
        const bool inView = rect().intersects(b->parentWidget()->geometry());
        auto tabStopWhenSelected = [b, inView](bool selected) {
            b->setFocusPolicy(!inView ? Qt::NoFocus : selected ? Qt::StrongFocus : Qt::ClickFocus);
        };
        tabStopWhenSelected(b->isChecked());
        connect(b, &QAbstractButton::toggled, b, tabStopWhenSelected);
    }
}

void QX5180::nameForScreenReaders(const Built& built) {
    for (const layout::Caption& c : layout::captions()) {
        QString name = typed<QLabel>(built, c.label)->text();
        if (c.heading)
            name += ' ' + typed<QLabel>(built, c.heading)->text();
        built.at(c.control)->setAccessibleName(name);
    }
}

void QX5180::bindHandlers(const Built& built) {
    struct Binding {
        const char* name;
        void (QX5180::*handler)();
    };
    // Option buttons answer when they become the selected one of their group, whether by
    // mouse, keyboard or code; the handler runs before whoever selected the button goes on.
    static constexpr Binding kOptions[] = {
        {"mode0", &QX5180::mode0_Click},
        {"mode1", &QX5180::mode1_Click},
        {"mode2", &QX5180::mode2_Click},
        {"mode3", &QX5180::mode3_Click},
        {"mode4", &QX5180::mode4_Click},
        {"mode5", &QX5180::mode5_Click},
        {"mode6", &QX5180::mode6_Click},
        {"mode7", &QX5180::mode7_Click},
        {"mute", &QX5180::mute_Click},
        {"l2r2", &QX5180::l2r2_Click},
        {"l1r1", &QX5180::l1r1_Click},
        {"l1l2r1r2", &QX5180::l1l2r1r2_Click},
        {"Diff", &QX5180::Diff_Click},
        {"narrow", &QX5180::narrow_Click},
        {"wide", &QX5180::wide_Click},
        {"ocl", &QX5180::ocl_Click},
        {"se", &QX5180::se_Click},
        {"HP3Don", &QX5180::HP3Don_Click},
        {"HP3Doff", &QX5180::HP3Doff_Click},
        {"addrone", &QX5180::addrone_Click},
        {"addrzero", &QX5180::addrzero_Click},
    };
    for (const Binding& b : kOptions) {
        connect(typed<QRadioButton>(built, b.name), &QRadioButton::toggled, this,
                [this, handler = b.handler](bool selected) {
                    if (selected)
                        (this->*handler)();
                });
    }

    // A slider reports every position the user moves it to; code moves it quietly.
    static constexpr Binding kSliders[] = {
        {"monovol", &QX5180::monovol_Scroll},
        {"leftvol", &QX5180::leftvol_Scroll},
        {"rightvol", &QX5180::rightvol_Scroll},
        {"vol3d", &QX5180::vol3d_Scroll},
    };
    for (const Binding& b : kSliders)
        connect(typed<QSlider>(built, b.name), &QSlider::valueChanged, this, b.handler);

    connect(typed<QPushButton>(built, "RESET"), &QPushButton::clicked, this, &QX5180::RESET_Click);
}

void QX5180::Form_Load() {
    m_frames.startUp();
}

void QX5180::setVolume(regs::Field field, const QSlider& slider, QLineEdit& stepBox) {
    stepBox.setText(QString::number(slider.value() + 1));
    m_frames.set({{field, slider.value()}});
}

void QX5180::monovol_Scroll() {
    setVolume(regs::kLoudspeakerVolume, *m_monovol, *m_hfgainbox);
}
void QX5180::leftvol_Scroll() {
    setVolume(regs::kLeftVolume, *m_leftvol, *m_lgainbox);
}
void QX5180::rightvol_Scroll() {
    setVolume(regs::kRightVolume, *m_rightvol, *m_rgainbox);
}
void QX5180::vol3d_Scroll() {
    m_frames.set({{regs::kLevel3DCode, m_vol3d->value()}});
}

void QX5180::setMode(int mode) {
    m_RLS->setText(kModes[mode].loudspeaker);
    m_LHP->setText(kModes[mode].leftHeadphone);
    m_RHP->setText(kModes[mode].rightHeadphone);
    m_frames.set({{regs::kModeNumber, mode}});
}

void QX5180::mode0_Click() {
    setMode(0);
}
void QX5180::mode1_Click() {
    setMode(1);
}
void QX5180::mode2_Click() {
    setMode(2);
}
void QX5180::mode3_Click() {
    setMode(3);
}
void QX5180::mode4_Click() {
    setMode(4);
}
void QX5180::mode5_Click() {
    setMode(5);
}
void QX5180::mode6_Click() {
    setMode(6);
}
void QX5180::mode7_Click() {
    setMode(7);
}

// A single-ended input clears the differential flag as well.
void QX5180::setInput(int code) {
    m_frames.set({{regs::kDifferentialFlag, 0}, {regs::kInputCode, code}});
}

void QX5180::mute_Click() {
    setInput(0b00);
}
void QX5180::l2r2_Click() {
    setInput(0b10);
}
void QX5180::l1r1_Click() {
    setInput(0b01);
}
void QX5180::l1l2r1r2_Click() {
    setInput(0b11);
}

// The differential input leaves the input code where the last single-ended choice put it.
void QX5180::Diff_Click() {
    m_frames.set({{regs::kDifferentialFlag, 1}});
}

void QX5180::narrow_Click() {
    m_frames.set({{regs::k3DModeFlag, 0}});
}
void QX5180::wide_Click() {
    m_frames.set({{regs::k3DModeFlag, 1}});
}
void QX5180::ocl_Click() {
    m_frames.set({{regs::kCapacitorFlag, 0}});
}
void QX5180::se_Click() {
    m_frames.set({{regs::kCapacitorFlag, 1}});
}
void QX5180::HP3Don_Click() {
    m_frames.set({{regs::kHeadphone3DFlag, 1}});
}
void QX5180::HP3Doff_Click() {
    m_frames.set({{regs::kHeadphone3DFlag, 0}});
}

void QX5180::addrone_Click() {
    m_frames.selectAddress(1);
}
void QX5180::addrzero_Click() {
    m_frames.selectAddress(0);
}

// The selections below run their buttons' handlers in place, sends included; those
// handlers write only defaults, which the frames already hold by then. The address bit
// comes back to 0 only through addrzero, so sends made before it still carry the old
// address-select level.
void QX5180::RESET_Click() {
    m_frames.writeDefaults();
    setPositionQuietly(*m_monovol, 0);
    setPositionQuietly(*m_leftvol, 0);
    setPositionQuietly(*m_rightvol, 0);
    m_mode0->setChecked(true);
    m_ocl->setChecked(true);
    setPositionQuietly(*m_vol3d, 0);
    for (QRadioButton* b : {m_narrow, m_HP3Doff, m_addrzero, m_mute})
        b->setChecked(true);
    m_hfgainbox->setText("1");
    m_lgainbox->setText("1");
    m_rgainbox->setText("1");
    m_frames.sendAll();
}
