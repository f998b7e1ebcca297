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
using Calls = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

// Stands in for the kernel, with both faces the program sees: logs every call in order and
// fails those whose key is in `errors` ("open", "exclusive claim", "shared claim", "PPWDATA",
// "read", "ioperm", "setenv", "prctl", "initgroups", "setgroups", "setgid", "setuid").
struct Machine {
    std::map<std::string, int> errors;
    uid_t uid = 1000, euid = 1000;
    gid_t gid = 1000;
    Calls calls;

    int log(const std::string& call, const std::string& key = "") {
        calls.push_back(call);
        return errors.count(key) ? errors[key] : 0;
    }

    struct Port : bus::PortAccess {
        explicit Port(Machine& m) : k(m) {}
        Machine& k;
        std::string ioports = "0000-0cf7 : PCI Bus 0000:00\n  0378-037a : parport0\n";
        Bytes written;
        std::vector<std::chrono::steady_clock::time_point> writtenAt;
        int nextFd = 3;
        std::set<int> exclusive;

        int openReadWrite(const std::string& path, int& fd) override {
            const int error = k.errors.count("open") ? k.errors["open"] : 0;
            fd = error ? -1 : nextFd++;
            k.calls.push_back("open " + path + (error ? " failed" : " -> " + std::to_string(fd)));
            return error;
        }
        int ioctl(int fd, unsigned long request, void* arg) override {
            const std::string on = " " + std::to_string(fd);
            if (request == PPEXCL)
                exclusive.insert(fd);
            if (request == PPCLAIM)
                return k.log("PPCLAIM" + on,
                             exclusive.count(fd) ? "exclusive claim" : "shared claim");
            if (request == PPWDATA)
                return keep(*static_cast<unsigned char*>(arg)), k.log("PPWDATA" + on, "PPWDATA");
            return k.log((request == PPEXCL ? "PPEXCL" : "PPRELEASE") + on);
        }
        int ioctlWithin(int fd, unsigned long request, void* arg,
                        std::chrono::milliseconds limit) override {
            k.calls.push_back("within " + std::to_string(limit.count()) + " ms");
            return ioctl(fd, request, arg);
        }
        void close(int fd) override { k.log("close " + std::to_string(fd)); }
        int readFile(const std::string& path, std::string& content) override {
            content = ioports;
            return k.log("read " + path, "read");
        }
        int ioperm(unsigned long first, unsigned long count, bool on) override {
            return k.log("ioperm " + std::to_string(first) + " " + std::to_string(count) +
                             (on ? " on" : " off"),
                         on ? "ioperm" : "");
        }
        void outb(std::uint8_t value, std::uint16_t port) override {
            EXPECT_EQ(port, 0x378);
            keep(value);
        }
        uid_t geteuid() override { return k.euid; }
        void keep(std::uint8_t value) {
            written.push_back(value);
            writtenAt.push_back(std::chrono::steady_clock::now());
        }
    } port{*this};

    struct Credentials : bus::Credentials {
        explicit Credentials(Machine& m) : k(m) {}
        Machine& k;
        std::map<std::string, std::string> env;
        std::map<uid_t, Account> users{{1000, {"alice", "/home/alice"}}};
        bool rootRegainable = false;

        uid_t getuid() override { return k.uid; }
        uid_t geteuid() override { return k.euid; }
        gid_t getgid() override { return k.gid; }
        std::optional<std::string> getenv(const std::string& name) override {
            return env.count(name) ? std::optional(env[name]) : std::nullopt;
        }
        std::optional<Account> account(uid_t id) override {
            return users.count(id) ? std::optional(users[id]) : std::nullopt;
        }
        int setenv(const std::string& name, const std::string& value) override {
            env[name] = value;
            return k.log("setenv " + name + " " + value, "setenv");
        }
        int clearenv() override { return env.clear(), k.log("clearenv", "clearenv"); } // key too
        int forbidNewPrivileges() override { return k.log("no new privileges", "prctl"); }
        int initgroups(const std::string& user, gid_t group) override {
            return k.log("initgroups " + user + " " + std::to_string(group), "initgroups");
        }
        int setgroups(const std::vector<gid_t>& groups) override {
            return k.log("setgroups " + std::to_string(groups.size() == 1 ? groups[0] : -1),
                         "setgroups");
        }
        int setgid(gid_t id) override { return k.log("setgid " + std::to_string(id), "setgid"); }
        int setuid(uid_t id) override {
            // A kernel that keeps no way back refuses the return to root.
            if (k.euid != 0)
                return k.log("setuid " + std::to_string(id)), rootRegainable ? 0 : EPERM;
            const int error = k.log("setuid " + std::to_string(id), "setuid");
            if (error == 0)
                k.uid = k.euid = id;
            return error;
        }
    } credentials{*this};
};
using SetUp = std::function<void(Machine&)>;

