#pragma once

#include <QBasicTimer>
#include <QLineEdit>
#include <QPixmap>
#include <QProxyStyle>
#include <QRadioButton>
#include <QSlider>
#include <QStringList>

#include <map>

class Notice;

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
    bool hasStepTexts() const { return !m_stepTexts.isEmpty(); }
    int step() const { return value() - minimum() + 1; }
    QString stepText() const;
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

    QStringList m_stepTexts;
    Notice* m_notice = nullptr;
    QBasicTimer m_repeat;
    QPoint m_pointer;
    int m_paging = 0;
};

// Tells a screen reader what an action did where the focus stays put. Orca 43 reads a
// notification as it appears, but none of Qt's name or description changes, so the message
// appears on an invisible widget a moment after the action: what the action itself makes Orca
// say (a new focus, a value) would cut it off. It goes again after a second, so that a review
// of the window does not read an old message.
class Notice : public QWidget {
    Q_OBJECT
public:
    explicit Notice(QWidget* parent);
    void say(const QString& message);
    const QString& message() const { return m_message; }

protected:
    void paintEvent(QPaintEvent*) override {}
    void timerEvent(QTimerEvent* event) override;

private:
    QString m_message;
    QBasicTimer m_timer;
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

private:
    void drawGroup(const QStyleOptionComplex* option, QPainter* painter,
                   const QWidget* widget) const;
    void drawOptionCircle(const QStyleOption* option, QPainter* painter,
                          const QWidget* widget) const;

    struct CircleKey {
        qint64 palette;
        uint state;
        int width;
        int height;
        qreal scale;
        auto operator<=>(const CircleKey&) const = default;
    };
    mutable std::map<CircleKey, QPixmap> m_circles;
};

// Gives the window and every control in it the panel's style and fixed light palette, and
// keeps them: palette, theme and font changes of the application no longer reach them.
void keepPanelLook(QWidget& window, PanelStyle& style);

// One of the window's images: ":/logo.bmp" as RGB32, ":/qx5180-32.bmp" as ARGB32. The window
// icon is the 32 px one alone: a window manager scales it where it needs another size, and a
// desktop that matches the window to its entry shows the sizes the package installs.
QPixmap panelImage(const char* name, QImage::Format format);

// Has screen readers read the panel's sliders and boxes as the screen shows them
// (access.cpp). Call it before the first control exists, so that none is read through Qt's
// own interface first and kept in its cache.
void readAsShown();

// The largest pixel size from `size` down to 8 at which `text`, wrapped, fits `area` in at
// most maxLines lines; 8 when none does.
int fittingPixelSize(QFont font, int size, const QString& text, const QRect& area,
                     int maxLines = 1000);
