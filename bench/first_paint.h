#pragma once

// Ends the application right after a window's first paint: the filter sees the window's
// first paint event, lets it through, and queues the exit, so the whole first paint (the
// children drawn in the same pass included) and its flush complete before the event loop
// returns. At that point it prints the monotonic clock in nanoseconds as
// "first_paint_ns=..." on standard output, for bench_compare to measure start-up to the
// first painted window apart from tear-down. Every start-up program uses this, so they
// all stop at the same point.

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QObject>

#include <cstdio>
#include <ctime>

class ExitAfterFirstPaint : public QObject {
public:
    explicit ExitAfterFirstPaint(QObject& window) { window.installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [] {
                    timespec now{};
                    clock_gettime(CLOCK_MONOTONIC, &now);
                    std::printf("first_paint_ns=%lld\n",
                                static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
                    std::fflush(stdout);
                    QCoreApplication::exit(0);
                },
                Qt::QueuedConnection);
        }
        return false;
    }
};
