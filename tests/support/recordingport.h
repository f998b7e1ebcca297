#pragma once

#include "port.h"

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

namespace test {

// Keeps every byte written, optionally passes it on (to the simulated board, say), and can
// be told to fail one chosen write the way a real port would.
class RecordingPort : public bus::Port {
public:
    explicit RecordingPort(bus::Port* next = nullptr) : m_next(next) {}

    int write(std::uint8_t value) override {
        const bool fail = static_cast<long>(bytes.size()) == failAt;
        bytes.push_back(value);
        if (fail)
            return EIO;
        return m_next ? m_next->write(value) : 0;
    }
    std::string name() const override { return "test port"; }

    std::vector<std::uint8_t> bytes;
    long failAt = -1; // index into bytes of the write that fails; -1 for none

private:
    bus::Port* m_next;
};

} // namespace test
