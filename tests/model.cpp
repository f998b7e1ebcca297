#include "model.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace model {
namespace {

const Group kGroups[] = {
    {"modeframe",
     {"mode0", "mode1", "mode2", "mode3", "mode4", "mode5", "mode6", "mode7"},
     "mode0",
     true},
    {"Frame2", {"mute", "l2r2", "l1r1", "l1l2r1r2", "Diff"}, "mute", true},
    {"Frame1", {"HP3Don", "HP3Doff"}, "HP3Doff", true},
    {"Frame4", {"narrow", "wide"}, "narrow", true},
    {"oclse", {"ocl", "se"}, "ocl", true},
    {"addr", {"addrone", "addrzero"}, "addrzero", true},
    {"codectest", {"codecnormal", "digloop", "analoop", "dualoop"}, "codecnormal", false},
    {"irqout", {"irq", "leftsd", "rightsd"}, "irq", false},
    {"testadcdith", {"codecadcditheron", "codecadcditheroff"}, "codecadcditheron", false},
    {"dacframe", {"dacdithon", "dacdithoff"}, "dacdithon", false},
};

const Slider kSliders[] = {
    {"monovol", 31, 1, 1, "hfgainbox"},
    {"leftvol", 31, 1, 1, "lgainbox"},
    {"rightvol", 31, 1, 1, "rgainbox"},
    {"vol3d", 3, 1, 5, nullptr},
};

// What each output carries, mode by mode: loudspeaker, left and right headphone.
const std::array<const char*, 3> kModeTexts[8] = {
    {"SHUTDOWN", "SHUTDOWN", "SHUTDOWN"},
    {"P", "MUTE", "MUTE"},
    {"SHUTDOWN", "P", "P"},
    {"L+R", "MUTE", "MUTE"},
    {"SHUTDOWN", "L", "R"},
    {"P+L+R", "MUTE", "MUTE"},
    {"SHUTDOWN", "L+P", "R+P"},
    {"R+L", "L", "R"},
};

// The feature switches: the fields each one writes. The mode register goes out first when
// a switch writes both.
struct Switch {
    const char* button;
    std::optional<int> differential;
    std::optional<int> capacitor;
    std::optional<int> input;
    std::optional<int> mode3d;
    std::optional<int> headphone3d;
};
const Switch kSwitches[] = {
    {"mute", 0, {}, 0b00, {}, {}},  {"l2r2", 0, {}, 0b10, {}, {}},
    {"l1r1", 0, {}, 0b01, {}, {}},  {"l1l2r1r2", 0, {}, 0b11, {}, {}},
    {"Diff", 1, {}, {}, {}, {}},    {"narrow", {}, {}, {}, 0, {}},
    {"wide", {}, {}, {}, 1, {}},    {"ocl", {}, 0, {}, {}, {}},
    {"se", {}, 1, {}, {}, {}},      {"HP3Don", {}, {}, {}, {}, 1},
    {"HP3Doff", {}, {}, {}, {}, 0},
};

constexpr std::uint8_t kChipAddress = 0x7C;

const Slider& sliderNamed(std::string_view name) {
    for (const Slider& s : kSliders)
        if (name == s.name)
            return s;
    throw std::invalid_argument("no slider " + std::string(name));
}

const Group& groupOf(std::string_view button) {
    for (const Group& g : kGroups)
        if (std::find(g.buttons.begin(), g.buttons.end(), button) != g.buttons.end())
            return g;
    throw std::invalid_argument("no option button " + std::string(button));
}

} // namespace

std::span<const Group> groups() {
    return kGroups;
}
std::span<const Slider> sliders() {
    return kSliders;
}

Panel::Panel() {
    for (const Group& g : kGroups)
        m_selected[g.name] = g.selectedAtStart;
    for (const Slider& s : kSliders)
        m_position[s.name] = 0;
    for (const char* box : {"RLS", "LHP", "RHP"})
        m_text[box] = "SHUTDOWN";
    for (const char* box : {"hfgainbox", "lgainbox", "rgainbox"})
        m_text[box] = "1";
}

std::uint8_t Panel::dataByte(Register r) const {
    const Image& i = m_image;
    int data = 0;
    switch (r) {
    case Register::Loudspeaker:
        data = 0b10 << 6 | i.volume[0];
        break;
    case Register::LeftHeadphone:
        data = 0b110 << 5 | i.volume[1];
        break;
    case Register::RightHeadphone:
        data = 0b111 << 5 | i.volume[2];
        break;
    case Register::ModeControl:
        data = i.differential << 5 | i.capacitor << 3 | i.mode;
        break;
    case Register::Effect:
        data = 0b01 << 6 | i.input << 4 | i.level3d << 2 | i.mode3d << 1 | i.headphone3d;
        break;
    }
    return static_cast<std::uint8_t>(data);
}

// The frame carries slot 6 as its address; the chip answers only if that matches the level
// its address-select pin is held at, which is the address bit.
void Panel::send(Register r) {
    const std::uint8_t data = dataByte(r);
    const bool ack = m_image.addressSlot == m_addressBit;
    m_effects.push_back(
        Write{static_cast<std::uint8_t>(kChipAddress | m_image.addressSlot), data, ack});
    if (ack)
        m_chip[static_cast<std::size_t>(r)] = data;
}

