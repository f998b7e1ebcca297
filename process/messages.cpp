#include "messages.h"

#include <cstring>

namespace messages {

std::string line(std::string_view text) {
    std::string out(kProgram);
    out += ": ";
    out += text;
    return out;
}

std::string title(std::string_view simulatedBecause, int writeError) {
    std::string out(kTitle);
    if (!simulatedBecause.empty())
        out.append(" \u2014 simulated board: ").append(simulatedBecause);
    if (writeError != 0)
        out.append(" \u2014 port write failed: ").append(std::strerror(writeError));
    return out;
}

std::string writeFailed(std::string_view port, std::string_view during, int error) {
    std::string text = "writing to ";
    text.append(port).append(" failed during ").append(during).append(": ");
    text.append(std::strerror(error)).append("; the chip may not hold what the panel shows");
    return line(text);
}

} // namespace messages
