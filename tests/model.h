#pragma once

// A small executable model of the whole panel, kept apart from the window's code: it knows
// what each user action should do to the chip, the bus and the controls, and nothing about
// how the window does it. The random test drives the real window and this model side by
// side and compares them after every action.

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace model {

// One I2C write as the chip sees it: the 7-bit address, the data byte, and whether the
// chip answered (it answers only when the address matches its address-select pin).
struct Write {
    std::uint8_t address;
    std::uint8_t data;
    bool ack;
    friend bool operator==(const Write&, const Write&) = default;
};

// The single byte an address change puts on the port: both bus lines released, the
// address-select line at its new level.
struct Idle {
    std::uint8_t byte;
    friend bool operator==(const Idle&, const Idle&) = default;
};

// What one action puts on the port, in order.
using Effects = std::vector<std::variant<Write, Idle>>;

enum class Register { Loudspeaker, LeftHeadphone, RightHeadphone, ModeControl, Effect };
inline constexpr int kRegisterCount = 5;

struct Group {
    std::string name;
    std::vector<std::string> buttons; // in on-screen order
    std::string selectedAtStart;
    bool carriesChipSetting; // false for the four codec test groups
};
std::span<const Group> groups();

struct Slider {
    const char* name;
    int maximum;
    int smallStep;
    int largeStep;
    const char* stepBox; // nullptr for the 3D level, which shows no step
};
std::span<const Slider> sliders();

inline constexpr const char* kTextBoxes[] = {"RLS",       "LHP",      "RHP",
                                             "hfgainbox", "lgainbox", "rgainbox"};

enum class SliderKey { Left, Right, PageUp, PageDown, Home, End };

class Panel {
public:
    // The controls as the window opens; the registers are set by startUp(), the load.
    Panel();

    Effects startUp();
    // A click on an option button; one that is already selected does nothing.
    Effects click(std::string_view button);
    // The user moves a slider to a position; it stops at the ends of its range. Only a
    // change of position is reported to the panel, so a move that ends where the slider
    // stood (an arrow key at an end, say) does nothing.
    Effects moveSlider(std::string_view slider, int position);
    Effects key(std::string_view slider, SliderKey key);
    // A click on the track: one large step towards the position under the pointer.
    Effects trackClick(std::string_view slider, int towards);
    Effects type(std::string_view box, std::string text);
    Effects reset();

    std::uint8_t chip(Register r) const { return m_chip[static_cast<std::size_t>(r)]; }
    int addressBit() const { return m_addressBit; }
    const std::string& selected(std::string_view group) const;
    int position(std::string_view slider) const;
    const std::string& text(std::string_view box) const;

private:
    // The five register images, field by field. Slot 6 is kept apart from the address bit:
    // the reset writes it before the address bit follows.
    struct Image {
        std::array<int, 3> volume{};
        int level3d = 0;
        int mode = 0;
        int differential = 0;
        int capacitor = 0;
        int input = 0;
        int mode3d = 0;
        int headphone3d = 0;
        int addressSlot = 0;
    };

    std::uint8_t dataByte(Register r) const;
    void send(Register r);
    void select(const std::string& button);
    void runHandler(const std::string& button);
    void selectAddress(int value);
    void setPosition(const Slider& s, int position);
    void scrolled(const Slider& s);

    Image m_image;
    int m_addressBit = 0;
    std::array<std::uint8_t, kRegisterCount> m_chip{};
    std::map<std::string, std::string, std::less<>> m_selected; // group -> button
    std::map<std::string, int, std::less<>> m_position;
    std::map<std::string, std::string, std::less<>> m_text;
    Effects m_effects;
};

} // namespace model
