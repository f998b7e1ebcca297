#pragma once

#include "frames.h"

#include <QBasicTimer>
#include <QSlider>
#include <QStringList>

class Notice;
class QLineEdit;

// A slider over one register field: its positions are the field's values. A left click
// anywhere in the slider's rectangle off the thumb moves one large step towards the click,
// however near the thumb; held, it repeats until the thumb reaches the pointer. A screen
// reader is given the step the panel shows beside the slider, not its position.
class TrackSlider : public QSlider {
    Q_OBJECT
public:
    TrackSlider(regs::Field field, QWidget* parent);

    regs::Field field() const { return m_field; }
    // The texts shown for the positions; none: the steps are numbered from 1.
    void setStepTexts(const QStringList& texts);
    bool hasStepTexts() const { return !m_stepTexts.isEmpty(); }
    int step() const { return value() - minimum() + 1; }
    QString stepText() const;
    // The box that shows the step, whoever moves the slider, quietly or not.
    void setStepBox(QLineEdit* box) { m_stepBox = box; }
    // Where a step is said that a screen reader would keep quiet about.
    void setNotice(Notice* notice) { m_notice = notice; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void sliderChange(SliderChange change) override;

private:
    // +1 or -1 while a press beside the thumb pages towards the pointer; 0 otherwise.
    int pagingDirection() const;
    void pageTowardsPointer();

    const regs::Field m_field;
    QStringList m_stepTexts;
    QLineEdit* m_stepBox = nullptr;
    Notice* m_notice = nullptr;
    QBasicTimer m_repeat;
    QPoint m_pointer;
    int m_paging = 0;
};
