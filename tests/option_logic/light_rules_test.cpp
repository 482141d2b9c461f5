#include "option/logic/light_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace mt {
namespace {

TEST(LightPalette, TheTwentySixColours) {
  const int rgb[kPaletteSize][3] = {
      {255, 0, 255},   {255, 0, 0},    {250, 103, 33},  {255, 255, 0},  {171, 252, 59},
      {0, 255, 0},     {15, 155, 53},  {65, 202, 156},  {255, 255, 116}, {56, 202, 59},
      {60, 250, 250},  {0, 255, 255},  {40, 200, 255},  {55, 103, 151}, {0, 0, 255},
      {101, 62, 249},  {152, 35, 251}, {202, 63, 250},  {255, 103, 155}, {203, 53, 20},
      {102, 106, 197}, {10, 55, 148},  {252, 43, 38},   {24, 150, 253}, {61, 202, 110},
      {104, 104, 255},
  };
  for (int i = 0; i < kPaletteSize; ++i)
    EXPECT_EQ(palette_color(i), make_rgb(rgb[i][0], rgb[i][1], rgb[i][2])) << i;
  EXPECT_FALSE(palette_color(-1));
  EXPECT_FALSE(palette_color(26));
}

// Every palette colour survives the picker exactly, so choosing one makes the
// free colour exactly that colour.
TEST(LightPalette, RoundTripsThroughTheHuePicker) {
  for (int i = 0; i < kPaletteSize; ++i) {
    const ColorRef c = kLightPalette[i];
    const FieldPosition p = position_of_color(kModeHue, c);
    EXPECT_EQ(color_of_position(kModeHue, p.x, p.y, p.z, 1000, 1000), c) << i;
    const HsvSteps s = rgb_to_hsv_steps(c);
    EXPECT_EQ(color_of_position(kModeSaturation, s.hue, s.value, s.saturation, 3599, 1000), c) << i;
    EXPECT_EQ(color_of_position(kModeValue, s.hue, s.saturation, s.value, 3599, 1000), c) << i;
  }
}

TEST(LightRules, ShownColour) {
  struct Case {
    int light_type, color_options;
    int32_t light_color;
    ColorRef shown;
  } cases[] = {
      {1, 14, 0x00123456, make_rgb(0, 0, 255)},
      {1, 0, 0x00123456, make_rgb(255, 0, 255)},
      {0, 14, 0x00123456, 0x00123456},
      {0, 14, -1, 0xFFFFFFFF},
      {-1, 14, 0x00123456, 0x00123456},  // a missing key is not the palette
      {1, 26, 0x00123456, 0x00123456},   // no such palette entry
      {1, -1, 0x00123456, 0x00123456},
  };
  for (const auto& c : cases) {
    ProfileRecord p{};
    p.LightType = c.light_type;
    p.ColorOptions = c.color_options;
    p.LightColor = c.light_color;
    EXPECT_EQ(shown_color(p), c.shown) << c.light_type << " " << c.color_options;
  }
}

TEST(LightRules, ColourByte) {
  EXPECT_EQ(with_color_byte(0x7F112233, 0, 0xAB), 0x7F1122AB);
  EXPECT_EQ(with_color_byte(0x7F112233, 1, 128), 0x7F118033);
  EXPECT_EQ(with_color_byte(0x7F112233, 2, 0x1FF), 0x7FFF2233);  // the low byte only
  EXPECT_EQ(with_color_byte(-1, 0, 0), static_cast<int32_t>(0xFFFFFF00));
}

struct RecordingView : LightPageView {
  std::vector<std::string> log;
  void select_brightness(int i) override { log.push_back("brightness " + std::to_string(i)); }
  void select_light_mode(int i) override { log.push_back("mode " + std::to_string(i)); }
  void select_color_source(int i) override { log.push_back("source " + std::to_string(i)); }
  void select_palette(int i) override { log.push_back("palette " + std::to_string(i)); }
  void show_numbers(int r, int g, int b) override {
    log.push_back("numbers " + std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b));
  }
  void move_effect_slider(int v) override { log.push_back("effect " + std::to_string(v)); }
  void redraw_well() override { log.push_back("well"); }
};

// The page over a settings record, with posted tasks held until delivered.
struct LightPage {
  SettingsRecord record{};
  RecordingView view;
  std::deque<std::function<void()>> queue;
  LightPageModel model{view, [this] { return current_profile(record); },
                       [this](std::function<void()> task) { queue.push_back(std::move(task)); }};

