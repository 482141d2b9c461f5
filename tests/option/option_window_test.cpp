// Option's main window in this process, offscreen: its start, the messages
// from Monitor, Apply, restore, the language, import and export, the
// profile and home panels and the keys, with real files, a real shared
// block and real windows on the bus (in a private runtime folder). The
// user's answers come from a scripted dialog runner and file chooser.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/macro_library.h"
#include "common/macro_sync.h"
#include "common/product.h"
#include "common/settings_files.h"
#include "common/shared_record.h"
#include "monitor_test_support.h"
#include "option/game_profile_dlg.h"
#include "option/home_dlg.h"
#include "option/message_dialogs.h"
#include "option/option_dlg.h"
#include "option/option_log.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/ex_menu.h"
#include "platform/ini_file.h"
#include "platform/named_objects.h"
#include "platform/qt/qt_text.h"
#include "platform/text.h"
#include "platform/window_bus.h"
#include "platform/window_messages.h"
#include "skin_fixture.h"

namespace mt {
namespace {

using monitor_test::Peer;
using monitor_test::PrivateRuntime;
using monitor_test::TempFolder;

// ---- a program folder of the tests' own -----------------------------------

// Skin files as the windows read them, with flat pictures (saved as BMP
// under the names the windows ask for: the folder tells formats by content).
void write_skin(const skin_test::TempFolder& dir) {
  auto picture = [&](const std::string& name, int w, int h, QColor c) {
    dir.save("Skins/" + name, skin_test::flat_picture(w, h, c), "BMP");
  };
  auto mask = [&](const std::string& name, int w, int h) {
    QImage m(w, h, QImage::Format_RGB32);
    m.fill(Qt::black);
    m.setPixel(0, 0, qRgb(255, 255, 255));  // one cut-off corner pixel
    dir.save("Skins/" + name, m, "BMP");
  };
  const char* states[] = {"normal", "over", "down", "disable"};
  const QColor colours[] = {QColor(30, 30, 30), QColor(0, 0, 200), QColor(0, 200, 0), QColor(90, 90, 90)};
  for (int i = 0; i < 4; ++i) {
    picture(std::string("main_") + states[i] + ".jpg", 1100, 620, colours[i]);
    picture(std::string("profile_") + states[i] + ".jpg", 720, 470, colours[i]);
    picture(std::string("home_") + states[i] + ".jpg", 720, 470, colours[i]);
  }
  picture("button_normal.JPG", 720, 470, QColor(40, 10, 10));
  picture("Basic_Settings_normal.jpg", 720, 470, QColor(10, 40, 10));
  picture("Color_settings_normal.jpg", 720, 470, QColor(10, 10, 40));
  mask("main_mask.bmp", 1100, 620);
  mask("middle_mask.bmp", 720, 470);
  mask("rgnbutton_mask.bmp", 326, 54);
  mask("profile_mask.bmp", 202, 60);
  picture("restore_normal.jpg", 444, 260, colours[0]);
  mask("restore_mask.bmp", 444, 260);
  dir.save("Skins/Icons/program.png", skin_test::flat_picture(64, 64, QColor(200, 30, 30)), "PNG");
  dir.write("Skins/skin_main.ini",
            "[BUTTONINFO]\n"
            "1=tab,22,302,326,54,,FALSE\n2=tab,22,362,326,54,,FALSE\n3=tab,22,422,326,54,,FALSE\n"
            "4=tab,22,482,326,54,,FALSE\n5=tab,22,542,326,54,,FALSE\n6=close,1054,16,34,32,,FALSE\n"
            "7=cancel,958,554,124,44,,FALSE\n8=minimise,1014,16,34,32,,FALSE\n9=apply,704,554,140,44,,FALSE\n"
            "10=apply,704,554,140,44,,FALSE\n11=ok,850,554,102,44,,FALSE\n12=restore,380,554,230,44,,FALSE\n"
            "13=language,916,16,88,32,,FALSE\n20=pages,370,66,720,470,,FALSE\n21=profiles,370,66,720,470,,FALSE\n"
            "22=home,370,66,720,470,,FALSE\n23=firmware,308,252,40,30,,FALSE\n");
  dir.write("Skins/skin_profile.ini",
            "[SCREEN]\nMask=middle_mask.bmp\nNormal=profile_normal.jpg\nOver=profile_over.jpg\n"
            "Down=profile_down.jpg\nDisable=profile_disable.jpg\n[BUTTONPOS]\n"
            "1=m,30,96,202,60,,FALSE\n2=m,30,228,202,60,,FALSE\n3=m,30,360,202,60,,FALSE\n"
            "7=s,246,100,108,44,,FALSE\n8=s,246,232,108,44,,FALSE\n9=s,246,364,108,44,,FALSE\n"
            "10=i,360,100,100,44,,FALSE\n11=i,360,232,100,44,,FALSE\n12=i,360,364,100,44,,FALSE\n"
            "13=e,462,100,102,44,,FALSE\n14=e,462,232,102,44,,FALSE\n15=e,462,364,102,44,,FALSE\n"
            "16=r,566,100,126,44,,FALSE\n17=r,566,232,126,44,,FALSE\n18=r,566,364,126,44,,FALSE\n");
  dir.write("Skins/Skin_Update.ini",
            "[SCREEN]\nMask=middle_mask.bmp\nNormal=home_normal.jpg\nOver=home_over.jpg\nDown=home_down.jpg\n"
            "Disable=home_disable.jpg\n[BUTTONPOS]\n1=guide,436,150,176,176,,FALSE\n");
  dir.write("Skins/skin_Restore.ini",
            "[BUTTONINFO]\n1=ok,30,210,90,30,,FALSE\n2=cancel,130,210,90,30,,FALSE\n3=close,404,10,30,30,,FALSE\n"
            "4=again,230,210,90,30,,FALSE\n");
}

// Two modules whose language labels differ, so a test sees which module a
// label was read from.
void write_languages(const skin_test::TempFolder& dir) {
  dir.write("Lang/Lang_EN.lang",
            "101=en:EN\n121=en:SC\n102=en:RU\n106=Performance\n107=Buttons\n108=Lighting\n109=Profiles\n"
            "110=Home\n111=Firmware\n112=Apply\n113=OK\n114=Cancel\n115=Restore\n116=Minimise\n"
            "218=Select\n219=Import\n220=Export\n221=Reset\n222=Profile\n223=Use\n224=Manage\n"
            "225=Profile 1\n226=Profile 2\n227=Profile 3\n250=Warning\n117=Not whole\n118=Not written\n291=No guide\n"
            "801=Restore Defaults\n802=Restore?\n803=OK\n804=Cancel\n805=Restore\n");
  dir.write("Lang/Lang_Ru.lang",
            "101=ru:EN\n121=ru:SC\n102=ru:RU\n106=Основные\n107=Кнопки\n108=Подсветка\n109=Профили\n"
            "110=Главная\n111=Прошивка\n112=Применить\n113=OK\n114=Отмена\n218=Выбрать\n222=Профиль\n"
            "225=Профиль 1\n");
}

class ProgramFolder {
 public:
  ProgramFolder() {
    write_skin(dir);
    write_languages(dir);
  }
  skin_test::TempFolder dir;
};

ProgramFolder& program() {
  static ProgramFolder* p = new ProgramFolder;  // kept for the whole test program
  return *p;
}

class RecordingLauncher final : public platform::ProcessLauncher {
 public:
  bool start(std::string_view path) override {
    started.emplace_back(path);
    return opener_found;
  }
  std::vector<std::string> started;
  bool opener_found = true;
};

// A settings record that tells its source: profile 1 current, every
// profile named, rate and colour of its own.
std::unique_ptr<SettingsRecord> sample_record(const char16_t* tag) {
  auto r = std::make_unique<SettingsRecord>();
  clear(*r);
  set_factory_defaults(*r);
  r->CurrentProfile = 1;
  for (int p = 0; p < kProfileCount; ++p) {
    platform::set_fixed_text(r->profiles[p].ProFileName, std::u16string(tag) + platform::to_u16(p));
    r->profiles[p].PollingRate = p % 4;
    r->profiles[p].LightColor = 0x100 * (p + 1);
  }
  return r;
}

int flags_set(const SettingsRecord& r) {
  int n = 0;
  for (const auto& profile : r.button_changed)
    for (int f : profile) n += f != 0;
  for (const auto& section : r.section_changed)
    for (int f : section) n += f != 0;
  return n + (r.global_changed != 0);
}

bool same_record(const SettingsRecord& a, const SettingsRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool same_profile(const ProfileRecord& a, const ProfileRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class OptionWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    set_option_log_sink([this](const std::string& line) { log.push_back(line); });
  }
  void TearDown() override {
    dlg.reset();
    set_option_log_sink({});
  }

  COptionDlg::Setup setup(int language = kLanguageEnglish) {
    COptionDlg::Setup s;
    s.program_folder = program().dir.path();
    s.settings_folder = settings_path;
    s.registry_file = settings_path + "registry.ini";
    s.system_language = language;
    s.dialogs = &dialogs;
    s.files = &files;
    return s;
  }

  COptionDlg& start(int language = kLanguageEnglish, int64_t apply_wait_ms = ApplyWait::kTimeoutMs) {
    COptionDlg::Setup s = setup(language);
    s.apply_wait_ms = apply_wait_ms;
    dlg = std::make_unique<COptionDlg>(s);
    EXPECT_TRUE(dlg->create());
    dlg->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg->state_pictures_loaded(); }, 10000));
    return *dlg;
  }

  // Monitor's side: the block with a record in it.
  void open_block(const SettingsRecord& record) {
    ASSERT_EQ(block.create(), SharedRecordBlock::Status::created);
    ASSERT_TRUE(block.publish(record));
  }
  std::unique_ptr<SettingsRecord> block_record() {
    auto r = std::make_unique<SettingsRecord>();
    EXPECT_TRUE(block.fetch(*r));
    return r;
  }

  void save_files(const SettingsRecord& record) {
    ASSERT_EQ(save_settings(record, settings_path, nullptr), 1);
  }
  std::unique_ptr<SettingsRecord> files_record() {
    auto r = std::make_unique<SettingsRecord>();
    clear(*r);
    load_settings(*r, settings_path, nullptr);
    return r;
  }

  // Posts a message to the window as Monitor does and waits until it has
  // been handled.
  void deliver(uint32_t msg, uintptr_t wparam = 0) {
    const uint64_t before = dlg->messages_handled();
    ASSERT_TRUE(platform::post_message(OPTION_WINDOW_TITLE, msg, wparam, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->messages_handled() > before; }, 10000)) << "message " << msg;
  }
  // A press posted over the bus, once it has been carried out.
  void press_over_bus(int command) {
    deliver(platform::WM_COMMAND, static_cast<uintptr_t>(command));
    QCoreApplication::processEvents();
  }

  CGameProfileDlg& panel() {
    dlg->show_page(PageId::profiles);
    return *static_cast<CGameProfileDlg*>(dlg->page_widget(PageId::profiles));
  }
  bool logged(const std::string& prefix) const {
    for (const std::string& l : log)
      if (l.rfind(prefix, 0) == 0) return true;
    return false;
  }

  PrivateRuntime runtime;
  TempFolder settings;
  std::string settings_path = settings.path();
  SharedRecordBlock block;
  ScriptedDialogRunner dialogs;
  ScriptedFileChooser files;
  std::unique_ptr<COptionDlg> dlg;
  std::vector<std::string> log;
};

