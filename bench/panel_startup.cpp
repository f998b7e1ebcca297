// The panel program as main runs it on the simulated board, without a log: the
// application, the Fusion style, the window (which programs the chip while it is built),
// show. It exits right after the window's first paint.
#include "board.h"
#include "first_paint.h"
#include "phases.h"
#include "qx5180.h"

#include <QApplication>
#ifdef QX_BENCH_PHASES
#include <QFontMetrics>
#include <QIcon>
#endif

#include <iostream>

int main(int, char** argv) {
    QX_PHASE("main");
    sim::Board board;

    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    QX_PHASE("application");
    QApplication::setStyle("Fusion");
    QX_PHASE("style");
#ifdef QX_BENCH_PHASES
    // Diagnostic split of the window's build: the first-time costs it meets, taken one by
    // one before the window is built, so that "window built" keeps only the rest.
    const QIcon icon(":/qx5180.png"); // probes the image format, loading image plugins
    QX_PHASE("(icon file probed)");
    QFont small = QApplication::font();
    small.setPixelSize(11);
    const int lineHeight = QFontMetrics(small).height(); // font database, font file
    QX_PHASE("(font database, font)");
    const int captionWidth = QFontMetrics(small).horizontalAdvance("SHUTDOWN L+P R+P"); // shaping
    QX_PHASE("(first text shaped)");
    if (icon.isNull() || lineHeight <= 0 || captionWidth <= 0)
        return 1;
#endif

    QX5180 window(board, std::cerr);
    const ExitAfterFirstPaint exitAfterPaint(window);
    QX_PHASE("window built");
    window.show();
    QX_PHASE("shown");
    const int status = app.exec();
    QX_PHASE("event loop left");
    // The five start-up transactions must have reached the board, or nothing was measured.
    if (board.transactions().size() < 5) {
        std::cerr << "bench_panel_startup: the board saw " << board.transactions().size()
                  << " transactions at start-up, not 5\n";
        return 1;
    }
    return status;
}
