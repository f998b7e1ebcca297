#pragma once

#include "backends.h"

#include <string>

namespace panel {

// A port failure in words: the line for the terminal, with what the user can do about it,
// and the short reason the window title gives ("no permission for /dev/parport0").
struct Explained {
    std::string line;
    std::string reason;
};

Explained explain(const bus::PortError& failure);

} // namespace panel
