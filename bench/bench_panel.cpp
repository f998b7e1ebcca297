// From a key press on the loudspeaker volume slider to the stop condition on the port,
// through the real window on Qt's offscreen platform. The port only keeps the byte and
// notes the time at which the transaction's last write, the stop's, arrives; the clock
// starts just before the key event is sent. Prints the median and the 90th percentile.
//
//   bench_panel [presses]     (default 2000, after 200 presses not counted)
#include "qx5180.h"

#include <QApplication>
#include <QSlider>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTransactionWrites = 78;

class StampingPort : public bus::Port {
public:
    int write(std::uint8_t value) override {
        m_last = value;
        if (++m_writes == kTransactionWrites)
            m_stop = Clock::now();
        return 0;
    }
    std::string name() const override { return "stamping port"; }

    void arm() { m_writes = 0; }
    int writes() const { return m_writes; }
    Clock::time_point stop() const { return m_stop; }
    std::uint8_t last() const { return m_last; }

private:
    volatile std::uint8_t m_last = 0;
    int m_writes = 0;
    Clock::time_point m_stop{};
};

double percentile(const std::vector<double>& sorted, double p) {
    // Nearest rank.
    const auto n = sorted.size();
    auto rank = static_cast<std::size_t>(p * static_cast<double>(n) + 0.999999);
    rank = std::clamp<std::size_t>(rank, 1, n);
    return sorted[rank - 1];
}

} // namespace

int main(int argc, char** argv) {
    int presses = 2000;
    if (argc > 1)
        presses = std::max(1, std::atoi(argv[1]));
    constexpr int kWarmUp = 200;

    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);

    StampingPort port;
    std::string diagnostics;
    QX5180 window(port,
                  [&diagnostics](std::string_view line) { diagnostics.append(line) += '\n'; });
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "bench_panel: the window never appeared\n");
        return 1;
    }
    auto* slider = window.findChild<QSlider*>(QStringLiteral("monovol"));
    if (!slider) {
        std::fprintf(stderr, "bench_panel: no slider named monovol\n");
        return 1;
    }

    std::vector<double> toStop;   // key event sent -> stop written, µs
    std::vector<double> keyClick; // press and release delivered, µs
    toStop.reserve(static_cast<std::size_t>(presses));
    keyClick.reserve(static_cast<std::size_t>(presses));

    for (int i = 0; i < kWarmUp + presses; ++i) {
        // Right and Left in turn, so the value changes every time; at an end only the
        // key that moves away from it.
        Qt::Key key = (i % 2 == 0) ? Qt::Key_Right : Qt::Key_Left;
        if (slider->value() == slider->minimum())
            key = Qt::Key_Right;
        else if (slider->value() == slider->maximum())
            key = Qt::Key_Left;
        const int before = slider->value();

        port.arm();
        const Clock::time_point start = Clock::now();
        QTest::keyClick(slider, key);
        const Clock::time_point clicked = Clock::now();

        if (port.writes() != kTransactionWrites || slider->value() == before) {
            std::fprintf(stderr, "bench_panel: press %d wrote %d bytes (value %d -> %d)\n", i,
                         port.writes(), before, slider->value());
            return 1;
        }
        if (i >= kWarmUp) {
            toStop.push_back(
                std::chrono::duration<double, std::micro>(port.stop() - start).count());
            keyClick.push_back(std::chrono::duration<double, std::micro>(clicked - start).count());
        }
        // Let the window repaint what the press changed, as the event loop would, outside
        // the measured span.
        QCoreApplication::processEvents();
    }
    if (!diagnostics.empty()) {
        std::fprintf(stderr, "bench_panel: diagnostics: %s\n", diagnostics.c_str());
        return 1;
    }

    std::sort(toStop.begin(), toStop.end());
    std::sort(keyClick.begin(), keyClick.end());
    std::printf("key press on monovol to stop written, %d presses (%d more before, not counted)\n",
                presses, kWarmUp);
    std::printf("  to stop:     min %.2f  median %.2f  p90 %.2f  p99 %.2f  max %.2f µs\n",
                toStop.front(), percentile(toStop, 0.5), percentile(toStop, 0.9),
                percentile(toStop, 0.99), toStop.back());
    std::printf("  whole click: min %.2f  median %.2f  p90 %.2f  p99 %.2f  max %.2f µs\n",
                keyClick.front(), percentile(keyClick, 0.5), percentile(keyClick, 0.9),
                percentile(keyClick, 0.99), keyClick.back());
    std::printf("RESULT key_to_stop_median_us=%.3f key_to_stop_p90_us=%.3f\n",
                percentile(toStop, 0.5), percentile(toStop, 0.9));
    return 0;
}
