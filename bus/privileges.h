#pragma once

#include "system.h"

#include <iosfwd>

namespace bus {

// Gives up root for good once the port has been taken; call it after choosePort() and
// before anything else runs. Root rights are only ever wanted for direct port I/O, and that
// permission survives the drop.
//
//   not root                         nothing to do; true.
//   root through sudo (SUDO_UID/GID) keeps only the environment a window needs (see
//                                    privileges.cpp), then becomes the invoking user:
//                                    supplementary groups, then group, then user, then
//                                    checks root cannot come back; HOME, USER, LOGNAME and
//                                    PATH then come from the user's entry and no later exec
//                                    may gain rights.
//   set-user-ID root (real uid not 0) the same, becoming the real user; SUDO_* is ignored,
//                                    since whoever started the program could have set it.
//   a root login (no SUDO_UID)       there is no one to become; keeps running, says so; true.
//
// On any failure writes one line to `messages` and returns false: the caller must exit
// rather than run on with rights it meant to drop.
bool dropRoot(Credentials& system, std::ostream& messages);

} // namespace bus