void Panel::select(const std::string& button) {
    std::string& selected = m_selected[groupOf(button).name];
    if (selected == button)
        return;
    selected = button;
    runHandler(button);
}

void Panel::runHandler(const std::string& button) {
    for (int mode = 0; mode < 8; ++mode) {
        if (button == "mode" + std::to_string(mode)) {
            m_image.mode = mode;
            m_text["RLS"] = kModeTexts[mode][0];
            m_text["LHP"] = kModeTexts[mode][1];
            m_text["RHP"] = kModeTexts[mode][2];
            send(Register::ModeControl);
            return;
        }
    }
    for (const Switch& s : kSwitches) {
        if (button != s.button)
            continue;
        Image& i = m_image;
        i.differential = s.differential.value_or(i.differential);
        i.capacitor = s.capacitor.value_or(i.capacitor);
        i.input = s.input.value_or(i.input);
        i.mode3d = s.mode3d.value_or(i.mode3d);
        i.headphone3d = s.headphone3d.value_or(i.headphone3d);
        if (s.differential || s.capacitor)
            send(Register::ModeControl);
        if (s.input || s.mode3d || s.headphone3d)
            send(Register::Effect);
        return;
    }
    if (button == "addrone")
        selectAddress(1);
    else if (button == "addrzero")
        selectAddress(0);
    // The codec test buttons have no handler.
}

void Panel::selectAddress(int value) {
    m_addressBit = value;
    m_image.addressSlot = value;
    m_effects.push_back(Idle{static_cast<std::uint8_t>(value ? 63 : 31)});
}

void Panel::setPosition(const Slider& s, int position) {
    m_position[s.name] = std::clamp(position, 0, s.maximum);
}

void Panel::scrolled(const Slider& s) {
    const int p = m_position[s.name];
    if (!s.stepBox) {
        m_image.level3d = p;
        send(Register::Effect);
        return;
    }
    const auto channel = static_cast<std::size_t>(&s - kSliders);
    m_image.volume[channel] = p;
    m_text[s.stepBox] = std::to_string(p + 1);
    send(static_cast<Register>(channel));
}

Effects Panel::startUp() {
    m_effects.clear();
    m_addressBit = 0;
    m_image = Image{};
    for (int r = 0; r < kRegisterCount; ++r)
        send(static_cast<Register>(r));
    return m_effects;
}

Effects Panel::click(std::string_view button) {
    m_effects.clear();
    select(std::string(button));
    return m_effects;
}

Effects Panel::moveSlider(std::string_view slider, int position) {
    m_effects.clear();
    const Slider& s = sliderNamed(slider);
    const int before = m_position[s.name];
    setPosition(s, position);
    if (m_position[s.name] != before)
        scrolled(s);
    return m_effects;
}

Effects Panel::key(std::string_view slider, SliderKey key) {
    const Slider& s = sliderNamed(slider);
    const int p = m_position[s.name];
    switch (key) {
    case SliderKey::Left:
        return moveSlider(slider, p - s.smallStep);
    case SliderKey::Right:
        return moveSlider(slider, p + s.smallStep);
    case SliderKey::PageUp:
        return moveSlider(slider, p + s.largeStep);
    case SliderKey::PageDown:
        return moveSlider(slider, p - s.largeStep);
    case SliderKey::Home:
        return moveSlider(slider, 0);
    case SliderKey::End:
        return moveSlider(slider, s.maximum);
    }
    return {};
}

Effects Panel::trackClick(std::string_view slider, int towards) {
    const Slider& s = sliderNamed(slider);
    const int p = m_position[s.name];
    if (towards == p)
        return {};
    return moveSlider(slider, towards > p ? p + s.largeStep : p - s.largeStep);
}

Effects Panel::type(std::string_view box, std::string text) {
    const auto it = m_text.find(box);
    if (it == m_text.end())
        throw std::invalid_argument("no text box " + std::string(box));
    it->second = std::move(text);
    return {};
}

// The reset writes the defaults first, then selects buttons from code: each selection
// that moves a group runs that button's handler there and then, and the handlers that run
// before the address goes back to 0 send with slot 6 already 0 while the pin is still up.
Effects Panel::reset() {
    m_effects.clear();
    m_image = Image{};
    for (const char* name : {"monovol", "leftvol", "rightvol"})
        m_position[name] = 0;
    select("mode0");
    select("ocl");
    m_position["vol3d"] = 0;
    for (const char* button : {"narrow", "HP3Doff", "addrzero", "mute"})
        select(button);
    for (const char* box : {"hfgainbox", "lgainbox", "rgainbox"})
        m_text[box] = "1";
    for (int r = 0; r < kRegisterCount; ++r)
        send(static_cast<Register>(r));
    return m_effects;
}

const std::string& Panel::selected(std::string_view group) const {
    return m_selected.find(group)->second;
}

int Panel::position(std::string_view slider) const {
    return m_position.find(slider)->second;
}

const std::string& Panel::text(std::string_view box) const {
    return m_text.find(box)->second;
}

} // namespace model
