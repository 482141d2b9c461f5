#include "option/skin/color_picker.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>

namespace mt {
namespace {

QRgb qrgb_of(ColorRef c) { return qRgb(red_of(c), green_of(c), blue_of(c)); }

QRect to_qrect(const PixelRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

std::optional<PickerButton> picker_button(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return PickerButton::left;
    case Qt::MiddleButton: return PickerButton::middle;
    case Qt::RightButton: return PickerButton::right;
    default: return std::nullopt;
  }
}

// A model's redraw request, for as long as the window is there.
template <typename Window>
std::function<void()> update_of(Window* w) {
  return [p = QPointer<Window>(w)] {
    if (p) p->update();
  };
}

// The picker's key of a key event: the navigation keys, alone or with Shift;
// with Ctrl, Alt or Meta they stay the window's.
std::optional<PickerKey> own_key(const QKeyEvent* k) {
  if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return std::nullopt;
  return picker_key(k->key());
}

// The navigation keys are the picker's own: no shortcut may take them first.
bool claims_key(QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride) return false;
  if (!own_key(static_cast<QKeyEvent*>(event))) return false;
  event->accept();
  return true;
}

}  // namespace

void GTDrawHelper::draw_frame(QPainter& p, const QRect& rect, bool hollow) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(rect.adjusted(0, 0, -1, -1));
  if (hollow) p.drawRect(rect.adjusted(1, 1, -2, -2));
  p.restore();
}

std::optional<PickerKey> picker_key(int qt_key) {
  switch (qt_key) {
    case Qt::Key_PageUp: return PickerKey::page_up;
    case Qt::Key_PageDown: return PickerKey::page_down;
    case Qt::Key_End: return PickerKey::end;
    case Qt::Key_Home: return PickerKey::home;
    case Qt::Key_Left: return PickerKey::left;
    case Qt::Key_Right: return PickerKey::right;
    case Qt::Key_Up: return PickerKey::up;
    case Qt::Key_Down: return PickerKey::down;
    default: return std::nullopt;
  }
}

// ---- field ----------------------------------------------------------------

GTColorSelectorWnd::GTColorSelectorWnd(QWidget* parent, ColorFieldModel& model) : QWidget(parent), model_(model) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);  // the cursor follows the field's edge
  setAttribute(Qt::WA_OpaquePaintEvent);
  model_.set_redraw(update_of(this));
  model_.set_client_size(width(), height());
}

bool GTColorSelectorWnd::event(QEvent* e) {
  if (claims_key(e)) return true;
  return QWidget::event(e);
}

GTColorSelectorWnd::GradientKey GTColorSelectorWnd::current_key() const {
  return {model_.mode(), model_.z(), model_.max_x(), model_.max_y(), model_.field_rect()};
}

void GTColorSelectorWnd::build_gradient() {
  built_ = current_key();
  ++builds_;
  const PixelRect f = built_.field;
  if (f.width() <= 0 || f.height() <= 0) {
    gradient_ = QImage();
    return;
  }
  gradient_ = QImage(f.width(), f.height(), QImage::Format_RGB32);
  for (int row = 0; row < f.height(); ++row) {
    auto* line = reinterpret_cast<QRgb*>(gradient_.scanLine(row));
    for (int col = 0; col < f.width(); ++col) line[col] = qrgb_of(model_.color_at(f.left + col, f.top + row));
  }
}

void GTColorSelectorWnd::paintEvent(QPaintEvent*) {
  if (!(built_ == current_key())) build_gradient();
  QPainter p(this);
  p.fillRect(rect(), Qt::black);
  GTDrawHelper::draw_frame(p, rect());
  const QRect field = to_qrect(model_.field_rect());
  if (!gradient_.isNull()) p.drawImage(field.topLeft(), gradient_);
  // The picked point: a circle that stands out from the colour under it.
  const PointD at = model_.marker_point();
  p.setClipRect(field);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(model_.marker_black() ? Qt::black : Qt::white, 1));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(at.x, at.y), 5.0, 5.0);
}

void GTColorSelectorWnd::resizeEvent(QResizeEvent* e) {
  model_.set_client_size(width(), height());
  QWidget::resizeEvent(e);
}

