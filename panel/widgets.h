#pragma once

#include <QProxyStyle>
#include <QRadioButton>
#include <QSlider>

// A radio button whose caption wraps inside its fixed rectangle and which answers clicks
// anywhere in that rectangle. Its text() stays the exact caption, blanks and all.
class OptionButton : public QRadioButton {
    Q_OBJECT
public:
    explicit OptionButton(const QString& text, QWidget* parent = nullptr);

    // Where the caption is drawn: the whole button right of the indicator.
    QRect captionRect() const;
    // The caption as it is wrapped: runs of blanks, which only spaced it on the panel
    // drawing, count as one.
    QString wrappedCaption() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};

// A left click anywhere in the slider's rectangle, off the thumb, counts as a click on the
// track, which the style otherwise limits to a groove a few pixels high.
class TrackSlider : public QSlider {
    Q_OBJECT
public:
    using QSlider::QSlider;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// A left click on a slider's track moves one large step towards the click, whatever the
// desktop style prefers (some jump straight to the click).
class TrackPagingStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

// The dense fixed layout leaves some captions little room: where the wrapped text would not
// fit its area, or would take more than maxLines lines, at the window's font, the widget
// gets the largest smaller font that fits.
void shrinkFontToFit(QWidget& widget, const QString& text, const QRect& area, int maxLines = 1000);
