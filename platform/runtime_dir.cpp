#include "platform/runtime_dir.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::string runtime_dir_path() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  if (xdg && *xdg) {
    std::string base(xdg);
    if (base.back() != '/') base += '/';
    return base + "morvath-t60r/";
  }
  return "/tmp/morvath-t60r-" + std::to_string(getuid()) + "/";
}

std::string ensure_runtime_dir() {
  std::string path = runtime_dir_path();
  std::string bare = path.substr(0, path.size() - 1);
  if (mkdir(bare.c_str(), 0700) != 0 && errno != EEXIST) return "";
  struct stat st;
  // lstat: a link planted by someone else must not redirect our objects.
  if (lstat(bare.c_str(), &st) != 0) return "";
  if (!S_ISDIR(st.st_mode) || st.st_uid != getuid()) return "";
  if ((st.st_mode & 077) != 0) return "";
  // mkdir() is subject to the umask; the owner must be able to use the folder.
  if ((st.st_mode & 0700) != 0700 && chmod(bare.c_str(), 0700) != 0) return "";
  return path;
}

}  // namespace platform
