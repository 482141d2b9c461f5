// COptionApp: Option's application object. One Option per session (the mutex
// "Belvanto_550_28_Gaming_Mouse_Normal_configure": a second start ends at
// once, bringing nothing up), the program folder, the settings folder (the
// same choice Monitor makes), the desktop's keyboard layout for the key
// names, then the main window, modally; when it closes, the program ends.
//
//   COptionApp app;
//   if (!app.take_instance()) return 0;        // before the toolkit starts
//   QApplication qt(argc, argv);
//   return app.run(hooks);
#pragma once

#include <cstdint>
#include <string>

#include "common/settings_folder.h"
#include "option/logic/option_rules.h"
#include "platform/named_objects.h"

namespace mt {

class COptionApp {
 public:
  // Test hooks, read by main() from the environment.
  struct Hooks {
    int64_t apply_wait_ms = ApplyWait::kTimeoutMs;
  };

  COptionApp() = default;
  ~COptionApp();
  COptionApp(const COptionApp&) = delete;
  COptionApp& operator=(const COptionApp&) = delete;

  // The single-instance mutex. False when another Option holds it: this one
  // ends at once. A runtime folder that cannot be used is said in one line,
  // and Option runs without the mutex (and without the bus).
  bool take_instance();
  // Program folder, settings folder, keyboard layout, the main window run to
  // its end. A QApplication must exist. Returns the exit code.
  int run(const Hooks& hooks);

  const std::string& program_folder() const { return program_folder_; }
  const SettingsFolder& settings() const { return settings_; }

 private:
  platform::NamedMutex instance_mutex_;
  std::string program_folder_;
  SettingsFolder settings_;
};

}  // namespace mt
