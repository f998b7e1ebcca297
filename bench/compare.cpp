// Runs two programs alternately (A B A B ...) and reports, for each, the time from spawn to
// its first painted window (the "first_paint_ns=" line it prints; see first_paint.h), the
// time from spawn to exit, and the peak resident set size the kernel recorded for the
// process, with medians and the ratios B/A. Children get QT_QPA_PLATFORM=offscreen unless
// it is set.
//
//   bench_compare RUNS A B
// The last line is machine-readable:
//   RESULT a_ms=... b_ms=... time_ratio=... a_exit_ms=... b_exit_ms=... exit_ratio=...
//          a_kib=... b_kib=... rss_ratio=...
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
    double paintMs; // spawn to first paint done
    double exitMs;  // spawn to exit
    long kib;
};

bool runOnce(const char* program, Run& output) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    int out[2];
    if (pipe(out) != 0) {
        std::perror("bench_compare: pipe");
        return false;
    }
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(program), nullptr};

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int error = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (error != 0) {
        close(out[0]);
        std::fprintf(stderr, "bench_compare: cannot start %s: %s\n", program, std::strerror(error));
        return false;
    }
    std::string printed;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        printed.append(buffer, static_cast<std::size_t>(n));
    close(out[0]);
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
    const auto stamp = printed.find("first_paint_ns=");
    if (stamp == std::string::npos) {
        std::fprintf(stderr, "bench_compare: %s printed no first_paint_ns= line\n", program);
        return false;
    }
    // steady_clock is CLOCK_MONOTONIC here, the clock the child stamps with.
    const std::chrono::nanoseconds painted(std::stoll(printed.substr(stamp + 15)));
    output.paintMs =
        std::chrono::duration<double, std::milli>(painted - start.time_since_epoch()).count();
    output.exitMs = std::chrono::duration<double, std::milli>(end - start).count();
    output.kib = usage.ru_maxrss;
    return true;
}

template<class T>
T median(std::vector<T> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : static_cast<T>((v[n / 2 - 1] + v[n / 2]) / 2);
}

std::vector<double> field(const std::vector<Run>& runs, double Run::*member) {
    std::vector<double> v;
    for (const Run& r : runs)
        v.push_back(r.*member);
    return v;
}

std::vector<long> peaks(const std::vector<Run>& runs) {
    std::vector<long> v;
    for (const Run& r : runs)
        v.push_back(r.kib);
    return v;
}

void summary(const char* label, const char* program, const std::vector<Run>& runs) {
    const auto paint = field(runs, &Run::paintMs);
    const auto exit = field(runs, &Run::exitMs);
    const auto kib = peaks(runs);
    std::printf("%s %s\n  first paint  min %.1f  median %.1f  max %.1f ms\n"
                "  exit  min %.1f  median %.1f  max %.1f ms\n"
                "  peak RSS  min %ld  median %ld  max %ld KiB\n",
                label, program, *std::min_element(paint.begin(), paint.end()), median(paint),
                *std::max_element(paint.begin(), paint.end()),
                *std::min_element(exit.begin(), exit.end()), median(exit),
                *std::max_element(exit.begin(), exit.end()),
                *std::min_element(kib.begin(), kib.end()), median(kib),
                *std::max_element(kib.begin(), kib.end()));
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
    const double aPaint = median(field(ra, &Run::paintMs));
    const double bPaint = median(field(rb, &Run::paintMs));
    const double aExit = median(field(ra, &Run::exitMs));
    const double bExit = median(field(rb, &Run::exitMs));
    const long aKib = median(peaks(ra)), bKib = median(peaks(rb));
    std::printf("RESULT a_ms=%.2f b_ms=%.2f time_ratio=%.3f a_exit_ms=%.2f b_exit_ms=%.2f "
                "exit_ratio=%.3f a_kib=%ld b_kib=%ld rss_ratio=%.3f\n",
                aPaint, bPaint, bPaint / aPaint, aExit, bExit, bExit / aExit, aKib, bKib,
                static_cast<double>(bKib) / static_cast<double>(aKib));
    return 0;
}
