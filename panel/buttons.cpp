#include "buttons.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>

#include <algorithm>

namespace {

// Columns kept blank between a caption and the control to its right; the caption starts as
// much nearer its own indicator, so the longest captions still fit on two lines.
constexpr int kCaptionGap = 2;

bool isArrow(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Up:
        return true;
    default:
        return false;
    }
}

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
    if (!isArrow(event))
        return QRadioButton::keyPressEvent(event);
    const int step = event->key() == Qt::Key_Right || event->key() == Qt::Key_Down ? 1 : -1;
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

void CommandButton::keyPressEvent(QKeyEvent* event) {
    if (!isArrow(event))
        return QPushButton::keyPressEvent(event);
    event->accept();
}
