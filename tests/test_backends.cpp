// The system seams: choosing a port back end, the claim's time limit, dropping root, and
// standard error that never stalls the panel.
#include "backends.h"
#include "board.h"
#include "linelog.h"
#include "portreport.h"
#include "privileges.h"
#include "system.h"

#include <gtest/gtest.h>
// ppdev.h builds its request codes from the macros in ioctl.h.
#include <sys/ioctl.h>

#include <linux/ppdev.h>

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
using Calls = std::vector<std::string>;
using Errors = std::map<std::string, int>;

template<class... Words>
std::string words(const Words&... w) { // "ioperm 888 1 on"
    std::ostringstream out;
    return ((out << ' ' << w), ...), out.str().substr(1);
}

// Stands in for the kernel, with both faces the program sees: logs every call in order and
// fails those whose key is in `errors` ("open", "exclusive", "shared" (claims), "PPWDATA",
// "read", "ioperm", "clearenv", "setenv", "prctl", "initgroups", "setgroups", "setgid",
// "setuid").
struct Machine : bus::PortAccess, bus::Credentials {
    Errors errors;
    Calls calls;
    uid_t uid = 1000, euid = 1000;
    gid_t gid = 1000;
    std::string ioports = "0000-0cf7 : PCI Bus 0000:00\n  0378-037a : parport0\n";
    std::vector<std::uint8_t> written;
    std::vector<Clock::time_point> writtenAt;
    int nextFd = 3;
    std::set<int> exclusive;
    std::map<std::string, std::string> env;
    std::map<uid_t, Account> users{{1000, {"alice", "/home/alice"}}};
    bool rootRegainable = false;

    int log(const std::string& call, const std::string& key = "") {
        calls.push_back(call);
        return errors.count(key) ? errors[key] : 0;
    }
    void keep(std::uint8_t value) { written.push_back(value), writtenAt.push_back(Clock::now()); }

    int openReadWrite(const std::string& path, int& fd) override {
        fd = errors.count("open") ? -1 : nextFd++;
        return log(words("open", path, fd < 0 ? "failed" : "-> " + std::to_string(fd)), "open");
    }
    int ioctl(int fd, unsigned long request, void* arg) override {
        if (request == PPEXCL)
            exclusive.insert(fd);
        if (request == PPCLAIM)
            return log(words("PPCLAIM", fd), exclusive.count(fd) ? "exclusive" : "shared");
        if (request == PPWDATA)
            return keep(*static_cast<std::uint8_t*>(arg)), log(words("PPWDATA", fd), "PPWDATA");
        return log(words(request == PPEXCL ? "PPEXCL" : "PPRELEASE", fd));
    }
    int ioctlWithin(int fd, unsigned long request, void* arg,
                    std::chrono::milliseconds limit) override {
        return log(words("within", limit.count(), "ms")), ioctl(fd, request, arg);
    }
    void close(int fd) override { log(words("close", fd)); }
    int readFile(const std::string& path, std::string& content) override {
        return content = ioports, log("read " + path, "read");
    }
    int ioperm(unsigned long first, unsigned long count, bool on) override {
        return log(words("ioperm", first, count, on ? "on" : "off"), on ? "ioperm" : "");
    }
    void outb(std::uint8_t value, std::uint16_t port) override {
        EXPECT_EQ(port, 0x378);
        keep(value);
    }

    uid_t getuid() override { return uid; }
    uid_t geteuid() override { return euid; }
    gid_t getgid() override { return gid; }
    std::optional<std::string> getenv(const std::string& name) override {
        return env.count(name) ? std::optional(env[name]) : std::nullopt;
    }
    std::optional<Account> account(uid_t id) override {
        return users.count(id) ? std::optional(users[id]) : std::nullopt;
    }
    int setenv(const std::string& name, const std::string& value) override {
        return env[name] = value, log(words("setenv", name, value), "setenv");
    }
    int clearenv() override { return env.clear(), log("clearenv", "clearenv"); }
    int forbidNewPrivileges() override { return log("no new privileges", "prctl"); }
    int initgroups(const std::string& user, gid_t group) override {
        return log(words("initgroups", user, group), "initgroups");
    }
    int setgroups(const std::vector<gid_t>& groups) override {
        return log(words("setgroups", groups.size() == 1 ? groups[0] : -1), "setgroups");
    }
    int setgid(gid_t id) override { return log(words("setgid", id), "setgid"); }
    int setuid(uid_t id) override {
        // A kernel that keeps no way back refuses the return to root.
        if (euid != 0)
            return log(words("setuid", id)), rootRegainable ? 0 : EPERM;
        const int error = log(words("setuid", id), "setuid");
        uid = euid = error ? euid : id;
        return error;
    }
};

