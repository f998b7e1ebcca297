#include "faults.h"

#include "i2c.h"
#include "messages.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <string>

namespace process {

namespace {

constexpr int kFaults[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP};
constexpr std::size_t kFaultCount = sizeof kFaults / sizeof kFaults[0];

// Worded before any fault: the handler may only copy bytes.
struct Line {
    char text[48];
    std::size_t length;
};
Line g_lines[kFaultCount];

// A stack overflow leaves the thread's own stack unusable; the handler needs one of its own.
alignas(16) char g_stack[64 * 1024];

void say(const Line& line) {
    // A reader that stopped reading would block the write for ever; the line is not worth it.
    pollfd error{STDERR_FILENO, POLLOUT, 0};
    if (::poll(&error, 1, 0) == 1 && (error.revents & POLLOUT)) {
        if (::write(STDERR_FILENO, line.text, line.length) < 0) {
            // Nothing more can be done about standard error here.
        }
    }
}

// SA_RESETHAND has put back the default action: the signal raised here is taken at it once
// the handler returns, and a fault that repeats when its instruction runs again is too.
void onFault(int signal) {
    const int saved = errno;
    bus::abandonTransaction();
    for (std::size_t i = 0; i < kFaultCount; ++i)
        if (kFaults[i] == signal)
            say(g_lines[i]);
    ::raise(signal);
    errno = saved;
}

} // namespace

void walkBusBackOnFaults() {
    for (std::size_t i = 0; i < kFaultCount; ++i) {
        const std::string text = messages::endedBy(kFaults[i]) + "\n";
        g_lines[i].length = std::min(text.size(), sizeof g_lines[i].text);
        std::copy_n(text.data(), g_lines[i].length, g_lines[i].text);
    }
    stack_t stack{};
    stack.ss_sp = g_stack;
    stack.ss_size = sizeof g_stack;
    ::sigaltstack(&stack, nullptr);
    struct sigaction action {};
    action.sa_handler = onFault;
    action.sa_flags = SA_ONSTACK | SA_RESETHAND;
    sigfillset(&action.sa_mask);
    for (const int signal : kFaults)
        ::sigaction(signal, &action, nullptr);
}

} // namespace process
