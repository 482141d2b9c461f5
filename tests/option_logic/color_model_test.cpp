#include "option/logic/color_model.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace mt {
namespace {

// Colour <-> (hue x 10, saturation x 1000, value x 1000), checked both ways.
TEST(HsvConversion, KnownColours) {
  struct Case {
    int r, g, b;
    HsvSteps steps;
    int back_r, back_g, back_b;  // the colour of that position
  } cases[] = {
      {255, 0, 0, {0, 1000, 1000}, 255, 0, 0},
      {0, 0, 0, {0, 0, 0}, 0, 0, 0},
      {255, 255, 255, {0, 0, 1000}, 255, 255, 255},
      {128, 128, 128, {0, 0, 502}, 128, 128, 128},
      {0, 255, 0, {1200, 1000, 1000}, 0, 255, 0},
      {0, 0, 255, {2400, 1000, 1000}, 0, 0, 255},
      {255, 0, 255, {3000, 1000, 1000}, 255, 0, 255},  // red largest, hue negative + 360
      {1, 0, 0, {0, 1000, 4}, 1, 0, 0},
      // The components are exact: 144/250 is 0.576 and 16/75 x 60 is 12.8,
      // where floating point lands just above and the ceiling adds one.
      {159, 106, 250, {2621, 576, 981}, 159, 106, 250},
      {77, 18, 2, {128, 975, 302}, 77, 18, 2},
      // Round trips that move one channel by one.
      {0, 178, 162, {1747, 1000, 699}, 0, 178, 163},
      {41, 242, 229, {1762, 831, 950}, 41, 242, 230},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.r << "," << c.g << "," << c.b);
    HsvSteps s = rgb_to_hsv_steps(make_rgb(c.r, c.g, c.b));
    EXPECT_EQ(s.hue, c.steps.hue);
    EXPECT_EQ(s.saturation, c.steps.saturation);
    EXPECT_EQ(s.value, c.steps.value);
    EXPECT_EQ(color_of_position(kModeHue, s.saturation, s.value, s.hue, 1000, 1000),
              make_rgb(c.back_r, c.back_g, c.back_b));
  }
}

