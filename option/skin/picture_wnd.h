// Picture windows: CLineWnd shows one picture (a highlighted mouse picture on
// the button page) and is hidden or shown by its owner; CRgnWnd is the same,
// shaped by a region. Neither takes the mouse: presses fall through to the
// window beneath, which drags the window as its own surface does.
#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>

namespace mt {

class CLineWnd : public QWidget {
  Q_OBJECT

 public:
  CLineWnd(QWidget* parent, int control_id);

  int control_id() const { return control_id_; }
  // Drawn at the window's size; a null picture draws nothing.
  void set_picture(const QImage& picture);
  const QImage& picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int control_id_;
  QImage picture_;
};

class CRgnWnd : public CLineWnd {
  Q_OBJECT

 public:
  CRgnWnd(QWidget* parent, int control_id);

  // The shape in the window's own coordinates; empty leaves it rectangular.
  void set_region(const QRegion& region);
  const QRegion& region() const { return region_; }

 private:
  QRegion region_;
};

}  // namespace mt
