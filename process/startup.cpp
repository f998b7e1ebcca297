#include "startup.h"

#include "i2c.h"
#include "linelog.h"
#include "messages.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <string>

namespace process {

namespace {

LineLog* g_log = nullptr;
rlim_t g_openAtStart = 3;       // descriptors the caller left open, 0, 1 and 2 included
int g_signalPipe[2] = {-1, -1}; // what the handler writes, the event loop reads
volatile sig_atomic_t g_loopRuns = 0;

// Only the signal's number goes into the pipe: a write is all a handler may safely do. Once
// the event loop runs, no frame starts after it either: a backlog of keys (a key held down,
// keys sent by a program) can keep the loop from the pipe for longer than a CPU limit's last
// second, and the bus must be idle whenever the end comes. Start-up's frames are not held:
// they are five, and a signal that comes meanwhile is acted on once the window is up.
void onEndingSignal(int signal) {
    const int saved = errno;
    if (g_loopRuns)
        bus::startNoMoreTransactions();
    const auto number = static_cast<unsigned char>(signal);
    if (::write(g_signalPipe[1], &number, 1) < 0) {
        // The pipe holds enough to end the panel already.
    }
    errno = saved;
}

// Below these the panel cannot start: measured, with room to spare, at 16 descriptors and
// some 460 MiB of address space (libraries, fonts, a stack per thread).
constexpr rlim_t kDescriptors = 32;
constexpr rlim_t kAddressSpace = rlim_t{640} << 20;
// Descriptors 0, 1 and 2, which kDescriptors counts.
constexpr rlim_t kStandard = 3;

// Descriptors open now, counted in /proc/self/fd (whose own is left out), else one by one.
rlim_t openDescriptors(rlim_t limit) {
    rlim_t open = 0;
    if (DIR* list = ::opendir("/proc/self/fd")) {
        while (const dirent* entry = ::readdir(list))
            open += entry->d_name[0] != '.';
        ::closedir(list);
        return open - 1;
    }
    for (rlim_t fd = 0; fd < std::min<rlim_t>(limit, 1 << 16); ++fd)
        open += ::fcntl(static_cast<int>(fd), F_GETFD) >= 0;
    return open;
}

// Qt goes on without a thread it could not start; without the one that reads the window
// system's events, the window would sit there deaf to keys, clicks and its close. The panel
// ends instead, as on a signal: the loop stops between frames and the port is released.
constexpr char kNoThread[] = "QThread::start: Thread creation error";

void toLog(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(kNoThread)) {
        // "... error (Resource temporarily unavailable)": the reason, in the C library's words.
        const QString reason = message.mid(sizeof kNoThread - 1).remove('(').remove(')');
        g_log->line(messages::cannotContinue("start a thread", reason.trimmed().toStdString()));
        QCoreApplication* app = QCoreApplication::instance();
        if (!app || QThread::currentThread() == app->thread()) {
            bus::abandonTransaction();
            // The thread that sends the frames, so none is in progress; it may now wait for
            // the missing thread for ever. Ending here leaves the bus as the last frame did,
            // and the kernel releases the port with its descriptor.
            g_log->flush();
            std::_Exit(1);
        }
        QMetaObject::invokeMethod(
            app, [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
        return;
    }
    const QString text = qFormatLogMessage(type, context, message);
    for (const QString& line : text.split('\n'))
        g_log->line(line.toLocal8Bit().toStdString());
    if (type == QtFatalMsg) {
        // Qt would abort: a core file, for a want the line above has named. Said from
        // another thread, it may come in the middle of a frame.
        bus::abandonTransaction();
        g_log->flush();
        std::_Exit(1);
    }
}

// Memory that cannot be had ends in std::terminate; one line, and no core file.
[[noreturn]] void terminated() {
    std::string reason = "an unexpected error";
    try {
        if (const std::exception_ptr failure = std::current_exception())
            std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        reason = "out of memory";
    } catch (const std::exception& failure) {
        reason = failure.what();
    } catch (...) {
    }
    bus::abandonTransaction(); // another thread's want may come in the middle of a frame
    g_log->line(messages::cannotContinue("go on", reason));
    g_log->flush();
    std::_Exit(1);
}

// Every signal that can be caught and whose default action ends the process, but for
// SIGPIPE (ignored: a reader of standard error that goes away costs the lines only), the
// faults of the program itself (faults.h) and those the caller ignores (nohup, a shell's
// background job): those stay ignored. The real-time ones are glibc's range, which leaves
// out the two its threads use.
sigset_t endingSignals() {
    sigset_t set;
    sigemptyset(&set);
    auto add = [&set](int signal) {
        struct sigaction now {};
        if (::sigaction(signal, nullptr, &now) == 0 && now.sa_handler != SIG_IGN)
            sigaddset(&set, signal);
    };
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU,
                             SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO, SIGPWR, SIGSTKFLT, SIGSYS})
        add(signal);
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal)
        add(signal);
    return set;
}

} // namespace

