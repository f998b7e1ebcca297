#pragma once

#include "board.h"
#include "qx5180.h"
#include "recordingport.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace test {

// The real window on a recording port that feeds the simulated board.
struct PanelRig {
    sim::Board board;
    RecordingPort port{&board};
    std::ostringstream diagnostics;
    std::unique_ptr<QX5180> window;

    explicit PanelRig(const QString& simulatedBecause = {}, long failAt = -1,
                      bool unplugged = false) {
        port.failAt = failAt;
        port.unplugged = unplugged;
        window = std::make_unique<QX5180>(port, diagnostics, simulatedBecause);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            ADD_FAILURE() << "the panel window never appeared";
    }

    template<class T = QWidget>
    T* find(const char* name) const {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QAbstractButton* button(const char* name) const { return find<QAbstractButton>(name); }
    QSlider* slider(const char* name) const { return find<QSlider>(name); }
    QString text(const char* name) const { return find<QLineEdit>(name)->text(); }
};

} // namespace test
