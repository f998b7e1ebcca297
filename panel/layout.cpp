#include "layout.h"

namespace layout {
namespace {

constexpr const char* W = nullptr;
constexpr bool On = true;
using K = Kind;

// Captions are the panel's own words, blanks and all. Three pairs of option buttons carry
// the caption that their partner's name suggests (narrow/wide, ocl/se, l2r2/l1r1); the
// handlers follow the name, so do not "fix" either side.
constexpr Control kControls[] = {
    {"modeframe", K::Frame, W, "MODE SELECT", 120, 1320, 1335, 3375, 0},
    {"mode0", K::Option, "modeframe", "MODE 0", 120, 360, 1095, 255, 43, On},
    {"mode1", K::Option, "modeframe", "MODE 1", 120, 720, 1095, 255, 36},
    {"mode2", K::Option, "modeframe", "MODE 2", 120, 1080, 1095, 255, 37},
    {"mode3", K::Option, "modeframe", "MODE 3", 120, 1440, 1095, 255, 38},
    {"mode4", K::Option, "modeframe", "MODE 4", 120, 1800, 1095, 255, 39},
    {"mode5", K::Option, "modeframe", "MODE 5", 120, 2160, 1095, 255, 40},
    {"mode6", K::Option, "modeframe", "MODE 6", 120, 2520, 1095, 255, 41},
    {"mode7", K::Option, "modeframe", "MODE 7", 120, 2880, 1095, 255, 42},

    {"Frame2", K::Frame, W, "STEREO INPUT CONFIGURATIONS", 120, 6120, 9015, 975, 62},
    {"mute", K::Option, "Frame2", "MUTE", 360, 360, 855, 375, 63, On},
    {"l2r2", K::Option, "Frame2", "L1 AND R1        SINGLE ENDED STEREO PAIR", 1560, 240, 1695, 615,
     66},
    {"l1r1", K::Option, "Frame2", "L2 AND R2 SINGLE ENDED STEREO PAIR", 3240, 240, 1695, 615, 64},
    {"l1l2r1r2", K::Option, "Frame2", "L1+L2  AND  R1+R2 SINGLE ENDED STEREO PAIR", 5160, 240, 1935,
     615, 65},
    {"Diff", K::Option, "Frame2", "DIFFERENTIAL STEREO PAIR", 7080, 360, 1815, 375, 67},

    {"Frame1", K::Frame, W, "HEADPHONE 3D", 1680, 5040, 2415, 735, 46},
    {"HP3Don", K::Option, "Frame1", "ON", 240, 360, 735, 255, 47},
    {"HP3Doff", K::Option, "Frame1", "OFF", 1320, 360, 735, 255, 48, On},

    {"Frame4", K::Frame, W, "3D MODE", 4320, 5040, 2295, 735, 58},
    {"narrow", K::Option, "Frame4", "WIDE", 120, 360, 1095, 255, 59, On},
    {"wide", K::Option, "Frame4", "NARROW", 1080, 360, 1095, 255, 60},

    {"oclse", K::Frame, W, "OUTPUT CAPACITOR ", 6720, 5040, 2415, 735, 50},
    {"ocl", K::Option, "oclse", "SE", 240, 360, 735, 255, 51, On},
    {"se", K::Option, "oclse", "OCL", 1320, 360, 855, 255, 52},

    {"addr", K::Frame, W, "ADDRESS BIT", 6720, 4200, 2415, 732, 26},
    {"addrone", K::Option, "addr", "1", 240, 360, 612, 192, 28},
    {"addrzero", K::Option, "addr", "0", 1320, 360, 612, 192, 27, On},

    // Test groups of the board's companion codec: placed below the client area, so out of
    // view, and wired to nothing.
    {"codectest", K::Frame, W, "CODEC TEST MODES", 240, 10200, 5532, 852, 3},
    {"codecnormal", K::Option, "codectest", "NORMAL", 120, 240, 1092, 435, 18, On},
    {"digloop", K::Option, "codectest", "DIGITAL LOOPBACK", 1320, 240, 1332, 435, 17},
    {"analoop", K::Option, "codectest", "ANALOG LOOPBACK", 2760, 240, 1212, 435, 16},
    {"dualoop", K::Option, "codectest", "DUAL LOOPBACK", 4200, 240, 1215, 435, 15},
    {"irqout", K::Frame, W, "IRQ OUTPUT", 5880, 10200, 3852, 732, 4},
    {"irq", K::Option, "irqout", "IRQ", 120, 360, 732, 192, 21, On},
    {"leftsd", K::Option, "irqout", "LEFT SD", 1200, 360, 1092, 192, 20},
    {"rightsd", K::Option, "irqout", "RIGHT SD", 2400, 360, 1212, 192, 19},
    {"testadcdith", K::Frame, W, "CODEC ADC DITHER", 240, 11160, 2292, 732, 1},
    {"codecadcditheron", K::Option, "testadcdith", "ON", 120, 360, 732, 192, 25, On},
    {"codecadcditheroff", K::Option, "testadcdith", "OFF", 1320, 360, 732, 192, 24},
    {"dacframe", K::Frame, W, "48kHz DAC DITHER", 5040, 11160, 2292, 732, 2},
    {"dacdithon", K::Option, "dacframe", "ON", 120, 360, 732, 192, 23, On},
    {"dacdithoff", K::Option, "dacframe", "OFF", 1320, 360, 732, 192, 22},

    {"monovol", K::Slider, W, "", 1560, 1680, 5175, 495, 5},
    {"leftvol", K::Slider, W, "", 1560, 2520, 5175, 495, 6},
    {"rightvol", K::Slider, W, "", 1560, 3360, 5175, 495, 7},
    {"vol3d", K::Slider, W, "", 1560, 4080, 2415, 375, 49},

    {"RLS", K::TextBox, W, "SHUTDOWN", 3960, 600, 1455, 285, 44},
    {"LHP", K::TextBox, W, "SHUTDOWN", 5880, 600, 1455, 285, 45},
    {"RHP", K::TextBox, W, "SHUTDOWN", 7440, 600, 1455, 285, 32},
    {"hfgainbox", K::TextBox, W, "1", 6960, 1680, 375, 285, 29},
    {"lgainbox", K::TextBox, W, "1", 6960, 2520, 375, 285, 30},
    {"rgainbox", K::TextBox, W, "1", 6960, 3360, 375, 285, 31},

    {"Label7", K::Label, W, "LOUDSPEAKER", 4080, 240, 1335, 255, 33, false, On},
    {"Label8", K::Label, W, "LEFT HEADPHONE", 6000, 120, 1095, 375, 34, false, On},
    {"Label9", K::Label, W, "RIGHT HEADPHONE", 7440, 120, 1455, 375, 35, false, On},
    {"Label5", K::Label, W, "min", 1560, 1320, 375, 255, 13},
    {"Label6", K::Label, W, "max", 6480, 1320, 375, 255, 14},
    {"Label1", K::Label, W, "MONO VOLUME CONTROL", 7440, 1680, 1335, 375, 10},
    {"Label2", K::Label, W, "LEFT VOLUME CONTROL", 7440, 2520, 1335, 375, 11},
    {"Label3", K::Label, W, "RIGHT VOLUME CONTROL", 7440, 3360, 1335, 375, 12},
    {"Label14", K::Label, W, "Step #", 6840, 3840, 615, 255, 61},
    {"Label4", K::Label, W, "low", 1560, 4560, 375, 375, 53},
    {"Label11", K::Label, W, "med", 2280, 4560, 375, 255, 55},
    {"Label12", K::Label, W, "high", 3000, 4560, 495, 255, 56},
    {"Label10", K::Label, W, "max", 3720, 4560, 375, 255, 54},
    {"Label13", K::Label, W, "3D LEVEL", 4080, 4200, 855, 255, 57},

    {"RESET", K::Button, W, " DEFAULT", 7560, 1080, 1575, 375, 8},
    {"Picture1", K::Picture, W, "", 120, 120, 3345, 1080, 9},
};

constexpr Slider kSliders[] = {
    {"monovol", 31, 1},
    {"leftvol", 31, 1},
    {"rightvol", 31, 1},
    {"vol3d", 3, 5},
};

constexpr Caption kCaptions[] = {
    {"monovol", "Label1"},
    {"leftvol", "Label2"},
    {"rightvol", "Label3"},
    {"vol3d", "Label13"},
    {"hfgainbox", "Label1", "Label14"},
    {"lgainbox", "Label2", "Label14"},
    {"rgainbox", "Label3", "Label14"},
    {"RLS", "Label7"},
    {"LHP", "Label8"},
    {"RHP", "Label9"},
};

// Measured with DejaVu Sans, the font Debian's desktops start with; with another font, a
// caption that still does not fit is made smaller at start-up.
constexpr CaptionFont kCaptionFonts[] = {
    {"l2r2", 8},    {"l1r1", 8, "l2r2"},      {"l1l2r1r2", 8, "l1r1"},
    {"Diff", 10},   {"Label8", 10},           {"Label9", 10, "Label8"},
    {"Label1", 10}, {"Label2", 10, "Label1"}, {"Label3", 10, "Label2"},
};

} // namespace

std::span<const Control> controls() {
    return kControls;
}
std::span<const Slider> sliders() {
    return kSliders;
}
std::span<const Caption> captions() {
    return kCaptions;
}

std::span<const CaptionFont> captionFonts() {
    return kCaptionFonts;
}

} // namespace layout
