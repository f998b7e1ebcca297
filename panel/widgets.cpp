#include "widgets.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>

#include <algorithm>

OptionButton::OptionButton(const QString& text, QWidget* parent) : QRadioButton(text, parent) {}

void OptionButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);

    const int indicatorWidth =
        style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, &option, this);
    const int indicatorHeight =
        style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, &option, this);

    QStyleOptionButton indicator = option;
    indicator.rect = QRect(0, (height() - indicatorHeight) / 2, indicatorWidth, indicatorHeight);
    style()->drawPrimitive(QStyle::PE_IndicatorRadioButton, &indicator, &p, this);

    const QRect textRect = captionRect();
    style()->drawItemText(&p, textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                          palette(), isEnabled(), wrappedCaption(), QPalette::WindowText);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = style()->itemTextRect(fontMetrics(), textRect,
                                           Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                                           isEnabled(), wrappedCaption());
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

QRect OptionButton::captionRect() const {
    const int indent = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, this) +
                       style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, this);
    return rect().adjusted(indent, 0, 0, 0);
}

QString OptionButton::wrappedCaption() const {
    return text().simplified();
}

bool OptionButton::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void TrackSlider::mousePressEvent(QMouseEvent* event) {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QPoint at = event->position().toPoint();
    if (event->button() != Qt::LeftButton ||
        style()->hitTestComplexControl(QStyle::CC_Slider, &option, at, this) ==
            QStyle::SC_SliderHandle)
        return QSlider::mousePressEvent(event);

    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QPoint onTrack =
        orientation() == Qt::Horizontal
            ? QPoint(std::clamp(at.x(), groove.left(), groove.right()), groove.center().y())
            : QPoint(groove.center().x(), std::clamp(at.y(), groove.top(), groove.bottom()));
    const QPointF shift = onTrack - at;
    QMouseEvent onGroove(event->type(), onTrack, event->scenePosition() + shift,
                         event->globalPosition() + shift, event->button(), event->buttons(),
                         event->modifiers(), event->pointingDevice());
    QSlider::mousePressEvent(&onGroove);
    event->setAccepted(onGroove.isAccepted());
}

int TrackPagingStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
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

void shrinkFontToFit(QWidget& widget, const QString& text, const QRect& area, int maxLines) {
    QFont font = widget.font();
    for (int size = font.pixelSize(); size >= 8; --size) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        const QRect needed = metrics.boundingRect(area, Qt::TextWordWrap, text);
        if (needed.width() <= area.width() && needed.height() <= area.height() &&
            needed.height() < (maxLines + 1) * metrics.lineSpacing())
            break;
    }
    if (font != widget.font())
        widget.setFont(font);
}
