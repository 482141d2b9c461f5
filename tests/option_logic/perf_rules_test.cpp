#include "option/logic/perf_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace mt {
namespace {

TEST(PerfMappings, PointerSpeed) {
  const int to_speed[][2] = {{1, 1}, {2, 2}, {3, 4}, {6, 10}, {10, 18}, {11, 20},
                             {0, 10}, {12, 10}, {-1, 10}};
  for (const auto& c : to_speed) EXPECT_EQ(mouse_speed_of_position(c[0]), c[1]) << c[0];
  const int to_position[][2] = {{1, 1},  {2, 2},  {3, 3},  {4, 3}, {7, 5},  {10, 6},
                                {19, 11}, {20, 11}, {0, 6}, {21, 6}, {-1, 6}};
  for (const auto& c : to_position) EXPECT_EQ(position_of_mouse_speed(c[0]), c[1]) << c[0];
  for (int p = 1; p <= 11; ++p) EXPECT_EQ(position_of_mouse_speed(mouse_speed_of_position(p)), p);
}

TEST(PerfMappings, DoubleClick) {
  EXPECT_EQ(double_click_of_position(0), 900);
  EXPECT_EQ(double_click_of_position(700), 200);
  EXPECT_EQ(double_click_position(500), 400);
  const int marker[][2] = {{200, 700}, {900, 0}, {500, 400}, {901, 0}, {199, 0}, {-1, 0}, {1600, 0}};
  for (const auto& c : marker) EXPECT_EQ(double_click_marker(c[0]), c[1]) << c[0];
}

TEST(PerfMappings, Pictures) {
  EXPECT_EQ(scroll_picture(1), 0);
  EXPECT_EQ(scroll_picture(11), 10);
  EXPECT_EQ(scroll_picture(0), std::nullopt);
  EXPECT_EQ(scroll_picture(12), std::nullopt);
  EXPECT_EQ(scroll_picture(-1), std::nullopt);
  EXPECT_EQ(pointer_picture(position_of_mouse_speed(10)), 5);
  EXPECT_EQ(pointer_picture(0), std::nullopt);
  EXPECT_EQ(speed_picture_file(kScrollPicturePrefix, 0), "z00.jpg");
  EXPECT_EQ(speed_picture_file(kScrollPicturePrefix, 5), "z05.jpg");
  EXPECT_EQ(speed_picture_file(kPointerPicturePrefix, 10), "zhizhen10.jpg");
}

TEST(PerfMappings, DialValue) {
  struct Case {
    int step, level;
    std::optional<int> value;
  } cases[] = {{3, 9, 9}, {0, 1, 1}, {4, 12, 12}, {3, 13, {}}, {3, 0, {}}, {3, -1, {}},
               {-1, 9, {}}, {5, 9, {}}};
  for (const auto& c : cases) {
    ProfileRecord p{};
    for (auto& l : p.CpiLevel_X) l = c.level;
    p.CpiStep = c.step;
    EXPECT_EQ(dial_value(p), c.value) << c.step << " " << c.level;
  }
}

struct RecordingView : PerfPageView {
  std::vector<std::string> log;
  void add(const char* what, long long v) { log.push_back(std::string(what) + " " + std::to_string(v)); }
  void select_level(int s) override { add("level", s); }
  void show_cpi_spin(int i) override { add("cpi spin", i); }
  void redraw_dial() override { log.push_back("dial"); }
  void move_cpi_slider(int id, int v) override { add(id == kCpiXSlider ? "x slider" : "y slider", v); }
  void set_cpi_slider_range(int min, int max) override {
    log.push_back("cpi sliders " + std::to_string(min) + ".." + std::to_string(max));
  }
  void move_pointer_slider(int p) override { add("pointer slider", p); }
  void redraw_pointer_gauge() override { log.push_back("pointer gauge"); }
  void move_double_click_slider(int p) override { add("double-click slider", p); }
  void set_double_click_marker(int v) override { add("marker", v); }
  void set_system_double_click_time(int ms) override { add("system double-click", ms); }
  void move_scroll_slider(int l) override { add("scroll slider", l); }
  void set_scroll_spin(int l) override { add("scroll spin", l); }
  void redraw_scroll_picture() override { log.push_back("scroll picture"); }
  void show_scroll_mode(int flag, bool slider, bool spin) override {
    log.push_back("scroll mode " + std::to_string(flag) + (slider ? " slider" : "") + (spin ? " spin" : ""));
  }
  void show_acceleration(bool on) override { add("acceleration", on); }
  void show_xy_synchronous(int v) override { add("xy", v); }
  void select_polling_rate(int c) override { add("rate", c); }
  void redraw_gauges() override { log.push_back("gauges"); }
  std::vector<std::string> take() { return std::exchange(log, {}); }
};

ProfileRecord factory_profile() {
  ProfileRecord p;
  std::memset(&p, 0, sizeof p);
  set_profile_defaults(p, 0);
  return p;
}

using Log = std::vector<std::string>;

TEST(PerfPage, LevelThenDialChangesOnlyThatLevelsX) {
  ProfileRecord p = factory_profile();
  RecordingView view;
  on_level_button(p, 3, view);
  EXPECT_EQ(p.CpiStep, 3);
  EXPECT_EQ(view.take(), (Log{"level 3", "cpi spin 10", "dial", "x slider 100000", "y slider 100000"}));
  on_dial_click(p, 7, view);
  EXPECT_EQ(view.take(), (Log{"cpi spin 7", "dial", "x slider 70000"}));
  const int32_t x[] = {4, 6, 8, 7, 12}, y[] = {4, 6, 8, 10, 12};
  EXPECT_EQ(std::memcmp(p.CpiLevel_X, x, sizeof x), 0);
  EXPECT_EQ(std::memcmp(p.CpiLevel_Y, y, sizeof y), 0);
  // The CPI spin writes the same place.
  EXPECT_TRUE(on_spin_changed(p, kCpiSpin, 12, view));
  EXPECT_EQ(p.CpiLevel_X[3], 12);
  EXPECT_EQ(view.take(), (Log{"dial", "x slider 120000"}));
  // Editing AMCpi_X/Y, the sliders have nothing to do with the levels.
  ProfileRecord am = p;
  am.AMCpiFlag = 1;
  on_level_button(am, 1, view);
  on_dial_click(am, 2, view);
  EXPECT_EQ(view.take(), (Log{"level 1", "cpi spin 6", "dial", "cpi spin 2", "dial"}));
  // Buttons only exist for levels 0..4.
  on_level_button(p, 5, view);
  on_level_button(p, -1, view);
  EXPECT_EQ(p.CpiStep, 3);
  EXPECT_TRUE(view.take().empty());
}

TEST(PerfPage, CpiSliderRouting) {
  struct Case {
    int am_flag, xy_sync, id, value;
    int level_x, level_y, am_x, am_y;  // level 2 and the AMCpi pair afterwards
    Log log;
  } cases[] = {
      {0, 0, kCpiXSlider, 95000, 9, 9, 20, 20, {"y slider 95000", "cpi spin 9", "dial"}},
      {0, 1, kCpiXSlider, 95000, 9, 8, 20, 20, {"cpi spin 9", "dial"}},
      {0, 2, kCpiXSlider, 95000, 9, 8, 20, 20, {"cpi spin 9", "dial"}},  // any value but 0 unlinks
      {0, 0, kCpiYSlider, 30000, 3, 3, 20, 20, {"x slider 30000", "cpi spin 3", "dial"}},
      {0, 1, kCpiYSlider, 30000, 8, 3, 20, 20, {}},  // the dial shows X only
      {0, 0, kCpiXSlider, 19999, 1, 1, 20, 20, {"y slider 19999", "cpi spin 1", "dial"}},  // integer division
      // A level only ever holds an index 1..12, whatever the slider sends.
      {0, 1, kCpiXSlider, 1000000, 12, 8, 20, 20, {"cpi spin 12", "dial"}},
      {0, 1, kCpiYSlider, 9999, 8, 1, 20, 20, {}},
      {1, 0, kCpiXSlider, 555555, 8, 8, 55, 55, {"y slider 555555"}},
      {1, 1, kCpiXSlider, 555555, 8, 8, 55, 20, {}},
      {1, 0, kCpiYSlider, 1000000, 8, 8, 100, 100, {"x slider 1000000"}},
      {-1, 1, kCpiYSlider, 1000000, 8, 8, 20, 100, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "AMCpiFlag " << c.am_flag << " XYSynchronous " << c.xy_sync
                                    << " id " << c.id << " value " << c.value);
    ProfileRecord p = factory_profile();  // level 2 current, 8 on both axes
    p.AMCpiFlag = c.am_flag;
    p.XYSynchronous = c.xy_sync;
    RecordingView view;
    EXPECT_TRUE(on_slider_changed(p, c.id, c.value, view));
    EXPECT_EQ(p.CpiLevel_X[2], c.level_x);
    EXPECT_EQ(p.CpiLevel_Y[2], c.level_y);
    EXPECT_EQ(p.AMCpi_X, c.am_x);
    EXPECT_EQ(p.AMCpi_Y, c.am_y);
    EXPECT_EQ(view.log, c.log);
    for (int i : {0, 1, 3, 4}) {
      EXPECT_EQ(p.CpiLevel_X[i], 2 * i + 4);
      EXPECT_EQ(p.CpiLevel_Y[i], 2 * i + 4);
    }
  }
}

// CpiStep comes from files and may be anything: no level array is indexed
// with it, and nothing else moves.
TEST(PerfPage, NoCurrentLevel) {
  for (int step : {-1, 5, 1000}) {
    ProfileRecord p = factory_profile();
    p.CpiStep = step;
    const ProfileRecord before = p;
    RecordingView view;
    on_dial_click(p, 5, view);
    on_spin_changed(p, kCpiSpin, 5, view);
    on_slider_changed(p, kCpiXSlider, 50000, view);
    on_slider_changed(p, kCpiYSlider, 50000, view);
    EXPECT_EQ(std::memcmp(&p, &before, sizeof p), 0) << step;
    EXPECT_TRUE(view.log.empty()) << step;
    // The AMCpi pair does not need a level.
    p.AMCpiFlag = 1;
    on_slider_changed(p, kCpiXSlider, 50000, view);
    EXPECT_EQ(p.AMCpi_X, 5);
    EXPECT_EQ(p.AMCpi_Y, 5);
  }
}

TEST(PerfPage, OtherSlidersAndSpins) {
  struct Case {
    bool spin;
    int id, value;
    int32_t ProfileRecord::*field;
    int stored;
    Log log;
  } cases[] = {
      {false, kPointerSpeedSlider, 1, &ProfileRecord::MouseSpeed, 1, {"pointer gauge"}},
      {false, kPointerSpeedSlider, 11, &ProfileRecord::MouseSpeed, 20, {"pointer gauge"}},
      {false, kDoubleClickSlider, 0, &ProfileRecord::DbleClickSpeed, 900,
       {"system double-click 900", "marker 0"}},
      {false, kDoubleClickSlider, 700, &ProfileRecord::DbleClickSpeed, 200,
       {"system double-click 200", "marker 700"}},
      {false, kScrollSlider, 7, &ProfileRecord::ScrollWheelSpeed, 7, {"scroll spin 7", "scroll picture"}},
      {false, kLiftLevelId, 3, &ProfileRecord::LiftLevel, 3, {}},
      {false, kLiftSwitchId, 0, &ProfileRecord::LiftSwitch, 0, {}},
      {true, kScrollSpin, 11, &ProfileRecord::ScrollWheelSpeed, 11, {"scroll slider 11", "scroll picture"}},
  };
  for (const auto& c : cases) {
    ProfileRecord p = factory_profile();
    RecordingView view;
    EXPECT_TRUE(c.spin ? on_spin_changed(p, c.id, c.value, view) : on_slider_changed(p, c.id, c.value, view));
    EXPECT_EQ(p.*c.field, c.stored) << c.id << " " << c.value;
    EXPECT_EQ(view.log, c.log) << c.id << " " << c.value;
  }
  // Ids the page does not know change nothing.
  ProfileRecord p = factory_profile();
  const ProfileRecord before = p;
  RecordingView view;
  EXPECT_FALSE(on_slider_changed(p, 208, 5, view));
  EXPECT_FALSE(on_slider_changed(p, kCpiSpin, 5, view));
  EXPECT_FALSE(on_spin_changed(p, kScrollSlider, 5, view));
  EXPECT_FALSE(on_spin_changed(p, 0, 5, view));
  EXPECT_EQ(std::memcmp(&p, &before, sizeof p), 0);
  EXPECT_TRUE(view.log.empty());
}

TEST(PerfPage, ScrollModeEnablesTheScrollControls) {
  ProfileRecord p = factory_profile();
  RecordingView view;
  on_scroll_mode(p, 1, view);
  EXPECT_EQ(p.ScrollWheelFlag, 1);
  on_scroll_mode(p, 0, view);
  EXPECT_EQ(p.ScrollWheelFlag, 0);
  p.SCrollSpinFlag = 0;
  on_scroll_mode(p, 0, view);
  EXPECT_EQ(view.take(), (Log{"scroll mode 1", "scroll mode 0 slider spin", "scroll mode 0 slider"}));
}

TEST(PerfPage, AccelerationAndRate) {
  ProfileRecord p = factory_profile();
  RecordingView view;
  on_acceleration(p, true, view);
  EXPECT_EQ(p.AccelerationFlag, 1);
  EXPECT_EQ(p.Acceleration, 10);
  on_acceleration(p, false, view);
  EXPECT_EQ(p.AccelerationFlag, 0);
  EXPECT_EQ(p.Acceleration, 0);
  for (int j = 0; j <= 3; ++j) {
    on_polling_rate(p, j, view);
    EXPECT_EQ(p.PollingRate, j);
  }
  EXPECT_EQ(view.take(), (Log{"acceleration 1", "acceleration 0", "rate 0", "rate 1", "rate 2", "rate 3"}));
}

TEST(PerfPage, RefreshOrder) {
  ProfileRecord p = factory_profile();
  p.XYSynchronous = 1;
  p.ScrollWheelFlag = 1;
  p.ScrollWheelSpeed = 5;
  p.MouseSpeed = 7;
  p.AccelerationFlag = 1;
  p.DbleClickSpeed = 350;
  p.PollingRate = 3;
  p.CpiStep = 4;
  RecordingView view;
  refresh_performance(p, view);
  EXPECT_EQ(view.log, (Log{
                          "xy 1",
                          "scroll mode 1",  // page mode: slider and spin disabled
                          "scroll slider 5",
                          "scroll spin 5",
                          "pointer slider 5",
                          "acceleration 1",
                          "double-click slider 550",
                          "marker 550",
                          "rate 3",
                          "level 4",
                          "cpi spin 12",
                          "dial",
                          "cpi sliders 10000..120000",
                          "x slider 120000",
                          "y slider 120000",
                          "gauges",
                      }));
}

TEST(PerfMappings, CpiSliders) {
  struct Case {
    int am_flag, step, level_x, level_y, am_x, am_y;
    SliderRange range;
    std::optional<int> x, y;
  } cases[] = {
      {0, 2, 8, 3, 20, 20, {10000, 120000}, 80000, 30000},
      {0, 0, 1, 12, 20, 20, {10000, 120000}, 10000, 120000},
      // Stored values the levels cannot hold sit at the range's ends.
      {0, 2, 0, 13, 20, 20, {10000, 120000}, 10000, 120000},
      {0, 2, -2147483647 - 1, 2147483647, 20, 20, {10000, 120000}, 10000, 120000},
      {0, -1, 8, 8, 20, 20, {10000, 120000}, {}, {}},  // no current level
      {0, 5, 8, 8, 20, 20, {10000, 120000}, {}, {}},
      {1, 2, 8, 8, 55, 100, {10000, 1000000}, 550000, 1000000},
      {1, -1, 8, 8, 1, 0, {10000, 1000000}, 10000, 10000},  // AMCpi needs no level
      {-3, 2, 8, 8, 101, 20, {10000, 1000000}, 1000000, 200000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "AMCpiFlag " << c.am_flag << " step " << c.step);
    ProfileRecord p = factory_profile();
    p.AMCpiFlag = c.am_flag;
    p.CpiStep = c.step;
    if (c.step >= 0 && c.step < kLevelCount) {
      p.CpiLevel_X[c.step] = c.level_x;
      p.CpiLevel_Y[c.step] = c.level_y;
    }
    p.AMCpi_X = c.am_x;
    p.AMCpi_Y = c.am_y;
    EXPECT_EQ(cpi_slider_range(p), c.range);
    EXPECT_EQ(cpi_slider_value(p, kCpiXSlider), c.x);
    EXPECT_EQ(cpi_slider_value(p, kCpiYSlider), c.y);
    EXPECT_EQ(cpi_slider_value(p, kPointerSpeedSlider), std::nullopt);
  }
  // Every level the slider can reach stores back what it shows.
  ProfileRecord p = factory_profile();
  RecordingView view;
  for (int k = 1; k <= 12; ++k) {
    p.CpiLevel_X[p.CpiStep] = k;
    const int at = *cpi_slider_value(p, kCpiXSlider);
    p.CpiLevel_X[p.CpiStep] = 0;
    on_slider_changed(p, kCpiXSlider, at, view);
    EXPECT_EQ(p.CpiLevel_X[p.CpiStep], k);
  }
}

TEST(PerfPage, RefreshOfOutOfRangeValues) {
  ProfileRecord p = factory_profile();
  p.CpiStep = -1;  // keys missing from the profile file
  p.MouseSpeed = -1;
  p.DbleClickSpeed = -1;
  RecordingView view;
  refresh_performance(p, view);
  const Log& log = view.log;
  EXPECT_NE(std::find(log.begin(), log.end(), "pointer slider 6"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "double-click slider 901"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "marker 0"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "level -1"), log.end());
  for (const auto& line : log) EXPECT_NE(line.rfind("cpi spin", 0), 0u) << line;
}

}  // namespace
}  // namespace mt
