// CMonitorWnd: Monitor's hidden main window. It receives every message (as
// the window titled "Draveo_Morvath_T60R_Monitor" on the window bus), owns
// the settings record, the shared block, the link to the mouse and the
// notification icon, and feeds the device thread, which performs every write
// to the mouse.
//
// Everything here runs on the UI thread except the device thread's jobs and
// their two callbacks (which only post messages). create() is the window's
// creation, destroy() its destruction; window_proc() is the message table.
#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "common/language_module.h"
#include "common/pointer_settings.h"
#include "common/product.h"
#include "common/registry.h"
#include "common/shared_record.h"
#include "monitor/channel.h"
#include "monitor/device/event_decoder.h"
#include "monitor/device/profile_writer.h"
#include "monitor/device_link.h"
#include "monitor/media_actions.h"
#include "monitor/program_watch.h"
#include "platform/process_launcher.h"
#include "platform/qt/bus_window.h"
#include "platform/window_bus.h"
#include "platform/window_tree.h"

class QTimer;

namespace mt {

class TrayIcon;

class CMonitorWnd {
 public:
  // Timers.
  static constexpr int TIMER_PROGRAM_WATCH = 500;
  static constexpr int TIMER_FIRST_APPLY = 502;
  static constexpr int kProgramWatchMs = 2000;
  static constexpr int kFirstApplyMs = 200;
  // How long an arriving mouse is given to settle before it is opened.
  static constexpr int kArrivalWaitMs = 8000;
  // Texts of the language module.
  static constexpr int kTextOpenOption = 1002;
  static constexpr int kTextExit = 1003;
  static constexpr int kTextTip = 1004;

  struct Setup {
    std::string folder;           // program folder, ending in "/": Lang/, hiddriver.so, Option
    std::string settings_folder;  // config.ini and config/, ending in "/" (common/settings_folder.h)
    bool start_with_option = false;
    int arrival_wait_ms = kArrivalWaitMs;
    std::string registry_file = registry_file_path();
    bool use_tray = true;
  };

  // What the window works through. Not owned; each must outlive the window.
  struct Services {
    DeviceLink* device = nullptr;              // required
    PointerSystem* pointer = nullptr;          // required
    platform::ProcessLauncher* launcher = nullptr;  // required
    Sleeper* device_sleeper = nullptr;         // required: the device thread's pauses
    std::function<void(int ms)> ui_wait;       // required: waits on the UI thread
    platform::WindowTree* window_tree = nullptr;  // none: tilting does nothing
    ForegroundPid foreground;                  // none: the program watch finds nothing
    ProcessTable* processes = nullptr;         // none: the program watch finds nothing
    CMediaActions* media = nullptr;            // none: media events do nothing
  };

  CMonitorWnd(Setup setup, Services services);
  // Runs the end sequence when the window still exists.
  ~CMonitorWnd();
  CMonitorWnd(const CMonitorWnd&) = delete;
  CMonitorWnd& operator=(const CMonitorWnd&) = delete;

  // The start sequence. False when the window could not be created (title
  // taken, the shared block's mutex held by another process): the program ends.
  bool create();
  // The end sequence; does nothing when the window does not exist.
  void destroy();
  bool exists() const { return window_.exists(); }
  // Called once the window has been destroyed by a WM_CLOSE (the
  // application then ends).
  std::function<void()> on_destroyed;

  // The message table. Returns what a sender of the message receives.
  std::intptr_t window_proc(const platform::WindowMessage& m);

  // Operations other parts call.
  void apply_system_pointer_settings();
  void add_tray_icon();
  void remove_tray_icon();
  void open_option();

  // State, for the log and the tests.
  int connection_state() const { return state_.load(); }
  bool tray_icon_added() const { return icon_added_; }
  bool timer_active(int id) const;
  const LockedRecord& record() const { return *record_; }
  OsdSettings osd_settings() const { return osd_; }
  platform::WindowEndpoint* endpoint() const { return window_.endpoint(); }

 private:
  class SwitchSteps;

  // The start sequence's steps, in their order.
  bool create_window();
  void load_language();
  void open_registry_key();
  void load_hid_library();
  void load_settings_files();
  bool create_shared_record();
  void start_device_thread();
  bool open_mouse();
  void start_with_mouse();
  void fail_creation(const char* why);
  void on_timer(int id);
  void on_command(int id);
  void on_tray(std::intptr_t mouse_message);
  void on_copy_data(std::span<const uint8_t> data);
  void on_apply_all(std::uintptr_t wparam);
  void on_device_event(uint32_t word);
  void on_arrival();
  void on_removal();
  void on_settings_change(const DeviceAction& action);
  void on_program_watch();
  void on_tilt(int direction);
  void on_launch_button(int button);
  void on_media(int code, int state);
  void reload_osd_settings();
  void notify_osd_profile(int index);
  // Writes the profile's pointer settings to the registry first when asked,
  // applies them, and keeps what applying changed in the record.
  void apply_pointer_settings_of(ProfileRecord& profile, int index, bool write_registry);
  void start_timer(int id);
  void kill_timer(int id);
  void post_to_self(uint32_t msg, std::uintptr_t wparam, std::intptr_t lparam);

  Setup setup_;
  Services services_;

  platform::BusWindow window_;
  MtWindowHandle window_handle_{};
  std::unique_ptr<QObject> context_;  // owner of the timers
  QTimer* program_watch_timer_ = nullptr;
  QTimer* first_apply_timer_ = nullptr;
  std::unique_ptr<TrayIcon> tray_;
  bool icon_added_ = false;

  LanguageModule language_;
  PointerSettingsStore pointer_store_;
  std::unique_ptr<LockedRecord> record_;
  OsdSettings osd_;
  std::atomic<int> show_profile_osd_{0};
  SharedRecordBlock shared_;
  std::atomic<int> state_{kStateNoMouse};
  bool device_loaded_ = false;
  std::unique_ptr<DeviceJobRunner> runner_;
  std::unique_ptr<CProgramWatch> watch_;
};

}  // namespace mt
