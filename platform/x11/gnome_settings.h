// The desktop's own settings store (GSettings, used by GNOME and GTK), reached
// through the gsettings command: no library of the desktop is linked in, and
// a system without it simply has no such settings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

class DesktopSettings {
 public:
  virtual ~DesktopSettings() = default;
  // The keys of a schema; empty when the schema is not installed (or there is
  // no desktop session to ask).
  virtual std::vector<std::string> keys(std::string_view schema) = 0;
  // value is in GVariant text form ("0.5", "400", "'flat'").
  virtual void set(std::string_view schema, std::string_view key, std::string_view value) = 0;
};

// gsettings, when it is installed and a session bus is there to carry the
// change. Without either it knows no schema and sets nothing.
class GSettingsCommand final : public DesktopSettings {
 public:
  GSettingsCommand();
  bool available() const { return !program_.empty(); }
  std::vector<std::string> keys(std::string_view schema) override;
  void set(std::string_view schema, std::string_view key, std::string_view value) override;

 private:
  std::string program_;
};

// Runs argv (argv[0] a path), waits at most timeout_ms, and returns what it
// wrote to standard output; standard error is dropped. A program that takes
// longer is killed and its output so far returned. ok is false when it did not
// run or did not exit with 0.
std::string run_and_capture(const std::vector<std::string>& argv, int timeout_ms, bool& ok);

}  // namespace platform
