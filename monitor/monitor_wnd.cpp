#include "monitor/monitor_wnd.h"

#include <QTimer>
#include <cstdio>

#include "common/settings_files.h"
#include "monitor/scroll_finder.h"
#include "monitor/tray_icon.h"
#include "platform/runtime_dir.h"
#include "platform/text.h"
#include "platform/window_messages.h"

namespace mt {

namespace {

using platform::WindowMessage;

void log_line(const char* text) { std::fprintf(stderr, "monitor: %s\n", text); }

template <typename... Args>
void log_format(const char* format, Args... args) {
  std::fprintf(stderr, "monitor: ");
  std::fprintf(stderr, format, args...);
  std::fputc('\n', stderr);
}

}  // namespace

// The program watch's steps of a profile switch, on this window.
class CMonitorWnd::SwitchSteps final : public ProfileSwitchSteps {
 public:
  explicit SwitchSteps(CMonitorWnd& wnd) : wnd_(wnd) {}

  void publish_record(const SettingsRecord& record) override {
    // The UI thread is the record's only writer, so the watch's copy differs
    // from it only in the new current profile; job 3 reads that from here.
    wnd_.record_->modify([&](SettingsRecord& r) { r.CurrentProfile = record.CurrentProfile; });
    wnd_.shared_.publish(*wnd_.record_);
  }
  void post_select_profile_job(int) override { wnd_.runner_->post(DeviceJob::kSelectProfile); }
  void apply_pointer_settings(ProfileRecord& profile) override {
    int index = -1;
    wnd_.record_->current_index(index);
    wnd_.apply_pointer_settings_of(profile, index, true);
  }
  void notify_option() override { post_to_option(WM_OPT_PROFILE_CHANGED); }
  void notify_osd(int p) override { wnd_.notify_osd_profile(p); }

