// The pictures that are not whole windows: control shapes and their masks,
// the speed pictures, the slider thumb, icons and the on-screen display.
#include "skins/pictures.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

#include "skins/mouse_art.h"

namespace skins {

namespace L = mt::layout;

QPainterPath tab_shape(QSizeF size) {
  // Cut top-left and bottom-right corners: a tab that leans forward.
  return chamfered(QRectF(QPointF(0, 0), size), 10, true, false, true, false);
}

QPainterPath level_shape(QSizeF size, bool pointer) {
  // A chamfered plate; the level in use grows a point towards the dial.
  const QRectF r(QPointF(kGlowRoom + 0.5, kGlowRoom + 0.5),
                 QSizeF(size.width() - 2 * kGlowRoom - 1 - (pointer ? 0 : 6), size.height() - 2 * kGlowRoom - 1));
  if (!pointer) return chamfered(r, 6, true, false, false, true);
  QPainterPath path;
  const double mid = r.center().y();
  path.moveTo(r.left() + 6, r.top());
  path.lineTo(r.right() - 12, r.top());
  path.lineTo(r.right(), mid);
  path.lineTo(r.right() - 12, r.bottom());
  path.lineTo(r.left() + 6, r.bottom());
  path.lineTo(r.left(), r.bottom() - 6);
  path.lineTo(r.left(), r.top() + 6);
  path.closeSubpath();
  return path;
}

QPainterPath marker_shape(QSizeF size) {
  const QRectF r(QPointF(kGlowRoom + 0.5, kGlowRoom + 0.5),
                 QSizeF(size.width() - 2 * kGlowRoom - 1, size.height() - 2 * kGlowRoom - 1));
  return chamfered(r, 11, true, false, true, false);
}

QImage shape_mask(QSizeF size, const QPainterPath& shape, int scale) {
  // The region takes the glow ring around the shape too, so an over picture
  // shows its glow inside the button's own region.
  const QRectF box = shape.boundingRect();
  QPainterPathStroker grow;
  grow.setWidth(2 * kGlowRoom + 1);
  grow.setJoinStyle(Qt::MiterJoin);
  QPainterPath region = shape.united(grow.createStroke(shape)).intersected(
      [&] { QPainterPath all; all.addRect(QRectF(QPointF(0, 0), size)); return all; }());
  (void)box;
  return mask_image(size.toSize(), scale, region.simplified());
}

// ---- Speed pictures ---------------------------------------------------------

namespace {

void paint_gauge_well(Canvas& c, QSizeF size) {
  QPainter& p = c.p();
  const QRectF r(QPointF(0, 0), size);
  p.fillRect(r, ink::panel);
  paint_recess(c, rounded(r.adjusted(0.5, 0.5, -0.5, -0.5), 7), QColor(0x0c, 0x0d, 0x0f));
}

QColor lit_colour(int i, int n_total) {
  // From the pressed red at the low end to the hover red at the top.
  return mix(ink::accent_pressed, ink::accent_hover, n_total > 1 ? double(i) / (n_total - 1) : 1.0);
}

}  // namespace

QImage scroll_speed_picture(int n, int scale) {
  const QSize size = window("sens").find(23)->rect.size();
  Canvas c(size, scale, QImage::Format_RGB32);
  QPainter& p = c.p();
  paint_gauge_well(c, QSizeF(size));
  // The wheel on the left, with an arrow each way.
  const QRectF wheel(14, 7, 14, size.height() - 14.0);
  p.setPen(QPen(QColor(0x8a, 0x90, 0x99), 1.4));
  p.setBrush(QColor(0x1b, 0x1d, 0x21));
  p.drawRoundedRect(wheel, 7, 7);
  p.setPen(QPen(QColor(0x4a, 0x4f, 0x57), 1));
  for (double y = wheel.top() + 4; y < wheel.bottom() - 3; y += 3.5)
    p.drawLine(QPointF(wheel.left() + 3, y + 0.5), QPointF(wheel.right() - 3, y + 0.5));
  p.setPen(Qt::NoPen);
  p.setBrush(ink::accent);
  QPainterPath up, dn;
  const double h = size.height();
  up.moveTo(38, 7); up.lineTo(42.5, 12.5); up.lineTo(33.5, 12.5); up.closeSubpath();
  dn.moveTo(38, h - 7); dn.lineTo(42.5, h - 12.5); dn.lineTo(33.5, h - 12.5);
  dn.closeSubpath();
  p.drawPath(up);
  p.drawPath(dn);
  // Eleven bars rising left to right; the first n + 1 lit.
  const double left = 56, right = size.width() - 12.0, bottom = size.height() - 9.0, top = 8;
  const double pitch = (right - left) / 11.0, w = pitch - 4;
  for (int i = 0; i < 11; ++i) {
    const double h = 6 + (bottom - top - 6) * i / 10.0;
    const QRectF bar(std::round(left + i * pitch), bottom - h, w, h);
    const QPainterPath b = rounded(bar, 1.5);
    if (i <= n) {
      paint_glow(c, b, lit_colour(i, 11), 3, 0.5);
      QLinearGradient g(bar.topLeft(), bar.bottomLeft());
      g.setColorAt(0, lit_colour(i, 11).lighter(115));
      g.setColorAt(1, lit_colour(i, 11).darker(125));
      p.fillPath(b, g);
    } else {
      p.fillPath(b, QColor(0x24, 0x27, 0x2c));
    }
  }
  return c.image();
}

QImage pointer_gauge_picture(int n, int scale) {
  const QSize size = window("sens").find(24)->rect.size();
  Canvas c(size, scale, QImage::Format_RGB32);
  QPainter& p = c.p();
  paint_gauge_well(c, QSizeF(size));
  // A half-round gauge: eleven segments from left to right over the top, the
  // first n + 1 lit, the needle on segment n.
  const QPointF centre(size.width() / 2.0, size.height() - 12.0);
  const double r_out = std::min(size.width() / 2.0 - 8, size.height() - 18.0), r_in = r_out - 8;
  for (int i = 0; i < 11; ++i) {
    const double a0 = 180.0 - i * 180.0 / 11 - 1.2, span = -(180.0 / 11 - 2.4);
    QPainterPath seg;
    QRectF outer(centre.x() - r_out, centre.y() - r_out, 2 * r_out, 2 * r_out);
    QRectF inner(centre.x() - r_in, centre.y() - r_in, 2 * r_in, 2 * r_in);
    seg.arcMoveTo(outer, a0);
    seg.arcTo(outer, a0, span);
    seg.arcTo(inner, a0 + span, -span);
    seg.closeSubpath();
    if (i <= n) {
      paint_glow(c, seg, lit_colour(i, 11), 2.5, 0.5);
      p.fillPath(seg, lit_colour(i, 11));
    } else {
      p.fillPath(seg, QColor(0x26, 0x29, 0x2e));
    }
  }
  const double a = (180.0 - (n + 0.5) * 180.0 / 11) * std::numbers::pi / 180.0;
  const QPointF tip(centre.x() + (r_in - 3) * std::cos(a), centre.y() - (r_in - 3) * std::sin(a));
  p.setPen(QPen(QColor(0xe8, 0xea, 0xee), 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre, tip);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x3a, 0x3e, 0x45));
  p.drawEllipse(centre, 4.5, 4.5);
  p.setBrush(ink::accent);
  p.drawEllipse(centre, 2, 2);
  return c.image();
}

