#include "common/settings_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>

#include "common/pointer_settings.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "tests/common/file_fixture.h"

namespace {

using fixture::TempFolder;
using mt::ButtonRecord;
using mt::ProfileRecord;
using mt::SettingsRecord;

// ---------------------------------------------------------------------------
// A profile file as the Windows profile functions write it, built line by
// line, and the record it stands for. Every scalar has a value of its own so
// that a key read into the wrong field shows.

ProfileRecord windows_profile() {
  ProfileRecord p;
  std::memset(&p, 0xAB, sizeof p);  // padding is never read: it must stay as it was
  platform::set_fixed_text(p.ProFileName, u"Профиль \U0001F3AE 2");
  platform::set_fixed_text(p.GameFile, u"/opt/games/Quake III/quake3.x86");
  p.DbleClickSpeed = 430;
  p.ScrollWheelSpeed = 7;
  p.ScrollWheelFlag = 0;
  p.MouseSpeed = 13;
  p.Acceleration = 19;
  p.AccelerationFlag = 1;
  p.TiltSpeed = 5;
  p.MediaOption = 3;
  p.HDDKeyboard = -1;
  p.Orientation = 11;
  p.XYSynchronous = 1;
  p.Sensitivity_X = 17;
  p.Sensitivity_Y = 18;
  p.Cpi_X = 21;
  p.Cpi_Y = 22;
  p.XYCpiFlag = 23;
  p.Saturation = 24;
  p.LightColor = 0x00336699;
  p.Brightness = 2;
  p.Intervall = 26;
  p.ProfileCPIFlag = 27;
  p.Color_X = 318;
  const int32_t lx[5] = {1, 3, 5, 7, 9}, ly[5] = {2, 4, 6, 8, 12};
  for (int i = 0; i < 5; ++i) p.CpiLevel_X[i] = lx[i], p.CpiLevel_Y[i] = ly[i];
  p.CpiStep = 4;
  p.AMCpi_X = 31;
  p.AMCpi_Y = 32;
  p.AMCpiFlag = 33;
  p.PollingRate = 3;
  p.LiftSwitch = 35;
  p.LiftLevel = 36;
  p.LightSwitch = 37;
  p.LightType = 38;
  p.LightEnable = 39;
  p.ColorFlag = 40;
  p.ColorOptions = 25;
  p.ColorChangeMode = 42;
  p.SCrollSpinFlag = 43;
  p.BTOption = -2147483647 - 1;
  p.OTGSpeed = 2147483647;
  const uint8_t sf[5] = {1, 0, 1, 0, 1}, di[5] = {5, 4, 3, 2, 1};
  for (int i = 0; i < 5; ++i) p.dpiStepFlag[i] = sf[i], p.dpiIndicator[i] = di[i];
  p.DpiIndicationType = 200;
  p.CpiXDefault = 46;
  p.CpiYDefault = 47;
  p.BtnConfiguration = 201;
  p.Color1Type = 202;
  p.Color2Type = 203;
  p.LightEffectSwitch1 = 204;
  p.LightEffectSwitch2 = 205;
  p.LightEffectType1 = 206;
  p.LightEffectType2 = 207;
  p.ColorOptions1 = 208;
  p.ColorOptions2 = 209;
  p.ColorChangeModeOptions1 = 210;
  p.ColorChangeModeOptions2 = 211;
  p.FireOrOnToGoStatusIndicatorSetting = 0;
  p.ProfileSwitchIndictor = 255;

  const uint8_t functions[16] = {1, 2, 16, 5, 17, 14, 15, 0, 0, 0, 0, 0, 0, 0, 9, 10};
  std::memset(p.MacroKeyInfo, 0, sizeof p.MacroKeyInfo);
  for (int b = 0; b < 16; ++b) {
    p.MacroKeyInfo[b].slot = static_cast<uint8_t>(b);
    p.MacroKeyInfo[b].function = functions[b];
  }
  ButtonRecord& macro = p.MacroKeyInfo[2];
  platform::set_fixed_text(macro.macro_name, u"Combo");
  macro.repeat_count = 3;
  macro.event_count = 4;
  macro.events[0] = {4, 1, 30};
  macro.events[1] = {4, 2, 300};
  macro.events[2] = {240, 1, 0};
  macro.events[3] = {240, 2, 65535};
  ButtonRecord& key = p.MacroKeyInfo[3];
  key.event_count = 1;
  key.events[0] = {29, mt::kModCtrl | mt::kModShift, 0};
  key.unused1[0] = 0x5A;  // carried as stored
  key.unused2[1] = 0xA5;
  platform::set_fixed_text(p.MacroKeyInfo[4].program_path, u"/usr/bin/gimp");
  return p;
}

std::vector<std::string> windows_profile_lines(const ProfileRecord& p) {
  std::vector<std::string> lines = {
      "[Setting]",
      "ProFileName=Профиль 🎮 2",
      "GameFile=/opt/games/Quake III/quake3.x86",
      "DbleClickSpeed=430",
      "ScrollWheelSpeed=7",
      "ScrollWheelFlag=0",
      "MouseSpeed=13",
      "Acceleration=19",
      "AccelerationFlag=1",
      "TiltSpeed=5",
      "MediaOption=3",
      "HDDKeyboard=-1",
      "Orientation=11",
      "XYSynchronous=1",
      "Sensitivity_X=17",
      "Sensitivity_Y=18",
      "Cpi_X=21",
      "Cpi_Y=22",
      "XYCpiFlag=23",
      "Saturation=24",
      "LightColor=3368601",
      "Brightness=2",
      "Intervall=26",
      "ProfileCPIFlag=27",
      "Color_X=318",
      "CpiLevel_X0=1",
      "CpiLevel_X1=3",
      "CpiLevel_X2=5",
      "CpiLevel_X3=7",
      "CpiLevel_X4=9",
      "CpiLevel_Y0=2",
      "CpiLevel_Y1=4",
      "CpiLevel_Y2=6",
      "CpiLevel_Y3=8",
      "CpiLevel_Y4=12",
      "CpiStep=4",
      "AMCpi_X=31",
      "AMCpi_Y=32",
      "AMCpiFlag=33",
      "PollingRate=3",
      "LiftSwitch=35",
      "LiftLevel=36",
      "LightSwitch=37",
      "LightType=38",
      "LightEnable=39",
      "ColorFlag=40",
      "ColorOptions=25",
      "ColorChangeMode=42",
      "SCrollSpinFlag=43",
      "BTOption=-2147483648",
      "OTGSpeed=2147483647",
      "dpiStepFlag0=1",
      "dpiStepFlag1=0",
      "dpiStepFlag2=1",
      "dpiStepFlag3=0",
      "dpiStepFlag4=1",
      "dpiIndicator0=5",
      "dpiIndicator1=4",
      "dpiIndicator2=3",
      "dpiIndicator3=2",
      "dpiIndicator4=1",
      "DpiIndicationType=200",
      "CpiXDefault=46",
      "CpiYDefault=47",
      "BtnConfiguration=201",
      "Color1Type=202",
      "Color2Type=203",
      "LightEffectSwitch1=204",
      "LightEffectSwitch2=205",
      "LightEffectType1=206",
      "LightEffectType2=207",
      "ColorOptions1=208",
      "ColorOptions2=209",
      "ColorChangeModeOptions1=210",
      "ColorChangeModeOptions2=211",
      "FireOrOnToGoStatusIndicatorSetting=0",
      "ProfileSwitchIndictor=255",
  };
  for (int b = 0; b < 16; ++b)
    lines.push_back("MacroKeyInfo" + std::to_string(b) + "=" +
                    fixture::hex_record(&p.MacroKeyInfo[b], sizeof(ButtonRecord)));
  return lines;
}

TEST(ProfileFile, WindowsWrittenFileLoadsIntoExactlyTheRecord) {
  TempFolder dir;
  const ProfileRecord expected = windows_profile();
  fixture::write_file(dir / "w.gmp", fixture::windows_ini(windows_profile_lines(expected)));

  ProfileRecord loaded;
  std::memset(&loaded, 0xAB, sizeof loaded);
  ASSERT_TRUE(mt::read_profile_file(loaded, dir / "w.gmp"));
  for (std::size_t i = 0; i < sizeof loaded; ++i)
    ASSERT_EQ(reinterpret_cast<const uint8_t*>(&loaded)[i], reinterpret_cast<const uint8_t*>(&expected)[i])
        << "first difference at byte " << i;
}

TEST(ProfileFile, WriterProducesTheWindowsBytes) {
  TempFolder dir;
  const ProfileRecord profile = windows_profile();
  ASSERT_TRUE(mt::write_profile_file(profile, dir / "ours.gmp"));
  EXPECT_EQ(fixture::read_file(dir / "ours.gmp"), fixture::windows_ini(windows_profile_lines(profile)));
}

TEST(ProfileFile, RewriteKeepsLinesTheWriterDoesNotKnow) {
  TempFolder dir;
  const ProfileRecord profile = windows_profile();
  std::vector<std::string> lines = windows_profile_lines(profile);
  lines.insert(lines.begin(), "; kept comment");
  lines.insert(lines.begin() + 4, "FutureKey=abc");
  lines.push_back("[Other]");
  lines.push_back("x=1");
  fixture::write_file(dir / "p.gmp", fixture::windows_ini(lines));

  ASSERT_TRUE(mt::write_profile_file(profile, dir / "p.gmp"));
  EXPECT_EQ(fixture::read_file(dir / "p.gmp"), fixture::windows_ini(lines));
}

// ---------------------------------------------------------------------------
// Button records and strings from files are brought into the record's rules.

TEST(ProfileFile, ButtonRecordsAndStringsAreBroughtIntoRange) {
  ButtonRecord many{};
  many.slot = 0;
  many.function = 16;
  many.event_count = 70;
  ButtonRecord unterminated{};
  unterminated.slot = 1;
  unterminated.function = 17;
  for (auto& c : unterminated.macro_name) c = u'M';
  for (auto& c : unterminated.program_path) c = u'p';
  ButtonRecord short_record{};
  std::string bad_checksum = fixture::hex_record(&many, sizeof many);
  bad_checksum.back() = bad_checksum.back() == '0' ? '1' : '0';

  std::vector<std::string> lines = {
      "[Setting]",
      "ProFileName=" + std::string(300, 'N'),
      "GameFile=" + std::string(600, 'g'),
      "MacroKeyInfo0=" + fixture::hex_record(&many, sizeof many),
      "MacroKeyInfo1=" + fixture::hex_record(&unterminated, sizeof unterminated),
      "MacroKeyInfo2=" + bad_checksum,
      "MacroKeyInfo3=" + fixture::hex_record(&short_record, 811),
      "MacroKeyInfo4=not hex",
      // 5..15 missing
  };
  TempFolder dir;
  fixture::write_file(dir / "p.gmp", fixture::windows_ini(lines));
  ProfileRecord p;
  std::memset(&p, 0x77, sizeof p);
  ASSERT_TRUE(mt::read_profile_file(p, dir / "p.gmp"));

  EXPECT_EQ(platform::fixed_text(p.ProFileName), std::u16string(249, u'N'));
  EXPECT_EQ(platform::fixed_text(p.GameFile), std::u16string(499, u'g'));
  EXPECT_EQ(p.MacroKeyInfo[0].event_count, 60);
  EXPECT_EQ(p.MacroKeyInfo[0].function, 16);
  EXPECT_EQ(platform::fixed_text(p.MacroKeyInfo[1].macro_name), std::u16string(19, u'M'));
  EXPECT_EQ(platform::fixed_text(p.MacroKeyInfo[1].program_path), std::u16string(259, u'p'));
  EXPECT_EQ(p.MacroKeyInfo[1].function, 17);
  for (int b = 2; b < 16; ++b) {
    SCOPED_TRACE(b);
    ButtonRecord cleared{};
    cleared.slot = static_cast<uint8_t>(b);
    EXPECT_EQ(std::memcmp(&p.MacroKeyInfo[b], &cleared, sizeof cleared), 0);
  }
}

TEST(ProfileFile, MissingKeysGiveMinusOneAndByte255) {
  TempFolder dir;
  fixture::write_file(dir / "p.gmp", "[Setting]\nProFileName=Imported\nDbleClickSpeed=321\n");
  ProfileRecord p;
  mt::set_profile_defaults(p, 0);
  ASSERT_TRUE(mt::read_profile_file(p, dir / "p.gmp"));
  EXPECT_EQ(platform::fixed_text(p.ProFileName), u"Imported");
  EXPECT_EQ(p.DbleClickSpeed, 321);
  EXPECT_EQ(platform::fixed_text(p.GameFile), u"");
  EXPECT_EQ(p.MouseSpeed, -1);
  EXPECT_EQ(p.CpiLevel_Y[4], -1);
  EXPECT_EQ(p.OTGSpeed, -1);
  EXPECT_EQ(p.dpiIndicator[0], 255);
  EXPECT_EQ(p.ProfileSwitchIndictor, 255);
  EXPECT_EQ(p.MacroKeyInfo[0].function, 0);
  EXPECT_EQ(p.MacroKeyInfo[15].slot, 15);
}

TEST(ProfileFile, FileThatDoesNotOpenLeavesTheProfileAlone) {
  TempFolder dir;
  ProfileRecord p, before;
  mt::set_profile_defaults(p, 3);
  before = p;
  EXPECT_FALSE(mt::read_profile_file(p, dir / "none.gmp"));
  EXPECT_EQ(std::memcmp(&p, &before, sizeof p), 0);
}

// ---------------------------------------------------------------------------
// The whole settings set.

SettingsRecord sample_settings() {
  SettingsRecord r;
  mt::clear(r);
  mt::set_factory_defaults(r);
  r.CurrentProfile = 3;
  r.LanguageID = 2;
  r.MouseType = 7;
  r.MouseColor = -9;
  for (int p = 0; p < 5; ++p) {
    mt::ProfileRecord& prof = r.profiles[p];
    prof.DbleClickSpeed = 300 + p;
    prof.MouseSpeed = 11 + p;
    for (int i = 0; i < 5; ++i) prof.dpiIndicator[i] = static_cast<uint8_t>(250 - 10 * p - i);
    for (int b = 0; b < 16; ++b) {
      ButtonRecord& btn = prof.MacroKeyInfo[b];
      btn.function = static_cast<uint8_t>(16 + (b + p) % 3);
      platform::set_fixed_text(btn.macro_name, u"m" + platform::to_u16(p * 16 + b));
      btn.repeat_count = b + 1;
      btn.event_count = static_cast<uint16_t>(b * 4);
      for (int e = 0; e < 60; ++e)
        btn.events[e] = {static_cast<uint8_t>(4 + e), static_cast<uint8_t>(1 + e % 2),
                         static_cast<uint16_t>(1000 * p + e)};
      platform::set_fixed_text(btn.program_path, u"/bin/prog" + platform::to_u16(b));
    }
  }
  // Pointer values the registry keeps unchanged: acceleration row 10 on.
  r.profiles[3].Acceleration = 10;
  r.profiles[3].AccelerationFlag = 1;
  r.profiles[3].ScrollWheelSpeed = 0;
  r.profiles[3].ScrollWheelFlag = 1;
  return r;
}

TEST(SettingsSet, SaveAndLoadGiveTheSameRecord) {
  TempFolder dir;
  mt::PointerSettingsStore pointer(dir / "reg/registry.ini");
  const SettingsRecord saved = sample_settings();
  EXPECT_EQ(mt::save_settings(saved, dir.path(), &pointer), 1);
  EXPECT_TRUE(fixture::exists(dir / "config/Default4.gmp"));

  SettingsRecord loaded;
  mt::clear(loaded);
  EXPECT_EQ(mt::load_settings(loaded, dir.path(), &pointer), 1);
  EXPECT_EQ(loaded.CurrentProfile, 3);
  EXPECT_EQ(loaded.LanguageID, 2);
  EXPECT_EQ(loaded.MouseType, 7);
  EXPECT_EQ(loaded.MouseColor, -9);
  for (int p = 0; p < 5; ++p) {
    SCOPED_TRACE(p);
    EXPECT_EQ(std::memcmp(&loaded.profiles[p], &saved.profiles[p], sizeof(ProfileRecord)), 0);
  }
}

TEST(SettingsSet, SaveKeepsUnknownLinesOfConfigIni) {
  TempFolder dir;
  fixture::write_file(dir / "config.ini",
                      fixture::windows_ini({"[Setting]", "FWVersion=123", "CurrentProfile=0", "[OSDSetting]",
                                            "config=00"}));
  EXPECT_EQ(mt::save_settings(sample_settings(), dir.path(), nullptr), 1);
  EXPECT_EQ(fixture::read_file(dir / "config.ini"),
            fixture::windows_ini({"[Setting]", "FWVersion=123", "CurrentProfile=3", "MouseType=7",
                                  "MouseColor=-9", "LanguageID=2", "[OSDSetting]", "config=00"}));
}

TEST(SettingsSet, MissingFilesGiveProfileOneAndFactoryProfiles) {
  TempFolder dir;
  SettingsRecord r;
  mt::clear(r);
  EXPECT_EQ(mt::load_settings(r, dir.path(), nullptr), 1);
  EXPECT_EQ(r.CurrentProfile, 0) << "no profile ever chosen: profile 1";
  EXPECT_EQ(r.LanguageID, -1);
  EXPECT_EQ(r.MouseType, -1);
  EXPECT_EQ(r.MouseColor, -1);
  for (int p = 0; p < 5; ++p) {
    ProfileRecord factory;
    std::memset(&factory, 0, sizeof factory);
    mt::set_profile_defaults(factory, p);
    EXPECT_EQ(std::memcmp(&r.profiles[p], &factory, sizeof factory), 0) << p;
  }
  EXPECT_FALSE(fixture::exists(dir / "config")) << "loading creates nothing";
}

// Only a current profile in 0..4 takes the registry's pointer values.
TEST(SettingsSet, PointerReadBackOnlyForAValidCurrentProfile) {
  struct Case {
    const char* current_line;
    int current;
    int read_back_into;  // -1: none
  } cases[] = {{"CurrentProfile=7", 7, -1}, {nullptr, 0, 0}, {"CurrentProfile=-3", -3, -1},
               {"CurrentProfile=1", 1, 1}, {"CurrentProfile=", 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.current);
    TempFolder dir;
    SettingsRecord saved = sample_settings();
    saved.CurrentProfile = -1;
    ASSERT_EQ(mt::save_settings(saved, dir.path(), nullptr), 1);
    std::vector<std::string> config = {"[Setting]"};
    if (c.current_line) config.push_back(c.current_line);
    fixture::write_file(dir / "config.ini", fixture::windows_ini(config));
    ASSERT_TRUE(mt::registry_set_string(mt::kMouseKey, u"DoubleClickSpeed", u"880", dir / "registry.ini"));

    mt::PointerSettingsStore pointer(dir / "registry.ini");
    SettingsRecord loaded;
    mt::clear(loaded);
    mt::load_settings(loaded, dir.path(), &pointer);
    EXPECT_EQ(loaded.CurrentProfile, c.current);
    for (int p = 0; p < 5; ++p)
      EXPECT_EQ(loaded.profiles[p].DbleClickSpeed, p == c.read_back_into ? 880 : 300 + p) << p;
  }
}

// Writing to an unwritable place is reported, and the files that could not
// be replaced keep their old contents.
TEST(SettingsSet, SaveReportsFilesItCouldNotWrite) {
  TempFolder dir;
  fixture::write_file(dir / "config", "not a folder");
  EXPECT_EQ(mt::save_settings(sample_settings(), dir.path(), nullptr), 0);
  EXPECT_EQ(fixture::read_file(dir / "config"), "not a folder");
  EXPECT_TRUE(fixture::exists(dir / "config.ini"));
}

// ---------------------------------------------------------------------------
// Export and import.

TEST(ExportImport, ExportReplacesTheChosenFileWithOneSettingSection) {
  TempFolder dir;
  SettingsRecord r = sample_settings();
  fixture::write_file(dir / "mine.v2.gmp",
                      fixture::windows_ini({"[Setting]", "Stale=1", "MacroKeyInfo20=00", "[Other]", "k=v"}));
  fixture::write_file(dir / "config.ini", fixture::windows_ini({"[Setting]", "LanguageID=4"}));

  ASSERT_TRUE(mt::export_profile(r, 2, dir.path(), dir / "mine.v2.gmp"));
  ASSERT_TRUE(mt::write_profile_file(r.profiles[2], dir / "fresh.gmp"));
  EXPECT_EQ(fixture::read_file(dir / "mine.v2.gmp"), fixture::read_file(dir / "fresh.gmp"));
  EXPECT_EQ(fixture::read_file(dir / "config/Default2.gmp"), fixture::read_file(dir / "fresh.gmp"));
  EXPECT_EQ(fixture::read_file(dir / "config.ini"),
            fixture::windows_ini({"[Setting]", "LanguageID=4", "[FileName]", "Profile3=mine.v2"}));
}

TEST(ExportImport, ImportReadsIntoTheProfileAndMarksItsButtons) {
  TempFolder dir;
  fixture::write_file(dir / "in.gmp", "[Setting]\r\nProFileName=Imported\r\nPollingRate=1\r\n");
  SettingsRecord r = sample_settings();
  mt::clear_change_flags(r);
  r.global_changed = 0;
  const SettingsRecord before = r;

  ASSERT_TRUE(mt::import_profile(r, 1, dir / "in.gmp"));
  EXPECT_EQ(platform::fixed_text(r.profiles[1].ProFileName), u"Imported");
  EXPECT_EQ(r.profiles[1].PollingRate, 1);
  EXPECT_EQ(r.profiles[1].DbleClickSpeed, -1);
  EXPECT_EQ(r.profiles[1].dpiStepFlag[2], 255);
  for (int p = 0; p < 5; ++p)
    for (int b = 0; b < 16; ++b) EXPECT_EQ(r.button_changed[p][b], p == 1 ? 1 : 0);
  EXPECT_EQ(r.global_changed, 0);
  EXPECT_EQ(std::memcmp(&r.profiles[0], &before.profiles[0], sizeof(ProfileRecord)), 0);

  SettingsRecord untouched = before;
  EXPECT_FALSE(mt::import_profile(untouched, 1, dir / "missing.gmp"));
  EXPECT_EQ(std::memcmp(&untouched, &before, sizeof before), 0);
}

TEST(ExportImport, ImportOfAWholeFileOnlyAndNothingChangedOtherwise) {
  TempFolder dir;
  SettingsRecord source = sample_settings();
  mt::set_profile_defaults(source.profiles[2], 2);
  platform::set_fixed_text(source.profiles[2].ProFileName, u"Whole");
  source.profiles[2].PollingRate = 2;
  ASSERT_TRUE(mt::write_profile_file(source.profiles[2], dir / "whole.gmp"));
  const std::string whole = fixture::read_file(dir / "whole.gmp");

  SettingsRecord r = sample_settings();
  mt::clear_change_flags(r);
  const SettingsRecord before = r;
  EXPECT_EQ(mt::import_whole_profile(r, 1, dir / "whole.gmp"), mt::ProfileImport::imported);
  EXPECT_EQ(std::memcmp(&r.profiles[1], &source.profiles[2], sizeof(ProfileRecord)), 0);
  for (int b = 0; b < 16; ++b) EXPECT_EQ(r.button_changed[1][b], 1);

  // Cut short anywhere (mid-line, between lines, inside the last button's
  // structure, an odd byte), or missing, or no profile at all: nothing changes.
  struct Case {
    const char* name;
    std::string bytes;  // empty: no file
    mt::ProfileImport result;
  };
  std::string bad_number = whole;
  const std::string rate = fixture::windows_ini({"PollingRate=2"}).substr(2, 26);
  ASSERT_NE(bad_number.find(rate), std::string::npos);
  bad_number.replace(bad_number.find(rate), rate.size(), fixture::windows_ini({"PollingRate=x"}).substr(2, 26));
  const Case cases[] = {
      {"half", whole.substr(0, whole.size() / 2), mt::ProfileImport::not_whole},
      {"last structure cut", whole.substr(0, whole.size() - 40), mt::ProfileImport::not_whole},
      {"odd byte in the checksum", whole.substr(0, whole.size() - 9), mt::ProfileImport::not_whole},
      {"a number that is none", bad_number, mt::ProfileImport::not_whole},
      {"another ini file", fixture::windows_ini({"[Setting]", "ProFileName=x", "PollingRate=1"}),
       mt::ProfileImport::not_whole},
      {"missing", "", mt::ProfileImport::unreadable},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir / (std::string(c.name) + ".gmp");
    if (!c.bytes.empty()) fixture::write_file(path, c.bytes);
    SettingsRecord untouched = before;
    EXPECT_EQ(mt::import_whole_profile(untouched, 1, path), c.result);
    EXPECT_EQ(std::memcmp(&untouched, &before, sizeof before), 0);
  }
}

// ---------------------------------------------------------------------------
// The single keys of config.ini.

TEST(ConfigKeys, SingleKeyOperations) {
  TempFolder dir;
  const std::string ini = dir / "config.ini";
  uint8_t osd[648];
  std::memset(osd, 0x11, sizeof osd);
  EXPECT_EQ(mt::read_firmware_version(dir.path()), 100);
  EXPECT_FALSE(mt::read_osd_settings(dir.path(), osd));
  EXPECT_EQ(osd[0], 0x11) << "buffer untouched";

  mt::write_current_profile(dir.path(), 4);
  mt::write_device_state(dir.path(), 1);
  mt::write_access_stamp(dir.path(), 0x12345678u);
  mt::write_export_title(dir.path(), 5, u"Ünïcode");
  // 0x78 + 0x56 + 0x34 + 0x12 = 0x114: checksum byte 14.
  EXPECT_EQ(fixture::read_file(ini),
            fixture::windows_ini({"[Setting]", "CurrentProfile=4", "Device=1", "[HidAccessCode]",
                                  "Code=7856341200000000000000000000000014", "[FileName]", "Profile5=Ünïcode"}));

  uint8_t stored[648];
  for (int i = 0; i < 648; ++i) stored[i] = static_cast<uint8_t>(i * 7);
  fixture::write_file(ini, fixture::windows_ini({"[Setting]", "FWVersion=99", "[OSDSetting]",
                                                 "config=" + fixture::hex_record(stored, sizeof stored)}));
  EXPECT_EQ(mt::read_firmware_version(dir.path()), 99);
  EXPECT_TRUE(mt::read_osd_settings(dir.path(), osd));
  EXPECT_EQ(std::memcmp(osd, stored, sizeof osd), 0);
}

TEST(ConfigKeys, ProgramFolderIsTheExecutablesFolder) {
  std::string folder = mt::program_folder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(fixture::exists(folder + "common_files_test"));
  EXPECT_EQ(mt::profile_file_path("/x/", 0), "/x/config/Default0.gmp");
  EXPECT_EQ(mt::profile_file_path("", 4), "config/Default4.gmp");
  EXPECT_EQ(mt::config_ini_path("/x/"), "/x/config.ini");
}

}  // namespace
