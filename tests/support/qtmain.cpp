// GoogleTest's main for tests that drive real widgets: one application object on Qt's
// offscreen platform, so the tests run without a display, with the panel's own style.
#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setStyle("Fusion");
    return RUN_ALL_TESTS();
}
