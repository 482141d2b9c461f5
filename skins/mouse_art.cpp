#include "skins/mouse_art.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

namespace skins {

namespace {

// Right half of the outline, from the front centre to the rear centre; the
// left half is its mirror image.
QPainterPath body_path() {
  QPainterPath path;
  path.moveTo(75, 0);
  path.cubicTo(101, 0, 121, 3, 127, 15);
  path.cubicTo(134, 32, 136, 72, 138, 108);
  path.cubicTo(140, 146, 150, 170, 150, 212);
  path.cubicTo(150, 276, 118, 320, 75, 320);
  path.cubicTo(32, 320, 0, 276, 0, 212);
  path.cubicTo(0, 170, 10, 146, 12, 108);
  path.cubicTo(14, 72, 16, 32, 23, 15);
  path.cubicTo(29, 3, 49, 0, 75, 0);
  path.closeSubpath();
  return path;
}

// The seam where the two main buttons end, left half (flank to channel).
QPainterPath left_button_area() {
  QPainterPath area;
  area.moveTo(-10, -10);
  area.lineTo(68, -10);
  area.lineTo(68, 134);
  area.cubicTo(50, 134, 28, 139, 8, 152);
  area.lineTo(-10, 160);
  area.closeSubpath();
  return area;
}

QPainterPath mirrored(const QPainterPath& path) {
  QTransform m(-1, 0, 0, 1, kMouseSize.width(), 0);
  return m.map(path);
}

QPainterPath wheel_well() { return rounded(QRectF(63.5, 20, 23, 58), 10); }

QPainterPath chevron(QPointF tip, double dir) {
  // A small arrow head pointing left (dir -1) or right (dir +1).
  QPainterPath path;
  path.moveTo(tip);
  path.lineTo(tip.x() - dir * 8, tip.y() - 8);
  path.lineTo(tip.x() - dir * 8, tip.y() - 3.5);
  path.lineTo(tip.x() - dir * 12, tip.y() - 3.5);
  path.lineTo(tip.x() - dir * 12, tip.y() + 3.5);
  path.lineTo(tip.x() - dir * 8, tip.y() + 3.5);
  path.lineTo(tip.x() - dir * 8, tip.y() + 8);
  path.closeSubpath();
  return path;
}

}  // namespace

QPainterPath mouse_part(MousePart part) {
  switch (part) {
    case MousePart::left_button:
      return body_path().intersected(left_button_area()).subtracted(wheel_well());
    case MousePart::right_button:
      return body_path().intersected(mirrored(left_button_area())).subtracted(wheel_well());
    case MousePart::wheel: return rounded(QRectF(67, 25, 16, 48), 7.5);
    case MousePart::tilt_left: return chevron(QPointF(47, 49), -1);
    case MousePart::tilt_right: return chevron(QPointF(103, 49), 1);
    case MousePart::top_front: return rounded(QRectF(68.5, 86, 13, 19), 5.5);
    case MousePart::top_rear: return rounded(QRectF(68.5, 109, 13, 19), 5.5);
    case MousePart::side_forward: return rounded(QRectF(-5, 158, 13, 38), 6);
    case MousePart::side_back: return rounded(QRectF(-5, 200, 13, 38), 6);
  }
  return {};
}

QPointF mouse_anchor(MousePart part) {
  switch (part) {
    case MousePart::left_button: return {36, 24};
    case MousePart::right_button: return {114, 31};
    case MousePart::wheel: return {75, 39};
    case MousePart::tilt_left: return {51, 46};
    case MousePart::tilt_right: return {99, 52};
    case MousePart::top_front: return {75, 95.5};
    case MousePart::top_rear: return {75, 118.5};
    case MousePart::side_forward: return {0, 177};
    case MousePart::side_back: return {0, 219};
  }
  return {};
}

void paint_mouse(Canvas& c, const QTransform& place, const MouseLook& look) {
  QPainter& p = c.p();
  const QPainterPath body = body_path();
  auto fill = [&](const QPainterPath& path, const QBrush& brush) {
    p.save();
    p.setTransform(place, true);
    p.fillPath(path, brush);
    p.restore();
  };
  auto stroke = [&](const QPainterPath& path, const QPen& pen) {
    p.save();
    p.setTransform(place, true);
    p.setBrush(Qt::NoBrush);
    p.setPen(pen);
    p.drawPath(path);
    p.restore();
  };
  auto clipped = [&](const QPainterPath& clip, auto draw) {
    p.save();
    p.setTransform(place, true);
    p.setClipPath(clip, Qt::IntersectClip);
    draw();
    p.restore();
  };

  // Shadow on the desk, then the cable under the body.
  paint_shadow(c, place.map(body), 14, place.map(QPointF(0, 10)) - place.map(QPointF(0, 0)), 210);
  if (look.cable > 0) {
    // The cable fades out towards its end.
    QPainterPath cable;
    cable.moveTo(75, 2);
    cable.cubicTo(75, -look.cable * 0.3, 76, -look.cable * 0.6, 78, -look.cable);
    QLinearGradient fade(0, 0, 0, -look.cable);
    auto faded = [&](QColor colour) {
      fade.setStops({});
      fade.setColorAt(0, colour);
      fade.setColorAt(0.7, colour);
      fade.setColorAt(1, with_alpha(colour, 0));
      return QBrush(fade);
    };
    stroke(cable, QPen(faded(QColor(0x0b, 0x0c, 0x0e)), 5.5, Qt::SolidLine, Qt::FlatCap));
    stroke(cable, QPen(faded(QColor(0x23, 0x26, 0x2b)), 3.4, Qt::SolidLine, Qt::FlatCap));
    stroke(cable, QPen(faded(QColor(0x3a, 0x3e, 0x45, 160)), 1.0, Qt::DotLine, Qt::FlatCap));
    fill(rounded(QRectF(70, -16, 10, 19), 3), QColor(0x16, 0x18, 0x1b));
    fill(rounded(QRectF(71.5, -15, 7, 15), 2), QColor(0x24, 0x27, 0x2c));
  }

  // Side buttons sit under the flank and show past its edge.
  for (MousePart side : {MousePart::side_forward, MousePart::side_back}) {
    QLinearGradient g(-5, 0, 8, 0);
    g.setColorAt(0, QColor(0x3a, 0x3e, 0x46));
    g.setColorAt(1, QColor(0x1a, 0x1c, 0x20));
    fill(mouse_part(side), g);
    stroke(mouse_part(side), QPen(QColor(0x05, 0x06, 0x07), 1));
  }

  // Body: dark at the flanks, lifted on the hump of the palm.
  {
    QLinearGradient g(0, 0, kMouseSize.width(), 0);
    g.setColorAt(0.0, QColor(0x0f, 0x10, 0x13));
    g.setColorAt(0.22, QColor(0x1f, 0x22, 0x27));
    g.setColorAt(0.5, QColor(0x28, 0x2b, 0x31));
    g.setColorAt(0.78, QColor(0x1f, 0x22, 0x27));
    g.setColorAt(1.0, QColor(0x0f, 0x10, 0x13));
    fill(body, g);
    QRadialGradient hump(QPointF(70, 205), 95);
    hump.setColorAt(0, QColor(255, 255, 255, 30));
    hump.setColorAt(1, QColor(255, 255, 255, 0));
    fill(body, hump);
    // A soft sheen along the spine of the palm.
    QRadialGradient spine(QPointF(0, 0), 1);
    spine.setColorAt(0, QColor(255, 255, 255, 22));
    spine.setColorAt(1, QColor(255, 255, 255, 0));
    p.save();
    p.setTransform(place, true);
    p.setClipPath(body);
    p.translate(72, 215);
    p.scale(24, 78);
    p.fillRect(QRectF(-1, -1, 2, 2), spine);
    p.restore();
  }
  // Main buttons: a slightly different, smoother finish.
  for (MousePart b : {MousePart::left_button, MousePart::right_button}) {
    QLinearGradient g(0, 0, 0, 150);
    g.setColorAt(0, QColor(0x1b, 0x1d, 0x21));
    g.setColorAt(1, QColor(0x2a, 0x2d, 0x33));
    fill(mouse_part(b), g);
    QLinearGradient sheen(0, 0, kMouseSize.width(), 0);
    const bool left = b == MousePart::left_button;
    sheen.setColorAt(left ? 0.25 : 0.75, QColor(255, 255, 255, 18));
    sheen.setColorAt(left ? 0.0 : 1.0, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.5, QColor(255, 255, 255, 0));
    fill(mouse_part(b), sheen);
  }
  // Seams around the buttons: a dark groove with a lit lower lip.
  for (MousePart b : {MousePart::left_button, MousePart::right_button}) {
    clipped(body, [&] {
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(QColor(0x3c, 0x40, 0x48, 150), 1.0));
      p.drawPath(mouse_part(b).translated(0, 1));
      p.setPen(QPen(QColor(0x04, 0x05, 0x06), 1.3));
      p.drawPath(mouse_part(b));
    });
  }
  // Rim light along both flanks.
  {
    QLinearGradient g(0, 0, 0, kMouseSize.height());
    g.setColorAt(0, QColor(0x50, 0x55, 0x5e, 190));
    g.setColorAt(0.6, QColor(0x40, 0x44, 0x4c, 110));
    g.setColorAt(1, QColor(0x30, 0x33, 0x39, 60));
    clipped(body, [&] {
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(QBrush(g), 2.2));
      p.drawPath(body);
    });
    stroke(body, QPen(QColor(0x03, 0x03, 0x04), 1.2));
  }

  // Wheel well and wheel.
  {
    fill(wheel_well(), QColor(0x07, 0x08, 0x09));
    stroke(wheel_well(), QPen(QColor(0x38, 0x3c, 0x43, 150), 0.8));
    const QPainterPath wheel = mouse_part(MousePart::wheel);
    QLinearGradient g(67, 0, 83, 0);
    g.setColorAt(0, QColor(0x15, 0x16, 0x19));
    g.setColorAt(0.5, QColor(0x3d, 0x41, 0x48));
    g.setColorAt(1, QColor(0x15, 0x16, 0x19));
    fill(wheel, g);
    clipped(wheel, [&] {
      for (double y = 27; y < 73; y += 3.2) {
        const double shade = 1.0 - std::abs(y - 49) / 26.0;
        p.setPen(QPen(QColor(0x06, 0x07, 0x08, static_cast<int>(90 + 120 * shade)), 1.1));
        p.drawLine(QPointF(67, y), QPointF(83, y));
      }
      QLinearGradient light(0, 25, 0, 73);
      light.setColorAt(0, QColor(255, 255, 255, 0));
      light.setColorAt(0.45, QColor(255, 255, 255, 40));
      light.setColorAt(1, QColor(255, 255, 255, 0));
      p.fillRect(QRectF(67, 25, 16, 48), light);
    });
  }
  // Tilt marks beside the wheel.
  for (MousePart t : {MousePart::tilt_left, MousePart::tilt_right}) {
    fill(mouse_part(t).translated(0, 0.8), QColor(0, 0, 0, 160));
    fill(mouse_part(t), QColor(0x4a, 0x4f, 0x57));
  }
  // Top buttons behind the wheel.
  for (MousePart t : {MousePart::top_front, MousePart::top_rear}) {
    const QPainterPath shape = mouse_part(t);
    fill(shape.translated(0, 1), QColor(0, 0, 0, 170));
    QLinearGradient g(0, shape.boundingRect().top(), 0, shape.boundingRect().bottom());
    g.setColorAt(0, QColor(0x3e, 0x42, 0x4a));
    g.setColorAt(1, QColor(0x24, 0x27, 0x2c));
    fill(shape, g);
    stroke(shape, QPen(QColor(0x05, 0x06, 0x07), 0.9));
  }

  // Emblem on the palm: two nested chevrons, and the light strip at the rear.
  {
    QPainterPath emblem;
    emblem.moveTo(75, 236);
    emblem.lineTo(92, 258);
    emblem.lineTo(86, 258);
    emblem.lineTo(75, 244);
    emblem.lineTo(64, 258);
    emblem.lineTo(58, 258);
    emblem.closeSubpath();
    QPainterPath inner;
    inner.moveTo(75, 250);
    inner.lineTo(84, 262);
    inner.lineTo(66, 262);
    inner.closeSubpath();
    emblem.addPath(inner);
    fill(emblem.translated(0, 0.8), QColor(0, 0, 0, 150));
    fill(emblem, QColor(0x4c, 0x51, 0x5a));
    fill(inner, with_alpha(ink::accent, 210));

    QPainterPath strip;
    strip.moveTo(22, 282);
    strip.cubicTo(40, 304, 58, 311, 75, 311);
    strip.cubicTo(92, 311, 110, 304, 128, 282);
    QPainterPathStroker stroker;
    stroker.setWidth(3.0);
    stroker.setCapStyle(Qt::RoundCap);
    const QPainterPath band = stroker.createStroke(strip);
    if (look.light > 0) paint_glow(c, place.map(band), ink::accent, 6, 0.9 * look.light);
    fill(band, mix(ink::accent, QColor(0x40, 0x10, 0x12), 1.0 - std::min(1.0, look.light)));
    stroker.setWidth(1.0);
    fill(stroker.createStroke(strip), with_alpha(QColor(255, 150, 150), static_cast<int>(150 * look.light)));
  }

  // The highlighted part: filled with the accent, glowing.
  if (look.highlight >= 0 && look.highlight < kMousePartCount) {
    const QPainterPath shape = mouse_part(static_cast<MousePart>(look.highlight));
    paint_glow(c, place.map(shape), ink::accent_hover, 9, 1.8);
    const QRectF box = shape.boundingRect();
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, with_alpha(ink::accent_hover, 235));
    g.setColorAt(1, with_alpha(ink::accent_pressed, 235));
    fill(shape, g);
    clipped(shape, [&] {
      p.fillPath(shape.subtracted(shape.translated(0, 1.2)), QColor(255, 190, 190, 170));
    });
    stroke(shape, QPen(ink::accent_hover, 1.0));
  }
}

}  // namespace skins
