// Files of the named objects and window endpoints inside the per-user runtime
// folder. Every name given by a caller (object names, window titles) becomes a
// file name through one escape, and every file is opened without following
// links and only when it belongs to this user.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Longest escaped name accepted; leaves room for prefixes and suffixes within
// the 255-byte limit of a file name.
constexpr std::size_t MAX_ESCAPED_NAME = 200;

// The file-name form of a name: ASCII letters, digits, '_' and '-' stay as
// they are, every other byte (UTF-8 included) becomes "%XX" with upper-case
// hex. Returns "" for an empty name or one whose escaped form is longer than
// MAX_ESCAPED_NAME, so nothing can leave the folder or clash with a suffix.
std::string escape_runtime_name(std::string_view name);

// Opens the runtime folder (creating it with mode 0700 when missing) for the
// *at() calls; checks the opened folder itself, so it cannot be swapped
// between the check and the use. Returns -1 when the folder is unsafe.
int open_runtime_dir();

enum class PrivateOpen { opened, missing, refused, failed };

// Opens `file` inside the folder `dir_fd` read/write, creating it (mode 0600)
// when `create` is set. Refuses links, anything but a regular file and files
// of another owner; a file of ours with a wider mode is narrowed to 0600.
// Returns the descriptor (close-on-exec) or -1 with the reason in `why`.
int open_private_file(int dir_fd, const std::string& file, bool create, PrivateOpen* why = nullptr);

}  // namespace platform
