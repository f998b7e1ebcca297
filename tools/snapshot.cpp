// Renders the panel as it opens, on Qt's offscreen platform, into a PNG for the README.
#include "board.h"
#include "qx5180.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string_view>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: qx5180-snapshot OUTPUT.png\n", stderr);
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);

    sim::Board board;
    QX5180 window(board, [](std::string_view line) {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
    });
    window.show();
    QApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "qx5180-snapshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
