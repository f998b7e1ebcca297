// A reference for start-up time and memory: the smallest Qt Widgets program that shows
// one empty window. It draws no text, so it never loads a font; the one-label window
// (label_window.cpp) is the peer the panel is held to, this one is kept for reference.
// It exits right after that window's first paint.
#include "first_paint.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    const ExitAfterFirstPaint exitAfterPaint(window);
    window.show();
    return app.exec();
}