// The kernel's answers: failing calls, what /proc shows (empty: a PC's usual table), the
// effective uid.
SetUp kernel(std::map<std::string, int> errors, std::string proc = "", uid_t euid = 1000) {
    return [=](Machine& m) {
        m.errors = errors, m.euid = euid;
        if (!proc.empty())
            m.port.ioports = proc;
    };
}

// What the terminal is told, a line a key, in the order choosing went.
const std::string kOpen = "cannot open /dev/parport0: ", kReach = "cannot reach I/O port 0x378: ";
const std::string kWait = "gave up waiting for /dev/parport0 after 2 s: ";
const std::string kLp = " (add your user to group lp, then log in again)";
const std::string kUsePpdev = "load ppdev and use /dev/parport0)";
const std::map<std::string, std::string> kLines = {
    {"dev", "using /dev/parport0"},
    {"direct", "using direct I/O at port 0x378"},
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
    {"ENODEV", kOpen + "No such device"},
    {"ENXIO", kOpen + "No such device or address"},
    {"EIO", kOpen + "Input/output error"},
    {"exists", "direct port I/O not tried: /dev/parport0 exists"},
    {"unlisted", "direct port I/O not tried: no parallel port at 0x378 in /proc/ioports"},
    {"unreadable", "direct port I/O not tried: cannot read /proc/ioports: Permission denied"},
    {"notRoot", kReach + "Operation not permitted (run as root, or " + kUsePpdev},
    {"lockedDown", kReach + "Operation not permitted (the kernel forbids direct port access; " +
                       kUsePpdev},
    {"noPortIo", kReach + "Function not implemented"}};

struct ChoiceCase {
    const char* title;
    SetUp setUp;
    std::string messages; // keys of kLines
    std::string portName; // and, for the simulated board, why it stands in
    // Every call from start through one written byte to the port's end; none: not checked.
    Calls calls = {};
};

class Choice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(Choice, TakesTheFirstUsableWayAndSaysWhyEachOtherFailed) {
    Machine m;
    GetParam().setUp(m);
    std::ostringstream messages, expected;
    auto say = [&](const bus::PortError& e) { messages << panel::explain(e).line << '\n'; };
    auto board = [] { return std::make_unique<sim::Board>(); };
    // No limit given: start-up waits the 2 s the user is promised (the fake answers at once).
    auto [port, because] = bus::choosePort(m.port, messages, say, board);
    ASSERT_TRUE(port);
    std::istringstream keys(GetParam().messages);
    for (std::string key; keys >> key;)
        expected << "qx5180: " << kLines.at(key) << '\n';
    EXPECT_EQ(messages.str(), expected.str());
    EXPECT_EQ(port->name() + (because ? ": " + panel::explain(*because).reason : ""),
              GetParam().portName);
    if (GetParam().calls.empty())
        return;
    EXPECT_EQ(port->write(0xA5), 0);
    m.errors["PPWDATA"] = EIO;
    EXPECT_EQ(port->write(0x1F), GetParam().portName == "/dev/parport0" ? EIO : 0);
    port.reset();
    EXPECT_EQ(m.calls, GetParam().calls);
    if (because)
        return;
    EXPECT_EQ(m.port.written, (Bytes{0xA5, 0x1F}));
    // Standard-mode I2C on any PC: however fast the port takes bytes, no line state is
    // shorter than 5 µs.
    EXPECT_GE(m.port.writtenAt[1] - m.port.writtenAt[0], 5us);
}

