// The pure parts of Monitor's channel and application: the on-screen message
// taken from WM_COPYDATA, the OSD settings, the icon's tip and the command
// line.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/settings_files.h"
#include "monitor/channel.h"
#include "monitor/monitor_app.h"
#include "monitor_test_support.h"
#include "platform/ini_file.h"
#include "monitor/tray_icon.h"

namespace mt {
namespace {

using monitor_test::TempFolder;

// A WM_COPYDATA payload: the units little-endian, padded with `fill` to `bytes`.
std::vector<uint8_t> payload(std::u16string_view units, std::size_t bytes, uint8_t fill = 0) {
  std::vector<uint8_t> out(bytes, fill);
  for (std::size_t i = 0; i < units.size() && 2 * i + 1 < bytes; ++i) {
    out[2 * i] = static_cast<uint8_t>(units[i] & 0xFF);
    out[2 * i + 1] = static_cast<uint8_t>(units[i] >> 8);
  }
  return out;
}

TEST(OsdMessage, TextIsTakenFromTheSecondUnitAndBounded) {
  struct Case {
    const char* name;
    std::vector<uint8_t> data;
    std::optional<std::u16string> want;
  };
  const std::u16string no_nul(151, u'x');
  const Case cases[] = {
      {"text after the first unit", payload(u"#Hello", 302), u"Hello"},
      {"first unit is skipped", payload(u"AB", 302), u"B"},
      {"ends at its NUL", payload(std::u16string(u"#ab\0cd", 6), 302), u"ab"},
      {"non-ASCII units kept", payload(u"#\u00e9\u4e2d", 302), u"\u00e9\u4e2d"},
      // No NUL anywhere: the text stops at the end of the 302 bytes.
      {"no NUL: 150 units", payload(no_nul, 302), std::u16string(150, u'x')},
      {"no NUL, bytes 0xFF", payload(u"", 302, 0xFF), std::u16string(150, u'\xFFFF')},
      {"301 bytes ignored", payload(u"#Hello", 301), std::nullopt},
      {"303 bytes ignored", payload(u"#Hello", 303), std::nullopt},
      {"empty ignored", {}, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(osd_message_text(c.data), c.want) << c.name;
}

TEST(OsdMessage, StoredInConfigIni) {
  TempFolder folder;
  ASSERT_TRUE(store_osd_message(folder.path(), u"Level 3"));
  EXPECT_EQ(platform::ini_get_string(config_ini_path(folder.path()), u"OSDData", u"Message", u"?"), u"Level 3");
}

TEST(OsdSettings, FieldsAreReadLittleEndianAtTheirOffsets) {
  uint8_t raw[kOsdSettingsBytes];
  std::memset(raw, 0xAB, sizeof raw);  // everything else is the display's own
  const uint8_t show[4] = {1, 0, 0, 0};
  std::memcpy(raw + 8, show, 4);
  raw[32] = 0x34, raw[33] = 0x12;
  raw[36] = 0x00, raw[37] = 0x80;
  OsdSettings osd = parse_osd_settings(raw);
  EXPECT_EQ(osd.show_profile_osd, 1);
  EXPECT_EQ(osd.config_high, 0x1234);
  EXPECT_EQ(osd.config_low, 0x8000);
  EXPECT_EQ(osd_config_lparam(osd), 0x12348000);
}

TEST(OsdSettings, ConfigWordIsUnsigned) {
  // A high word with its top bit set must not turn lParam negative.
  OsdSettings osd;
  osd.config_high = 0xFFFF;
  osd.config_low = 0xFFFE;
  EXPECT_EQ(osd_config_lparam(osd), static_cast<std::intptr_t>(0xFFFFFFFEu));
  EXPECT_EQ(osd_profile_lparam(3), 3 << 16);
}

TEST(OsdSettings, MissingOrDamagedKeepsWhatWasThere) {
  TempFolder folder;
  const std::string ini = config_ini_path(folder.path());
  auto is = [](const OsdSettings& o, int show, int high, int low) {
    return o.show_profile_osd == show && o.config_high == high && o.config_low == low;
  };
  OsdSettings osd;
  osd.show_profile_osd = 1;
  osd.config_high = 3;
  EXPECT_FALSE(load_osd_settings(folder.path(), osd));
  EXPECT_TRUE(is(osd, 1, 3, 0)) << "no config.ini";

  uint8_t raw[kOsdSettingsBytes] = {};
  raw[32] = 7;
  raw[36] = 9;
  ASSERT_TRUE(platform::ini_set_struct(ini, u"OSDSetting", u"config", raw, sizeof raw));
  ASSERT_TRUE(load_osd_settings(folder.path(), osd));
  EXPECT_TRUE(is(osd, 0, 7, 9));

  // Shorter than the structure, or a bad checksum: not taken at all.
  ASSERT_TRUE(platform::ini_set_struct(ini, u"OSDSetting", u"config", raw, 100));
  EXPECT_FALSE(load_osd_settings(folder.path(), osd));
  EXPECT_TRUE(is(osd, 0, 7, 9)) << "wrong length";
  ASSERT_TRUE(platform::ini_set_struct(ini, u"OSDSetting", u"config", raw, sizeof raw));
  std::u16string hex = platform::ini_get_string(ini, u"OSDSetting", u"config", u"");
  hex.back() = hex.back() == u'0' ? u'1' : u'0';
  ASSERT_TRUE(platform::ini_set_string(ini, u"OSDSetting", u"config", hex));
  osd.config_low = 1;
  EXPECT_FALSE(load_osd_settings(folder.path(), osd));
  EXPECT_TRUE(is(osd, 0, 7, 1)) << "bad checksum";
}

TEST(TrayTip, CutTo127UnitsWithoutSplittingAPair) {
  EXPECT_EQ(tray_tip_text(u"Morvath T60R"), u"Morvath T60R");
  EXPECT_EQ(tray_tip_text(std::u16string(200, u'a')), std::u16string(127, u'a'));
  // A pair at units 126-127 would leave a lone half at the cut.
  std::u16string tip = std::u16string(126, u'a') + u"\U0001F5B1" + u"b";
  EXPECT_EQ(tray_tip_text(tip), std::u16string(126, u'a'));
  std::u16string exact = std::u16string(125, u'a') + u"\U0001F5B1";
  EXPECT_EQ(tray_tip_text(exact), exact);
}

TEST(CommandLine, StartWithOptionOnlyWhenTheFirstCharacterIs1) {
  struct Case {
    std::vector<const char*> argv;
    bool flag;
  };
  const Case cases[] = {
      {{"Monitor"}, false},     {{"Monitor", "1"}, true},       {{"Monitor", "12"}, true},
      {{"Monitor", " 1"}, false}, {{"Monitor", "2", "1"}, false}, {{"Monitor", ""}, false},
  };
  for (const Case& c : cases) {
    std::u16string line = CMonitorApp::command_line(static_cast<int>(c.argv.size()), c.argv.data());
    EXPECT_EQ(CMonitorApp::start_with_option(line), c.flag) << (c.argv.size() > 1 ? c.argv[1] : "(none)");
  }
  std::string long_arg(300, '1');
  const char* argv[] = {"Monitor", long_arg.c_str(), "x"};
  EXPECT_EQ(CMonitorApp::command_line(3, argv), std::u16string(100, u'1'));
}

}  // namespace
}  // namespace mt
