// The panel program as main runs it on the simulated board, without a log: the
// application, the window in its own style (it programs the chip while it is built), show.
// It exits right after the window's first paint.
#include "board.h"
#include "first_paint.h"
#include "qx5180.h"

#include <QApplication>

#include <cstdio>
#include <string_view>

int main(int, char** argv) {
    sim::Board board;

    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);

    QX5180 window(board, [](std::string_view line) {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
    });
    const ExitAfterFirstPaint exitAfterPaint(window);
    window.show();
    const int status = app.exec();
    // The five start-up transactions must have reached the board, or nothing was measured.
    if (board.transactions().size() < 5) {
        std::fprintf(stderr,
                     "bench_panel_startup: the board saw %zu transactions at start-up, not 5\n",
                     board.transactions().size());
        return 1;
    }
    return status;
}
