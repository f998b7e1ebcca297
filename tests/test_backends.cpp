// The system seams: choosing a port back end and what the terminal is told, the claim's time
// limit, dropping root, and standard error that never stalls the panel.
#include "backends.h"
#include "board.h"
#include "linelog.h"
#include "messages.h"
#include "privileges.h"
#include "system.h"

#include <gtest/gtest.h>
// ppdev.h builds its request codes from the macros in ioctl.h.
#include <sys/ioctl.h>

#include <linux/ppdev.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <set>
#include <sstream>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Lines = std::vector<std::string>;
using Errors = std::map<std::string, int>;

// Whether, within 10 s, a thread of this process sleeps in the system call `call`: the
// kernel shows each thread's call and arguments.
bool sleepsIn(long call) {
    for (const auto end = Clock::now() + 10s; Clock::now() < end; std::this_thread::yield())
        for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
            std::string now;
            std::getline(std::ifstream(task.path() / "syscall"), now);
            if (now.starts_with(std::to_string(call) + ' '))
                return true;
        }
    return false;
}

// One row: what the kernel holds and answers, and what the program must make of it. The
// environment is root's as sudo leaves it, changed ("NAME=value NAME= ...", an empty value
// unsets); /proc/ioports is a PC's usual table, its port at 0x370-0x378.
struct Case {
    std::string env = "";
    Errors errors = {};
    std::string proc = "0000-0cf7 : PCI Bus 0000:00\n  0370-0378 : parport0\n";
    uid_t uid = 0;
    uid_t euid = 0;
    std::string said = "";
    Lines calls = {};
};

// Stands in for the kernel, with both faces the program sees: logs every call in order and
// answers it with the error listed under its whole line, else under its name ("PPCLAIM 3" is
// the exclusive claim, "PPCLAIM 4" the shared one). A kernel's quirks are listed there too:
// "no entry" (the user has no passwd entry), "saved uid" and "saved gid" (the set call left the
// saved id at root's), "setgid" and "setuid" (which still succeed after the drop).
struct Kernel : Case, bus::PortAccess, process::Credentials {
    using S = const std::string&;
    Lines log = {};
    gid_t gid = uid ? 100 : 0;
    int nextFd = 3;
    std::set<int> registered = {}, exclusive = {}, claimed = {}, refused = {};
    std::map<std::string, std::string> environment = {};
    std::array<Clock::time_point, 2> at = {}; // when the latest call came, and the one before

    explicit Kernel(const Case& row) : Case(row) {
        std::istringstream changes("HOME=/root SUDO_UID=1000 SUDO_GID=100 " + env);
        for (std::string change; changes >> change;)
            environment[change.substr(0, change.find('='))] = change.substr(change.find('=') + 1);
    }
    static std::string str(S text) { return text; }
    static std::string str(std::integral auto number) { return std::to_string(number); }
    template<class... A>
    int call(S name, const A&... arguments) {
        const std::string line = (name + ... + (" " + str(arguments)));
        log.push_back(line);
        at[1] = std::exchange(at[0], Clock::now());
        return errors.contains(line) ? errors[line] : errors[name];
    }

    int openReadWrite(S path, int& fd) override {
        fd = errors["open"] ? -1 : nextFd++;
        return call("open", path, "->", fd);
    }
    // As Debian's ppdev answers: a claim not refused with ENXIO registers the descriptor's
    // device for good, after which PPEXCL is refused unless the device is exclusive already;
    // anything but PPEXCL and PPCLAIM is refused before a claim, a request it does not know
    // always.
    int ioctl(int fd, unsigned long request, void* arg) override {
        const char* name = request == PPCLAIM ? "PPCLAIM" : request == PPEXCL ? "PPEXCL" : "ioctl";
        const int error = request == PPWDATA ? call("PPWDATA", fd, *static_cast<std::uint8_t*>(arg))
                                             : call(request == PPRELEASE ? "PPRELEASE" : name, fd);
        if (request == PPEXCL && registered.contains(fd))
            return exclusive.contains(fd) ? 0 : EINVAL;
        if (request != PPEXCL && request != PPCLAIM)
            return claimed.contains(fd) && (request == PPWDATA || request == PPRELEASE) ? error
                                                                                        : EINVAL;
        (request == PPEXCL ? exclusive : error == ENXIO ? refused : registered).insert(fd);
        (request == PPCLAIM && error == 0 ? claimed : refused).insert(fd);
        return error;
    }
    int ioctlWithin(int fd, unsigned long request, void* arg,
                    std::chrono::milliseconds limit) override {
        call("within", limit.count(), "ms");
        return ioctl(fd, request, arg);
    }
    void close(int fd) override { call("close", fd); }
    int readFile(S path, std::string& content) override {
        content = proc;
        return call("read", path);
    }
    int lock(S path, int& fd, std::string& holder) override {
        fd = nextFd++;
        holder = "4242";
        return call("lock", path, "->", fd);
    }
    int ioperm(unsigned long first, unsigned long count, bool on) override {
        return call("ioperm", first, count, on ? "on" : "off");
    }
    void outb(std::uint8_t value, std::uint16_t port) override { call("outb", value, port); }

