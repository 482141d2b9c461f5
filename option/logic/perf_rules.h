// The performance page's rules: what each control writes into the current
// profile, what else on the page follows, and the order of a refresh.
// CDlgPagePerfer implements PerfPageView (it draws and moves its controls)
// and forwards every click and control message here; the CPI dial's
// geometry is in cpi_dial.h, the CPI texts come from cpi_values.h.
//
//   struct Page : PerfPageView { ... };
//   if (auto k = dial.hit(x, y)) on_dial_click(*profile, *k, page);
//   on_slider_changed(*profile, lparam_id, wparam_value, page);   // message 1094
//   on_spin_changed(*profile, lparam_id, wparam_value, page);     // message 1114
//   refresh_performance(*profile, page);
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/settings_record.h"

namespace mt {

// Control ids of the page's sliders and spins (205 and 207 belong to no
// control of our skin; a skin may add lift controls under them).
constexpr int kCpiXSlider = 201;
constexpr int kCpiYSlider = 202;
constexpr int kPointerSpeedSlider = 203;
constexpr int kDoubleClickSlider = 204;
constexpr int kLiftLevelId = 205;
constexpr int kScrollSlider = 206;
constexpr int kLiftSwitchId = 207;
constexpr int kCpiSpin = 405;
constexpr int kScrollSpin = 406;

// Control ranges set when the page starts. The X and Y CPI sliders store
// value / 10000; their range depends on what they edit (cpi_slider_range).
constexpr int kCpiSliderMin = 10000, kCpiSliderMax = 1000000;  // AMCpi_X/Y 1..100
constexpr int kCpiLevelSliderMax = 120000;                     // a level index 1..12
constexpr int kCpiSpinMin = 1, kCpiSpinMax = 12;
constexpr int kPointerSpeedMin = 1, kPointerSpeedMax = 11;
constexpr int kDoubleClickMin = 0, kDoubleClickMax = 700;  // also the test marker's range
constexpr int kScrollMin = 1, kScrollMax = 11;             // slider and spin

// Text ids: the fixed captions and the five level buttons (button i has
// kLevelCaptionFirst + i).
constexpr int kPerfCaptionFirst = 130, kPerfCaptionLast = 138;
constexpr int kLevelCaptionFirst = 147;

// Pointer speed: slider position 1..11 <-> MouseSpeed 1, 2, 4, ..., 20.
// A position outside 1..11 stores 10; a speed outside 1..20 shows 6.
int mouse_speed_of_position(int position);
int position_of_mouse_speed(int speed);

// Double-click: slider position p stores DbleClickSpeed 900 - p and is
// shown back as 900 - DbleClickSpeed. The test marker shows that position
// when it lies in 0..700, otherwise 0.
constexpr int double_click_of_position(int position) { return 900 - position; }
constexpr int double_click_position(int ms) { return 900 - ms; }
int double_click_marker(int ms);

// The dial's value: CpiLevel_X of the current level when CpiStep is 0..4 and
// the value is 1..12; nothing (no sector, no needle) otherwise.
std::optional<int> dial_value(const ProfileRecord& profile);

// The X and Y CPI sliders' range. With AMCpiFlag 0 they edit the current
// level's index, which must stay 1..12 (the dial and the mouse know no other
// value), so they run 10000..120000; otherwise they edit AMCpi_X/Y over
// 10000..1000000.
struct SliderRange {
  int min = 0;
  int max = 0;
  friend bool operator==(const SliderRange&, const SliderRange&) = default;
};
SliderRange cpi_slider_range(const ProfileRecord& profile);
// Where the X (201) or Y (202) slider shows what is stored: 10000 x the
// current level's index (AMCpiFlag 0) or 10000 x AMCpi_X/Y. Nothing for a
// level mode without a current level, or another id.
std::optional<int> cpi_slider_value(const ProfileRecord& profile, int id);

// The scroll control and spin are enabled in lines mode only (ScrollWheelFlag
// 0); the spin also needs SCrollSpinFlag.
bool scroll_slider_enabled(const ProfileRecord& profile);
bool scroll_spin_enabled(const ProfileRecord& profile);

// The two picture sets: "z00.jpg".."z10.jpg" for the scroll speeds 1..11,
// "zhizhen00.jpg".."zhizhen10.jpg" for the pointer-speed positions 1..11.
inline constexpr char kScrollPicturePrefix[] = "z";
inline constexpr char kPointerPicturePrefix[] = "zhizhen";
std::string speed_picture_file(std::string_view prefix, int number);
// The picture to draw, 0..10; nothing for a speed or position outside 1..11.
std::optional<int> scroll_picture(int scroll_wheel_speed);
std::optional<int> pointer_picture(int position);

// What the page shows and moves when the rules ask. Values are passed as
// stored; a control limits them to its range, a button group shows no
// button selected for a value outside it.
class PerfPageView {
 public:
  virtual ~PerfPageView() = default;
  // Level button `step` selected, the others not.
  virtual void select_level(int step) = 0;
  // The CPI spin's value and its CPI text.
  virtual void show_cpi_spin(int index) = 0;
  virtual void redraw_dial() = 0;
  // The X (201) or Y (202) CPI slider's thumb to a slider value.
  virtual void move_cpi_slider(int id, int value) = 0;
  // Both CPI sliders' range (cpi_slider_range).
  virtual void set_cpi_slider_range(int min, int max) = 0;
  virtual void move_pointer_slider(int position) = 0;
  virtual void redraw_pointer_gauge() = 0;
  virtual void move_double_click_slider(int position) = 0;
  virtual void set_double_click_marker(int value) = 0;
  // The system's double-click time, at once (the test marker uses it).
  virtual void set_system_double_click_time(int ms) = 0;
  virtual void move_scroll_slider(int lines) = 0;
  virtual void set_scroll_spin(int lines) = 0;
  virtual void redraw_scroll_picture() = 0;
  // Scroll-mode button `flag` selected; the scroll slider and spin enabled
  // or not.
  virtual void show_scroll_mode(int flag, bool slider_enabled, bool spin_enabled) = 0;
  // Redrawn only when the value differs from what the control shows.
  virtual void show_acceleration(bool on) = 0;
  virtual void show_xy_synchronous(int value) = 0;
  virtual void select_polling_rate(int code) = 0;
  // Both gauge areas: the scroll-speed picture and the pointer-speed picture.
  virtual void redraw_gauges() = 0;
};

// The CPI sliders follow the level they edit: with AMCpiFlag 0 every change
// of the current level (its button, the dial, the spin) moves them to what
// is stored, so they never show another level's value.
//
// Level button i (0..4): CpiStep = i, the button selected, the spin showing
// CpiLevel_X[i], the dial redrawn, the CPI sliders moved to level i (AMCpiFlag
// 0). Another i changes nothing.
void on_level_button(ProfileRecord& profile, int i, PerfPageView& view);
// A dial click that picked value k (see CpiDial::hit):
// CpiLevel_X[CpiStep] = k, the spin shows k, the dial is redrawn, the X
// slider moves to k (AMCpiFlag 0).
void on_dial_click(ProfileRecord& profile, int k, PerfPageView& view);
// Message 1094 (wParam value, lParam id). False for an id the page does not
// handle (nothing changes).
//   201/202: v = value / 10000 into CpiLevel_X/Y[CpiStep] (AMCpiFlag 0, v
//            kept within 1..12) or AMCpi_X/Y (AMCpiFlag set); while
//            XYSynchronous is 0 the other axis takes v too and its slider
//            moves to value. When that changed CpiLevel_X, the spin shows it
//            and the dial is redrawn.
//   203: MouseSpeed; 204: DbleClickSpeed, the system time and the marker;
//   206: ScrollWheelSpeed and the spin; 205/207: LiftLevel/LiftSwitch.
bool on_slider_changed(ProfileRecord& profile, int id, int value, PerfPageView& view);
// Message 1114: 405 into CpiLevel_X[CpiStep], the dial redrawn and the X
// slider following (AMCpiFlag 0); 406 into ScrollWheelSpeed with the slider
// following. False for another id.
bool on_spin_changed(ProfileRecord& profile, int id, int value, PerfPageView& view);
// Scroll-mode button 0 (lines) or 1 (page).
void on_scroll_mode(ProfileRecord& profile, int flag, PerfPageView& view);
// AccelerationFlag = on, Acceleration = 10 when on, else 0.
void on_acceleration(ProfileRecord& profile, bool on, PerfPageView& view);
// Rate button j (0..3): PollingRate = j.
void on_polling_rate(ProfileRecord& profile, int j, PerfPageView& view);

// Shows the profile, in this order: the XYSynchronous indicator; the scroll
// mode and the enabling of the scroll controls; the scroll slider and spin;
// the pointer-speed slider; the acceleration toggle; the double-click slider
// and marker; the rate button and the level button (with the level's CPI in
// the spin and the dial redrawn); the X and Y CPI sliders' range and their
// stored values; the two gauges.
void refresh_performance(const ProfileRecord& profile, PerfPageView& view);

}  // namespace mt
