// Standard error as the program writes it: a reader that does not read costs lines, never
// time; lines stay whole and in order; their count follows once the reader catches up.
#include "linelog.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;

std::string readUntil(int fd, const std::string& end) {
    std::string got;
    char buffer[4096];
    for (auto limit = std::chrono::steady_clock::now() + 5s;
         got.find(end) == std::string::npos && std::chrono::steady_clock::now() < limit;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        n > 0 ? void(got.append(buffer, n)) : std::this_thread::sleep_for(1ms);
    }
    return got;
}

TEST(LineLog, AFullPipeCostsLinesNotTimeAndTheirCountFollows) {
    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_NONBLOCK), 0);
    std::size_t full = 0;
    for (const std::string chunk(4096, '-'); ::write(fds[1], chunk.data(), chunk.size()) > 0;)
        full += chunk.size();
    ::fcntl(fds[1], F_SETFL, 0); // blocking, as a terminal is: the log must leave it so
    const int flags = ::fcntl(fds[1], F_GETFL);
    panel::LineLog log(fds[1], 8);
    const std::string text(100, 'x');
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 200; ++i)
        log.stream() << i << ' ' << text << '\n';
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);

    const std::string got = readUntil(fds[0], "being read\n");
    log.line("after");
    std::istringstream lines(got.substr(full) + readUntil(fds[0], "after\n"));
    int written = 0;
    std::string line;
    for (int last = -1; std::getline(lines, line) && line.find("qx5180") == std::string::npos;
         ++written, last = std::stoi(line)) {
        EXPECT_GT(std::stoi(line), last);
        EXPECT_EQ(line, std::to_string(std::stoi(line)) + ' ' + text);
    }
    EXPECT_EQ(line, "qx5180: " + std::to_string(200 - written) +
                        " lines were dropped while standard error was not being read");
    EXPECT_TRUE(std::getline(lines, line) && line == "after" && !std::getline(lines, line));
    EXPECT_EQ(::fcntl(fds[1], F_GETFL), flags);

    // The reader goes: EPIPE, and no SIGPIPE (default here) ends the process.
    ::close(fds[0]);
    log.line("to nobody");
    log.flush();
    log.line("to nobody either");
    ::close(fds[1]);
}

} // namespace