QImage slider_thumb(int scale) {
  Canvas c(kSliderThumb, scale, QImage::Format_RGB32);
  QPainter& p = c.p();
  const QRectF r(QPointF(0, 0), QSizeF(kSliderThumb));
  // No transparency in a BMP: the corners take the panel colour the sliders
  // sit on.
  p.fillRect(r, ink::panel);
  const QPainterPath body = rounded(r.adjusted(1, 1, -1, -1), 4);
  paint_shadow(c, body, 1.5, QPointF(0, 1), 200);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, QColor(0xd6, 0xd9, 0xde));
  g.setColorAt(1, QColor(0x8e, 0x93, 0x9b));
  p.fillPath(body, g);
  p.save();
  p.setPen(QPen(QColor(0x0a, 0x0b, 0x0c), 1));
  p.setBrush(Qt::NoBrush);
  p.drawPath(rounded(r.adjusted(1.5, 1.5, -1.5, -1.5), 3.5));
  p.restore();
  p.fillRect(QRectF(r.center().x() - 1, 6, 2, r.height() - 12), ink::accent);
  return c.image();
}

// ---- Icons ---------------------------------------------------------------

QImage row_icon(int id, int scale) {
  Canvas c(QSize(16, 16), scale);
  QPainter& p = c.p();
  const QColor light(0xe6, 0xe8, 0xec);
  auto arrow = [&](bool down, const QColor& colour) {
    QPainterPath a;
    if (down) {
      a.moveTo(6, 2); a.lineTo(10, 2); a.lineTo(10, 8); a.lineTo(13.5, 8); a.lineTo(8, 14);
      a.lineTo(2.5, 8); a.lineTo(6, 8);
    } else {
      a.moveTo(6, 14); a.lineTo(10, 14); a.lineTo(10, 8); a.lineTo(13.5, 8); a.lineTo(8, 2);
      a.lineTo(2.5, 8); a.lineTo(6, 8);
    }
    a.closeSubpath();
    p.fillPath(a, colour);
  };
  switch (id) {
    case 163: arrow(true, ink::accent_hover); break;
    case 164: arrow(false, light); break;
    case 165: {
      p.setPen(QPen(light, 1.5));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QPointF(8, 8), 6, 6);
      p.setPen(QPen(ink::accent_hover, 1.5, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(8, 8), QPointF(8, 4.2));
      p.drawLine(QPointF(8, 8), QPointF(10.8, 9.6));
      break;
    }
    case 166: {
      QPainterPath body = rounded(QRectF(3.5, 1.5, 9, 13), 4.5);
      p.setPen(QPen(light, 1.3));
      p.setBrush(Qt::NoBrush);
      p.drawPath(body);
      p.drawLine(QPointF(3.5, 6.5), QPointF(12.5, 6.5));
      p.drawLine(QPointF(8, 1.5), QPointF(8, 6.5));
      p.setPen(Qt::NoPen);
      p.setBrush(ink::accent_hover);
      p.drawPath(rounded(QRectF(4.2, 2.2, 3.3, 3.8), 1.5));
      break;
    }
    default: break;
  }
  return c.image();
}

