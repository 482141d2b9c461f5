#include "option/logic/perf_rules.h"

#include <algorithm>
#include <cstdio>

namespace mt {

namespace {

bool valid_step(int step) { return step >= 0 && step < kLevelCount; }

// X and Y CPI sliders: the slider's axis and the other one.
struct Axis {
  int32_t ProfileRecord::*am_cpi;
  int32_t (ProfileRecord::*levels)[kLevelCount];
};
constexpr Axis kAxisX = {&ProfileRecord::AMCpi_X, &ProfileRecord::CpiLevel_X};
constexpr Axis kAxisY = {&ProfileRecord::AMCpi_Y, &ProfileRecord::CpiLevel_Y};

constexpr int kSliderUnit = 10000;

void cpi_slider_changed(ProfileRecord& p, const Axis& own, const Axis& other, int other_id, int value,
                        PerfPageView& view) {
  int v = value / kSliderUnit;
  const bool linked = p.XYSynchronous == 0;
  bool level_x_changed = false;
  if (p.AMCpiFlag == 0) {
    // Without a current level there is no level to write.
    if (!valid_step(p.CpiStep)) return;
    // A level holds an index the dial and the mouse know.
    v = std::clamp(v, kCpiSpinMin, kCpiSpinMax);
    (p.*own.levels)[p.CpiStep] = v;
    if (linked) (p.*other.levels)[p.CpiStep] = v;
    level_x_changed = linked || own.levels == kAxisX.levels;
  } else {
    p.*own.am_cpi = v;
    if (linked) p.*other.am_cpi = v;
  }
  if (linked) view.move_cpi_slider(other_id, value);
  if (level_x_changed) {
    view.show_cpi_spin(p.CpiLevel_X[p.CpiStep]);
    view.redraw_dial();
  }
}

// With AMCpiFlag 0 the sliders show the current level.
void follow_level(const ProfileRecord& p, bool y_too, PerfPageView& view) {
  if (p.AMCpiFlag != 0) return;
  if (auto x = cpi_slider_value(p, kCpiXSlider)) view.move_cpi_slider(kCpiXSlider, *x);
  if (!y_too) return;
  if (auto y = cpi_slider_value(p, kCpiYSlider)) view.move_cpi_slider(kCpiYSlider, *y);
}

}  // namespace

int mouse_speed_of_position(int position) {
  if (position == 1) return 1;
  if (position >= 2 && position <= 11) return 2 * (position - 1);
  return 10;
}

int position_of_mouse_speed(int speed) {
  if (speed == 1) return 1;
  if (speed >= 2 && speed <= 20) return (speed + 1) / 2 + 1;
  return 6;
}

int double_click_marker(int ms) {
  const int p = double_click_position(ms);
  return (p >= kDoubleClickMin && p <= kDoubleClickMax) ? p : 0;
}

std::optional<int> dial_value(const ProfileRecord& p) {
  if (!valid_step(p.CpiStep)) return std::nullopt;
  const int n = p.CpiLevel_X[p.CpiStep];
  if (n < kCpiSpinMin || n > kCpiSpinMax) return std::nullopt;
  return n;
}

SliderRange cpi_slider_range(const ProfileRecord& p) {
  return {kCpiSliderMin, p.AMCpiFlag == 0 ? kCpiLevelSliderMax : kCpiSliderMax};
}

std::optional<int> cpi_slider_value(const ProfileRecord& p, int id) {
  if (id != kCpiXSlider && id != kCpiYSlider) return std::nullopt;
  const bool x = id == kCpiXSlider;
  int32_t stored;
  if (p.AMCpiFlag == 0) {
    if (!valid_step(p.CpiStep)) return std::nullopt;
    stored = x ? p.CpiLevel_X[p.CpiStep] : p.CpiLevel_Y[p.CpiStep];
  } else {
    stored = x ? p.AMCpi_X : p.AMCpi_Y;
  }
  // The slider keeps it within its range; only the product must not wrap.
  const SliderRange r = cpi_slider_range(p);
  const int64_t v = int64_t{stored} * kSliderUnit;
  return static_cast<int>(std::clamp<int64_t>(v, r.min, r.max));
}

bool scroll_slider_enabled(const ProfileRecord& p) { return p.ScrollWheelFlag == 0; }
bool scroll_spin_enabled(const ProfileRecord& p) { return p.ScrollWheelFlag == 0 && p.SCrollSpinFlag != 0; }

std::string speed_picture_file(std::string_view prefix, int number) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%02d", number);
  return std::string(prefix) + digits + ".jpg";
}

