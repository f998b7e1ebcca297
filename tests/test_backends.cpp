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
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Lines = std::vector<std::string>;
using Errors = std::map<std::string, int>;

// How the kernel and the start differ from a sudo start on a kernel that keeps no way back.
enum class Quirk { None, NoEntry, SetUserId, NotRoot, SavedUidStays, GroupBack, RootBack };

// Stands in for the kernel, with both faces the program sees: logs every call in order and
// fails those whose name is in `errors` ("exclusive" and "shared" are the two claims).
struct Kernel : bus::PortAccess, process::Credentials {
    Errors errors;
    Lines calls;
    Quirk quirk = Quirk::None;
    uid_t uid = 1000;
    uid_t euid = 1000;
    gid_t gid = 1000;
    std::string proc = "0000-0cf7 : PCI Bus 0000:00\n  0378-037a : parport0\n";
    std::vector<std::uint8_t> written;
    std::vector<Clock::time_point> writtenAt;
    int nextFd = 3;
    std::set<int> exclusive;
    std::map<std::string, std::string> env;

    int call(const std::string& name, const std::string& arguments = "", std::string key = "") {
        calls.push_back(arguments.empty() ? name : name + " " + arguments);
        key = key.empty() ? name : key;
        return errors.count(key) ? errors[key] : 0;
    }
    void wrote(std::uint8_t value) {
        written.push_back(value);
        writtenAt.push_back(Clock::now());
    }

    int openReadWrite(const std::string& path, int& fd) override {
        fd = errors.count("open") ? -1 : nextFd++;
        return call("open", path + " -> " + std::to_string(fd));
    }
    int ioctl(int fd, unsigned long request, void* arg) override {
        const std::string on = std::to_string(fd);
        if (request == PPEXCL)
            exclusive.insert(fd);
        if (request == PPCLAIM)
            return call("PPCLAIM", on, exclusive.count(fd) ? "exclusive" : "shared");
        if (request == PPWDATA)
            wrote(*static_cast<std::uint8_t*>(arg));
        return call(request == PPEXCL    ? "PPEXCL"
                    : request == PPWDATA ? "PPWDATA"
                                         : "PPRELEASE",
                    on);
    }
    int ioctlWithin(int fd, unsigned long request, void* arg,
                    std::chrono::milliseconds limit) override {
        call("within", std::to_string(limit.count()) + " ms");
        return ioctl(fd, request, arg);
    }
    void close(int fd) override { call("close", std::to_string(fd)); }
    int readFile(const std::string& path, std::string& content) override {
        content = proc;
        return call("read", path);
    }
    int lock(const std::string& path, int& fd, std::string& holder) override {
        fd = nextFd++;
        holder = "4242";
        return call("lock", path + " -> " + std::to_string(fd));
    }
    int ioperm(unsigned long first, unsigned long count, bool on) override {
        const std::string range = std::to_string(first) + " " + std::to_string(count);
        return call("ioperm", range + (on ? " on" : " off"), on ? "ioperm" : "-");
    }
    void outb(std::uint8_t value, std::uint16_t port) override {
        EXPECT_EQ(port, 0x378);
        wrote(value);
    }

    uid_t getuid() override { return uid; }
    uid_t geteuid() override { return euid; }
    gid_t getgid() override { return gid; }
    std::optional<std::string> getenv(const std::string& name) override {
        return env.count(name) ? std::optional(env[name]) : std::nullopt;
    }
    std::optional<Account> account(uid_t id) override {
        if (id != 1000 || quirk == Quirk::NoEntry)
            return std::nullopt;
        return Account{"alice", "/home/alice"};
    }
    int setenv(const std::string& name, const std::string& value) override {
        return call("setenv", name + " " + value);
    }
    int clearenv() override { return call("clearenv"); }
    int forbidNewPrivileges() override { return call("prctl", "PR_SET_NO_NEW_PRIVS"); }
    int forbidPrograms() override { return call("seccomp", "execve execveat"); }
    int initgroups(const std::string& user, gid_t group) override {
        return call("initgroups", user + " " + std::to_string(group));
    }
    int setgroups(const std::vector<gid_t>& groups) override {
        return call("setgroups", std::to_string(groups.size() == 1 ? groups[0] : -1));
    }
    // Read back only after a set call succeeded: the ids it set, the saved uid perhaps not.
    int setresgid(gid_t id) override { return call("setresgid", std::to_string(gid = id)); }
    int setresuid(uid_t id) override { return call("setresuid", std::to_string(uid = id)); }
    std::array<gid_t, 3> getresgid() override { return {gid, gid, gid}; }
    std::array<uid_t, 3> getresuid() override {
        return {uid, uid, quirk == Quirk::SavedUidStays ? 0 : uid};
    }
    int setgid(gid_t id) override {
        call("setgid", std::to_string(id));
        return quirk == Quirk::GroupBack ? 0 : EPERM;
    }
    int setuid(uid_t id) override {
        call("setuid", std::to_string(id));
        return quirk == Quirk::RootBack ? 0 : EPERM;
    }
};

