// Runs programs in turn (A B C A B C ..., each round starting one further along) and
// reports, for each, the time from spawn to its first painted window (the
// "first_paint_ns=" line it prints; see first_paint.h), the time from spawn to exit, and
// the peak resident set size the kernel recorded for the process, with medians. Children
// get QT_QPA_PLATFORM=offscreen unless it is set.
//
//   bench_compare RUNS PROGRAM...
// The last line is machine-readable, with the medians of program i (from 0) as
//   RESULT ms0=... exit_ms0=... kib0=... ms1=... exit_ms1=... kib1=... ...
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
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_compare RUNS PROGRAM...\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    const std::vector<const char*> programs(argv + 2, argv + argc);
    const std::size_t n = programs.size();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    // A few runs of each first, not counted, so all start with warm file caches.
    Run r{};
    for (int i = 0; i < 3; ++i)
        for (const char* p : programs)
            if (!runOnce(p, r))
                return 1;

    std::vector<std::vector<Run>> results(n);
    for (int i = 0; i < runs; ++i) {
        // Rotate which goes first, so none always follows the same other.
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t p = (static_cast<std::size_t>(i) + k) % n;
            Run x{};
            if (!runOnce(programs[p], x))
                return 1;
            results[p].push_back(x);
        }
    }

    for (std::size_t p = 0; p < n; ++p) {
        const std::string label(1, static_cast<char>('A' + p));
        summary(label.c_str(), programs[p], results[p]);
    }
    std::printf("RESULT");
    for (std::size_t p = 0; p < n; ++p)
        std::printf(" ms%zu=%.2f exit_ms%zu=%.2f kib%zu=%ld", p,
                    median(field(results[p], &Run::paintMs)), p,
                    median(field(results[p], &Run::exitMs)), p, median(peaks(results[p])));
    std::printf("\n");
    return 0;
}
