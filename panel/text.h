#pragma once

#include <QBasicTimer>
#include <QLineEdit>

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

// Has screen readers read the panel's sliders and boxes as the screen shows them
// (access.cpp). Call it before the first control exists, so that none is read through Qt's
// own interface first and kept in its cache.
void readAsShown();

// The largest pixel size from `size` down to 8 at which `text`, wrapped, fits `area` in at
// most maxLines lines; 8 when none does.
int fittingPixelSize(QFont font, int size, const QString& text, const QRect& area,
                     int maxLines = 1000);