TEST(HsvConversion, PositionToColour) {
  struct Case {
    int mode, x, y, z, max_x, max_y;
    ColorRef color;
  } cases[] = {
      // One hue in each sixth, at full saturation and value.
      {kModeHue, 1000, 1000, 300, 1000, 1000, make_rgb(255, 127, 0)},
      {kModeHue, 1000, 1000, 900, 1000, 1000, make_rgb(127, 255, 0)},
      {kModeHue, 1000, 1000, 1500, 1000, 1000, make_rgb(0, 255, 127)},
      {kModeHue, 1000, 1000, 2100, 1000, 1000, make_rgb(0, 127, 255)},
      {kModeHue, 1000, 1000, 2700, 1000, 1000, make_rgb(127, 0, 255)},
      {kModeHue, 1000, 1000, 3300, 1000, 1000, make_rgb(255, 0, 127)},
      {kModeHue, 500, 600, 1234, 1000, 1000, make_rgb(76, 153, 81)},
      // ceil(v x 255 - 0.5): an exact half rounds down.
      {kModeHue, 0, 500, 0, 1000, 1000, make_rgb(127, 127, 127)},
      {kModeHue, 0, 100, 0, 1000, 1000, make_rgb(25, 25, 25)},
      {kModeHue, 0, 502, 0, 1000, 1000, make_rgb(128, 128, 128)},
      // x and y are scaled by the maxima, z is not.
      {kModeHue, 50, 100, 0, 100, 100, make_rgb(255, 127, 127)},
      {kModeHue, 0, 0, 0, 0, 0, make_rgb(0, 0, 0)},  // maxima 0 do not divide by zero
      {kModeSaturation, 1200, 1000, 1000, 3599, 1000, make_rgb(0, 255, 0)},
      {kModeValue, 2400, 1000, 1000, 3599, 1000, make_rgb(0, 0, 255)},
      // H = 360 counts as 0; anything out of range is black.
      {kModeHue, 1000, 1000, 3600, 1000, 1000, make_rgb(255, 0, 0)},
      {kModeHue, 1000, 1000, 3601, 1000, 1000, 0},
      {kModeHue, 1000, 1000, -1, 1000, 1000, 0},
      {kModeHue, 1001, 1000, 0, 1000, 1000, 0},
      {kModeHue, 1000, 1001, 0, 1000, 1000, 0},
      {kModeHue, -1, 1000, 0, 1000, 1000, 0},
      {kModeHue, 1000, 1000, 0, 1000, 0, 0},
      {kModeSaturation, 0, 1000, 1001, 3599, 1000, 0},
      {kModeValue, 0, 1000, 1001, 3599, 1000, 0},
      // The byte modes assign the bytes, each kept to 0..255.
      {kModeRed, 1, 2, 3, 255, 255, make_rgb(3, 2, 1)},
      {kModeGreen, 1, 2, 3, 255, 255, make_rgb(2, 3, 1)},
      {kModeBlue, 1, 2, 3, 255, 255, make_rgb(1, 2, 3)},
      {kModeBlue, 300, -4, 255, 255, 255, make_rgb(255, 0, 255)},
      {6, 1, 2, 3, 255, 255, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(color_of_position(c.mode, c.x, c.y, c.z, c.max_x, c.max_y), c.color)
        << c.mode << ": " << c.x << "," << c.y << "," << c.z;
}

TEST(HsvConversion, ColourToPositionByMode) {
  const ColorRef c = make_rgb(10, 20, 30);
  const HsvSteps s = rgb_to_hsv_steps(c);
  EXPECT_EQ(position_of_color(kModeRed, c), (FieldPosition{30, 20, 10}));
  EXPECT_EQ(position_of_color(kModeGreen, c), (FieldPosition{30, 10, 20}));
  EXPECT_EQ(position_of_color(kModeBlue, c), (FieldPosition{10, 20, 30}));
  EXPECT_EQ(position_of_color(kModeHue, c), (FieldPosition{s.saturation, s.value, s.hue}));
  EXPECT_EQ(position_of_color(kModeSaturation, c), (FieldPosition{s.hue, s.value, s.saturation}));
  EXPECT_EQ(position_of_color(kModeValue, c), (FieldPosition{s.hue, s.saturation, s.value}));
  // Every position a colour gives lies in its mode's ranges and leads back
  // to the colour: exactly in the byte modes, within one per channel in the
  // HSV modes.
  for (int v = 0; v < 256 * 256 * 256; v += 4099) {
    const ColorRef color = static_cast<ColorRef>(v);
    for (int mode = kModeRed; mode <= kModeValue; ++mode) {
      SCOPED_TRACE(testing::Message() << "mode " << mode << " colour " << v);
      const FieldPosition p = position_of_color(mode, color);
      const ModeRanges r = mode_ranges(mode);
      ASSERT_TRUE(p.z >= 0 && p.z <= r.z && p.x >= 0 && p.x <= r.x && p.y >= 0 && p.y <= r.y);
      const ColorRef back = color_of_position(mode, p.x, p.y, p.z, r.x, r.y);
      const int slack = mode >= kModeHue ? 1 : 0;
      EXPECT_LE(std::abs(red_of(back) - red_of(color)), slack);
      EXPECT_LE(std::abs(green_of(back) - green_of(color)), slack);
      EXPECT_LE(std::abs(blue_of(back) - blue_of(color)), slack);
    }
  }
}

// The three parts linked, with every notification written down in order and
// the well's posted reports kept until the test delivers them.
struct Picker {
  ColorFieldModel field;
  ColorSliderModel slider;
  ColorWellModel well;
  std::vector<std::string> log;
  std::deque<std::function<void()>> posted;
  std::vector<ColorRef> reports;  // what the parent read when a report arrived

  explicit Picker(int client = 302) {
    link_color_picker(field, slider, well);
    field.set_client_size(client, client);
    slider.set_control_id(kColorSliderId);
    slider.set_track({0, 0, 20, 100});
    field.set_parent_notify([this](int id, ColorRef) { log.push_back("parent " + std::to_string(id)); });
    well.set_post_report([this] {
      log.push_back("well posts");
      posted.push_back([this] { reports.push_back(well.color()); });
    });
    field.set_mode(kModeHue, 0, 0, 0, 1000, 1000);
    slider.set_mode(kModeHue | kSliderReversed);
  }
  void deliver() {
    while (!posted.empty()) {
      auto f = std::move(posted.front());
      posted.pop_front();
      f();
    }
  }
  std::vector<std::string> take_log() { return std::exchange(log, {}); }
  FieldPosition pos() const { return {field.x(), field.y(), field.z()}; }
};

const std::vector<std::string> kOneNotification = {"well posts", "parent 100"};

TEST(ColorField, SetColourNotifiesSliderThenWellThenParent) {
  Picker p;
  p.slider.set_redraw([&] { p.log.push_back("slider at " + std::to_string(p.slider.position())); });
  p.field.set_color(make_rgb(0, 0, 255));
  EXPECT_EQ(p.pos(), (FieldPosition{1000, 1000, 2400}));
  EXPECT_EQ(p.field.color(), make_rgb(0, 0, 255));
  // The slider moved (reversed: 3599 - 2400) before the well heard of it, and
  // was not told back.
  EXPECT_EQ(p.take_log(), (std::vector<std::string>{"slider at 1199", "well posts", "parent 100"}));
  // The report is posted: the parent reads the well only later.
  EXPECT_TRUE(p.reports.empty());
  p.deliver();
  EXPECT_EQ(p.reports, std::vector<ColorRef>{make_rgb(0, 0, 255)});
}

TEST(ColorField, SetColourAtTheSamePositionDoesNothing) {
  Picker p;
  int redraws = 0;
  p.field.set_redraw([&] { ++redraws; });
  p.field.set_color(make_rgb(255, 0, 0));
  EXPECT_EQ(p.pos(), (FieldPosition{1000, 1000, 0}));
  p.take_log();
  redraws = 0;
  p.field.set_color(make_rgb(255, 0, 0));
  EXPECT_TRUE(p.take_log().empty());
  EXPECT_EQ(redraws, 0);
  // Black is (0, 0, 0) whatever the hue was: from red that is a move.
  p.field.set_color(0);
  EXPECT_EQ(p.pos(), (FieldPosition{0, 0, 0}));
  EXPECT_EQ(p.take_log(), kOneNotification);
}

TEST(ColorField, NoControlIdSendsNothing) {
  Picker p;
  p.field.set_control_id(0);
  p.field.set_color(make_rgb(0, 255, 0));
  EXPECT_EQ(p.field.z(), 1200);
  EXPECT_TRUE(p.take_log().empty());
  EXPECT_EQ(p.slider.position(), 3599);  // not told
  EXPECT_TRUE(p.posted.empty());
}

TEST(ColorField, MouseMapping) {
  Picker p;  // field rectangle (1, 1, 301, 301): 300 pixels for 1000 steps
  ASSERT_EQ(p.field.field_rect(), (PixelRect{1, 1, 301, 301}));
  struct Case {
    int px, py, x, y;
  } cases[] = {
      {1, 301, 0, 0},         // bottom left: the origin
      {301, 1, 1000, 1000},   // top right
      {151, 151, 500, 500},
      {2, 300, 4, 4},         // ceil(1000 / 300)
      {-40, 500, 0, 0},       // clamped into the field
      {900, -7, 1000, 1000},
      {300, 2, 997, 997},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(p.field.x_at(c.px), c.x) << c.px;
    EXPECT_EQ(p.field.y_at(c.py), c.y) << c.py;
  }
  // The marker sits where the mouse mapping puts the position.
  p.field.set_mode(kModeHue, 500, 250, 0, 1000, 1000);
  EXPECT_DOUBLE_EQ(p.field.marker_point().x, 151);
  EXPECT_DOUBLE_EQ(p.field.marker_point().y, 226);
  // A field too small to have an inside maps everything to 0.
  ColorFieldModel tiny;
  tiny.set_client_size(2, 2);
  EXPECT_EQ(tiny.x_at(1), 0);
  EXPECT_EQ(tiny.y_at(1), 0);
}

TEST(ColorField, LeftDragCapturesMovesAndEndsWithOneMoreNotification) {
  Picker p;
  EXPECT_TRUE(p.field.press(PickerButton::left, 151, 151));
  EXPECT_TRUE(p.field.captured());
  EXPECT_EQ(p.pos(), (FieldPosition{500, 500, 0}));
  EXPECT_EQ(p.take_log(), kOneNotification);

  p.field.move(151, 151);  // same position
  EXPECT_TRUE(p.take_log().empty());
  p.field.move(-100, 1000);  // outside: clamped to the corner
  EXPECT_EQ(p.pos(), (FieldPosition{0, 0, 0}));
  EXPECT_EQ(p.take_log(), kOneNotification);

  EXPECT_FALSE(p.field.release(PickerButton::left));
  EXPECT_FALSE(p.field.captured());
  EXPECT_EQ(p.take_log(), kOneNotification);
  p.field.move(151, 151);  // not captured any more
  EXPECT_EQ(p.pos(), (FieldPosition{0, 0, 0}));
  EXPECT_FALSE(p.field.release(PickerButton::left));  // a stray release tells nobody
  EXPECT_TRUE(p.take_log().empty());
}

TEST(ColorField, PressesThatDoNotCapture) {
  Picker p;
  EXPECT_FALSE(p.field.press(PickerButton::left, 0, 0));  // on the frame, outside the field
  EXPECT_FALSE(p.field.press(PickerButton::right, 151, 151));
  EXPECT_TRUE(p.field.double_click());
  EXPECT_FALSE(p.field.captured());
  EXPECT_EQ(p.pos(), (FieldPosition{0, 0, 0}));
  EXPECT_TRUE(p.take_log().empty());
  EXPECT_TRUE(p.field.shows_field_cursor(1, 1));
  EXPECT_FALSE(p.field.shows_field_cursor(301, 301));
}

TEST(ColorField, MiddleDragEndsAtTheNextLeftRelease) {
  Picker p;
  EXPECT_TRUE(p.field.press(PickerButton::middle, 151, 151));
  EXPECT_TRUE(p.field.captured());
  EXPECT_TRUE(p.field.release(PickerButton::middle));  // focus only
  EXPECT_TRUE(p.field.captured());
  p.take_log();
  p.field.move(301, 1);
  EXPECT_EQ(p.pos(), (FieldPosition{1000, 1000, 0}));
  EXPECT_EQ(p.take_log(), kOneNotification);
  p.field.release(PickerButton::left);
  EXPECT_FALSE(p.field.captured());
  EXPECT_EQ(p.take_log(), kOneNotification);
}

TEST(ColorField, Keys) {
  struct Case {
    PickerKey key;
    int from_x, from_y, x, y;
  } cases[] = {
      {PickerKey::page_up, 500, 500, 1000, 1000}, {PickerKey::page_down, 500, 500, 1000, 0},
      {PickerKey::end, 500, 500, 0, 0},           {PickerKey::home, 500, 500, 0, 1000},
      {PickerKey::left, 500, 500, 499, 500},      {PickerKey::right, 500, 500, 501, 500},
      {PickerKey::up, 500, 500, 500, 501},        {PickerKey::down, 500, 500, 500, 499},
      {PickerKey::left, 0, 0, 0, 0},              {PickerKey::down, 0, 0, 0, 0},
      {PickerKey::right, 1000, 1000, 1000, 1000}, {PickerKey::up, 1000, 1000, 1000, 1000},
      {PickerKey::page_up, 1000, 1000, 1000, 1000},
  };
  for (const auto& c : cases) {
    Picker p;
    p.field.set_mode(kModeHue, c.from_x, c.from_y, 1234, 1000, 1000);
    bool moved = p.field.key(c.key);
    EXPECT_EQ(p.pos(), (FieldPosition{c.x, c.y, 1234})) << static_cast<int>(c.key);
    bool changed = c.x != c.from_x || c.y != c.from_y;
    EXPECT_EQ(moved, changed);
    EXPECT_EQ(p.take_log(), changed ? kOneNotification : std::vector<std::string>{});
  }
}

TEST(ColorField, HomeIsWhiteForAnyHue) {
  for (int hue : {0, 1234, 3599}) {
    Picker p;
    p.field.set_mode(kModeHue, 500, 500, hue, 1000, 1000);
    p.field.key(PickerKey::home);
    EXPECT_EQ(p.field.color(), make_rgb(255, 255, 255)) << hue;
    EXPECT_TRUE(p.field.marker_black());
    p.field.key(PickerKey::end);
    EXPECT_FALSE(p.field.marker_black());
  }
}

TEST(ColorField, KeysDoNothingDuringADrag) {
  Picker p;
  p.field.press(PickerButton::left, 151, 151);
  p.take_log();
  for (PickerKey k : {PickerKey::page_up, PickerKey::home, PickerKey::left, PickerKey::up})
    EXPECT_FALSE(p.field.key(k));
  EXPECT_EQ(p.pos(), (FieldPosition{500, 500, 0}));
  EXPECT_TRUE(p.take_log().empty());
  p.slider.press(PickerButton::left, 5, 5);
  EXPECT_FALSE(p.slider.key(PickerKey::page_down));
}

TEST(ColorSlider, SetMode) {
  struct Case {
    int m;
    bool accepted;
    int mode;
    bool reversed;
    int from, to, line, page, position;
  } cases[] = {
      {kModeHue | kSliderReversed, true, 3, true, 0, 3599, 10, 100, 3599},
      {kModeHue, true, 3, false, 0, 3599, 10, 100, 0},
      {kModeSaturation, true, 4, false, 0, 1000, 10, 100, 0},
      {kModeValue | kSliderReversed, true, 5, true, 0, 1000, 10, 100, 1000},
      {kModeRed, true, 0, false, 0, 255, 1, 10, 0},
      {kModeGreen | kSliderReversed, true, 1, true, 0, 255, 1, 10, 255},
      {kModeBlue, true, 2, false, 0, 255, 1, 10, 0},
      // After mode 4: 6 keeps the range, values above 6 change nothing.
      {6 | kSliderReversed, true, 6, true, 0, 1000, 10, 100, 1000},
      {7, false, 4, false, 0, 1000, 10, 100, 0},
      {0xFF, false, 4, false, 0, 1000, 10, 100, 0},
  };
  for (const auto& c : cases) {
    ColorSliderModel s;
    s.set_mode(kModeSaturation);
    EXPECT_EQ(s.set_mode(c.m), c.accepted) << c.m;
    EXPECT_EQ(s.mode(), c.mode) << c.m;
    EXPECT_EQ(s.reversed(), c.reversed) << c.m;
    EXPECT_EQ(s.range_from(), c.from) << c.m;
    EXPECT_EQ(s.range_to(), c.to) << c.m;
    EXPECT_EQ(s.line_step(), c.line) << c.m;
    EXPECT_EQ(s.page_step(), c.page) << c.m;
    EXPECT_EQ(s.position(), c.position) << c.m;
  }
  EXPECT_FALSE(ColorSliderModel::horizontal_style(0x7280));  // as the lighting page creates it
  EXPECT_TRUE(ColorSliderModel::horizontal_style(0x8000));
}

TEST(ColorSlider, MouseRoundsToTheNearestStep) {
  struct Case {
    bool hue;  // hue mode (steps of 10), else a byte range from..to (steps of 1)
    int from, to;
    bool horizontal;
    int coord, position;
  } cases[] = {
      // Vertical hue track, 100 pixels: 35.99 units per pixel.
      {true, 0, 3599, false, 0, 0},
      {true, 0, 3599, false, 1, 40},       // 35.99 -> 40
      {true, 0, 3599, false, 50, 1800},    // 1799.5 -> 1800
      {true, 0, 3599, false, 100, 3599},   // 360 steps would pass the end
      {true, 0, 3599, false, -30, 0},      // clamped to the track
      {true, 0, 3599, false, 250, 3599},
      // Horizontal byte track, 100 pixels: a half step goes towards the end,
      // also when the range runs downwards.
      {false, 0, 255, true, 1, 3},         // 2.55 -> 3
      {false, 0, 255, true, 10, 26},       // 25.5 -> 26
      {false, 255, 0, true, 10, 229},      // 25.5 steps down -> 26 down
      {false, 0, 255, true, 99, 252},      // 252.45 -> 252
      {false, 255, 0, true, 100, 0},
  };
  for (const auto& c : cases) {
    ColorSliderModel s;
    s.set_mode(c.hue ? kModeHue : kModeRed);
    if (!c.hue) s.set_range(c.from, c.to);
    s.set_horizontal(c.horizontal);
    s.set_track(c.horizontal ? PixelRect{0, 0, 100, 20} : PixelRect{0, 0, 20, 100});
    s.press(PickerButton::left, 5, 5);
    s.move(c.horizontal ? c.coord : 5, c.horizontal ? 5 : c.coord);
    EXPECT_EQ(s.position(), c.position) << c.from << ".." << c.to << " at " << c.coord;
  }
}

TEST(ColorSlider, DragNotifiesOnChangeAndOnceMoreAtTheEnd) {
  ColorSliderModel s;
  std::vector<int> told;
  s.set_parent_notify([&](int id, int v) {
    EXPECT_EQ(id, kColorSliderId);
    told.push_back(v);
  });
  s.set_mode(kModeRed);
  s.set_horizontal(true);
  s.set_track({0, 0, 255, 10});
  EXPECT_FALSE(s.press(PickerButton::right, 10, 5));
  EXPECT_FALSE(s.press(PickerButton::left, 10, 50));  // outside the track
  EXPECT_TRUE(s.press(PickerButton::left, 10, 5));    // the press moves the thumb
  s.move(10, 9);
  s.move(20, 5);
  s.release(PickerButton::left);
  s.move(30, 5);
  EXPECT_EQ(told, (std::vector<int>{10, 20, 20}));
  EXPECT_EQ(s.thumb_offset(), 20);
  s.set_control_id(0);  // no id: nothing is sent
  s.press(PickerButton::left, 40, 5);
  EXPECT_EQ(s.position(), 40);
  EXPECT_EQ(told.size(), 3u);
}

TEST(ColorSlider, Keys) {
  struct Case {
    PickerKey key;
    int from_position, position;
  } cases[] = {
      {PickerKey::page_up, 1000, 900},   {PickerKey::page_down, 1000, 1100},
      {PickerKey::end, 1000, 3599},      {PickerKey::home, 1000, 0},
      {PickerKey::right, 1000, 1010},    {PickerKey::down, 1000, 1010},
      {PickerKey::left, 1000, 990},      {PickerKey::up, 1000, 990},
      {PickerKey::up, 5, 0},             {PickerKey::page_up, 0, 0},
      {PickerKey::page_down, 3550, 3599}, {PickerKey::right, 3599, 3599},
  };
  for (const auto& c : cases) {
    Picker p;  // hue, reversed
    p.field.set_mode(kModeHue, 1000, 1000, 3599 - c.from_position, 1000, 1000);
    p.slider.receive_from_field(p.field);
    ASSERT_EQ(p.slider.position(), c.from_position);
    p.take_log();
    bool moved = p.slider.key(c.key);
    EXPECT_EQ(p.slider.position(), c.position) << static_cast<int>(c.key) << " from " << c.from_position;
    EXPECT_EQ(moved, c.position != c.from_position);
    if (moved) {
      // The field takes the reversed position as its hue and tells everyone
      // but the slider itself.
      EXPECT_EQ(p.field.z(), 3599 - c.position);
      EXPECT_EQ(p.take_log(), kOneNotification);
    } else {
      EXPECT_TRUE(p.take_log().empty());
    }
  }
}

TEST(ColorSlider, DownwardRangeKeys) {
  ColorSliderModel s;
  s.set_range(255, 0);
  s.set_mode(6);  // keeps the range
  ASSERT_EQ(s.position(), 0);
  s.key(PickerKey::end);
  EXPECT_EQ(s.position(), 0);
  s.key(PickerKey::home);
  EXPECT_EQ(s.position(), 255);
  s.key(PickerKey::right);
  EXPECT_EQ(s.position(), 255);
  s.key(PickerKey::page_up);
  EXPECT_EQ(s.position(), 245);
}

TEST(ColorSlider, ReversedHueShowsHueZeroAtTheMaximumEnd) {
  Picker p;
  p.field.set_color(make_rgb(255, 0, 0));  // saturation and value 1000, hue 0
  EXPECT_EQ(p.slider.position(), 3599);
  EXPECT_EQ(p.slider.component(), 0);
  EXPECT_EQ(p.slider.thumb_offset(), 100);  // the bottom of a vertical track
  EXPECT_EQ(p.slider.color_at(3599), make_rgb(255, 0, 0));
  EXPECT_EQ(p.slider.color_at(3599 - 1200), make_rgb(0, 255, 0));
  // Dragging to the top end is the largest hue.
  p.slider.press(PickerButton::left, 5, 0);
  EXPECT_EQ(p.slider.position(), 0);
  EXPECT_EQ(p.field.z(), 3599);
}

TEST(ColorSlider, KeepsOnlyFieldComponentsInsideTheirRanges) {
  Picker p;
  p.field.set_mode(kModeHue, 400, 600, 100, 1000, 1000);
  p.slider.receive_from_field(p.field);
  EXPECT_EQ(p.slider.field_x(), 400);
  EXPECT_EQ(p.slider.field_y(), 600);
  EXPECT_EQ(p.slider.position(), 3499);
  p.field.set_mode(kModeHue, 1001, -1, 5000, 1000, 1000);
  p.slider.receive_from_field(p.field);
  EXPECT_EQ(p.slider.field_x(), 400);
  EXPECT_EQ(p.slider.field_y(), 600);
  EXPECT_EQ(p.slider.position(), 0);  // 3599 - 5000, clamped
  EXPECT_TRUE(p.take_log().empty());  // the slider never tells back
}

TEST(ColorField, SliderValueOutsideTheModesRangeKeepsZ) {
  Picker p;
  p.field.set_mode(kModeRed, 10, 20, 30, 255, 255);
  p.slider.set_mode(kModeHue);  // 0..3599 against the field's 0..255
  p.slider.key(PickerKey::end);
  EXPECT_EQ(p.field.z(), 30);
  // Still recomputed and told.
  EXPECT_EQ(p.take_log(), kOneNotification);
  p.slider.key(PickerKey::home);
  EXPECT_EQ(p.field.z(), 0);
}

TEST(ColorWell, TakesTheFieldsColourAndPostsItsReport) {
  Picker p;
  int redraws = 0;
  p.well.set_redraw([&] { ++redraws; });
  p.field.set_color(make_rgb(255, 255, 0));
  EXPECT_EQ(p.well.color(), make_rgb(255, 255, 0));
  EXPECT_EQ(redraws, 1);
  ASSERT_EQ(p.posted.size(), 1u);
  // The report is read when it arrives: a later colour wins.
  p.field.set_color(make_rgb(0, 255, 255));
  p.deliver();
  EXPECT_EQ(p.reports, (std::vector<ColorRef>{make_rgb(0, 255, 255), make_rgb(0, 255, 255)}));
  p.well.set_color(make_rgb(1, 2, 3));  // shown by the owner: no report
  EXPECT_TRUE(p.posted.empty());
}

}  // namespace
}  // namespace mt
