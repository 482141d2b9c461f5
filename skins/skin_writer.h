// Writes the whole skin folder: every window's pictures and mask at both
// scales, the description files, the mouse and speed pictures, the control
// masks, the slider thumb, the icons and the on-screen display.
#pragma once

#include <string>
#include <vector>

namespace skins {

struct WriteResult {
  int files = 0;
  std::vector<std::string> failures;  // paths that could not be written
};

// "name.ext" -> "name@2x.ext".
std::string at2x(const std::string& name);

// The description file's text for a window of the plan.
std::string description_file(const std::string& window_id);

// Writes everything under folder (created when missing), using up to
// `threads` threads.
WriteResult write_skin(const std::string& folder, int threads);

}  // namespace skins