// ---- the start -------------------------------------------------------------

TEST_F(OptionWindow, StartsFromTheBlockTheFilesOrNothing) {
  enum class Has { block, files, nothing };
  struct Case {
    const char* name;
    Has has;
    RecordSource source;
  };
  const Case cases[] = {{"block", Has::block, RecordSource::block},
                        {"files", Has::files, RecordSource::files},
                        {"nothing", Has::nothing, RecordSource::factory_defaults}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    settings_path = folder.path();
    auto from_block = sample_record(u"block");
    auto from_files = sample_record(u"files");
    from_block->button_changed[2][3] = 1;  // flags the block carries are cleared
    mark_all_changed(*from_files);
    if (c.has == Has::block) {
      open_block(*from_block);
      save_files(*from_files);
    }
    if (c.has == Has::files) save_files(*from_files);

    COptionDlg& d = start(kLanguageRussian);
    EXPECT_EQ(d.record_source(), c.source);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Morvath T60R Option"));
    EXPECT_TRUE(d.on_bus());
    EXPECT_TRUE(platform::window_exists(OPTION_WINDOW_TITLE));
    EXPECT_FALSE(d.windowIcon().isNull());
    EXPECT_EQ(d.size(), QSize(1100, 620));
    const SettingsRecord& w = d.working();
    if (c.has == Has::nothing) {
      auto defaults = std::make_unique<SettingsRecord>();
      clear(*defaults);
      set_factory_defaults(*defaults);
      for (int p = 0; p < kProfileCount; ++p) EXPECT_TRUE(same_profile(w.profiles[p], defaults->profiles[p]));
      EXPECT_EQ(w.CurrentProfile, 0);
    } else {
      const SettingsRecord& source = c.has == Has::block ? *from_block : *from_files;
      EXPECT_EQ(platform::fixed_text(w.profiles[4].ProFileName), platform::fixed_text(source.profiles[4].ProFileName));
      EXPECT_EQ(w.CurrentProfile, 1);
    }
    EXPECT_EQ(flags_set(d.applied()), 0);
    // The session's language, whatever the record held.
    EXPECT_EQ(w.LanguageID, kLanguageRussian);
    EXPECT_EQ(d.language_label(), QStringLiteral("ru:RU"));
    EXPECT_EQ(d.button(kMainTabButtons)->text(), QStringLiteral("Кнопки"));
    // Firmware "Setting"/"FWVersion" missing: 100.
    EXPECT_EQ(d.firmware_text(), QStringLiteral("1.00"));
    EXPECT_EQ(d.firmware_label(), QStringLiteral("Прошивка"));
    // The button page first, its tab selected; no other page made yet.
    EXPECT_EQ(d.current_page(), PageId::buttons);
    EXPECT_TRUE(d.button(kMainTabButtons)->selected());
    EXPECT_FALSE(d.button(kMainTabPerformance)->selected());
    for (PageId other : {PageId::performance, PageId::lighting, PageId::profiles, PageId::home})
      EXPECT_EQ(d.page(other), nullptr);
    EXPECT_TRUE(dialogs.shown().empty());
    // Every button has the cuts of all four state pictures (the over and
    // disabled ones come right after the first frame).
    const SkinCuts& apply = d.button(kMainApply)->pictures();
    EXPECT_EQ(apply.normal.pixel(5, 5), QColor(30, 30, 30).rgb());
    EXPECT_EQ(apply.over.pixel(5, 5), QColor(0, 0, 200).rgb());
    EXPECT_EQ(apply.down.pixel(5, 5), QColor(0, 200, 0).rgb());
    EXPECT_EQ(apply.disable.pixel(5, 5), QColor(90, 90, 90).rgb());
    dlg.reset();
    block.close();
  }
}

