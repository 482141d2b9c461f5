#include "option/logic/light_rules.h"

namespace mt {

std::optional<ColorRef> palette_color(int index) {
  if (index < 0 || index >= kPaletteSize) return std::nullopt;
  return kLightPalette[index];
}

ColorRef shown_color(const ProfileRecord& profile) {
  if (profile.LightType == kLightTypePalette) {
    if (auto c = palette_color(profile.ColorOptions)) return *c;
  }
  return static_cast<ColorRef>(profile.LightColor);
}

int32_t with_color_byte(int32_t light_color, int channel, int value) {
  const int shift = 8 * channel;
  uint32_t c = static_cast<uint32_t>(light_color);
  c = (c & ~(0xFFu << shift)) | (static_cast<uint32_t>(value) & 0xFFu) << shift;
  return static_cast<int32_t>(c);
}

LightPageModel::LightPageModel(LightPageView& view, ProfileSource profile, Post post)
    : view_(view), profile_(std::move(profile)), post_(std::move(post)) {
  field_.set_control_id(kColorFieldId);
  slider_.set_control_id(kColorSliderId);
  link_color_picker(field_, slider_, well_);
  well_.set_post_report([this] {
    const bool echo = showing_free_color_;
    post_([this, echo] { deliver_report(echo); });
  });
  field_.set_mode(kModeHue, 0, 0, 0, 1000, 1000);
  slider_.set_mode(kModeHue | kSliderReversed);
}

void LightPageModel::on_brightness(int index) {
  ProfileRecord* p = profile_();
  if (!p) return;
  p->Brightness = index;
  view_.select_brightness(index);
}

void LightPageModel::on_light_mode(int index) {
  ProfileRecord* p = profile_();
  if (!p) return;
  p->LightSwitch = index;
  view_.select_light_mode(index);
}

void LightPageModel::on_color_source(int index) {
  ProfileRecord* p = profile_();
  if (!p) return;
  p->LightType = index;
  view_.select_color_source(index);
  display_shown_color();
}

void LightPageModel::on_palette(int index) {
  ProfileRecord* p = profile_();
  if (!p) return;
  p->ColorOptions = index;
  view_.select_palette(index);
  display_shown_color();
}

void LightPageModel::on_number_changed(int id, int value) {
  if (id < kLightRedField || id > kLightBlueField) return;
  ProfileRecord* p = profile_();
  if (!p) return;
  p->LightColor = with_color_byte(p->LightColor, id - kLightRedField, value);
  display_shown_color();
}

void LightPageModel::on_slider_changed(int id, int value) {
  if (id != kLightEffectSlider) return;
  ProfileRecord* p = profile_();
  if (!p) return;
  p->LightEffectSwitch1 = static_cast<uint8_t>(value & 0xFF);
}

void LightPageModel::refresh() {
  ProfileRecord* p = profile_();
  if (!p) return;
  view_.select_brightness(p->Brightness);
  view_.select_light_mode(p->LightSwitch);
  view_.select_color_source(p->LightType);
  view_.select_palette(p->ColorOptions);
  const ColorRef stored = static_cast<ColorRef>(p->LightColor);
  view_.show_numbers(red_of(stored), green_of(stored), blue_of(stored));
  view_.move_effect_slider(p->LightEffectSwitch1);
  view_.redraw_well();
  display_shown_color();
}

void LightPageModel::display_shown_color() {
  ProfileRecord* p = profile_();
  if (!p) return;
  const ColorRef shown = shown_color(*p);
  view_.show_numbers(red_of(shown), green_of(shown), blue_of(shown));
  // The free colour is LightColor itself: a report of it could only round it.
  showing_free_color_ = !(p->LightType == kLightTypePalette && palette_color(p->ColorOptions));
  field_.set_color(shown);
  showing_free_color_ = false;
}

void LightPageModel::deliver_report(bool echo) {
  if (echo) return;
  ProfileRecord* p = profile_();
  if (!p) return;
  const ColorRef c = well_.color();
  p->LightColor = static_cast<int32_t>(c);
  view_.show_numbers(red_of(c), green_of(c), blue_of(c));
}

}  // namespace mt
