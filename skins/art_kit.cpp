#include "skins/art_kit.h"

#include <QImageWriter>
#include <QLinearGradient>
#include <algorithm>
#include <cmath>
#include <vector>

namespace skins {

QColor with_alpha(QColor c, int alpha) {
  c.setAlpha(std::clamp(alpha, 0, 255));
  return c;
}

QColor mix(const QColor& a, const QColor& b, double t) {
  auto lerp = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
  return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
                lerp(a.alpha(), b.alpha()));
}

Canvas::Canvas(QSize logical, int scale, QImage::Format format)
    : logical_(logical), scale_(scale), image_(logical * scale, format) {
  image_.fill(Qt::transparent);
  painter_.begin(&image_);
  painter_.setRenderHint(QPainter::Antialiasing);
  painter_.setRenderHint(QPainter::SmoothPixmapTransform);
  painter_.scale(scale, scale);
}

Canvas::Canvas(QImage& target, int scale)
    : logical_(target.size() / scale), scale_(scale), target_(&target) {
  painter_.begin(&target);
  painter_.setRenderHint(QPainter::Antialiasing);
  painter_.setRenderHint(QPainter::SmoothPixmapTransform);
  painter_.scale(scale, scale);
}

Canvas::~Canvas() {
  if (painter_.isActive()) painter_.end();
}

QImage Canvas::image() {
  if (painter_.isActive()) painter_.end();
  return target_ ? *target_ : image_;
}

namespace {

// One pass of a box blur of half-width k along rows (horizontal) or columns,
// on premultiplied ARGB, with the edges held transparent.
void box_pass(QImage& img, int k, bool horizontal) {
  if (k <= 0) return;
  const int w = img.width(), h = img.height();
  const int lines = horizontal ? h : w, len = horizontal ? w : h;
  const ptrdiff_t stride = img.bytesPerLine() / 4;
  const ptrdiff_t step = horizontal ? 1 : stride, line_step = horizontal ? stride : 1;
  const uint32_t mul = (1u << 16) / static_cast<uint32_t>(2 * k + 1);
  std::vector<uint32_t> line(len);
  auto* bits = reinterpret_cast<uint32_t*>(img.bits());
  for (int l = 0; l < lines; ++l) {
    uint32_t* base = bits + l * line_step;
    for (int i = 0; i < len; ++i) line[i] = base[i * step];
    uint32_t s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    auto add = [&](uint32_t px) {
      s0 += px & 0xff;
      s1 += (px >> 8) & 0xff;
      s2 += (px >> 16) & 0xff;
      s3 += px >> 24;
    };
    auto sub = [&](uint32_t px) {
      s0 -= px & 0xff;
      s1 -= (px >> 8) & 0xff;
      s2 -= (px >> 16) & 0xff;
      s3 -= px >> 24;
    };
    for (int i = 0; i <= k && i < len; ++i) add(line[i]);
    for (int i = 0; i < len; ++i) {
      base[i * step] = ((s0 * mul) >> 16) | (((s1 * mul) >> 16) << 8) | (((s2 * mul) >> 16) << 16) |
                       (((s3 * mul) >> 16) << 24);
      if (i - k >= 0) sub(line[i - k]);
      if (i + k + 1 < len) add(line[i + k + 1]);
    }
  }
}

void blur(QImage& img, double radius) {
  // Three box passes come close to a Gaussian whose reach is about radius.
  const int k = std::max(1, static_cast<int>(std::lround(radius / 3.0)));
  for (int pass = 0; pass < 3; ++pass) {
    box_pass(img, k, true);
    box_pass(img, k, false);
  }
}

void paint_blurred(Canvas& c, const QPainterPath& path, const QColor& colour, double radius,
                   QPointF offset, double strength) {
  QPainter& p = c.p();
  // Paths are in the painter's current coordinates; the blur works on device
  // pixels around them, at half resolution once the blur is wide enough not
  // to show it (a quarter of the work, the same soft edge).
  const QTransform to_device = p.worldTransform();
  const double reach = radius * 1.5;
  const QRectF logical = path.boundingRect().translated(offset).adjusted(-reach, -reach, reach, reach);
  const QRect dev = to_device.mapRect(logical).toAlignedRect().intersected(
      QRect(QPoint(0, 0), c.logical_size() * c.scale()));
  if (dev.isEmpty()) return;
  const double device_radius = radius * c.scale();
  const double f = device_radius >= 6 ? 0.5 : 1.0;
  QImage tmp(QSize(std::max(1, static_cast<int>(std::ceil(dev.width() * f))),
                   std::max(1, static_cast<int>(std::ceil(dev.height() * f)))),
             QImage::Format_ARGB32_Premultiplied);
  tmp.fill(Qt::transparent);
  {
    QPainter tp(&tmp);
    tp.setRenderHint(QPainter::Antialiasing);
    tp.setTransform(to_device * QTransform::fromTranslate(-dev.x(), -dev.y()) * QTransform::fromScale(f, f));
    tp.translate(offset);
    tp.fillPath(path, colour);
  }
  blur(tmp, device_radius * f);
  p.save();
  p.resetTransform();
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  const QRectF target(dev.topLeft(), QSizeF(tmp.width() / f, tmp.height() / f));
  double left = strength;
  while (left > 0) {
    p.setOpacity(std::min(1.0, left));
    p.drawImage(target, tmp);
    left -= 1.0;
  }
  p.restore();
}

}  // namespace

