#include "monitor/monitor_app.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "common/product.h"
#include "common/settings_folder.h"
#include "common/settings_files.h"
#include "platform/runtime_dir.h"
#include "platform/text.h"
#include "platform/window_bus.h"
#include "platform/window_messages.h"

#if defined(MT_HAVE_PLATFORM_X11)
#include "platform/x11/x11_foreground.h"
#include "platform/x11/x11_pointer_system.h"
#include "platform/x11/x11_window_tree.h"
#endif

namespace mt {

namespace {

// Without a desktop there is nothing to apply the pointer settings to; the
// registry values are still kept.
class NoPointerSystem final : public PointerSystem {
 public:
  void set_double_click_time(int) override {}
  void set_mouse(const int (&)[3]) override {}
  void set_pointer_speed(int) override {}
  void set_wheel_scroll_lines(int) override {}
};

void wait_ms(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool has_x_display() {
  const char* display = std::getenv("DISPLAY");
  return display != nullptr && *display != '\0';
}

int g_signal_pipe[2] = {-1, -1};

void on_termination_signal(int) {
  const char c = 0;
  [[maybe_unused]] ssize_t n = ::write(g_signal_pipe[1], &c, 1);
}

}  // namespace

// Everything the main window works through on this desktop.
struct CMonitorApp::Desktop {
  HidLibraryLink device;
  platform::PosixProcessLauncher launcher;
  SteadySleeper device_sleeper;
  std::unique_ptr<PointerSystem> pointer;
  ProcProcessTable processes;
  NoPlayerRegistry players;
  NoPlayerWindows player_windows;
  std::unique_ptr<CMediaActions> media;
#if defined(MT_HAVE_PLATFORM_X11)
  std::unique_ptr<platform::X11WindowTree> window_tree;
  std::unique_ptr<platform::X11Foreground> foreground;
#endif

  Desktop() {
    media = std::make_unique<CMediaActions>(players, player_windows, launcher, wait_ms);
#if defined(MT_HAVE_PLATFORM_X11)
    if (has_x_display()) {
      auto x_pointer = std::make_unique<platform::X11PointerSystem>();
      if (x_pointer->connected()) pointer = std::move(x_pointer);
      window_tree = std::make_unique<platform::X11WindowTree>();
      if (!window_tree->connected()) window_tree.reset();
      foreground = std::make_unique<platform::X11Foreground>();
      if (!foreground->connected()) foreground.reset();
    }
#endif
    if (!pointer) pointer = std::make_unique<NoPointerSystem>();
  }

  CMonitorWnd::Services services() {
    CMonitorWnd::Services s;
    s.device = &device;
    s.pointer = pointer.get();
    s.launcher = &launcher;
    s.device_sleeper = &device_sleeper;
    s.ui_wait = wait_ms;
    s.processes = &processes;
    s.media = media.get();
#if defined(MT_HAVE_PLATFORM_X11)
    s.window_tree = window_tree.get();
    if (foreground) {
      platform::X11Foreground* f = foreground.get();
      s.foreground = [f] { return f->foreground_pid(); };
    }
#endif
    return s;
  }
};

std::u16string CMonitorApp::command_line(int argc, const char* const* argv) {
  std::string joined;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) joined += ' ';
    joined += argv[i];
  }
  std::u16string line = platform::utf8_to_utf16(joined);
  if (line.size() > kCommandLineUnits) line.resize(kCommandLineUnits);
  return line;
}

bool CMonitorApp::start_with_option(std::u16string_view command_line) {
  return !command_line.empty() && command_line[0] == u'1';
}

CMonitorApp::CMonitorApp() = default;

CMonitorApp::~CMonitorApp() { exit_instance(); }

