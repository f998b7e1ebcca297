#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace process {

// Standard error as the program writes it: whole lines that never hold up the caller.
//
// A thread of its own writes the lines to the descriptor, in order, each one whole (a short
// write is finished before the next line starts). The caller only queues a line, so a
// reader that stops reading (a full pipe, a terminal held with Ctrl+S) stalls that thread,
// never the window. While `capacity` lines wait, further lines are dropped and counted;
// once the queue has drained, one line says how many went. A reader that has gone away
// (EPIPE, with SIGPIPE ignored) or a descriptor that fails ends writing: lines are then
// discarded. The descriptor is shared with the caller, so its flags are never changed; one
// the caller left non-blocking is waited on with poll().
class LineLog {
public:
    explicit LineLog(int fd, std::size_t capacity = 1024);
    // Waits for the lines still queued as flush() does, then leaves a stuck writer behind.
    ~LineLog();
    LineLog(const LineLog&) = delete;
    LineLog& operator=(const LineLog&) = delete;

    // Queues one line; `text` holds no newline. Safe from any thread.
    void line(std::string_view text);
    // Why the writer thread could not be started (an errno value), or 0. Without it each
    // line is written as it comes, and may stall its caller.
    int threadError() const { return m_threadError; }
    // Waits until every queued line is written, giving up once `quiet` passes with no line
    // written while the descriptor can take no write: a reader that is slow still gets all,
    // one that is stuck costs `quiet`. While it could take one, the writer is only starved of
    // the processor: that is waited out for up to 50 times `quiet`.
    void flush(std::chrono::milliseconds quiet = std::chrono::milliseconds(100));

    struct Shared; // what the writer thread shares with the log

private:
    std::shared_ptr<Shared> m_shared;
    int m_threadError = 0;
};

} // namespace process