TEST_F(OptionWindow, ABlockOfTheWrongSizeShowsTheOneMessageAndTheFilesCount) {
  auto from_files = sample_record(u"files");
  save_files(*from_files);
  platform::SharedBlock wrong = platform::SharedBlock::create(SHARED_BLOCK_NAME, 4096);
  ASSERT_TRUE(wrong.valid());
  QString text;
  QMessageBox::StandardButtons buttons;
  QString caption;
  dialogs.then([&](QDialog& d) {
    auto& box = dynamic_cast<QMessageBox&>(d);
    text = box.text();
    buttons = box.standardButtons();
    caption = box.windowTitle();
    return 1;
  });
  COptionDlg& dlgref = start();
  EXPECT_EQ(dialogs.shown(), std::vector<std::string>{"QMessageBox"});
  EXPECT_EQ(text, QStringLiteral("Could not map view of file."));
  EXPECT_EQ(buttons, QMessageBox::Ok);
  EXPECT_TRUE(caption.isEmpty());  // the default caption
  EXPECT_EQ(dlgref.record_source(), RecordSource::files);
  EXPECT_EQ(platform::fixed_text(dlgref.working().profiles[0].ProFileName), u"files0");
}

TEST_F(OptionWindow, TheMacroLibraryIsMergedFromTheProfilesAndSavedAtTheStart) {
  auto r = sample_record(u"files");
  ButtonRecord& b = r->profiles[3].MacroKeyInfo[4];
  b.function = kFnMacro;
  platform::set_fixed_text(b.macro_name, u"Combo");
  b.event_count = 1;
  b.repeat_count = 1;
  save_files(*r);
  start();
  std::vector<MacroRecord> saved;
  ASSERT_EQ(load_macro_library(saved, settings.path()), 1u);
  EXPECT_EQ(platform::fixed_text(saved[0].name), u"Combo");
  ASSERT_EQ(dlg->macro_library().size(), 1u);
}

