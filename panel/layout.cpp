#include "layout.h"

#include "qx5180.h"

using namespace layout;

namespace {

using C = Controls;
using K = Kind;
using Q = QX5180;

} // namespace

// Captions are the panel's own words, blanks and all. Three pairs of option buttons carry
// the caption that their partner's name suggests (narrow/wide, ocl/se, l2r2/l1r1); the
// handlers and values follow the name, so do not "fix" either side. Caption sizes were
// measured with DejaVu Sans, the font Debian's desktops start with.
//
// The panel drawing also has four test groups of the board's companion codec below the
// client area, wired to nothing; the window leaves them out.
std::span<const Control> QX5180::form() {
    static const Control rows[] = {
        // clang-format would put a whole row on one line; one row per control reads better.
        {.kind = K::Frame, .name = "modeframe", .caption = "MODE SELECT", .at = {120, 1320, 1335, 3375}},
        {.kind = K::Option, .name = "mode0", .caption = "MODE 0", .at = {120, 360, 1095, 255}, .tab = 43,
         .member = &C::modes, .handler = &Q::mode0_Click, .id = 0, .selected = true},
        {.kind = K::Option, .name = "mode1", .caption = "MODE 1", .at = {120, 720, 1095, 255}, .tab = 36,
         .member = &C::modes, .handler = &Q::mode1_Click, .id = 1},
        {.kind = K::Option, .name = "mode2", .caption = "MODE 2", .at = {120, 1080, 1095, 255}, .tab = 37,
         .member = &C::modes, .handler = &Q::mode2_Click, .id = 2},
        {.kind = K::Option, .name = "mode3", .caption = "MODE 3", .at = {120, 1440, 1095, 255}, .tab = 38,
         .member = &C::modes, .handler = &Q::mode3_Click, .id = 3},
        {.kind = K::Option, .name = "mode4", .caption = "MODE 4", .at = {120, 1800, 1095, 255}, .tab = 39,
         .member = &C::modes, .handler = &Q::mode4_Click, .id = 4},
        {.kind = K::Option, .name = "mode5", .caption = "MODE 5", .at = {120, 2160, 1095, 255}, .tab = 40,
         .member = &C::modes, .handler = &Q::mode5_Click, .id = 5},
        {.kind = K::Option, .name = "mode6", .caption = "MODE 6", .at = {120, 2520, 1095, 255}, .tab = 41,
         .member = &C::modes, .handler = &Q::mode6_Click, .id = 6},
        {.kind = K::Option, .name = "mode7", .caption = "MODE 7", .at = {120, 2880, 1095, 255}, .tab = 42,
         .member = &C::modes, .handler = &Q::mode7_Click, .id = 7},

        // The ids are the input codes; the differential pair has none of its own.
        {.kind = K::Frame, .name = "Frame2", .caption = "STEREO INPUT CONFIGURATIONS", .at = {120, 6120, 9015, 975}},
        {.kind = K::Option, .name = "mute", .caption = "MUTE", .at = {360, 360, 855, 375}, .tab = 63,
         .member = &C::inputs, .handler = &Q::mute_Click, .id = 0b00, .selected = true},
        {.kind = K::Option, .name = "l2r2", .caption = "L1 AND R1        SINGLE ENDED STEREO PAIR",
         .at = {1560, 240, 1695, 615}, .tab = 66, .member = &C::inputs, .handler = &Q::l2r2_Click,
         .id = 0b10, .fontPixels = 8, .fontGroup = 1},
        {.kind = K::Option, .name = "l1r1", .caption = "L2 AND R2 SINGLE ENDED STEREO PAIR",
         .at = {3240, 240, 1695, 615}, .tab = 64, .member = &C::inputs, .handler = &Q::l1r1_Click,
         .id = 0b01, .fontPixels = 8, .fontGroup = 1},
        {.kind = K::Option, .name = "l1l2r1r2", .caption = "L1+L2  AND  R1+R2 SINGLE ENDED STEREO PAIR",
         .at = {5160, 240, 1935, 615}, .tab = 65, .member = &C::inputs, .handler = &Q::l1l2r1r2_Click,
         .id = 0b11, .fontPixels = 8, .fontGroup = 1},
        {.kind = K::Option, .name = "Diff", .caption = "DIFFERENTIAL STEREO PAIR", .at = {7080, 360, 1815, 375},
         .tab = 67, .member = &C::inputs, .handler = &Q::Diff_Click, .id = 4, .fontPixels = 10},

        {.kind = K::Frame, .name = "Frame1", .caption = "HEADPHONE 3D", .at = {1680, 5040, 2415, 735}},
        {.kind = K::Option, .name = "HP3Don", .caption = "ON", .at = {240, 360, 735, 255}, .tab = 47,
         .member = &C::headphone3D, .handler = &Q::HP3Don_Click, .id = 1},
        {.kind = K::Option, .name = "HP3Doff", .caption = "OFF", .at = {1320, 360, 735, 255}, .tab = 48,
         .member = &C::headphone3D, .handler = &Q::HP3Doff_Click, .id = 0, .selected = true},

        {.kind = K::Frame, .name = "Frame4", .caption = "3D MODE", .at = {4320, 5040, 2295, 735}},
        {.kind = K::Option, .name = "narrow", .caption = "WIDE", .at = {120, 360, 1095, 255}, .tab = 59,
         .member = &C::mode3D, .handler = &Q::narrow_Click, .id = 0, .selected = true},
        {.kind = K::Option, .name = "wide", .caption = "NARROW", .at = {1080, 360, 1095, 255}, .tab = 60,
         .member = &C::mode3D, .handler = &Q::wide_Click, .id = 1},

        {.kind = K::Frame, .name = "oclse", .caption = "OUTPUT CAPACITOR ", .at = {6720, 5040, 2415, 735}},
        {.kind = K::Option, .name = "ocl", .caption = "SE", .at = {240, 360, 735, 255}, .tab = 51,
         .member = &C::capacitor, .handler = &Q::ocl_Click, .id = 0, .selected = true},
        {.kind = K::Option, .name = "se", .caption = "OCL", .at = {1320, 360, 855, 255}, .tab = 52,
         .member = &C::capacitor, .handler = &Q::se_Click, .id = 1},

        {.kind = K::Frame, .name = "addr", .caption = "ADDRESS BIT", .at = {6720, 4200, 2415, 732}},
        {.kind = K::Option, .name = "addrone", .caption = "1", .at = {240, 360, 612, 192}, .tab = 28,
         .member = &C::address, .handler = &Q::addrone_Click, .id = 1},
        {.kind = K::Option, .name = "addrzero", .caption = "0", .at = {1320, 360, 612, 192}, .tab = 27,
         .member = &C::address, .handler = &Q::addrzero_Click, .id = 0, .selected = true},

        {.kind = K::Slider, .name = "monovol", .caption = "", .at = {1560, 1680, 5175, 495}, .tab = 5,
         .member = &C::monovol, .handler = &Q::monovol_Scroll, .field = regs::kLoudspeakerVolume},
        {.kind = K::Slider, .name = "leftvol", .caption = "", .at = {1560, 2520, 5175, 495}, .tab = 6,
         .member = &C::leftvol, .handler = &Q::leftvol_Scroll, .field = regs::kLeftVolume},
        {.kind = K::Slider, .name = "rightvol", .caption = "", .at = {1560, 3360, 5175, 495}, .tab = 7,
         .member = &C::rightvol, .handler = &Q::rightvol_Scroll, .field = regs::kRightVolume},
        {.kind = K::Slider, .name = "vol3d", .caption = "", .at = {1560, 4080, 2415, 375}, .tab = 49,
         .member = &C::vol3d, .handler = &Q::vol3d_Scroll, .field = regs::kLevel3DCode, .pageStep = 5,
         .stepWords = {"low", "med", "high", "max"}},

        {.kind = K::TextBox, .name = "RLS", .caption = "SHUTDOWN", .at = {3960, 600, 1455, 285}, .tab = 44,
         .member = &C::RLS},
        {.kind = K::TextBox, .name = "LHP", .caption = "SHUTDOWN", .at = {5880, 600, 1455, 285}, .tab = 45,
         .member = &C::LHP},
        {.kind = K::TextBox, .name = "RHP", .caption = "SHUTDOWN", .at = {7440, 600, 1455, 285}, .tab = 32,
         .member = &C::RHP},
        {.kind = K::TextBox, .name = "hfgainbox", .caption = "1", .at = {6960, 1680, 375, 285}, .tab = 29,
         .member = &C::hfgainbox, .accessibleName = "MONO VOLUME CONTROL Step #"},
        {.kind = K::TextBox, .name = "lgainbox", .caption = "1", .at = {6960, 2520, 375, 285}, .tab = 30,
         .member = &C::lgainbox, .accessibleName = "LEFT VOLUME CONTROL Step #"},
        {.kind = K::TextBox, .name = "rgainbox", .caption = "1", .at = {6960, 3360, 375, 285}, .tab = 31,
         .member = &C::rgainbox, .accessibleName = "RIGHT VOLUME CONTROL Step #"},

        {.kind = K::Label, .name = "Label7", .caption = "LOUDSPEAKER", .at = {4080, 240, 1335, 255},
         .captionOf = &C::RLS, .centred = true},
        {.kind = K::Label, .name = "Label8", .caption = "LEFT HEADPHONE", .at = {6000, 120, 1095, 375},
         .captionOf = &C::LHP, .centred = true, .fontPixels = 10, .fontGroup = 2},
        {.kind = K::Label, .name = "Label9", .caption = "RIGHT HEADPHONE", .at = {7440, 120, 1455, 375},
         .captionOf = &C::RHP, .centred = true, .fontPixels = 10, .fontGroup = 2},
        {.kind = K::Label, .name = "Label5", .caption = "min", .at = {1560, 1320, 375, 255}},
        {.kind = K::Label, .name = "Label6", .caption = "max", .at = {6480, 1320, 375, 255}},
        {.kind = K::Label, .name = "Label1", .caption = "MONO VOLUME CONTROL", .at = {7440, 1680, 1335, 375},
         .captionOf = &C::monovol, .fontPixels = 10, .fontGroup = 3},
        {.kind = K::Label, .name = "Label2", .caption = "LEFT VOLUME CONTROL", .at = {7440, 2520, 1335, 375},
         .captionOf = &C::leftvol, .fontPixels = 10, .fontGroup = 3},
        {.kind = K::Label, .name = "Label3", .caption = "RIGHT VOLUME CONTROL", .at = {7440, 3360, 1335, 375},
         .captionOf = &C::rightvol, .fontPixels = 10, .fontGroup = 3},
        {.kind = K::Label, .name = "Label14", .caption = "Step #", .at = {6840, 3840, 615, 255}},
        {.kind = K::Label, .name = "Label4", .caption = "low", .at = {1560, 4560, 375, 375}},
        {.kind = K::Label, .name = "Label11", .caption = "med", .at = {2280, 4560, 375, 255}},
        {.kind = K::Label, .name = "Label12", .caption = "high", .at = {3000, 4560, 495, 255}},
        {.kind = K::Label, .name = "Label10", .caption = "max", .at = {3720, 4560, 375, 255}},
        {.kind = K::Label, .name = "Label13", .caption = "3D LEVEL", .at = {4080, 4200, 855, 255},
         .captionOf = &C::vol3d},

        {.kind = K::Button, .name = "RESET", .caption = " DEFAULT", .at = {7560, 1080, 1575, 375}, .tab = 8,
         .member = &C::RESET, .handler = &Q::RESET_Click,
         .description = "sets every control and the chip back to the start-up values"},
        {.kind = K::Picture, .name = "Picture1", .caption = "", .at = {120, 120, 3345, 1080},
         .accessibleName = "QX5180 audio amplifier logo"},
    };
    return rows;
}