const std::string kSim = "simulated board: ";
const std::map<std::string, int> kBusy{{"exclusive claim", ENXIO}, {"shared claim", ETIMEDOUT}};
Calls shared(Calls then) {
    Calls c{"open /dev/parport0 -> 3", "PPEXCL 3", "PPCLAIM 3", "close 3",
            "open /dev/parport0 -> 4", "within 2000 ms", "PPCLAIM 4"};
    return c.insert(c.end(), then.begin(), then.end()), c;
}
const Calls kGaveUp{"close 4", "read /proc/sys/dev/parport/parport0/devices/active"};
const std::map<std::string, int> kNoNode{{"open", ENOENT}};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Backends, Choice, testing::Values(
    ChoiceCase{"DeviceExclusive", kernel({}), "dev", "/dev/parport0",
               {"open /dev/parport0 -> 3", "PPEXCL 3", "PPCLAIM 3", "PPWDATA 3", "PPWDATA 3",
                "PPRELEASE 3", "close 3"}},
    ChoiceCase{"PrinterDriverRegistered", kernel({{"exclusive claim", ENXIO}}), "shared dev",
               "/dev/parport0", shared({"PPWDATA 4", "PPWDATA 4", "PPRELEASE 4", "close 4"})},
    ChoiceCase{"NoPortBehindDevice", kernel({{"exclusive claim", ENXIO}, {"shared claim", ENXIO}}),
               "shared claimENXIO exists sim", kSim + "/dev/parport0 unavailable"},
    ChoiceCase{"ClaimFails", kernel({{"exclusive claim", EIO}}), "claimEIO exists sim",
               kSim + "cannot claim /dev/parport0"},
    // The kernel names the holder of a shared port: lp0 printing, ppdev0 another program.
    ChoiceCase{"SharedClaimWaitsInVain", kernel(kBusy, "none\n"), "shared busy exists sim",
               kSim + "/dev/parport0 busy", shared(kGaveUp)},
    ChoiceCase{"Printing", kernel(kBusy, "lp0\n"), "shared lp0 exists sim",
               kSim + "/dev/parport0 busy printing"},
    ChoiceCase{"AnotherProgram", kernel(kBusy, "ppdev0\n"), "shared ppdev0 exists sim",
               kSim + "/dev/parport0 used by another program"},
    ChoiceCase{"NotInGroupLp", kernel({{"open", EACCES}}), "EACCES exists sim",
               kSim + "no permission for /dev/parport0"},
    ChoiceCase{"NotPermitted", kernel({{"open", EPERM}}), "EPERM exists sim",
               kSim + "no permission for /dev/parport0"},
    ChoiceCase{"StaleNode", kernel({{"open", ENODEV}}), "ENODEV exists sim",
               kSim + "no port behind /dev/parport0"},
    ChoiceCase{"NoPortAtNode", kernel({{"open", ENXIO}}), "ENXIO exists sim",
               kSim + "no port behind /dev/parport0"},
    ChoiceCase{"OpenFails", kernel({{"open", EIO}}), "EIO exists sim",
               kSim + "cannot open /dev/parport0"},
    ChoiceCase{"DirectIo", kernel(kNoNode), "ENOENT direct", "I/O port 0x378",
               {"open /dev/parport0 failed", "read /proc/ioports", "ioperm 888 1 on",
                "ioperm 888 1 off"}},
    // Ranges are hex and their ends inclusive.
    ChoiceCase{"RangeEndingAtThePort", kernel(kNoNode, "0370-0378 : parport0\n"),
               "ENOENT direct", "I/O port 0x378"},
    ChoiceCase{"RangeStartingAfterThePort", kernel(kNoNode, "  0379-037f : parport0\n"),
               "ENOENT unlisted sim", kSim + "no parallel port"},
    ChoiceCase{"PortElsewhere",
               kernel(kNoNode, "  0278-027a : parport0\n  0378-037f : lpt-lookalike\n"),
               "ENOENT unlisted sim", kSim + "no parallel port"},
    ChoiceCase{"IoportsUnreadable", kernel({{"open", ENOENT}, {"read", EACCES}}),
               "ENOENT unreadable sim", kSim + "no parallel port"},
    // Unprivileged readers see every range as zero; ioperm() then has the last word.
    ChoiceCase{"NotRoot", kernel({{"open", ENOENT}, {"ioperm", EPERM}}, "  0000-0000 : parport0\n"),
               "ENOENT notRoot sim", kSim + "no permission for I/O port 0x378"},
    // Set-user-ID root: the effective uid is what ioperm() is judged by.
    ChoiceCase{"KernelLockedDown", kernel({{"open", ENOENT}, {"ioperm", EPERM}}, "", 0),
               "ENOENT lockedDown sim", kSim + "no permission for I/O port 0x378"},
    // No port I/O instructions on this processor.
    ChoiceCase{"NoPortInstructions", kernel({{"open", ENOENT}, {"ioperm", ENOSYS}}, "", 0),
               "ENOENT noPortIo sim", kSim + "cannot reach I/O port 0x378"}),
    [](const auto& info) { return std::string(info.param.title); });
// clang-format on