// What the terminal is told, a line a key, in the order choosing went.
const std::string kOpen = "cannot open /dev/parport0: ", kReach = "cannot reach I/O port 0x378: ";
const std::string kWait = "gave up waiting for /dev/parport0 after 2 s: ";
const std::string kLp = " (add your user to group lp, then log in again)";
const std::string kUsePpdev = "load ppdev and use /dev/parport0)";
const std::string kNot = "direct port I/O not tried: ";
// clang-format off
const std::map<std::string, std::string> kLines = {
    {"dev", "using /dev/parport0"}, {"direct", "using direct I/O at port 0x378"},
    {"sim", "no parallel port available; using the simulated board (its decoded writes follow "
            "on standard error)"},
    {"shared", "exclusive access to /dev/parport0 refused: another driver (such as the printer "
               "driver lp) uses the port; sharing it, waiting at most 2 s for it to be free"},
    {"busy", kWait + "the printer driver is printing, or another program is using the port"},
    {"lp0", kWait + "the printer driver (lp0) is printing"},
    {"ppdev0", kWait + "another program is using the port (ppdev0)"},
    {"claimENXIO", "cannot claim /dev/parport0: No such device or address (no port behind it, "
                   "or another program holds it exclusively)"},
    {"claimEIO", "cannot claim /dev/parport0: Input/output error"},
    {"ENOENT", kOpen + "No such file or directory (load the ppdev module: sudo modprobe ppdev)"},
    {"EACCES", kOpen + "Permission denied" + kLp},
    {"EPERM", kOpen + "Operation not permitted" + kLp},
    {"ENXIO", kOpen + "No such device or address"}, {"exists", kNot + "/dev/parport0 exists"},
    {"unlisted", kNot + "no parallel port at 0x378 in /proc/ioports"},
    {"unreadable", kNot + "cannot read /proc/ioports: Permission denied"},
    {"notRoot", kReach + "Operation not permitted (run as root, or " + kUsePpdev},
    {"lockedDown", kReach + "Operation not permitted (the kernel forbids direct port access; " +
                   kUsePpdev},
    {"noPortIo", kReach + "Function not implemented"}};
// clang-format on

struct ChoiceCase {
    const char* title;
    Errors errors;         // the kernel's answers
    std::string messages;  // keys of kLines
    std::string portName;  // and, for the simulated board, why it stands in
    std::string proc = ""; // what /proc shows; empty: a PC's usual table
    uid_t euid = 1000;
    // Every call from start through one written byte to the port's end; none: not checked.
    Calls calls = {};
};

class Choice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(Choice, TakesTheFirstUsableWayAndSaysWhyEachOtherFailed) {
    const ChoiceCase& row = GetParam();
    Machine m;
    m.errors = row.errors, m.euid = row.euid;
    m.ioports = row.proc.empty() ? m.ioports : row.proc;
    std::ostringstream messages, expected;
    auto say = [&](const bus::PortError& e) { messages << panel::explain(e).line << '\n'; };
    auto board = [] { return std::make_unique<sim::Board>(); };
    // No limit given: start-up waits the 2 s the user is promised (the fake answers at once).
    auto [port, because] = bus::choosePort(m, messages, say, board);
    ASSERT_TRUE(port);
    std::istringstream keys(row.messages);
    for (std::string key; keys >> key;)
        expected << "qx5180: " << kLines.at(key) << '\n';
    EXPECT_EQ(messages.str(), expected.str());
    EXPECT_EQ(port->name() + (because ? ": " + panel::explain(*because).reason : ""), row.portName);
    if (row.calls.empty())
        return;
    EXPECT_EQ(port->write(0xA5), 0);
    m.errors["PPWDATA"] = EIO;
    EXPECT_EQ(port->write(0x1F), row.portName == "/dev/parport0" ? EIO : 0);
    port.reset();
    EXPECT_EQ(m.calls, row.calls);
    if (because)
        return;
    EXPECT_EQ(m.written, (std::vector<std::uint8_t>{0xA5, 0x1F}));
    // Standard-mode I2C on any PC: however fast the port takes bytes, no line state is
    // shorter than 5 µs.
    EXPECT_GE(m.writtenAt[1] - m.writtenAt[0], 5us);
}

