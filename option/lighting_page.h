// CDlgPagePerLight: the lighting page of the main window. Brightness, light
// mode, effect speed and the colour of the light: one of 26 palette colours
// or a free colour picked with the colour picker or typed as red, green and
// blue.
//
// The rules are option/logic/light_rules.h's LightPageModel, which also owns
// the picker's three models; the page shows them (LightPageView and the three
// picker windows) and forwards every click and control change. The picker
// reports a picked colour through its well later, from the event loop, so
// the page posts those reports to itself; a report still queued when the
// page goes is dropped with it.
//
// Skin: "skin_light.ini", section BUTTONINFO, shape "middle_mask.bmp",
// pictures "Color_settings_normal/over/down/disable.jpg", slider thumb
// "slider.bmp". Keys:
//
//   1-3   brightness 0-2 (texts 209-211)   4-6  light mode 0-2 (212-214)
//   7, 8  colour source: free (216), palette (215)
//   9-34  palette 0-25 (no captions; the chosen one shows its down cut)
//   35    colour field (GTColorSelectorWnd, id 100, hue mode)
//   36    colour slider (GTColorSliderWnd, id 101, vertical, hue reversed)
//   37    colour well (GTColorWellWnd, id 102)
//   38-40 red, green, blue fields 401-403 (CSpinWnd, 0..255)
//   41    effect slider 201 (CClickHSlider, 1..5)
// Captions 201-208 are painted at layout::kLightingCaption in RGB(190,190,190)
// (208 in red).
//
//   auto* page = new CDlgPagePerLight(host, main_window);
//   page->load_texts();   // after every language switch
//   page->refresh();      // after every profile switch, import and restore
#pragma once

#include <QString>

#include <array>

#include "option/logic/light_rules.h"
#include "option/option_host.h"
#include "option/skin/skinned_window.h"

namespace mt {

class CBitmapBtn;
class CClickHSlider;
class CSpinWnd;
class GTColorSelectorWnd;
class GTColorSliderWnd;
class GTColorWellWnd;

class CDlgPagePerLight : public CSkinPanel, public OptionPage, private LightPageView {
  Q_OBJECT

 public:
  static constexpr int kWidth = 720;
  static constexpr int kHeight = 470;
  // Skin keys of the controls.
  static constexpr int kBrightnessKey = 1;  // 1..3
  static constexpr int kLightModeKey = 4;   // 4..6
  static constexpr int kColorSourceKey = 7; // 7 free, 8 palette
  static constexpr int kPaletteKey = 9;     // 9..34
  static constexpr int kFieldKey = 35;
  static constexpr int kSliderKey = 36;
  static constexpr int kWellKey = 37;
  static constexpr int kNumberKey = 38;  // 38..40 red, green, blue
  static constexpr int kEffectKey = 41;
  // The colour slider's window style as designed: a visible tab stop with the
  // control bits 0x7280, which make it vertical.
  static constexpr uint32_t kSliderStyle = 0x7280;

  CDlgPagePerLight(OptionHost& host, QWidget* parent);
  ~CDlgPagePerLight() override;

  void refresh() override;
  // The button captions and the painted captions from the language in use.
  void load_texts() override;

  LightPageModel& model() { return model_; }
  CBitmapBtn* brightness_button(int i) const { return brightness_[i]; }
  CBitmapBtn* light_mode_button(int i) const { return modes_[i]; }
  CBitmapBtn* color_source_button(int i) const { return sources_[i]; }
  CBitmapBtn* palette_button(int i) const { return palette_[i]; }
  CSpinWnd* number_field(int channel) const { return numbers_[channel]; }
  CClickHSlider* effect_slider() const { return effect_; }
  GTColorSelectorWnd* color_field() const { return field_; }
  GTColorSliderWnd* color_slider() const { return slider_; }
  GTColorWellWnd* color_well() const { return well_; }
  QRect placement(int key) const;

 protected:
  void paint_surface(QPainter& painter) override;

 private:
  ProfileRecord* profile();

  // LightPageView
  void select_brightness(int index) override;
  void select_light_mode(int index) override;
  void select_color_source(int index) override;
  void select_palette(int index) override;
  void show_numbers(int red, int green, int blue) override;
  void move_effect_slider(int value) override;
  void redraw_well() override;

  OptionHost& host_;
  LightPageModel model_;
  std::array<QRect, 42> rects_{};  // by key
  std::array<CBitmapBtn*, 3> brightness_{};
  std::array<CBitmapBtn*, 3> modes_{};
  std::array<CBitmapBtn*, 2> sources_{};
  std::array<CBitmapBtn*, kPaletteSize> palette_{};
  std::array<CSpinWnd*, 3> numbers_{};
  CClickHSlider* effect_ = nullptr;
  GTColorSelectorWnd* field_ = nullptr;
  GTColorSliderWnd* slider_ = nullptr;
  GTColorWellWnd* well_ = nullptr;
  std::array<QString, 8> captions_;  // 201..208
};

}  // namespace mt
