#pragma once

namespace process {

// Faults of the program itself: SIGSEGV (a stack overflow among them), SIGBUS, SIGILL,
// SIGFPE, SIGABRT and SIGTRAP. Their handler runs on a stack of its own, walks a transaction
// in progress back to idle (bus::abandonTransaction), writes "qx5180: ended by SIGSEGV" (or
// the other's name) to standard error when that cannot block, and ends the process by the
// same signal at its default action, so its status, and a core file where one is written,
// tell what happened. Nothing in it allocates, locks or uses stdio. Call it from the thread
// that sends the frames (the stack is that thread's), before the port is taken. A caller's
// ignoring one of these is not kept: a fault ends the process all the same.
void walkBusBackOnFaults();

} // namespace process