const std::string kSim = "simulated board: ", kDev = "/dev/parport0";
const std::string kNoIo = "no permission for I/O port 0x378", kNoPort = kSim + "no parallel port";
const Errors kBusy{{"exclusive", ENXIO}, {"shared", ETIMEDOUT}}, kNoNode{{"open", ENOENT}};
const Errors kNoPerm{{"open", ENOENT}, {"ioperm", EPERM}};

// clang-format off
Calls operator+(Calls a, const Calls& b) { return a.insert(a.end(), b.begin(), b.end()), a; }
const Calls kShared{"open /dev/parport0 -> 3", "PPEXCL 3", "PPCLAIM 3", "close 3",
                    "open /dev/parport0 -> 4", "within 2000 ms", "PPCLAIM 4"};
INSTANTIATE_TEST_SUITE_P(Backends, Choice, testing::ValuesIn(std::vector<ChoiceCase>{
    {"DeviceExclusive", {}, "dev", kDev},
    {"PrinterDriverRegistered", {{"exclusive", ENXIO}}, "shared dev", kDev, "", 1000,
     kShared + Calls{"PPWDATA 4", "PPWDATA 4", "PPRELEASE 4", "close 4"}},
    {"NoPortBehindDevice", {{"exclusive", ENXIO}, {"shared", ENXIO}},
     "shared claimENXIO exists sim", kSim + kDev + " unavailable"},
    {"ClaimFails", {{"exclusive", EIO}}, "claimEIO exists sim", kSim + "cannot claim " + kDev},
    // The kernel names the holder of a shared port: lp0 printing, ppdev0 another program.
    {"SharedClaimWaitsInVain", kBusy, "shared busy exists sim", kSim + kDev + " busy", "none\n",
     1000, kShared + Calls{"close 4", "read /proc/sys/dev/parport/parport0/devices/active"}},
    {"Printing", kBusy, "shared lp0 exists sim", kSim + kDev + " busy printing", "lp0\n"},
    {"AnotherProgram", kBusy, "shared ppdev0 exists sim", kSim + kDev + " used by another program",
     "ppdev0\n"},
    {"NotInGroupLp", {{"open", EACCES}}, "EACCES exists sim", kSim + "no permission for " + kDev},
    {"NotPermitted", {{"open", EPERM}}, "EPERM exists sim", kSim + "no permission for " + kDev},
    {"NoPortAtNode", {{"open", ENXIO}}, "ENXIO exists sim", kSim + "no port behind " + kDev},
    {"DirectIo", kNoNode, "ENOENT direct", "I/O port 0x378", "", 1000, {"open /dev/parport0 failed",
     "read /proc/ioports", "ioperm 888 1 on", "ioperm 888 1 off"}},
    // Ranges are hex and their ends inclusive.
    {"RangeEndingAtThePort", kNoNode, "ENOENT direct", "I/O port 0x378", "0370-0378 : parport0\n"},
    {"RangeAfterThePort", kNoNode, "ENOENT unlisted sim", kNoPort, "0379-037f : parport0\n"},
    {"PortElsewhere", kNoNode, "ENOENT unlisted sim", kNoPort,
     "  0278-027a : parport0\n  0378-037f : lpt-lookalike\n"},
    {"IoportsUnreadable", {{"open", ENOENT}, {"read", EACCES}}, "ENOENT unreadable sim", kNoPort},
    // Unprivileged readers see every range as zero; ioperm() then has the last word.
    {"NotRoot", kNoPerm, "ENOENT notRoot sim", kSim + kNoIo, "  0000-0000 : parport0\n"},
    // Set-user-ID root: the effective uid is what ioperm() is judged by.
    {"KernelLockedDown", kNoPerm, "ENOENT lockedDown sim", kSim + kNoIo, "", 0},
    // No port I/O instructions on this processor.
    {"NoPortInstructions", {{"open", ENOENT}, {"ioperm", ENOSYS}}, "ENOENT noPortIo sim",
     kSim + "cannot reach I/O port 0x378", "", 0}}),
    [](const auto& info) { return std::string(info.param.title); });
// clang-format on

