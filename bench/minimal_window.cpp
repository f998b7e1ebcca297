// The reference for start-up time and memory: the smallest Qt Widgets program that shows
// one empty window. It exits right after that window's first paint.
#include "first_paint.h"
#include "phases.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QX_PHASE("main");
    QApplication app(argc, argv);
    QX_PHASE("application");
    QWidget window;
    const ExitAfterFirstPaint exitAfterPaint(window);
    QX_PHASE("window built");
    window.show();
    QX_PHASE("shown");
    const int status = app.exec();
    QX_PHASE("event loop left");
    return status;
}