TEST_F(OptionWindow, ASecondWindowCannotTakeTheTitle) {
  start();
  COptionDlg second(setup());
  EXPECT_FALSE(second.create());
  EXPECT_TRUE(logged("another Option's window is open"));
}

// ---- messages from Monitor --------------------------------------------------

TEST_F(OptionWindow, ProfileChangeTakesTheBlockAndDropsTheEdits) {
  open_block(*sample_record(u"block"));
  start();
  panel();
  dlg->working().profiles[1].LightColor = 0xABCDEF;  // an edit not applied
  auto changed = sample_record(u"moved");
  changed->CurrentProfile = 2;
  changed->button_changed[2][0] = 1;
  ASSERT_TRUE(block.publish(*changed));
  deliver(WM_OPT_PROFILE_CHANGED);
  EXPECT_EQ(dlg->working().CurrentProfile, 2);
  EXPECT_EQ(dlg->working().profiles[1].LightColor, changed->profiles[1].LightColor);
  EXPECT_EQ(flags_set(dlg->working()), 0);
  EXPECT_TRUE(same_record(dlg->applied(), dlg->working()));
  // The panel follows: row 3 current, its buttons enabled and no other's.
  EXPECT_EQ(panel().current_row(), 2);
  EXPECT_TRUE(panel().control(3)->selected());
  EXPECT_FALSE(panel().control(2)->selected());
  EXPECT_TRUE(panel().control(12)->isEnabled());
  EXPECT_FALSE(panel().control(11)->isEnabled());
}

TEST_F(OptionWindow, FirmwareReloadRereadsTheVersionThenTakesTheBlock) {
  open_block(*sample_record(u"block"));
  platform::ini_set_int(config_ini_path(settings.path()), u"Setting", u"FWVersion", 501);
  start();
  EXPECT_EQ(dlg->firmware_text(), QStringLiteral("N/A"));
  platform::ini_set_int(config_ini_path(settings.path()), u"Setting", u"FWVersion", 150);
  auto changed = sample_record(u"again");
  ASSERT_TRUE(block.publish(*changed));
  deliver(WM_OPT_FIRMWARE_RELOAD);
  EXPECT_EQ(dlg->firmware_text(), QStringLiteral("1.50"));
  EXPECT_EQ(platform::fixed_text(dlg->working().profiles[0].ProFileName), u"again0");
}

TEST_F(OptionWindow, LevelChangeOnTheMouseKeepsTheLightingEdits) {
  auto r = sample_record(u"block");
  open_block(*r);
  start();
  SettingsRecord& w = dlg->working();
  w.profiles[1].LightColor = 0x123456;  // unsaved lighting edit
  w.profiles[1].Brightness = 2;
  r->profiles[1].CpiStep = 3;
  r->profiles[1].CpiLevel_X[3] = 9;
  r->profiles[1].CpiLevel_Y[3] = 7;
  r->profiles[1].PollingRate = 3;
  r->profiles[1].Sensitivity_X = 4;
  ASSERT_TRUE(block.publish(*r));
  deliver(WM_OPT_LEVEL_CHANGED);
  EXPECT_EQ(w.profiles[1].CpiStep, 3);
  EXPECT_EQ(w.profiles[1].CpiLevel_X[3], 9);
  EXPECT_EQ(w.profiles[1].CpiLevel_Y[3], 7);
  EXPECT_EQ(w.profiles[1].PollingRate, 3);
  EXPECT_EQ(w.profiles[1].Sensitivity_X, 4);
  EXPECT_EQ(w.profiles[1].LightColor, 0x123456);
  EXPECT_EQ(w.profiles[1].Brightness, 2);
  EXPECT_EQ(dlg->applied().profiles[1].PollingRate, 3);
}

TEST_F(OptionWindow, FactoryResetFromTheMouseResetsAndSaves) {
  open_block(*sample_record(u"block"));
  start();
  dlg->working().profiles[0].LightColor = 0x00FFFF;
  deliver(WM_OPT_DEVICE_RESET);
  auto defaults = std::make_unique<SettingsRecord>();
  clear(*defaults);
  set_factory_defaults(*defaults);
  EXPECT_EQ(dlg->working().CurrentProfile, 0);
  EXPECT_EQ(flags_set(dlg->working()), 0);
  auto saved = files_record();
  EXPECT_EQ(saved->CurrentProfile, 0);
  for (int p = 0; p < kProfileCount; ++p) {
    EXPECT_TRUE(same_profile(dlg->working().profiles[p], defaults->profiles[p]));
    EXPECT_EQ(platform::fixed_text(saved->profiles[p].ProFileName), platform::fixed_text(defaults->profiles[p].ProFileName));
  }
}

