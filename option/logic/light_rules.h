// The lighting page's rules: which field of the current profile each control
// writes, the palette, the colour the page shows, and the colour picker in
// the page's setup. CDlgPagePerLight owns one LightPageModel, forwards its
// button clicks and control messages to it and draws what the view calls ask.
//
//   struct Page : LightPageView { ... };            // draws groups, numbers, slider, well
//   LightPageModel model(page, [&] { return current_profile(host.working()); },
//                        [&](auto task) { QMetaObject::invokeMethod(this, task, Qt::QueuedConnection); });
//   model.refresh();                                // shows the profile, moves the picker
//   model.on_palette(14);                           // blue: the picker moves and reports later
//   field_widget.mousePressEvent -> model.field().press(...)
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "common/settings_record.h"
#include "option/logic/color_model.h"

namespace mt {

constexpr int kPaletteSize = 26;
// The palette buttons' colours, index 0..25.
inline constexpr std::array<ColorRef, kPaletteSize> kLightPalette = {
    make_rgb(255, 0, 255),   make_rgb(255, 0, 0),     make_rgb(250, 103, 33),  make_rgb(255, 255, 0),
    make_rgb(171, 252, 59),  make_rgb(0, 255, 0),     make_rgb(15, 155, 53),   make_rgb(65, 202, 156),
    make_rgb(255, 255, 116), make_rgb(56, 202, 59),   make_rgb(60, 250, 250),  make_rgb(0, 255, 255),
    make_rgb(40, 200, 255),  make_rgb(55, 103, 151),  make_rgb(0, 0, 255),     make_rgb(101, 62, 249),
    make_rgb(152, 35, 251),  make_rgb(202, 63, 250),  make_rgb(255, 103, 155), make_rgb(203, 53, 20),
    make_rgb(102, 106, 197), make_rgb(10, 55, 148),   make_rgb(252, 43, 38),   make_rgb(24, 150, 253),
    make_rgb(61, 202, 110),  make_rgb(104, 104, 255),
};
// Nothing for an index outside 0..25.
std::optional<ColorRef> palette_color(int index);

// LightType values.
constexpr int kLightTypeFree = 0;
constexpr int kLightTypePalette = 1;

// Control ids: the three number fields (CSpinWnd, 0..255) and the effect
// slider (CClickHSlider, 1..5).
constexpr int kLightRedField = 401;
constexpr int kLightGreenField = 402;
constexpr int kLightBlueField = 403;
constexpr int kLightEffectSlider = 201;

// Caption text ids of the button groups, button by button. The colour-source
// buttons are free colour first, palette second.
inline constexpr std::array<int, 3> kBrightnessCaptions = {209, 210, 211};
inline constexpr std::array<int, 3> kLightModeCaptions = {212, 213, 214};
inline constexpr std::array<int, 2> kColorSourceCaptions = {216, 215};

// The colour the page shows: the palette colour ColorOptions when LightType
// is 1, otherwise LightColor. A palette index outside 0..25 shows LightColor.
ColorRef shown_color(const ProfileRecord& profile);

// LightColor with byte `channel` (0 red, 1 green, 2 blue) replaced by the
// low byte of `value`; the other three bytes stay.
int32_t with_color_byte(int32_t light_color, int channel, int value);

// What the page draws when the model asks. Each group shows the button whose
// index equals the value as selected (none for a value outside the group).
class LightPageView {
 public:
  virtual ~LightPageView() = default;
  virtual void select_brightness(int index) = 0;
  virtual void select_light_mode(int index) = 0;
  virtual void select_color_source(int index) = 0;
  virtual void select_palette(int index) = 0;
  virtual void show_numbers(int red, int green, int blue) = 0;
  virtual void move_effect_slider(int value) = 0;
  virtual void redraw_well() = 0;
};

class LightPageModel {
 public:
  // The current profile of the working record, or nullptr while there is none.
  using ProfileSource = std::function<ProfileRecord*()>;
  // Runs a task later, from the event loop (the well's report is posted).
  // Tasks refer to the model: the page must not let them outlive it.
  using Post = std::function<void(std::function<void()>)>;

  // Links the picker (field 100, slider 101, well 102), puts the field into
  // the hue mode at (0, 0, 0) with maxima 1000 and the slider into the hue
  // mode reversed.
  LightPageModel(LightPageView& view, ProfileSource profile, Post post);
  LightPageModel(const LightPageModel&) = delete;
  LightPageModel& operator=(const LightPageModel&) = delete;

  ColorFieldModel& field() { return field_; }
  ColorSliderModel& slider() { return slider_; }
  ColorWellModel& well() { return well_; }

  // Button groups: the field takes the button's index and the group is
  // redrawn; a colour-source or palette choice then shows the shown colour.
  void on_brightness(int index);
  void on_light_mode(int index);
  void on_color_source(int index);
  void on_palette(int index);
  // Number fields 401-403 (message 1114): that byte of LightColor becomes
  // the low byte of `value`, then the shown colour is shown. Other ids change
  // nothing.
  void on_number_changed(int id, int value);
  // Effect slider 201 (message 1094): the low byte into LightEffectSwitch1.
  // Other ids change nothing.
  void on_slider_changed(int id, int value);

  // Selects the four groups, shows LightColor's bytes, moves the effect
  // slider, redraws the well, then shows the shown colour.
  void refresh();
  // The number fields show the shown colour's bytes and the picker moves to
  // it; when that moves the picker, its report follows later.
  void display_shown_color();

 private:
  // The well's report (message 1115) as it arrives: LightColor becomes the
  // well's colour, all four bytes, and the numbers show it. A report that
  // only echoes the page's own showing of the free colour (LightType 0) is
  // not written back: the picker's rounding would otherwise move the stored
  // colour a little on every refresh.
  void deliver_report(bool echo);

  LightPageView& view_;
  ProfileSource profile_;
  Post post_;
  ColorFieldModel field_;
  ColorSliderModel slider_;
  ColorWellModel well_;
  bool showing_free_color_ = false;
};

}  // namespace mt
