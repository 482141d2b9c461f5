#include "option/skin/skin_look.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

namespace mt::look {

QFont design_font(const QString& face, int pixel_height, int weight) {
  QFont f(face);
  f.setPixelSize(std::max(1, pixel_height));
  f.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
  f.setStyleStrategy(QFont::PreferAntialias);
  return f;
}

void paint_fallback_surface(QPainter& painter, const QRect& rect) {
  QLinearGradient g(rect.topLeft(), rect.bottomLeft());
  g.setColorAt(0, QColor(kSurfaceTop));
  g.setColorAt(1, QColor(kSurfaceBottom));
  painter.fillRect(rect, g);
  painter.setPen(QColor(kPanelHighlight));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

void paint_fallback_control(QPainter& painter, const QRect& rect, SkinState state) {
  if (rect.isEmpty()) return;
  QColor fill(kPanel), rim(kPanelHighlight);
  switch (state) {
    case SkinState::over:
      fill = QColor(0x2c, 0x2f, 0x35);
      rim = QColor(kAccentHover);
      break;
    case SkinState::down:
      fill = QColor(0x3a, 0x1a, 0x1d);
      rim = QColor(kAccentPressed);
      break;
    case SkinState::disable:
      fill = QColor(0x1c, 0x1e, 0x22);
      rim = QColor(0x2a, 0x2d, 0x32);
      break;
    case SkinState::normal: break;
  }
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  const QRectF r = QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5);
  const qreal radius = std::min<qreal>(4.0, std::min(r.width(), r.height()) / 2);
  painter.setPen(rim);
  painter.setBrush(fill);
  painter.drawRoundedRect(r, radius, radius);
  painter.restore();
}

}  // namespace mt::look
