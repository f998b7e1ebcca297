#pragma once

#include <string>
#include <string_view>

// Every line the program writes and the window's title, worded in one place. The core
// (bus/, regs/, sim/) reports values and events; only this room turns them into words.
namespace messages {

inline constexpr std::string_view kProgram = "qx5180";
inline constexpr std::string_view kTitle = "QX5180 Audio Program v1.1";

// "qx5180: " and the text: the one place the prefix is written.
std::string line(std::string_view text);

// The window's title: the plain title, then why no real port is driven (simulatedBecause,
// when not empty), then the failure while the chip may not hold what the window shows
// (writeError, when not 0).
std::string title(std::string_view simulatedBecause, int writeError);

// A port write that failed. `during` says what was being written ("a register write",
// "the address-select line").
std::string writeFailed(std::string_view port, std::string_view during, int error);

} // namespace messages
