#include "platform/runtime_dir.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

RuntimeDirCheck check_runtime_dir() {
  RuntimeDirCheck check;
  check.path = runtime_dir_path();
  const std::string bare = check.path.substr(0, check.path.size() - 1);
  if (mkdir(bare.c_str(), 0700) != 0 && errno != EEXIST) {
    check.problem = std::string("it cannot be created: ") + std::strerror(errno);
    return check;
  }
  struct stat st;
  // lstat: a link planted by someone else must not redirect our objects.
  if (lstat(bare.c_str(), &st) != 0) {
    check.problem = std::string("it cannot be examined: ") + std::strerror(errno);
  } else if (S_ISLNK(st.st_mode)) {
    check.problem = "it is a symbolic link";
  } else if (!S_ISDIR(st.st_mode)) {
    check.problem = "it is not a folder";
  } else if (st.st_uid != getuid()) {
    check.problem = "it belongs to user " + std::to_string(st.st_uid);
  } else if ((st.st_mode & 077) != 0) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
    check.problem = std::string("it is open to other users (mode ") + mode + ")";
  } else if ((st.st_mode & 0700) != 0700 && chmod(bare.c_str(), 0700) != 0) {
    // mkdir() is subject to the umask; the owner must be able to use the folder.
    check.problem = std::string("its mode cannot be set to 0700: ") + std::strerror(errno);
  }
  return check;
}

std::string ensure_runtime_dir() {
  RuntimeDirCheck check = check_runtime_dir();
  return check.usable() ? check.path : std::string();
}

std::string runtime_dir_problem(const RuntimeDirCheck& check) {
  return check.usable() ? std::string() : "runtime folder " + check.path + " refused: " + check.problem;
}

std::string runtime_dir_problem() { return runtime_dir_problem(check_runtime_dir()); }

}  // namespace platform