void paint_glow(Canvas& c, const QPainterPath& path, const QColor& colour, double radius,
                double strength) {
  paint_blurred(c, path, colour, radius, QPointF(0, 0), strength);
}

void paint_shadow(Canvas& c, const QPainterPath& path, double radius, QPointF offset, int alpha) {
  paint_blurred(c, path, QColor(0, 0, 0, alpha), radius, offset, 1.0);
}

QPainterPath rounded(const QRectF& r, double radius) {
  QPainterPath path;
  path.addRoundedRect(r, radius, radius);
  return path;
}

QPainterPath chamfered(const QRectF& r, double cut, bool tl, bool tr, bool br, bool bl) {
  QPainterPath path;
  const double l = r.left(), t = r.top(), rr = r.right(), b = r.bottom();
  path.moveTo(tl ? QPointF(l + cut, t) : QPointF(l, t));
  path.lineTo(tr ? QPointF(rr - cut, t) : QPointF(rr, t));
  if (tr) path.lineTo(rr, t + cut);
  path.lineTo(br ? QPointF(rr, b - cut) : QPointF(rr, b));
  if (br) path.lineTo(rr - cut, b);
  path.lineTo(bl ? QPointF(l + cut, b) : QPointF(l, b));
  if (bl) path.lineTo(l, b - cut);
  path.lineTo(tl ? QPointF(l, t + cut) : QPointF(l, t));
  path.closeSubpath();
  return path;
}

void paint_surface(Canvas& c, const QRectF& r) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, ink::surface_top);
  g.setColorAt(1, ink::surface_bottom);
  c.p().fillRect(r, g);
}

void paint_panel(Canvas& c, const QPainterPath& shape, bool highlight, bool shadow) {
  QPainter& p = c.p();
  const QRectF box = shape.boundingRect();
  if (shadow) paint_shadow(c, shape, 6, QPointF(0, 2), 120);
  QLinearGradient g(box.topLeft(), box.bottomLeft());
  g.setColorAt(0, ink::panel.lighter(104));
  g.setColorAt(1, ink::panel.darker(106));
  p.fillPath(shape, g);
  if (highlight) {
    // The inner highlight on the top and left edges: the shape's outline,
    // clipped to a band one pixel inside.
    p.save();
    p.setClipPath(shape);
    QPainterPath moved = shape.translated(1, 1);
    p.setClipPath(shape.subtracted(moved), Qt::IntersectClip);
    p.fillPath(shape, ink::panel_highlight);
    p.restore();
  }
  p.save();
  p.setPen(QPen(ink::panel_edge, 1));
  p.setBrush(Qt::NoBrush);
  p.drawPath(shape);
  p.restore();
}

void paint_panel(Canvas& c, const QRectF& r, double radius) {
  // A big panel's shadow drawn as a few soft outlines: the same look as a
  // blurred one, without blurring a large area.
  QPainter& p = c.p();
  p.save();
  p.setBrush(Qt::NoBrush);
  for (int i = 1; i <= 5; ++i) {
    p.setPen(QPen(QColor(0, 0, 0, 70 - i * 12), 1));
    p.drawRoundedRect(r.adjusted(-i + 0.5, -i + 2.5, i - 0.5, i + 1.5), radius + i, radius + i);
  }
  p.restore();
  paint_panel(c, rounded(r.adjusted(0.5, 0.5, -0.5, -0.5), radius), true, false);
}

void paint_recess(Canvas& c, const QPainterPath& shape, const QColor& fill) {
  QPainter& p = c.p();
  p.fillPath(shape, fill);
  // Inner shadow along the top and left, a faint light edge at the bottom.
  p.save();
  p.setClipPath(shape);
  QPainterPath ring = shape.subtracted(shape.translated(1.5, 2));
  p.fillPath(ring, QColor(0, 0, 0, 150));
  QPainterPath lip = shape.subtracted(shape.translated(0, -1));
  p.fillPath(lip, with_alpha(ink::panel_highlight, 110));
  p.restore();
  p.save();
  p.setPen(QPen(ink::recess_edge, 1));
  p.setBrush(Qt::NoBrush);
  p.drawPath(shape);
  p.restore();
}