// A claim that sleeps is cut at the limit, however often other signals interrupt it, and is
// reported as the timeout it is. A read from an empty pipe sleeps as a claim on a busy port
// does.
TEST(ClaimLimit, EndsASleepingCallAtTheLimitAndNoSooner) {
    struct sigaction quiet {};
    quiet.sa_handler = [](int) {};
    sigaction(SIGUSR1, &quiet, nullptr); // no SA_RESTART: the read returns EINTR
    for (const bool dataWaiting : {false, true}) {
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        char byte = 'x';
        ASSERT_EQ(write(ends[1], &byte, dataWaiting ? 1 : 0), dataWaiting ? 1 : 0);
        const pthread_t self = pthread_self();
        std::thread nudge([self] {
            std::this_thread::sleep_for(20ms);
            pthread_kill(self, SIGUSR1);
        });
        const auto start = std::chrono::steady_clock::now();
        const int error = bus::withinLimit(
            [&] { return read(ends[0], &byte, 1) < 0 ? errno : 0; }, 300ms);
        const auto took = std::chrono::steady_clock::now() - start;
        nudge.join();
        EXPECT_EQ(error, dataWaiting ? 0 : ETIMEDOUT);
        EXPECT_TRUE(dataWaiting ? took < 300ms : took >= 300ms && took < 3s)
            << std::chrono::duration<double>(took).count() << " s";
        close(ends[0]), close(ends[1]);
    }
}

// --- dropping root -------------------------------------------------------------------------

SetUp sudo(const char* uid, const char* gid, std::map<std::string, int> errors = {}) {
    return [=](Machine& m) {
        m.uid = m.euid = 0, m.gid = 0, m.errors = errors;
        m.credentials.env = {{"HOME", "/root"}, {"USER", "root"}, {"LOGNAME", "root"}};
        for (auto [name, value] : {std::pair{"SUDO_UID", uid}, {"SUDO_GID", gid}})
            if (value)
                m.credentials.env[name] = value;
    };
}

struct DropCase {
    const char* title;
    SetUp setUp;
    bool dropped;
    std::string message;
    Calls calls;
};

class DropRoot : public testing::TestWithParam<DropCase> {};

// On failure nothing runs after the step that failed, and a bad environment changes nothing.
TEST_P(DropRoot, GroupsThenGroupThenUserThenChecksRootIsGone) {
    Machine m;
    GetParam().setUp(m);
    std::ostringstream messages;
    EXPECT_EQ(bus::dropRoot(m.credentials, messages), GetParam().dropped);
    EXPECT_EQ(messages.str(), GetParam().message);
    EXPECT_EQ(m.calls, GetParam().calls);
}

const Calls kDrop{"clearenv", "initgroups alice 100", "setgid 100", "setuid 1000", "setuid 0",
                  "setenv HOME /home/alice", "setenv USER alice", "setenv LOGNAME alice",
                  "setenv PATH /usr/local/bin:/usr/bin:/bin", "no new privileges"};
