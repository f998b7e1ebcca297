#pragma once

#include "frames.h"

#include <array>
#include <span>
#include <variant>

class QButtonGroup;
class QPushButton;
class QX5180;
class ReadOnlyBox;
class TrackSlider;

// The window's fixed layout, one row per control, kept in twips (1/1440 inch, 15 to the
// pixel at 96 dpi) so that it reads like the panel drawing it was made from.
namespace layout {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidth = 9360;
inline constexpr int kClientHeight = 7275;

// The controls the handlers and the rows reach. Building the window fills every one in;
// nothing is looked up by name afterwards. Each group of option buttons is a QButtonGroup whose ids
// are the values its buttons stand for (the mode number, the input code, a flag).
struct Controls {
    TrackSlider* monovol = nullptr;
    TrackSlider* leftvol = nullptr;
    TrackSlider* rightvol = nullptr;
    TrackSlider* vol3d = nullptr;
    ReadOnlyBox* hfgainbox = nullptr;
    ReadOnlyBox* lgainbox = nullptr;
    ReadOnlyBox* rgainbox = nullptr;
    ReadOnlyBox* RLS = nullptr;
    ReadOnlyBox* LHP = nullptr;
    ReadOnlyBox* RHP = nullptr;
    QPushButton* RESET = nullptr;
    QButtonGroup* modes = nullptr;
    QButtonGroup* inputs = nullptr;
    QButtonGroup* headphone3D = nullptr;
    QButtonGroup* mode3D = nullptr;
    QButtonGroup* capacitor = nullptr;
    QButtonGroup* address = nullptr;
};

// Frame, Label and Picture are static; the others take the member their row names.
enum class Kind { Frame, Option, Slider, TextBox, Label, Button, Picture };

struct Twips {
    int left, top, width, height;
};

// Where a built control goes in Controls: a slider, a text box, the button, or (for an
// option button) its group.
using Member = std::variant<std::monostate, TrackSlider * Controls::*, ReadOnlyBox * Controls::*,
                            QPushButton * Controls::*, QButtonGroup * Controls::*>;
using Handler = void (QX5180::*)();

struct Control {
    Kind kind;
    const char* name;    // the object name, as on the panel drawing
    const char* caption; // or the text a text box starts with
    Twips at;            // inside the window, or for an option button inside its frame: the
                         // frame row above it
    int tab = 0;         // place in the Tab order; 0: none
    Member member{};
    // An option button's when it becomes the selected one of its group; a slider's at each
    // position it is moved to; the button's when it is pressed.
    Handler handler = nullptr;
    int id = 0;            // an option button's value in its group: what its handler sends
    bool selected = false; // an option button's state at start
    // A slider's register field: its positions are the field's values.
    regs::Field field{};
    int pageStep = 1;
    // The box that shows a volume's step.
    ReadOnlyBox* Controls::*stepBox = nullptr;
    // The words a slider's steps are read as; none: the steps are numbered from 1.
    std::array<const char*, 4> stepWords{};
    // A label names for screen readers the control it is the caption of.
    Member captionOf{};
    bool centred = false; // a label's text
    // A caption drawn smaller than the window's font so that it fits; 0: the window's font.
    // Captions of one fontGroup (not 0) stay the same size.
    int fontPixels = 0;
    int fontGroup = 0;
    const char* accessibleName = nullptr; // where no caption names the control
    // What a screen reader adds: for an option button, what choosing it does, which its
    // caption alone does not say.
    const char* description = nullptr;
};

} // namespace layout