// The kernel's answers: call names and errno values, in pairs.
Errors fails(const std::string& name = "", int error = 0, const std::string& name2 = "",
             int error2 = 0) {
    return {{name, error}, {name2, error2}};
}

// What the terminal is told, line by line in the order choosing went, then the title's
// reason, or the port's name when a real one is driven.
struct ChoiceCase {
    const char* name;
    Errors errors;
    std::string proc; // what /proc shows; empty: a PC's usual table
    uid_t euid;
    std::string said;
};

const std::string kShared = "qx5180: exclusive access to /dev/parport0 refused: another driver "
                            "(such as the printer driver lp) uses the port; sharing it, waiting "
                            "at most 2 s for it to be free\n";
const std::string kExistsSim =
    "qx5180: direct port I/O not tried: /dev/parport0 exists\n"
    "qx5180: no parallel port available; using the simulated board (its decoded writes follow "
    "on standard error)\n";
const std::string kNoNode = "qx5180: cannot open /dev/parport0: No such file or directory (load "
                            "the ppdev module: sudo modprobe ppdev)\n";
const std::string kSim = "qx5180: no parallel port available; using the simulated board (its "
                         "decoded writes follow on standard error)\n";
const std::string kUnlisted =
    "qx5180: direct port I/O not tried: no parallel port at 0x378 in /proc/ioports\n";

class Choice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(Choice, TakesTheFirstUsableWayAndSaysWhyEachOtherFailed) {
    const ChoiceCase& row = GetParam();
    Kernel k;
    k.errors = row.errors;
    k.euid = row.euid;
    k.proc = row.proc.empty() ? k.proc : row.proc;
    std::string said;
    const auto report = [&](const bus::PortEvent& e) { said += messages::portEvent(e) + "\n"; };
    const auto board = [] { return std::make_unique<sim::Board>(); };
    // No limit given: start-up waits the 2 s the user is promised (the fake answers at once).
    auto [port, because] = bus::choosePort(k, report, board);
    ASSERT_TRUE(port);
    EXPECT_EQ(said + (because ? messages::simulatedBecause(*because) : port->name()), row.said);
}

