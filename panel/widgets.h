#pragma once

#include <QBasicTimer>
#include <QLineEdit>
#include <QProxyStyle>
#include <QRadioButton>
#include <QSlider>
#include <QStringList>

class QIcon;

// A radio button whose caption wraps inside its fixed rectangle and which answers clicks
// anywhere in that rectangle. Its text() stays the exact caption, blanks and all. The
// arrow keys go round its group in on-screen order.
class OptionButton : public QRadioButton {
    Q_OBJECT
public:
    explicit OptionButton(const QString& text, QWidget* parent = nullptr);

    // Where the caption is drawn: right of the indicator, clear of the next control.
    QRect captionRect() const;
    // The caption as it is wrapped: runs of blanks, which only spaced it on the panel
    // drawing, count as one.
    QString wrappedCaption() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QRect indicatorRect() const;
};

// A left click anywhere in the slider's rectangle off the thumb moves one large step towards
// the click, however near the thumb; held, it repeats until the thumb reaches the pointer.
// A screen reader is given the step the panel shows beside the slider, not its position.
class TrackSlider : public QSlider {
    Q_OBJECT
public:
    using QSlider::QSlider;

    // The texts shown for the positions; none: the steps are numbered from 1.
    void setStepTexts(const QStringList& texts);
    int step() const { return value() - minimum() + 1; }
    QString stepText() const;

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

    QStringList m_stepTexts;
    QBasicTimer m_repeat;
    QPoint m_pointer;
    int m_paging = 0;
};

// A read-only box whose changes a screen reader hears as well as sees: each new text goes
// out as the box's value too.
class ReadOnlyBox : public QLineEdit {
    Q_OBJECT
public:
    explicit ReadOnlyBox(const QString& text, QWidget* parent = nullptr);
};

// The panel's one look: Fusion, light, with a strong focus ring on every focused control
// and no other sign of focus, and sliders that page on a left click on their track.
class PanelStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
};

// Gives the window and every control in it the panel's style and fixed light palette, and
// keeps them: palette, theme and font changes of the application no longer reach them.
void keepPanelLook(QWidget& window, PanelStyle& style);

// The window icon at each size the package ships.
QIcon panelIcon();

// Has screen readers read the panel's sliders and boxes as the screen shows them
// (access.cpp). Call it before the first control exists, so that none is read through Qt's
// own interface first and kept in its cache.
void readAsShown();

// The largest pixel size from `size` down to 8 at which `text`, wrapped, fits `area` in at
// most maxLines lines; 8 when none does.
int fittingPixelSize(QFont font, int size, const QString& text, const QRect& area,
                     int maxLines = 1000);