std::optional<int> scroll_picture(int scroll_wheel_speed) {
  if (scroll_wheel_speed < kScrollMin || scroll_wheel_speed > kScrollMax) return std::nullopt;
  return scroll_wheel_speed - 1;
}

std::optional<int> pointer_picture(int position) {
  if (position < kPointerSpeedMin || position > kPointerSpeedMax) return std::nullopt;
  return position - 1;
}

void on_level_button(ProfileRecord& p, int i, PerfPageView& view) {
  if (!valid_step(i)) return;
  p.CpiStep = i;
  view.select_level(i);
  view.show_cpi_spin(p.CpiLevel_X[i]);
  view.redraw_dial();
  follow_level(p, true, view);
}

void on_dial_click(ProfileRecord& p, int k, PerfPageView& view) {
  if (!valid_step(p.CpiStep)) return;
  p.CpiLevel_X[p.CpiStep] = k;
  view.show_cpi_spin(k);
  view.redraw_dial();
  follow_level(p, false, view);
}

bool on_slider_changed(ProfileRecord& p, int id, int value, PerfPageView& view) {
  switch (id) {
    case kCpiXSlider: cpi_slider_changed(p, kAxisX, kAxisY, kCpiYSlider, value, view); return true;
    case kCpiYSlider: cpi_slider_changed(p, kAxisY, kAxisX, kCpiXSlider, value, view); return true;
    case kPointerSpeedSlider:
      p.MouseSpeed = mouse_speed_of_position(value);
      view.redraw_pointer_gauge();
      return true;
    case kDoubleClickSlider:
      p.DbleClickSpeed = double_click_of_position(value);
      view.set_system_double_click_time(p.DbleClickSpeed);
      view.set_double_click_marker(value);
      return true;
    case kScrollSlider:
      p.ScrollWheelSpeed = value;
      view.set_scroll_spin(value);
      view.redraw_scroll_picture();
      return true;
    case kLiftLevelId: p.LiftLevel = value; return true;
    case kLiftSwitchId: p.LiftSwitch = value; return true;
    default: return false;
  }
}

bool on_spin_changed(ProfileRecord& p, int id, int value, PerfPageView& view) {
  switch (id) {
    case kCpiSpin:
      if (valid_step(p.CpiStep)) {
        p.CpiLevel_X[p.CpiStep] = value;
        view.redraw_dial();
        follow_level(p, false, view);
      }
      return true;
    case kScrollSpin:
      p.ScrollWheelSpeed = value;
      view.move_scroll_slider(value);
      view.redraw_scroll_picture();
      return true;
    default: return false;
  }
}

void on_scroll_mode(ProfileRecord& p, int flag, PerfPageView& view) {
  p.ScrollWheelFlag = flag;
  view.show_scroll_mode(flag, scroll_slider_enabled(p), scroll_spin_enabled(p));
}

void on_acceleration(ProfileRecord& p, bool on, PerfPageView& view) {
  p.AccelerationFlag = on ? 1 : 0;
  p.Acceleration = on ? 10 : 0;
  view.show_acceleration(on);
}

void on_polling_rate(ProfileRecord& p, int j, PerfPageView& view) {
  p.PollingRate = j;
  view.select_polling_rate(j);
}

void refresh_performance(const ProfileRecord& p, PerfPageView& view) {
  view.show_xy_synchronous(p.XYSynchronous);
  view.show_scroll_mode(p.ScrollWheelFlag, scroll_slider_enabled(p), scroll_spin_enabled(p));
  view.move_scroll_slider(p.ScrollWheelSpeed);
  view.set_scroll_spin(p.ScrollWheelSpeed);
  view.move_pointer_slider(position_of_mouse_speed(p.MouseSpeed));
  view.show_acceleration(p.AccelerationFlag != 0);
  view.move_double_click_slider(double_click_position(p.DbleClickSpeed));
  view.set_double_click_marker(double_click_marker(p.DbleClickSpeed));
  view.select_polling_rate(p.PollingRate);
  // The level button, as a click on it would, minus the store.
  view.select_level(p.CpiStep);
  if (valid_step(p.CpiStep)) view.show_cpi_spin(p.CpiLevel_X[p.CpiStep]);
  view.redraw_dial();
  const SliderRange r = cpi_slider_range(p);
  view.set_cpi_slider_range(r.min, r.max);
  for (int id : {kCpiXSlider, kCpiYSlider})
    if (auto v = cpi_slider_value(p, id)) view.move_cpi_slider(id, *v);
  view.redraw_gauges();
}

}  // namespace mt
