// Monitor's main window in this process: its start and end, the message
// table, the device events and the channel to Option and the displays, over
// a recording HID link, real files, a real shared block and real windows on
// the bus (in a private runtime folder).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <map>
#include <thread>

#include "common/pointer_settings_fake.h"
#include "common/product.h"
#include "common/settings_files.h"
#include "monitor/monitor_wnd.h"
#include "monitor_test_support.h"
#include "platform/ini_file.h"
#include "platform/named_objects.h"
#include "platform/text.h"
#include "platform/window_messages.h"

namespace mt {
namespace {

using monitor_test::count;
using monitor_test::Peer;
using monitor_test::PrivateRuntime;
using monitor_test::Received;
using monitor_test::RecordingLink;
using monitor_test::TempFolder;
using platform::WindowMessage;
namespace pm = platform;

class NoSleep final : public Sleeper {
 public:
  void sleep_ms(int ms) override { total += ms; }
  std::atomic<int> total{0};
};

class RecordingLauncher final : public platform::ProcessLauncher {
 public:
  bool start(std::string_view path) override {
    started.emplace_back(path);
    return true;
  }
  std::vector<std::string> started;
};

class FakeProcesses final : public ProcessTable {
 public:
  std::optional<std::string> executable_name(int pid) override {
    auto it = names.find(pid);
    if (it == names.end()) return std::nullopt;
    return it->second;
  }
  std::map<int, std::string> names;
};

WindowMessage msg(uint32_t m, uintptr_t w = 0, intptr_t l = 0) { return WindowMessage{m, w, l, 0, {}}; }

bool contains(const std::vector<std::string>& v, const std::string& s) {
  return std::find(v.begin(), v.end(), s) != v.end();
}

int count_of(const std::vector<std::string>& v, const std::string& s) {
  return static_cast<int>(std::count(v.begin(), v.end(), s));
}

class MonitorWndTest : public ::testing::Test {
 protected:
  // Factory settings with profile 0 current, and the OSD settings.
  void write_settings(int show_profile_osd = 1, const std::function<void(SettingsRecord&)>& edit = {}) {
    auto record = std::make_unique<SettingsRecord>();
    clear(*record);
    set_factory_defaults(*record);
    record->LanguageID = 0;
    if (edit) edit(*record);
    ASSERT_EQ(save_settings(*record, settings_path(), nullptr), 1);
    uint8_t osd[kOsdSettingsBytes] = {};
    osd[8] = static_cast<uint8_t>(show_profile_osd);
    osd[32] = 0x02, osd[33] = 0x01;  // high 0x0102
    osd[36] = 0x04, osd[37] = 0x03;  // low 0x0304
    ASSERT_TRUE(pm::ini_set_struct(ini(), u"OSDSetting", u"config", osd, sizeof osd));
  }

  bool start(bool present, bool with_option = false) {
    link = std::make_unique<RecordingLink>(present);
    CMonitorWnd::Setup setup;
    setup.folder = folder.path();
    setup.settings_folder = settings_path();
    setup.start_with_option = with_option;
    setup.registry_file = config_home.path() + "registry.ini";
    CMonitorWnd::Services services;
    services.device = link.get();
    services.pointer = &pointer;
    services.launcher = &launcher;
    services.device_sleeper = &sleeper;
    services.ui_wait = [this](int ms) { waits.push_back(ms); };
    services.processes = &processes;
    services.foreground = [this] { return foreground_pid; };
    wnd = std::make_unique<CMonitorWnd>(setup, services);
    wnd->on_destroyed = [this] { ++destroyed; };
    return wnd->create();
  }

  // Where config.ini and config/ are: the program folder unless a test names another.
  std::string settings_path() const { return settings_folder.empty() ? folder.path() : settings_folder; }
  std::string ini() const { return config_ini_path(settings_path()); }
  int setting(const char16_t* key) const { return pm::ini_get_int(ini(), u"Setting", key, -99); }