void paint_recess(Canvas& c, const QRectF& r, double radius) {
  paint_recess(c, rounded(r.adjusted(0.5, 0.5, -0.5, -0.5), radius));
}

void paint_hairline(Canvas& c, QPointF a, QPointF b, const QColor& colour, double width) {
  QPainter& p = c.p();
  p.save();
  p.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(a, b);
  p.restore();
}

QPointF press_offset(State state) {
  return state == State::down ? QPointF(1, 1) : QPointF(0, 0);
}

void paint_body(Canvas& c, const QPainterPath& shape_in, State state, bool accent_body) {
  QPainter& p = c.p();
  const QPainterPath shape = shape_in.translated(press_offset(state));
  const QRectF box = shape.boundingRect();
  if (state == State::over) {
    paint_glow(c, shape_in, ink::accent_hover, 4.0, 1.6);
  } else if (state != State::down) {
    paint_shadow(c, shape, 2.5, QPointF(0, 1), 140);
  }
  QLinearGradient g(box.topLeft(), box.bottomLeft());
  if (state == State::down) {
    g.setColorAt(0, accent_body ? ink::accent_pressed.darker(130) : ink::pressed_top);
    g.setColorAt(1, accent_body ? ink::accent_pressed.darker(110) : ink::pressed_bottom);
  } else if (accent_body) {
    g.setColorAt(0, state == State::over ? ink::accent_hover : ink::accent.lighter(104));
    g.setColorAt(1, state == State::over ? ink::accent : ink::accent_pressed);
  } else {
    g.setColorAt(0, state == State::over ? ink::body_top.lighter(112) : ink::body_top);
    g.setColorAt(1, state == State::over ? ink::body_bottom.lighter(110) : ink::body_bottom);
  }
  p.fillPath(shape, g);
  p.save();
  p.setClipPath(shape);
  if (state == State::down) {
    // Pressed in: a shadow along the top edge instead of a highlight.
    p.fillPath(shape.subtracted(shape.translated(0, 2.5)), QColor(0, 0, 0, 140));
  } else {
    const QColor hi = accent_body ? QColor(255, 140, 140, 150) : ink::body_highlight;
    p.fillPath(shape.subtracted(shape.translated(0, 1)), hi);
  }
  p.restore();
  p.save();
  p.setBrush(Qt::NoBrush);
  if (state == State::over) {
    p.setPen(QPen(with_alpha(ink::accent_hover, 230), 1));
  } else if (state == State::down) {
    p.setPen(QPen(with_alpha(ink::accent_pressed, 200), 1));
  } else {
    p.setPen(QPen(ink::body_edge, 1));
  }
  p.drawPath(shape);
  p.restore();
}

void paint_indicator(Canvas& c, const QRectF& body, State state) {
  QPainter& p = c.p();
  const QRectF bar(body.center().x() - body.width() * 0.22, body.bottom() - 5.0, body.width() * 0.44, 2.0);
  const QRectF at = bar.translated(press_offset(state));
  if (state == State::down) {
    paint_glow(c, rounded(at, 1), ink::accent_hover, 3.0, 1.2);
    p.fillPath(rounded(at, 1), ink::accent_hover);
  } else {
    p.fillPath(rounded(at, 1), QColor(0, 0, 0, 150));
    p.fillPath(rounded(at.translated(0, 1).adjusted(0, 0.5, 0, 0), 1), with_alpha(ink::panel_highlight, 60));
  }
}

QImage mask_image(QSize logical, int scale, const QPainterPath& inside) {
  QImage img(logical * scale, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    p.fillPath(inside, Qt::black);
  }
  for (int y = 0; y < img.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x) line[x] = qGray(line[x]) >= 128 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
  }
  return img;
}

bool save_jpeg(const QImage& image, const std::string& path) {
  QImageWriter w(QString::fromStdString(path), "jpeg");
  w.setQuality(92);
  return w.write(image.convertToFormat(QImage::Format_RGB32));
}

bool save_bmp24(const QImage& image, const std::string& path) {
  // RGB888 makes the writer store three bytes a pixel.
  return image.convertToFormat(QImage::Format_RGB888).save(QString::fromStdString(path), "BMP");
}

bool save_png(const QImage& image, const std::string& path) {
  return image.save(QString::fromStdString(path), "PNG");
}

}  // namespace skins
