#include <gtest/gtest.h>

#include <cstring>

#include "common/settings_files.h"
#include "common/settings_record.h"
#include "platform/text.h"
#include "tests/common/file_fixture.h"

namespace {

using mt::SettingsRecord;

// What a user has before restoring: own names, a language, macros on spare
// slots, a colour-change mode that is not a factory value.
SettingsRecord used_record() {
  SettingsRecord r;
  mt::clear(r);
  mt::set_factory_defaults(r);
  r.CurrentProfile = 4;
  r.LanguageID = 3;
  r.MouseType = 2;
  for (int p = 0; p < 5; ++p) {
    platform::set_fixed_text(r.profiles[p].ProFileName, u"Mine" + platform::to_u16(p));
    r.profiles[p].ColorChangeMode = 3;
    r.profiles[p].DbleClickSpeed = 222;
    for (int b = 0; b < 16; ++b) {
      r.profiles[p].MacroKeyInfo[b].function = 16;
      r.profiles[p].MacroKeyInfo[b].event_count = 9;
      platform::set_fixed_text(r.profiles[p].MacroKeyInfo[b].macro_name, u"macro");
    }
  }
  return r;
}

TEST(FactoryDefaults, RestoreResetsProfilesAndKeepsGlobalChoices) {
  SettingsRecord r = used_record();
  mt::set_factory_defaults(r);
  mt::mark_all_changed(r);

  EXPECT_EQ(r.CurrentProfile, 0);
  EXPECT_EQ(r.LanguageID, 3);
  EXPECT_EQ(r.MouseType, 2);
  const uint8_t indicators[5] = {1, 3, 2, 5, 4};
  for (int p = 0; p < 5; ++p) {
    SCOPED_TRACE(p);
    const mt::ProfileRecord& prof = r.profiles[p];
    EXPECT_EQ(platform::fixed_text(prof.ProFileName), u"Default" + platform::to_u16(p + 1));
    EXPECT_EQ(prof.ColorChangeMode, 3);
    EXPECT_EQ(prof.DbleClickSpeed, 500);
    EXPECT_EQ(prof.ProfileSwitchIndictor, indicators[p]);
    for (int b = 7; b <= 13; ++b) EXPECT_EQ(prof.MacroKeyInfo[b].function, 0) << b;
    EXPECT_EQ(prof.MacroKeyInfo[14].function, 9);
    EXPECT_EQ(prof.MacroKeyInfo[15].function, 10);
    for (int b = 0; b < 16; ++b) {
      EXPECT_EQ(prof.MacroKeyInfo[b].slot, b);
      EXPECT_EQ(prof.MacroKeyInfo[b].event_count, 0);
      EXPECT_EQ(platform::fixed_text(prof.MacroKeyInfo[b].macro_name), u"");
      EXPECT_EQ(r.button_changed[p][b], 1);
    }
  }
  EXPECT_EQ(r.global_changed, 1);
}

// The restored set survives the files: what is saved after a restore loads
// back as the same factory record.
TEST(FactoryDefaults, RestoredSetSavesAndLoadsUnchanged) {
  fixture::TempFolder dir;
  SettingsRecord r = used_record();
  mt::set_factory_defaults(r);
  ASSERT_EQ(mt::save_settings(r, dir.path(), nullptr), 1);
  SettingsRecord loaded = used_record();
  mt::load_settings(loaded, dir.path(), nullptr);
  EXPECT_EQ(loaded.CurrentProfile, 0);
  EXPECT_EQ(loaded.LanguageID, 3);
  EXPECT_EQ(std::memcmp(loaded.profiles, r.profiles, sizeof r.profiles), 0);
}

}  // namespace