  // Option's view of the shared block.
  std::unique_ptr<SettingsRecord> block() const {
    auto out = std::make_unique<SettingsRecord>();
    pm::SharedBlock view = pm::SharedBlock::open(SHARED_BLOCK_NAME, sizeof(SettingsRecord));
    EXPECT_TRUE(view.valid());
    if (view.valid()) std::memcpy(out.get(), view.data(), sizeof *out);
    return out;
  }
  // What Option does on Apply: the block is changed, then a message is posted.
  void edit_block(const std::function<void(SettingsRecord&)>& edit) const {
    pm::SharedBlock view = pm::SharedBlock::open(SHARED_BLOCK_NAME, sizeof(SettingsRecord));
    ASSERT_TRUE(view.valid());
    edit(*static_cast<SettingsRecord*>(view.data()));
  }

  // Handles what was posted to the window itself (menu commands, the library).
  void dispatch_own() {
    for (int i = 0; i < 20 && wnd->exists(); ++i) wnd->endpoint()->dispatch(10);
  }

  int current_profile() const {
    int index = -1;
    wnd->record().current_index(index);
    return index;
  }

  std::vector<std::string> transfers() const {
    std::vector<std::string> out;
    for (const std::string& c : link->calls())
      if (c[0] == 'F' || c[0] == 'D') out.push_back(c);
    return out;
  }

  PrivateRuntime runtime;
  TempFolder folder;
  std::string settings_folder;
  TempFolder config_home;
  std::unique_ptr<RecordingLink> link;
  RecordingPointerSystem pointer;
  RecordingLauncher launcher;
  NoSleep sleeper;
  FakeProcesses processes;
  std::optional<int> foreground_pid;
  std::vector<int> waits;
  int destroyed = 0;
  std::unique_ptr<CMonitorWnd> wnd;
};

TEST_F(MonitorWndTest, StartWithTheMouseWritesTheProfileOnTimer502AndTellsNobody) {
  write_settings();
  Peer option(OPTION_WINDOW_TITLE);
  Peer osd(OSD_WINDOW_TITLE);
  std::vector<std::unique_ptr<Peer>> companions;
  for (const char* t : OSD_COMPANION_TITLES) companions.push_back(std::make_unique<Peer>(t));
  ASSERT_TRUE(option.ok() && osd.ok());

  ASSERT_TRUE(start(true));
  EXPECT_TRUE(pm::window_exists(MONITOR_WINDOW_TITLE));
  EXPECT_EQ(wnd->connection_state(), kStateConnected);
  EXPECT_TRUE(wnd->timer_active(CMonitorWnd::TIMER_PROGRAM_WATCH));
  EXPECT_TRUE(wnd->timer_active(CMonitorWnd::TIMER_FIRST_APPLY));
  EXPECT_TRUE(wnd->tray_icon_added());
  EXPECT_EQ(setting(u"Device"), 1);
  EXPECT_EQ(link->calls(), (std::vector<std::string>{"load", "vidpid 4119 32771", "monitor 1325 1326",
                                                     "open_feature", "open_report"}));
  // The record is published as loaded, and the pointer settings applied.
  auto published = block();
  auto mine = std::make_unique<SettingsRecord>();
  wnd->record().copy_all(*mine);
  EXPECT_EQ(std::memcmp(published.get(), mine.get(), sizeof *mine), 0);
  EXPECT_EQ(published->CurrentProfile, 0);
  EXPECT_EQ(pointer.double_click_ms, mine->profiles[0].DbleClickSpeed);

  EXPECT_EQ(wnd->window_proc(msg(pm::WM_TIMER, CMonitorWnd::TIMER_FIRST_APPLY)), 0);
  EXPECT_FALSE(wnd->timer_active(CMonitorWnd::TIMER_FIRST_APPLY));
  wnd->destroy();  // the queued job finishes first

  std::vector<std::string> t = transfers();
  ASSERT_FALSE(t.empty());
  EXPECT_EQ(t.front(), "F01");
  EXPECT_EQ(count_of(t, "F01"), 1) << "one write";
  std::vector<std::string> calls = link->calls();
  std::vector<std::string> tail(calls.end() - 4, calls.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"close_report", "close_feature", "close_monitor", "unload"}));
  EXPECT_FALSE(pm::window_exists(MONITOR_WINDOW_TITLE));

  std::vector<Received> to_option = option.collect();
  EXPECT_EQ(count(to_option, WM_OPT_APPLY_DONE), 0) << "the first write is not announced";
  EXPECT_EQ(count(to_option, pm::WM_CLOSE), 1);
  EXPECT_EQ(count(osd.collect(), pm::WM_CLOSE), 1);
  for (auto& c : companions) EXPECT_EQ(count(c->collect(), pm::WM_CLOSE), 1);
}

