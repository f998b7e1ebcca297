#pragma once

#include <QObject>

#include <memory>
#include <string>

class QSocketNotifier;

namespace process {

class LineLog;

// The process as a privileged program should find it, done first in main(): descriptors
// 0, 1 and 2 open (/dev/null for any the caller closed, so that the port can never become
// standard error and take its messages as data), and SIGPIPE ignored, so that a reader of
// standard error that goes away costs the lines, not the program. Started privileged
// (effective uid 0), every other inherited descriptor closed and the process made not
// dumpable (PR_SET_DUMPABLE 0).
void prepareProcess();

// What a start needs and a limit set by the caller can deny: a thread for standard error,
// free file descriptors (ulimit -n, less those open already), a second of CPU time between
// SIGXCPU and SIGKILL (ulimit -t; the soft limit is lowered to make it) and address space
// (ulimit -v). Checked before the port is taken; the line that names what is missing, or
// empty. From here on memory that cannot be had (std::terminate) ends the program with one
// line in `log` and status 1.
std::string missingResources(LineLog& log);

// Qt's own messages go to the log as whole lines, in the text Qt's default handler gives
// them (QT_MESSAGE_PATTERN included). A fatal one is written out, then the program ends
// with status 1 (Qt would abort). A thread Qt cannot start gets one line naming it, and the
// event loop then ends with status 1, so main() releases the port.
void logQtMessages(LineLog& log);

// Every signal that can be caught and whose default action ends a process, but SIGPIPE and
// the faults (faults.h), ends the panel as closing its window does: SIGTERM, SIGINT, SIGHUP,
// SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO, SIGPWR,
// SIGSTKFLT, SIGSYS and the real-time signals. Their handler only writes the signal's number into a
// pipe that the event loop reads, so a frame in progress (frames are sent on the event loop's
// thread) finishes, then the loop ends and main() takes the window and the port down. A signal that
// arrives before the loop runs, or that the caller left pending, waits in the pipe. One the caller
// ignores is left alone, so it stays ignored. They are handled, not blocked: a program some
// library starts (D-Bus autolaunch, say) gets them back at their default action on exec,
// where a blocked mask would pass to it and make it unkillable but by SIGKILL.
class EndingSignals : public QObject {
public:
    EndingSignals();
    ~EndingSignals() override;
    // Once the window is up and the chip programmed: a signal read ends the event loop, and
    // from then on a signal also stops any frame from starting after the one in progress
    // (bus::startNoMoreTransactions).
    void watch();
    // Whether a signal came before the loop runs (while the port was busy, say), so that
    // the panel can end before its window opens, having sent nothing.
    bool arrived();
    // The signal that ended the loop; 0 if none did.
    int received() const { return m_received; }
    // Says which signal ended the panel, then ends the process by that signal, as its
    // default action would have, so the caller sees it (a shell reports 128 + its number).
    [[noreturn]] void endByIt(LineLog& log) const;

private:
    int m_fd = -1;
    int m_received = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace process
