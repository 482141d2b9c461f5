// Where the on-screen display takes its texts from: the shared block while
// Monitor runs, the profile files without it, the factory name without
// those; the stored message, the language and the settings words in
// config.ini. Real files and real named objects in private folders.
#include "osd/osd_sources.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "common/settings_files.h"
#include "common/settings_record.h"
#include "common/shared_record.h"
#include "monitor/channel.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "tests/bus/bus_test_support.h"

namespace mt {
namespace {

class OsdSources : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(runtime_.root().empty());
    folder_ = runtime_.root() + "/settings/";
    ASSERT_EQ(::mkdir(folder_.c_str(), 0700), 0);
    ASSERT_TRUE(make_config_dir(folder_));
  }

  void write_profile(int index, std::u16string_view name) {
    auto p = std::make_unique<ProfileRecord>();
    set_profile_defaults(*p, index);
    platform::set_fixed_text(p->ProFileName, name);
    ASSERT_TRUE(write_profile_file(*p, profile_file_path(folder_, index)));
  }

  bus_test::PrivateRuntimeDir runtime_;
  std::string folder_;
};

TEST_F(OsdSources, ProfileNameFromTheBlockThenTheFileThenTheFactoryName) {
  EXPECT_EQ(profile_name(2, folder_), u"Default3") << "no block, no file";
  write_profile(2, u"From the file");
  EXPECT_EQ(profile_name(2, folder_), u"From the file");

  {
    SharedRecordBlock monitor;
    ASSERT_EQ(monitor.create(), SharedRecordBlock::Status::created);
    auto record = std::make_unique<SettingsRecord>();
    clear(*record);
    set_factory_defaults(*record);
    platform::set_fixed_text(record->profiles[2].ProFileName, u"Как в блоке");
    // A name that fills its whole field, with no NUL left in it.
    for (char16_t& c : record->profiles[4].ProFileName) c = u'x';
    ASSERT_TRUE(monitor.publish(*record));

    EXPECT_EQ(profile_name(2, folder_), u"Как в блоке") << "the block wins over the file";
    EXPECT_EQ(profile_name(4, folder_), std::u16string(250, u'x'));

    // The display lets go of the block and its mutex at once: a Monitor
    // started after it (here: after this one ends) is not stopped by it.
    monitor.close();
    SharedRecordBlock next;
    EXPECT_EQ(next.create(), SharedRecordBlock::Status::created);
  }
  EXPECT_EQ(profile_name(2, folder_), u"From the file") << "Monitor gone: the file again";
  EXPECT_EQ(profile_name(5, folder_), u"");
  EXPECT_EQ(profile_name(-1, folder_), u"");
}

TEST_F(OsdSources, MessageLanguageAndSettingsWordsFromConfigIni) {
  // Nothing stored yet.
  EXPECT_EQ(stored_message(folder_), u"");
  EXPECT_EQ(stored_language(folder_), -1);
  EXPECT_EQ(stored_config(folder_), OsdConfig{});

  // The display's own settings structure is written once, when missing, so
  // that Monitor tells it about profile changes; it is never overwritten.
  const std::string ini = config_ini_path(folder_);
  ASSERT_TRUE(store_default_config(folder_));
  OsdSettings written;
  ASSERT_TRUE(load_osd_settings(folder_, written));
  EXPECT_EQ(written.show_profile_osd, 1);
  EXPECT_EQ(written.config_high, 0);
  EXPECT_EQ(written.config_low, 0);
  EXPECT_FALSE(store_default_config(folder_));
  ASSERT_TRUE(store_osd_message(folder_, u"Match in 5 minutes"));
  ASSERT_TRUE(platform::ini_set_int(ini, u"Setting", u"LanguageID", 2));
  uint8_t osd[kOsdSettingsBytes] = {};
  osd[8] = 1;                 // ShowProfileOsd
  osd[32] = 3;                // OsdConfigHigh: top right
  osd[36] = 20, osd[37] = 0;  // OsdConfigLow: 2 s
  ASSERT_TRUE(platform::ini_set_struct(ini, u"OSDSetting", u"config", osd, sizeof osd));

  EXPECT_EQ(stored_message(folder_), u"Match in 5 minutes");
  EXPECT_EQ(stored_language(folder_), 2);
  EXPECT_EQ(stored_config(folder_), (OsdConfig{2000, OsdPlace::top_right, true}));

  // A damaged structure (wrong checksum) gives the defaults, not half a value.
  std::u16string value = platform::ini_get_string(ini, u"OSDSetting", u"config", u"");
  ASSERT_FALSE(value.empty());
  value.back() = value.back() == u'0' ? u'1' : u'0';
  ASSERT_TRUE(platform::ini_set_string(ini, u"OSDSetting", u"config", value));
  EXPECT_EQ(stored_config(folder_), OsdConfig{});
  EXPECT_FALSE(store_default_config(folder_)) << "a damaged value is the user's to mend";
  EXPECT_EQ(platform::ini_get_string(ini, u"OSDSetting", u"config", u""), value);
}

TEST(OsdSettingsStructure, FieldsGoBackWhereMonitorReadsThem) {
  uint8_t raw[kOsdSettingsBytes];
  for (std::size_t i = 0; i < sizeof raw; ++i) raw[i] = static_cast<uint8_t>(0xA5 ^ i);
  uint8_t before[kOsdSettingsBytes];
  std::memcpy(before, raw, sizeof raw);
  const OsdSettings osd{-2, 0xBEEF, 0x0102};
  encode_osd_settings(osd, raw);
  const OsdSettings back = parse_osd_settings(raw);
  EXPECT_EQ(back.show_profile_osd, -2);
  EXPECT_EQ(back.config_high, 0xBEEF);
  EXPECT_EQ(back.config_low, 0x0102);
  // Only those ten bytes change; the rest of the structure is the display's.
  for (std::size_t i = 0; i < sizeof raw; ++i) {
    const bool field = (i >= 8 && i < 12) || i == 32 || i == 33 || i == 36 || i == 37;
    if (!field) {
      EXPECT_EQ(raw[i], before[i]) << "byte " << i;
    }
  }
}

}  // namespace
}  // namespace mt