TEST_F(MonitorWndTest, StartWithoutTheMouse) {
  write_settings();
  ASSERT_TRUE(start(false));
  EXPECT_EQ(wnd->connection_state(), kStateNoMouse);
  EXPECT_FALSE(wnd->timer_active(CMonitorWnd::TIMER_PROGRAM_WATCH));
  EXPECT_FALSE(wnd->timer_active(CMonitorWnd::TIMER_FIRST_APPLY));
  EXPECT_FALSE(wnd->tray_icon_added());
  EXPECT_EQ(setting(u"Device"), 0);
}

TEST_F(MonitorWndTest, StartWithOptionFlagStartsOptionOnlyWithTheMouse) {
  write_settings();
  ASSERT_TRUE(start(false, true));
  EXPECT_TRUE(launcher.started.empty());
  wnd.reset();
  ASSERT_TRUE(start(true, true));
  EXPECT_EQ(launcher.started, std::vector<std::string>{folder.path() + "Option"});
}

TEST_F(MonitorWndTest, AnotherHolderOfTheBlockMutexStopsTheStart) {
  write_settings();
  pm::NamedMutex option_holds = pm::NamedMutex::create(SHARED_BLOCK_MUTEX_NAME);
  ASSERT_TRUE(option_holds.valid());
  EXPECT_FALSE(start(true));
  EXPECT_FALSE(wnd->exists());
  EXPECT_FALSE(pm::window_exists(MONITOR_WINDOW_TITLE));
  EXPECT_FALSE(contains(link->calls(), "open_report")) << "the mouse is not opened";
}

