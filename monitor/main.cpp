// Monitor: the resident half of the Morvath T60R suite.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "monitor/monitor_app.h"

namespace {

bool set_in_environment(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0';
}

// MORVATH_T60R_ARRIVAL_WAIT_MS (test hook): how long an arriving mouse is
// given before it is opened, 0 to 600000 ms.
int arrival_wait_ms() {
  const char* v = std::getenv("MORVATH_T60R_ARRIVAL_WAIT_MS");
  if (v == nullptr || *v == '\0') return mt::CMonitorWnd::kArrivalWaitMs;
  char* end = nullptr;
  long ms = std::strtol(v, &end, 10);
  if (*end != '\0' || ms < 0 || ms > 600000) {
    std::fprintf(stderr, "monitor: MORVATH_T60R_ARRIVAL_WAIT_MS=\"%s\" ignored\n", v);
    return mt::CMonitorWnd::kArrivalWaitMs;
  }
  return static_cast<int>(ms);
}

}  // namespace

// Sanitizer builds: the desktop's D-Bus library (loaded by Qt's X11 platform
// for the notification area) keeps a buffer until the process ends; that is
// not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv) {
  // Monitor has no visible window: without any display it runs on the
  // offscreen platform instead of refusing to start.
  if (!set_in_environment("QT_QPA_PLATFORM") && !set_in_environment("DISPLAY") &&
      !set_in_environment("WAYLAND_DISPLAY"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);

  // The command line as started, before the toolkit takes its own options out.
  std::vector<std::string> args(argv, argv + argc);
  std::vector<const char*> arg_ptrs;
  for (const std::string& a : args) arg_ptrs.push_back(a.c_str());

  QApplication qt(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);

  mt::CMonitorApp::Hooks hooks;
  hooks.arrival_wait_ms = arrival_wait_ms();

  mt::CMonitorApp app;
  if (!app.init_instance(static_cast<int>(arg_ptrs.size()), arg_ptrs.data(), hooks)) return app.exit_code();
  QApplication::exec();
  return app.exit_instance();
}
