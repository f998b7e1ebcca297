#pragma once

// Start-up phase marks for the *_phases builds of the start-up programs (compiled with
// QX_BENCH_PHASES); in the measured builds every mark compiles to nothing.
//
// Each mark is a wall-clock time in ms since the process was spawned, taken from
// QX_SPAWN_US (µs since the epoch, set by whoever starts the program: startup-phases.sh).
// Each mark also notes the resident set size then (from /proc/self/statm). The marks are
// printed to stdout when static objects are destroyed, after main's own objects (the
// window, the application) are gone.

#ifdef QX_BENCH_PHASES

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace phases {

inline double nowUs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

inline long residentKib() {
    long size = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &size, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct Recorder {
    std::vector<std::tuple<const char*, double, long>> marks;
    ~Recorder() {
        const char* spawn = std::getenv("QX_SPAWN_US");
        const double origin = spawn ? std::strtod(spawn, nullptr) : 0.0;
        mark("teardown done");
        for (const auto& [name, us, kib] : marks)
            std::printf("phase\t%s\t%.3f\t%ld\n", name, (us - origin) / 1000.0, kib);
        std::fflush(stdout);
    }
    void mark(const char* name) {
        const double us = nowUs();
        marks.emplace_back(name, us, residentKib());
    }
};

inline Recorder& recorder() {
    static Recorder r;
    return r;
}

} // namespace phases

#define QX_PHASE(name) phases::recorder().mark(name)

#else

#define QX_PHASE(name) ((void)0)

#endif