    uid_t getuid() override { return uid; }
    uid_t geteuid() override { return euid; }
    gid_t getgid() override { return gid; }
    std::optional<std::string> getenv(S name) override {
        return environment[name].empty() ? std::nullopt : std::optional(environment[name]);
    }
    std::optional<Account> account(uid_t id) override {
        return id == 1000 && !errors["no entry"] ? std::optional(Account{"alice", "/home/alice"})
                                                 : std::nullopt;
    }
    int setenv(S name, S value) override { return call("setenv", name, value); }
    int clearenv() override { return call("clearenv"); }
    int forbidNewPrivileges() override { return call("prctl", "PR_SET_NO_NEW_PRIVS"); }
    int forbidPrograms() override { return call("seccomp", "execve execveat"); }
    int initgroups(S user, gid_t group) override { return call("initgroups", user, group); }
    int setgroups(const std::vector<gid_t>& groups) override {
        return call("setgroups", groups.size() == 1 ? groups[0] : -1);
    }
    // Read back only after a set call succeeded: the ids it set, the saved uid perhaps not.
    int setresgid(gid_t id) override { return call("setresgid", gid = id); }
    int setresuid(uid_t id) override { return call("setresuid", uid = id); }
    std::array<gid_t, 3> getresgid() override { return {gid, gid, errors["saved gid"] ? 0 : gid}; }
    std::array<uid_t, 3> getresuid() override { return {uid, uid, errors["saved uid"] ? 0 : uid}; }
    int setgid(gid_t g) override { return call("setgid", g) ? 0 : EPERM; }
    int setuid(uid_t u) override { return call("setuid", u) ? 0 : EPERM; }
};

const std::string kShared = "qx5180: exclusive access to /dev/parport0 refused: the printer driver "
                            "lp or another program is registered on the port; asking to share it, "
                            "waiting at most 2 s for it to be free\n";
const std::string kSim = "qx5180: no parallel port available; using the simulated board (its "
                         "decoded writes follow on standard error)\n";
const std::string kExistsSim = "qx5180: direct port I/O not tried: /dev/parport0 exists\n" + kSim;
const std::string kNoNode = "qx5180: cannot open /dev/parport0: No such file or directory (load "
                            "the ppdev module: sudo modprobe ppdev)\n";
const std::string kGaveUp = "qx5180: gave up waiting for /dev/parport0 after 2 s: ";

