#include "monitor/program_watch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "platform/text.h"

namespace {

namespace fs = std::filesystem;
using mt::CProgramWatch;

class FakeProcesses : public mt::ProcessTable {
 public:
  std::map<int, std::string> names;
  std::optional<std::string> executable_name(int pid) override {
    auto it = names.find(pid);
    if (it == names.end()) return std::nullopt;
    return it->second;
  }
};

class ProgramWatchTest : public ::testing::Test {
 protected:
  std::unique_ptr<mt::SettingsRecord> record = std::make_unique<mt::SettingsRecord>();
  FakeProcesses processes;
  std::optional<int> foreground;
  CProgramWatch watch{[this] { return foreground; }, processes};

  void SetUp() override {
    mt::clear(*record);
    record->CurrentProfile = 0;
    processes.names = {{100, "quake3.exe"}, {200, "notepad.exe"}, {300, "sleep"}};
  }
  void bind(int p, std::u16string_view game_file) { platform::set_fixed_text(record->profiles[p].GameFile, game_file); }
};

TEST(GameFileNameTest, FileNameAndExtensionOfAnyPath) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"C:\\GAMES\\QUAKE3\\QUAKE3.EXE", u"QUAKE3.EXE"},
      {u"  \t quake3.exe \r\n", u"quake3.exe"},
      {u"/usr/games/quake3", u"quake3"},
      {u"C:/Games\\mixed/Quake3.exe", u"Quake3.exe"},
      {u"D:quake3.exe", u"quake3.exe"},
      {u"\\\\server\\share\\game.exe", u"game.exe"},
      {u"archive.tar.gz", u"archive.tar.gz"},
      {u"C:\\Games\\", u""},
      {u"   ", u""},
      {u"", u""},
      {u"1:game.exe", u"1:game.exe"},
      {std::u16string(u"game") + u'\x01' + u".exe", std::u16string(u"game") + u'\x01' + u".exe"},
  };
  for (auto& [in, out] : cases) EXPECT_EQ(mt::game_file_name(in), out) << platform::utf16_to_utf8(in);

  const char16_t lone[] = {u'g', 0xDC00, u'.', u'e', u'x', u'e'};
  EXPECT_EQ(mt::game_file_name(std::u16string_view(lone, 6)), u"");
  std::u16string huge = u"C:\\" + std::u16string(5000, u'n') + u".exe";
  EXPECT_EQ(mt::game_file_name(huge).size(), 5004u);
}

TEST_F(ProgramWatchTest, FullPathInCapitalsMatchesTheLowerCaseExecutable) {
  bind(2, u"C:\\Program Files\\Quake III\\QUAKE3.EXE");
  foreground = 100;
  EXPECT_EQ(watch.tick(*record), 2);
}

TEST_F(ProgramWatchTest, LowestBoundProfileWins) {
  bind(1, u"notepad.exe");
  bind(3, u"D:\\other\\NOTEPAD.EXE");
  bind(4, u"notepad.exe");
  foreground = 200;
  EXPECT_EQ(watch.tick(*record), 1);
}

TEST_F(ProgramWatchTest, NoSwitchWhenAlreadyCurrentOrNothingMatches) {
  bind(2, u"quake3.exe");
  record->CurrentProfile = 2;
  foreground = 100;
  EXPECT_EQ(watch.tick(*record), std::nullopt);
  foreground = 200;  // an unbound program
  EXPECT_EQ(watch.tick(*record), std::nullopt);
}

TEST_F(ProgramWatchTest, LeavingTheProgramKeepsTheProfile) {
  bind(3, u"quake3.exe");
  foreground = 100;
  std::optional<int> p = watch.tick(*record);
  ASSERT_EQ(p, 3);
  record->CurrentProfile = *p;
  for (std::optional<int> fg : {std::optional<int>(200), std::optional<int>(), std::optional<int>(999)}) {
    foreground = fg;
    EXPECT_EQ(watch.tick(*record), std::nullopt);
  }
  EXPECT_EQ(record->CurrentProfile, 3);
}

TEST_F(ProgramWatchTest, NoForegroundOrVanishedProcessEndsTheTick) {
  bind(1, u"quake3.exe");
  for (std::optional<int> fg : {std::optional<int>(), std::optional<int>(0), std::optional<int>(-1), std::optional<int>(12345)}) {
    foreground = fg;
    EXPECT_EQ(watch.tick(*record), std::nullopt);
  }
  CProgramWatch without_source(nullptr, processes);
  EXPECT_EQ(without_source.tick(*record), std::nullopt);
}

TEST_F(ProgramWatchTest, BadGameFilesNeverMatch) {
  processes.names[400] = "";
  processes.names[500] = "\xEF\xBF\xBD.exe";  // U+FFFD.exe
  bind(0, u"    ");
  bind(1, u"\t\r\n");
  const char16_t lone[] = {0xD800, u'.', u'e', u'x', u'e', 0};
  bind(2, lone);
  bind(3, u"C:\\games\\");
  for (int pid : {400, 500}) {
    foreground = pid;
    EXPECT_EQ(watch.tick(*record), std::nullopt) << pid;
  }
}

