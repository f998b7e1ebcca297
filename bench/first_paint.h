#pragma once

// Ends the application right after a window's first paint: the filter sees the window's
// first paint event, lets it through, and queues the exit, so the whole first paint (the
// children drawn in the same pass included) and its flush complete before the event loop
// returns. Every start-up program uses this, so they all stop at the same point. There it
// calls qx_bench_first_paint_done(), where callgrind cuts its count (bench/startup-
// instructions runs it with --dump-before=qx_bench_first_paint_done), and prints
//   first_paint_ns=...  the monotonic clock, for bench_compare to measure start-up to the
//                       first painted window apart from tear-down;
//   peak_kib=...        the peak resident memory so far (VmHWM), tear-down left out;
//   window=WxH          the window's size, so a reference window can be given the same.

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QObject>
#include <QWidget>

#include <cstdio>
#include <ctime>

// Called once, at the end of the first paint; never inlined, so callgrind finds it by name.
extern "C" [[gnu::noinline]] inline void qx_bench_first_paint_done() {
    asm volatile("" ::: "memory");
}

class ExitAfterFirstPaint : public QObject {
public:
    explicit ExitAfterFirstPaint(QWidget& window) { window.installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            const QSize size = static_cast<QWidget*>(watched)->size();
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [size] {
                    qx_bench_first_paint_done();
                    timespec now{};
                    clock_gettime(CLOCK_MONOTONIC, &now);
                    std::printf("first_paint_ns=%lld\n",
                                static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
                    std::printf("peak_kib=%ld\n", peakKib());
                    std::printf("window=%dx%d\n", size.width(), size.height());
                    std::fflush(stdout);
                    QCoreApplication::exit(0);
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    static long peakKib() {
        long kib = -1;
        if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
            char line[256];
            while (kib < 0 && std::fgets(line, sizeof line, status))
                if (std::sscanf(line, "VmHWM: %ld kB", &kib) != 1)
                    kib = -1;
            std::fclose(status);
        }
        return kib;
    }
};
