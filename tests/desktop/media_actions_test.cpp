#include "monitor/media_actions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/text.h"
#include "platform/window_messages.h"

namespace {

using mt::CMediaActions;
using Handle = mt::PlayerWindows::Handle;

class FakeRegistry : public mt::PlayerRegistry {
 public:
  std::map<std::u16string, std::u16string> values;  // "key|name"
  std::u16string read_machine_value(std::u16string_view key, std::u16string_view name) override {
    auto it = values.find(std::u16string(key) + u"|" + std::u16string(name));
    return it == values.end() ? std::u16string() : it->second;
  }
};

// Everything the actions do, in one ordered log: messages, sleeps, raises.
class FakeDesktop : public mt::PlayerWindows {
 public:
  static constexpr Handle kOwn = 0x500;
  std::map<std::u16string, Handle> windows;  // "class|title"
  std::vector<std::string> log;

  Handle find_window(std::u16string_view cls, std::u16string_view title) override {
    auto it = windows.find(std::u16string(cls) + u"|" + std::u16string(title));
    return it == windows.end() ? 0 : it->second;
  }
  void post_message(Handle w, std::uint32_t msg, std::uint64_t wp, std::int64_t lp) override {
    log.push_back(entry("post", w, msg, wp, lp));
  }
  std::int64_t send_message(Handle w, std::uint32_t msg, std::uint64_t wp, std::int64_t lp) override {
    log.push_back(entry("send", w, msg, wp, lp));
    return 0;
  }
  void bring_to_front(Handle w) override { log.push_back("front " + hex(w)); }
  Handle own_window() override { return kOwn; }

  static std::string hex(std::uint64_t v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(v));
    return buf;
  }
  static std::string entry(const char* how, Handle w, std::uint32_t msg, std::uint64_t wp, std::int64_t lp) {
    return std::string(how) + " " + hex(w) + " " + hex(msg) + " " + std::to_string(wp) + " " +
           hex(static_cast<std::uint64_t>(lp));
  }
};

class FakeLauncher : public platform::ProcessLauncher {
 public:
  std::vector<std::string> started;
  bool start(std::string_view path) override {
    started.emplace_back(path);
    return true;
  }
};

class MediaActionsTest : public ::testing::Test {
 protected:
  FakeRegistry registry;
  FakeDesktop desktop;
  FakeLauncher launcher;
  std::map<std::u16string, std::u16string> env{{u"ProgramFiles", u"C:\\Program Files"}};
  CMediaActions media{registry, desktop, launcher, [this](int ms) { desktop.log.push_back("sleep " + std::to_string(ms)); },
                      [this](std::u16string_view name) -> std::optional<std::u16string> {
                        auto it = env.find(std::u16string(name));
                        if (it == env.end()) return std::nullopt;
                        return it->second;
                      }};
};

constexpr char16_t kWmpKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\wmplayer.exe|";
constexpr char16_t kItunesKey[] = u"SOFTWARE\\Apple Computer, Inc.\\iPod\\RegisteredApps\\4|path";
constexpr char16_t kRealKey[] = u"SOFTWARE\\Classes\\Applications\\RealPlay.exe\\shell\\open\\command|";
constexpr char16_t kWinampKey[] = u"SOFTWARE\\Classes\\Winamp.File\\shell\\open\\command|";

TEST_F(MediaActionsTest, WinampPlayPauseAlternates) {
  desktop.windows[u"Winamp v1.x|"] = 0x30;
  for (int i = 0; i < 3; ++i) media.media_action(3, mt::kMediaPlayPause, 0);
  EXPECT_EQ(desktop.log, (std::vector<std::string>{"send 30 111 40045 0", "send 30 111 40046 0", "send 30 111 40045 0"}));
  EXPECT_TRUE(media.winamp_playing());
}

TEST_F(MediaActionsTest, WinampCommandsAndMissingWindow) {
  media.media_action(3, mt::kMediaPlayPause, 0);  // no window: nothing, toggle untouched
  EXPECT_TRUE(desktop.log.empty());
  EXPECT_FALSE(media.winamp_playing());

  desktop.windows[u"Winamp v1.x|"] = 0x30;
  media.media_action(3, mt::kMediaPrevious, 0);
  media.media_action(3, mt::kMediaNext, 0);
  media.media_action(3, mt::kMediaStop, 0);
  EXPECT_EQ(desktop.log, (std::vector<std::string>{"send 30 111 40044 0", "send 30 111 40048 0", "send 30 111 40047 0"}));
}

TEST_F(MediaActionsTest, WindowsMediaPlayerStartsOrComesToFront) {
  registry.values[kWmpKey] = u"%ProgramFiles%\\Windows Media Player\\wmplayer.exe";
  media.media_action(0, mt::kMediaStartPlayer, 0);
  EXPECT_EQ(launcher.started, (std::vector<std::string>{"C:\\Program Files\\Windows Media Player\\wmplayer.exe"}));

  desktop.windows[u"|Windows Media Player"] = 0x77;
  media.media_action(0, mt::kMediaStartPlayer, 0);
  EXPECT_EQ(launcher.started.size(), 1u);
  EXPECT_EQ(desktop.log, (std::vector<std::string>{"front 77"}));
}