// A claim that sleeps is cut at the limit, however often other signals interrupt it, and is
// reported as the timeout it is. A read from an empty pipe sleeps as a claim on a busy port
// does.
TEST(ClaimLimit, EndsASleepingCallAtTheLimitAndNoSooner) {
    struct sigaction quiet {};
    quiet.sa_handler = [](int) {};
    sigaction(SIGUSR1, &quiet, nullptr); // no SA_RESTART: the read returns EINTR
    for (const int dataWaiting : {0, 1}) {
        int ends[2];
        char byte = 'x';
        ASSERT_TRUE(pipe(ends) == 0 && write(ends[1], &byte, dataWaiting) == dataWaiting);
        std::thread nudge([self = pthread_self()] {
            std::this_thread::sleep_for(20ms), pthread_kill(self, SIGUSR1);
        });
        const auto start = Clock::now();
        const int error =
            bus::withinLimit([&] { return read(ends[0], &byte, 1) < 0 ? errno : 0; }, 300ms);
        const auto took = Clock::now() - start;
        nudge.join();
        EXPECT_EQ(error, dataWaiting ? 0 : ETIMEDOUT);
        EXPECT_TRUE(dataWaiting ? took < 300ms : took >= 300ms && took < 3s)
            << std::chrono::duration<double>(took).count() << " s";
        close(ends[0]), close(ends[1]);
    }
}

// --- dropping root -------------------------------------------------------------------------

struct DropCase {
    const char* title;
    Errors errors;
    std::string message; // what the terminal is told
    Calls calls;
    const char *sudoUid = "1000", *sudoGid = "100"; // root's environment under sudo ("": unset)
    std::function<void(Machine&)> otherwise = [](Machine&) {}; // a start other than by sudo
};

class DropRoot : public testing::TestWithParam<DropCase> {};

// On failure nothing runs after the step that failed, and a bad environment changes nothing.
TEST_P(DropRoot, GroupsThenGroupThenUserThenChecksRootIsGone) {
    const DropCase& row = GetParam();
    Machine m;
    m.uid = m.euid = m.gid = 0, m.errors = row.errors;
    m.env = {{"HOME", "/root"}, {"USER", "root"}, {"LOGNAME", "root"}};
    m.env.insert({{"SUDO_UID", row.sudoUid}, {"SUDO_GID", row.sudoGid}});
    std::erase_if(m.env, [](const auto& variable) { return variable.second.empty(); });
    row.otherwise(m);
    std::ostringstream messages;
    const bool dropped = bus::dropRoot(m, messages);
    EXPECT_EQ(messages.str(), row.message + (row.message.empty() ? "" : "\n"));
    EXPECT_EQ(dropped, row.message.find("cannot drop") == std::string::npos);
    EXPECT_EQ(m.calls, row.calls);
}

// clang-format off
const Calls kDrop{"clearenv", "initgroups alice 100", "setgid 100", "setuid 1000", "setuid 0",
                  "setenv HOME /home/alice", "setenv USER alice", "setenv LOGNAME alice",
                  "setenv PATH /usr/local/bin:/usr/bin:/bin", "no new privileges"};