// What the kernel shows and refuses → what the terminal is told, line by line in the order
// choosing went, then the title's reason, or the port's name when a real one is driven; and,
// where listed, every call from start through two written bytes, the second refused, to the
// port's end.
// The kernel names the holder of a shared port: lp printing, ppdev0 another program. Ranges
// in /proc/ioports are hex and their ends inclusive; unprivileged readers see them as zero,
// and ioperm() then has the last word. Set-user-ID root: the effective uid is what ioperm()
// is judged by.
const Case kChoices[] = {
    // The printer driver registered on the port: shared.
    {.errors = {{"PPCLAIM 3", ENXIO}},
     .said = kShared + "qx5180: using /dev/parport0\n/dev/parport0",
     .calls = {"open /dev/parport0 -> 3", "PPEXCL 3", "PPCLAIM 3", "close 3",
               "open /dev/parport0 -> 4", "within 2000 ms", "PPCLAIM 4", "PPWDATA 4 165",
               "PPWDATA 4 31", "PPRELEASE 4", "close 4"}},
    // Another program holds it exclusively (tests/kernel.sh, on the real kernel): every claim
    // is refused at once. With no port behind the node, /proc has no folder for it.
    {.errors = {{"PPCLAIM 3", ENXIO},
                {"PPCLAIM 4", ENXIO},
                {"read /proc/sys/dev/parport/parport0/devices/active", ENOENT}},
     .said = kShared +
             "qx5180: cannot claim /dev/parport0: No such device or address (no port behind it)\n" +
             kExistsSim + "/dev/parport0 unavailable"},
    {.errors = {{"PPCLAIM 3", EIO}},
     .said = "qx5180: cannot claim /dev/parport0: Input/output error\n" + kExistsSim +
             "cannot claim /dev/parport0"},
    // Freed again by the time /proc was read: nobody named.
    {.errors = {{"PPCLAIM 3", ENXIO}, {"PPCLAIM 4", ENXIO}},
     .proc = "none\n",
     .said = kShared +
             "qx5180: another program holds /dev/parport0 exclusively, and the kernel lets no one "
             "share it: not waiting for it\n" +
             kExistsSim + "/dev/parport0 held by another program"},
    {.errors = {{"PPCLAIM 3", ENXIO}, {"PPCLAIM 4", ETIMEDOUT}},
     .proc = "lp\n",
     .said = kShared + kGaveUp + "the printer driver (lp) is printing\n" + kExistsSim +
             "/dev/parport0 busy printing"},
    {.errors = {{"PPCLAIM 3", ENXIO}, {"PPCLAIM 4", ETIMEDOUT}},
     .proc = "none\n",
     .said = kShared + kGaveUp +
             "the printer driver is printing, or another program is using the port\n" + kExistsSim +
             "/dev/parport0 busy"},
    {.errors = {{"open", ENXIO}},
     .said = "qx5180: cannot open /dev/parport0: No such device or address\n" + kExistsSim +
             "no port behind /dev/parport0"},
    {.errors = {{"open", ENOENT}},
     .said = kNoNode + "qx5180: using direct I/O at port 0x378\nI/O port 0x378",
     .calls = {"open /dev/parport0 -> -1", "read /proc/ioports", "ioperm 888 1 on",
               "lock /run/lock/qx5180-0x378.lock -> 3", "outb 165 888", "outb 31 888",
               "ioperm 888 1 off", "close 3"}},
    // Ranges that miss the port, and one that covers it but is no parallel port.
    {.errors = {{"open", ENOENT}},
     .proc = "  0278-027a : parport0\n  0379-037f : parport1\n  0378-037f : lpt-like\n",
     .said = kNoNode +
             "qx5180: direct port I/O not tried: no parallel port at 0x378 in /proc/ioports\n" +
             kSim + "no parallel port"},
    {.errors = {{"open", ENOENT}, {"read", EACCES}},
     .said = kNoNode +
             "qx5180: direct port I/O not tried: cannot read /proc/ioports: Permission denied\n" +
             kSim + "no parallel port"},
    // One panel per port: a second one names the first and gives back the permission it took.
    {.errors = {{"open", ENOENT}, {"lock", EWOULDBLOCK}},
     .said = kNoNode + "qx5180: I/O port 0x378 is driven by another panel (process 4242)\n" + kSim +
             "I/O port 0x378 used by another panel",
     .calls = {"open /dev/parport0 -> -1", "read /proc/ioports", "ioperm 888 1 on",
               "lock /run/lock/qx5180-0x378.lock -> 3", "ioperm 888 1 off"}},
    // Without root (tests/kernel.sh, on the real kernel) it may not; root refused too: the
    // kernel is locked down.
    {.errors = {{"open", ENOENT}, {"ioperm", EPERM}},
     .said = kNoNode +
             "qx5180: cannot reach I/O port 0x378: Operation not permitted (the kernel forbids "
             "direct port access; load ppdev and use /dev/parport0)\n" +
             kSim + "no permission for I/O port 0x378"},
};

// No limit given: start-up waits the 2 s the user is promised (the fake answers at once). A
// byte the kernel refuses is refused, and no line state is shorter than 5 µs, however fast
// the port takes bytes.
TEST(Backends, TakeTheFirstUsableWaySayWhyEachOtherFailedAndHoldItPacedToTheEnd) {
    for (const Case& row : kChoices) {
        Kernel k(row);
        std::string said;
        const auto report = [&](const bus::PortEvent& e) { said += messages::portEvent(e) + "\n"; };
        auto [port, because] =
            bus::choosePort(k, report, [] { return std::make_unique<sim::Board>(); });
        ASSERT_TRUE(port);
        EXPECT_EQ(said + (because ? messages::simulatedBecause(*because) : port->name()), row.said);
        EXPECT_EQ(port->write(0xA5), 0);
        k.errors["PPWDATA"] = EIO;
        EXPECT_EQ(port->write(0x1F), k.log.back().starts_with("PPWDATA") ? EIO : 0);
        EXPECT_TRUE(because || k.at[0] - k.at[1] >= 5us);
        port.reset();
        EXPECT_EQ(row.calls.empty() ? row.calls : k.log, row.calls);
    }
}