 private:
  CMonitorWnd& wnd_;
};

CMonitorWnd::CMonitorWnd(Setup setup, Services services)
    : setup_(std::move(setup)),
      services_(std::move(services)),
      pointer_store_(setup_.registry_file),
      record_(std::make_unique<LockedRecord>()) {}

CMonitorWnd::~CMonitorWnd() {
  on_destroyed = nullptr;
  destroy();
}

void CMonitorWnd::fail_creation(const char* why) {
  log_format("cannot start: %s", why);
  // Undo what the creation had set up so far, in the end sequence's order.
  if (runner_) runner_->quit_and_join();
  runner_.reset();
  if (device_loaded_) services_.device->unload();
  device_loaded_ = false;
  shared_.close();
  language_.unload();
  context_.reset();
  window_.close();
}

bool CMonitorWnd::create() {
  if (window_.exists()) return true;
  if (!create_window()) return false;         // 1
  load_language();                            // 3-5
  open_registry_key();                        // 7
  load_hid_library();                         // 8
  load_settings_files();                      // 9
  reload_osd_settings();                      // 10
  if (!create_shared_record()) return false;  // 11-12
  start_device_thread();                      // 13
  const bool present = open_mouse();          // 15
  if (present)                                // 16
    start_with_mouse();
  else
    state_ = kStateNoMouse;
  write_device_state(setup_.settings_folder, present ? 1 : 0);  // 17
  apply_system_pointer_settings();                     // 18

  int current = -1;
  record_->current_index(current);
  log_format("started, device=%d, profile=%d, block=%d, icon=%d", present ? 1 : 0, current,
             shared_.has_block() ? 1 : 0, icon_added_ ? 1 : 0);
  return true;
}

// 1. The window itself: the endpoint with the window's title, its queue
// served on this thread whenever the bus descriptor is readable; and the
// window's two timers.
bool CMonitorWnd::create_window() {
  const platform::EndpointError error =
      window_.create(MONITOR_WINDOW_TITLE, [this](const WindowMessage& m) { return window_proc(m); });
  if (error != platform::EndpointError::none) {
    // A refused runtime folder is named with its path and the reason.
    const std::string refused =
        error == platform::EndpointError::runtime_dir ? platform::runtime_dir_problem() : std::string();
    if (!refused.empty())
      log_format("cannot start: %s", refused.c_str());
    else
      log_format("cannot start: no window \"%s\" (%s)", MONITOR_WINDOW_TITLE,
                 error == platform::EndpointError::title_in_use ? "title in use" : "window bus unusable");
    return false;
  }
  context_ = std::make_unique<QObject>();
  program_watch_timer_ = new QTimer(context_.get());
  program_watch_timer_->setInterval(kProgramWatchMs);
  QObject::connect(program_watch_timer_, &QTimer::timeout, context_.get(),
                   [this] { window_proc(WindowMessage{platform::WM_TIMER, TIMER_PROGRAM_WATCH, 0, 0, {}}); });
  first_apply_timer_ = new QTimer(context_.get());
  first_apply_timer_->setInterval(kFirstApplyMs);
  QObject::connect(first_apply_timer_, &QTimer::timeout, context_.get(),
                   [this] { window_proc(WindowMessage{platform::WM_TIMER, TIMER_FIRST_APPLY, 0, 0, {}}); });
  return true;
}

// 3-5. The program folder is the setup's (config.ini is in the settings
// folder the setup names); Monitor always speaks English.
void CMonitorWnd::load_language() { language_.load_for_language(setup_.folder, kLanguageEnglish); }

// 7. The pointer settings' registry key, created when missing.
void CMonitorWnd::open_registry_key() {
  RegistrySession session(setup_.registry_file);
  session.open_key(kMouseKey);
}

// 8. The HID library; without it (or some of its entry points) every call
// does nothing and reads as "no mouse".
void CMonitorWnd::load_hid_library() {
  device_loaded_ = services_.device->load(setup_.folder);
  if (!device_loaded_) {
    log_format("no HID library: %s", services_.device->load_problem().c_str());
  } else if (std::string problem = services_.device->load_problem(); !problem.empty()) {
    log_format("HID library: %s", problem.c_str());
  }
}

// 9. The settings files, or the factory values when they cannot be loaded.
void CMonitorWnd::load_settings_files() {
  auto loaded = std::make_unique<SettingsRecord>();
  clear(*loaded);
  if (load_settings(*loaded, setup_.settings_folder, &pointer_store_) != 1) set_factory_defaults(*loaded);
  record_->replace(*loaded);
}

// 11-12. The shared block's mutex (held by someone else: no start), then the
// block with the record in it.
bool CMonitorWnd::create_shared_record() {
  switch (shared_.create()) {
    case SharedRecordBlock::Status::mutex_in_use:
      fail_creation("another program holds the shared block's mutex");
      return false;
    case SharedRecordBlock::Status::no_block:
      log_line("shared block not created: the record is not published");
      return true;
    default:
      shared_.publish(*record_);
      return true;
  }
}

// 13. The device thread, and the foreground-program watch that timer 500 drives.
void CMonitorWnd::start_device_thread() {
  runner_ = std::make_unique<DeviceJobRunner>(
      *record_, *services_.device, *services_.device_sleeper, [this] { return state_.load() == kStateConnected; },
      DeviceJobRunner::Callbacks{
          .apply_done = [] { post_to_option(WM_OPT_APPLY_DONE); },
          .profile_selected = [this](int index) { notify_osd_profile(index); },
      });
  runner_->start();
  if (services_.processes) {
    ForegroundPid foreground = services_.foreground;
    if (!foreground) foreground = [] { return std::optional<int>(); };
    watch_ = std::make_unique<CProgramWatch>(std::move(foreground), *services_.processes);
  }
}

// 15. The mouse: ids, the device watch posting into this window, the two
// channels. True when the report channel opened: the mouse is there.
bool CMonitorWnd::open_mouse() {
  window_handle_.magic = MT_WINDOW_HANDLE_MAGIC;
  window_handle_.context = window_.endpoint();
  window_handle_.post = &platform::WindowEndpoint::post_from_any_thread;
  services_.device->set_vid_pid(MOUSE_VENDOR_ID, MOUSE_PRODUCT_ID);
  services_.device->open_dev_monitor(&window_handle_, WM_MON_DEVICE_EVENT, WM_MON_DEVICE_CONNECTION);
  services_.device->open_feature_device();
  return services_.device->open_report_device() != 0;
}

// 16. With the mouse: the watch, the first write, the icon, and Option when
// the start asked for it.
void CMonitorWnd::start_with_mouse() {
  state_ = kStateConnected;
  start_timer(TIMER_PROGRAM_WATCH);
  start_timer(TIMER_FIRST_APPLY);
  add_tray_icon();
  if (setup_.start_with_option) open_option();
}

void CMonitorWnd::destroy() {
  if (!window_.exists()) return;
  log_line("ending");
  // 1. Timers.
  kill_timer(TIMER_PROGRAM_WATCH);
  kill_timer(TIMER_FIRST_APPLY);
  // 2-3. Option and the on-screen displays are asked to close.
  post_to_option(platform::WM_CLOSE);
  close_osd_windows();
  // 4. The device thread finishes what was queued before, then ends.
  if (runner_) runner_->quit_and_join();
  runner_.reset();
  // 5. Channels, device watch, library.
  services_.device->close_report_device();
  services_.device->close_feature_device();
  services_.device->close_dev_monitor();
  services_.device->unload();
  device_loaded_ = false;
  // 8. The shared block and its mutex.
  shared_.close();
  // 9. The icon.
  remove_tray_icon();
  tray_.reset();
  // 10. The language module.
  language_.unload();
  // 11. The window itself. A message still queued for it is dropped with it.
  watch_.reset();
  program_watch_timer_ = nullptr;
  first_apply_timer_ = nullptr;
  context_.reset();
  window_.close();
  log_line("ended");
  if (on_destroyed) on_destroyed();
}

std::intptr_t CMonitorWnd::window_proc(const WindowMessage& m) {
  switch (m.msg) {
    case platform::WM_TIMER:
      on_timer(static_cast<int>(m.wparam));
      return 0;
    case platform::WM_COPYDATA:
      on_copy_data(m.data);
      return 1;
    case platform::WM_DEVICECHANGE:
      return 1;
    case WM_MON_APPLY_ALL:
      on_apply_all(m.wparam);
      return 0;
    case WM_MON_COPY_BLOCK:
      shared_.fetch(*record_);
      return 0;
    case WM_MON_APPLY_SYSTEM:
      shared_.fetch(*record_);
      apply_system_pointer_settings();
      return 0;
    case WM_MON_RESERVED:
      return 0;
    case WM_MON_TRAY:
      on_tray(m.lparam);
      return 0;
    case WM_MON_DEVICE_EVENT:
      on_device_event(event_word_from_device_event(m.wparam, m.lparam));
      return 1;
    case WM_MON_DEVICE_CONNECTION:
      on_device_event(event_word_from_connection(m.wparam));
      return 1;
    case WM_MON_1327:
      return 1;
    case platform::WM_COMMAND:
      on_command(static_cast<int>(m.wparam & 0xFFFF));
      return 0;
    case platform::WM_CLOSE:
      // Destroyed as soon as this dispatch has returned.
      window_.close_later([this] { destroy(); });
      return 0;
    default:
      return 0;
  }
}

bool CMonitorWnd::timer_active(int id) const {
  if (id == TIMER_PROGRAM_WATCH) return program_watch_timer_ && program_watch_timer_->isActive();
  if (id == TIMER_FIRST_APPLY) return first_apply_timer_ && first_apply_timer_->isActive();
  return false;
}

void CMonitorWnd::start_timer(int id) {
  if (id == TIMER_PROGRAM_WATCH && program_watch_timer_) program_watch_timer_->start();
  if (id == TIMER_FIRST_APPLY && first_apply_timer_) first_apply_timer_->start();
}

void CMonitorWnd::kill_timer(int id) {
  if (id == TIMER_PROGRAM_WATCH && program_watch_timer_) program_watch_timer_->stop();
  if (id == TIMER_FIRST_APPLY && first_apply_timer_) first_apply_timer_->stop();
}

void CMonitorWnd::post_to_self(uint32_t msg, std::uintptr_t wparam, std::intptr_t lparam) {
  window_.post_to_self(msg, wparam, lparam);
}

void CMonitorWnd::on_timer(int id) {
  if (id == TIMER_PROGRAM_WATCH) {
    on_program_watch();
  } else if (id == TIMER_FIRST_APPLY) {
    kill_timer(TIMER_FIRST_APPLY);
    log_line("first write (job 2)");
    runner_->post(DeviceJob::kWriteProfile);
  }
}

void CMonitorWnd::on_command(int id) {
  if (id == ID_TRAY_OPEN_OPTION) {
    open_option();
  } else if (id == ID_TRAY_EXIT) {
    post_to_self(platform::WM_CLOSE, 0, 0);
  }
}

void CMonitorWnd::on_tray(std::intptr_t mouse_message) {
  switch (mouse_message) {
    case platform::WM_LBUTTONDOWN:
      // Monitor has no window of its own to bring forward.
      break;
    case platform::WM_LBUTTONDBLCLK:
      open_option();
      break;
    default:
      // The menu: the notification area shows it on a right click by itself.
      break;
  }
}

void CMonitorWnd::open_option() {
  if (platform::window_exists(OPTION_WINDOW_TITLE)) {
    // Another program's window cannot be raised from here (the window
    // manager decides what comes to the front); a second copy is not started.
    log_line("open Option: already running");
    return;
  }
  std::string path = setup_.folder + "Option";
  log_format("open Option: starting %s", path.c_str());
  services_.launcher->start(path);
}

void CMonitorWnd::add_tray_icon() {
  if (icon_added_) return;
  icon_added_ = true;
  if (!setup_.use_tray) return;
  if (!tray_) {
    tray_ = std::make_unique<TrayIcon>(TrayIcon::Handlers{
        .left_click = [this] { on_tray(platform::WM_LBUTTONDOWN); },
        .double_click = [this] { on_tray(platform::WM_LBUTTONDBLCLK); },
        // As the menu of the icon does: the command comes to the window as WM_COMMAND.
        .command = [this](int id) { post_to_self(platform::WM_COMMAND, static_cast<std::uintptr_t>(id), 0); },
    });
  }
  TrayIcon::Texts texts;
  texts.tip = language_.text(kTextTip);
  texts.open_item = language_.text(kTextOpenOption);
  texts.exit_item = language_.text(kTextExit);
  texts.open_id = ID_TRAY_OPEN_OPTION;
  texts.exit_id = ID_TRAY_EXIT;
  if (!tray_->add(texts)) log_line("no notification area: running without the icon");
}

void CMonitorWnd::remove_tray_icon() {
  icon_added_ = false;
  if (tray_) tray_->remove();
}

void CMonitorWnd::reload_osd_settings() {
  // A missing or damaged value keeps what Monitor had (nothing at the start).
  load_osd_settings(setup_.settings_folder, osd_);
  show_profile_osd_.store(osd_.show_profile_osd);
}

void CMonitorWnd::notify_osd_profile(int index) {
  // Runs on the device thread too (after job 3), hence the atomic copy.
  if (show_profile_osd_.load() != 1) return;
  post_to_osd(WM_OSD_SHOW, 40, osd_profile_lparam(index));
}

void CMonitorWnd::apply_pointer_settings_of(ProfileRecord& profile, int index, bool write_registry) {
  if (write_registry) pointer_store_.write_to_registry(profile);
  pointer_store_.apply_to_system(profile, *services_.pointer);
  // Applying may turn a stale acceleration off; the record keeps that.
  const int32_t acceleration = profile.Acceleration;
  record_->modify([&](SettingsRecord& r) {
    if (r.CurrentProfile == index && index >= 0 && index < kProfileCount)
      r.profiles[index].Acceleration = acceleration;
  });
}

void CMonitorWnd::apply_system_pointer_settings() {
  auto profile = std::make_unique<ProfileRecord>();
  int index = -1;
  if (!record_->copy_current(*profile, index)) return;
  apply_pointer_settings_of(*profile, index, false);
}

void CMonitorWnd::on_apply_all(std::uintptr_t wparam) {
  shared_.fetch(*record_);
  apply_system_pointer_settings();
  reload_osd_settings();
  post_to_osd(WM_OSD_CONFIG, 0, osd_config_lparam(osd_));
  if (state_.load() == kStateConnected) {
    log_format("apply (%d): job 1", static_cast<int>(wparam));
    runner_->post(DeviceJob::kApplyAll);
  } else {
    log_format("apply (%d): no mouse, done at once", static_cast<int>(wparam));
    post_to_option(WM_OPT_APPLY_DONE);
  }
}

void CMonitorWnd::on_copy_data(std::span<const uint8_t> data) {
  std::optional<std::u16string> text = osd_message_text(data);
  if (!text) return;
  store_osd_message(setup_.settings_folder, *text);
  log_format("on-screen message stored (%zu units)", text->size());
  if (state_.load() == kStateConnected) post_to_osd(WM_OSD_SHOW, 50, 0);
}

void CMonitorWnd::on_device_event(uint32_t word) {
  DeviceAction action = decode_event(word, state_.load());
  switch (action.kind) {
    case DeviceActionKind::kIgnore:
      return;
    case DeviceActionKind::kArrival:
      on_arrival();
      return;
    case DeviceActionKind::kRemoval:
      on_removal();
      return;
    case DeviceActionKind::kScrollRight:
      on_tilt(-1);
      return;
    case DeviceActionKind::kScrollLeft:
      on_tilt(+1);
      return;
    case DeviceActionKind::kLaunchButton:
      on_launch_button(action.button);
      return;
    case DeviceActionKind::kOpenOption:
      post_to_self(platform::WM_COMMAND, ID_TRAY_OPEN_OPTION, 0);
      return;
    case DeviceActionKind::kMedia:
      on_media(action.media_code, action.media_state);
      return;
    default:
      on_settings_change(action);
      return;
  }
}

void CMonitorWnd::on_arrival() {
  log_format("mouse arrived, opening in %d ms", setup_.arrival_wait_ms);
  services_.ui_wait(setup_.arrival_wait_ms);
  state_ = kStateConnected;
  services_.device->open_feature_device();
  services_.device->open_report_device();
  runner_->post(DeviceJob::kWriteProfile);
  add_tray_icon();
  write_device_state(setup_.settings_folder, 1);
  start_timer(TIMER_PROGRAM_WATCH);
  log_line("mouse opened (job 2)");
}

void CMonitorWnd::on_removal() {
  state_ = kStateRemoved;
  services_.device->close_report_device();
  services_.device->close_feature_device();
  remove_tray_icon();
  kill_timer(TIMER_PROGRAM_WATCH);
  write_device_state(setup_.settings_folder, 0);
  post_to_option(platform::WM_CLOSE);
  log_line("mouse removed");
}

void CMonitorWnd::on_settings_change(const DeviceAction& action) {
  SettingsNotice notice = SettingsNotice::kNone;
  record_->modify([&](SettingsRecord& r) { notice = apply_settings_change(r, action); });
  switch (notice) {
    case SettingsNotice::kNone:
      return;
    case SettingsNotice::kProfile: {
      write_current_profile(setup_.settings_folder, action.profile);
      shared_.publish(*record_);
      auto profile = std::make_unique<ProfileRecord>();
      int index = -1;
      if (record_->copy_current(*profile, index)) apply_pointer_settings_of(*profile, index, true);
      post_to_option(WM_OPT_PROFILE_CHANGED);
      notify_osd_profile(action.profile);
      log_format("profile %d from the mouse", action.profile);
      return;
    }
    case SettingsNotice::kLevel:
      shared_.publish(*record_);
      post_to_option(WM_OPT_LEVEL_CHANGED);
      log_line("level settings from the mouse");
      return;
    case SettingsNotice::kReset: {
      auto copy = std::make_unique<SettingsRecord>();
      record_->copy_all(*copy);
      if (save_settings(*copy, setup_.settings_folder, &pointer_store_) != 1) log_line("factory reset: a file was not saved");
      apply_system_pointer_settings();
      shared_.publish(*record_);
      post_to_option(WM_OPT_DEVICE_RESET);
      log_line("factory reset from the mouse");
      return;
    }
  }
}

void CMonitorWnd::on_program_watch() {
  if (!watch_) return;
  auto copy = std::make_unique<SettingsRecord>();
  record_->copy_all(*copy);
  std::optional<int> p = watch_->tick(*copy);
  if (!p) return;
  log_format("program watch: profile %d", *p);
  SwitchSteps steps(*this);
  switch_to_profile(*copy, *p, steps);
}

void CMonitorWnd::on_tilt(int direction) {
  if (!services_.window_tree) return;
  auto profile = std::make_unique<ProfileRecord>();
  int index = -1;
  if (!record_->copy_current(*profile, index)) return;
  CFindScrollBar finder(*services_.window_tree);
  finder.scroll(direction, profile->TiltSpeed);
}

void CMonitorWnd::on_launch_button(int button) {
  auto profile = std::make_unique<ProfileRecord>();
  int index = -1;
  if (!record_->copy_current(*profile, index)) return;
  if (start_button_program(*profile, button, *services_.launcher)) log_format("button %d: program started", button);
}

void CMonitorWnd::on_media(int code, int state) {
  if (!services_.media) return;
  auto profile = std::make_unique<ProfileRecord>();
  int index = -1;
  if (!record_->copy_current(*profile, index)) return;
  services_.media->media_action(profile->MediaOption, code, state);
}

}  // namespace mt