TEST_F(OptionWindow, MonitorsCloseEndsTheWindowAndTheEditsWithIt) {
  auto r = sample_record(u"block");
  open_block(*r);
  start();
  dlg->working().profiles[1].LightColor = 0x654321;
  // A confirmation open over the window goes too.
  dialogs.then([&](QDialog& d) {
    EXPECT_TRUE(platform::post_message(OPTION_WINDOW_TITLE, platform::WM_CLOSE));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !d.isVisible(); }, 10000));
    return d.result();
  });
  dlg->press(kMainRestore);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !dlg->isVisible(); }, 10000));
  EXPECT_EQ(dlg->result(), CSkinDialog::kResultCancel);
  EXPECT_FALSE(platform::window_exists(OPTION_WINDOW_TITLE));
  EXPECT_EQ(block_record()->profiles[1].LightColor, r->profiles[1].LightColor);
  EXPECT_FALSE(std::filesystem::exists(config_ini_path(settings.path())));
}

// ---- Apply ------------------------------------------------------------------

TEST_F(OptionWindow, ApplyWithoutMonitorSavesAndEndsTheWaitAtOnce) {
  save_files(*sample_record(u"files"));
  start();
  dlg->working().profiles[1].LightColor = 0x0000FF;
  dlg->working().button_changed[1][2] = 1;
  dlg->press(kMainApply);
  EXPECT_FALSE(dlg->wait_shown());
  EXPECT_TRUE(dlg->button(kMainApply)->isEnabled());
  EXPECT_TRUE(dlg->button(kMainOk)->isEnabled());
  EXPECT_EQ(files_record()->profiles[1].LightColor, 0x0000FF);
  EXPECT_EQ(flags_set(dlg->working()), 0);
  EXPECT_TRUE(same_record(dlg->applied(), dlg->working()));
  // The apply time stamp.
  uint8_t code[16] = {};
  EXPECT_TRUE(platform::ini_get_struct(config_ini_path(settings.path()), u"HidAccessCode", u"Code", code, 16));
  EXPECT_TRUE(logged("apply (0): no Monitor, done at once"));
}

TEST_F(OptionWindow, ApplyWithMonitorWaitsForItsAnswer) {
  open_block(*sample_record(u"block"));
  Peer monitor(MONITOR_WINDOW_TITLE);
  Peer companion(OSD_COMPANION_TITLES[1]);
  ASSERT_TRUE(monitor.ok() && companion.ok());
  start();
  dlg->working().profiles[1].LightColor = 0x00FF00;
  press_over_bus(ID_MAIN_APPLY);
  ASSERT_TRUE(monitor.wait_for(WM_MON_APPLY_ALL));
  ASSERT_TRUE(companion.wait_for(WM_MON_APPLY_ALL));
  EXPECT_EQ(monitor.messages()[0].wparam, 0u);
  // The block has the record by the time 1224 arrives.
  EXPECT_EQ(block_record()->profiles[1].LightColor, 0x00FF00);
  EXPECT_TRUE(dlg->waiting_for_monitor());
  EXPECT_TRUE(dlg->wait_shown());
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  for (int key : {kMainApply, kMainApply2, kMainOk}) EXPECT_FALSE(dlg->button(key)->isEnabled());

  // Meanwhile the window takes no clicks, and a posted Apply is a press of
  // a disabled button.
  QTest::mouseClick(dlg->button(kMainTabHome), Qt::LeftButton, {}, QPoint(160, 27));
  EXPECT_EQ(dlg->current_page(), PageId::buttons);
  press_over_bus(ID_MAIN_APPLY2);
  EXPECT_EQ(monitor.collect().size(), 1u);

  deliver(WM_OPT_APPLY_DONE);
  EXPECT_FALSE(dlg->wait_shown());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  for (int key : {kMainApply, kMainApply2, kMainOk}) EXPECT_TRUE(dlg->button(key)->isEnabled());
  QTest::mouseClick(dlg->button(kMainTabHome), Qt::LeftButton, {}, QPoint(160, 27));
  EXPECT_EQ(dlg->current_page(), PageId::home);
  press_over_bus(ID_MAIN_APPLY2);
  ASSERT_TRUE(QTest::qWaitFor([&] { return monitor.collect().size() == 2; }, 10000));
}

TEST_F(OptionWindow, TheWaitEndsWhenMonitorGoesOrDoesNotAnswer) {
  auto monitor = std::make_unique<Peer>(MONITOR_WINDOW_TITLE);
  start(kLanguageEnglish, /*apply_wait_ms=*/400);
  dlg->press(kMainApply);
  ASSERT_TRUE(dlg->wait_shown());
  monitor.reset();  // Monitor ended mid-write
  EXPECT_TRUE(QTest::qWaitFor([&] { return !dlg->wait_shown(); }, 10000));
  EXPECT_TRUE(dlg->button(kMainApply)->isEnabled());
  EXPECT_TRUE(logged("apply wait ended: Monitor's window is gone"));

  // A Monitor that is there but never answers: the timeout.
  Peer hung(MONITOR_WINDOW_TITLE);
  dlg->press(kMainApply);
  ASSERT_TRUE(dlg->wait_shown());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !dlg->wait_shown(); }, 10000));
  EXPECT_TRUE(logged("apply wait ended: no answer from Monitor in 400 ms"));
}

