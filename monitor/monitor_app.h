// CMonitorApp: Monitor's application object. It reads the command line
// ("1" first: open Option once the mouse is there), keeps Monitor to one
// instance per session, builds the desktop services the main window works
// through, and creates the main window.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "monitor/monitor_wnd.h"
#include "platform/named_objects.h"

class QSocketNotifier;

namespace mt {

class CMonitorApp {
 public:
  // The copy of the command line is at most this long.
  static constexpr std::size_t kCommandLineUnits = 100;

  // The command line as the program sees it: the arguments after the
  // program's name, joined by blanks, cut to kCommandLineUnits units.
  static std::u16string command_line(int argc, const char* const* argv);
  // Set when the command line is not empty and starts with '1'.
  static bool start_with_option(std::u16string_view command_line);

  // Test hooks, read by main() from the environment.
  struct Hooks {
    int arrival_wait_ms = CMonitorWnd::kArrivalWaitMs;
  };

  CMonitorApp();
  ~CMonitorApp();
  CMonitorApp(const CMonitorApp&) = delete;
  CMonitorApp& operator=(const CMonitorApp&) = delete;

  // The application's start. False when this instance ends at once:
  // another Monitor runs (exit code 0) or the main window could not be
  // created (exit code 1). A Qt application object must exist.
  bool init_instance(int argc, const char* const* argv, const Hooks& hooks);
  // The application's end: the main window object goes, then the
  // single-instance mutex. Returns the exit code.
  int exit_instance();
  int exit_code() const { return exit_code_; }

  CMonitorWnd* main_window() const { return wnd_.get(); }
  bool start_with_option_flag() const { return start_with_option_; }

 private:
  struct Desktop;
  void watch_termination_signals();

  bool start_with_option_ = false;
  int exit_code_ = 0;
  platform::NamedMutex instance_mutex_;
  std::unique_ptr<Desktop> desktop_;
  std::unique_ptr<CMonitorWnd> wnd_;
  QSocketNotifier* signal_notifier_ = nullptr;
};

}  // namespace mt
