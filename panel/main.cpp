#include "backends.h"
#include "board.h"
#include "display.h"
#include "linelog.h"
#include "portreport.h"
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
panel::LineLog& standardError() {
    static panel::LineLog* const log = new panel::LineLog(STDERR_FILENO);
    return *log;
}

} // namespace

int main(int, char** argv) {
    panel::prepareProcess();            // before anything else opens a descriptor
    panel::EndingSignals endingSignals; // before any thread starts, so none takes them
    panel::LineLog& log = standardError();
    std::atexit([] { standardError().flush(); });
    std::ostream& messages = log.stream();

    const panel::WindowSystem windowSystem = panel::chooseWindowSystem();
    if (windowSystem.platforms.empty()) {
        log.line(windowSystem.refusal);
        return 1;
    }

    // The port before the window: direct I/O may need root, and no window code runs as root.
    bus::ChosenPort chosen = bus::choosePort(
        bus::realPortAccess(), messages,
        [&messages](const bus::PortError& failure) {
            messages << panel::explain(failure).line << '\n';
        },
        [&messages] { return std::make_unique<sim::Board>(&messages); });
    if (!bus::dropRoot(bus::realCredentials(), messages))
        return 1;

    int status = 0;
    {
        // The panel takes no command line, so Qt is not shown the user's arguments either.
        int qtArgc = 1;
        char* qtArgv[] = {argv[0], nullptr};
        panel::logQtMessages(log);
        const auto app = panel::openApplication(windowSystem, qtArgc, qtArgv, log);
        // The layout is fixed to the pixel; Fusion's metrics are the ones it was drawn for.
        QApplication::setStyle("Fusion");
        endingSignals.watch();

        const QString because =
            chosen.simulatedBecause
                ? QString::fromStdString(panel::explain(*chosen.simulatedBecause).reason)
                : QString();
        QX5180 window(*chosen.port, messages, because);
        window.show();
        status = app->exec();
    }
    // The window is gone, its last frame complete: the bus is idle. Release and close the port.
    chosen.port.reset();
    if (endingSignals.received())
        endingSignals.endByIt(log);
    return status;
}
