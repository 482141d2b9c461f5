#include "option/skin/picture_wnd.h"

#include <QPainter>

namespace mt {

CLineWnd::CLineWnd(QWidget* parent, int control_id) : QWidget(parent), control_id_(control_id) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CLineWnd::set_picture(const QImage& picture) {
  picture_ = picture;
  update();
}

void CLineWnd::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QPainter p(this);
  p.drawImage(QRectF(rect()), picture_, QRectF(picture_.rect()));
}

CRgnWnd::CRgnWnd(QWidget* parent, int control_id) : CLineWnd(parent, control_id) {}

void CRgnWnd::set_region(const QRegion& region) {
  region_ = region;
  if (region_.isEmpty())
    clearMask();
  else
    setMask(region_);
}

}  // namespace mt