TEST_F(MediaActionsTest, WindowsMediaPlayerTrackCommandsGoToOwnWindow) {
  media.media_action(0, mt::kMediaPrevious, 0);
  media.media_action(0, mt::kMediaNext, 0);
  media.media_action(0, mt::kMediaPlayPause, 0);
  media.media_action(0, mt::kMediaStop, 0);
  EXPECT_EQ(desktop.log, (std::vector<std::string>{"post 500 319 1280 C0000", "post 500 319 1280 B0000",
                                                   "post 500 319 1280 E0000", "post 500 319 1280 D0000"}));
}

TEST_F(MediaActionsTest, NothingIsStartedWithoutARegisteredPath) {
  for (int player = 0; player < 4; ++player) media.media_action(player, mt::kMediaStartPlayer, 0);
  EXPECT_TRUE(launcher.started.empty());
}

TEST_F(MediaActionsTest, PlayerCommandsNeedTheRightName) {
  struct Case {
    int player;
    const char16_t* key;
    std::u16string value;
    std::vector<std::string> started;
  };
  const Case cases[] = {
      {2, kRealKey, u"\"C:\\Program Files\\Real\\RealPlay.exe\" /play \"%1\"", {"C:\\Program Files\\Real\\RealPlay.exe"}},
      {2, kRealKey, u"\"C:\\Program Files\\Real\\realplay.exe /play", {"C:\\Program Files\\Real\\realplay.exe /play"}},
      {2, kRealKey, u"C:\\Real\\realplay.exe", {"C:\\Real\\realplay.exe"}},
      {2, kRealKey, u"\"C:\\Other\\player.exe\" \"realplay\"", {}},
      {3, kWinampKey, u"\"C:\\Program Files\\Winamp\\winamp.exe\" \"%1\"", {"C:\\Program Files\\Winamp\\winamp.exe"}},
      {3, kWinampKey, u"\"\"", {}},
      {1, kItunesKey, u"C:\\Program Files\\iTunes\\ITUNES.exe", {"C:\\Program Files\\iTunes\\ITUNES.exe"}},
      {1, kItunesKey, u"C:\\Program Files\\Music\\player.exe", {}},
  };
  for (const Case& c : cases) {
    registry.values.clear();
    launcher.started.clear();
    registry.values[c.key] = c.value;
    media.media_action(c.player, mt::kMediaStartPlayer, 0);
    EXPECT_EQ(launcher.started, c.started) << platform::utf16_to_utf8(c.value);
  }
}

TEST(CommandProgramPathTest, QuotedAndUnquoted) {
  EXPECT_EQ(mt::command_program_path(u"\"C:\\a b\\x.exe\" -q"), u"C:\\a b\\x.exe");
  EXPECT_EQ(mt::command_program_path(u"\"C:\\a b\\x.exe"), u"C:\\a b\\x.exe");  // no closing quote
  EXPECT_EQ(mt::command_program_path(u"  \"C:\\x.exe\""), u"C:\\x.exe");
  EXPECT_EQ(mt::command_program_path(u"C:\\x.exe %1"), u"C:\\x.exe %1");
  EXPECT_EQ(mt::command_program_path(u""), u"");
}

TEST(ExpandEnvironmentTest, KnownUnknownAndTooLong) {
  auto env = [](std::u16string_view n) -> std::optional<std::u16string> {
    if (n == u"A") return u"alpha";
    if (n == u"LONG") return std::u16string(300, u'x');
    return std::nullopt;
  };
  EXPECT_EQ(mt::expand_environment(u"%A%\\%B%\\%A%", env), u"alpha\\%B%\\alpha");
  EXPECT_EQ(mt::expand_environment(u"50% off %", env), u"50% off %");
  EXPECT_EQ(mt::expand_environment(u"%%", env), u"%%");
  EXPECT_EQ(mt::expand_environment(u"C:\\%LONG%", env), u"");
  EXPECT_EQ(mt::expand_environment(std::u16string(259, u'y'), env).size(), 259u);
  EXPECT_EQ(mt::expand_environment(std::u16string(260, u'y'), env), u"");
}

