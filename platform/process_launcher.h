// Starting programs and opening documents for the user, the way a desktop
// shell's "open" does: an executable file is started, anything else (a
// document, a folder, a URL) is handed to the desktop's opener, xdg-open.
//
// No shell ever sees the path: it is the program file itself or the single
// argument of the opener, so spaces, quotes, ';' or "$(...)" in it are just
// characters of a file name. The started process is detached: it gets its own
// session, only standard input, output and error stay open, it outlives
// Monitor and never lingers as a zombie of ours.
//
// Failures are for the debug log only (one line on stderr): the programs that
// start things do not check the result.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // Starts or opens the UTF-8 path. True when a process was started; for a
  // document that only means the opener started.
  virtual bool start(std::string_view path) = 0;
};

class PosixProcessLauncher final : public ProcessLauncher {
 public:
  bool start(std::string_view path) override;
};

// The same as PosixProcessLauncher::start.
bool start_program(std::string_view path);

// Runs argv detached, argv[0] being the program file's path (no PATH search).
// True when the program's image was loaded.
bool spawn_detached(const std::vector<std::string>& argv);

// The first executable file called name in the folders of $PATH, or "".
std::string find_in_path(std::string_view name);

}  // namespace platform
