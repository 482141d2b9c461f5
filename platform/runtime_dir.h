// The per-user runtime folder that holds every named object of the programs:
// $XDG_RUNTIME_DIR/morvath-t60r/, or /tmp/morvath-t60r-<uid>/ without it.
#pragma once

#include <string>

namespace platform {

// The folder's path, ending in "/" (not created).
std::string runtime_dir_path();
// Creates the folder with mode 0700 when missing and checks it: it must be a
// real folder (not a link), owned by this user and closed to everyone else.
// Returns the path, or "" when the folder cannot be made safe.
std::string ensure_runtime_dir();

}  // namespace platform