QImage program_icon(int px) {
  // Drawn on a 256 grid, scaled to the size; the smallest sizes drop detail.
  QImage img(px, px, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  Canvas c(QSize(256, 256), 1);
  (void)c;
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(px / 256.0, px / 256.0);
  const QRectF tile(12, 12, 232, 232);
  QLinearGradient g(tile.topLeft(), tile.bottomLeft());
  g.setColorAt(0, QColor(0x2a, 0x2d, 0x33));
  g.setColorAt(1, QColor(0x10, 0x11, 0x13));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawRoundedRect(tile, 52, 52);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0x48, 0x4d, 0x55), px >= 48 ? 3 : 6));
  p.drawRoundedRect(tile.adjusted(1.5, 1.5, -1.5, -1.5), 51, 51);
  // The mouse: a simple outline at small sizes, its buttons and light above.
  QPainterPath body;
  body.moveTo(128, 44);
  body.cubicTo(158, 44, 176, 52, 180, 72);
  body.cubicTo(186, 110, 190, 150, 188, 170);
  body.cubicTo(186, 206, 160, 222, 128, 222);
  body.cubicTo(96, 222, 70, 206, 68, 170);
  body.cubicTo(66, 150, 70, 110, 76, 72);
  body.cubicTo(80, 52, 98, 44, 128, 44);
  body.closeSubpath();
  QLinearGradient bg(68, 0, 188, 0);
  bg.setColorAt(0, QColor(0x4a, 0x4f, 0x57));
  bg.setColorAt(0.5, QColor(0x8a, 0x90, 0x99));
  bg.setColorAt(1, QColor(0x4a, 0x4f, 0x57));
  p.setPen(Qt::NoPen);
  p.setBrush(bg);
  p.drawPath(body);
  const double seam = px >= 32 ? 5 : 9;
  p.setPen(QPen(QColor(0x14, 0x15, 0x18), seam, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(128, 46), QPointF(128, 118));
  QPainterPath split;
  split.moveTo(72, 122);
  split.cubicTo(100, 112, 156, 112, 184, 122);
  p.setBrush(Qt::NoBrush);
  p.drawPath(split);
  // The wheel, lit.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xe3, 0x26, 0x2d));
  p.drawRoundedRect(QRectF(119, 64, 18, 38), 9, 9);
  // The light strip at the rear.
  if (px >= 22) {
    QPainterPath strip;
    strip.moveTo(86, 190);
    strip.cubicTo(104, 206, 152, 206, 170, 190);
    p.setPen(QPen(QColor(0xff, 0x3f, 0x45), px >= 48 ? 7 : 12, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(strip);
  }
  return img;
}

// ---- On-screen display --------------------------------------------------

QImage osd_picture(int scale) {
  Canvas c(kOsdSize, scale, QImage::Format_RGB32);
  QPainter& p = c.p();
  const QRectF r(QPointF(0, 0), QSizeF(kOsdSize));
  p.fillRect(r, ink::outside);
  const QPainterPath shape = rounded(r.adjusted(0.5, 0.5, -0.5, -0.5), 14);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, QColor(0x22, 0x25, 0x2a));
  g.setColorAt(1, QColor(0x13, 0x14, 0x17));
  p.fillPath(shape, g);
  p.save();
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0x3a, 0x3e, 0x45), 1));
  p.drawPath(rounded(r.adjusted(1.5, 1.5, -1.5, -1.5), 13));
  p.restore();
  // The badge the profile number goes in: a dark disc in an accent ring.
  const QRectF badge(L::kOsdNumber.left, L::kOsdNumber.top, L::kOsdNumber.width(), L::kOsdNumber.height());
  QPainterPath ring;
  ring.addEllipse(badge.adjusted(-3, -3, 3, 3));
  paint_glow(c, ring, ink::accent, 6, 0.8);
  QPainterPath disc;
  disc.addEllipse(badge);
  p.fillPath(ring, ink::accent);
  QRadialGradient dg(badge.center(), badge.width() / 2);
  dg.setColorAt(0, QColor(0x1d, 0x1f, 0x23));
  dg.setColorAt(1, QColor(0x0c, 0x0d, 0x0f));
  p.fillPath(disc, dg);
  // An accent rule between the two lines.
  QLinearGradient rule(L::kOsdLine1.left, 0, L::kOsdLine1.right, 0);
  rule.setColorAt(0, with_alpha(ink::accent, 200));
  rule.setColorAt(1, with_alpha(ink::accent, 0));
  p.fillRect(QRectF(L::kOsdLine1.left, L::kOsdLine1.bottom + 0.5, L::kOsdLine1.width(), 1), rule);
  p.save();
  p.setPen(QPen(QColor(0x04, 0x04, 0x05), 1));
  p.setBrush(Qt::NoBrush);
  p.drawPath(shape);
  p.restore();
  return c.image();
}

QImage osd_mask(int scale) {
  return mask_image(kOsdSize, scale, rounded(QRectF(QPointF(0, 0), QSizeF(kOsdSize)), 14));
}

}  // namespace skins