void GTColorSelectorWnd::hideEvent(QHideEvent* e) {
  // A capture ends with the window that holds it. Only one under way asks
  // the model: a window hidden as its parent goes may outlive its model.
  if (capturing_) {
    if (model_.captured()) model_.release(PickerButton::left);
    follow_capture();
  }
  QWidget::hideEvent(e);
}

// While a button is held the toolkit's own grab carries the drag; a capture
// that outlasts the buttons (begun with the middle one) needs an explicit one.
void GTColorSelectorWnd::follow_capture() {
  capturing_ = model_.captured();
  if (capturing_ && isVisible()) {
    if (QGuiApplication::mouseButtons() == Qt::NoButton && QWidget::mouseGrabber() != this) grabMouse();
  } else if (QWidget::mouseGrabber() == this) {
    releaseMouse();
  }
}

void GTColorSelectorWnd::mousePressEvent(QMouseEvent* e) {
  const auto b = picker_button(e->button());
  if (!b) return e->ignore();
  const QPoint at = e->position().toPoint();
  if (model_.press(*b, at.x(), at.y())) setFocus(Qt::MouseFocusReason);
  follow_capture();
}

void GTColorSelectorWnd::mouseMoveEvent(QMouseEvent* e) {
  const QPoint at = e->position().toPoint();
  setCursor(model_.shows_field_cursor(at.x(), at.y()) ? Qt::CrossCursor : Qt::ArrowCursor);
  model_.move(at.x(), at.y());
}

void GTColorSelectorWnd::mouseReleaseEvent(QMouseEvent* e) {
  const auto b = picker_button(e->button());
  if (!b) return e->ignore();
  if (model_.release(*b)) setFocus(Qt::MouseFocusReason);
  follow_capture();
}

void GTColorSelectorWnd::mouseDoubleClickEvent(QMouseEvent* e) {
  // The second press of a double click only takes the focus; a capture
  // under way goes on.
  if (!picker_button(e->button())) return e->ignore();
  if (model_.double_click()) setFocus(Qt::MouseFocusReason);
}

void GTColorSelectorWnd::keyPressEvent(QKeyEvent* e) {
  const auto k = own_key(e);
  if (!k) return QWidget::keyPressEvent(e);
  model_.key(*k);
  e->accept();
}

// ---- slider ---------------------------------------------------------------

GTColorSliderWnd::GTColorSliderWnd(QWidget* parent, ColorSliderModel& model) : QWidget(parent), model_(model) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  model_.set_redraw(update_of(this));
  model_.set_track(track_of(size()));
}

PixelRect GTColorSliderWnd::track_of(QSize size) { return {1, 1, size.width() - 1, size.height() - 1}; }

bool GTColorSliderWnd::event(QEvent* e) {
  if (claims_key(e)) return true;
  return QWidget::event(e);
}

GTColorSliderWnd::GradientKey GTColorSliderWnd::current_key() const {
  return {model_.mode(),      model_.reversed(), model_.horizontal(), model_.range_from(),
          model_.range_to(),  model_.field_x(),  model_.field_y(),    model_.track()};
}

void GTColorSliderWnd::build_gradient() {
  built_ = current_key();
  ++builds_;
  const PixelRect t = built_.track;
  if (t.width() <= 0 || t.height() <= 0) {
    gradient_ = QImage();
    return;
  }
  // One colour per pixel along the track, from the range's start to its end.
  const bool across = model_.horizontal();
  const int len = across ? t.width() : t.height();
  const long long from = model_.range_from(), span = static_cast<long long>(model_.range_to()) - from;
  gradient_ = QImage(t.width(), t.height(), QImage::Format_RGB32);
  for (int i = 0; i < len; ++i) {
    const int position = static_cast<int>(from + (2 * i + 1) * span / (2LL * len));
    const QRgb c = qrgb_of(model_.color_at(position));
    if (across) {
      for (int row = 0; row < t.height(); ++row) reinterpret_cast<QRgb*>(gradient_.scanLine(row))[i] = c;
    } else {
      auto* line = reinterpret_cast<QRgb*>(gradient_.scanLine(i));
      std::fill(line, line + t.width(), c);
    }
  }
}

