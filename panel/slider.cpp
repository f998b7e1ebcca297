#include "slider.h"

#include "text.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QStyleOptionSlider>

TrackSlider::TrackSlider(regs::Field field, QWidget* parent)
    : QSlider(Qt::Horizontal, parent), m_field(field) {
    setTickPosition(TicksBelow);
    setTickInterval(1);
    setRange(0, (1 << field.width) - 1);
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
    if (m_stepBox)
        m_stepBox->setText(QString::number(step()));
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