// A call that sleeps is cut at the limit and reported as the timeout it is, a whole number of
// seconds as well as a fraction; one that returns sooner, at once. A signal sent meanwhile,
// SIGALRM or the limit's own, ends it at once with EINTR, is not taken for the limit, and
// reaches its own handler; the call is not made again (a claim made again corrupts the
// kernel's wait list). A poll of an empty pipe sleeps as a claim on a busy port does, and,
// like it, returns EINTR on a signal even where the handler asks for SA_RESTART (as the
// panel's own handlers do, and glibc's signal()).
TEST(ClaimLimit, EndsASleepingCallAtTheLimitOrAtAnotherSignal) {
    static std::atomic<int> heard = 0;
    for (const int s : {SIGALRM, bus::limitSignal()})
        signal(s, [](int s) { heard = s; });
    for (const auto& [limit, dataWaiting, sent] :
         {std::tuple{300ms, 1, 0}, {1000ms, 0, 0}, {5s, 0, SIGALRM}, {5s, 0, bus::limitSignal()}}) {
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        ASSERT_EQ(write(ends[1], "x", dataWaiting), dataWaiting);
        std::thread nudge([sent = sent, self = pthread_self()] {
            EXPECT_TRUE(!sent || sleepsIn(SYS_poll)) << "waited 10 s for the poll to sleep";
            pthread_kill(self, sent); // 0 sends nothing
        });
        const auto start = Clock::now();
        pollfd in{ends[0], POLLIN, 0};
        const int error = bus::withinLimit([&] { return poll(&in, 1, -1) < 0 ? errno : 0; }, limit);
        const auto took = Clock::now() - start;
        nudge.join();
        EXPECT_EQ(error, dataWaiting ? 0 : sent ? EINTR : ETIMEDOUT);
        EXPECT_EQ(heard.exchange(0), sent);
        EXPECT_TRUE(dataWaiting || sent ? took < limit : took >= limit && took < limit + 2s)
            << std::chrono::duration<double>(took).count() << " s";
        close(ends[0]);
        close(ends[1]);
    }
}

// --- dropping root -------------------------------------------------------------------------

// Root's environment as `env` changes it, and the kernel's answers → what the terminal is told
// and every call that changes something.
const std::string kCannot = "qx5180: cannot drop root rights: ";

// Whoever starts a set-user-ID program controls its environment: only what a window needs
// stays (the theme's desktop, plugins and SUDO_* go), and of that no locale, time zone or
// terminal that names a file or holds a format. The kernel's word counts, not the calls':
// a saved uid left at root is a way back. On failure nothing runs after the step that
// failed, and a bad environment changes nothing.
const Case kDrops[] = {
    {.calls = {"clearenv", "initgroups alice 100", "setresgid 100", "setresuid 1000", "setgid 0",
               "setuid 0", "setenv HOME /home/alice", "setenv USER alice", "setenv LOGNAME alice",
               "setenv PATH /usr/local/bin:/usr/bin:/bin", "prctl PR_SET_NO_NEW_PRIVS",
               "seccomp execve execveat"}},
    {.errors = {{"no entry", 1}},
     .calls = {"clearenv", "setgroups 100", "setresgid 100", "setresuid 1000", "setgid 0",
               "setuid 0", "setenv PATH /usr/local/bin:/usr/bin:/bin", "prctl PR_SET_NO_NEW_PRIVS",
               "seccomp execve execveat"}},
    // Set-user-ID: the real user, whatever SUDO_UID says.
    {.env = "SUDO_UID=1001 QT_PLUGIN_PATH=/x XDG_CURRENT_DESKTOP=GNOME DISPLAY=unix/:0 LC_TIME=C "
            "LANG=../../tmp/x LC_CTYPE=C%n TZ=/etc/localtime TERM=xterm",
     .uid = 1000,
     .calls = {"clearenv", "setenv DISPLAY unix/:0", "setenv LC_TIME C", "setenv TERM xterm",
               "initgroups alice 100", "setresgid 100", "setresuid 1000", "setgid 0", "setuid 0",
               "setenv HOME /home/alice", "setenv USER alice", "setenv LOGNAME alice",
               "setenv PATH /usr/local/bin:/usr/bin:/bin", "prctl PR_SET_NO_NEW_PRIVS",
               "seccomp execve execveat"}},
    {.uid = 1000, .euid = 1000},
    {.env = "SUDO_UID= SUDO_GID=",
     .said = "qx5180: running as root: no invoking user to drop to (start it from your own "
             "account, through sudo if the port needs root)",
     .calls = {"seccomp execve execveat"}},
};

