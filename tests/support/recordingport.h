#pragma once

#include "port.h"

#include <cerrno>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

// Keeps every byte the transmitter tries to write and passes the ones that go through on
// (to the simulated board, say). Chosen writes fail with EIO, as a real port's would.
struct RecordingPort : bus::Port {
    explicit RecordingPort(bus::Port* next = nullptr) : next(next) {}

    int write(std::uint8_t value) override {
        const long index = static_cast<long>(bytes.size());
        bytes.push_back(value);
        if (failAt.count(index))
            return EIO;
        return next ? next->write(value) : 0;
    }
    std::string name() const override { return "test port"; }

    bus::Port* next;
    std::vector<std::uint8_t> bytes;
    std::set<long> failAt; // indexes into bytes of the writes that fail
};
