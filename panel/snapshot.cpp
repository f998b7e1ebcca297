// Renders the panel as it opens, on Qt's offscreen platform, into a PNG for the README.
#include "board.h"
#include "qx5180.h"

#include <QApplication>

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: qx5180-snapshot OUTPUT.png\n";
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QApplication::setStyle("Fusion");

    sim::Board board;
    QX5180 window(board, std::cerr);
    window.show();
    QApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::cerr << "qx5180-snapshot: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