TEST_F(MonitorWndTest, MessageTableReturns) {
  write_settings();
  ASSERT_TRUE(start(false));
  const uint8_t ten[10] = {};
  WindowMessage copy_short = msg(pm::WM_COPYDATA);
  copy_short.data = ten;
  struct Case {
    WindowMessage m;
    std::intptr_t result;
  } cases[] = {
      {msg(WM_MON_APPLY_ALL), 0},
      {msg(WM_MON_COPY_BLOCK), 0},
      {msg(WM_MON_APPLY_SYSTEM), 0},
      {msg(WM_MON_RESERVED), 0},
      {msg(pm::WM_DEVICECHANGE, 7), 1},
      {msg(WM_MON_1327), 1},
      {msg(WM_MON_DEVICE_EVENT, 0x4000, 1), 1},
      {msg(WM_MON_DEVICE_CONNECTION, 7), 1},
      {copy_short, 1},
      {msg(WM_MON_TRAY, 0, pm::WM_LBUTTONDOWN), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(wnd->window_proc(c.m), c.result) << "message " << c.m.msg;
  EXPECT_EQ(wnd->connection_state(), kStateNoMouse) << "1326 with wParam 7 changes nothing";
}

TEST_F(MonitorWndTest, ApplyWithoutTheMouseTakesTheBlockAndAnswersAtOnce) {
  write_settings();
  ASSERT_TRUE(start(false));
  Peer option(OPTION_WINDOW_TITLE);
  Peer osd(OSD_WINDOW_TITLE);
  edit_block([](SettingsRecord& r) {
    r.CurrentProfile = 2;
    r.profiles[2].DbleClickSpeed = 777;
  });

  EXPECT_EQ(wnd->window_proc(msg(WM_MON_APPLY_ALL)), 0);
  EXPECT_EQ(current_profile(), 2);
  EXPECT_EQ(pointer.double_click_ms, 777);
  std::vector<Received> to_option = option.collect();
  ASSERT_EQ(to_option.size(), 1u);
  EXPECT_EQ(to_option[0].msg, WM_OPT_APPLY_DONE);
  std::vector<Received> to_osd = osd.collect();
  ASSERT_EQ(to_osd.size(), 1u);
  EXPECT_EQ(to_osd[0].msg, WM_OSD_CONFIG);
  EXPECT_EQ(to_osd[0].wparam, 0u);
  EXPECT_EQ(to_osd[0].lparam, 0x01020304);
  wnd->destroy();
  EXPECT_TRUE(transfers().empty());
}

TEST_F(MonitorWndTest, TwoAppliesWithTheMouseAreTwoWritesEachAnswered) {
  write_settings();
  ASSERT_TRUE(start(true));
  Peer option(OPTION_WINDOW_TITLE);
  edit_block([](SettingsRecord& r) { r.profiles[0].PollingRate = 0; });
  wnd->window_proc(msg(WM_MON_APPLY_ALL));
  wnd->window_proc(msg(WM_MON_APPLY_ALL));
  EXPECT_TRUE(option.wait_for(WM_OPT_APPLY_DONE));
  wnd->destroy();
  EXPECT_EQ(count(option.collect(), WM_OPT_APPLY_DONE), 2);
  EXPECT_EQ(count_of(transfers(), "F01"), 2);
  // Rate 0 (125 reports/s) came from the block: interval 8 ms.
  EXPECT_EQ(link->features().front()[1], 8);
}

TEST_F(MonitorWndTest, ReloadsTheOsdSettingsOnApplyAndKeepsThemWhenTheValueIsBad) {
  write_settings(0);
  ASSERT_TRUE(start(true));
  EXPECT_EQ(wnd->osd_settings().show_profile_osd, 0);
  uint8_t osd[kOsdSettingsBytes] = {};
  osd[8] = 1;
  osd[32] = 0x05;  // high word 5
  ASSERT_TRUE(pm::ini_set_struct(ini(), u"OSDSetting", u"config", osd, sizeof osd));
  wnd->window_proc(msg(WM_MON_APPLY_ALL));
  EXPECT_EQ(wnd->osd_settings().show_profile_osd, 1);

  // A damaged value, then no config.ini at all: the settings Monitor had
  // stay, so the display gets the same word and still hears of profiles.
  Peer osd_window(OSD_WINDOW_TITLE);
  ASSERT_TRUE(pm::ini_set_string(ini(), u"OSDSetting", u"config", u"00FF"));
  wnd->window_proc(msg(WM_MON_APPLY_ALL));
  ASSERT_TRUE(std::filesystem::remove(ini()));
  wnd->window_proc(msg(WM_MON_APPLY_ALL));
  EXPECT_EQ(wnd->osd_settings().show_profile_osd, 1);
  EXPECT_EQ(wnd->osd_settings().config_high, 5);
  wnd->window_proc(msg(WM_MON_DEVICE_EVENT, 0x0801, 1));
  std::vector<Received> got = osd_window.collect();
  ASSERT_EQ(got.size(), 3u);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(got[i].msg, WM_OSD_CONFIG);
    EXPECT_EQ(got[i].lparam, 0x00050000);
  }
  EXPECT_EQ(got[2].msg, WM_OSD_SHOW);
  EXPECT_EQ(got[2].lparam, 1 << 16);
}

TEST_F(MonitorWndTest, OnScreenMessageFromCopyData) {
  write_settings();
  ASSERT_TRUE(start(true));
  Peer osd(OSD_WINDOW_TITLE);
  std::vector<uint8_t> data(302, 0);
  const char16_t text[] = u"#CPU 42%";
  for (std::size_t i = 0; i + 1 < std::size(text); ++i) {
    data[2 * i] = static_cast<uint8_t>(text[i]);
    data[2 * i + 1] = static_cast<uint8_t>(text[i] >> 8);
  }
  WindowMessage m = msg(pm::WM_COPYDATA, 1234);
  m.data = data;
  EXPECT_EQ(wnd->window_proc(m), 1);
  EXPECT_EQ(pm::ini_get_string(ini(), u"OSDData", u"Message", u"?"), u"CPU 42%");
  std::vector<Received> got = osd.collect();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].msg, WM_OSD_SHOW);
  EXPECT_EQ(got[0].wparam, 50u);
  EXPECT_EQ(got[0].lparam, 0);

  // One byte short: nothing stored, nothing shown, still TRUE.
  std::vector<uint8_t> other(301, 0x41);
  m.data = other;
  EXPECT_EQ(wnd->window_proc(m), 1);
  EXPECT_EQ(pm::ini_get_string(ini(), u"OSDData", u"Message", u"?"), u"CPU 42%");
  EXPECT_TRUE(osd.collect().size() == 1u);

  // Removed: stored, but the display is not told.
  wnd->window_proc(msg(WM_MON_DEVICE_CONNECTION, 0));
  osd.clear();
  data[2] = 'G';
  m.data = data;
  wnd->window_proc(m);
  EXPECT_EQ(pm::ini_get_string(ini(), u"OSDData", u"Message", u"?"), u"GPU 42%");
  EXPECT_TRUE(osd.collect().empty());
}

