#include "widgets.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyleOptionButton>

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
                          palette(), isEnabled(), text(), QPalette::WindowText);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = style()->itemTextRect(fontMetrics(), textRect,
                                           Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                                           isEnabled(), text());
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

QRect OptionButton::captionRect() const {
    const int indent = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, this) +
                       style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, this);
    return rect().adjusted(indent, 0, 0, 0);
}

bool OptionButton::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
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

void shrinkFontToFit(QWidget& widget, const QString& text, const QRect& area) {
    QFont font = widget.font();
    for (int size = font.pixelSize(); size >= 8; --size) {
        font.setPixelSize(size);
        const QRect needed = QFontMetrics(font).boundingRect(area, Qt::TextWordWrap, text);
        if (needed.width() <= area.width() && needed.height() <= area.height())
            break;
    }
    if (font != widget.font())
        widget.setFont(font);
}
