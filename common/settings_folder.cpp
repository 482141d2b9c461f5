#include "common/settings_folder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace mt {

namespace {

constexpr char kFolderName[] = "morvath-t60r";
constexpr char kReadOnlyHook[] = "MORVATH_T60R_PROGRAM_FOLDER_READ_ONLY";

std::atomic<unsigned> g_probe_counter{0};

std::string home_folder() {
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return home;
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buf(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd pw{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &pw, buf.data(), buf.size(), &found) == 0 && found && found->pw_dir &&
      found->pw_dir[0] == '/')
    return found->pw_dir;
  return {};
}

// False with errno set: ENOTDIR for something that is not a folder.
bool is_folder(const std::string& path) {
  struct stat st{};
  if (stat(path.c_str(), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) return true;
  errno = ENOTDIR;
  return false;
}

bool hook_says_read_only() {
  const char* v = std::getenv(kReadOnlyHook);
  return v != nullptr && std::strcmp(v, "1") == 0;
}

}  // namespace

std::string user_config_folder() {
  std::string base;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') {
    base = xdg;
  } else {
    std::string home = home_folder();
    if (home.empty()) return {};
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    base = (home == "/" ? std::string() : home) + "/.config";
  }
  if (base.back() != '/') base += '/';
  return base + kFolderName + "/";
}

bool make_private_folders(const std::string& folder) {
  if (folder.empty()) return false;
  for (std::size_t pos = 1; pos <= folder.size(); ++pos) {
    if (pos != folder.size() && folder[pos] != '/') continue;
    std::string part = folder.substr(0, pos);
    if (part.back() == '/') continue;
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return is_folder(folder);
}

bool folder_takes_files(const std::string& folder) {
  if (folder.empty() || folder.front() != '/') return false;
  std::string base = folder.back() == '/' ? folder : folder + "/";
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::string probe = base + ".morvath-t60r-probe-" + std::to_string(getpid()) + "-" +
                        std::to_string(g_probe_counter.fetch_add(1));
    int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
      close(fd);
      unlink(probe.c_str());
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

SettingsFolder choose_settings_folder(const std::string& program_folder) {
  SettingsFolder out;
  out.path = program_folder;
  if (!hook_says_read_only() && folder_takes_files(program_folder)) return out;

  const std::string user = user_config_folder();
  if (user.empty()) {
    out.kind = SettingsFolder::Kind::none;
    out.problem = "no per-user folder: neither XDG_CONFIG_HOME nor a home folder is known";
    return out;
  }
  if (!make_private_folders(user)) {
    out.kind = SettingsFolder::Kind::none;
    out.problem = user + ": " + std::strerror(errno);
    return out;
  }
  if (!folder_takes_files(user)) {
    out.kind = SettingsFolder::Kind::none;
    out.problem = user + ": " + std::strerror(errno);
    return out;
  }
  out.path = user;
  out.kind = SettingsFolder::Kind::per_user;
  return out;
}

}  // namespace mt
