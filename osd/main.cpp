// osd: the Morvath T60R's on-screen display. Monitor tells it about profile
// changes and stored messages through its window on the bus; it shows them
// as a small panel for a moment. One copy per session, started at log-on.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <cstdlib>

#include "common/product.h"
#include "common/settings_files.h"
#include "common/settings_folder.h"
#include "osd/osd_wnd.h"
#include "platform/named_objects.h"
#include "platform/runtime_dir.h"
#include "platform/window_messages.h"

namespace {

bool set_in_environment(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0';
}

int g_signal_pipe[2] = {-1, -1};

void on_termination_signal(int) {
  const char c = 0;
  [[maybe_unused]] ssize_t n = ::write(g_signal_pipe[1], &c, 1);
}

const char* endpoint_problem(platform::EndpointError e) {
  switch (e) {
    case platform::EndpointError::title_in_use: return "another on-screen display has the window";
    case platform::EndpointError::runtime_dir: return "the runtime folder cannot be used";
    case platform::EndpointError::refused: return "a file in the runtime folder is refused";
    case platform::EndpointError::bad_title: return "bad window title";
    default: return "the window cannot be made";
  }
}

}  // namespace

// Sanitizer builds: the desktop's D-Bus library (loaded by Qt's X11 platform)
// keeps a buffer until the process ends; that is not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv) {
  // Without any display there is nothing to show on; the display still
  // answers its messages (and logs what it would show) on the offscreen
  // platform instead of refusing to start.
  const bool headless = !set_in_environment("QT_QPA_PLATFORM") && !set_in_environment("DISPLAY") &&
                        !set_in_environment("WAYLAND_DISPLAY");
  if (headless) setenv("QT_QPA_PLATFORM", "offscreen", 1);

  QApplication qt(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  if (headless) std::fprintf(stderr, "osd: no display: nothing is shown on screen\n");

  platform::ObjectStatus status = platform::ObjectStatus::failed;
  platform::NamedMutex instance = platform::NamedMutex::create(mt::OSD_INSTANCE_MUTEX_NAME, &status);
  if (status == platform::ObjectStatus::already_existed) {
    std::fprintf(stderr, "osd: already running\n");
    return 0;
  }
  const std::string problem = platform::runtime_dir_problem();
  if (!problem.empty()) {
    std::fprintf(stderr, "osd: cannot start: %s\n", problem.c_str());
    return 1;
  }

  const std::string folder = mt::program_folder();
  mt::COsdWnd wnd({folder, mt::choose_settings_folder(folder).path});
  const platform::EndpointError e = wnd.create();
  if (e != platform::EndpointError::none) {
    std::fprintf(stderr, "osd: cannot start: %s\n", endpoint_problem(e));
    return e == platform::EndpointError::title_in_use ? 0 : 1;
  }
  wnd.on_destroyed = [] { QCoreApplication::quit(); };

  // SIGTERM (log-out), SIGINT and SIGHUP end the display the way WM_CLOSE
  // does, so its window leaves the bus cleanly.
  QSocketNotifier* signal_notifier = nullptr;
  if (::pipe2(g_signal_pipe, O_CLOEXEC | O_NONBLOCK) == 0) {
    signal_notifier = new QSocketNotifier(g_signal_pipe[0], QSocketNotifier::Read, &qt);
    QObject::connect(signal_notifier, &QSocketNotifier::activated, [&wnd] {
      char c;
      while (::read(g_signal_pipe[0], &c, 1) > 0) {
      }
      wnd.destroy();
    });
    for (int s : {SIGTERM, SIGINT, SIGHUP}) ::signal(s, on_termination_signal);
  }

  const int rc = QApplication::exec();
  for (int s : {SIGTERM, SIGINT, SIGHUP}) ::signal(s, SIG_DFL);
  return rc;
}