TEST_F(OptionWindow, ApplyReachesAMonitorStartedAfterTheWindow) {
  save_files(*sample_record(u"files"));
  start();
  EXPECT_EQ(dlg->record_source(), RecordSource::files);
  open_block(*sample_record(u"monitor"));  // Monitor starts now
  Peer monitor(MONITOR_WINDOW_TITLE);
  dlg->working().profiles[2].LightColor = 0x0F0F0F;
  dlg->press(kMainApply);
  ASSERT_TRUE(monitor.wait_for(WM_MON_APPLY_ALL));
  EXPECT_EQ(block_record()->profiles[2].LightColor, 0x0F0F0F);
}

TEST_F(OptionWindow, OkAppliesAndCloses_CloseDiscards) {
  save_files(*sample_record(u"files"));
  start();
  dlg->working().profiles[1].LightColor = 0x010203;
  dlg->press(kMainClose);
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_EQ(dlg->result(), CSkinDialog::kResultCancel);
  EXPECT_NE(files_record()->profiles[1].LightColor, 0x010203);

  start();
  dlg->working().profiles[1].LightColor = 0x010203;
  dlg->press(kMainOk);
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_EQ(dlg->result(), CSkinDialog::kResultOk);
  EXPECT_EQ(files_record()->profiles[1].LightColor, 0x010203);
}

TEST_F(OptionWindow, RestoreDefaultsAppliesWithOneAndEveryFlagSet) {
  open_block(*sample_record(u"block"));
  Peer monitor(MONITOR_WINDOW_TITLE);
  start();
  dialogs.answer(CSkinDialog::kResultCancel);
  dlg->press(kMainRestore);
  EXPECT_EQ(platform::fixed_text(dlg->working().profiles[0].ProFileName), u"block0");
  EXPECT_EQ(monitor.collect().size(), 0u);

  dialogs.answer(CSkinDialog::kResultOk);
  dlg->press(kMainRestore);
  EXPECT_EQ(dialogs.shown(), (std::vector<std::string>{"mt::CDlgRestore", "mt::CDlgRestore"}));
  ASSERT_TRUE(monitor.wait_for(WM_MON_APPLY_ALL));
  EXPECT_EQ(monitor.messages()[0].wparam, 1u);
  // The block got the factory record with every flag set; the files too.
  auto published = block_record();
  EXPECT_EQ(flags_set(*published), 80 + 25 + 1);
  EXPECT_EQ(published->CurrentProfile, 0);
  EXPECT_EQ(platform::fixed_text(files_record()->profiles[0].ProFileName), u"Default1");
  EXPECT_EQ(flags_set(dlg->working()), 0);
}

// ---- the language ---------------------------------------------------------

TEST_F(OptionWindow, LanguageSwitchReloadsEveryCaptionAndTakesTheLabelFromTheOldModule) {
  start(kLanguageEnglish);
  panel();
  dlg->show_page(PageId::buttons);
  dlg->show_status_hint(u"a hint");
  EXPECT_EQ(dlg->language_label(), QStringLiteral("en:EN"));

  // Through the menu: items 3001-3003 in order, the button pressed while open.
  bool down_while_open = false;
  std::vector<QString> items;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<CExMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    down_while_open = dlg->button(kMainLanguage)->isDown();
    for (QAction* a : menu->actions()) items.push_back(a->text());
    menu->setActiveAction(menu->action_of(3003));
    QTest::keyClick(menu, Qt::Key_Return);
  });
  dlg->press(kMainLanguage);
  EXPECT_TRUE(down_while_open);
  EXPECT_FALSE(dlg->button(kMainLanguage)->isDown());
  EXPECT_EQ(items, (std::vector<QString>{"en:EN", "en:SC", "en:RU"}));

  EXPECT_EQ(dlg->language_id(), kLanguageRussian);
  EXPECT_EQ(dlg->language_label(), QStringLiteral("en:RU"));  // from the module before the switch
  EXPECT_EQ(dlg->button(kMainLanguage)->text(), QStringLiteral("en:RU"));
  EXPECT_EQ(dlg->button(kMainTabLighting)->text(), QStringLiteral("Подсветка"));
  EXPECT_EQ(dlg->button(kMainApply)->text(), QStringLiteral("Применить"));
  EXPECT_EQ(dlg->button(kMainCancel)->text(), QStringLiteral("Отмена"));
  EXPECT_EQ(dlg->button(kMainRestore)->text(), QString());  // the module lacks it
  EXPECT_EQ(dlg->firmware_label(), QStringLiteral("Прошивка"));
  EXPECT_EQ(panel().control(7)->text(), QStringLiteral("Выбрать"));
  EXPECT_EQ(panel().control(1)->text(), QStringLiteral("Профиль 1"));
  EXPECT_EQ(panel().headings()[0], QStringLiteral("Профиль"));
  EXPECT_TRUE(dlg->status_text().isEmpty());

  // Back over the bus: the label now from the Russian module.
  press_over_bus(kMenuLanguageEnglish);
  EXPECT_EQ(dlg->language_id(), kLanguageEnglish);
  EXPECT_EQ(dlg->language_label(), QStringLiteral("ru:EN"));
  EXPECT_EQ(dlg->button(kMainTabLighting)->text(), QStringLiteral("Lighting"));
  // A page made after the switch starts in the language in use.
  dlg->show_page(PageId::home);
  EXPECT_EQ(dlg->working().LanguageID, kLanguageEnglish);
}

