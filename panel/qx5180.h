#pragma once

#include "frames.h"
#include "layout.h"
#include "style.h"

#include <QWidget>

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class Notice;

// The one window. It owns the five register frames and the address bit for its whole
// life; its controls only show them. Every handler sets the texts it owns and hands the
// fields its control owns to the frames, which send what changed before it returns. A
// volume's step box follows its slider.
class QX5180 : public QWidget {
    Q_OBJECT
public:
    // Builds the window and runs Form_Load, so the chip is programmed before the window is
    // first shown. A failed port write is told on `log`, in the title and, as it starts and
    // once it is over, to a screen reader; simulatedBecause, when given, says in the title why
    // no real port is driven. F1 has a screen reader say the title's status.
    QX5180(bus::Port& port, std::function<void(std::string_view line)> log,
           std::string simulatedBecause = {}, QWidget* parent = nullptr);

private:
    // One row per control: layout.cpp.
    static std::span<const layout::Control> form();
    // The window from the rows: built[i] is the control of form()[i].
    void build();
    void setUpWindow();
    QWidget* place(const layout::Control& c, QWidget* parent);
    void link(const std::vector<QWidget*>& built);
    void orderTabs(const std::vector<QWidget*>& built);
    void describeModes();
    void fitCaptions(const std::vector<QWidget*>& built);
    void showWriteOutcome(int error, bool addressLine);
    void sayStatus();

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

    void sendPosition(const TrackSlider& slider);
    void setMode();
    void setInput();

    bus::Port& m_port;
    const std::function<void(std::string_view line)> m_log;
    const std::string m_simulatedBecause;
    regs::ControlFrames m_frames;
    // The panel's own, whatever the application's style, QT_STYLE_OVERRIDE or a later style
    // change says.
    PanelStyle m_style;
    layout::Controls m_c;
    Notice* m_notice = nullptr;
    int m_heardError = 0; // the failure a screen reader was last told of; 0 once it is over
    bool m_toldEnding = false;
};