void GTColorSliderWnd::paintEvent(QPaintEvent*) {
  if (!(built_ == current_key())) build_gradient();
  QPainter p(this);
  p.fillRect(rect(), Qt::black);
  GTDrawHelper::draw_frame(p, rect());
  const PixelRect t = model_.track();
  if (!gradient_.isNull()) p.drawImage(QPoint(t.left, t.top), gradient_);
  // The position: a light bar with dark edges across the strip, and a notch
  // pointing in from each side.
  const bool across = model_.horizontal();
  const int len = across ? t.width() : t.height();
  if (len <= 0) return;
  const int at = std::clamp(model_.thumb_offset(), 0, len - 1) + (across ? t.left : t.top);
  p.setClipRect(to_qrect(t));
  p.setRenderHint(QPainter::Antialiasing, true);
  const QColor light(0xf5, 0xf5, 0xf5);
  if (across) {
    p.fillRect(QRect(at - 1, t.top, 3, t.height()), Qt::black);
    p.fillRect(QRect(at, t.top, 1, t.height()), light);
  } else {
    p.fillRect(QRect(t.left, at - 1, t.width(), 3), Qt::black);
    p.fillRect(QRect(t.left, at, t.width(), 1), light);
  }
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(light);
  const double c = at + 0.5;
  if (across) {
    p.drawPolygon(QPolygonF({QPointF(c - 4, t.top), QPointF(c + 4, t.top), QPointF(c, t.top + 5)}));
    p.drawPolygon(QPolygonF({QPointF(c - 4, t.bottom), QPointF(c + 4, t.bottom), QPointF(c, t.bottom - 5)}));
  } else {
    p.drawPolygon(QPolygonF({QPointF(t.left, c - 4), QPointF(t.left, c + 4), QPointF(t.left + 5, c)}));
    p.drawPolygon(QPolygonF({QPointF(t.right, c - 4), QPointF(t.right, c + 4), QPointF(t.right - 5, c)}));
  }
}

void GTColorSliderWnd::resizeEvent(QResizeEvent* e) {
  model_.set_track(track_of(size()));
  QWidget::resizeEvent(e);
}

void GTColorSliderWnd::hideEvent(QHideEvent* e) {
  // A capture ends with the window that holds it. Only one under way asks
  // the model: a window hidden as its parent goes may outlive its model.
  if (capturing_) {
    if (model_.captured()) model_.release(PickerButton::left);
    follow_capture();
  }
  QWidget::hideEvent(e);
}

void GTColorSliderWnd::follow_capture() {
  capturing_ = model_.captured();
  if (capturing_ && isVisible()) {
    if (QGuiApplication::mouseButtons() == Qt::NoButton && QWidget::mouseGrabber() != this) grabMouse();
  } else if (QWidget::mouseGrabber() == this) {
    releaseMouse();
  }
}

void GTColorSliderWnd::mousePressEvent(QMouseEvent* e) {
  const auto b = picker_button(e->button());
  if (!b) return e->ignore();
  const QPoint at = e->position().toPoint();
  if (model_.press(*b, at.x(), at.y())) setFocus(Qt::MouseFocusReason);
  follow_capture();
}

void GTColorSliderWnd::mouseMoveEvent(QMouseEvent* e) {
  const QPoint at = e->position().toPoint();
  model_.move(at.x(), at.y());
}

void GTColorSliderWnd::mouseReleaseEvent(QMouseEvent* e) {
  const auto b = picker_button(e->button());
  if (!b) return e->ignore();
  model_.release(*b);
  follow_capture();
}

void GTColorSliderWnd::keyPressEvent(QKeyEvent* e) {
  const auto k = own_key(e);
  if (!k) return QWidget::keyPressEvent(e);
  model_.key(*k);
  e->accept();
}

// ---- well -----------------------------------------------------------------

GTColorWellWnd::GTColorWellWnd(QWidget* parent, ColorWellModel& model) : QWidget(parent), model_(model) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  model_.set_redraw(update_of(this));
}

void GTColorWellWnd::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::black);
  p.fillRect(QRect(2, 2, width() - 3, height() - 3), QColor(qrgb_of(model_.color())));
  GTDrawHelper::draw_frame(p, rect());
}

}  // namespace mt
