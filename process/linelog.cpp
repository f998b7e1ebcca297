#include "linelog.h"

#include "messages.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

namespace process {

struct LineLog::Shared {
    explicit Shared(int descriptor, std::size_t limit) : fd(descriptor), capacity(limit) {}

    const int fd;
    const std::size_t capacity;
    std::mutex mutex;
    std::condition_variable queued;  // a line or a count for the writer, or the end
    std::condition_variable written; // the writer finished a line
    std::deque<std::string> lines;
    std::size_t dropped = 0;
    bool writing = false; // the writer holds a line it has not finished
    bool broken = false;  // the descriptor failed; nothing more is written
    bool closing = false;
    std::uint64_t progress = 0;

    bool idle() const { return broken || (lines.empty() && dropped == 0 && !writing); }
};

namespace {

// The whole of `text`, however many writes it takes; false once the descriptor fails.
bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            // The caller left the descriptor non-blocking; this thread may wait.
            pollfd ready{fd, POLLOUT, 0};
            ::poll(&ready, 1, -1);
        } else if (n < 0 && errno != EINTR) {
            return false;
        }
    }
    return true;
}

// How many quiet spells flush() waits out while the descriptor could take a write.
constexpr int kStarvedWaits = 50;

bool takesWrites(int fd) {
    pollfd ready{fd, POLLOUT, 0};
    return ::poll(&ready, 1, 0) == 1 && (ready.revents & POLLOUT) != 0;
}

void writeLines(const std::shared_ptr<LineLog::Shared>& shared) {
    auto& s = *shared;
    std::unique_lock lock(s.mutex);
    for (;;) {
        s.queued.wait(lock, [&] { return !s.lines.empty() || s.dropped || s.closing; });
        std::string text;
        if (!s.lines.empty()) {
            text = std::move(s.lines.front());
            s.lines.pop_front();
        } else if (s.dropped) {
            text = messages::droppedLines(s.dropped);
            s.dropped = 0;
        } else {
            return;
        }
        s.writing = true;
        lock.unlock();
        const bool ok = writeAll(s.fd, text + '\n');
        lock.lock();
        s.writing = false;
        if (!ok) {
            s.broken = true;
            s.lines.clear();
            s.dropped = 0;
        }
        ++s.progress;
        s.written.notify_all();
    }
}

} // namespace

LineLog::LineLog(int fd, std::size_t capacity) : m_shared(std::make_shared<Shared>(fd, capacity)) {
    // The writer takes no signal: those are for the thread that runs the window.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    try {
        std::thread(writeLines, m_shared).detach();
    } catch (const std::system_error& failure) {
        m_threadError = failure.code().value(); // lines are then written as they come
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

LineLog::~LineLog() {
    flush();
    const std::lock_guard lock(m_shared->mutex);
    m_shared->closing = true;
    m_shared->queued.notify_all();
}

void LineLog::line(std::string_view text) {
    auto& s = *m_shared;
    const std::lock_guard lock(s.mutex);
    if (s.broken)
        return;
    if (m_threadError != 0) {
        s.broken = !writeAll(s.fd, std::string(text) + '\n');
        return;
    }
    if (s.lines.size() >= s.capacity) {
        ++s.dropped;
        return;
    }
    s.lines.emplace_back(text);
    s.queued.notify_one();
}

void LineLog::flush(std::chrono::milliseconds quiet) {
    auto& s = *m_shared;
    std::unique_lock lock(s.mutex);
    // A descriptor that could take a write is no stuck reader: the writer is only waiting for
    // the processor, as on a busy machine, and its line, often the last one, is worth a wait.
    int patience = kStarvedWaits;
    while (!s.idle()) {
        const std::uint64_t before = s.progress;
        if (!s.written.wait_for(lock, quiet, [&] { return s.progress != before || s.idle(); }) &&
            (!takesWrites(s.fd) || --patience == 0))
            return;
    }
}

} // namespace process
