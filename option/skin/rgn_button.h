// CRgnButton: a CBitmapBtn whose clickable shape is a region, usually made
// from a mask picture the size of the button ("rgnbutton_mask.bmp" for the
// main window's tabs, the DPI masks for the level buttons). Outside the
// region the button neither paints nor takes the pointer: presses there go
// to the window beneath (which drags), and hover starts at the region's edge.
// An empty region (a missing or all-white mask) leaves the whole rectangle
// clickable, so a broken skin never loses a button.
#pragma once

#include <QImage>
#include <QRegion>

#include "option/skin/bitmap_btn.h"

namespace mt {

class CRgnButton : public CBitmapBtn {
  Q_OBJECT

 public:
  CRgnButton(QWidget* parent, int control_id);

  // The shape, in the button's own coordinates.
  void set_region(const QRegion& region);
  // The shape of a mask picture (non-white pixels), at the button's origin.
  void set_region_from_mask(const QImage& mask);
  const QRegion& region() const { return region_; }

 protected:
  bool inside(const QPoint& pos) const override;

 private:
  QRegion region_;
};

}  // namespace mt