// The kernel names the holder of a shared port: lp0 printing, ppdev0 another program. Ranges
// in /proc/ioports are hex and their ends inclusive; unprivileged readers see them as zero,
// and ioperm() then has the last word. Set-user-ID root: the effective uid is what ioperm()
// is judged by.
const ChoiceCase kChoices[] = {
    {"DeviceExclusive", fails(), "", 1000, "qx5180: using /dev/parport0\n/dev/parport0"},
    {"PrinterDriverRegistered", fails("exclusive", ENXIO), "", 1000,
     kShared + "qx5180: using /dev/parport0\n/dev/parport0"},
    {"NoPortBehindDevice", fails("exclusive", ENXIO, "shared", ENXIO), "", 1000,
     kShared +
         "qx5180: cannot claim /dev/parport0: No such device or address (no port behind it, or "
         "another program holds it exclusively)\n" +
         kExistsSim + "/dev/parport0 unavailable"},
    {"ClaimFails", fails("exclusive", EIO), "", 1000,
     "qx5180: cannot claim /dev/parport0: Input/output error\n" + kExistsSim +
         "cannot claim /dev/parport0"},
    {"SharedClaimWaitsInVain", fails("exclusive", ENXIO, "shared", ETIMEDOUT), "none\n", 1000,
     kShared +
         "qx5180: gave up waiting for /dev/parport0 after 2 s: the printer driver is printing, "
         "or another program is using the port\n" +
         kExistsSim + "/dev/parport0 busy"},
    {"Printing", fails("exclusive", ENXIO, "shared", ETIMEDOUT), "lp0\n", 1000,
     kShared +
         "qx5180: gave up waiting for /dev/parport0 after 2 s: the printer driver (lp0) is "
         "printing\n" +
         kExistsSim + "/dev/parport0 busy printing"},
    {"AnotherProgram", fails("exclusive", ENXIO, "shared", ETIMEDOUT), "ppdev0\n", 1000,
     kShared +
         "qx5180: gave up waiting for /dev/parport0 after 2 s: another program is using the "
         "port (ppdev0)\n" +
         kExistsSim + "/dev/parport0 used by another program"},
    {"NotInGroupLp", fails("open", EACCES), "", 1000,
     "qx5180: cannot open /dev/parport0: Permission denied (add your user to group lp, then "
     "log in again)\n" +
         kExistsSim + "no permission for /dev/parport0"},
    {"NotPermitted", fails("open", EPERM), "", 1000,
     "qx5180: cannot open /dev/parport0: Operation not permitted (add your user to group lp, "
     "then log in again)\n" +
         kExistsSim + "no permission for /dev/parport0"},
    {"NoPortAtNode", fails("open", ENXIO), "", 1000,
     "qx5180: cannot open /dev/parport0: No such device or address\n" + kExistsSim +
         "no port behind /dev/parport0"},
    {"RangeEndingAtThePort", fails("open", ENOENT), "0370-0378 : parport0\n", 1000,
     kNoNode + "qx5180: using direct I/O at port 0x378\nI/O port 0x378"},
    {"RangeAfterThePort", fails("open", ENOENT), "0379-037f : parport0\n", 1000,
     kNoNode + kUnlisted + kSim + "no parallel port"},
    {"PortElsewhere", fails("open", ENOENT), "  0278-027a : parport0\n  0378-037f : lpt-like\n",
     1000, kNoNode + kUnlisted + kSim + "no parallel port"},
    {"IoportsUnreadable", fails("open", ENOENT, "read", EACCES), "", 1000,
     kNoNode + "qx5180: direct port I/O not tried: cannot read /proc/ioports: Permission denied\n" +
         kSim + "no parallel port"},
    // One panel per port: a second one names the first.
    {"AnotherPanelDrivesThePort", fails("open", ENOENT, "lock", EWOULDBLOCK), "", 0,
     kNoNode + "qx5180: I/O port 0x378 is driven by another panel (process 4242)\n" + kSim +
         "I/O port 0x378 used by another panel"},
    {"NotRoot", fails("open", ENOENT, "ioperm", EPERM), "  0000-0000 : parport0\n", 1000,
     kNoNode +
         "qx5180: cannot reach I/O port 0x378: Operation not permitted (run as root, or load "
         "ppdev and use /dev/parport0)\n" +
         kSim + "no permission for I/O port 0x378"},
    {"KernelLockedDown", fails("open", ENOENT, "ioperm", EPERM), "", 0,
     kNoNode +
         "qx5180: cannot reach I/O port 0x378: Operation not permitted (the kernel forbids "
         "direct port access; load ppdev and use /dev/parport0)\n" +
         kSim + "no permission for I/O port 0x378"},
    {"NoPortInstructions", fails("open", ENOENT, "ioperm", ENOSYS), "", 0,
     kNoNode + "qx5180: cannot reach I/O port 0x378: Function not implemented\n" + kSim +
         "cannot reach I/O port 0x378"},
};
INSTANTIATE_TEST_SUITE_P(Backends, Choice, testing::ValuesIn(kChoices),
                         [](const auto& info) { return std::string(info.param.name); });

// Every call from start through two written bytes, one of them failing, to the port's end;
// and no line state shorter than 5 µs, however fast the port takes bytes.
TEST(Backends, HoldTheirClaimUntilTheEndAndPaceEveryLineState) {
    for (const auto& [errors, calls] : std::vector<std::pair<Errors, Lines>>{
             {{{"exclusive", ENXIO}},
              {"open /dev/parport0 -> 3", "PPEXCL 3", "PPCLAIM 3", "close 3",
               "open /dev/parport0 -> 4", "within 2000 ms", "PPCLAIM 4", "PPWDATA 4", "PPWDATA 4",
               "PPRELEASE 4", "close 4"}},
             {{{"open", ENOENT}},
              {"open /dev/parport0 -> -1", "read /proc/ioports",
               "lock /run/lock/qx5180-0x378.lock -> 3", "ioperm 888 1 on", "ioperm 888 1 off",
               "close 3"}}}) {
        Kernel k;
        k.errors = errors;
        auto chosen = bus::choosePort(
            k, [](const bus::PortEvent&) {}, [] { return nullptr; });
        EXPECT_EQ(chosen.port->write(0xA5), 0);
        k.errors["PPWDATA"] = EIO;
        EXPECT_EQ(chosen.port->write(0x1F), errors.count("open") ? 0 : EIO);
        chosen.port.reset();
        EXPECT_EQ(k.calls, calls);
        EXPECT_EQ(k.written, (std::vector<std::uint8_t>{0xA5, 0x1F}));
        EXPECT_GE(k.writtenAt[1] - k.writtenAt[0], 5us);
    }
}

