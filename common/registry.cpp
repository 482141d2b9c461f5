#include "common/registry.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace mt {

namespace {

constexpr char kStoreFolder[] = "morvath-t60r";
constexpr char kStoreFile[] = "registry.ini";

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

// mkdir -p for the folder part of a file path; new folders are private to the user.
bool make_parent_folders(const std::string& file) {
  std::size_t slash = file.rfind('/');
  if (slash == std::string::npos || slash == 0) return true;
  std::string folder = file.substr(0, slash);
  for (std::size_t pos = 1; pos <= folder.size(); ++pos) {
    if (pos != folder.size() && folder[pos] != '/') continue;
    std::string part = folder.substr(0, pos);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat st{};
  return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string registry_file_path() {
  std::string base;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  // A relative XDG_CONFIG_HOME is invalid and ignored.
  if (xdg && xdg[0] == '/') {
    base = xdg;
  } else {
    std::string home = home_folder();
    if (home.empty()) return {};
    base = home + "/.config";
  }
  if (base.back() != '/') base += '/';
  return base + kStoreFolder + "/" + kStoreFile;
}

RegistrySession::RegistrySession(std::string file) : file_(std::move(file)) {}

RegistrySession::~RegistrySession() { commit(); }

bool RegistrySession::open_key(std::u16string_view key) {
  if (key.empty() || file_.empty()) return false;
  if (loaded_) return true;
  if (!make_parent_folders(file_)) return false;
  // An existing store that cannot be read must not be replaced by an empty one.
  if (doc_.load_checked(file_) == platform::IniDocument::LoadStatus::failed) return false;
  loaded_ = true;
  return true;
}

std::optional<std::u16string> RegistrySession::query(std::u16string_view key,
                                                     std::u16string_view name) const {
  if (!loaded_) return std::nullopt;
  if (!doc_.raw(key, name)) return std::nullopt;
  return doc_.get_string(key, name, u"");
}

std::u16string RegistrySession::get_string(std::u16string_view key, std::u16string_view name) const {
  return query(key, name).value_or(std::u16string());
}

bool RegistrySession::set_string(std::u16string_view key, std::u16string_view name,
                                 std::u16string_view value) {
  if (!loaded_ || key.empty() || name.empty()) return false;
  doc_.set_string(key, name, value);
  dirty_ = true;
  return true;
}

bool RegistrySession::commit() {
  if (!dirty_) return true;
  if (!doc_.save(file_)) return false;
  dirty_ = false;
  return true;
}

std::u16string registry_get_string(std::u16string_view key, std::u16string_view name,
                                   const std::string& file) {
  RegistrySession session(file);
  if (!session.open_key(key)) return {};
  return session.get_string(key, name);
}

bool registry_set_string(std::u16string_view key, std::u16string_view name, std::u16string_view value,
                         const std::string& file) {
  RegistrySession session(file);
  if (!session.open_key(key) || !session.set_string(key, name, value)) return false;
  return session.commit();
}

}  // namespace mt
