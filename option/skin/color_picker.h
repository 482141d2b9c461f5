// The colour picker's three windows: GTColorSelectorWnd (the two-dimensional
// colour field), GTColorSliderWnd (the slider for the third component) and
// GTColorWellWnd (the swatch that shows the picked colour). Each shows one of
// the models of option/logic/color_model.h and forwards its mouse and key
// input there; the models, linked by link_color_picker, do every conversion,
// mapping and notification. The owner keeps the models alive at least as
// long as it shows them (a window that outlives its model must not paint).
//
// Drawing:
// - all three: a one-pixel black outline (GTDrawHelper);
// - the field: black, the gradient of its mode inside the outline, and a
//   circle of radius 5 around the picked point, black over light colours
//   and white over dark ones. The gradient is an off-screen image built only
//   when the field's size or its fixed component (mode, z, maxima) changes;
//   a drag repaints the image and the circle, nothing more;
// - the slider: the gradient of its component with the field's other two
//   (rebuilt only when those, the range or the size change), and a mark at
//   its position;
// - the well: its colour, inset by 2 pixels from the top left.
//
// Input: a left or middle press in the field (left in the slider) captures
// the mouse until the model lets go, so a drag keeps going outside the window
// and one begun with the middle button ends at the next left release. Both
// the field and the slider take the focus and the navigation keys (arrows,
// Home, End, Page Up, Page Down) before any shortcut does.
//
//   ColorFieldModel field; ColorSliderModel slider; ColorWellModel well;
//   link_color_picker(field, slider, well);
//   auto* f = new GTColorSelectorWnd(page, field);  f->setGeometry(...);
//   auto* s = new GTColorSliderWnd(page, slider);   s->setGeometry(...);
//   auto* w = new GTColorWellWnd(page, well);       w->setGeometry(...);
#pragma once

#include <QImage>
#include <QWidget>

#include <optional>

#include "option/logic/color_model.h"

class QPainter;

namespace mt {

// The outline the three windows share.
class GTDrawHelper {
 public:
  // A one-pixel black outline along the inside of `rect`; with `hollow`, a
  // second one a pixel further in.
  static void draw_frame(QPainter& painter, const QRect& rect, bool hollow = false);
};

// The Qt key of a navigation key, as the picker models take it.
std::optional<PickerKey> picker_key(int qt_key);

class GTColorSelectorWnd : public QWidget {
  Q_OBJECT

 public:
  GTColorSelectorWnd(QWidget* parent, ColorFieldModel& model);

  ColorFieldModel& model() const { return model_; }
  // How often the gradient has been built (for tests and the benchmark).
  int gradient_builds() const { return builds_; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct GradientKey {
    int mode = -1, z = 0, max_x = 0, max_y = 0;
    PixelRect field;
    bool operator==(const GradientKey&) const = default;
  };
  GradientKey current_key() const;
  void build_gradient();
  void follow_capture();

  ColorFieldModel& model_;
  QImage gradient_;
  GradientKey built_;
  int builds_ = 0;
  bool capturing_ = false;  // the model's capture, as of the last input
};

class GTColorSliderWnd : public QWidget {
  Q_OBJECT

 public:
  GTColorSliderWnd(QWidget* parent, ColorSliderModel& model);

  ColorSliderModel& model() const { return model_; }
  int gradient_builds() const { return builds_; }
  // The track the model maps onto: the window inside its outline.
  static PixelRect track_of(QSize size);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct GradientKey {
    int mode = -1;
    bool reversed = false, horizontal = false;
    int from = 0, to = 0, field_x = 0, field_y = 0;
    PixelRect track;
    bool operator==(const GradientKey&) const = default;
  };
  GradientKey current_key() const;
  void build_gradient();
  void follow_capture();

  ColorSliderModel& model_;
  QImage gradient_;
  GradientKey built_;
  int builds_ = 0;
  bool capturing_ = false;
};

class GTColorWellWnd : public QWidget {
  Q_OBJECT

 public:
  GTColorWellWnd(QWidget* parent, ColorWellModel& model);

  ColorWellModel& model() const { return model_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ColorWellModel& model_;
};

}  // namespace mt
