#include "option/logic/profile_panel_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/text.h"

namespace mt {
namespace {

TEST(ProfilePanel, SkinKeys) {
  struct Case {
    int key;
    std::optional<PanelControl> control;
  } cases[] = {
      {1, PanelControl{PanelButton::marker, 0}},  {3, PanelControl{PanelButton::marker, 2}},
      {7, PanelControl{PanelButton::select, 0}},  {9, PanelControl{PanelButton::select, 2}},
      {10, PanelControl{PanelButton::import, 0}}, {12, PanelControl{PanelButton::import, 2}},
      {13, PanelControl{PanelButton::export_, 0}}, {15, PanelControl{PanelButton::export_, 2}},
      {16, PanelControl{PanelButton::reset, 0}},  {18, PanelControl{PanelButton::reset, 2}},
      {0, {}}, {4, {}}, {6, {}}, {19, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(panel_control(c.key), c.control) << c.key;
    if (c.control) {
      EXPECT_EQ(panel_skin_key(*c.control), c.key);
    }
  }
}

TEST(ProfilePanel, State) {
  EXPECT_EQ(panel_state(0), (PanelState{{true, false, false}, {true, false, false}}));
  EXPECT_EQ(panel_state(2), (PanelState{{false, false, true}, {false, false, true}}));
  // Profiles 3 and 4 (or none) have no row: nothing is on, nothing enabled.
  for (int p : {3, 4, -1}) EXPECT_EQ(panel_state(p), PanelState{}) << p;
}

struct RecordingPanel : ProfilePanelSteps {
  std::vector<std::string> log;
  const SettingsRecord* record = nullptr;
  void show_current(int p) override { log.push_back("show " + std::to_string(p)); }
  void refresh_pages() override { log.push_back("refresh " + std::to_string(record->CurrentProfile)); }
  void apply(int flag) override { log.push_back("apply " + std::to_string(flag)); }
};

SettingsRecord factory_record() {
  SettingsRecord r;
  clear(r);
  set_factory_defaults(r);
  return r;
}

TEST(ProfilePanel, SelectRow) {
  for (int from : {0, 2}) {
    SettingsRecord r = factory_record();
    r.CurrentProfile = from;
    r.profiles[2].LightColor = 5;
    const SettingsRecord before = r;
    RecordingPanel panel;
    panel.record = &r;
    ASSERT_TRUE(select_row(r, 2, panel));
    // The row that was current already applies again, and nothing else changes.
    EXPECT_EQ(panel.log, (std::vector<std::string>{"show 2", "refresh 2", "show 2", "apply 0"}));
    EXPECT_EQ(r.CurrentProfile, 2);
    r.CurrentProfile = before.CurrentProfile;
    EXPECT_EQ(std::memcmp(&r, &before, sizeof r), 0);
  }
  SettingsRecord r = factory_record();
  RecordingPanel panel;
  panel.record = &r;
  EXPECT_FALSE(select_row(r, 3, panel));
  EXPECT_FALSE(select_row(r, -1, panel));
  EXPECT_EQ(r.CurrentProfile, 0);
  EXPECT_TRUE(panel.log.empty());
}

TEST(ProfilePanel, ResetRow) {
  for (int row = 0; row < kPanelRows; ++row) {
    SettingsRecord r = factory_record();
    r.CurrentProfile = row;
    ProfileRecord& p = r.profiles[row];
    platform::set_fixed_text(p.ProFileName, u"Shooter");
    platform::set_fixed_text(p.GameFile, u"/usr/games/shooter");
    p.LightColor = 0x123456;
    p.MacroKeyInfo[3].function = kFnMacro;
    p.ColorChangeMode = 3;  // not a factory value: kept
    const SettingsRecord before = r;
    RecordingPanel panel;
    panel.record = &r;
    ASSERT_TRUE(reset_row(r, row, panel));
    EXPECT_EQ(panel.log, (std::vector<std::string>{"refresh " + std::to_string(row),
                                                   "show " + std::to_string(row), "apply 1"}));
    EXPECT_EQ(platform::fixed_text(p.ProFileName), u"Default" + platform::to_u16(row + 1));
    EXPECT_EQ(platform::fixed_text(p.GameFile), u"");
    EXPECT_EQ(p.LightColor, 255);
    EXPECT_EQ(p.MacroKeyInfo[3].function, 7);
    EXPECT_EQ(p.ColorChangeMode, 3);
    const int indicator[] = {1, 3, 2};
    EXPECT_EQ(p.ProfileSwitchIndictor, indicator[row]);
    // The whole profile is marked changed, and only that profile.
    for (int q = 0; q < kProfileCount; ++q) {
      for (int b = 0; b < kButtonSlots; ++b) EXPECT_EQ(r.button_changed[q][b], q == row ? 1 : 0);
      for (int g = 0; g < 5; ++g) EXPECT_EQ(r.section_changed[g][q], q == row ? 1 : 0);
      if (q != row) {
        EXPECT_EQ(std::memcmp(&r.profiles[q], &before.profiles[q], sizeof(ProfileRecord)), 0);
      }
    }
    EXPECT_EQ(r.global_changed, 1);
    EXPECT_EQ(r.CurrentProfile, row);
  }
}

TEST(ProfilePanel, ResetOnlyInTheCurrentRow) {
  SettingsRecord r = factory_record();
  r.CurrentProfile = 1;
  r.profiles[0].LightColor = 9;
  const SettingsRecord before = r;
  RecordingPanel panel;
  panel.record = &r;
  EXPECT_FALSE(reset_row(r, 0, panel));
  EXPECT_FALSE(reset_row(r, 3, panel));
  r.CurrentProfile = 3;
  EXPECT_FALSE(reset_row(r, 3, panel));
  r.CurrentProfile = 1;
  EXPECT_EQ(std::memcmp(&r, &before, sizeof r), 0);
  EXPECT_TRUE(panel.log.empty());
}

}  // namespace
}  // namespace mt
