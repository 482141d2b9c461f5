#include "option/skin/hslider.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstdint>

#include "option/skin/skin_look.h"
#include "option/skin/skin_picture.h"

namespace mt {

HTrackBase::HTrackBase(QWidget* parent, int control_id) : QWidget(parent), control_id_(control_id) {
  setFocusPolicy(Qt::ClickFocus);
}

void HTrackBase::set_range(int min, int max) {
  if (min > max) std::swap(min, max);
  min_ = min;
  max_ = max;
  value_ = std::clamp(value_, min_, max_);
  update();
}

void HTrackBase::set_value(int value) {
  value = std::clamp(value, min_, max_);
  if (value == value_) return;
  value_ = value;
  update();
}

void HTrackBase::set_pictures(const SkinCuts& cuts) {
  cuts_ = cuts;
  update();
}

void HTrackBase::set_thumb(const QImage& thumb) {
  thumb_ = thumb;
  update();
}

QSize HTrackBase::thumb_size() const {
  const int h = height();
  if (!thumb_.isNull()) {
    QSize s = logical_size(thumb_);
    if (s.height() > h && s.height() > 0) s = QSize(std::max(1, s.width() * h / s.height()), h);
    return s;
  }
  return QSize(std::clamp(h / 2, 8, 14), std::max(8, h - 4));
}

int HTrackBase::value_at(int x) const {
  const int tw = thumb_size().width();
  const int left = tw / 2;
  const int span = width() - tw;
  if (span <= 0 || max_ == min_) return min_;
  const int64_t t = std::clamp(x - left, 0, span);
  const int64_t range = int64_t{max_} - min_;
  const int64_t v = nearest_ ? (2 * t * range + span) / (2 * int64_t{span}) : t * range / span;
  return static_cast<int>(min_ + v);
}

int HTrackBase::position_of(int value) const {
  const int tw = thumb_size().width();
  const int left = tw / 2;
  const int span = std::max(0, width() - tw);
  if (max_ == min_) return left;
  const int64_t range = int64_t{max_} - min_;
  return left + static_cast<int>((2 * (int64_t{std::clamp(value, min_, max_)} - min_) * span + range) / (2 * range));
}

QRect HTrackBase::thumb_rect() const {
  const QSize s = thumb_size();
  const int cx = position_of(value_);
  return QRect(cx - s.width() / 2, (height() - s.height()) / 2, s.width(), s.height());
}

void HTrackBase::move_by_user(int value) {
  value = std::clamp(value, min_, max_);
  if (value == value_) return;
  value_ = value;
  update();
  notify(value_);
}

void HTrackBase::paint_thumb(QPainter& p, const QRect& thumb) {
  if (!thumb_.isNull()) {
    p.drawImage(QRectF(thumb), thumb_, QRectF(thumb_.rect()));
    if (!isEnabled()) p.fillRect(thumb, QColor(0x12, 0x13, 0x16, 140));
    return;
  }
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF r = QRectF(thumb).adjusted(0.5, 0.5, -0.5, -0.5);
  p.setPen(QColor(0x0e, 0x0f, 0x11));
  p.setBrush(isEnabled() ? QColor(0xe6, 0xe8, 0xeb) : QColor(0x6a, 0x6d, 0x72));
  p.drawRoundedRect(r, 2.5, 2.5);
  p.setPen(QPen(QColor(isEnabled() ? look::kAccent : look::kPanelHighlight), 2));
  const qreal cx = r.center().x();
  p.drawLine(QPointF(cx, r.top() + 3), QPointF(cx, r.bottom() - 3));
}

void HTrackBase::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QImage& bg = !isEnabled() && !cuts_.disable.isNull() ? cuts_.disable : cuts_.normal;
  const QRect thumb = thumb_rect();
  if (!bg.isNull()) {
    p.drawImage(QRectF(rect()), bg, QRectF(bg.rect()));
  } else {
    // No picture: a groove with the part up to the value in the accent colour.
    p.setRenderHint(QPainter::Antialiasing, true);
    const int tw = thumb.width();
    const QRectF groove(tw / 2.0, height() / 2.0 - 2, std::max(0, width() - tw), 4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x0b, 0x0c, 0x0e));
    p.drawRoundedRect(groove, 2, 2);
    QRectF filled = groove;
    filled.setRight(thumb.center().x() + 0.5);
    p.setBrush(QColor(isEnabled() ? look::kAccent : look::kPanelHighlight));
    p.drawRoundedRect(filled, 2, 2);
    p.setRenderHint(QPainter::Antialiasing, false);
  }
  paint_thumb(p, thumb);
}

CClickHSlider::CClickHSlider(QWidget* parent, int control_id) : HTrackBase(parent, control_id) {}

void CClickHSlider::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return event->ignore();
  dragging_ = true;
  move_by_user(value_at(event->position().toPoint().x()));
}

void CClickHSlider::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) move_by_user(value_at(event->position().toPoint().x()));
}

void CClickHSlider::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) dragging_ = false;
}

CPHSlider::CPHSlider(QWidget* parent, int control_id) : HTrackBase(parent, control_id) {}

int CPHSlider::page_step() const {
  if (page_step_ > 0) return page_step_;
  return std::max(1, static_cast<int>((int64_t{maximum()} - minimum()) / 10));
}

void CPHSlider::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return event->ignore();
  const int x = event->position().toPoint().x();
  if (thumb_rect().contains(event->position().toPoint())) {
    dragging_ = true;
    grab_offset_ = x - position_of(value());
    return;
  }
  const int64_t step = x < position_of(value()) ? -int64_t{page_step()} : int64_t{page_step()};
  move_by_user(static_cast<int>(std::clamp<int64_t>(value() + step, minimum(), maximum())));
}

void CPHSlider::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) move_by_user(value_at(event->position().toPoint().x() - grab_offset_));
}

void CPHSlider::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) dragging_ = false;
}

CDMarker::CDMarker(QWidget* parent, int control_id) : HTrackBase(parent, control_id) {}

void CDMarker::set_marker(const QImage& picture, const QRegion& shape) {
  marker_ = picture;
  shape_ = shape;
  update();
}

QSize CDMarker::thumb_size() const {
  if (!marker_.isNull()) return logical_size(marker_);
  return QSize(11, height());
}

void CDMarker::paint_thumb(QPainter& p, const QRect& thumb) {
  if (!marker_.isNull()) {
    p.save();
    if (!shape_.isEmpty()) p.setClipRegion(shape_.translated(thumb.topLeft()));
    p.drawImage(QRectF(thumb), marker_, QRectF(marker_.rect()));
    p.restore();
    return;
  }
  // A pointer from the top with a line down the scale.
  p.setRenderHint(QPainter::Antialiasing, true);
  const QColor c(isEnabled() ? look::kAccent : look::kPanelHighlight);
  const qreal cx = thumb.center().x() + 0.5;
  QPainterPath head;
  head.moveTo(thumb.left(), thumb.top());
  head.lineTo(thumb.right() + 1, thumb.top());
  head.lineTo(cx, thumb.top() + thumb.width() * 0.6);
  head.closeSubpath();
  p.fillPath(head, c);
  p.setPen(QPen(c, 1.5));
  p.drawLine(QPointF(cx, thumb.top() + 2), QPointF(cx, thumb.bottom() + 1));
}

void CDMarker::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return event->ignore();
  dragging_ = true;
  move_by_user(value_at(event->position().toPoint().x()));
}

void CDMarker::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) move_by_user(value_at(event->position().toPoint().x()));
}

void CDMarker::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) dragging_ = false;
}

}  // namespace mt
