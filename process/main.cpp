#include "backends.h"
#include "board.h"
#include "display.h"
#include "faults.h"
#include "linelog.h"
#include "messages.h"
#include "privileges.h"
#include "qx5180.h"
#include "startup.h"

#include <QApplication>

#include <unistd.h>

#include <cstdlib>

namespace {

// Standard error for the whole program, Qt's messages included. Never destroyed: Qt and
// the C library may still write while static objects are taken down; the lines still
// queued are written at exit, as long as a reader takes them.
process::LineLog& standardError() {
    static process::LineLog* const log = new process::LineLog(STDERR_FILENO);
    return *log;
}

} // namespace

int main() {
    process::prepareProcess();            // before anything else opens a descriptor
    process::walkBusBackOnFaults();       // on the thread that sends the frames
    process::EndingSignals endingSignals; // from the start, so no signal is missed
    process::LineLog& log = standardError();
    std::atexit([] { standardError().flush(); });
    const process::Lines messages = [&log](std::string_view line) { log.line(line); };

    if (const std::string missing = process::missingResources(log); !missing.empty()) {
        log.line(missing);
        return 1;
    }
    const process::WindowSystem windowSystem = process::chooseWindowSystem();
    if (windowSystem.platforms.empty()) {
        log.line(windowSystem.refusal);
        return 1;
    }

    // The port before the window: direct I/O may need root, and no window code runs as root.
    bus::ChosenPort chosen = bus::choosePort(
        bus::realPortAccess(),
        [&log](const bus::PortEvent& event) { log.line(messages::portEvent(event)); },
        [&messages] { return std::make_unique<sim::Board>(messages); });
    if (endingSignals.arrived()) { // Ctrl+C while the port was busy, say
        chosen.port.reset();
        endingSignals.endByIt(log);
    }
    if (!process::dropRoot(process::realCredentials(), messages))
        return 1;

    int status = 0;
    {
        // The panel takes no command line, so Qt is not shown the user's arguments either.
        // Its name, which Qt gives the window (X's WM_CLASS, Wayland's app id) for the
        // desktop to match with its entry, is the program's own, whatever argv[0] holds.
        int qtArgc = 1;
        char name[] = "qx5180";
        char* qtArgv[] = {name, nullptr};
        process::logQtMessages(log);
        const auto app = process::openApplication(windowSystem, qtArgc, qtArgv, log);
        // Wayland's application id, which Qt would otherwise take from the file's name.
        QGuiApplication::setDesktopFileName("qx5180");

        QX5180 window(*chosen.port, messages,
                      chosen.simulatedBecause ? messages::simulatedBecause(*chosen.simulatedBecause)
                                              : std::string());
        window.show();
        endingSignals.watch(); // after start-up's frames, which a signal does not cut short
        status = app->exec();
    }
    // The window is gone, its last frame complete: the bus is idle. Release and close the port.
    chosen.port.reset();
    if (endingSignals.received())
        endingSignals.endByIt(log);
    return status;
}