TEST_F(MonitorWndTest, ProfileChangedOnTheMouse) {
  for (int show : {1, 0}) {
    SCOPED_TRACE(show);
    write_settings(show, [](SettingsRecord& r) { r.profiles[3].DbleClickSpeed = 612; });
    ASSERT_TRUE(start(true));
    Peer option(OPTION_WINDOW_TITLE);
    Peer osd(OSD_WINDOW_TITLE);

    EXPECT_EQ(wnd->window_proc(msg(WM_MON_DEVICE_EVENT, 0x0805, 5)), 1);  // no profile 5
    EXPECT_EQ(current_profile(), 0);
    EXPECT_EQ(wnd->window_proc(msg(WM_MON_DEVICE_EVENT, 0x0803, 3)), 1);
    EXPECT_EQ(current_profile(), 3);
    EXPECT_EQ(setting(u"CurrentProfile"), 3);
    EXPECT_EQ(block()->CurrentProfile, 3);
    EXPECT_EQ(pointer.double_click_ms, 612);
    EXPECT_EQ(registry_get_string(kMouseKey, u"DoubleClickSpeed", config_home.path() + "registry.ini"), u"612");

    std::vector<Received> to_option = option.collect();
    ASSERT_EQ(to_option.size(), 1u);
    EXPECT_EQ(to_option[0].msg, WM_OPT_PROFILE_CHANGED);
    std::vector<Received> to_osd = osd.collect();
    if (show == 1) {
      ASSERT_EQ(to_osd.size(), 1u);
      EXPECT_EQ(to_osd[0].msg, WM_OSD_SHOW);
      EXPECT_EQ(to_osd[0].wparam, 40u);
      EXPECT_EQ(to_osd[0].lparam, 3 << 16);
    } else {
      EXPECT_TRUE(to_osd.empty());
    }
    wnd.reset();
    EXPECT_TRUE(transfers().empty()) << "the mouse already holds its change";
  }
}

TEST_F(MonitorWndTest, LevelChangesOnTheMouse) {
  write_settings();
  ASSERT_TRUE(start(true));
  Peer option(OPTION_WINDOW_TITLE);
  struct Case {
    uint16_t type, value;
    bool announced;
  } cases[] = {
      {0x0703, 3, true},    // CpiStep 2
      {0x0706, 6, false},   // no level 6
      {0xB100, 0x2010, true},
      {0xB100, 0x0110, false},
      {0xC000, 0x0505, true},
      {0xC000, 0x1500, false},
      {0xD000, 0x0004, true},
  };
  for (const Case& c : cases) {
    wnd->window_proc(msg(WM_MON_DEVICE_EVENT, c.type, c.value));
    EXPECT_EQ(count(option.collect(), WM_OPT_LEVEL_CHANGED), c.announced ? 1 : 0)
        << std::hex << c.type << " " << c.value;
    option.clear();
  }
  auto published = block();
  const ProfileRecord& p = published->profiles[0];
  EXPECT_EQ(p.CpiStep, 2);
  EXPECT_EQ(p.CpiLevel_X[2], 8);
  EXPECT_EQ(p.CpiLevel_Y[2], 16);
  EXPECT_EQ(p.Sensitivity_X, 5);
  EXPECT_EQ(p.PollingRate, 3);
}

