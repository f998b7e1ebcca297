#include "text.h"

#include <QAccessible>
#include <QFontMetrics>

Notice::Notice(QWidget* parent) : QWidget(parent) {
    setGeometry(0, 0, 1, 1);
    hide();
}

void Notice::say(const QString& message) {
    m_message = message;
    hide();
    m_timer.start(150, this);
}

void Notice::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_timer.timerId())
        return QWidget::timerEvent(event);
    if (isHidden()) {
        show();
        m_timer.start(1000, this);
    } else {
        hide();
        m_timer.stop();
    }
}

ReadOnlyBox::ReadOnlyBox(const QString& text, QWidget* parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignCenter);
    setReadOnly(true);
    setText(text);
    connect(this, &QLineEdit::textChanged, this, [this](const QString& now) {
        QAccessibleValueChangeEvent shown(this, now);
        QAccessible::updateAccessibility(&shown);
    });
}

int fittingPixelSize(QFont font, int size, const QString& text, const QRect& area, int maxLines) {
    for (; size > 8; --size) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        const QRect needed = metrics.boundingRect(area, Qt::TextWordWrap, text);
        if (needed.width() <= area.width() && needed.height() <= area.height() &&
            needed.height() < (maxLines + 1) * metrics.lineSpacing())
            break;
    }
    return size;
}
