#include "widgets.h"

#include <QAccessible>
#include <QApplication>
#include <QFontMetrics>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResource>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>
#include <QtEndian>

#include <algorithm>

namespace {

// Columns kept blank between a caption and the control to its right; the caption starts as
// much nearer its own indicator, so the longest captions still fit on two lines.
constexpr int kCaptionGap = 2;

// Fusion outlines circles, grooves, thumbs, boxes and frames at about 2:1 against the
// window; the panel draws them again at 5:1 (WCAG asks 3:1 for what identifies a control).
// Circles are not smoothed, which would leave some of their pixels below 3:1.
const QColor kOutline(0x5a, 0x5a, 0x5a);

// The outermost pixels of `r` all round, at any scale.
void outline(QPainter* painter, const QRect& r) {
    for (const QRect& edge : QRegion(r).subtracted(r.adjusted(1, 1, -1, -1)))
        painter->fillRect(edge, kOutline);
}

// The circle through the middle of the outermost pixels of `r`.
void outlineCircle(QPainter* painter, const QRect& r) {
    painter->save();
    painter->setPen(kOutline);
    painter->setBrush(Qt::NoBrush);
    painter->drawEllipse(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5));
    painter->restore();
}

void drawFocusRing(QPainter* painter, const QRect& around, const QPalette& palette) {
    const QRegion ring = QRegion(around).subtracted(around.adjusted(2, 2, -2, -2));
    for (const QRect& part : ring)
        painter->fillRect(part, palette.color(QPalette::Highlight).darker(200));
}

// Fusion's own signs of focus are faint and follow only keyboard focus changes; the panel
// draws its ring instead, so the style is asked to draw every control as unfocused.
class WithoutFocus {
public:
    explicit WithoutFocus(const QStyleOption* option)
        : m_option(const_cast<QStyleOption*>(option)), m_state(option->state) {
        m_option->state &= ~(QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange);
    }
    ~WithoutFocus() { m_option->state = m_state; }
    WithoutFocus(const WithoutFocus&) = delete;
    WithoutFocus& operator=(const WithoutFocus&) = delete;
    bool hadFocus() const { return m_state & QStyle::State_HasFocus; }

private:
    QStyleOption* m_option;
    QStyle::State m_state;
};

class LookKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::ApplicationPaletteChange:
        case QEvent::ApplicationFontChange:
        case QEvent::ThemeChange:
            return true;
        default:
            return false;
        }
    }
};

} // namespace

OptionButton::OptionButton(const QString& text, QWidget* parent) : QRadioButton(text, parent) {}

QRect OptionButton::indicatorRect() const {
    const int side =
        std::min(style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, this), height());
    return QRect(0, (height() - side) / 2, side, side);
}

void OptionButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);

    QStyleOptionButton indicator = option;
    indicator.rect = indicatorRect();
    style()->drawPrimitive(QStyle::PE_IndicatorRadioButton, &indicator, &p, this);

    const QRect textRect = captionRect();
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
    style()->drawItemText(&p, textRect, flags, palette(), isEnabled(), wrappedCaption(),
                          QPalette::WindowText);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect =
            style()
                ->itemTextRect(fontMetrics(), textRect, flags, isEnabled(), wrappedCaption())
                .adjusted(-3, -2, 3, 2) &
            rect().adjusted(indicatorRect().right() + 2, 0, 0, 0);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

void OptionButton::keyPressEvent(QKeyEvent* event) {
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Down:
        step = 1;
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
        step = -1;
        break;
    default:
        return QRadioButton::keyPressEvent(event);
    }
    QList<OptionButton*> group =
        parentWidget()->findChildren<OptionButton*>(QString(), Qt::FindDirectChildrenOnly);
    QRect spread;
    for (const OptionButton* b : group)
        spread |= QRect(b->geometry().center(), QSize(1, 1));
    const bool row = spread.width() >= spread.height();
    std::sort(group.begin(), group.end(), [row](const OptionButton* a, const OptionButton* b) {
        const QPoint p = a->geometry().center();
        const QPoint q = b->geometry().center();
        return row ? std::pair(p.x(), p.y()) < std::pair(q.x(), q.y())
                   : std::pair(p.y(), p.x()) < std::pair(q.y(), q.x());
    });
    const qsizetype count = group.size();
    OptionButton* next = group[(group.indexOf(this) + step + count) % count];
    next->click();
    next->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    event->accept();
}

