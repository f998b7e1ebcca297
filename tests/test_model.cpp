// Random user sessions on the real window, checked against the model after every action.
//
// QX_MODEL_ACTIONS  actions in all, shared among the seeds (default 2000)
// QX_MODEL_SEED     run this one seed only, e.g. the one a failure printed
#include "model.h"
#include "panelrig.h"

#include <QStyleOptionSlider>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <random>
#include <sstream>

namespace {

using model::SliderKey;

// One user action, in the compact text a failure prints:
//   c:<option button>   k:<slider>:<key>   t:<slider>:<position clicked on the track>
//   d:<slider>:<position>,<position>,...   y:<text box>:<text>   r (the " DEFAULT" button)
struct Action {
    char kind = 'r';
    std::string target;
    std::string arg;

    std::string text() const {
        if (kind == 'r')
            return "r";
        return kind + (":" + target + (kind == 'c' ? "" : ":" + arg));
    }
};

std::string listed(const std::vector<Action>& actions) {
    std::string s;
    for (const Action& a : actions)
        s += (s.empty() ? "" : " ") + a.text();
    return s;
}

const std::pair<const char*, SliderKey> kKeyNames[] = {
    {"Left", SliderKey::Left},     {"Right", SliderKey::Right}, {"PgUp", SliderKey::PageUp},
    {"PgDn", SliderKey::PageDown}, {"Home", SliderKey::Home},   {"End", SliderKey::End},
};

SliderKey keyNamed(const std::string& name) {
    for (auto [n, k] : kKeyNames)
        if (name == n)
            return k;
    ADD_FAILURE() << "unknown key " << name;
    return SliderKey::Left;
}

Qt::Key qtKey(SliderKey k) {
    switch (k) {
    case SliderKey::Left:
        return Qt::Key_Left;
    case SliderKey::Right:
        return Qt::Key_Right;
    case SliderKey::PageUp:
        return Qt::Key_PageUp;
    case SliderKey::PageDown:
        return Qt::Key_PageDown;
    case SliderKey::Home:
        return Qt::Key_Home;
    case SliderKey::End:
        return Qt::Key_End;
    }
    return Qt::Key_unknown;
}

std::vector<int> positionsIn(const std::string& arg) {
    std::vector<int> positions;
    std::istringstream in(arg);
    for (std::string p; std::getline(in, p, ',');)
        positions.push_back(std::stoi(p));
    return positions;
}

// Where the thumb is drawn when the slider stands at a position.
QRect thumbAt(const QSlider* s, int position) {
    QStyleOptionSlider o;
    o.initFrom(s);
    o.orientation = s->orientation();
    o.minimum = s->minimum();
    o.maximum = s->maximum();
    o.sliderPosition = position;
    o.sliderValue = position;
    o.singleStep = s->singleStep();
    o.pageStep = s->pageStep();
    o.tickPosition = s->tickPosition();
    o.tickInterval = s->tickInterval();
    o.upsideDown = false;
    o.subControls = QStyle::SC_All;
    return s->style()->subControlRect(QStyle::CC_Slider, &o, QStyle::SC_SliderHandle, s);
}

std::string shown(const model::Write& w) {
    char s[16];
    std::snprintf(s, sizeof s, "%02X:%02X%s", w.address, w.data, w.ack ? "" : "(nack)");
    return s;
}

std::string shown(const std::vector<model::Write>& writes) {
    std::string s = "[";
    for (const model::Write& w : writes)
        s += (s.size() > 1 ? " " : "") + shown(w);
    return s + "]";
}

struct RegisterPair {
    const char* name;
    model::Register inModel;
    sim::Register onBoard;
};
constexpr RegisterPair kRegisters[] = {
    {"loudspeaker", model::Register::Loudspeaker, sim::Register::Loudspeaker},
    {"left headphone", model::Register::LeftHeadphone, sim::Register::LeftHeadphone},
    {"right headphone", model::Register::RightHeadphone, sim::Register::RightHeadphone},
    {"mode control", model::Register::ModeControl, sim::Register::ModeControl},
    {"effect", model::Register::Effect, sim::Register::Effect},
};

constexpr std::size_t kBytesPerWrite = 78;

// The real window on the simulated board, and the model beside it.
class Session {
public:
    Session() {
        for (const model::Group& g : model::groups())
            for (const std::string& b : g.buttons)
                m_buttons[b] = m_rig.button(b.c_str());
        for (const model::Slider& s : model::sliders())
            m_sliders[s.name] = m_rig.slider(s.name);
        for (const char* box : model::kTextBoxes)
            m_boxes[box] = m_rig.find<QLineEdit>(box);
        m_disagreement = compare(m_model.startUp());
    }

    const model::Panel& model() const { return m_model; }
    // What the last action, or the start-up, left different from the model; empty if none.
    const std::string& disagreement() const { return m_disagreement; }

