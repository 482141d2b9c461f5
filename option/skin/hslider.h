// The horizontal tracks: CClickHSlider, CPHSlider and CDMarker.
//
// All three hold a value in a range and map it linearly onto their width:
// the thumb's centre runs from half a thumb in from the left edge to half a
// thumb in from the right. A position maps back by cutting off the fraction,
// or, with set_nearest(true), to the nearest value. Setting the value from the
// program never notifies; a change by the user's click or drag does, once per
// change.
//
// - CClickHSlider jumps to the clicked position and follows the drag
//   (position_changed(value, id)).
// - CPHSlider drags its thumb ("slider.bmp"); a click beside the thumb moves
//   it one page (a tenth of the range unless set) towards the click
//   (position_changed(value, id)).
// - CDMarker is a marker dragged along a scale; it jumps like the click
//   slider (marker_moved(value, id)).
//
// Pictures: the background is the control's cut of the window's picture
// (the disabled cut while disabled), the thumb or marker its own picture. A
// control without pictures draws a plain track with the red accent.
//
//   auto* x = new CClickHSlider(page, 201);
//   x->set_range(10000, 1000000);
//   x->set_nearest(true);
//   connect(x, &CClickHSlider::position_changed, page, &CDlgPagePerfer::on_slider);
#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>

#include "option/skin/control_notifications.h"
#include "option/skin/skin_folder.h"

namespace mt {

class HTrackBase : public QWidget {
  Q_OBJECT

 public:
  int control_id() const { return control_id_; }

  // min > max is taken as max..min. The value is kept inside the range.
  void set_range(int min, int max);
  int minimum() const { return min_; }
  int maximum() const { return max_; }
  void set_value(int value);
  int value() const { return value_; }
  void set_nearest(bool nearest) { nearest_ = nearest; }
  bool nearest() const { return nearest_; }

  void set_pictures(const SkinCuts& cuts);
  void set_thumb(const QImage& thumb);

  // The value under x (widget coordinates) and the thumb's centre for a value.
  int value_at(int x) const;
  int position_of(int value) const;
  // The thumb's rectangle now.
  QRect thumb_rect() const;

 protected:
  HTrackBase(QWidget* parent, int control_id);

  // A user's change: store, repaint, notify when it changed.
  void move_by_user(int value);
  virtual void notify(int value) = 0;
  virtual QSize thumb_size() const;
  virtual void paint_thumb(QPainter& painter, const QRect& thumb);

  void paintEvent(QPaintEvent* event) override;

  bool dragging_ = false;

 private:
  int control_id_;
  int min_ = 0;
  int max_ = 100;
  int value_ = 0;
  bool nearest_ = false;
  SkinCuts cuts_;
  QImage thumb_;
};

class CClickHSlider : public HTrackBase {
  Q_OBJECT

 public:
  CClickHSlider(QWidget* parent, int control_id);

 signals:
  // kNotifySliderPosition.
  void position_changed(int value, int control_id);

 protected:
  void notify(int value) override { emit position_changed(value, control_id()); }
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

class CPHSlider : public HTrackBase {
  Q_OBJECT

 public:
  CPHSlider(QWidget* parent, int control_id);

  // The step of a click beside the thumb; 0 (the default) is a tenth of the range.
  void set_page_step(int step) { page_step_ = step; }
  int page_step() const;

 signals:
  // kNotifySliderPosition.
  void position_changed(int value, int control_id);

 protected:
  void notify(int value) override { emit position_changed(value, control_id()); }
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int page_step_ = 0;
  int grab_offset_ = 0;
};

class CDMarker : public HTrackBase {
  Q_OBJECT

 public:
  CDMarker(QWidget* parent, int control_id);

  // The marker's picture, and optionally its shape (a mask region in the
  // picture's coordinates); without a picture a pointer is drawn.
  void set_marker(const QImage& picture, const QRegion& shape = QRegion());

 signals:
  // kNotifyMarkerMoved.
  void marker_moved(int value, int control_id);

 protected:
  void notify(int value) override { emit marker_moved(value, control_id()); }
  QSize thumb_size() const override;
  void paint_thumb(QPainter& painter, const QRect& thumb) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QImage marker_;
  QRegion shape_;
};

}  // namespace mt
