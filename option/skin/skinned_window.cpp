#include "option/skin/skinned_window.h"

#include <QKeyEvent>
#include <QPainter>

#include "option/skin/skin_look.h"
#include "option/skin/window_drag.h"

namespace mt {

QSize SkinSurface::size() const {
  return pictures_.size.isEmpty() ? fallback_size_ : pictures_.size;
}

void SkinSurface::apply(QWidget& window, const SkinPictureSet& pictures) {
  pictures_ = pictures;
  window.setFixedSize(size());
  if (pictures_.mask.isEmpty())
    window.clearMask();
  else
    window.setMask(pictures_.mask);
  window.update();
}

void SkinSurface::release_state_pictures() {
  pictures_.over = pictures_.down = pictures_.disable = pictures_.normal;
}

void SkinSurface::paint(QPainter& painter, const QWidget& window) const {
  const QImage& bg = pictures_.normal;
  if (bg.isNull())
    look::paint_fallback_surface(painter, window.rect());
  else
    painter.drawImage(QRectF(window.rect()), bg, QRectF(bg.rect()));
}

CSkinDialog::CSkinDialog(QWidget* parent, QSize fallback_size)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      surface_(fallback_size),
      drag_(install_window_drag(this)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFixedSize(surface_.size());
}

void CSkinDialog::set_skin(const SkinPictureSet& pictures) { surface_.apply(*this, pictures); }

void CSkinDialog::paint_surface(QPainter&) {}

void CSkinDialog::paintEvent(QPaintEvent*) {
  QPainter p(this);
  surface_.paint(p, *this);
  paint_surface(p);
}

void CSkinDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape: event->accept(); return;
    default: QDialog::keyPressEvent(event);
  }
}

CSkinPanel::CSkinPanel(QWidget* parent, QSize fallback_size)
    : QWidget(parent), surface_(fallback_size), drag_(install_window_drag(this)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFixedSize(surface_.size());
}

void CSkinPanel::set_skin(const SkinPictureSet& pictures) { surface_.apply(*this, pictures); }

void CSkinPanel::paint_surface(QPainter&) {}

void CSkinPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  surface_.paint(p, *this);
  paint_surface(p);
}

}  // namespace mt