TEST_F(MonitorWndTest, FactoryResetOnTheMouse) {
  write_settings(1, [](SettingsRecord& r) {
    r.CurrentProfile = 2;
    pm::set_fixed_text(r.profiles[1].ProFileName, u"Mine");
  });
  ASSERT_TRUE(start(true));
  Peer option(OPTION_WINDOW_TITLE);
  wnd->window_proc(msg(WM_MON_DEVICE_EVENT, 0x0B00, 3));
  EXPECT_EQ(current_profile(), 0);
  EXPECT_EQ(setting(u"CurrentProfile"), 0);
  auto reread = std::make_unique<ProfileRecord>();
  ASSERT_TRUE(read_profile_file(*reread, profile_file_path(folder.path(), 1)));
  EXPECT_EQ(platform::fixed_text(reread->ProFileName), u"Default2");
  auto published = block();
  EXPECT_EQ(published->CurrentProfile, 0);
  EXPECT_EQ(published->button_changed[4][15], 1);
  EXPECT_EQ(published->section_changed[4][4], 1);
  std::vector<Received> got = option.collect();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].msg, WM_OPT_DEVICE_RESET);
}

TEST_F(MonitorWndTest, SettingsGoToTheSettingsFolderAndNothingElseDoes) {
  // An installed program folder: settings elsewhere, Option still started
  // from the program folder, and nothing written into it.
  TempFolder settings;
  settings_folder = settings.path();
  write_settings(1, [](SettingsRecord& r) { r.CurrentProfile = 3; });
  ASSERT_TRUE(start(true, true));
  EXPECT_EQ(current_profile(), 3);
  EXPECT_EQ(launcher.started, std::vector<std::string>{folder.path() + "Option"});
  EXPECT_EQ(setting(u"Device"), 1);

  wnd->window_proc(msg(WM_MON_DEVICE_EVENT, 0x0802, 2));
  EXPECT_EQ(setting(u"CurrentProfile"), 2);
  std::vector<uint8_t> data(302, 0);
  data[2] = 'H', data[4] = 'i';
  WindowMessage copy = msg(pm::WM_COPYDATA, 1234);
  copy.data = data;
  wnd->window_proc(copy);
  EXPECT_EQ(pm::ini_get_string(ini(), u"OSDData", u"Message", u"?"), u"Hi");
  wnd->window_proc(msg(WM_MON_DEVICE_EVENT, 0x0B00, 3));
  auto reread = std::make_unique<ProfileRecord>();
  EXPECT_TRUE(read_profile_file(*reread, profile_file_path(settings.path(), 4)));
  wnd->destroy();

  EXPECT_FALSE(std::filesystem::exists(config_ini_path(folder.path())));
  EXPECT_FALSE(std::filesystem::exists(config_dir_path(folder.path())));
}

TEST_F(MonitorWndTest, RemovalAndArrival) {
  write_settings();
  ASSERT_TRUE(start(true));
  Peer option(OPTION_WINDOW_TITLE);
  link->clear();

  wnd->window_proc(msg(WM_MON_DEVICE_CONNECTION, 0));
  EXPECT_EQ(wnd->connection_state(), kStateRemoved);
  EXPECT_EQ(link->calls(), (std::vector<std::string>{"close_report", "close_feature"}));
  EXPECT_FALSE(wnd->tray_icon_added());
  EXPECT_FALSE(wnd->timer_active(CMonitorWnd::TIMER_PROGRAM_WATCH));
  EXPECT_EQ(setting(u"Device"), 0);
  EXPECT_EQ(count(option.collect(), pm::WM_CLOSE), 1) << "Option closes while the mouse is away";
  wnd->window_proc(msg(WM_MON_DEVICE_CONNECTION, 0));
  EXPECT_EQ(link->calls().size(), 2u) << "a second removal is ignored";

  link->clear();
  wnd->window_proc(msg(WM_MON_DEVICE_CONNECTION, 1));
  EXPECT_EQ(waits, std::vector<int>{CMonitorWnd::kArrivalWaitMs});
  EXPECT_EQ(wnd->connection_state(), kStateConnected);
  EXPECT_TRUE(wnd->tray_icon_added());
  EXPECT_TRUE(wnd->timer_active(CMonitorWnd::TIMER_PROGRAM_WATCH));
  EXPECT_EQ(setting(u"Device"), 1);
  wnd->window_proc(msg(WM_MON_DEVICE_CONNECTION, 1));
  EXPECT_EQ(waits.size(), 1u) << "a second arrival neither waits nor writes";
  wnd->destroy();
  std::vector<std::string> calls = link->calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[0], "open_feature");
  EXPECT_EQ(calls[1], "open_report");
  EXPECT_EQ(calls[2], "F01") << "job 2 writes the profile";
  EXPECT_EQ(count_of(calls, "F01"), 1);
}