// ---- import and export -------------------------------------------------------

TEST_F(OptionWindow, ImportOfAGoodATruncatedAndAMissingFile) {
  save_files(*sample_record(u"files"));
  Peer monitor(MONITOR_WINDOW_TITLE);
  start();
  auto source = sample_record(u"import");
  ButtonRecord& b = source->profiles[0].MacroKeyInfo[2];
  b.function = kFnMacro;
  platform::set_fixed_text(b.macro_name, u"Imported macro");
  const std::string good = settings.path() + "good.gmp";
  ASSERT_TRUE(write_profile_file(source->profiles[0], good));
  std::string bytes;
  {
    std::FILE* f = std::fopen(good.c_str(), "rb");
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    std::fclose(f);
  }
  const std::string truncated = settings.path() + "truncated.gmp";
  {
    std::FILE* f = std::fopen(truncated.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size() * 2 / 3, f);
    std::fclose(f);
  }

  auto before = std::make_unique<SettingsRecord>(dlg->working());
  for (const std::string& bad : {truncated, settings.path() + "missing.gmp"}) {
    SCOPED_TRACE(bad);
    files.answer(bad);
    dialogs.answer(CSkinDialog::kResultOk);
    dlg->import_profile();
    EXPECT_TRUE(same_record(dlg->working(), *before));
    EXPECT_EQ(dialogs.shown().back(), "mt::CWarnImportDlg");
  }
  files.cancel();
  dlg->import_profile();
  EXPECT_TRUE(same_record(dlg->working(), *before));
  EXPECT_EQ(dialogs.shown().size(), 2u);
  EXPECT_EQ(monitor.collect().size(), 0u);  // nothing applied
  EXPECT_EQ(files_record()->profiles[1].LightColor, before->profiles[1].LightColor);

  files.answer(good);
  dlg->import_profile();
  ASSERT_TRUE(monitor.wait_for(WM_MON_APPLY_ALL));
  EXPECT_EQ(monitor.messages()[0].wparam, 0u);
  EXPECT_EQ(platform::fixed_text(dlg->working().profiles[1].ProFileName), u"import0");
  EXPECT_EQ(platform::fixed_text(files_record()->profiles[1].ProFileName), u"import0");
  EXPECT_EQ(find_macro(dlg->macro_library(), u"Imported macro"), 0);
  EXPECT_TRUE(same_profile(dlg->working().profiles[0], before->profiles[0]));

  // The open dialog as designed: the profile filter, "<settings>config/.gmp".
  const FileDialogRequest& req = files.requests()[0];
  EXPECT_EQ(req.kind, FileDialogRequest::Kind::open);
  EXPECT_EQ(req.initial_path, settings.path() + "config/.gmp");
  EXPECT_TRUE(req.must_exist);
  ASSERT_EQ(req.filters.size(), 1u);
  EXPECT_EQ(QtFileChooser::name_filter(req.filters[0]), "Gaming Mouse Profile (*.gmp *.GMP)");
}

TEST_F(OptionWindow, ExportWritesTheProfileAndRecordsItsName) {
  start();
  dlg->working().profiles[0].LightColor = 0x00ABCD;  // an edit: exported as it is
  const std::string chosen = settings.path() + "mine.gmp";
  files.answer(chosen);
  dlg->export_profile();
  ProfileRecord read{};
  ASSERT_TRUE(read_profile_file(read, chosen));
  EXPECT_TRUE(same_profile(read, dlg->working().profiles[0]));
  EXPECT_EQ(platform::ini_get_string(config_ini_path(settings.path()), u"FileName", u"Profile1", u""), u"mine");
  ASSERT_TRUE(read_profile_file(read, profile_file_path(settings.path(), 0)));
  EXPECT_EQ(read.LightColor, 0x00ABCD);
  EXPECT_EQ(files.requests()[0].kind, FileDialogRequest::Kind::save);
  EXPECT_TRUE(dialogs.shown().empty());

  // A file that cannot be written says so.
  files.answer(settings.path() + "no/such/folder/x.gmp");
  dialogs.answer(CSkinDialog::kResultOk);
  dlg->export_profile();
  EXPECT_EQ(dialogs.shown(), std::vector<std::string>{"mt::CWarnExportDlg"});
}

// ---- the profile panel -----------------------------------------------------

