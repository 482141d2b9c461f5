#include "common/registry.h"

#include "common/settings_folder.h"

namespace mt {

namespace {

constexpr char kStoreFile[] = "registry.ini";

// The folder part of a file path, made with private folders where missing.
bool make_parent_folders(const std::string& file) {
  std::size_t slash = file.rfind('/');
  if (slash == std::string::npos || slash == 0) return true;
  return make_private_folders(file.substr(0, slash));
}

}  // namespace

std::string registry_file_path() {
  std::string folder = user_config_folder();
  return folder.empty() ? std::string() : folder + kStoreFile;
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