    // Makes the action on the window and in the model. False if it cannot be made in the
    // present state (a track click that would land on the thumb), and then nothing happens.
    bool apply(const Action& a) {
        model::Effects expected;
        switch (a.kind) {
        case 'c': {
            QAbstractButton* b = m_buttons.at(a.target);
            QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
            expected = m_model.click(a.target);
            break;
        }
        case 'k': {
            const SliderKey key = keyNamed(a.arg);
            QTest::keyClick(m_sliders.at(a.target), qtKey(key));
            expected = m_model.key(a.target, key);
            break;
        }
        case 't': {
            QSlider* s = m_sliders.at(a.target);
            const int towards = std::stoi(a.arg);
            const QPoint at = thumbAt(s, towards).center();
            if (thumbAt(s, s->value()).contains(at))
                return false;
            QTest::mouseClick(s, Qt::LeftButton, {}, at);
            expected = m_model.trackClick(a.target, towards);
            break;
        }
        case 'd': {
            QSlider* s = m_sliders.at(a.target);
            QPoint at = thumbAt(s, s->value()).center();
            QTest::mousePress(s, Qt::LeftButton, {}, at);
            for (int p : positionsIn(a.arg)) {
                at.setX(thumbAt(s, p).center().x());
                QTest::mouseMove(s, at);
                const model::Effects moved = m_model.moveSlider(a.target, p);
                expected.insert(expected.end(), moved.begin(), moved.end());
            }
            QTest::mouseRelease(s, Qt::LeftButton, {}, at);
            break;
        }
        case 'y': {
            QLineEdit* box = m_boxes.at(a.target);
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            if (a.arg.empty())
                QTest::keyClick(box, Qt::Key_Backspace);
            else
                QTest::keyClicks(box, QString::fromStdString(a.arg));
            expected = m_model.type(a.target, a.arg);
            break;
        }
        case 'r':
            QTest::mouseClick(m_rig.button("RESET"), Qt::LeftButton);
            expected = m_model.reset();
            break;
        }
        m_disagreement = compare(expected);
        return true;
    }

private:
    std::string compare(const model::Effects& expected) {
        std::ostringstream why;
        const std::vector<std::uint8_t>& bytes = m_rig.port.bytes;

        // Every byte the action wrote keeps lines 4-0 high and carries the address bit as
        // it stood at that byte; only an address change moves it, by one idle byte.
        std::vector<model::Write> writes;
        std::size_t at = m_bytes;
        int addressBit = m_addressBit;
        bool badByte = false;
        auto expectByte = [&](std::size_t i, std::optional<std::uint8_t> exactly) {
            if (badByte || i >= bytes.size())
                return;
            const std::uint8_t b = bytes[i];
            const bool ok =
                exactly ? b == *exactly : (b & 0x1F) == 0x1F && ((b >> 5) & 1) == addressBit;
            if (!ok) {
                why << "port byte " << i - m_bytes << " of the action is " << int(b)
                    << " (address bit " << addressBit << "); ";
                badByte = true;
            }
        };
        for (const auto& e : expected) {
            if (const auto* w = std::get_if<model::Write>(&e)) {
                writes.push_back(*w);
                for (std::size_t k = 0; k < kBytesPerWrite; ++k)
                    expectByte(at++, std::nullopt);
            } else {
                const std::uint8_t idle = std::get<model::Idle>(e).byte;
                expectByte(at++, idle);
                addressBit = (idle >> 5) & 1;
            }
        }
        if (bytes.size() != at)
            why << "the action wrote " << bytes.size() - m_bytes << " port bytes, not "
                << at - m_bytes << "; ";

        const auto& transactions = m_rig.board.transactions();
        std::vector<model::Write> seen;
        for (std::size_t i = m_writes; i < transactions.size(); ++i)
            seen.push_back({transactions[i].address, transactions[i].data, transactions[i].ack});
        if (seen != writes)
            why << "writes " << shown(seen) << ", expected " << shown(writes) << "; ";

        const auto& faults = m_rig.board.faults();
        for (std::size_t i = m_faults; i < faults.size(); ++i)
            why << "board fault: " << faults[i] << "; ";

        for (const RegisterPair& r : kRegisters) {
            const std::optional<std::uint8_t> held = m_rig.board.reg(r.onBoard);
            if (held != m_model.chip(r.inModel))
                why << r.name << " register holds " << (held ? std::to_string(*held) : "nothing")
                    << ", expected " << int(m_model.chip(r.inModel)) << "; ";
        }
        if (m_rig.board.addressSelect() != (m_model.addressBit() == 1))
            why << "address-select pin is " << m_rig.board.addressSelect() << "; ";

        for (const auto& [name, box] : m_boxes)
            if (box->text().toStdString() != m_model.text(name))
                why << name << " shows '" << box->text().toStdString() << "', expected '"
                    << m_model.text(name) << "'; ";
        for (const model::Group& g : model::groups())
            for (const std::string& b : g.buttons)
                if (m_buttons.at(b)->isChecked() != (b == m_model.selected(g.name)))
                    why << g.name << ": " << b << (m_buttons.at(b)->isChecked() ? "" : " not")
                        << " selected, expected " << m_model.selected(g.name) << "; ";
        for (const auto& [name, slider] : m_sliders)
            if (slider->value() != m_model.position(name))
                why << name << " at " << slider->value() << ", expected " << m_model.position(name)
                    << "; ";

        m_bytes = bytes.size();
        m_writes = transactions.size();
        m_faults = faults.size();
        m_addressBit = m_model.addressBit();
        return why.str();
    }

