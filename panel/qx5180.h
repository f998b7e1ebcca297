#pragma once

#include "frames.h"
#include "widgets.h"

#include <QApplication>
#include <QWidget>

#include <iosfwd>
#include <map>
#include <string_view>

class QLineEdit;
class QRadioButton;
class QSlider;

// The one window. It owns the five register frames and the address bit for its whole
// life; its controls only show them. Every handler sets the texts it owns and hands the
// fields its control owns to the frames, which send what changed before it returns.
class QX5180 : public QWidget {
    Q_OBJECT
public:
    // Builds the window and runs Form_Load, so the chip is programmed before the window is
    // first shown. simulatedBecause, when given, says in the title why no real port is driven.
    explicit QX5180(bus::Port& port, std::ostream& diagnostics,
                    const QString& simulatedBecause = {}, QWidget* parent = nullptr);

private:
    using Built = std::map<std::string_view, QWidget*>;

    Built build();
    void bindHandlers(const Built& built);
    void setTabOrder(const Built& built);
    void nameForScreenReaders(const Built& built);

    void Form_Load();

    void monovol_Scroll();
    void leftvol_Scroll();
    void rightvol_Scroll();
    void vol3d_Scroll();

    void mode0_Click();
    void mode1_Click();
    void mode2_Click();
    void mode3_Click();
    void mode4_Click();
    void mode5_Click();
    void mode6_Click();
    void mode7_Click();

    void mute_Click();
    void l2r2_Click();
    void l1r1_Click();
    void l1l2r1r2_Click();
    void Diff_Click();
    void narrow_Click();
    void wide_Click();
    void ocl_Click();
    void se_Click();
    void HP3Don_Click();
    void HP3Doff_Click();

    void addrone_Click();
    void addrzero_Click();

    void RESET_Click();

    void setVolume(regs::Field field, const QSlider& slider, QLineEdit& stepBox);
    void setMode(int mode);
    void setInput(int code);

    void showWriteOutcome(int standingError);

    regs::ControlFrames m_frames;
    QString m_title;
    // Wraps a fresh copy of the application's style, not the desktop's default, so the
    // controls keep their look whatever QT_STYLE_OVERRIDE or a later style change says.
    PanelStyle m_style{QApplication::style()->name()};

    QSlider* m_monovol = nullptr;
    QSlider* m_leftvol = nullptr;
    QSlider* m_rightvol = nullptr;
    QSlider* m_vol3d = nullptr;
    QLineEdit* m_hfgainbox = nullptr;
    QLineEdit* m_lgainbox = nullptr;
    QLineEdit* m_rgainbox = nullptr;
    QLineEdit* m_RLS = nullptr;
    QLineEdit* m_LHP = nullptr;
    QLineEdit* m_RHP = nullptr;
    QRadioButton* m_mode0 = nullptr;
    QRadioButton* m_ocl = nullptr;
    QRadioButton* m_narrow = nullptr;
    QRadioButton* m_HP3Doff = nullptr;
    QRadioButton* m_addrzero = nullptr;
    QRadioButton* m_mute = nullptr;
};
