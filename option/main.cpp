// Option: the settings window of the Morvath T60R suite.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "option/option_app.h"

namespace {

// MORVATH_T60R_APPLY_WAIT_MS (test hook): how long an Apply waits for
// Monitor's answer at most, 0 to 600000 ms.
int64_t apply_wait_ms() {
  const char* v = std::getenv("MORVATH_T60R_APPLY_WAIT_MS");
  if (v == nullptr || *v == '\0') return mt::ApplyWait::kTimeoutMs;
  char* end = nullptr;
  const long ms = std::strtol(v, &end, 10);
  if (*end != '\0' || ms < 0 || ms > 600000) {
    std::fprintf(stderr, "option: MORVATH_T60R_APPLY_WAIT_MS=\"%s\" ignored\n", v);
    return mt::ApplyWait::kTimeoutMs;
  }
  return ms;
}

}  // namespace

// Sanitizer builds: the desktop's D-Bus library (loaded by Qt's X11 platform)
// keeps a buffer until the process ends; that is not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv) {
  mt::COptionApp app;
  // A second Option ends before it has started the toolkit.
  if (!app.take_instance()) return 0;
  QApplication qt(argc, argv);
  mt::COptionApp::Hooks hooks;
  hooks.apply_wait_ms = apply_wait_ms();
  return app.run(hooks);
}
