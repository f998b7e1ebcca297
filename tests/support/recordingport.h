#pragma once

#include "port.h"

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

namespace test {

// Keeps every byte the transmitter tries to write and passes the ones that go through on
// (to the simulated board, say). It can fail one chosen write the way a real port would,
// or, unplugged, every write from that one on: EIO first, then ENODEV.
class RecordingPort : public bus::Port {
public:
    explicit RecordingPort(bus::Port* next = nullptr) : m_next(next) {}

    int write(std::uint8_t value) override {
        const long index = static_cast<long>(bytes.size());
        bytes.push_back(value);
        if (index == failAt)
            return EIO;
        if (unplugged && failAt >= 0 && index > failAt)
            return ENODEV;
        return m_next ? m_next->write(value) : 0;
    }
    std::string name() const override { return "test port"; }

    std::vector<std::uint8_t> bytes;
    long failAt = -1; // index into bytes of the write that fails; -1 for none
    bool unplugged = false;

private:
    bus::Port* m_next;
};

} // namespace test
