// Runs two programs alternately (A B A B ...) and reports, for each, the wall time from
// spawn to exit and the peak resident set size the kernel recorded for the process, with
// medians and the ratio B/A. Children get QT_QPA_PLATFORM=offscreen unless it is set, and
// their output goes to /dev/null.
//
//   bench_compare RUNS A B
// The last line is machine-readable:
//   RESULT a_ms=... b_ms=... time_ratio=... a_kib=... b_kib=... rss_ratio=...
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Run {
    double ms;
    long kib;
};

bool runOnce(const char* program, Run& out) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(program), nullptr};

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int error = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        std::fprintf(stderr, "bench_compare: cannot start %s: %s\n", program, std::strerror(error));
        return false;
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) {
        std::perror("bench_compare: wait4");
        return false;
    }
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_compare: %s failed (status 0x%x); run it alone to see why\n",
                     program, status);
        return false;
    }
    out.ms = std::chrono::duration<double, std::milli>(end - start).count();
    out.kib = usage.ru_maxrss;
    return true;
}

template<class T>
T median(std::vector<T> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : static_cast<T>((v[n / 2 - 1] + v[n / 2]) / 2);
}

void summary(const char* label, const char* program, const std::vector<Run>& runs) {
    std::vector<double> ms;
    std::vector<long> kib;
    for (const Run& r : runs) {
        ms.push_back(r.ms);
        kib.push_back(r.kib);
    }
    std::printf("%s %s\n  wall  min %.1f  median %.1f  max %.1f ms\n  peak RSS  min %ld  median %ld  max %ld KiB\n",
                label, program, *std::min_element(ms.begin(), ms.end()), median(ms),
                *std::max_element(ms.begin(), ms.end()), *std::min_element(kib.begin(), kib.end()),
                median(kib), *std::max_element(kib.begin(), kib.end()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_compare RUNS PROGRAM_A PROGRAM_B\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    const char* a = argv[2];
    const char* b = argv[3];
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    // A few runs of each first, not counted, so both start with warm file caches.
    Run r{};
    for (int i = 0; i < 3; ++i)
        if (!runOnce(a, r) || !runOnce(b, r))
            return 1;

    std::vector<Run> ra, rb;
    for (int i = 0; i < runs; ++i) {
        // Alternate which goes first, so neither always follows the other.
        const bool aFirst = i % 2 == 0;
        Run x{}, y{};
        if (!runOnce(aFirst ? a : b, x) || !runOnce(aFirst ? b : a, y))
            return 1;
        ra.push_back(aFirst ? x : y);
        rb.push_back(aFirst ? y : x);
    }

    summary("A", a, ra);
    summary("B", b, rb);
    std::vector<double> ams, bms;
    std::vector<long> akib, bkib;
    for (const Run& x : ra) {
        ams.push_back(x.ms);
        akib.push_back(x.kib);
    }
    for (const Run& x : rb) {
        bms.push_back(x.ms);
        bkib.push_back(x.kib);
    }
    const double aMs = median(ams), bMs = median(bms);
    const long aKib = median(akib), bKib = median(bkib);
    std::printf("RESULT a_ms=%.2f b_ms=%.2f time_ratio=%.3f a_kib=%ld b_kib=%ld rss_ratio=%.3f\n",
                aMs, bMs, bMs / aMs, aKib, bKib,
                static_cast<double>(bKib) / static_cast<double>(aKib));
    return 0;
}
