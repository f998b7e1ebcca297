#include "frames.h"

namespace regs {

void setField(Frame& frame, Field field, int value) {
    for (int i = field.width - 1; i >= 0; --i)
        frame[dataSlot(field.highBit - (field.width - 1) + i)] =
            static_cast<std::int16_t>((value >> i) & 1);
}

Frame defaultFrame(std::uint8_t dataByte) {
    // Address 0x7C, write: 1111 100 0, then an ack slot the master leaves released.
    Frame f = {1, 1, 1, 1, 1, 0, 0, 0, 1};
    for (int bit = 7; bit >= 0; --bit)
        f[dataSlot(bit)] = (dataByte >> bit) & 1;
    f[17] = 1;
    return f;
}

ControlFrames::ControlFrames(bus::Port& port, std::ostream& diagnostics)
    : m_bus(port, diagnostics) {}

void ControlFrames::startUp() {
    m_bus.setAddressBit(0);
    writeDefaults();
    sendAll();
}

void ControlFrames::writeDefaults() {
    monoword = defaultFrame(kMonoDefault);
    leftword = defaultFrame(kLeftDefault);
    rightword = defaultFrame(kRightDefault);
    modeword = defaultFrame(kModeDefault);
    effectword = defaultFrame(kEffectDefault);
}

void ControlFrames::sendAll() {
    PPort(monoword);
    PPort(leftword);
    PPort(rightword);
    PPort(modeword);
    PPort(effectword);
}

void ControlFrames::selectAddress(std::int16_t value) {
    m_bus.setAddressBit(value);
    for (Frame* f : {&monoword, &leftword, &rightword, &modeword, &effectword})
        (*f)[kAddressBitSlot] = value;
    m_bus.writeIdle();
}

} // namespace regs
