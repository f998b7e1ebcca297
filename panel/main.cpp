#include "backends.h"
#include "board.h"
#include "display.h"
#include "portreport.h"
#include "privileges.h"
#include "qx5180.h"

#include <QApplication>

#include <cstdlib>
#include <iostream>

namespace {

bool haveDisplay() {
    for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return true;
    }
    return false;
}

} // namespace

int main(int, char** argv) {
    if (!haveDisplay()) {
        std::cerr << panel::kNoDisplay << '\n';
        return 1;
    }

    // The port before the window: direct I/O may need root, and no window code runs as root.
    const bus::ChosenPort chosen = bus::choosePort(
        bus::realPortAccess(), std::cerr,
        [](const bus::PortError& failure) { std::cerr << panel::explain(failure).line << '\n'; },
        [] { return std::make_unique<sim::Board>(&std::cerr); });
    if (!bus::dropRoot(bus::realCredentials(), std::cerr))
        return 1;

    // The panel takes no command line, so Qt is not shown the user's arguments either.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    const auto app = panel::openApplication(qtArgc, qtArgv);
    if (!app)
        return 1;
    // The layout is fixed to the pixel; Fusion's metrics are the ones it was drawn for.
    QApplication::setStyle("Fusion");

    const QString because = chosen.simulatedBecause
                                ? QString::fromStdString(panel::explain(*chosen.simulatedBecause).reason)
                                : QString();
    QX5180 window(*chosen.port, std::cerr, because);
    window.show();
    return app->exec();
}
