// The per-user runtime folder that holds every named object of the programs:
// $XDG_RUNTIME_DIR/morvath-t60r/, or /tmp/morvath-t60r-<uid>/ without it.
#pragma once

#include <string>

namespace platform {

// The folder's path, ending in "/" (not created).
std::string runtime_dir_path();

struct RuntimeDirCheck {
  std::string path;     // ends in "/"
  std::string problem;  // why it was refused; "" when usable
  bool usable() const { return problem.empty(); }
};

// Creates the folder with mode 0700 when missing and checks it: it must be a
// real folder (not a link), owned by this user and closed to everyone else.
// A refusal says why: "it is a symbolic link", "it belongs to user 1001",
// "it is open to other users (mode 0755)", "it cannot be created: ...".
RuntimeDirCheck check_runtime_dir();
// The path, or "" when the folder cannot be made safe (check_runtime_dir()).
std::string ensure_runtime_dir();
// The refusal as one line for a program to print after its own name, or ""
// when the folder is usable:
//   runtime folder /run/user/1000/morvath-t60r/ refused: it is a symbolic link
std::string runtime_dir_problem(const RuntimeDirCheck& check);
std::string runtime_dir_problem();  // of check_runtime_dir()

}  // namespace platform
