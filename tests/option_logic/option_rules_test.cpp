#include "option/logic/option_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace mt {
namespace {

SettingsRecord factory_record() {
  SettingsRecord r;
  clear(r);
  set_factory_defaults(r);
  return r;
}

bool same_bytes(const void* a, const void* b, std::size_t n) { return std::memcmp(a, b, n) == 0; }

int flags_set(const SettingsRecord& r) {
  int n = 0;
  for (const auto& row : r.button_changed)
    for (int f : row) n += f != 0;
  for (const auto& group : r.section_changed)
    for (int f : group) n += f != 0;
  return n + (r.global_changed != 0);
}

TEST(OptionRules, FirmwareVersionText) {
  const std::pair<int, std::u16string> cases[] = {
      {105, u"1.05"}, {100, u"1.00"}, {250, u"2.50"}, {500, u"5.00"},
      {99, u"N/A"},   {501, u"N/A"},  {0, u"N/A"},    {-1, u"N/A"},   {1000, u"N/A"},
  };
  for (const auto& [v, text] : cases) EXPECT_EQ(firmware_version_text(v), text) << v;
}

TEST(OptionRules, LanguageFromTheLocale) {
  struct Case {
    const char *lc_all, *lc_messages, *lang;
    int id;
  } cases[] = {
      {"", "", "ru_RU.UTF-8", 2},
      {"", "", "ru", 2},
      {"", "", "ru_UA.UTF-8", 2},
      {"", "", "ru@latin", 2},
      {"", "", "russian", 2},
      {"", "", "en_US.UTF-8", 0},
      {"", "", "", 0},
      {"", "", "C", 0},
      {"", "", "rue_UA", 0},  // Rusyn, not Russian
      {"", "", "uk_UA.UTF-8", 0},
      // The first one set decides, as for the C library.
      {"C", "ru_RU.UTF-8", "ru_RU.UTF-8", 0},
      {"", "ru_RU.UTF-8", "en_GB.UTF-8", 2},
      {"en_GB.UTF-8", "", "ru_RU.UTF-8", 0},
      {"ru_RU.KOI8-R", "en_GB", "en_GB", 2},
  };
  for (const auto& c : cases)
    EXPECT_EQ(language_from_locale(c.lc_all, c.lc_messages, c.lang), c.id)
        << c.lc_all << "|" << c.lc_messages << "|" << c.lang;

  std::map<std::string, const char*> env = {{"LANG", "ru_RU.UTF-8"}};
  auto lookup = [&](const char* name) -> const char* {
    auto it = env.find(name);
    return it == env.end() ? nullptr : it->second;
  };
  EXPECT_EQ(system_language(lookup), 2);
  env["LC_MESSAGES"] = "de_DE.UTF-8";
  EXPECT_EQ(system_language(lookup), 0);
  env["LC_ALL"] = "";  // set but empty: skipped
  EXPECT_EQ(system_language(lookup), 0);
  env["LC_MESSAGES"] = "";
  EXPECT_EQ(system_language(lookup), 2);
}

TEST(OptionRules, LanguageMenu) {
  EXPECT_EQ(language_of_menu_command(3001), 0);
  EXPECT_EQ(language_of_menu_command(3002), 1);
  EXPECT_EQ(language_of_menu_command(3003), 2);
  EXPECT_EQ(language_of_menu_command(3000), std::nullopt);
  EXPECT_EQ(language_of_menu_command(3004), std::nullopt);
  EXPECT_EQ(kLanguageMenu[0].text_id, 101);
  EXPECT_EQ(kLanguageMenu[1].text_id, 121);
  EXPECT_EQ(kLanguageMenu[2].text_id, 102);
}

// A level change made on the mouse while the user has unsaved edits.
TEST(OptionRules, LevelChangeKeepsOtherEdits) {
  SettingsRecord applied = factory_record();
  applied.CurrentProfile = 1;
  ProfileRecord& a = applied.profiles[1];
  a.CpiStep = 3;
  for (int i = 0; i < kLevelCount; ++i) a.CpiLevel_X[i] = a.CpiLevel_Y[i] = 1;
  a.CpiLevel_X[3] = 11;
  a.CpiLevel_Y[3] = 12;
  a.Sensitivity_X = 3;
  a.Sensitivity_Y = 4;
  a.PollingRate = 0;
  a.MouseSpeed = 2;  // not one of the fields the message carries

  SettingsRecord working = factory_record();
  working.CurrentProfile = 0;  // the profile is the applied record's current one
  working.profiles[1].LightColor = 0x00123456;
  working.profiles[1].Brightness = 2;
  working.profiles[1].CpiLevel_X[0] = 9;
  const SettingsRecord before = working;

  ASSERT_TRUE(take_level_change(applied, working));
  const ProfileRecord& w = working.profiles[1];
  EXPECT_EQ(w.CpiStep, 3);
  EXPECT_EQ(w.CpiLevel_X[3], 11);
  EXPECT_EQ(w.CpiLevel_Y[3], 12);
  EXPECT_EQ(w.Sensitivity_X, 3);
  EXPECT_EQ(w.Sensitivity_Y, 4);
  EXPECT_EQ(w.PollingRate, 0);
  EXPECT_EQ(w.MouseSpeed, 10);
  EXPECT_EQ(w.LightColor, 0x00123456);
  EXPECT_EQ(w.Brightness, 2);
  const int32_t x[] = {9, 6, 8, 11, 12}, y[] = {4, 6, 8, 12, 12};
  EXPECT_TRUE(same_bytes(w.CpiLevel_X, x, sizeof x));
  EXPECT_TRUE(same_bytes(w.CpiLevel_Y, y, sizeof y));
  EXPECT_EQ(working.CurrentProfile, 0);
  for (int p : {0, 2, 3, 4})
    EXPECT_TRUE(same_bytes(&working.profiles[p], &before.profiles[p], sizeof(ProfileRecord))) << p;

  // A CpiStep that is no level is taken, but indexes nothing.
  a.CpiStep = -1;
  ASSERT_TRUE(take_level_change(applied, working));
  EXPECT_EQ(working.profiles[1].CpiStep, -1);
  EXPECT_TRUE(same_bytes(working.profiles[1].CpiLevel_X, x, sizeof x));
  // No current profile: nothing.
  applied.CurrentProfile = -1;
  const SettingsRecord kept = working;
  EXPECT_FALSE(take_level_change(applied, working));
  EXPECT_TRUE(same_bytes(&working, &kept, sizeof working));
}

TEST(OptionRules, ProfileChangeTakesTheBlockWhole) {
  SettingsRecord applied = factory_record();
  mark_all_changed(applied);
  applied.profiles[2].LightColor = 7;
  SettingsRecord working = factory_record();
  take_applied_record(applied, working);
  EXPECT_EQ(flags_set(applied), 1);  // only the global flag survives
  EXPECT_EQ(applied.global_changed, 1);
  EXPECT_TRUE(same_bytes(&working, &applied, sizeof working));
}

TEST(OptionRules, FlagsAfterResetRestoreAndApply) {
  SettingsRecord r = factory_record();
  r.LanguageID = 2;
  r.MouseColor = 77;
  r.CurrentProfile = 3;
  r.profiles[0].LightColor = 1;
  mark_all_changed(r);

  reset_to_factory(r);  // 1259
  EXPECT_EQ(r.CurrentProfile, 0);
  EXPECT_EQ(r.profiles[0].LightColor, 255);
  EXPECT_EQ(r.LanguageID, 2);
  EXPECT_EQ(flags_set(r), 1);

  r.CurrentProfile = 4;
  restore_defaults(r);
  EXPECT_EQ(r.CurrentProfile, 0);
  EXPECT_EQ(r.LanguageID, 2);
  EXPECT_EQ(flags_set(r), 80 + 25 + 1);
  for (int p = 0; p < kProfileCount; ++p) {
    EXPECT_EQ(std::u16string(r.profiles[p].ProFileName), u"Default" + std::u16string(1, u'1' + p));
    EXPECT_EQ(r.profiles[p].MacroKeyInfo[14].function, 9);
  }

  clear_apply_flags(r);
  EXPECT_EQ(flags_set(r), 0);
  EXPECT_EQ(r.MouseColor, 77);
}

struct RecordingApply : ApplySteps {
  std::vector<std::string> log;
  bool monitor = true;
  bool saved = true;
  int flags_published = -1;
  void begin_wait() override { log.push_back("wait"); }
  void publish_record(const SettingsRecord& r) override {
    log.push_back("block");
    flags_published = flags_set(r);
  }
  bool save_files(const SettingsRecord&) override {
    log.push_back("files");
    return saved;
  }
  bool post_apply_to_monitor(int flag) override {
    log.push_back("1224 " + std::to_string(flag));
    return monitor;
  }
  void post_apply_to_companions() override { log.push_back("companions"); }
  void write_access_stamp() override { log.push_back("stamp"); }
  void end_wait() override { log.push_back("end wait"); }
};

TEST(OptionApply, StepsInOrder) {
  struct Case {
    bool monitor, saved;
    int flag;
    std::vector<std::string> log;
  } cases[] = {
      {true, true, 0, {"wait", "block", "files", "1224 0", "companions", "stamp"}},
      {true, true, 1, {"wait", "block", "files", "1224 1", "companions", "stamp"}},
      // Without Monitor's window the wait ends at once.
      {false, true, 0, {"wait", "block", "files", "1224 0", "companions", "stamp", "end wait"}},
      // A file that could not be written stops nothing, but is told.
      {true, false, 0, {"wait", "block", "files", "1224 0", "companions", "stamp"}},
  };
  for (const auto& c : cases) {
    SettingsRecord working = factory_record();
    working.profiles[0].LightColor = 42;
    mark_all_changed(working);
    SettingsRecord applied = factory_record();
    RecordingApply steps;
    steps.monitor = c.monitor;
    steps.saved = c.saved;
    ApplyResult r = run_apply(c.flag, working, applied, steps);
    EXPECT_EQ(steps.log, c.log);
    EXPECT_EQ(r.waiting_for_monitor, c.monitor);
    EXPECT_EQ(r.files_saved, c.saved);
    // The flags travel with the record to Monitor, then are cleared.
    EXPECT_EQ(steps.flags_published, 106);
    EXPECT_EQ(flags_set(working), 0);
    EXPECT_TRUE(same_bytes(&applied, &working, sizeof working));
    EXPECT_EQ(applied.profiles[0].LightColor, 42);
  }
}

TEST(OptionApply, WaitEndsWithMonitorGoneOrAfterTheTimeout) {
  ApplyWait wait;
  EXPECT_FALSE(wait.should_end(0, false));  // not waiting
  wait.begin(1000);
  EXPECT_TRUE(wait.waiting());
  EXPECT_FALSE(wait.should_end(1000, true));
  EXPECT_FALSE(wait.should_end(1000 + ApplyWait::kTimeoutMs - 1, true));
  EXPECT_TRUE(wait.should_end(1000 + ApplyWait::kTimeoutMs, true));
  EXPECT_TRUE(wait.should_end(1001, false));  // Monitor's window is gone
  wait.done();
  EXPECT_FALSE(wait.should_end(1000 + 2 * ApplyWait::kTimeoutMs, false));

  ApplyWait short_wait(500);
  short_wait.begin(0);
  EXPECT_FALSE(short_wait.should_end(499, true));
  EXPECT_TRUE(short_wait.should_end(500, true));
}

struct RecordingStart : DialogStartSteps {
  std::vector<std::string> log;
  BlockOpen block = BlockOpen::opened;
  bool files_ok = true;
  SettingsRecord source = factory_record();
  int firmware = 105;
  void set_title_and_icon() override { log.push_back("title"); }
  BlockOpen open_block(SettingsRecord& applied) override {
    log.push_back("block");
    if (block == BlockOpen::opened) applied = source;
    return block;
  }
  void show_message(std::u16string_view text) override {
    log.push_back("message " + std::string(text.begin(), text.end()));
  }
  bool load_files(SettingsRecord& applied) override {
    log.push_back("files");
    if (files_ok) {
      applied = source;
      applied.profiles[0].LightColor = 1234;
    } else {
      std::memset(&applied, 0x5A, sizeof applied);  // half-read garbage
    }
    return files_ok;
  }
  void load_macro_library() override { log.push_back("macros"); }
  void sync_macros(SettingsRecord&) override { log.push_back("sync macros"); }
  void load_language(int id) override { log.push_back("language " + std::to_string(id)); }
  int read_firmware_version() override {
    log.push_back("firmware");
    return firmware;
  }
  void show_firmware_text(std::u16string_view text) override {
    log.push_back("firmware text " + std::string(text.begin(), text.end()));
  }
  void read_pointer_settings(ProfileRecord&) override { log.push_back("pointer settings"); }
  void build_skin() override { log.push_back("skin"); }
  void fill_pages() override { log.push_back("pages"); }
  void load_texts() override { log.push_back("texts"); }
};

TEST(OptionStart, RecordSources) {
  const std::vector<std::string> tail = {"macros", "sync macros", "language 2", "firmware",
                                         "firmware text 1.05"};
  const std::vector<std::string> end = {"skin", "pages", "texts"};
  auto join = [](std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  struct Case {
    BlockOpen block;
    bool files_ok;
    RecordSource source;
    std::vector<std::string> head;
    bool pointer_read;
  } cases[] = {
      {BlockOpen::opened, true, RecordSource::block, {"title", "block"}, true},
      {BlockOpen::missing, true, RecordSource::files, {"title", "block", "files"}, false},
      {BlockOpen::unmappable, true, RecordSource::files,
       {"title", "block", "message Could not map view of file.", "files"}, false},
      {BlockOpen::missing, false, RecordSource::factory_defaults, {"title", "block", "files"}, false},
      {BlockOpen::unmappable, false, RecordSource::factory_defaults,
       {"title", "block", "message Could not map view of file.", "files"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.source));
    RecordingStart steps;
    steps.block = c.block;
    steps.files_ok = c.files_ok;
    mark_all_changed(steps.source);
    steps.source.LanguageID = 0;
    SettingsRecord applied, working;
    clear(applied);
    clear(working);
    StartResult r = run_dialog_start(2, applied, working, steps);
    auto expected = join(c.head, tail);
    if (c.pointer_read) expected.push_back("pointer settings");
    EXPECT_EQ(steps.log, join(expected, end));
    EXPECT_EQ(r.source, c.source);
    EXPECT_EQ(record_source(c.block, c.files_ok), c.source);
    EXPECT_EQ(r.firmware_text, u"1.05");
    EXPECT_EQ(r.language_id, 2);
    // The language goes into the working record only.
    EXPECT_EQ(working.LanguageID, 2);
    working.LanguageID = applied.LanguageID;
    EXPECT_TRUE(same_bytes(&working, &applied, sizeof working));
    switch (c.source) {
      case RecordSource::block:
        EXPECT_EQ(flags_set(applied), 1);  // taken from the block: flags cleared but the global one
        break;
      case RecordSource::files:
        EXPECT_EQ(applied.profiles[0].LightColor, 1234);
        break;
      case RecordSource::factory_defaults: {
        SettingsRecord fresh = factory_record();
        EXPECT_TRUE(same_bytes(&applied, &fresh, sizeof fresh));
        break;
      }
    }
  }
}

TEST(OptionStart, NoPointerReadWithoutACurrentProfile) {
  RecordingStart steps;
  steps.source.CurrentProfile = -1;
  steps.firmware = 99;
  SettingsRecord applied, working;
  clear(applied);
  clear(working);
  StartResult r = run_dialog_start(0, applied, working, steps);
  EXPECT_EQ(std::count(steps.log.begin(), steps.log.end(), "pointer settings"), 0);
  EXPECT_EQ(r.firmware_text, u"N/A");
}

TEST(OptionFiles, ImportAndExportDialogs) {
  FileDialogRequest in = import_request("/opt/t60r/");
  EXPECT_EQ(in.kind, FileDialogRequest::Kind::open);
  EXPECT_EQ(in.initial_path, "/opt/t60r/config/.gmp");
  ASSERT_EQ(in.filters.size(), 1u);
  EXPECT_EQ(in.filters[0].name, "Gaming Mouse Profile(*.gmp)");
  EXPECT_EQ(in.filters[0].patterns, (std::vector<std::string>{"*.gmp", "*.GMP"}));
  EXPECT_EQ(in.default_suffix, "gmp");
  EXPECT_TRUE(in.must_exist);
  EXPECT_TRUE(in.confirm_overwrite);
  EXPECT_TRUE(in.hide_read_only);

  FileDialogRequest out = export_request("");
  EXPECT_EQ(out.kind, FileDialogRequest::Kind::save);
  EXPECT_EQ(out.initial_path, "config/.gmp");
  ASSERT_EQ(out.filters.size(), 1u);
  EXPECT_EQ(out.filters[0].name, "Gaming Mouse Profile(*.gmp)");
  EXPECT_EQ(out.filters[0].patterns, (std::vector<std::string>{"*.GMP", "*.gmp"}));
  EXPECT_EQ(out.default_suffix, "gmp");
  EXPECT_FALSE(out.must_exist);
  EXPECT_TRUE(out.confirm_overwrite);
  EXPECT_TRUE(out.hide_read_only);
}

TEST(OptionFiles, FileTitle) {
  const std::pair<const char*, std::u16string> cases[] = {
      {"/home/u/profiles/fps.gmp", u"fps"},
      {"/home/u/profiles/fps.GMP", u"fps"},
      {"/home/u/my.fps.gmp", u"my.fps"},
      {"/home/u/noext", u"noext"},
      {"/home/u.d/noext", u"noext"},
      {"/home/u/config/.gmp", u""},
      {"plain.gmp", u"plain"},
      {"/home/u/\xD0\x9F\xD1\x80\xD0\xBE.gmp", u"\u041F\u0440\u043E"},
  };
  for (const auto& [path, title] : cases) EXPECT_EQ(file_title(path), title) << path;
}

}  // namespace
}  // namespace mt
