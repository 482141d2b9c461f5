// CDlgPagePerfer: the performance page of the main window. Five CPI levels
// and the level in use (level buttons, the CPI dial, the CPI spin, the X and
// Y sliders), the report rate, the pointer speed and acceleration, the
// double-click time (with its test area) and the scroll wheel.
//
// The rules are option/logic/perf_rules.h's: the page forwards every click
// and control change there and draws what the rules ask (PerfPageView).
// Changes go into the working record's current profile at once; only the
// double-click time also reaches the desktop at once (host.pointer_system(),
// and this program's own double-click interval, so the test area answers to
// the new time).
//
// Skin: "skin_sens.ini", section BUTTONINFO, shape "middle_mask.bmp",
// pictures "Basic_Settings_normal/over/down/disable.jpg", level-button shapes
// "DPI1_mask.bmp" (plain) and "DPI2_mask.bmp" (the level in use), slider
// thumb "slider.bmp", speed pictures "z00.jpg".."z10.jpg" (scroll speed) and
// "zhizhen00.jpg".."zhizhen10.jpg" (pointer speed). Keys:
//
//   1-5   level buttons (CRgnButton; texts 147-151, also their hints)
//   6     the CPI dial's rectangle (painted by the page)
//   7     CPI spin 405 (CSpecialSpinWnd, 1..12)
//   8, 9  X and Y CPI sliders 201, 202 (CClickHSlider)
//   10    pointer-speed slider 203 (1..11)
//   11    double-click slider 204 (0..700)
//   12    double-click test area (a CDMarker, 0..700, following slider 204)
//   13    scroll slider 206 (1..11)      14  scroll spin 406 (CSpinWnd, 1..11)
//   15-16 scroll mode: lines, page      17  acceleration toggle
//   18-21 report rate 125, 250, 500, 1000 (captions as numbers)
//   22    XYSynchronous indicator (shows the link; not a control)
//   23    scroll-speed picture          24  pointer-speed picture
// Captions 130-138 are painted at layout::kPerformanceCaption, Arial 20 px.
//
//   auto* page = new CDlgPagePerfer(host, main_window);
//   page->setGeometry(page_area);
//   page->refresh();   // after every profile switch, import and restore
#pragma once

#include <QImage>
#include <QRegion>
#include <QString>

#include <array>
#include <optional>

#include "option/logic/cpi_dial.h"
#include "option/logic/perf_rules.h"
#include "option/option_host.h"
#include "option/skin/skinned_window.h"

namespace mt {

class CBitmapBtn;
class CClickHSlider;
class CDMarker;
class CRgnButton;
class CSpecialSpinWnd;
class CSpinWnd;

class CDlgPagePerfer : public CSkinPanel, public OptionPage, private PerfPageView {
  Q_OBJECT

 public:
  static constexpr int kWidth = 720;
  static constexpr int kHeight = 470;
  // Skin keys of the controls.
  static constexpr int kLevelKey = 1;  // 1..5
  static constexpr int kDialKey = 6;
  static constexpr int kCpiSpinKey = 7;
  static constexpr int kCpiXKey = 8;
  static constexpr int kCpiYKey = 9;
  static constexpr int kPointerKey = 10;
  static constexpr int kDoubleClickKey = 11;
  static constexpr int kDoubleClickTestKey = 12;
  static constexpr int kScrollKey = 13;
  static constexpr int kScrollSpinKey = 14;
  static constexpr int kScrollModeKey = 15;  // 15 lines, 16 page
  static constexpr int kAccelerationKey = 17;
  static constexpr int kRateKey = 18;  // 18..21
  static constexpr int kXYLinkKey = 22;
  static constexpr int kScrollPictureKey = 23;
  static constexpr int kPointerPictureKey = 24;

  CDlgPagePerfer(OptionHost& host, QWidget* parent);
  ~CDlgPagePerfer() override;

  void refresh() override;
  void load_texts() override;

  // The controls, for the main window's tests and the screenshots.
  CRgnButton* level_button(int i) const { return levels_[i]; }
  CSpecialSpinWnd* cpi_spin() const { return cpi_spin_; }
  CClickHSlider* cpi_slider(int id) const { return id == kCpiYSlider ? cpi_y_ : cpi_x_; }
  CClickHSlider* pointer_slider() const { return pointer_; }
  CClickHSlider* double_click_slider() const { return double_click_; }
  CDMarker* double_click_test() const { return double_click_test_; }
  CClickHSlider* scroll_slider() const { return scroll_; }
  CSpinWnd* scroll_spin() const { return scroll_spin_; }
  CBitmapBtn* scroll_mode_button(int flag) const { return scroll_modes_[flag]; }
  CBitmapBtn* acceleration_button() const { return acceleration_; }
  CBitmapBtn* rate_button(int j) const { return rates_[j]; }
  CBitmapBtn* xy_link_indicator() const { return xy_link_; }
  const CpiDial& dial() const { return dial_; }
  QRect placement(int key) const;
  // The level shown with the "in use" shape (DPI2_mask), or -1.
  int shaped_level() const { return shaped_level_; }

 protected:
  void paint_surface(QPainter& painter) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  ProfileRecord* profile();
  // Level button i's shape, plain or in use.
  QRegion shape_of(int i, bool in_use) const;
  // One of the scroll-speed (`scroll`) or pointer-speed pictures, 0..10.
  const QImage& speed_picture(bool scroll, int number);

  // PerfPageView
  void select_level(int step) override;
  void show_cpi_spin(int index) override;
  void redraw_dial() override;
  void move_cpi_slider(int id, int value) override;
  void set_cpi_slider_range(int min, int max) override;
  void move_pointer_slider(int position) override;
  void redraw_pointer_gauge() override;
  void move_double_click_slider(int position) override;
  void set_double_click_marker(int value) override;
  void set_system_double_click_time(int ms) override;
  void move_scroll_slider(int lines) override;
  void set_scroll_spin(int lines) override;
  void redraw_scroll_picture() override;
  void show_scroll_mode(int flag, bool slider_enabled, bool spin_enabled) override;
  void show_acceleration(bool on) override;
  void show_xy_synchronous(int value) override;
  void select_polling_rate(int code) override;
  void redraw_gauges() override;

  OptionHost& host_;
  std::array<QRect, 25> rects_{};  // by key
  CpiDial dial_;
  struct LevelShape {
    QRegion region;
    QSize size;  // of its mask
  };
  LevelShape plain_shape_, in_use_shape_;
  int shaped_level_ = -1;
  std::array<CRgnButton*, kLevelCount> levels_{};
  CSpecialSpinWnd* cpi_spin_ = nullptr;
  CClickHSlider* cpi_x_ = nullptr;
  CClickHSlider* cpi_y_ = nullptr;
  CClickHSlider* pointer_ = nullptr;
  CClickHSlider* double_click_ = nullptr;
  CDMarker* double_click_test_ = nullptr;
  CClickHSlider* scroll_ = nullptr;
  CSpinWnd* scroll_spin_ = nullptr;
  std::array<CBitmapBtn*, 2> scroll_modes_{};
  CBitmapBtn* acceleration_ = nullptr;
  std::array<CBitmapBtn*, 4> rates_{};
  CBitmapBtn* xy_link_ = nullptr;
  std::array<QString, kPerfCaptionLast - kPerfCaptionFirst + 1> captions_;
  // Decoded on first use: only the pictures shown cost anything.
  std::array<std::optional<QImage>, 11> scroll_pictures_, pointer_pictures_;
};

}  // namespace mt
