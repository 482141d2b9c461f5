// The per-user registry stand-in: a small key/value store in one file,
// $XDG_CONFIG_HOME/morvath-t60r/registry.ini (~/.config when the variable is
// unset). A registry key path ("HKEY_CURRENT_USER\Control Panel\Mouse") is a
// section, a value name is a key, every value is a string (REG_SZ). Key paths
// and value names compare case-insensitively, as the registry's do.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/ini_file.h"

namespace mt {

// The store's file, or "" when neither $XDG_CONFIG_HOME nor a home folder is known.
std::string registry_file_path();

// A batch of registry operations on one store file: the file is read once, at
// the first open_key, and written once, by commit (or the destructor), so
// that a whole pointer read or write touches it once. Writes are atomic.
class RegistrySession {
 public:
  explicit RegistrySession(std::string file = registry_file_path());
  ~RegistrySession();  // commits what is still pending; the result is dropped
  RegistrySession(const RegistrySession&) = delete;
  RegistrySession& operator=(const RegistrySession&) = delete;

  // Opens the key, creating it when missing (the store's folder is created
  // on the way). False when the key can be neither opened nor created: no
  // file name, a folder that cannot be made, a file that exists but cannot
  // be read.
  bool open_key(std::u16string_view key);

  // The value, or nothing when it (or the open store) is missing.
  std::optional<std::u16string> query(std::u16string_view key, std::u16string_view name) const;
  // The value, "" when missing.
  std::u16string get_string(std::u16string_view key, std::u16string_view name) const;
  // False when no key has been opened successfully.
  bool set_string(std::u16string_view key, std::u16string_view name, std::u16string_view value);

  // Saves pending changes in one atomic write. True when nothing is pending
  // or the file was written.
  bool commit();

  const std::string& file() const { return file_; }

 private:
  std::string file_;
  platform::IniDocument doc_;
  bool loaded_ = false;
  bool dirty_ = false;
};

// Single-value helpers, each one session.
std::u16string registry_get_string(std::u16string_view key, std::u16string_view name,
                                   const std::string& file = registry_file_path());
bool registry_set_string(std::u16string_view key, std::u16string_view name, std::u16string_view value,
                         const std::string& file = registry_file_path());

}  // namespace mt