TEST_F(OptionWindow, ProfilePanelSelectsResetsAndOffersImportAndExportInTheCurrentRowOnly) {
  open_block(*sample_record(u"block"));
  Peer monitor(MONITOR_WINDOW_TITLE);
  start();
  CGameProfileDlg& p = panel();
  EXPECT_EQ(p.current_row(), 1);
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(p.control(1 + row)->selected(), row == 1);
    EXPECT_TRUE(p.control(7 + row)->isEnabled());
    for (int first : {10, 13, 16}) EXPECT_EQ(p.control(first + row)->isEnabled(), row == 1);
  }
  EXPECT_EQ(p.control(1)->text(), QStringLiteral("Profile 1"));
  EXPECT_EQ(p.control(16)->text(), QStringLiteral("Reset"));

  auto applied_with = [&](uintptr_t flag) {
    std::vector<monitor_test::Received> got;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !(got = monitor.collect()).empty(); }, 10000));
    monitor.clear();
    deliver(WM_OPT_APPLY_DONE);
    return got.size() == 1 && got[0].msg == WM_MON_APPLY_ALL && got[0].wparam == flag;
  };

  QTest::mouseClick(p.control(9), Qt::LeftButton);  // select row 3
  EXPECT_TRUE(applied_with(0));
  EXPECT_EQ(dlg->working().CurrentProfile, 2);
  EXPECT_EQ(block_record()->CurrentProfile, 2);
  EXPECT_EQ(p.current_row(), 2);
  EXPECT_TRUE(p.control(18)->isEnabled());
  EXPECT_FALSE(p.control(17)->isEnabled());

  QTest::mouseClick(p.control(9), Qt::LeftButton);  // the current row again: applies again
  EXPECT_TRUE(applied_with(0));

  // A disabled reset of another row does nothing; the current row's resets.
  QTest::mouseClick(p.control(16), Qt::LeftButton);
  EXPECT_EQ(monitor.collect().size(), 0u);
  QTest::mouseClick(p.control(18), Qt::LeftButton);
  EXPECT_TRUE(applied_with(1));
  EXPECT_EQ(platform::fixed_text(dlg->working().profiles[2].ProFileName), u"Default3");
  EXPECT_EQ(platform::fixed_text(block_record()->profiles[2].ProFileName), u"Default3");
  EXPECT_EQ(platform::fixed_text(dlg->working().profiles[1].ProFileName), u"block1");

  // Import and export of the current row go to the main window's dialogs.
  files.cancel().cancel();
  QTest::mouseClick(p.control(12), Qt::LeftButton);
  QTest::mouseClick(p.control(15), Qt::LeftButton);
  ASSERT_EQ(files.requests().size(), 2u);
  EXPECT_EQ(files.requests()[0].kind, FileDialogRequest::Kind::open);
  EXPECT_EQ(files.requests()[1].kind, FileDialogRequest::Kind::save);
}

// ---- the home panel, the pages, keys ----------------------------------------

TEST_F(OptionWindow, HomePanelOpensTheShippedGuide) {
  start();
  dlg->press(kMainTabHome);
  auto* home = static_cast<CHomeDlg*>(dlg->page_widget(PageId::home));
  ASSERT_NE(home, nullptr);
  RecordingLauncher launcher;
  home->set_launcher(&launcher);
  QTest::mouseClick(home->guide_button(), Qt::LeftButton);
  EXPECT_EQ(launcher.started, std::vector<std::string>{program().dir.path() + "doc/index.html"});
  EXPECT_TRUE(home->guide_button()->text().isEmpty());
  EXPECT_TRUE(dialogs.shown().empty());

  // No opener on this desktop: the user is told where the guide is.
  launcher.opener_found = false;
  QString said;
  dialogs.then([&](QDialog& d) {
    said = static_cast<CMessageDlg&>(d).message_text();
    return CSkinDialog::kResultOk;
  });
  QTest::mouseClick(home->guide_button(), Qt::LeftButton);
  EXPECT_EQ(launcher.started.size(), 2u);
  EXPECT_EQ(dialogs.shown(), std::vector<std::string>{"mt::CMessageDlg"});
  EXPECT_EQ(said, "No guide");
}

TEST_F(OptionWindow, PagesAreMadeOnTheirFirstShowingAndHiddenPagesDecodeNothing) {
  start();
  dlg->press(kMainTabLighting);
  ASSERT_NE(dlg->page(PageId::lighting), nullptr);
  EXPECT_TRUE(dlg->page_widget(PageId::lighting)->isVisible());
  EXPECT_FALSE(dlg->page_widget(PageId::buttons)->isVisible());
  EXPECT_EQ(dlg->page_widget(PageId::lighting)->geometry(), QRect(370, 66, 720, 470));
  EXPECT_TRUE(dlg->button(kMainTabLighting)->selected());
  EXPECT_FALSE(dlg->button(kMainTabButtons)->selected());
  // The profile panel's pictures are decoded when it is first shown, not before.
  EXPECT_EQ(dlg->page(PageId::profiles), nullptr);
  const std::size_t decoded = dlg->skin().decoded_pictures();
  dlg->press(kMainTabProfiles);
  EXPECT_GT(dlg->skin().decoded_pictures(), decoded);
  EXPECT_EQ(dlg->page_widget(PageId::profiles)->geometry().topLeft(), QPoint(370, 66));
  // A page made later shows the current profile and the texts at once.
  EXPECT_EQ(panel().current_row(), 0);
  EXPECT_EQ(panel().control(7)->text(), QStringLiteral("Select"));
}

TEST_F(OptionWindow, EnterAndEscapeDoNothing) {
  save_files(*sample_record(u"files"));
  start();
  dlg->press(kMainTabProfiles);
  QWidget* targets[] = {dlg.get(), panel().control(9)};
  panel().control(9)->setFocus();
  for (QWidget* target : targets)
    for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
      QTest::keyClick(target, static_cast<Qt::Key>(key));
      EXPECT_TRUE(dlg->isVisible());
    }
  EXPECT_EQ(dlg->working().CurrentProfile, 1);  // the focused select button was not pressed
}

TEST_F(OptionWindow, StatusLineShowsTheHintsOfTheControls) {
  start();
  dlg->show_status_hint(u"Click a button");
  EXPECT_EQ(dlg->status_text(), QStringLiteral("Click a button"));
  dlg->show_status_hint(u"");
  EXPECT_TRUE(dlg->status_text().isEmpty());
}

}  // namespace
}  // namespace mt