// A claim that sleeps is cut at the limit, however often other signals interrupt it, and is
// reported as the timeout it is; a whole number of seconds as well as a fraction. A read
// from an empty pipe sleeps as a claim on a busy port does.
TEST(ClaimLimit, EndsASleepingCallAtTheLimitAndNoSooner) {
    struct sigaction quiet {};
    quiet.sa_handler = [](int) {};
    sigaction(SIGUSR1, &quiet, nullptr); // no SA_RESTART: the read returns EINTR
    for (const auto& [limit, dataWaiting] : {std::pair{300ms, 0}, {300ms, 1}, {1000ms, 0}}) {
        int ends[2];
        char byte = 'x';
        ASSERT_EQ(pipe(ends), 0);
        ASSERT_EQ(write(ends[1], &byte, dataWaiting), dataWaiting);
        std::thread nudge([self = pthread_self()] {
            std::this_thread::sleep_for(20ms);
            pthread_kill(self, SIGUSR1);
        });
        const auto start = Clock::now();
        const auto call = [&] { return read(ends[0], &byte, 1) < 0 ? errno : 0; };
        const int error = bus::withinLimit(call, limit);
        const auto took = Clock::now() - start;
        nudge.join();
        EXPECT_EQ(error, dataWaiting ? 0 : ETIMEDOUT);
        EXPECT_TRUE(dataWaiting ? took < limit : took >= limit && took < limit + 2s)
            << std::chrono::duration<double>(took).count() << " s";
        close(ends[0]);
        close(ends[1]);
    }
}

// --- dropping root -------------------------------------------------------------------------

struct DropCase {
    const char* name;
    Quirk quirk;
    std::string environment; // root's, as sudo leaves it, changed: "NAME=value NAME= ..."
    Errors errors;
    std::string said;  // what the terminal is told
    std::string calls; // every call that changes something, a line each, in order
};

class DropRoot : public testing::TestWithParam<DropCase> {};

// On failure nothing runs after the step that failed, and a bad environment changes nothing.
TEST_P(DropRoot, GroupsThenGroupIdsThenUserIdsThenChecksRootIsGone) {
    const DropCase& row = GetParam();
    Kernel k;
    k.quirk = row.quirk;
    k.errors = row.errors;
    k.uid = row.quirk == Quirk::SetUserId || row.quirk == Quirk::NotRoot ? 1000 : 0;
    k.euid = row.quirk == Quirk::NotRoot ? 1000 : 0;
    k.gid = k.uid ? 100 : 0;
    k.env = {{"HOME", "/root"}, {"SUDO_UID", "1000"}, {"SUDO_GID", "100"}};
    std::istringstream changes(row.environment);
    for (std::string change; changes >> change;)
        k.env[change.substr(0, change.find('='))] = change.substr(change.find('=') + 1);
    std::erase_if(k.env, [](const auto& variable) { return variable.second.empty(); });
    std::ostringstream said;
    const bool dropped = process::dropRoot(k, said);
    EXPECT_EQ(said.str(), row.said.empty() ? "" : row.said + "\n");
    EXPECT_EQ(dropped, row.said.find("cannot drop") == std::string::npos);
    std::string calls;
    for (const std::string& call : k.calls)
        calls += call + "\n";
    EXPECT_EQ(calls, row.calls);
}

const std::string kDrop = "clearenv\ninitgroups alice 100\nsetresgid 100\nsetresuid 1000\n"
                          "setgid 0\nsetuid 0\nsetenv HOME /home/alice\nsetenv USER alice\n"
                          "setenv LOGNAME alice\nsetenv PATH /usr/local/bin:/usr/bin:/bin\n"
                          "prctl PR_SET_NO_NEW_PRIVS\nseccomp execve execveat\n";
// The first n calls of a drop that goes through.
std::string upTo(int n) {
    std::size_t end = 0;
    for (int i = 0; i < n; ++i)
        end = kDrop.find('\n', end) + 1;
    return kDrop.substr(0, end);
}
const std::string kCannot = "qx5180: cannot drop root rights: ";

