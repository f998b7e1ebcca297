#include "style.h"

#include <QEvent>
#include <QPainter>
#include <QResource>
#include <QStyleOptionSlider>
#include <QWidget>
#include <QtEndian>

#include <algorithm>

namespace {

// Fusion outlines circles, grooves, thumbs, buttons, boxes and frames at about 2:1 against the
// window; the panel draws them again at 6:1 (WCAG asks 3:1 for what identifies a control).
// Circles are not smoothed, which would leave some of their pixels below 3:1.
const QColor kOutline(0x5a, 0x5a, 0x5a);

// The outermost pixels of `r` all round, at any scale.
void outline(QPainter* painter, const QRect& r) {
    for (const QRect& edge : QRegion(r).subtracted(r.adjusted(1, 1, -1, -1)))
        painter->fillRect(edge, kOutline);
}

// Fusion's rounded button outline again, in the panel's outline colour: pixel for pixel where
// Fusion draws its own.
void outlineButton(QPainter* painter, const QRect& r) {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->translate(0.5, -0.5);
    painter->setPen(kOutline);
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(r.adjusted(0, 1, -1, 0), 2.0, 2.0);
    painter->restore();
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

// Fusion's thumb stands in a 15 px slot with a margin of its own; the panel's thumb is the 11 px
// inside it, clear of the focus ring, and it is all that grabs: a click beside it pages.
QRect PanelStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                 SubControl part, const QWidget* widget) const {
    const QRect r = QProxyStyle::subControlRect(control, option, part, widget);
    return control == CC_Slider && part == SC_SliderHandle ? r.adjusted(2, 0, -2, -1) : r;
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
    if (element == PE_PanelButtonCommand)
        outlineButton(painter, option->rect);
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
    if (control == CC_Slider)
        drawSlider(option, painter, widget);
    else
        QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (plain.hadFocus() && control == CC_Slider)
        drawFocusRing(painter, option->rect, option->palette);
}

// Fusion's groove and ticks, the groove outlined clear of the focus ring, which runs round the
// slider's edge; then the thumb, solid, over the groove.
void PanelStyle::drawSlider(const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const {
    QStyleOptionSlider track = *qstyleoption_cast<const QStyleOptionSlider*>(option);
    track.subControls &= ~SC_SliderHandle;
    QProxyStyle::drawComplexControl(CC_Slider, &track, painter, widget);
    outline(painter,
            subControlRect(CC_Slider, option, SC_SliderGroove, widget).adjusted(2, 0, -2, 0));
    const QRect thumb = subControlRect(CC_Slider, option, SC_SliderHandle, widget);
    painter->fillRect(thumb, option->palette.color(QPalette::Base));
    outline(painter, thumb);
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
