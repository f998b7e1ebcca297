#pragma once

#include "backends.h"

#include <cstddef>
#include <string>
#include <string_view>

// Every line the program writes and the window's title, worded in one place. The core
// (bus/, regs/, sim/) reports values and events; only this room turns them into words.
namespace messages {

inline constexpr std::string_view kProgram = "qx5180";
inline constexpr std::string_view kTitle = "QX5180 Audio Program v1.1";

// The program's name, a colon and the text: the one place the prefix is written. Control
// characters, which can come from the caller's environment, are shown as '?' so they never
// reach a terminal.
std::string line(std::string_view text);

// The window's title: the plain title, then why no real port is driven (simulatedBecause,
// when not empty), then the failure while the chip may not hold what the window shows
// (writeError, when not 0).
std::string title(std::string_view simulatedBecause, int writeError);

// The program is ending: what the controls do from now on is not sent.
std::string notSentWhileEnding();
// A port write that failed. `during` says what was being written ("a register write",
// "the address-select line").
std::string writeFailed(std::string_view port, std::string_view during, int error);

// A step of choosing the port, for the terminal, with what the user can do about it.
std::string portEvent(const bus::PortEvent& event);
// Why the simulated board stands in, short, for the title ("no permission for /dev/parport0").
std::string simulatedBecause(const bus::PortError& failure);

std::string noDisplay();
// QT_QPA_PLATFORM (`asked`) names `platform`, which opens no window on a desktop.
std::string opensNoWindow(std::string_view asked);
// Qt could not start on the platforms tried; `reason` is its own words.
std::string windowSystemFailed(std::string_view asked, std::string_view reason);
std::string noWaylandCompositor(std::string_view waylandDisplay);

std::string droppedLines(std::size_t count);
// What the panel needs and cannot have. Before the port is taken: `limit` allowed (by
// `setting`, e.g. "ulimit -n"), `needed` needed.
std::string tooFew(std::string_view what, std::string_view setting, std::size_t limit,
                   std::size_t needed);
// A thread could not be started, or memory not had (`error`), while `during` was going on.
std::string cannotContinue(std::string_view what, std::string_view reason);
// "qx5180: ended by SIGTERM"; a real-time signal as SIGRTMIN+n.
std::string endedBy(int signal);
// Before the port is taken: `open` descriptors already open (inherited) leave `free` of the
// `limit`, fewer than the `needed`.
std::string tooFewFree(std::size_t free, std::size_t open, std::size_t limit, std::size_t needed);

// What a screen reader is told as a notification, where the focus stays. The first failed
// write while none stood: what failed and what it means.
std::string writesFailingNotice(int error);
// Every register written since the failure: the chip holds what the window shows again.
std::string writesGoodNotice();
// " DEFAULT" pressed: every control back, and whether the five registers went out
// (writeError 0) or not; `recovered`: they did, after a failure that stood.
std::string defaultsNotice(int writeError, bool recovered);
// The status asked for: the port driven or why none is, and whether the chip holds what the
// window shows (writeError 0).
std::string statusNotice(std::string_view port, std::string_view simulatedBecause, int writeError);

std::string rootLogin();
// Root could not be given up: `step` failed with `error` (0: `step` says it all).
std::string dropFailed(std::string_view step, int error = 0);

} // namespace messages