  LightPage() {
    set_factory_defaults(record);
    profile().LightType = 0;
    profile().LightColor = 0x7F112233;
  }
  ProfileRecord& profile() { return record.profiles[record.CurrentProfile]; }
  void deliver() {
    while (!queue.empty()) {
      auto task = std::move(queue.front());
      queue.pop_front();
      task();
    }
  }
  std::vector<std::string> take_log() { return std::exchange(view.log, {}); }
};

TEST(LightPage, StartsAsTheHuePicker) {
  LightPage page;
  EXPECT_EQ(page.model.field().mode(), kModeHue);
  EXPECT_EQ(page.model.field().max_x(), 1000);
  EXPECT_EQ(page.model.field().max_y(), 1000);
  EXPECT_EQ((FieldPosition{page.model.field().x(), page.model.field().y(), page.model.field().z()}),
            (FieldPosition{0, 0, 0}));
  EXPECT_EQ(page.model.slider().mode(), kModeHue);
  EXPECT_TRUE(page.model.slider().reversed());
  EXPECT_EQ(page.model.slider().position(), 3599);
  EXPECT_EQ(page.model.field().control_id(), kColorFieldId);
  EXPECT_EQ(page.model.slider().control_id(), kColorSliderId);
}

TEST(LightPage, RefreshOrder) {
  LightPage page;
  ProfileRecord& p = page.profile();
  p.Brightness = 2;
  p.LightSwitch = 0;
  p.LightType = 1;
  p.ColorOptions = 3;
  p.LightEffectSwitch1 = 4;
  page.model.refresh();
  EXPECT_EQ(page.take_log(), (std::vector<std::string>{
                                 "brightness 2", "mode 0", "source 1", "palette 3",
                                 "numbers 51,34,17",  // LightColor first
                                 "effect 4", "well",
                                 "numbers 255,255,0",  // then the shown colour
                             }));
  // The picker moved to yellow; its report rewrites the free colour later.
  EXPECT_EQ(p.LightColor, 0x7F112233);
  page.deliver();
  EXPECT_EQ(p.LightColor, static_cast<int32_t>(make_rgb(255, 255, 0)));
  EXPECT_EQ(page.take_log(), std::vector<std::string>{"numbers 255,255,0"});
}

TEST(LightPage, PaletteChoiceMovesThePickerAndRewritesTheFreeColour) {
  LightPage page;
  page.profile().LightType = 1;
  page.model.on_palette(14);
  EXPECT_EQ(page.profile().ColorOptions, 14);
  EXPECT_EQ(page.take_log(), (std::vector<std::string>{"palette 14", "numbers 0,0,255"}));
  EXPECT_EQ(page.model.field().color(), make_rgb(0, 0, 255));
  EXPECT_EQ(page.model.field().z(), 2400);
  ASSERT_EQ(page.queue.size(), 1u);
  page.deliver();
  // All four bytes: byte 3 is gone too.
  EXPECT_EQ(page.profile().LightColor, static_cast<int32_t>(make_rgb(0, 0, 255)));
}

TEST(LightPage, PaletteColourAtThePickersPositionSendsNoReport) {
  LightPage page;
  page.profile().LightType = 1;
  page.model.on_palette(14);
  page.deliver();
  page.profile().LightColor = 0x00445566;
  page.model.on_palette(14);
  EXPECT_TRUE(page.queue.empty());
  EXPECT_EQ(page.profile().LightColor, 0x00445566);
  // Another entry at another position does report.
  page.model.on_palette(25);
  EXPECT_EQ(page.queue.size(), 1u);
}

TEST(LightPage, TypingIntoANumberFieldChangesOnlyItsByte) {
  LightPage page;  // free colour 0x7F112233
  page.model.on_number_changed(kLightGreenField, 128);
  EXPECT_EQ(page.profile().LightColor, 0x7F118033);
  EXPECT_EQ(page.take_log(), std::vector<std::string>{"numbers 51,128,17"});
  // The picker follows, and its echo leaves the typed colour alone.
  EXPECT_EQ(page.model.field().color(), make_rgb(0x33, 0x80, 0x11));
  page.deliver();
  EXPECT_EQ(page.profile().LightColor, 0x7F118033);
  page.model.on_number_changed(kLightRedField, 0x1FF);
  page.model.on_number_changed(kLightBlueField, 0);
  EXPECT_EQ(page.profile().LightColor, 0x7F0080FF);
  page.model.on_number_changed(404, 9);
  page.model.on_number_changed(400, 9);
  EXPECT_EQ(page.profile().LightColor, 0x7F0080FF);
}

