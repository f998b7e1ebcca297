#pragma once

#include "port.h"

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

// Keeps every byte the transmitter tries to write and passes the ones that go through on
// (to the simulated board, say). It can fail one chosen write the way a real port would,
// or, unplugged, every write from that one on: EIO first, then ENODEV.
struct RecordingPort : bus::Port {
    explicit RecordingPort(bus::Port* next = nullptr) : next(next) {}

    int write(std::uint8_t value) override {
        const long index = static_cast<long>(bytes.size());
        bytes.push_back(value);
        if (failAt >= 0 && (index == failAt || (unplugged && index > failAt)))
            return index == failAt ? EIO : ENODEV;
        return next ? next->write(value) : 0;
    }
    std::string name() const override { return "test port"; }

    bus::Port* next;
    std::vector<std::uint8_t> bytes;
    long failAt = -1; // index into bytes of the write that fails; -1 for none
    bool unplugged = false;
};