TEST_F(MediaActionsTest, ItunesTrackKeysAreTypedWithPauses) {
  desktop.windows[u"iTunes|iTunes"] = 0x42;
  media.media_action(1, mt::kMediaPrevious, 0);
  EXPECT_EQ(desktop.log, (std::vector<std::string>{"send 42 100 17 1D0001", "sleep 100", "send 42 100 37 14B0001",
                                                   "sleep 100", "send 42 101 37 C14B0001", "sleep 100",
                                                   "send 42 101 17 C01D0001"}));
  desktop.log.clear();
  media.media_action(1, mt::kMediaNext, 0);
  EXPECT_EQ(desktop.log, (std::vector<std::string>{"send 42 100 17 1D0001", "sleep 100", "send 42 100 39 14D0001",
                                                   "sleep 100", "send 42 101 39 C14D0001", "sleep 100",
                                                   "send 42 101 17 C01D0001"}));
  for (int code : {mt::kMediaPlayPause, mt::kMediaStop}) {
    desktop.log.clear();
    media.media_action(1, code, 0);
    EXPECT_EQ(desktop.log, (std::vector<std::string>{"post 42 100 32 390001", "sleep 100", "post 42 101 32 C0390001"}));
  }
}

TEST_F(MediaActionsTest, RealPlayerCommands) {
  desktop.windows[u"GeminiWindowClass|"] = 0x51;
  for (int code = mt::kMediaPrevious; code <= mt::kMediaStop; ++code) media.media_action(2, code, 0);
  EXPECT_EQ(desktop.log, (std::vector<std::string>{"send 51 111 65740 0", "send 51 111 65739 0", "send 51 111 65736 0",
                                                   "send 51 111 65737 0"}));
}

TEST_F(MediaActionsTest, OnlyKeyState0AndCodes25To29ForKnownPlayersAct) {
  registry.values[kWmpKey] = u"C:\\wmplayer.exe";
  desktop.windows[u"Winamp v1.x|"] = 0x30;
  desktop.windows[u"iTunes|iTunes"] = 0x42;
  desktop.windows[u"GeminiWindowClass|"] = 0x51;
  const int ignored[][3] = {{0, 25, 1}, {3, 28, 1}, {1, 26, -1}, {0, 24, 0}, {3, 30, 0},
                            {0, 0, 0},  {4, 25, 0}, {-1, 28, 0}, {2, 26, 2}};
  for (auto& c : ignored) media.media_action(c[0], c[1], c[2]);
  EXPECT_TRUE(desktop.log.empty());
  EXPECT_TRUE(launcher.started.empty());
  EXPECT_FALSE(media.winamp_playing());
}

TEST_F(MediaActionsTest, LinuxBackendFindsNoPlayers) {
  mt::NoPlayerRegistry none_registry;
  mt::NoPlayerWindows none_windows;
  int sleeps = 0;
  CMediaActions linux_media(none_registry, none_windows, launcher, [&](int) { ++sleeps; });
  for (int player = 0; player < 4; ++player)
    for (int code = 25; code <= 29; ++code) linux_media.media_action(player, code, 0);
  EXPECT_TRUE(launcher.started.empty());
  EXPECT_EQ(sleeps, 0);
}

// Start the program of a button.
class ButtonProgramTest : public ::testing::Test {
 protected:
  std::unique_ptr<mt::ProfileRecord> profile = std::make_unique<mt::ProfileRecord>();
  FakeLauncher launcher;
  void SetUp() override { std::memset(profile.get(), 0, sizeof(mt::ProfileRecord)); }
  void bind(int slot, std::uint8_t function, std::u16string_view path) {
    profile->MacroKeyInfo[slot].function = function;
    platform::set_fixed_text(profile->MacroKeyInfo[slot].program_path, path);
  }
};

TEST_F(ButtonProgramTest, StartsTheProgramOfALaunchButton) {
  bind(4, mt::kFnLaunch, u"/opt/Spiele/\u00DCber Spiel.sh");
  EXPECT_TRUE(mt::start_button_program(*profile, 4, launcher));
  EXPECT_EQ(launcher.started, (std::vector<std::string>{"/opt/Spiele/\xC3\x9C" "ber Spiel.sh"}));
}

TEST_F(ButtonProgramTest, DoesNothingForOtherFunctionsBlankPathsOrBadSlots) {
  bind(0, mt::kFnMacro, u"/usr/bin/true");
  bind(1, mt::kFnLaunch, u"");
  bind(2, mt::kFnLaunch, u" \t ");
  const char16_t lone[] = {u'/', u'a', 0xD800, u'b', 0};
  bind(3, mt::kFnLaunch, lone);
  bind(15, mt::kFnLaunch, u"/usr/bin/true");
  for (int slot : {0, 1, 2, 3, -1, 16, 1000}) EXPECT_FALSE(mt::start_button_program(*profile, slot, launcher)) << slot;
  EXPECT_TRUE(launcher.started.empty());
}

TEST_F(ButtonProgramTest, PathFillingTheWholeFieldIsTakenUpToItsEnd) {
  profile->MacroKeyInfo[0].function = mt::kFnLaunch;
  for (char16_t& c : profile->MacroKeyInfo[0].program_path) c = u'a';  // no terminator at all
  EXPECT_TRUE(mt::start_button_program(*profile, 0, launcher));
  ASSERT_EQ(launcher.started.size(), 1u);
  EXPECT_EQ(launcher.started[0], std::string(260, 'a'));
}

}  // namespace