QRect OptionButton::captionRect() const {
    const int indent = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, this) +
                       style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, this) -
                       kCaptionGap;
    return rect().adjusted(indent, 0, -kCaptionGap, 0);
}

QString OptionButton::wrappedCaption() const {
    return text().simplified();
}

bool OptionButton::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void TrackSlider::setStepTexts(const QStringList& texts) {
    m_stepTexts = texts;
}

QString TrackSlider::stepText() const {
    const int index = value() - minimum();
    return index < m_stepTexts.size() ? m_stepTexts[index] : QString::number(step());
}

// The panel's sliders are horizontal.
int TrackSlider::pagingDirection() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect thumb =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    return m_pointer.x() < thumb.left() ? -1 : m_pointer.x() > thumb.right() ? 1 : 0;
}

void TrackSlider::pageTowardsPointer() {
    triggerAction(m_paging > 0 ? SliderPageStepAdd : SliderPageStepSub);
}

void TrackSlider::mousePressEvent(QMouseEvent* event) {
    m_pointer = event->position().toPoint();
    if (event->button() != Qt::LeftButton || m_paging != 0 || pagingDirection() == 0)
        return QSlider::mousePressEvent(event);
    m_paging = pagingDirection();
    event->accept();
    pageTowardsPointer();
    m_repeat.start(500, this);
}

void TrackSlider::mouseMoveEvent(QMouseEvent* event) {
    if (m_paging == 0)
        return QSlider::mouseMoveEvent(event);
    m_pointer = event->position().toPoint();
    event->accept();
}

void TrackSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (m_paging == 0 || event->button() != Qt::LeftButton)
        return QSlider::mouseReleaseEvent(event);
    m_repeat.stop();
    m_paging = 0;
    event->accept();
}

void TrackSlider::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_repeat.timerId())
        return QSlider::timerEvent(event);
    if (pagingDirection() != m_paging)
        return m_repeat.stop();
    pageTowardsPointer();
    m_repeat.start(50, this);
}

void TrackSlider::sliderChange(SliderChange change) {
    QSlider::sliderChange(change);
    if (change != SliderValueChange)
        return;
    QAccessibleValueChangeEvent shown(this, step());
    QAccessible::updateAccessibility(&shown);
    // Orca keeps one last value for all sliders and says nothing when a change lands on it
    // (Right to 2 on one slider, then Right to 2 on the next).
    static int lastHeard = 0;
    if (!hasFocus())
        return;
    if (step() == lastHeard && m_notice)
        m_notice->say(stepText());
    lastHeard = step();
}

Notice::Notice(QWidget* parent) : QWidget(parent) {
    setGeometry(0, 0, 1, 1);
    hide();
}

void Notice::say(const QString& message) {
    m_message = message;
    hide();
    m_timer.start(150, this);
}

void Notice::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_timer.timerId())
        return QWidget::timerEvent(event);
    if (isHidden()) {
        show();
        m_timer.start(1000, this);
    } else {
        hide();
        m_timer.stop();
    }
}

ReadOnlyBox::ReadOnlyBox(const QString& text, QWidget* parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignCenter);
    setReadOnly(true);
    setText(text);
    connect(this, &QLineEdit::textChanged, this, [this](const QString& now) {
        QAccessibleValueChangeEvent shown(this, now);
        QAccessible::updateAccessibility(&shown);
    });
}

int PanelStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                          QStyleHintReturn* returnData) const {
    switch (hint) {
    case SH_Slider_PageSetButtons:
        return Qt::LeftButton;
    case SH_Slider_AbsoluteSetButtons:
        return Qt::MiddleButton;
    default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

void PanelStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    if (element == PE_FrameFocusRect)
        return drawFocusRing(painter, option->rect, option->palette);
    // Fusion's own group frame is an image it decodes at start-up, after loading every
    // image-format plugin installed to find the reader; the panel draws the frame as it
    // outlines its other controls.
    if (element == PE_FrameGroupBox) {
        const int titleHeight = std::max(pixelMetric(PM_ExclusiveIndicatorHeight, option, widget),
                                         option->fontMetrics.height()) +
                                3;
        return outline(painter, option->rect.adjusted(0, titleHeight, 0, 0));
    }
    const WithoutFocus plain(option);
    if (element == PE_IndicatorRadioButton)
        return drawOptionCircle(option, painter, widget);
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (element == PE_FrameLineEdit)
        outline(painter, option->rect);
    // Inside the box's border, which stays as it is.
    if (plain.hadFocus() && element == PE_PanelLineEdit)
        drawFocusRing(painter, option->rect.adjusted(1, 1, -1, -1), option->palette);
}

// Twenty-one circles in a handful of states: each state is drawn once, on the window's
// colour that every circle stands on, and copied from then on. Drawn in the same place of
// the same pixels, the copy is the drawing, pixel for pixel.
void PanelStyle::drawOptionCircle(const QStyleOption* option, QPainter* painter,
                                  const QWidget* widget) const {
    const qreal scale = painter->device()->devicePixelRatio();
    const CircleKey key{option->palette.cacheKey(), uint(option->state), option->rect.width(),
                        option->rect.height(), scale};
    QPixmap& circle = m_circles[key];
    if (circle.isNull()) {
        circle = QPixmap(option->rect.size() * scale);
        circle.setDevicePixelRatio(scale);
        circle.fill(option->palette.color(QPalette::Window));
        QPainter p(&circle);
        QStyleOption at(*option);
        at.rect.moveTopLeft(QPoint());
        QProxyStyle::drawPrimitive(PE_IndicatorRadioButton, &at, &p, widget);
        outlineCircle(&p, at.rect);
    }
    painter->drawPixmap(option->rect.topLeft(), circle);
}

void PanelStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const {
    const WithoutFocus plain(option);
    QProxyStyle::drawControl(element, option, painter, widget);
    if (plain.hadFocus() && element == CE_PushButton)
        drawFocusRing(painter, option->rect.adjusted(2, 2, -2, -2), option->palette);
}

void PanelStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                    QPainter* painter, const QWidget* widget) const {
    if (control == CC_GroupBox)
        return drawGroup(option, painter, widget);
    const WithoutFocus plain(option);
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control == CC_Slider)
        for (const SubControl part : {SC_SliderGroove, SC_SliderHandle})
            // Clear of the focus ring, which runs round the slider's edge.
            outline(painter, subControlRect(control, option, part, widget)
                                 .adjusted(2, 0, -2, part == SC_SliderHandle ? -1 : 0));
    if (plain.hadFocus() && control == CC_Slider)
        drawFocusRing(painter, option->rect, option->palette);
}

// As Fusion draws a group, less what the panel's groups never have (a check box, focus) and
// the frame, which is the panel's: Fusion would measure the title for each of the three.
void PanelStyle::drawGroup(const QStyleOptionComplex* option, QPainter* painter,
                           const QWidget* widget) const {
    drawPrimitive(PE_FrameGroupBox, option, painter, widget);
    const auto* group = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (!group || group->text.isEmpty())
        return;
    int flags = Qt::TextShowMnemonic | Qt::AlignLeft | int(group->textAlignment);
    if (!styleHint(SH_UnderlineShortcut, option, widget))
        flags |= Qt::TextHideMnemonic;
    painter->save();
    painter->setPen(QPen(option->palette.windowText(), 1));
    drawItemText(painter, subControlRect(CC_GroupBox, option, SC_GroupBoxLabel, widget), flags,
                 group->palette, group->state & State_Enabled, group->text, QPalette::NoRole);
    painter->restore();
}

void keepPanelLook(QWidget& window, PanelStyle& style) {
    auto* keeper = new LookKeeper(&window);
    window.setPalette(style.standardPalette());
    window.setStyle(&style);
    window.installEventFilter(keeper);
    for (QWidget* w : window.findChildren<QWidget*>()) {
        w->setStyle(&style);
        w->installEventFilter(keeper);
    }
}

// The window's images are kept uncompressed in the program (panel/CMakeLists.txt) as the
// bitmaps assets/make-assets.sh writes: 32 bits a pixel in the byte order of ARGB32, rows
// from the top down. Nothing decodes them; an opaque one, taken as RGB32, the window's own
// format, is even drawn from there, without a copy.
QPixmap panelImage(const char* name, QImage::Format format) {
    const uchar* bytes = QResource(QString::fromLatin1(name)).data();
    const auto field = [bytes](int at) { return qFromLittleEndian<qint32>(bytes + at); };
    return QPixmap::fromImage(
        QImage(bytes + field(10), field(18), -field(22), field(18) * 4, format));
}

int fittingPixelSize(QFont font, int size, const QString& text, const QRect& area, int maxLines) {
    for (; size > 8; --size) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        const QRect needed = metrics.boundingRect(area, Qt::TextWordWrap, text);
        if (needed.width() <= area.width() && needed.height() <= area.height() &&
            needed.height() < (maxLines + 1) * metrics.lineSpacing())
            break;
    }
    return size;
}