TEST(DropRoot, GroupsThenGroupIdsThenUserIdsThenChecksRootIsGone) {
    std::vector<Case> rows(std::begin(kDrops), std::end(kDrops));
    const Lines& drop = kDrops[0].calls; // a drop that goes through
    // Each call that changes something refused in turn, and each way back left open: the drop
    // stops there, its first `steps` calls made, and says which.
    for (const auto& [steps, key, what] : std::vector<std::tuple<int, std::string, std::string>>{
             {1, "clearenv", "clearenv(): Input/output error"},
             {2, "initgroups", "initgroups(alice, 100): Input/output error"},
             {3, "setresgid", "setresgid(100): Input/output error"},
             {4, "setresuid", "setresuid(1000): Input/output error"},
             {4, "saved gid", "group ids are 100 100 0 after setresgid(100)"},
             {4, "saved uid", "user ids are 1000 1000 0 after setresuid(1000)"},
             {5, "setgid", "group 0 could be regained after setresgid(100)"},
             {6, "setuid", "root could be regained after setresuid(1000)"},
             {7, "setenv", "setenv(HOME): Input/output error"},
             {11, "prctl", "prctl(PR_SET_NO_NEW_PRIVS): Input/output error"},
             {12, "seccomp", "seccomp filter against execve and execveat: Input/output error"}})
        rows.push_back({.errors = {{key, EIO}},
                        .said = kCannot + what,
                        .calls = Lines(drop.begin(), drop.begin() + steps)});
    // SUDO_* that name no user to become: refused before any call.
    for (const auto& [env, what] : std::vector<std::pair<std::string, std::string>>{
             {"SUDO_UID=1000\x7f", "SUDO_UID \"1000?\" is not a user id"},
             {"SUDO_UID=4294967295", "SUDO_UID \"4294967295\" is not a user id"},
             {"SUDO_UID=0", "SUDO_UID is 0, so there is no unprivileged user to become"},
             {"SUDO_GID=0", "SUDO_GID is 0, so the program would keep root's group"},
             {"SUDO_GID=", "SUDO_UID is set but SUDO_GID is not"}})
        rows.push_back({.env = env, .said = kCannot + what});
    for (const Case& row : rows) {
        SCOPED_TRACE(row.said);
        Kernel k(row);
        std::string said;
        EXPECT_EQ(
            process::dropRoot(k, [&said](std::string_view line) { said.append(line) += '\n'; }),
            !row.said.starts_with(kCannot));
        EXPECT_EQ(said, row.said.empty() ? "" : row.said + "\n");
        EXPECT_EQ(k.log, row.calls);
    }
}