TEST_F(ProgramWatchTest, GameFileFillingTheWholeFieldIsCompared) {
  for (char16_t& c : record->profiles[4].GameFile) c = u'Z';  // no terminator
  processes.names[600] = std::string(500, 'z');
  foreground = 600;
  EXPECT_EQ(watch.tick(*record), 4);
}

TEST_F(ProgramWatchTest, ExecutableNamesAreComparedWhole) {
  bind(1, u"sleep.exe");
  bind(2, u"slee");
  foreground = 300;  // "sleep"
  EXPECT_EQ(watch.tick(*record), std::nullopt);
  bind(3, u"/bin/SLEEP");
  EXPECT_EQ(watch.tick(*record), 3);
}

class RecordingSteps : public mt::ProfileSwitchSteps {
 public:
  std::vector<std::string> log;
  void publish_record(const mt::SettingsRecord& r) override { log.push_back("publish " + std::to_string(r.CurrentProfile)); }
  void post_select_profile_job(int p) override { log.push_back("job3 " + std::to_string(p)); }
  void apply_pointer_settings(mt::ProfileRecord& profile) override {
    log.push_back("pointer " + std::to_string(profile.MouseSpeed));
  }
  void notify_option() override { log.push_back("option"); }
  void notify_osd(int p) override { log.push_back("osd " + std::to_string(p)); }
};

TEST_F(ProgramWatchTest, SwitchRunsMonitorsStepsInOrder) {
  record->profiles[3].MouseSpeed = 14;
  RecordingSteps steps;
  EXPECT_TRUE(mt::switch_to_profile(*record, 3, steps));
  EXPECT_EQ(record->CurrentProfile, 3);
  EXPECT_EQ(steps.log, (std::vector<std::string>{"publish 3", "job3 3", "pointer 14", "option", "osd 3"}));

  steps.log.clear();
  EXPECT_FALSE(mt::switch_to_profile(*record, 5, steps));
  EXPECT_FALSE(mt::switch_to_profile(*record, -1, steps));
  EXPECT_TRUE(steps.log.empty());
  EXPECT_EQ(record->CurrentProfile, 3);
}

// /proc as a folder of our own.
class ProcTableTest : public ::testing::Test {
 protected:
  fs::path root;
  void SetUp() override {
    char tmpl[] = "/tmp/desktop_proc_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root = tmpl;
  }
  void TearDown() override { fs::remove_all(root); }
  void process(int pid, const char* exe_target, const char* comm) {
    fs::create_directories(root / std::to_string(pid));
    if (exe_target) fs::create_symlink(exe_target, root / std::to_string(pid) / "exe");
    if (comm) std::ofstream(root / std::to_string(pid) / "comm") << comm;
  }
};

TEST_F(ProcTableTest, ExecutableLinkThenCommand) {
  process(10, "/usr/Games/Quake3.X86_64", "quake3.x86_64\n");
  process(11, "/opt/game/Game.exe (deleted)", "Game.exe\n");
  process(12, nullptr, "kworker/0:1\n");  // kernel thread: no executable
  process(13, nullptr, nullptr);          // vanished while we looked
  process(14, "/usr/bin/wine64-preloader", "quake3.exe\n");
  mt::ProcProcessTable table(root.string());
  EXPECT_EQ(table.executable_name(10), "quake3.x86_64");
  EXPECT_EQ(table.executable_name(11), "game.exe");
  EXPECT_EQ(table.executable_name(12), "kworker/0:1");
  EXPECT_EQ(table.executable_name(13), std::nullopt);
  EXPECT_EQ(table.executable_name(14), "wine64-preloader");
  EXPECT_EQ(table.executable_name(15), std::nullopt);
  EXPECT_EQ(table.executable_name(0), std::nullopt);
  EXPECT_EQ(table.executable_name(-3), std::nullopt);
}

TEST_F(ProcTableTest, ReadsOnlyTheEntryAskedFor) {
  for (int pid = 1; pid <= 50; ++pid) process(pid, "/usr/bin/other", nullptr);
  process(77, "/usr/bin/target", nullptr);
  mt::ProcProcessTable table(root.string());
  EXPECT_EQ(table.executable_name(77), "target");
  EXPECT_EQ(table.reads(), 1u);
}

TEST(ProcTableRealTest, FindsThisProcess) {
  mt::ProcProcessTable table;
  std::optional<std::string> self = table.executable_name(static_cast<int>(getpid()));
  ASSERT_TRUE(self.has_value());
  EXPECT_EQ(*self, "desktop_actions_test");
}

}  // namespace