TEST_F(MonitorWndTest, EventsFromTheLibraryThreadReachTheWindow) {
  write_settings();
  ASSERT_TRUE(start(true));
  std::thread library([&] { link->post_from_library(WM_MON_DEVICE_EVENT, 0x0802, 2); });
  library.join();
  for (int i = 0; i < 100 && current_profile() != 2; ++i) wnd->endpoint()->dispatch(50);
  EXPECT_EQ(current_profile(), 2);
}

TEST_F(MonitorWndTest, OpenOptionFromTheMouseAndFromASecondStart) {
  write_settings();
  ASSERT_TRUE(start(true));
  launcher.started.clear();
  wnd->window_proc(msg(WM_MON_DEVICE_EVENT, 0x00A0, 0));
  EXPECT_TRUE(launcher.started.empty()) << "comes as WM_COMMAND to the window";
  dispatch_own();
  EXPECT_EQ(launcher.started, std::vector<std::string>{folder.path() + "Option"});

  // What a second Monitor started with "1" posts.
  Peer option(OPTION_WINDOW_TITLE);
  ASSERT_TRUE(pm::post_message(MONITOR_WINDOW_TITLE, pm::WM_COMMAND, ID_TRAY_OPEN_OPTION, 0));
  dispatch_own();
  EXPECT_EQ(launcher.started.size(), 1u) << "Option runs: no second copy";
}

TEST_F(MonitorWndTest, ExitEndsTheWindow) {
  write_settings();
  ASSERT_TRUE(start(true));
  EXPECT_EQ(wnd->window_proc(msg(pm::WM_COMMAND, ID_TRAY_EXIT)), 0);
  dispatch_own();  // the WM_CLOSE it posted
  EXPECT_TRUE(wnd->exists()) << "not inside its own dispatch";
  QCoreApplication::processEvents();
  EXPECT_FALSE(wnd->exists());
  EXPECT_EQ(destroyed, 1);
  EXPECT_FALSE(pm::window_exists(MONITOR_WINDOW_TITLE));
}

TEST_F(MonitorWndTest, ProgramWatchSwitchesToTheBoundProfile) {
  write_settings(1, [](SettingsRecord& r) {
    pm::set_fixed_text(r.profiles[1].GameFile, u"C:\\Games\\GAME.EXE");
    r.profiles[1].DbleClickSpeed = 444;
  });
  processes.names[42] = "game.exe";
  ASSERT_TRUE(start(true));
  Peer option(OPTION_WINDOW_TITLE);
  Peer osd(OSD_WINDOW_TITLE);

  wnd->window_proc(msg(pm::WM_TIMER, CMonitorWnd::TIMER_PROGRAM_WATCH));
  EXPECT_EQ(current_profile(), 0) << "no foreground program";
  foreground_pid = 42;
  wnd->window_proc(msg(pm::WM_TIMER, CMonitorWnd::TIMER_PROGRAM_WATCH));
  EXPECT_EQ(current_profile(), 1);
  EXPECT_EQ(block()->CurrentProfile, 1);
  EXPECT_EQ(pointer.double_click_ms, 444);
  EXPECT_EQ(setting(u"CurrentProfile"), 0) << "the files wait for Option's next save";
  wnd->window_proc(msg(pm::WM_TIMER, CMonitorWnd::TIMER_PROGRAM_WATCH));  // already current
  wnd->destroy();

  std::vector<std::vector<uint8_t>> features = link->features();
  ASSERT_EQ(features.size(), 1u);
  EXPECT_EQ(features[0][0], 0x02);
  EXPECT_EQ(features[0][1], 1);
  EXPECT_EQ(count(option.collect(), WM_OPT_PROFILE_CHANGED), 1);
  // Told once by the window and once more by the device thread after the select.
  std::vector<Received> to_osd = osd.collect();
  int shows = 0;
  for (const Received& r : to_osd)
    if (r.msg == WM_OSD_SHOW) {
      ++shows;
      EXPECT_EQ(r.wparam, 40u);
      EXPECT_EQ(r.lparam, 1 << 16);
    }
  EXPECT_EQ(shows, 2);
}

}  // namespace
}  // namespace mt