// The real system: the lock, held by the first taker, who is named to the next by its number
// alone; the user database's entry.
TEST(Backends, TheRealLockNamesItsHolderAndTheRealUserDatabaseItsUsers) {
    const std::string path = testing::TempDir() + "qx5180-test.lock";
    unlink(path.c_str());
    std::ofstream(path) << "1234567890"; // a longer number, left by a panel long gone
    int first = -1, second = -1;
    std::string holder;
    EXPECT_EQ(bus::realPortAccess().lock(path, first, holder), 0);
    EXPECT_EQ(bus::realPortAccess().lock(path, second, holder), EWOULDBLOCK);
    EXPECT_EQ(holder, std::to_string(getpid()));
    EXPECT_EQ(pwrite(first, "1\x1b]0;x\a", 7, 0), 7);
    EXPECT_EQ(bus::realPortAccess().lock(path, second, holder), EWOULDBLOCK);
    EXPECT_EQ(holder, "");
    ::close(first);
    EXPECT_EQ(bus::realPortAccess().lock(path, second, holder), 0);
    ::close(second);
    const auto root = process::realCredentials().account(0);
    EXPECT_EQ(root ? root->name + " " + root->home : "none", "root /root");
    // Not a lock file of ours: a hard link or a symbolic one (to a file root owns, say), a FIFO,
    // another user's file. Neither taken nor changed.
    const std::string other = path + ".other";
    for (const std::function<int()>& make : std::vector<std::function<int()>>{
             [&] { return link(other.c_str(), path.c_str()); },
             [&] { return symlink(other.c_str(), path.c_str()); },
             [&] { return mkfifo(path.c_str(), 0644); },
             [&] { return rename(other.c_str(), path.c_str()) || chown(path.c_str(), 1, 1); }}) {
        std::ofstream(other) << "ROOTLOCK";
        unlink(path.c_str());
        if (make() != 0)
            continue; // another user's file needs root to make
        EXPECT_EQ(bus::realPortAccess().lock(path, second, holder), bus::kNotALockFile);
        std::string text = "unread";
        bus::realPortAccess().readFile(access(other.c_str(), F_OK) ? path : other, text);
        EXPECT_EQ(text, "ROOTLOCK");
    }
}

// --- standard error ----------------------------------------------------------------------

// A pipe of one page, filled: the log's writer sleeps in line 0's write (or, the descriptor
// left non-blocking by the caller, in poll()) until someone reads, and the caller is not held
// up. Either way the log keeps `capacity` lines waiting besides the one it is writing, counts
// the rest, then writes every line it kept, whole and in order, and the count; flush() waits
// as long as the reader takes lines. It never changes the descriptor's flags.
TEST(LineLog, AFullPipeCostsLinesNotTimeAndTheirCountFollows) {
    const std::string text(1000, 'x');
    std::string kept(4096, '-'); // the page, line 0, and the eight waiting behind it
    for (int i = 0; i <= 8; ++i)
        kept += std::to_string(i) + ' ' + text + '\n';
    for (const auto& [callersFlags, lines, dropped] :
         {std::tuple{0, 200, "qx5180: 191 lines were"}, {O_NONBLOCK, 10, "qx5180: 1 line was"}}) {
        std::array<int, 2> fds{};
        ASSERT_EQ(::pipe(fds.data()), 0);
        ASSERT_EQ(::fcntl(fds[1], F_SETPIPE_SZ, 4096), 4096);
        ASSERT_EQ(::write(fds[1], kept.data(), 4096), 4096);
        ::fcntl(fds[1], F_SETFL, callersFlags);
        process::LineLog log(fds[1], 8);
        log.line(std::to_string(0) + ' ' + text);
        ASSERT_TRUE(callersFlags ? sleepsIn(SYS_poll) : sleepsIn(SYS_write))
            << "waited 10 s for the writer to sleep on line 0";
        auto queued = std::async(std::launch::async, [&log, &text, n = lines] {
            for (int i = 1; i < n; ++i)
                log.line(std::to_string(i) + ' ' + text);
            log.flush(1s); // gives up on a reader that takes nothing, after 1 s
        });
        EXPECT_EQ(queued.wait_for(10s), std::future_status::ready)
            << "waited 10 s for line() and flush() with a reader that takes nothing";

        const std::string expected =
            kept + dropped + " dropped while standard error was not being read\nafter\n";
        std::string got;
        std::atomic<std::size_t> taken = 0;
        std::thread reader([&] {
            char buffer[1024];
            pollfd in{fds[0], POLLIN, 0};
            // Until all is taken, or 10 s pass with nothing new: what was taken by then is
            // compared below.
            while (taken < expected.size() && ::poll(&in, 1, 10'000) == 1)
                taken =
                    got.append(buffer, std::max<ssize_t>(::read(fds[0], buffer, 1024), 0)).size();
        });
        log.flush(10s);                               // gives up only after 10 s with no line taken
        EXPECT_GE(taken + 4096, expected.size() - 6); // the pipe holds at most a page
        log.line("after");
        reader.join();
        EXPECT_EQ(got, expected);
        EXPECT_EQ(::fcntl(fds[1], F_GETFL), O_WRONLY | callersFlags);

        // The reader goes: EPIPE, and no SIGPIPE (default here) ends the process.
        ::close(fds[0]);
        log.line("to nobody");
        log.flush();
        ::close(fds[1]);
    }
}

} // namespace