    test::PanelRig m_rig;
    model::Panel m_model;
    std::map<std::string, QAbstractButton*> m_buttons;
    std::map<std::string, QSlider*> m_sliders;
    std::map<std::string, QLineEdit*> m_boxes;
    std::size_t m_bytes = 0;
    std::size_t m_writes = 0;
    std::size_t m_faults = 0;
    int m_addressBit = 0;
    std::string m_disagreement;
};

// Draws actions from a seed. It looks only at the model, never at the window, so a seed
// gives the same actions on a faulty window up to the point where it went wrong.
class Generator {
public:
    explicit Generator(unsigned seed) : m_random(seed) {
        for (const model::Group& g : model::groups())
            for (const std::string& b : g.buttons)
                (g.name == "addr"       ? m_address
                 : g.carriesChipSetting ? m_chip
                                        : m_test)
                    .push_back(b);
    }

    Action next(const model::Panel& panel) {
        const int roll = pick(100);
        if (roll < 38)
            return {'c', any(m_chip), {}};
        if (roll < 45)
            return {'c', any(m_address), {}};
        if (roll < 49)
            return {'c', any(m_test), {}};
        const model::Slider& s = model::sliders()[pick(int(model::sliders().size()))];
        const int now = panel.position(s.name);
        if (roll < 69)
            return {'k', s.name, kKeyNames[pick(std::size(kKeyNames))].first};
        if (roll < 77) {
            // Far enough from the thumb that the click lands on the track.
            const int gap = s.maximum > 3 ? 2 : 1;
            std::vector<int> targets;
            for (int p = 0; p <= s.maximum; ++p)
                if (std::abs(p - now) >= gap)
                    targets.push_back(p);
            return {'t', s.name, std::to_string(targets[pick(int(targets.size()))])};
        }
        if (roll < 85) {
            std::string positions;
            int p = now;
            for (int n = 1 + pick(4); n > 0; --n) {
                const int step = 1 + pick(s.maximum > 3 ? 3 : 1);
                p = std::clamp(pick(2) ? p + step : p - step, 0, s.maximum);
                positions += (positions.empty() ? "" : ",") + std::to_string(p);
            }
            return {'d', s.name, positions};
        }
        if (roll < 96) {
            static constexpr char kTypable[] = "0123456789+ABLMPRSU";
            std::string text;
            for (int n = pick(5); n > 0; --n)
                text += kTypable[pick(sizeof kTypable - 1)];
            return {'y', model::kTextBoxes[pick(std::size(model::kTextBoxes))], text};
        }
        return {'r', {}, {}};
    }

private:
    int pick(std::size_t n) { return static_cast<int>(m_random() % n); }
    int pick(int n) { return pick(static_cast<std::size_t>(n)); }
    const std::string& any(const std::vector<std::string>& from) { return from[pick(from.size())]; }

    std::mt19937 m_random;
    std::vector<std::string> m_chip, m_address, m_test;
};

long fromEnvironment(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtol(value, nullptr, 10) : fallback;
}

TEST(ModelBasedRandom, EveryActionLeavesChipBusAndControlsAsTheModelSays) {
    std::vector<unsigned> seeds = {1, 2, 3, 4};
    if (const long seed = fromEnvironment("QX_MODEL_SEED", -1); seed >= 0)
        seeds = {static_cast<unsigned>(seed)};
    const long total = fromEnvironment("QX_MODEL_ACTIONS", 2000);
    const long perSeed = std::max(1L, total / long(seeds.size()));

    for (unsigned seed : seeds) {
        Session session;
        Generator generator(seed);
        std::vector<Action> made;
        const std::string why = session.disagreement().empty() ? "" : "at start-up: ";
        long drawn = 0;
        while (drawn < perSeed && session.disagreement().empty()) {
            made.push_back(generator.next(session.model()));
            ++drawn;
            if (!session.apply(made.back()))
                made.pop_back();
        }
        if (!session.disagreement().empty())
            ADD_FAILURE() << "seed " << seed << " (QX_MODEL_SEED=" << seed
                          << " QX_MODEL_ACTIONS=" << drawn << "), "
                          << "action " << made.size() << " (" << made.back().text() << "): " << why
                          << session.disagreement() << "\nactions so far: " << listed(made);
    }
}

} // namespace
