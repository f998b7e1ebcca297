#pragma once

#include <span>

// The window's fixed layout, kept as a table in twips (1/1440 inch, 15 to the pixel at
// 96 dpi) so that it reads like the panel drawing it was made from.
namespace layout {

enum class Kind { Frame, Option, Slider, TextBox, Label, Button, Picture };

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidth = 9360;
inline constexpr int kClientHeight = 7275;
inline constexpr const char* kTitle = "QX5180 Audio Program v1.1";

struct Control {
    const char* name;
    Kind kind;
    const char* container; // nullptr: the window itself
    const char* text;      // caption, or the text a text box starts with
    int left, top, width, height;
    int tabIndex;
    bool selected = false; // option buttons only
    bool centred = false;  // labels only
};

struct Slider {
    const char* name;
    int maximum;
    int pageStep;
};

// The labels a screen reader names a control by: the caption beside it, then, for a step
// box, the heading of its column.
struct Caption {
    const char* control;
    const char* label;
    const char* heading = nullptr;
};

// Captions drawn smaller than the window's font so that they fit their rectangles. A caption
// is never drawn larger than the one it matches, so a row of headings stays even whatever
// font the desktop has.
struct CaptionFont {
    const char* control;
    int pixelSize;
    const char* matches = nullptr;
};

std::span<const Control> controls();
std::span<const Slider> sliders();
std::span<const Caption> captions();
std::span<const CaptionFont> captionFonts();

} // namespace layout