void prepareProcess() {
    // Lowest first: open() takes the lowest free number, which is then the one missing.
    for (int fd = 0; fd <= 2; ++fd)
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF &&
            ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd)
            std::_Exit(1); // no /dev/null: nowhere safe to run, nor to say so
    if (::geteuid() == 0) {
        // Privileged (sudo, set-user-ID, root itself): the caller's other descriptors are
        // not the panel's business, nor the open device theirs. Closed as sudo closes them.
        ::close_range(3, ~0U, 0);
        // Not dumpable, said here rather than left to the kernel's side effect of the id
        // change (which a start as root never makes): nobody but root may trace the panel or
        // read its memory, and no core file holds it, while it holds the port and its
        // rights. A status still tells what ended it.
        if (::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) != 0)
            std::_Exit(1);
    }
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0)
        g_openAtStart = std::max(openDescriptors(files.rlim_cur), kStandard);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, nullptr);
}

void logQtMessages(LineLog& log) {
    g_log = &log;
    qInstallMessageHandler(toLog);
}

std::string missingResources(LineLog& log) {
    g_log = &log;
    std::set_terminate(terminated);
    if (log.threadError() != 0)
        return messages::cannotContinue("start a thread", std::strerror(log.threadError()));
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0) {
        if (files.rlim_cur < kDescriptors)
            return messages::tooFew("file descriptors", "ulimit -n", files.rlim_cur, kDescriptors);
        // Descriptors the caller left open take from the same limit.
        const rlim_t open = std::min(g_openAtStart, files.rlim_cur);
        if (files.rlim_cur - open < kDescriptors - kStandard)
            return messages::tooFewFree(files.rlim_cur - open, open, files.rlim_cur,
                                        kDescriptors - kStandard);
    }
    // At the hard CPU limit the kernel sends SIGKILL, which cuts a frame; at the soft one
    // SIGXCPU, which ends the panel between frames. A shell's `ulimit -t` sets both alike, so
    // the soft one comes down a second below the hard one: lowered, never raised, so the
    // panel ends by the caller's limit all the same, with the bus idle.
    rlimit cpu{};
    if (::getrlimit(RLIMIT_CPU, &cpu) == 0 && cpu.rlim_max != RLIM_INFINITY) {
        if (cpu.rlim_max < 2)
            return messages::tooFew("seconds of CPU time", "ulimit -t", cpu.rlim_max, 2);
        cpu.rlim_cur = std::min(cpu.rlim_cur, cpu.rlim_max - 1);
        ::setrlimit(RLIMIT_CPU, &cpu);
    }
    rlimit space{};
    if (::getrlimit(RLIMIT_AS, &space) == 0 && space.rlim_cur < kAddressSpace)
        return messages::tooFew("MiB of address space", "ulimit -v", space.rlim_cur >> 20,
                                kAddressSpace >> 20);
    return {};
}

EndingSignals::EndingSignals() {
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // without a way to read them, they keep their default action
    const sigset_t set = endingSignals();
    struct sigaction action {};
    action.sa_handler = onEndingSignal;
    action.sa_flags = SA_RESTART;
    sigfillset(&action.sa_mask);
    for (int signal = 1; signal < NSIG; ++signal)
        if (sigismember(&set, signal) == 1)
            ::sigaction(signal, &action, nullptr);
    // One the caller blocked and left pending arrives now, and waits in the pipe.
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
    m_fd = g_signalPipe[0];
}

EndingSignals::~EndingSignals() {
    m_notifier.reset();
    if (m_fd >= 0)
        ::close(m_fd);
}

void EndingSignals::watch() {
    if (m_fd < 0)
        return;
    g_loopRuns = 1;
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        unsigned char number = 0;
        if (::read(m_fd, &number, 1) == 1 && m_received == 0) {
            m_received = number;
            QCoreApplication::quit();
        }
    });
}

bool EndingSignals::arrived() {
    unsigned char number = 0;
    if (m_received == 0 && m_fd >= 0 && ::read(m_fd, &number, 1) == 1)
        m_received = number;
    return m_received != 0;
}

void EndingSignals::endByIt(LineLog& log) const {
    log.line(messages::endedBy(m_received));
    log.flush();
    // SIGQUIT's default action (and SIGXCPU's, SIGXFSZ's, SIGSYS's) writes a core file; this
    // end is orderly, not a crash.
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
