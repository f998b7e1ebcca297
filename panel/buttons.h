#pragma once

#include <QPushButton>
#include <QRadioButton>

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

// A push button that the arrow keys do not leave. A plain one hands the focus on to the
// previous or next control, and there the next arrow would program the chip: select another
// option button of a group, or move a slider.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