const std::string kRefused = "qx5180: cannot drop root rights: ";
Calls dropUpTo(int n) { return Calls(kDrop.begin(), kDrop.begin() + n); }
Calls keepThenDrop(Calls kept) {
    return kept.insert(kept.end(), kDrop.begin() + 1, kDrop.end()), kept;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Privileges, DropRoot, testing::Values(
    DropCase{"Sudo", sudo("1000", "100"), true, "", kDrop},
    DropCase{"NoPasswdEntry", [](Machine& m) { sudo("1000", "100")(m), m.credentials.users = {}; },
             true, "", {"clearenv", "setgroups 100", "setgid 100", "setuid 1000", "setuid 0",
                        kDrop[8], "no new privileges"}},
    // Whoever starts a set-user-ID program controls its environment: only what a window needs
    // stays; the theme's desktop, GTK's settings folder, plugins and SUDO_* all go.
    DropCase{"SetUserIdInstall", [](Machine& m) { m.euid = 0, m.gid = 100; m.credentials.env = {
                 {"SUDO_UID", "1001"}, {"SUDO_GID", "0"}, {"QT_PLUGIN_PATH", "/tmp/x"},
                 {"XDG_CURRENT_DESKTOP", "GNOME"}, {"XDG_CONFIG_HOME", "/tmp/x"}, {"LC_TIME", "C"},
                 {"XAUTHORITY", "/a"}, {"DISPLAY", ":0"}}; }, true, "",
             keepThenDrop({"clearenv", "setenv DISPLAY :0", "setenv XAUTHORITY /a",
                           "setenv LC_TIME C"})},
    DropCase{"NotRoot", [](Machine& m) { m.credentials.env = {{"SUDO_UID", "0"}}; }, true, "", {}},
    DropCase{"RootLogin", sudo(nullptr, nullptr), true,
             "qx5180: running as root: no invoking user to drop to "
             "(start it from your own account, through sudo if the port needs root)\n", {}},
    DropCase{"ClearenvFails", sudo("1000", "100", {{"clearenv", ENOMEM}}), false,
             kRefused + "clearenv(): Cannot allocate memory\n", dropUpTo(1)},
    DropCase{"InitgroupsFails", sudo("1000", "100", {{"initgroups", ENOMEM}}), false,
             kRefused + "initgroups(alice, 100): Cannot allocate memory\n", dropUpTo(2)},
    DropCase{"SetgidFails", sudo("1000", "100", {{"setgid", EPERM}}), false,
             kRefused + "setgid(100): Operation not permitted\n", dropUpTo(3)},
    DropCase{"SetuidFails", sudo("1000", "100", {{"setuid", EAGAIN}}), false,
             kRefused + "setuid(1000): Resource temporarily unavailable\n", dropUpTo(4)},
    DropCase{"RootRegainable",
             [](Machine& m) { sudo("1000", "100")(m), m.credentials.rootRegainable = true; },
             false, kRefused + "root could be regained after setuid(1000)\n", dropUpTo(5)},
    DropCase{"SetenvFails", sudo("1000", "100", {{"setenv", ENOMEM}}), false,
             kRefused + "setenv(HOME): Cannot allocate memory\n", dropUpTo(6)},
    DropCase{"NoNewPrivilegesFails", sudo("1000", "100", {{"prctl", EINVAL}}), false,
             kRefused + "prctl(PR_SET_NO_NEW_PRIVS): Invalid argument\n", kDrop},
    DropCase{"UidTrailingSpace", sudo("1000 ", "100"), false,
             kRefused + "SUDO_UID \"1000 \" is not a user id\n", {}},
    DropCase{"UidMeaningNoChange", sudo("4294967295", "100"), false,
             kRefused + "SUDO_UID \"4294967295\" is not a user id\n", {}},
    DropCase{"UidRoot", sudo("0", "0"), false,
             kRefused + "SUDO_UID is 0, so there is no unprivileged user to become\n", {}},
    DropCase{"GidRoot", sudo("1000", "0"), false,
             kRefused + "SUDO_GID is 0, so the program would keep root's group\n", {}},
    DropCase{"GidMissing", sudo("1000", nullptr), false,
             kRefused + "SUDO_UID is set but SUDO_GID is not\n", {}}),
    [](const auto& info) { return std::string(info.param.title); });
// clang-format on

// --- standard error ----------------------------------------------------------------------


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

// Blocking like a terminal, or left non-blocking by the caller: either way the log writes
// every line it kept, never changes the descriptor's flags, and keeps `capacity` lines
// waiting besides the one it is writing.
TEST(LineLog, AFullPipeCostsLinesNotTimeAndTheirCountFollows) {
    for (const int callersFlags : {0, O_NONBLOCK}) {
        int fds[2];
        ASSERT_EQ(::pipe2(fds, O_NONBLOCK), 0);
        std::size_t full = 0;
        for (const std::string chunk(4096, '-'); ::write(fds[1], chunk.data(), chunk.size()) > 0;)
            full += chunk.size();
        ::fcntl(fds[1], F_SETFL, callersFlags);
        const int flags = ::fcntl(fds[1], F_GETFL);
        panel::LineLog log(fds[1], 8);
        const std::string text(100, 'x');
        const auto start = std::chrono::steady_clock::now();
        log.stream() << 0 << ' ' << text << '\n';
        std::this_thread::sleep_for(100ms); // the writer is now stuck on line 0
        for (int i = 1; i < 200; ++i)
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
        EXPECT_EQ(written, 1 + 8) << callersFlags;
        EXPECT_EQ(line, "qx5180: 191 lines were dropped while standard error was not being read");
        EXPECT_TRUE(std::getline(lines, line) && line == "after" && !std::getline(lines, line));
        EXPECT_EQ(::fcntl(fds[1], F_GETFL), flags);

        // The reader goes: EPIPE, and no SIGPIPE (default here) ends the process.
        ::close(fds[0]);
        log.line("to nobody");
        log.flush();
        log.line("to nobody either");
        ::close(fds[1]);
    }
}

// The user database's entry, as the system keeps it.
TEST(Credentials, ReadTheUserDatabase) {
    const auto root = bus::realCredentials().account(0);
    ASSERT_TRUE(root);
    EXPECT_EQ(root->name + " " + root->home, "root /root");
}

} // namespace