// Whoever starts a set-user-ID program controls its environment: only what a window needs
// stays (the theme's desktop, plugins and SUDO_* go), and of that no locale, time zone or
// terminal that names a file or holds a format. The kernel's word counts, not the calls':
// a saved uid left at root is a way back.
const DropCase kDrops[] = {
    {"Sudo", Quirk::None, "", fails(), "", kDrop},
    {"NoPasswdEntry", Quirk::NoEntry, "", fails(), "",
     "clearenv\nsetgroups 100\nsetresgid 100\nsetresuid 1000\nsetgid 0\nsetuid 0\n"
     "setenv PATH /usr/local/bin:/usr/bin:/bin\nprctl PR_SET_NO_NEW_PRIVS\n"
     "seccomp execve execveat\n"},
    {"SetUserIdInstall", Quirk::SetUserId,
     "SUDO_UID=1001 QT_PLUGIN_PATH=/x XDG_CURRENT_DESKTOP=GNOME DISPLAY=unix/:0 LC_TIME=C "
     "LANG=../../tmp/x LC_CTYPE=C%n TZ=/etc/localtime TERM=xterm",
     fails(), "",
     "clearenv\nsetenv DISPLAY unix/:0\nsetenv LC_TIME C\nsetenv TERM xterm\n" +
         kDrop.substr(kDrop.find('\n') + 1)},
    {"NotRoot", Quirk::NotRoot, "", fails(), "", upTo(0)},
    {"RootLogin", Quirk::None, "SUDO_UID= SUDO_GID=", fails(),
     "qx5180: running as root: no invoking user to drop to (start it from your own account, "
     "through sudo if the port needs root)",
     "seccomp execve execveat\n"},
    {"InitgroupsFails", Quirk::None, "", fails("initgroups", ENOMEM),
     kCannot + "initgroups(alice, 100): Cannot allocate memory", upTo(2)},
    {"SetresgidFails", Quirk::None, "", fails("setresgid", EPERM),
     kCannot + "setresgid(100): Operation not permitted", upTo(3)},
    {"SetresuidFails", Quirk::None, "", fails("setresuid", EAGAIN),
     kCannot + "setresuid(1000): Resource temporarily unavailable", upTo(4)},
    {"SavedUidStaysRoot", Quirk::SavedUidStays, "", fails(),
     kCannot + "user ids are 1000 1000 0 after setresuid(1000)", upTo(4)},
    {"GroupRegainable", Quirk::GroupBack, "", fails(),
     kCannot + "group 0 could be regained after setresgid(100)", upTo(5)},
    {"RootRegainable", Quirk::RootBack, "", fails(),
     kCannot + "root could be regained after setresuid(1000)", upTo(6)},
    {"NoNewPrivilegesFails", Quirk::None, "", fails("prctl", EINVAL),
     kCannot + "prctl(PR_SET_NO_NEW_PRIVS): Invalid argument", upTo(11)},
    {"NoFilterAgainstPrograms", Quirk::None, "", fails("seccomp", EINVAL),
     kCannot + "seccomp filter against execve and execveat: Invalid argument", kDrop},
    {"UidTrailingSpace", Quirk::None, "SUDO_UID=1000\x7f", fails(),
     kCannot + "SUDO_UID \"1000?\" is not a user id", upTo(0)},
    {"UidMeaningNoChange", Quirk::None, "SUDO_UID=4294967295", fails(),
     kCannot + "SUDO_UID \"4294967295\" is not a user id", upTo(0)},
    {"UidRoot", Quirk::None, "SUDO_UID=0", fails(),
     kCannot + "SUDO_UID is 0, so there is no unprivileged user to become", upTo(0)},
    {"GidRoot", Quirk::None, "SUDO_GID=0", fails(),
     kCannot + "SUDO_GID is 0, so the program would keep root's group", upTo(0)},
    {"GidMissing", Quirk::None, "SUDO_GID=", fails(),
     kCannot + "SUDO_UID is set but SUDO_GID is not", upTo(0)},
};
INSTANTIATE_TEST_SUITE_P(Privileges, DropRoot, testing::ValuesIn(kDrops),
                         [](const auto& info) { return std::string(info.param.name); });

