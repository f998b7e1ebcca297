// The fair reference for start-up time and memory: the smallest Qt Widgets program that
// shows one line of text, a QLabel in a QWidget, set up as the panel is (the Fusion style,
// the application font at 11 px on the window). Like every window that shows text, and
// unlike an empty window, it loads the font database and a font file, shapes text and
// draws glyphs before its first paint is done. It exits right after that first paint.
#include "first_paint.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle("Fusion");
    QWidget window;
    QFont small = window.font();
    small.setPixelSize(11);
    window.setFont(small);
    QLabel label(QStringLiteral("Volume, left channel"), &window);
    label.move(8, 8);
    const ExitAfterFirstPaint exitAfterPaint(window);
    window.show();
    return app.exec();
}