bool CMonitorApp::init_instance(int argc, const char* const* argv, const Hooks& hooks) {
  // 1. The command line.
  start_with_option_ = start_with_option(command_line(argc, argv));

  // 2. One Monitor per session. A second start with "1" asks the running one
  // to open Option.
  platform::ObjectStatus status = platform::ObjectStatus::failed;
  instance_mutex_ = platform::NamedMutex::create(MONITOR_INSTANCE_MUTEX_NAME, &status);
  if (status == platform::ObjectStatus::already_existed) {
    instance_mutex_.close();
    if (start_with_option_)
      platform::post_message(MONITOR_WINDOW_TITLE, platform::WM_COMMAND, ID_TRAY_OPEN_OPTION, 0);
    std::fprintf(stderr, "monitor: already running%s\n", start_with_option_ ? ", asked it to open Option" : "");
    exit_code_ = 0;
    return false;
  }
  // A refused runtime folder is named, once, when the window cannot be made in it.
  if (!instance_mutex_.valid() && platform::runtime_dir_problem().empty())
    std::fprintf(stderr, "monitor: no single-instance mutex\n");

  // A termination signal from here on ends Monitor through its end sequence:
  // one that arrives while the window is being made is handled once the
  // event loop runs, by then with the window there.
  watch_termination_signals();

  // 4. The main window.
  desktop_ = std::make_unique<Desktop>();
  CMonitorWnd::Setup setup;
  setup.folder = program_folder();
  // An installed program folder takes no files: the settings then live in the
  // per-user folder, where Option looks for them too.
  const SettingsFolder settings = choose_settings_folder(setup.folder);
  setup.settings_folder = settings.path;
  if (settings.kind == SettingsFolder::Kind::per_user)
    std::fprintf(stderr, "monitor: the program folder %s takes no files: settings in %s\n", setup.folder.c_str(),
                 settings.path.c_str());
  else if (settings.kind == SettingsFolder::Kind::none)
    std::fprintf(stderr, "monitor: no folder takes the settings (%s): they cannot be saved\n",
                 settings.problem.c_str());
  setup.start_with_option = start_with_option_;
  setup.arrival_wait_ms = hooks.arrival_wait_ms;
  wnd_ = std::make_unique<CMonitorWnd>(setup, desktop_->services());
  if (!wnd_->create()) {
    wnd_.reset();
    desktop_.reset();
    instance_mutex_.close();
    exit_code_ = 1;
    return false;
  }
  // The main window going ends the program.
  wnd_->on_destroyed = [] { QCoreApplication::quit(); };
  return true;
}

int CMonitorApp::exit_instance() {
  if (signal_notifier_) {
    delete signal_notifier_;
    signal_notifier_ = nullptr;
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGHUP, SIG_DFL);
    ::close(g_signal_pipe[0]);
    ::close(g_signal_pipe[1]);
    g_signal_pipe[0] = g_signal_pipe[1] = -1;
  }
  if (wnd_) wnd_->on_destroyed = nullptr;
  wnd_.reset();
  desktop_.reset();
  instance_mutex_.close();
  return exit_code_;
}

// The session ending (SIGTERM, SIGHUP) or an interrupt closes the main
// window like the menu's exit does, so Option and the displays are told and
// the device thread finishes its work.
void CMonitorApp::watch_termination_signals() {
  if (g_signal_pipe[0] >= 0) return;
  if (::pipe2(g_signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  signal_notifier_ = new QSocketNotifier(g_signal_pipe[0], QSocketNotifier::Read);
  QObject::connect(signal_notifier_, &QSocketNotifier::activated, [this] {
    char buf[16];
    while (::read(g_signal_pipe[0], buf, sizeof buf) > 0) {
    }
    if (wnd_ && wnd_->endpoint())
      wnd_->endpoint()->post_local(platform::WM_CLOSE, 0, 0);
    else
      QCoreApplication::quit();
  });
  struct sigaction sa {};
  sa.sa_handler = on_termination_signal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &sa, nullptr);
  ::sigaction(SIGINT, &sa, nullptr);
  ::sigaction(SIGHUP, &sa, nullptr);
}

}  // namespace mt
