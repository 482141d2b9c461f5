// The colour picker without its windows: a two-dimensional colour field, a
// slider for the third component and a well that shows the picked colour and
// reports it to its owner. GTColorSelectorWnd, GTColorSliderWnd and
// GTColorWellWnd each own one of these models, forward their mouse and key
// input to it and paint what it says; every rule (conversions, rounding,
// mouse mapping, keys, notifications and their order) lives here.
//
// Colours are 0x00BBGGRR (red in the low byte). A mode (0..5) says which
// component the slider holds (z) and which two the field spans (x across,
// y upwards):
//
//   mode  z                  x                  y                  ranges z / x / y
//   0     red                blue               green              255 / 255 / 255
//   1     green              blue               red                255 / 255 / 255
//   2     blue               red                green              255 / 255 / 255
//   3     hue x 10           saturation x 1000  value x 1000       3599 / 1000 / 1000
//   4     saturation x 1000  hue x 10           value x 1000       1000 / 3599 / 1000
//   5     value x 1000       hue x 10           saturation x 1000  1000 / 3599 / 1000
//
// Conversions are exact: every component is a ratio of small integers, and
// the rounding (ceil of the component, ceil(v x 255 - 0.5) for a channel) is
// done on those ratios, so no floating-point noise moves a value by one.
//
// Notifications (message 1294 between the three) are synchronous calls, in
// the designed order: the field tells its slider, then its well, then its
// parent; the slider tells its field (or its parent when it has none) and is
// never told back. The well's report to its parent (message 1115) is posted:
// the owner's post hook must run the report later, from its event loop.
//
//   ColorFieldModel field;  ColorSliderModel slider;  ColorWellModel well;
//   link_color_picker(field, slider, well);
//   well.set_post_report([&] { loop.post([&] { page.on_well_report(well.color()); }); });
//   field.set_mode(kModeHue, 0, 0, 0, 1000, 1000);
//   slider.set_mode(kModeHue | kSliderReversed);
//   field.set_color(make_rgb(0, 0, 255));   // moves, notifies slider and well
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "option/logic/geometry.h"

