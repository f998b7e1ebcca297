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
#include <vector>

namespace test {

// The real window on a recording port that feeds the simulated board.
struct PanelRig {
    sim::Board board;
    RecordingPort port{&board};
    std::ostringstream diagnostics;
    std::unique_ptr<QX5180> window = std::make_unique<QX5180>(port, diagnostics);

    PanelRig() {
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

    // The option button of a group that shows this caption, found by what the user sees.
    QAbstractButton* captioned(const char* group, const char* caption) const {
        for (QAbstractButton* b : find(group)->findChildren<QAbstractButton*>())
            if (b->text() == QString::fromLatin1(caption))
                return b;
        ADD_FAILURE() << "no button captioned '" << caption << "' in " << group;
        return nullptr;
    }

    void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center()); }
    void click(const char* name) { click(button(name)); }

    // Where the board's transaction list and the port's byte list stand now, so a test can
    // look at what one action sent.
    std::size_t transactionMark() const { return board.transactions().size(); }
    std::vector<sim::Transaction> transactionsSince(std::size_t mark) const {
        const auto& all = board.transactions();
        return {all.begin() + static_cast<long>(mark), all.end()};
    }
    std::vector<std::uint8_t> dataSince(std::size_t mark) const {
        std::vector<std::uint8_t> data;
        for (const sim::Transaction& t : transactionsSince(mark))
            data.push_back(t.data);
        return data;
    }
};

} // namespace test