Calls upTo(int n) { return Calls(kDrop.begin(), kDrop.begin() + n); }
std::string no(const std::string& why) { return "qx5180: cannot drop root rights: " + why; }
INSTANTIATE_TEST_SUITE_P(Privileges, DropRoot, testing::ValuesIn(std::vector<DropCase>{
    {"Sudo", {}, "", kDrop},
    {"NoPasswdEntry", {}, "", {"clearenv", "setgroups 100", "setgid 100", "setuid 1000",
     "setuid 0", kDrop[8], "no new privileges"}, "1000", "100",
     [](Machine& m) { m.users = {}; }},
    // Whoever starts a set-user-ID program controls its environment: only what a window needs
    // stays; the theme's desktop, GTK's settings folder, plugins and SUDO_* all go.
    {"SetUserIdInstall", {}, "", Calls{"clearenv", "setenv DISPLAY :0", "setenv XAUTHORITY /a",
     "setenv LC_TIME C"} + Calls(kDrop.begin() + 1, kDrop.end()), "1001", "0", [](Machine& m) {
         m.uid = 1000, m.gid = 100, m.env.insert({{"QT_PLUGIN_PATH", "/x"}, {"LC_TIME", "C"},
             {"XDG_CURRENT_DESKTOP", "GNOME"}, {"XDG_CONFIG_HOME", "/x"}, {"XAUTHORITY", "/a"},
             {"DISPLAY", ":0"}}); }},
    {"NotRoot", {}, "", {}, "0", "0", [](Machine& m) { m.uid = m.euid = 1000; }},
    {"RootLogin", {}, "qx5180: running as root: no invoking user to drop to (start it from your "
     "own account, through sudo if the port needs root)", {}, "", ""},
    {"InitgroupsFails", {{"initgroups", ENOMEM}},
     no("initgroups(alice, 100): Cannot allocate memory"), upTo(2)},
    {"SetgidFails", {{"setgid", EPERM}}, no("setgid(100): Operation not permitted"), upTo(3)},
    {"RootRegainable", {}, no("root could be regained after setuid(1000)"), upTo(5), "1000",
     "100", [](Machine& m) { m.rootRegainable = true; }},
    {"NoNewPrivilegesFails", {{"prctl", EINVAL}},
     no("prctl(PR_SET_NO_NEW_PRIVS): Invalid argument"), kDrop},
    {"UidTrailingSpace", {}, no("SUDO_UID \"1000 \" is not a user id"), {}, "1000 "},
    {"UidMeaningNoChange", {}, no("SUDO_UID \"4294967295\" is not a user id"), {}, "4294967295"},
    {"UidRoot", {}, no("SUDO_UID is 0, so there is no unprivileged user to become"), {}, "0", "0"},
    {"GidRoot", {}, no("SUDO_GID is 0, so the program would keep root's group"), {}, "1000", "0"},
    {"GidMissing", {}, no("SUDO_UID is set but SUDO_GID is not"), {}, "1000", ""}}),
    [](const auto& info) { return std::string(info.param.title); });
// clang-format on

// --- standard error ----------------------------------------------------------------------

// Blocking like a terminal, or left non-blocking by the caller: either way the log writes
// every line it kept, whole and in order, never changes the descriptor's flags, and keeps
// `capacity` lines waiting besides the one it is writing.
TEST(LineLog, AFullPipeCostsLinesNotTimeAndTheirCountFollows) {
    const auto readUntil = [](int fd, const std::string& end, std::string got = "") {
        for (char buffer[4096]; got.find(end) == std::string::npos;) // or ctest's timeout
            got.append(buffer, std::max<ssize_t>(::read(fd, buffer, sizeof buffer), 0));
        return got;
    };
    const std::string text(100, 'x');
    std::string kept; // line 0, stuck, and the eight waiting behind it
    for (int i = 0; i <= 8; ++i)
        kept += std::to_string(i) + ' ' + text + '\n';
    for (const auto& [callersFlags, lines, dropped] :
         {std::tuple{0, 200, "qx5180: 191 lines were"}, {O_NONBLOCK, 10, "qx5180: 1 line was"}}) {
        int fds[2];
        const std::string full(4096, '-'); // a pipe of one page, filled
        ASSERT_TRUE(::pipe(fds) == 0 && ::fcntl(fds[1], F_SETPIPE_SZ, 4096) == 4096);
        ASSERT_EQ(::write(fds[1], full.data(), full.size()), 4096);
        ::fcntl(fds[1], F_SETFL, callersFlags);
        const int flags = ::fcntl(fds[1], F_GETFL);
        panel::LineLog log(fds[1], 8);
        const auto start = Clock::now();
        log.stream() << 0 << ' ' << text << '\n';
        std::this_thread::sleep_for(100ms); // the writer is now stuck on line 0
        for (int i = 1; i < lines; ++i)
            log.stream() << i << ' ' << text << '\n';
        log.flush(); // gives up on a reader that takes nothing
        EXPECT_LT(Clock::now() - start, 1s);

        const std::string got = readUntil(fds[0], "being read\n");
        log.line("after");
        EXPECT_EQ(readUntil(fds[0], "after\n", got).substr(full.size()),
                  kept + dropped + " dropped while standard error was not being read\nafter\n");
        EXPECT_EQ(::fcntl(fds[1], F_GETFL), flags);

        // The reader goes: EPIPE, and no SIGPIPE (default here) ends the process.
        ::close(fds[0]);
        log.line("to nobody");
        log.flush();
        ::close(fds[1]);
    }
}

// The user database's entry, as the system keeps it.
TEST(Credentials, ReadTheUserDatabase) {
    const auto root = bus::realCredentials().account(0);
    EXPECT_EQ(root ? root->name + " " + root->home : "none", "root /root");
}

} // namespace