namespace mt {

using ColorRef = uint32_t;

constexpr ColorRef make_rgb(int r, int g, int b) {
  return static_cast<ColorRef>((r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16);
}
constexpr int red_of(ColorRef c) { return static_cast<int>(c & 0xFF); }
constexpr int green_of(ColorRef c) { return static_cast<int>(c >> 8 & 0xFF); }
constexpr int blue_of(ColorRef c) { return static_cast<int>(c >> 16 & 0xFF); }

// Between the three parts of the picker: wParam the sender's control id,
// the value the field's colour or the slider's position.
constexpr uint32_t kColorPickerNotify = 1294;  // WM_USER+270
// From the well to its parent, posted with wParam 0 and lParam 0.
constexpr uint32_t kColorWellReport = 1115;  // WM_USER+91

// Control ids of the three parts (the field's is fixed at its creation).
constexpr int kColorFieldId = 100;
constexpr int kColorSliderId = 101;
constexpr int kColorWellId = 102;

enum ColorMode : int {
  kModeRed = 0,
  kModeGreen = 1,
  kModeBlue = 2,
  kModeHue = 3,
  kModeSaturation = 4,
  kModeValue = 5,
};
// Slider modes: bit 7 draws and runs the slider reversed.
constexpr int kSliderReversed = 0x80;

// Largest value of each component in a mode (the table above); 0 for a mode
// outside 0..5.
struct ModeRanges {
  int z = 0;
  int x = 0;
  int y = 0;
};
ModeRanges mode_ranges(int mode);

struct HsvSteps {
  int hue = 0;         // ceil(H x 10), 0..3599
  int saturation = 0;  // ceil(S x 1000)
  int value = 0;       // ceil(V x 1000)
};
HsvSteps rgb_to_hsv_steps(ColorRef color);

// The colour at a position of the field. Modes 0-2 take the bytes as the
// mode assigns them (each limited to 0..255). Modes 3-5 convert HSV with
// H = hue component / 10 degrees, S and V = component / 1000 for z and
// component / maximum for x and y; H = 360 counts as 0; an S or V outside
// 0..1 or an H outside 0..360 gives black, as does a mode outside 0..5.
ColorRef color_of_position(int mode, int x, int y, int z, int max_x, int max_y);

struct FieldPosition {
  int x = 0;
  int y = 0;
  int z = 0;
  friend bool operator==(const FieldPosition&, const FieldPosition&) = default;
};
// The position of a colour in a mode; modes 3-5 through rgb_to_hsv_steps.
FieldPosition position_of_color(int mode, ColorRef color);

enum class PickerButton { left, middle, right };
enum class PickerKey { page_up, page_down, end, home, left, right, up, down };

class ColorSliderModel;
class ColorWellModel;

// GTColorSelectorWnd's state. Created in mode 0 at (0, 0, 0) with maxima 255.
class ColorFieldModel {
 public:
  ColorFieldModel();

  // A control id of 0 sends no notification at all.
  void set_control_id(int id) { id_ = id; }
  int control_id() const { return id_; }
  void link(ColorSliderModel* slider, ColorWellModel* well);
  // Redraw requests; the notification to the parent (id, current colour).
  void set_redraw(std::function<void()> redraw) { redraw_ = std::move(redraw); }
  void set_parent_notify(std::function<void(int id, ColorRef color)> notify) {
    parent_notify_ = std::move(notify);
  }

  // The owner sets everything directly: the colour follows, nobody is told.
  void set_mode(int mode, int x, int y, int z, int max_x, int max_y);
  // Moves to the colour's position; when that is where the field already is,
  // nothing happens (no redraw, no notification).
  void set_color(ColorRef color);

  int mode() const { return mode_; }
  int x() const { return x_; }
  int y() const { return y_; }
  int z() const { return z_; }
  int max_x() const { return max_x_; }
  int max_y() const { return max_y_; }
  ColorRef color() const { return color_; }

  // The widget's client size; the field is the client rectangle shrunk by
  // one pixel on every side.
  void set_client_size(int width, int height);
  PixelRect field_rect() const { return field_; }

  // Mouse input in client coordinates. press/release/double_click return
  // true when the widget should take the focus. A left or middle press in the
  // field captures the mouse and moves there; a left release ends a capture
  // and notifies once more; a middle release only takes the focus, so a drag
  // begun with the middle button ends at the next left release.
  bool press(PickerButton button, int px, int py);
  void move(int px, int py);
  bool release(PickerButton button);
  bool double_click() { return true; }
  bool captured() const { return captured_; }
  // The field's own cursor over the field, the arrow elsewhere.
  bool shows_field_cursor(int px, int py) const { return field_.contains(px, py); }

  // Keys are ignored while the mouse is captured. True when the field moved.
  bool key(PickerKey key);

  // 1294 from the linked slider: its position (reversed: maximum - position)
  // becomes z when it lies within the mode's range; then recompute, notify
  // and redraw.
  void receive_from_slider(const ColorSliderModel& slider);

  // Painting: the component values under a pixel, the colour there (for the
  // off-screen gradient), the marker's centre and whether it is drawn black.
  int x_at(int px) const;
  int y_at(int py) const;
  ColorRef color_at(int px, int py) const;
  PointD marker_point() const;
  bool marker_black() const;

 private:
  void recompute();
  void notify();
  void redraw();
  // Moves to (x, y) when that differs; true when it did.
  bool move_to(int x, int y);

  int id_ = kColorFieldId;
  int mode_ = kModeRed;
  int x_ = 0;
  int y_ = 0;
  int z_ = 0;
  int max_x_ = 255;
  int max_y_ = 255;
  ColorRef color_ = 0;
  PixelRect field_;
  bool captured_ = false;
  ColorSliderModel* slider_ = nullptr;
  ColorWellModel* well_ = nullptr;
  std::function<void()> redraw_;
  std::function<void(int, ColorRef)> parent_notify_;
};

// GTColorSliderWnd's state. Starts in mode 0: range 0..255, steps 1 and 10,
// position 0, vertical.
class ColorSliderModel {
 public:
  ColorSliderModel();

  void set_control_id(int id) { id_ = id; }
  int control_id() const { return id_; }
  void link(ColorFieldModel* field) { field_ = field; }
  void set_redraw(std::function<void()> redraw) { redraw_ = std::move(redraw); }
  // Without a linked field the slider tells its parent (id, position).
  void set_parent_notify(std::function<void(int id, int position)> notify) {
    parent_notify_ = std::move(notify);
  }

  // The mode is m & 0x7f, reversed when bit 7 is set. A mode above 6 is
  // refused (false, nothing changes); 6 keeps the current range and steps.
  // Hue runs 0..3599 with steps 10 and 100, saturation and value 0..1000
  // with 10 and 100, red, green and blue 0..255 with 1 and 10. The position
  // starts at the maximum when reversed, else at the minimum.
  bool set_mode(int m);
  int mode() const { return mode_; }
  bool reversed() const { return reversed_; }
  // A range may run downwards (from > to).
  void set_range(int from, int to);
  int range_from() const { return from_; }
  int range_to() const { return to_; }
  int minimum() const;
  int maximum() const;
  int line_step() const { return line_; }
  int page_step() const { return page_; }
  int position() const { return position_; }
  // The component the position stands for: maximum - position when reversed.
  int component() const;

  // Horizontal when the window style has bit 0x8000, vertical otherwise.
  static bool horizontal_style(uint32_t style) { return (style & 0x8000) != 0; }
  void set_horizontal(bool horizontal) { horizontal_ = horizontal; }
  bool horizontal() const { return horizontal_; }
  // The track in client coordinates: the range's start at its left (top)
  // edge, its end at the right (bottom) edge.
  void set_track(PixelRect track) { track_ = track; }
  PixelRect track() const { return track_; }

  // A left press in the track captures the mouse and moves the thumb there;
  // moves while captured map the point (clamped to the track) linearly onto
  // the range and round to the nearest line step, halves towards the end;
  // a change redraws and notifies; the left release notifies once more.
  bool press(PickerButton button, int px, int py);
  void move(int px, int py);
  bool release(PickerButton button);
  bool captured() const { return captured_; }

  // Ignored while captured. Page Up/Down -/+ page step, Home/End the range's
  // start/end, Left and Up - line step, Right and Down + line step, limited
  // to the range; a change redraws and notifies. True when the slider moved.
  bool key(PickerKey key);

  // 1294 from the linked field: keep its other two components (when inside
  // their ranges) for the gradient and move to its z, without telling back.
  void receive_from_field(const ColorFieldModel& field);
  int field_x() const { return field_x_; }
  int field_y() const { return field_y_; }

  // Painting: where along the track (pixels from its start) the thumb sits,
  // and the colour the gradient shows at a position.
  int thumb_offset() const;
  ColorRef color_at(int position) const;

 private:
  int clamp_to_range(int v) const;
  int position_at(int px, int py) const;
  void set_position_notify(int v);
  void notify();
  void redraw();

  int id_ = kColorSliderId;
  int mode_ = kModeRed;
  bool reversed_ = false;
  int from_ = 0;
  int to_ = 255;
  int line_ = 1;
  int page_ = 10;
  int position_ = 0;
  bool horizontal_ = false;
  PixelRect track_;
  bool captured_ = false;
  int field_x_ = 0;
  int field_y_ = 0;
  ColorFieldModel* field_ = nullptr;
  std::function<void()> redraw_;
  std::function<void(int, int)> parent_notify_;
};

// GTColorWellWnd's state.
class ColorWellModel {
 public:
  void link(ColorFieldModel* field) { field_ = field; }
  void set_redraw(std::function<void()> redraw) { redraw_ = std::move(redraw); }
  // Posts 1115 to the parent: the hook must deliver it later, not now.
  void set_post_report(std::function<void()> post) { post_ = std::move(post); }

  ColorRef color() const { return color_; }
  // The owner shows a colour without any report.
  void set_color(ColorRef color);
  // 1294 from the field: take its colour, post the report, redraw.
  void receive_from_field(const ColorFieldModel& field);
  const ColorFieldModel* field() const { return field_; }

 private:
  ColorRef color_ = 0;
  ColorFieldModel* field_ = nullptr;
  std::function<void()> redraw_;
  std::function<void()> post_;
};

// The field knows the slider and the well, each of them knows the field.
void link_color_picker(ColorFieldModel& field, ColorSliderModel& slider, ColorWellModel& well);

}  // namespace mt
