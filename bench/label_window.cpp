// The fair reference for start-up time and memory: the smallest Qt Widgets program that
// shows one line of text, a QLabel in a QWidget, set up as the panel is (the Fusion style,
// the application font at 11 px on the window). Like every window that shows text, and
// unlike an empty window, it loads the font database and a font file, shapes text and
// draws glyphs before its first paint is done. It exits right after that first paint.
//
//   bench_label_window [WIDTHxHEIGHT]
// With a size, the window is fixed to it (bench/startup-instructions gives it the panel's,
// for reference: a larger window holds a larger backing store).
#include "first_paint.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

#include <cstdio>

int main(int argc, char** argv) {
    int width = 0;
    int height = 0;
    if (argc > 2 || (argc == 2 && std::sscanf(argv[1], "%dx%d", &width, &height) != 2)) {
        std::fprintf(stderr, "usage: bench_label_window [WIDTHxHEIGHT]\n");
        return 2;
    }
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    QApplication::setStyle("Fusion");
    QWidget window;
    QFont small = window.font();
    small.setPixelSize(11);
    window.setFont(small);
    if (width > 0 && height > 0)
        window.setFixedSize(width, height);
    QLabel label(QStringLiteral("Volume, left channel"), &window);
    label.move(8, 8);
    const ExitAfterFirstPaint exitAfterPaint(window);
    window.show();
    return app.exec();
}
