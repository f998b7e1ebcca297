#pragma once

// Ends the application right after a window's first paint: the filter sees the window's
// first paint event, lets it through, and queues the exit, so the whole first paint (the
// children drawn in the same pass included) and its flush complete before the event loop
// returns. Both start-up programs use this, so they stop at the same point.

#include "phases.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QObject>

class ExitAfterFirstPaint : public QObject {
public:
    explicit ExitAfterFirstPaint(QObject& window) { window.installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            QX_PHASE("first paint event");
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [] {
                    QX_PHASE("first paint done");
                    QCoreApplication::exit(0);
                },
                Qt::QueuedConnection);
        }
        return false;
    }
};