// The real lock: held by the first taker, who is named to the next.
TEST(Backends, TheRealLockNamesItsHolder) {
    const std::string path = testing::TempDir() + "qx5180-test.lock";
    int first = -1;
    int second = -1;
    std::string holder;
    EXPECT_EQ(bus::realPortAccess().lock(path, first, holder), 0);
    EXPECT_EQ(bus::realPortAccess().lock(path, second, holder), EWOULDBLOCK);
    EXPECT_EQ(holder, std::to_string(getpid()));
    ::close(first);
    EXPECT_EQ(bus::realPortAccess().lock(path, second, holder), 0);
    ::close(second);
}

// The user database's entry, as the system keeps it.
TEST(Credentials, ReadTheUserDatabase) {
    const auto root = process::realCredentials().account(0);
    EXPECT_EQ(root ? root->name + " " + root->home : "none", "root /root");
}

// --- standard error ----------------------------------------------------------------------

// All of a pipe's content until `end` has arrived, or ctest's timeout.
std::string readUntil(int fd, const std::string& end, std::string got = "") {
    char buffer[4096];
    while (got.find(end) == std::string::npos)
        got.append(buffer, std::max<ssize_t>(::read(fd, buffer, sizeof buffer), 0));
    return got;
}

// A pipe of one page, filled: the log's writer is stuck until someone reads.
std::array<int, 2> fullPipe(int callersFlags) {
    std::array<int, 2> fds{};
    const std::string full(4096, '-');
    EXPECT_EQ(::pipe(fds.data()), 0);
    EXPECT_EQ(::fcntl(fds[1], F_SETPIPE_SZ, 4096), 4096);
    EXPECT_EQ(::write(fds[1], full.data(), full.size()), 4096);
    ::fcntl(fds[1], F_SETFL, callersFlags);
    return fds;
}

// Blocking like a terminal, or left non-blocking by the caller: either way the log writes
// every line it kept, whole and in order, never changes the descriptor's flags, and keeps
// `capacity` lines waiting besides the one it is writing.
TEST(LineLog, AFullPipeCostsLinesNotTimeAndTheirCountFollows) {
    const std::string text(100, 'x');
    std::string kept; // line 0, stuck, and the eight waiting behind it
    for (int i = 0; i <= 8; ++i)
        kept += std::to_string(i) + ' ' + text + '\n';
    for (const auto& [callersFlags, lines, dropped] :
         {std::tuple{0, 200, "qx5180: 191 lines were"}, {O_NONBLOCK, 10, "qx5180: 1 line was"}}) {
        const auto fds = fullPipe(callersFlags);
        const int flags = ::fcntl(fds[1], F_GETFL);
        process::LineLog log(fds[1], 8);
        const auto start = Clock::now();
        log.stream() << 0 << ' ' << text << '\n';
        std::this_thread::sleep_for(100ms); // the writer is now stuck on line 0
        for (int i = 1; i < lines; ++i)
            log.stream() << i << ' ' << text << '\n';
        log.flush(); // gives up on a reader that takes nothing
        EXPECT_LT(Clock::now() - start, 1s);

        const std::string got = readUntil(fds[0], "being read\n");
        log.line("after");
        EXPECT_EQ(readUntil(fds[0], "after\n", got).substr(4096),
                  kept + dropped + " dropped while standard error was not being read\nafter\n");
        EXPECT_EQ(::fcntl(fds[1], F_GETFL), flags);

        // The reader goes: EPIPE, and no SIGPIPE (default here) ends the process.
        ::close(fds[0]);
        log.line("to nobody");
        log.flush();
        ::close(fds[1]);
    }
}

// At exit a slow reader still gets every line: flush() waits as long as lines keep going.
TEST(LineLog, FlushWaitsForEveryLineWhileTheReaderTakesThem) {
    const auto fds = fullPipe(0);
    process::LineLog log(fds[1]);
    std::string expected(4096, '-');
    for (int i = 0; i < 12; ++i) {
        const std::string line(1000, static_cast<char>('a' + i));
        log.line(line);
        expected += line + '\n';
    }
    std::string got;
    std::atomic<std::size_t> taken = 0;
    std::thread reader([&] {
        char buffer[1024];
        while (taken < expected.size()) {
            std::this_thread::sleep_for(20ms);
            got.append(buffer, std::max<ssize_t>(::read(fds[0], buffer, sizeof buffer), 0));
            taken = got.size();
        }
    });
    log.flush();
    const std::size_t writtenAtReturn = taken + 4096; // the pipe holds at most a page
    reader.join();
    EXPECT_GE(writtenAtReturn, expected.size());
    EXPECT_EQ(got, expected);
    ::close(fds[0]);
    ::close(fds[1]);
}

} // namespace
