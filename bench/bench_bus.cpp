// The software's share of one register write: a whole transaction (start, 18 slots, stop,
// 78 port writes) into a port that only keeps the byte.
#include "frames.h"
#include "i2c.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

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
    std::ostringstream diagnostics;
    bus::Transmitter transmitter(port, diagnostics);
    bus::Frame frame = regs::defaultFrame(regs::kMonoDefault);
    int position = 0;
    for (auto _ : state) {
        // A different volume code each time, as the slider sends.
        position = (position + 1) & 31;
        regs::setField(frame, regs::kVolumeCode, position);
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
    std::ostringstream diagnostics;
    regs::ControlFrames frames(port, diagnostics);
    for (auto _ : state) {
        frames.startUp();
        benchmark::DoNotOptimize(port.bytes());
        benchmark::ClobberMemory();
    }
    if (port.count() != 5 * 78 * static_cast<std::size_t>(state.iterations()))
        state.SkipWithError("start-up did not write 5 transactions");
}
BENCHMARK(BM_StartUp);

} // namespace

BENCHMARK_MAIN();
