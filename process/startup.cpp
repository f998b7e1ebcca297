#include "startup.h"

#include "linelog.h"
#include "messages.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace process {

namespace {

LineLog* g_log = nullptr;
sigset_t g_blocked; // the ending signals, blocked in the panel and unblocked in any child

void unblockInChild() {
    ::sigprocmask(SIG_UNBLOCK, &g_blocked, nullptr);
}

void toLog(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const QString text = qFormatLogMessage(type, context, message);
    for (const QString& line : text.split('\n'))
        g_log->line(line.toLocal8Bit().toStdString());
    if (type == QtFatalMsg)
        g_log->flush();
}

// Every signal whose default action ends the process, but for SIGPIPE (ignored: a reader
// of standard error that goes away costs the lines only) and those the caller ignores
// (nohup, a shell's background job): those stay ignored.
sigset_t endingSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM}) {
        struct sigaction now {};
        if (::sigaction(signal, nullptr, &now) == 0 && now.sa_handler != SIG_IGN)
            sigaddset(&set, signal);
    }
    return set;
}

} // namespace

void prepareProcess() {
    // Lowest first: open() takes the lowest free number, which is then the one missing.
    for (int fd = 0; fd <= 2; ++fd)
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF &&
            ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd)
            std::_Exit(1); // no /dev/null: nowhere safe to run, nor to say so
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, nullptr);
}

void logQtMessages(LineLog& log) {
    g_log = &log;
    qInstallMessageHandler(toLog);
}

EndingSignals::EndingSignals() {
    const sigset_t set = endingSignals();
    g_blocked = set;
    // A program some library starts (D-Bus autolaunch, say) must be endable by them.
    ::pthread_atfork(nullptr, nullptr, unblockInChild);
    ::sigprocmask(SIG_BLOCK, &set, nullptr);
    m_fd = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (m_fd < 0) // without a way to read them, they keep their default action
        ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

EndingSignals::~EndingSignals() {
    m_notifier.reset();
    if (m_fd >= 0)
        ::close(m_fd);
}

void EndingSignals::watch() {
    if (m_fd < 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        signalfd_siginfo info{};
        if (::read(m_fd, &info, sizeof info) == sizeof info && m_received == 0) {
            m_received = static_cast<int>(info.ssi_signo);
            QCoreApplication::quit();
        }
    });
}

void EndingSignals::endByIt(LineLog& log) const {
    log.line(messages::endedBy(m_received));
    log.flush();
    // SIGQUIT's default action writes a core file; this end is orderly, not a crash.
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    ::sigaction(m_received, &byDefault, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, m_received);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(m_received);
    std::_Exit(128 + m_received);
}

} // namespace process