TEST(LightPage, PickingReplacesTheWholeFreeColour) {
  LightPage page;
  page.model.field().set_client_size(102, 102);  // field 1..101: 100 pixels
  page.model.field().set_mode(kModeHue, 0, 0, 1200, 1000, 1000);
  page.model.field().press(PickerButton::left, 50, 50);
  page.model.field().move(200, -50);  // the top right corner: full saturation and value
  page.model.field().release(PickerButton::left);
  page.deliver();
  EXPECT_EQ(page.profile().LightColor, static_cast<int32_t>(make_rgb(0, 255, 0)));
  EXPECT_EQ(page.take_log().back(), "numbers 0,255,0");
  // The slider reports through the field as well.
  ASSERT_EQ(page.model.slider().position(), 3599 - 1200);
  page.model.slider().key(PickerKey::down);  // reversed: hue 1190, a little towards yellow
  page.deliver();
  EXPECT_EQ(page.profile().LightColor, static_cast<int32_t>(make_rgb(4, 255, 0)));
}

TEST(LightPage, ColourSource) {
  LightPage page;
  page.profile().ColorOptions = 5;
  page.model.on_color_source(1);
  EXPECT_EQ(page.profile().LightType, 1);
  EXPECT_EQ(page.take_log(), (std::vector<std::string>{"source 1", "numbers 0,255,0"}));
  page.deliver();
  EXPECT_EQ(page.profile().LightColor, static_cast<int32_t>(make_rgb(0, 255, 0)));
  // Back to the free colour, which is now where the picker is.
  page.model.on_color_source(0);
  EXPECT_EQ(page.profile().LightType, 0);
  EXPECT_TRUE(page.queue.empty());
}

TEST(LightPage, ButtonGroupsAndEffectSlider) {
  LightPage page;
  page.model.on_brightness(2);
  page.model.on_light_mode(0);
  EXPECT_EQ(page.profile().Brightness, 2);
  EXPECT_EQ(page.profile().LightSwitch, 0);
  EXPECT_EQ(page.take_log(), (std::vector<std::string>{"brightness 2", "mode 0"}));
  page.model.on_slider_changed(kLightEffectSlider, 5);
  EXPECT_EQ(page.profile().LightEffectSwitch1, 5);
  page.model.on_slider_changed(kLightEffectSlider, 0x103);
  EXPECT_EQ(page.profile().LightEffectSwitch1, 3);
  page.model.on_slider_changed(202, 1);
  EXPECT_EQ(page.profile().LightEffectSwitch1, 3);
  EXPECT_TRUE(page.queue.empty());
}

// The picker rounds: some colours come back one step off, and the step off
// would come back another step off. Showing the free colour again and again
// (a refresh after every profile switch) must not walk it away.
TEST(LightPage, RefreshesDoNotWalkTheFreeColour) {
  LightPage page;
  const int32_t creeping = static_cast<int32_t>(make_rgb(41, 242, 229));
  page.record.profiles[0].LightColor = creeping;
  page.record.profiles[1].LightColor = static_cast<int32_t>(make_rgb(10, 10, 10));
  page.record.profiles[1].LightType = 0;
  for (int round = 0; round < 20; ++round) {
    page.record.CurrentProfile = round % 2;
    page.model.refresh();
    page.deliver();
  }
  EXPECT_EQ(page.record.profiles[0].LightColor, creeping);
  EXPECT_EQ(page.record.profiles[1].LightColor, static_cast<int32_t>(make_rgb(10, 10, 10)));
}

TEST(LightPage, NoCurrentProfileChangesNothing) {
  LightPage page;
  SettingsRecord before = page.record;
  page.record.CurrentProfile = -1;
  page.model.refresh();
  page.model.on_palette(3);
  page.model.on_number_changed(kLightRedField, 1);
  page.model.on_slider_changed(kLightEffectSlider, 2);
  page.model.field().set_color(make_rgb(9, 9, 9));  // a report with nobody to take it
  page.deliver();
  page.record.CurrentProfile = before.CurrentProfile;
  EXPECT_EQ(std::memcmp(&page.record, &before, sizeof before), 0);
  EXPECT_TRUE(page.take_log().empty());
}

}  // namespace
}  // namespace mt
