// The software's share of one register write: a whole transaction (start, 18 slots, stop,
// 78 port writes) into a port that only keeps the byte. And the same transaction through
// the real ppdev back end on a kernel that takes bytes at once: the line states the pacing
// makes, and what a frame then costs.
#include "backends.h"
#include "frames.h"
#include "i2c.h"

#include <benchmark/benchmark.h>
// ppdev.h builds its request codes from the macros in ioctl.h.
#include <sys/ioctl.h>

#include <linux/ppdev.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Stores each byte into a small ring, so every write leaves a visible trace in memory.
class StoringPort : public bus::Port {
public:
    int write(std::uint8_t value) override {
        m_bytes[m_next++ & (kSize - 1)] = value;
        return 0;
    }
    std::string name() const override { return "storing port"; }

    std::size_t count() const { return m_next; }
    const std::uint8_t* bytes() const { return m_bytes; }

private:
    static constexpr std::size_t kSize = 128;
    std::uint8_t m_bytes[kSize] = {};
    std::size_t m_next = 0;
};

void BM_PPort(benchmark::State& state) {
    StoringPort port;
    bus::Transmitter transmitter(port);
    int position = 0;
    for (auto _ : state) {
        // A different volume code each time, as the slider sends.
        position = (position + 1) & 31;
        bus::Frame frame = regs::defaultFrame(static_cast<std::uint8_t>(0x80 | position));
        benchmark::DoNotOptimize(frame);
        transmitter.PPort(frame);
        benchmark::DoNotOptimize(port.bytes());
        benchmark::ClobberMemory();
    }
    if (port.count() != 78 * static_cast<std::size_t>(state.iterations()))
        state.SkipWithError("the transaction did not write 78 bytes");
    state.counters["port_writes"] =
        benchmark::Counter(static_cast<double>(port.count()), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PPort);

// For reference: what the window's load handler sends, five transactions.
void BM_StartUp(benchmark::State& state) {
    StoringPort port;
    regs::ControlFrames frames(port);
    for (auto _ : state) {
        frames.startUp();
        benchmark::DoNotOptimize(port.bytes());
        benchmark::ClobberMemory();
    }
    if (port.count() != 5 * 78 * static_cast<std::size_t>(state.iterations()))
        state.SkipWithError("start-up did not write 5 transactions");
}
BENCHMARK(BM_StartUp);

// Grants /dev/parport0 and takes every byte at once, noting how long the previous line
// state lasted.
class FastKernel final : public bus::PortAccess {
public:
    using Clock = std::chrono::steady_clock;

    int openReadWrite(const std::string&, int& fd) override {
        fd = 3;
        return 0;
    }
    int ioctl(int, unsigned long request, void*) override {
        if (request == PPWDATA) {
            const Clock::time_point now = Clock::now();
            if (m_last != Clock::time_point{})
                states.push_back(std::chrono::duration<double, std::micro>(now - m_last).count());
            m_last = now;
        }
        return 0;
    }
    int ioctlWithin(int fd, unsigned long request, void* arg, std::chrono::milliseconds) override {
        return ioctl(fd, request, arg);
    }
    void close(int) override {}
    int readFile(const std::string&, std::string&) override { return ENOENT; }
    int ioperm(unsigned long, unsigned long, bool) override { return EPERM; }
    void outb(std::uint8_t, std::uint16_t) override {}
    int lock(const std::string&, int&, std::string&) override { return ENOLCK; }
    uid_t geteuid() override { return 1000; }

    std::vector<double> states; // µs

private:
    Clock::time_point m_last{};
};

void BM_PacedPPort(benchmark::State& state) {
    FastKernel kernel;
    bus::ChosenPort chosen = bus::choosePort(
        kernel, [](const bus::PortEvent&) {}, [] { return nullptr; });
    if (!chosen.port || chosen.port->name() != bus::kParportDevice) {
        state.SkipWithError("the fake kernel's device was not chosen");
        return;
    }
    bus::Transmitter transmitter(*chosen.port);
    const bus::Frame frame = regs::defaultFrame(0x80);
    kernel.states.reserve(1 << 20);
    for (auto _ : state)
        transmitter.PPort(frame);
    std::vector<double>& states = kernel.states;
    if (states.empty())
        return;
    std::sort(states.begin(), states.end());
    state.counters["shortest_state_us"] = states.front();
    state.counters["median_state_us"] = states[states.size() / 2];
    state.counters["longest_state_us"] = states.back();
}
BENCHMARK(BM_PacedPPort)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
