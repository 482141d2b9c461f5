#include "option/skin/rgn_button.h"

#include "option/skin/skin_picture.h"

namespace mt {

CRgnButton::CRgnButton(QWidget* parent, int control_id) : CBitmapBtn(parent, control_id) {}

void CRgnButton::set_region(const QRegion& region) {
  region_ = region;
  // The widget mask makes Qt itself route presses and hover by the shape.
  if (region_.isEmpty())
    clearMask();
  else
    setMask(region_);
  update();
}

void CRgnButton::set_region_from_mask(const QImage& mask) { set_region(mask_to_region(mask)); }

bool CRgnButton::inside(const QPoint& pos) const {
  return region_.isEmpty() ? rect().contains(pos) : region_.contains(pos);
}

}  // namespace mt
