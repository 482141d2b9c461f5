#include "skins/glyphs.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace skins {

namespace {

// A square of side s centred in the box.
QRectF square(const QRectF& box) {
  const double s = std::min(box.width(), box.height());
  QRectF r(0, 0, s, s);
  r.moveCenter(box.center());
  return r;
}

}  // namespace

void draw_glyph(Canvas& c, Glyph glyph, const QRectF& box, const QColor& colour) {
  QPainter& p = c.p();
  p.save();
  p.setBrush(Qt::NoBrush);
  const QRectF q = square(box);
  const double u = q.width() / 16.0;  // glyphs are designed on a 16-unit grid
  auto pt = [&](double x, double y) { return QPointF(q.left() + x * u, q.top() + y * u); };
  const double pen = std::max(1.2, 1.5 * u);
  QPen line(colour, pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  switch (glyph) {
    case Glyph::cross: {
      QRectF r(0, 0, 10, 10);
      r.moveCenter(box.center());
      p.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(r.topLeft(), r.bottomRight());
      p.drawLine(r.topRight(), r.bottomLeft());
      break;
    }
    case Glyph::bar: {
      const QPointF m = box.center();
      p.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(m.x() - 6, m.y() + 3.5), QPointF(m.x() + 6, m.y() + 3.5));
      break;
    }
    case Glyph::folder: {
      QPainterPath f;
      f.moveTo(pt(1.5, 4));
      f.lineTo(pt(6, 4));
      f.lineTo(pt(7.5, 5.5));
      f.lineTo(pt(14.5, 5.5));
      f.lineTo(pt(14.5, 13));
      f.lineTo(pt(1.5, 13));
      f.closeSubpath();
      p.setPen(line);
      p.drawPath(f);
      p.drawLine(pt(1.5, 7.5), pt(14.5, 7.5));
      break;
    }
    case Glyph::book: {
      // Two pages open from a spine.
      QPainterPath left, right;
      left.moveTo(pt(8, 4));
      left.cubicTo(pt(6, 2.6), pt(3, 2.4), pt(0.5, 3));
      left.lineTo(pt(0.5, 13));
      left.cubicTo(pt(3, 12.4), pt(6, 12.6), pt(8, 14));
      right.moveTo(pt(8, 4));
      right.cubicTo(pt(10, 2.6), pt(13, 2.4), pt(15.5, 3));
      right.lineTo(pt(15.5, 13));
      right.cubicTo(pt(13, 12.4), pt(10, 12.6), pt(8, 14));
      p.setPen(QPen(colour, std::max(1.4, 1.1 * u), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPath(left);
      p.drawPath(right);
      p.drawLine(pt(8, 4), pt(8, 14));
      p.setPen(QPen(with_alpha(colour, 150), std::max(1.0, 0.7 * u), Qt::SolidLine, Qt::RoundCap));
      for (double y : {6.0, 8.5, 11.0}) {
        p.drawLine(pt(2.5, y - 0.3), pt(6.2, y + 0.3));
        p.drawLine(pt(9.8, y + 0.3), pt(13.5, y - 0.3));
      }
      break;
    }
    case Glyph::globe: {
      p.setPen(QPen(colour, 1.2));
      const QRectF g = q.adjusted(u, u, -u, -u);
      p.drawEllipse(g);
      p.drawEllipse(QRectF(g.center().x() - g.width() * 0.22, g.top(), g.width() * 0.44, g.height()));
      p.drawLine(QPointF(g.left(), g.center().y()), QPointF(g.right(), g.center().y()));
      break;
    }
    case Glyph::chevron_up:
    case Glyph::chevron_down: {
      const bool up = glyph == Glyph::chevron_up;
      QPainterPath a;
      const QRectF r = box;
      const double yt = up ? r.bottom() : r.top(), yb = up ? r.top() : r.bottom();
      a.moveTo(r.left(), yt);
      a.lineTo(r.center().x(), yb);
      a.lineTo(r.right(), yt);
      a.closeSubpath();
      p.setPen(Qt::NoPen);
      p.setBrush(colour);
      p.drawPath(a);
      break;
    }
    case Glyph::link: {
      // Two rounded links, one above the other, interlocked.
      p.setPen(QPen(colour, std::max(1.5, 1.6 * u)));
      p.drawRoundedRect(QRectF(pt(4.5, 1), pt(11.5, 9)), 3.5 * u, 3.5 * u);
      p.drawRoundedRect(QRectF(pt(4.5, 7), pt(11.5, 15)), 3.5 * u, 3.5 * u);
      break;
    }
    case Glyph::lines: {
      p.setPen(QPen(colour, std::max(1.4, 1.5 * u), Qt::SolidLine, Qt::RoundCap));
      for (double y : {3.0, 6.5, 10.0, 13.5}) p.drawLine(pt(1.5, y), pt(y == 13.5 ? 9.5 : 14.5, y));
      break;
    }
    case Glyph::page: {
      QPainterPath f;
      f.moveTo(pt(3, 1));
      f.lineTo(pt(10, 1));
      f.lineTo(pt(13.5, 4.5));
      f.lineTo(pt(13.5, 15));
      f.lineTo(pt(3, 15));
      f.closeSubpath();
      p.setPen(QPen(colour, std::max(1.3, 1.3 * u), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPath(f);
      p.drawLine(pt(10, 1), pt(10, 4.5));
      p.drawLine(pt(10, 4.5), pt(13.5, 4.5));
      // A page is one block: a filled band across it.
      p.setPen(Qt::NoPen);
      p.setBrush(with_alpha(colour, 170));
      p.drawRect(QRectF(pt(5, 7), pt(11.5, 12.5)));
      break;
    }
    case Glyph::gauge: {
      p.setPen(QPen(colour, std::max(1.4, 1.4 * u), Qt::SolidLine, Qt::RoundCap));
      p.drawArc(QRectF(pt(1, 2.5), pt(15, 16.5)), 200 * 16, -220 * 16);
      p.drawLine(pt(8, 9.5), pt(12, 5.5));
      p.setPen(Qt::NoPen);
      p.setBrush(colour);
      p.drawEllipse(pt(8, 9.5), 1.6 * u, 1.6 * u);
      break;
    }
    case Glyph::mouse: {
      p.setPen(QPen(colour, std::max(1.4, 1.3 * u), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawRoundedRect(QRectF(pt(3.5, 0.8), pt(12.5, 15.2)), 4.5 * u, 4.5 * u);
      p.drawLine(pt(8, 0.8), pt(8, 6));
      p.drawLine(pt(3.5, 6), pt(12.5, 6));
      break;
    }
    case Glyph::spark: {
      p.setPen(QPen(colour, std::max(1.4, 1.3 * u), Qt::SolidLine, Qt::RoundCap));
      p.drawEllipse(pt(8, 8), 3.2 * u, 3.2 * u);
      for (int i = 0; i < 8; ++i) {
        const double a = i * 45.0 * 3.14159265358979 / 180.0;
        p.drawLine(pt(8 + 5.4 * std::cos(a), 8 + 5.4 * std::sin(a)), pt(8 + 7.4 * std::cos(a), 8 + 7.4 * std::sin(a)));
      }
      break;
    }
    case Glyph::layers: {
      p.setPen(QPen(colour, std::max(1.3, 1.2 * u), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      for (double dy : {0.0, 3.5, 7.0}) {
        QPainterPath d;
        d.moveTo(pt(8, 2 + dy));
        d.lineTo(pt(15, 5.5 + dy));
        d.lineTo(pt(8, 9 + dy));
        d.lineTo(pt(1, 5.5 + dy));
        d.closeSubpath();
        if (dy == 0.0) {
          p.setBrush(with_alpha(colour, 90));
        } else {
          p.setBrush(Qt::NoBrush);
        }
        p.drawPath(d);
      }
      break;
    }
    case Glyph::house: {
      QPainterPath h;
      h.moveTo(pt(1.5, 8));
      h.lineTo(pt(8, 2));
      h.lineTo(pt(14.5, 8));
      h.moveTo(pt(3.5, 6.5));
      h.lineTo(pt(3.5, 14.5));
      h.lineTo(pt(12.5, 14.5));
      h.lineTo(pt(12.5, 6.5));
      p.setPen(QPen(colour, std::max(1.4, 1.3 * u), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPath(h);
      p.drawRect(QRectF(pt(6.5, 10), pt(9.5, 14.5)));
      break;
    }
  }
  p.restore();
}

void draw_bars(Canvas& c, const QRectF& box, int n, const QColor& colour) {
  QPainter& p = c.p();
  const double w = box.width() / 4.0;
  for (int i = 0; i < 4; ++i) {
    const double h = box.height() * (i + 1) / 4.0;
    QRectF bar(box.left() + i * w + 0.5, box.bottom() - h, w - 1.2, h);
    p.fillRect(bar, i < n ? colour : with_alpha(QColor(0x3a, 0x3e, 0x45), 200));
  }
}

}  // namespace skins
