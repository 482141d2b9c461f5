#include "option/skin/bitmap_btn.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "option/skin/skin_look.h"

namespace mt {
namespace {

enum ColourSlot { kNormal = 0, kOver = 1, kSelected = 2, kDisabled = 3 };

constexpr int kCaptionPadding = 3;

Qt::Alignment horizontal(CBitmapBtn::CaptionAlign a) {
  switch (a) {
    case CBitmapBtn::CaptionAlign::left:
    case CBitmapBtn::CaptionAlign::left_wrapped: return Qt::AlignLeft;
    case CBitmapBtn::CaptionAlign::right:
    case CBitmapBtn::CaptionAlign::right_wrapped: return Qt::AlignRight;
    default: return Qt::AlignHCenter;
  }
}

bool wrapped(CBitmapBtn::CaptionAlign a) {
  return a == CBitmapBtn::CaptionAlign::left_wrapped || a == CBitmapBtn::CaptionAlign::center_wrapped ||
         a == CBitmapBtn::CaptionAlign::right_wrapped;
}

}  // namespace

void paint_caption(QPainter& painter, const QRect& box, const QString& text, const QFont& font,
                   CBitmapBtn::CaptionAlign align) {
  if (text.isEmpty() || box.isEmpty()) return;
  const bool wrap = wrapped(align);
  const int flags = horizontal(align) | Qt::AlignVCenter | (wrap ? Qt::TextWordWrap : Qt::TextSingleLine);
  QFont f = font;
  const int full = std::max(1, font.pixelSize());
  const int smallest = std::max(9, full * 6 / 10);
  for (int px = full;; --px) {
    f.setPixelSize(px);
    const QRect need = QFontMetrics(f).boundingRect(box, flags, text);
    if ((need.width() <= box.width() && need.height() <= box.height()) || px <= smallest) break;
  }
  painter.setFont(f);
  QString shown = text;
  if (!wrap) shown = QFontMetrics(f).elidedText(text, Qt::ElideRight, box.width());
  painter.drawText(box, flags, shown);
}

CBitmapBtn::CBitmapBtn(QWidget* parent, int control_id)
    : QAbstractButton(parent),
      control_id_(control_id),
      hover_id_(control_id),
      margins_(kCaptionPadding, 0, kCaptionPadding, 0) {
  font_ = look::design_font(QStringLiteral("Arial"), 23);
  colours_[kNormal] = look::from_colorref(look::kCaptionNormal);
  colours_[kSelected] = look::from_colorref(look::kCaptionSelected);
  colours_[kDisabled] = look::from_colorref(look::kCaptionDisabled);
  colours_[kOver] = look::from_colorref(look::kCaptionOver);
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  connect(this, &QAbstractButton::clicked, this, [this] { emit command(control_id_); });
}

void CBitmapBtn::set_pictures(const SkinCuts& cuts) {
  cuts_ = cuts;
  update();
}

void CBitmapBtn::set_caption_font(const QString& face, int pixel_height, int weight) {
  font_ = look::design_font(face, pixel_height, weight);
  update();
}

void CBitmapBtn::set_caption_colors(const QColor& normal, const QColor& selected, const QColor& disabled,
                                    const QColor& over) {
  colours_[kNormal] = normal;
  colours_[kSelected] = selected;
  colours_[kDisabled] = disabled;
  colours_[kOver] = over;
  update();
}

void CBitmapBtn::set_caption_color(const QColor& colour) { set_caption_colors(colour, colour, colour, colour); }

QColor CBitmapBtn::caption_color(SkinState state) const {
  switch (state) {
    case SkinState::disable: return colours_[kDisabled];
    case SkinState::over: return colours_[kOver];
    case SkinState::down: return selected_ && !isDown() ? colours_[kSelected] : colours_[kOver];
    case SkinState::normal: break;
  }
  return colours_[kNormal];
}

void CBitmapBtn::set_caption_align(CaptionAlign align) {
  align_ = align;
  update();
}

void CBitmapBtn::set_caption_margins(const QMargins& margins) {
  margins_ = margins;
  update();
}

void CBitmapBtn::set_selected(bool selected) {
  if (selected_ == selected) return;
  selected_ = selected;
  update();
}

SkinState CBitmapBtn::state() const {
  if (!isEnabled()) return SkinState::disable;
  if (isDown() || selected_) return SkinState::down;
  if (hovered_) return SkinState::over;
  return SkinState::normal;
}

bool CBitmapBtn::inside(const QPoint& pos) const { return rect().contains(pos); }

bool CBitmapBtn::hitButton(const QPoint& pos) const { return inside(pos); }

void CBitmapBtn::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const SkinState s = state();
  const QImage& pic = cuts_.state(s).isNull() ? cuts_.normal : cuts_.state(s);
  if (pic.isNull())
    look::paint_fallback_control(p, rect(), s);
  else
    p.drawImage(QRectF(rect()), pic, QRectF(pic.rect()));
  if (!text().isEmpty()) {
    p.setPen(caption_color(s));
    paint_caption(p, rect().marginsRemoved(margins_), text(), font_, align_);
  }
}

void CBitmapBtn::set_hovered(bool hovered) {
  if (hovered_ == hovered) return;
  hovered_ = hovered;
  update();
  emit hover_changed(hovered ? 1 : 0, hover_id_);
  emit status_hint(hovered ? 1 : 0, hint_);
}

void CBitmapBtn::mouseMoveEvent(QMouseEvent* event) {
  // While pressed, over/away is shown by the down state; hover follows the
  // pointer only when no button is held elsewhere.
  set_hovered(inside(event->position().toPoint()));
  QAbstractButton::mouseMoveEvent(event);
}

void CBitmapBtn::leaveEvent(QEvent* event) {
  set_hovered(false);
  QAbstractButton::leaveEvent(event);
}

void CBitmapBtn::changeEvent(QEvent* event) {
  // A disabled button gets no leave event: end the hover now.
  if (event->type() == QEvent::EnabledChange && !isEnabled()) set_hovered(false);
  QAbstractButton::changeEvent(event);
}

}  // namespace mt
