// The windows: each window's surface and panels, then every control of its
// plan drawn in the picture's state.
#include <QLinearGradient>
#include <algorithm>
#include <QRadialGradient>
#include <cmath>
#include <cstring>
#include <numbers>

#include "skins/glyphs.h"
#include "skins/mouse_art.h"
#include "skins/pictures.h"

namespace skins {

namespace L = mt::layout;

namespace {

QRectF inset(const QRect& r, double d) { return QRectF(r).adjusted(d, d, -d, -d); }
QRectF body_of(const QRect& r) { return inset(r, kGlowRoom + 0.5); }

// ---- Controls -------------------------------------------------------------

void paint_push(Canvas& c, const Control& k, State s, bool accent) {
  paint_body(c, rounded(body_of(k.rect), 6), s, accent);
}

void paint_ghost(Canvas& c, const Control& k, State s) {
  // No body in the normal picture: dialogs without this button show plain
  // footer there.
  if (s == State::normal || s == State::disable) return;
  paint_body(c, rounded(body_of(k.rect), 6), s);
}

void paint_toggle(Canvas& c, const Control& k, State s) {
  const QRectF b = body_of(k.rect);
  paint_body(c, rounded(b, 6), s);
  paint_indicator(c, b, s);
}

void paint_icon_button(Canvas& c, const Control& k, State s, Glyph g) {
  QPainter& p = c.p();
  const QRectF b = body_of(k.rect);
  const bool close = g == Glyph::cross;
  QPainterPath shape = rounded(b, 6);
  if (s == State::over) {
    paint_glow(c, shape, close ? ink::accent_hover : ink::accent, 3.5, 1.4);
    p.fillPath(shape, close ? ink::accent : ink::body_top.lighter(120));
    p.save();
    p.setPen(QPen(with_alpha(ink::accent_hover, 230), 1));
    p.drawPath(shape);
    p.restore();
  } else if (s == State::down) {
    shape.translate(1, 1);
    p.fillPath(shape, close ? ink::accent_pressed : ink::pressed_top);
    p.fillPath(shape.subtracted(shape.translated(0, 2)), QColor(0, 0, 0, 120));
  } else {
    p.fillPath(shape, QColor(255, 255, 255, 10));
  }
  const QColor colour = s == State::over ? QColor(0xf5, 0xf5, 0xf5)
                        : s == State::down ? QColor(0xd0, 0xd0, 0xd0)
                                           : ink::glyph;
  draw_glyph(c, g, b.translated(press_offset(s)), colour);
}

void paint_glyph_button(Canvas& c, const Control& k, State s, Glyph g, bool indicator,
                        double glyph_share = 0.5) {
  const QRectF b = body_of(k.rect);
  paint_body(c, rounded(b, 6), s);
  if (indicator) paint_indicator(c, b, s);
  const QColor colour = s == State::down ? ink::accent_hover : s == State::over ? QColor(0xe0, 0xe2, 0xe6) : ink::glyph;
  const double side = std::min(b.height() * glyph_share * 1.6, b.width() * 0.8);
  QRectF area(0, 0, side, b.height() * glyph_share);
  area.moveCenter(b.center() + press_offset(s) - QPointF(0, indicator ? 1.5 : 0));
  draw_glyph(c, g, area, colour);
}

void paint_language(Canvas& c, const Control& k, State s) {
  const QRectF b = body_of(k.rect);
  paint_body(c, rounded(b, 6), s);
  // A globe at the left; the label goes right of it.
  QRectF area(b.left() + 9, b.center().y() - 8, 16, 16);
  const QColor colour = s == State::over ? QColor(0xe0, 0xe2, 0xe6) : ink::glyph_dim;
  draw_glyph(c, Glyph::globe, area.translated(press_offset(s)), colour);
}

void paint_slot(Canvas& c, const Control& k, State s) {
  QPainter& p = c.p();
  const QRectF b = body_of(k.rect);
  paint_body(c, rounded(b, 6), s);
  // The connector where the slot's leader line leaves for the mouse.
  const QPointF dot(b.right() - 10, b.center().y());
  const QPointF at = dot + press_offset(s);
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 160));
  p.drawEllipse(at, 4.5, 4.5);
  const QColor lit = s == State::over ? ink::accent_hover : s == State::down ? ink::accent : QColor(0x5a, 0x5f, 0x68);
  if (s == State::over) paint_glow(c, [&] { QPainterPath d; d.addEllipse(at, 3, 3); return d; }(), ink::accent_hover, 4, 1.5);
  p.setBrush(lit);
  p.drawEllipse(at, 2.6, 2.6);
  p.restore();
}

void paint_level(Canvas& c, const Control& k, State s) {
  QPainter& p = c.p();
  const QPainterPath shape = level_shape(QSizeF(k.rect.size()), s == State::down).translated(k.rect.topLeft());
  paint_body(c, shape, s);
  // A lit edge on the left marks the level in use.
  const QRectF b = shape.boundingRect().translated(press_offset(s));
  const QRectF edge(b.left() + 5, b.top() + 9, 2.5, b.height() - 18);
  if (s == State::down) {
    paint_glow(c, rounded(edge, 1), ink::accent_hover, 3, 1.3);
    p.fillPath(rounded(edge, 1), ink::accent_hover);
  } else {
    p.fillPath(rounded(edge, 1), QColor(0, 0, 0, 140));
  }
}

void paint_marker(Canvas& c, const Control& k, State s) {
  QPainter& p = c.p();
  const QPainterPath shape = marker_shape(QSizeF(k.rect.size())).translated(k.rect.topLeft());
  paint_body(c, shape, s);
  const QRectF b = shape.boundingRect().translated(press_offset(s));
  // Three dots at the right end, lit when the row is the current profile.
  for (int i = 0; i < 3; ++i) {
    const QPointF at(b.right() - 34 + i * 9, b.center().y());
    if (s == State::down) {
      QPainterPath d;
      d.addEllipse(at, 2.6, 2.6);
      paint_glow(c, d, ink::accent_hover, 3, 1.2);
      p.fillPath(d, ink::accent_hover);
    } else {
      QPainterPath d;
      d.addEllipse(at, 2.4, 2.4);
      p.fillPath(d, s == State::over ? QColor(0x6a, 0x70, 0x7a) : QColor(0x3a, 0x3e, 0x45));
    }
  }
}

void paint_slider(Canvas& c, const Control& k, State s) {
  QPainter& p = c.p();
  const QRectF r(k.rect);
  const double half = kSliderThumb.width() / 2.0;
  const QRectF groove(r.left() + half - 2, r.center().y() - 3, r.width() - 2 * half + 4, 6);
  if (s == State::over) {
    paint_glow(c, rounded(groove.adjusted(-1, -1, 1, 1), 3), ink::accent_hover, 3.5, 1.4);
  }
  paint_recess(c, rounded(groove, 3), s == State::down ? QColor(0x05, 0x05, 0x06) : ink::recess);
  if (s == State::down) {
    // Held: the groove lights up along its length.
    const QRectF lit = groove.adjusted(2, 2, -2, -2);
    paint_glow(c, rounded(lit, 1), ink::accent, 2.5, 1.0);
    p.fillPath(rounded(lit, 1), ink::accent);
  }
  if (s == State::over) {
    p.save();
    p.setPen(QPen(with_alpha(ink::accent_hover, 200), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(rounded(groove.adjusted(-0.5, -0.5, 0.5, 0.5), 3.5));
    p.restore();
  }
  // Fine ticks under the groove: eleven steps.
  p.save();
  for (int i = 0; i <= 10; ++i) {
    const double x = std::round(groove.left() + 2 + (groove.width() - 4) * i / 10.0) + 0.5;
    const bool major = i == 0 || i == 5 || i == 10;
    p.setPen(QPen(major ? QColor(0x4a, 0x4f, 0x57) : QColor(0x33, 0x37, 0x3e), 1));
    p.drawLine(QPointF(x, groove.bottom() + 3), QPointF(x, groove.bottom() + (major ? 7 : 5)));
  }
  p.restore();
}

void paint_spin(Canvas& c, const Control& k, State s) {
  QPainter& p = c.p();
  const QRectF r = inset(k.rect, 1.5);
  const QPainterPath shape = rounded(r, 5);
  if (s == State::over) paint_glow(c, shape, ink::accent_hover, 3, 1.2);
  paint_recess(c, shape);
  // The arrow column: the last 20 pixels, up in the top half, down below.
  const double col = r.width() < 70 ? 13 : 20;
  const QRectF arrows(r.right() - col, r.top() + 1, col - 1, r.height() - 2);
  QPainterPath column = rounded(arrows, 4);
  QLinearGradient g(arrows.topLeft(), arrows.bottomLeft());
  const bool down = s == State::down;
  g.setColorAt(0, down ? ink::pressed_top : ink::body_top);
  g.setColorAt(1, down ? ink::pressed_bottom : ink::body_bottom);
  p.fillPath(column, g);
  paint_hairline(c, QPointF(arrows.left() + 3, std::round(arrows.center().y()) + 0.5),
                 QPointF(arrows.right() - 3, std::round(arrows.center().y()) + 0.5), ink::recess_edge);
  const QColor colour = s == State::over ? QColor(0xf0, 0xf0, 0xf0) : down ? ink::accent_hover : ink::glyph;
  const QPointF off = press_offset(s);
  QRectF up(arrows.left(), arrows.top(), arrows.width(), arrows.height() / 2);
  QRectF dn(arrows.left(), arrows.center().y(), arrows.width(), arrows.height() / 2);
  draw_glyph(c, Glyph::chevron_up, up.adjusted(6, 3.5, -6, -3).translated(off), colour);
  draw_glyph(c, Glyph::chevron_down, dn.adjusted(6, 3, -6, -3.5).translated(off), colour);
  if (s == State::over) {
    p.save();
    p.setPen(QPen(with_alpha(ink::accent_hover, 200), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    p.restore();
  }
}

void paint_field(Canvas& c, const Control& k, State s) {
  const QPainterPath shape = rounded(inset(k.rect, 0.5), 5);
  if (s == State::over) paint_glow(c, shape, ink::accent, 2.5, 0.8);
  paint_recess(c, shape, QColor(0x05, 0x05, 0x06));
}

void paint_list(Canvas& c, const Control& k) {
  QPainter& p = c.p();
  const QRectF r = inset(k.rect, 0.5);
  // A bezel a little outside the list, then black where the list draws.
  paint_recess(c, rounded(r.adjusted(-3, -3, 3, 3), 7), QColor(0x09, 0x0a, 0x0b));
  p.fillPath(rounded(r, 4), Qt::black);
}

void paint_swatch(Canvas& c, const Control& k, State s) {
  QPainter& p = c.p();
  const QRectF b = body_of(k.rect);
  const QPainterPath frame = rounded(b, 7);
  paint_body(c, frame, s);
  // The colour itself, exactly, in a well inside the frame.
  QRectF well = b.adjusted(5, 5, -5, -5).translated(press_offset(s));
  const QPainterPath w = rounded(well, 4);
  p.fillPath(w.translated(0, -1), QColor(0, 0, 0, 170));
  p.fillPath(w, k.colour);
  if (s == State::down) {
    // The chosen colour: a white ring and the accent around the frame.
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xf5, 0xf5, 0xf5), 1.5));
    p.drawPath(rounded(well.adjusted(-2, -2, 2, 2), 5.5));
    p.restore();
  }
}

void paint_picker_bezel(Canvas& c, const Control& k) {
  // The colour picker draws its own field, slider and well with a black
  // outline; the art gives each a clean recess around it.
  QPainter& p = c.p();
  paint_recess(c, rounded(QRectF(k.rect).adjusted(-4, -4, 4, 4), 7), QColor(0x08, 0x09, 0x0a));
  p.fillRect(QRectF(k.rect), Qt::black);
}

void paint_switcher(Canvas& c, const Control& k, State s) {
  QPainter& p = c.p();
  const QRectF b = body_of(k.rect);
  QRectF track(0, 0, b.width(), std::min(b.height(), 22.0));
  track.moveCenter(b.center());
  const QPainterPath pill = rounded(track, track.height() / 2);
  const bool on = s == State::down;
  if (s == State::over) paint_glow(c, pill, ink::accent_hover, 3.5, 1.5);
  if (on) {
    QLinearGradient g(track.topLeft(), track.bottomLeft());
    g.setColorAt(0, ink::accent_pressed);
    g.setColorAt(1, ink::accent);
    p.fillPath(pill, g);
    p.fillPath(pill.subtracted(pill.translated(0, 2)), QColor(0, 0, 0, 110));
  } else {
    paint_recess(c, pill);
  }
  if (s == State::over) {
    p.save();
    p.setPen(QPen(with_alpha(ink::accent_hover, 220), 1));
    p.drawPath(pill);
    p.restore();
  }
  // The knob: left when off, right when on.
  const double d = track.height() - 4;
  QRectF knob(0, 0, d, d);
  knob.moveCenter(QPointF(on ? track.right() - d / 2 - 2 : track.left() + d / 2 + 2, track.center().y()));
  QPainterPath kp;
  kp.addEllipse(knob);
  paint_shadow(c, kp, 2, QPointF(0, 1), 160);
  QLinearGradient g(knob.topLeft(), knob.bottomLeft());
  g.setColorAt(0, QColor(0xd8, 0xdb, 0xe0));
  g.setColorAt(1, QColor(0x9a, 0x9f, 0xa8));
  p.fillPath(kp, g);
}

void paint_test_pad(Canvas& c, const Control& k) {
  QPainter& p = c.p();
  const QRectF r = inset(k.rect, 0.5);
  paint_recess(c, rounded(r, 7));
  // A target: where the user double-clicks to try the speed.
  const QPointF centre = r.center();
  p.save();
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 3; ++i) {
    p.setPen(QPen(i == 0 ? with_alpha(ink::accent, 200) : QColor(0x3a, 0x3e, 0x45), i == 0 ? 1.6 : 1.0));
    const double rad = 5 + i * 6;
    p.drawEllipse(centre, rad, rad);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(ink::accent);
  p.drawEllipse(centre, 2, 2);
  p.restore();
}

void paint_text_chip(Canvas& c, const Control& k) {
  paint_recess(c, rounded(QRectF(k.rect).adjusted(-2, 0.5, 2, -0.5), 5), QColor(0x10, 0x11, 0x13));
}

// The home panel's button: a round lens with an open book.
void paint_guide(Canvas& c, const Control& k, State s) {
  QPainter& p = c.p();
  const QRectF r = QRectF(k.rect).adjusted(kGlowRoom + 0.5, kGlowRoom + 0.5, -kGlowRoom - 0.5, -kGlowRoom - 0.5);
  const QPointF centre = r.center();
  QPainterPath ring;
  ring.addEllipse(r);
  const double inner_r = r.width() / 2 - 12;
  QPainterPath lens;
  lens.addEllipse(centre + press_offset(s), inner_r, inner_r);
  if (s == State::over) paint_glow(c, ring, ink::accent_hover, 4, 1.6);
  else paint_shadow(c, ring, 8, QPointF(0, 3), 170);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, QColor(0x32, 0x36, 0x3d));
  g.setColorAt(1, QColor(0x18, 0x1a, 0x1d));
  p.fillPath(ring, g);
  p.save();
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(s == State::over ? ink::accent_hover : QColor(0x45, 0x4a, 0x52), 1));
  p.drawEllipse(r);
  p.restore();
  QRadialGradient lg(centre + QPointF(0, -inner_r * 0.3), inner_r * 1.2);
  if (s == State::down) {
    lg.setColorAt(0, ink::accent_pressed);
    lg.setColorAt(1, ink::accent_pressed.darker(160));
  } else if (s == State::over) {
    lg.setColorAt(0, ink::accent_hover);
    lg.setColorAt(1, ink::accent_pressed);
  } else {
    lg.setColorAt(0, ink::accent);
    lg.setColorAt(1, ink::accent_pressed.darker(130));
  }
  p.fillPath(lens, lg);
  p.fillPath(lens.subtracted(lens.translated(0, s == State::down ? 3 : -1.5)),
             s == State::down ? QColor(0, 0, 0, 120) : QColor(255, 170, 170, 120));
  QRectF book(0, 0, inner_r * 1.05, inner_r * 0.8);
  book.moveCenter(centre + press_offset(s) + QPointF(0, 2));
  draw_glyph(c, Glyph::book, book, QColor(0xf5, 0xf5, 0xf5));
  // Fine ticks around the lens, like a bezel.
  p.save();
  for (int i = 0; i < 60; ++i) {
    const double a = i * 6 * std::numbers::pi / 180.0;
    const double r1 = inner_r + 4, r2 = inner_r + (i % 5 == 0 ? 9 : 6.5);
    p.setPen(QPen(i % 5 == 0 ? QColor(0x6a, 0x70, 0x7a) : QColor(0x3e, 0x43, 0x4b), 1));
    p.drawLine(centre + QPointF(r1 * std::cos(a), r1 * std::sin(a)), centre + QPointF(r2 * std::cos(a), r2 * std::sin(a)));
  }
  p.restore();
}

}  // namespace

void paint_dial(Canvas& c, const QRect& rect);

void paint_control(Canvas& c, const Control& k, State s) {
  switch (k.kind) {
    case Kind::push: paint_push(c, k, s, false); break;
    case Kind::primary: paint_push(c, k, s, true); break;
    case Kind::ghost: paint_ghost(c, k, s); break;
    case Kind::toggle:
    case Kind::segment: paint_toggle(c, k, s); break;
    case Kind::tab: {
      const QPainterPath body = tab_shape(QSizeF(k.rect.size()) - QSizeF(2 * kGlowRoom + 1, 2 * kGlowRoom + 1))
                                    .translated(QPointF(k.rect.topLeft()) + QPointF(kGlowRoom + 0.5, kGlowRoom + 0.5));
      paint_body(c, body, s);
      const QRectF b = body.boundingRect().translated(press_offset(s));
      // A rail on the left lights up for the page shown; the page's glyph
      // next to it.
      const QRectF rail(b.left() + 6, b.top() + 12, 3, b.height() - 24);
      if (s == State::down) {
        paint_glow(c, rounded(rail, 1.5), ink::accent_hover, 3.5, 1.4);
        c.p().fillPath(rounded(rail, 1.5), ink::accent_hover);
      } else {
        c.p().fillPath(rounded(rail, 1.5), QColor(0, 0, 0, 150));
      }
      static constexpr Glyph glyphs[5] = {Glyph::gauge, Glyph::mouse, Glyph::spark, Glyph::layers, Glyph::house};
      const QRectF g(b.left() + 22, b.center().y() - 10, 20, 20);
      draw_glyph(c, glyphs[std::clamp(k.variant, 0, 4)], g,
                 s == State::down ? ink::accent_hover : s == State::over ? QColor(0xe0, 0xe2, 0xe6) : ink::glyph);
      break;
    }
    case Kind::close: paint_icon_button(c, k, s, Glyph::cross); break;
    case Kind::minimise: paint_icon_button(c, k, s, Glyph::bar); break;
    case Kind::browse: paint_glyph_button(c, k, s, Glyph::folder, false, 0.52); break;
    case Kind::guide: paint_guide(c, k, s); break;
    case Kind::language: paint_language(c, k, s); break;
    case Kind::slot: paint_slot(c, k, s); break;
    case Kind::level: paint_level(c, k, s); break;
    case Kind::marker: paint_marker(c, k, s); break;
    case Kind::slider: paint_slider(c, k, s); break;
    case Kind::spin: paint_spin(c, k, s); break;
    case Kind::field: paint_field(c, k, s); break;
    case Kind::list: paint_list(c, k); break;
    case Kind::picture: break;
    case Kind::dial: paint_dial(c, k.rect); break;
    case Kind::swatch: paint_swatch(c, k, s); break;
    case Kind::colour_field:
    case Kind::colour_slider:
    case Kind::colour_well: paint_picker_bezel(c, k); break;
    case Kind::switcher: paint_switcher(c, k, s); break;
    case Kind::link: paint_glyph_button(c, k, s, Glyph::link, false, 0.66); break;
    case Kind::test_pad: paint_test_pad(c, k); break;
    case Kind::scroll_lines: paint_glyph_button(c, k, s, Glyph::lines, true, 0.56); break;
    case Kind::scroll_page: paint_glyph_button(c, k, s, Glyph::page, true, 0.6); break;
    case Kind::rate: {
      const QRectF b = body_of(k.rect);
      paint_body(c, rounded(b, 6), s);
      paint_indicator(c, b, s);
      // Rising bars at the left: more bars, more reports a second. The rate
      // itself is the button's caption, right of them.
      QRectF bars(b.left() + 8, b.center().y() - 7, 12, 12);
      draw_bars(c, bars.translated(press_offset(s)), k.variant,
                s == State::down ? ink::accent_hover : s == State::over ? QColor(0xd0, 0xd3, 0xd8) : ink::glyph_dim);
      break;
    }
    case Kind::text: paint_text_chip(c, k); break;
  }
}

// ---- Dial -----------------------------------------------------------------

void paint_dial(Canvas& c, const QRect& rect) {
  QPainter& p = c.p();
  const QPointF centre = QRectF(rect).center();
  constexpr double kRadius = 94, kStart = 248, kSweep = -230;
  auto at = [&](double deg, double r) {
    const double a = deg * std::numbers::pi / 180.0;
    return QPointF(centre.x() + r * std::cos(a), centre.y() - r * std::sin(a));
  };
  // Bezel: a raised ring around the dark face.
  QPainterPath outer;
  outer.addEllipse(centre, kRadius + 14, kRadius + 14);
  QPainterPath face;
  face.addEllipse(centre, kRadius, kRadius);
  paint_shadow(c, outer, 6, QPointF(0, 2), 150);
  {
    QLinearGradient g(centre - QPointF(0, kRadius + 14), centre + QPointF(0, kRadius + 14));
    g.setColorAt(0, QColor(0x2c, 0x30, 0x36));
    g.setColorAt(1, QColor(0x17, 0x19, 0x1c));
    p.fillPath(outer.subtracted(face), g);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x3e, 0x43, 0x4b), 1));
    p.drawEllipse(centre, kRadius + 13.5, kRadius + 13.5);
    p.setPen(QPen(ink::panel_edge, 1));
    p.drawEllipse(centre, kRadius + 14.5, kRadius + 14.5);
    p.restore();
  }
  // Face: dark, slightly lifted towards the centre.
  {
    QRadialGradient g(centre, kRadius);
    g.setColorAt(0, QColor(0x17, 0x19, 0x1c));
    g.setColorAt(0.8, QColor(0x0e, 0x0f, 0x11));
    g.setColorAt(1, QColor(0x07, 0x08, 0x09));
    p.fillPath(face, g);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0), 1.2));
    p.drawEllipse(centre, kRadius - 0.5, kRadius - 0.5);
    p.restore();
  }
  // The swept band and its twelve sectors: faint dividers on the face, ticks
  // on the bezel at every sector edge, a short tick in each sector's middle.
  p.save();
  for (int k = 0; k <= 12; ++k) {
    const double deg = kStart + kSweep * k / 12.0;
    p.setPen(QPen(QColor(0x22, 0x25, 0x2a), 1));
    p.drawLine(at(deg, 26), at(deg, kRadius - 2));
    const bool end = k == 0 || k == 12;
    p.setPen(QPen(end ? ink::accent : QColor(0x8a, 0x90, 0x99), end ? 2.2 : 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(at(deg, kRadius + 3.5), at(deg, kRadius + 10.5));
    if (k < 12) {
      const double mid = kStart + kSweep * (k + 0.5) / 12.0;
      p.setPen(QPen(QColor(0x4a, 0x4f, 0x57), 1.2, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(at(mid, kRadius + 4.5), at(mid, kRadius + 7.5));
    }
  }
  // Rings that give the face depth.
  p.setBrush(Qt::NoBrush);
  for (double r : {34.0, 64.0}) {
    p.setPen(QPen(QColor(0x1c, 0x1f, 0x23), 1));
    p.drawEllipse(centre, r, r);
  }
  p.restore();
  // The hub the needle turns on.
  QPainterPath hub;
  hub.addEllipse(centre, 11, 11);
  paint_shadow(c, hub, 3, QPointF(0, 1), 170);
  QLinearGradient g(centre - QPointF(0, 11), centre + QPointF(0, 11));
  g.setColorAt(0, QColor(0x40, 0x44, 0x4c));
  g.setColorAt(1, QColor(0x1d, 0x1f, 0x23));
  p.fillPath(hub, g);
  QPainterPath pin;
  pin.addEllipse(centre, 3.5, 3.5);
  p.fillPath(pin, ink::accent);
}

// ---- Windows --------------------------------------------------------------

namespace {

// Dims a layer's colours, keeping its coverage.
void desaturate(QImage& layer) {
  for (int y = 0; y < layer.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(layer.scanLine(y));
    for (int x = 0; x < layer.width(); ++x) {
      const QRgb px = line[x];
      const int a = qAlpha(px);
      if (a == 0) continue;
      const double r = qRed(px), g = qGreen(px), b = qBlue(px);  // premultiplied
      const double lum = 0.30 * r + 0.59 * g + 0.11 * b;
      auto ch = [&](double v) { return std::min(a, static_cast<int>(std::lround((0.15 * v + 0.85 * lum) * 0.6))); };
      line[x] = qRgba(ch(r), ch(g), ch(b), a);
    }
  }
}

void paint_controls(Canvas& c, const Window& w, State s) {
  if (s != State::disable) {
    for (const Control& k : w.controls) paint_control(c, k, s);
    return;
  }
  // Disabled controls: each drawn as normal on its own layer, then
  // desaturated and dimmed; the surface around them stays as it is, so a
  // disabled control's cut sits cleanly on its window.
  QPainter& p = c.p();
  const int margin = 8;
  for (const Control& k : w.controls) {
    const QRect area = k.rect.adjusted(-margin, -margin, margin, margin);
    Canvas layer(area.size(), c.scale());
    layer.p().translate(-area.topLeft());
    paint_control(layer, k, State::normal);
    QImage img = layer.image();
    desaturate(img);
    p.save();
    p.resetTransform();
    p.drawImage(area.topLeft() * c.scale(), img);
    p.restore();
  }
}

// A page's own surface: it sits in the main window's page well.
void paint_page_surface(Canvas& c, QSize size) {
  QPainter& p = c.p();
  const QRectF r(QPointF(0, 0), QSizeF(size));
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, QColor(0x1a, 0x1c, 0x20));
  g.setColorAt(1, QColor(0x14, 0x15, 0x18));
  p.fillRect(r, g);
  // The page's rim: lit on top, dark below, following the mask's corners.
  p.save();
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0x2e, 0x32, 0x38), 1));
  p.drawPath(rounded(r.adjusted(0.5, 0.5, -0.5, -0.5), 12));
  p.restore();
}

// The dialogs' common frame: a header band over the title box, a hairline
// under it, the body and the footer.
void paint_dialog_frame(Canvas& c, QSize size, double header_bottom, double footer_top) {
  QPainter& p = c.p();
  const QRectF r(QPointF(0, 0), QSizeF(size));
  p.fillRect(r, ink::outside);
  const QPainterPath shape = rounded(r.adjusted(0.5, 0.5, -0.5, -0.5), 12);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, ink::surface_top);
  g.setColorAt(1, ink::surface_bottom);
  p.fillPath(shape, g);
  p.save();
  p.setClipPath(shape);
  QLinearGradient head(0, 0, 0, header_bottom);
  head.setColorAt(0, QColor(0x25, 0x28, 0x2e));
  head.setColorAt(1, QColor(0x1d, 0x1f, 0x24));
  p.fillRect(QRectF(0, 0, r.width(), header_bottom), head);
  // An accent thread across the header's foot, brightest in the middle.
  QLinearGradient thread(0, 0, r.width(), 0);
  thread.setColorAt(0, with_alpha(ink::accent, 0));
  thread.setColorAt(0.5, with_alpha(ink::accent, 220));
  thread.setColorAt(1, with_alpha(ink::accent, 0));
  p.fillRect(QRectF(0, header_bottom - 1, r.width(), 1), QColor(0x0a, 0x0b, 0x0d));
  p.fillRect(QRectF(r.width() * 0.2, header_bottom - 1, r.width() * 0.6, 1), thread);
  p.fillRect(QRectF(0, header_bottom, r.width(), 1), QColor(0x2a, 0x2d, 0x33));
  // Footer: a slightly darker shelf for the buttons.
  p.fillRect(QRectF(0, footer_top, r.width(), r.height() - footer_top), QColor(0x10, 0x11, 0x13));
  p.fillRect(QRectF(0, footer_top, r.width(), 1), QColor(0x08, 0x09, 0x0a));
  p.fillRect(QRectF(0, footer_top + 1, r.width(), 1), QColor(0x26, 0x29, 0x2e));
  p.restore();
  p.save();
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0x38, 0x3c, 0x43), 1));
  p.drawPath(rounded(r.adjusted(1.5, 1.5, -1.5, -1.5), 11));
  p.setPen(QPen(QColor(0x05, 0x05, 0x06), 1));
  p.drawPath(shape);
  p.restore();
}

void paint_emblem(Canvas& c, QPointF centre, double size) {
  QPainter& p = c.p();
  // A hexagon with two chevrons: the product's mark, no letters.
  QPainterPath hex;
  for (int i = 0; i < 6; ++i) {
    const double a = (60.0 * i - 90.0) * std::numbers::pi / 180.0;
    const QPointF pt(centre.x() + size * std::cos(a), centre.y() + size * std::sin(a));
    if (i == 0) hex.moveTo(pt); else hex.lineTo(pt);
  }
  hex.closeSubpath();
  paint_glow(c, hex, ink::accent, 5, 0.35);
  QLinearGradient g(centre - QPointF(0, size), centre + QPointF(0, size));
  g.setColorAt(0, QColor(0x2c, 0x30, 0x36));
  g.setColorAt(1, QColor(0x16, 0x18, 0x1b));
  p.fillPath(hex, g);
  p.save();
  p.setPen(QPen(with_alpha(ink::accent, 230), 1.4));
  p.setBrush(Qt::NoBrush);
  p.drawPath(hex);
  p.restore();
  QPainterPath chev;
  const double s = size / 20.0;
  auto pt = [&](double x, double y) { return centre + QPointF(x * s, y * s); };
  chev.moveTo(pt(0, -9)); chev.lineTo(pt(10, 3)); chev.lineTo(pt(6, 3)); chev.lineTo(pt(0, -4));
  chev.lineTo(pt(-6, 3)); chev.lineTo(pt(-10, 3)); chev.closeSubpath();
  QPainterPath inner;
  inner.moveTo(pt(0, 1)); inner.lineTo(pt(6, 9)); inner.lineTo(pt(-6, 9)); inner.closeSubpath();
  p.fillPath(chev, QColor(0xc8, 0xcc, 0xd2));
  p.fillPath(inner, ink::accent);
}

void paint_main(Canvas& c, const Window& w) {
  QPainter& p = c.p();
  const QRectF r(QPointF(0, 0), QSizeF(w.size));
  p.fillRect(r, ink::outside);
  const QPainterPath shape = rounded(r.adjusted(0.5, 0.5, -0.5, -0.5), 12);
  p.save();
  p.setClipPath(shape);
  paint_surface(c, r);
  // Top bar.
  QLinearGradient bar(0, 0, 0, 62);
  bar.setColorAt(0, QColor(0x22, 0x25, 0x2a));
  bar.setColorAt(1, QColor(0x19, 0x1b, 0x1f));
  p.fillRect(QRectF(0, 0, r.width(), 62), bar);
  p.fillRect(QRectF(0, 61, r.width(), 1), QColor(0x08, 0x09, 0x0a));
  p.fillRect(QRectF(0, 62, r.width(), 1), QColor(0x2a, 0x2d, 0x33));
  p.restore();
  paint_emblem(c, QPointF(52, 33), 19);

  // Device card on the left: the mouse, the firmware line, the actions.
  const QRectF card(12, 74, 346, 534);
  paint_panel(c, card, 10);
  {
    p.save();
    p.setClipPath(rounded(card.adjusted(1, 1, -1, -1), 9));
    // A pedestal the mouse rests on.
    QPainterPath ring;
    ring.addEllipse(QPointF(185, 226), 84, 13);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x33, 0x37, 0x3e), 1));
    p.drawPath(ring);
    p.setPen(QPen(with_alpha(ink::accent, 120), 1));
    p.drawArc(QRectF(185 - 84, 226 - 13, 168, 26), 200 * 16, 140 * 16);
    QTransform place;
    place.translate(185 - 75 * 0.46, 84);
    place.scale(0.46, 0.46);
    MouseLook look;
    look.light = 1.0;
    paint_mouse(c, place, look);
    p.restore();
  }
  paint_hairline(c, QPointF(28, 246.5), QPointF(342, 246.5), ink::hairline);
  paint_hairline(c, QPointF(28, 292.5), QPointF(342, 292.5), ink::hairline);
  // The page well: the pages, the profile and home panels sit here.
  const QRectF well(370, 66, 720, 470);
  p.save();
  p.setBrush(Qt::NoBrush);
  for (int i = 1; i <= 6; ++i) {
    p.setPen(QPen(QColor(0, 0, 0, 90 - i * 13), 1));
    p.drawRoundedRect(well.adjusted(-i - 0.5, -i + 0.5, i + 0.5, i + 1.5), 12 + i, 12 + i);
  }
  p.restore();
  p.fillPath(rounded(well.adjusted(-1, -1, 1, 1), 13), QColor(0x06, 0x07, 0x08));
  p.fillPath(rounded(well, 12), QColor(0x14, 0x15, 0x18));
  // The footer shelf under the page: restore on the left, Apply, OK and
  // Cancel on the right.
  paint_panel(c, QRectF(370, 546, 720, 62), 10);
  // Outer rim.
  p.save();
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0x3a, 0x3e, 0x45), 1));
  p.drawPath(rounded(r.adjusted(1.5, 1.5, -1.5, -1.5), 11));
  p.setPen(QPen(QColor(0x04, 0x04, 0x05), 1));
  p.drawPath(shape);
  p.restore();
}

}  // namespace

// Where the mouse stands on the button page: under the heading, at the
// right, a little larger than life.
constexpr QPointF kMouseOrigin{510, 92};
constexpr double kMouseScale = 1.1;

// The button page's backdrop and leader lines, shared with the mouse pictures
// so both meet without a seam at the picture rectangle.
void paint_button_page_backdrop(Canvas& c) {
  QPainter& p = c.p();
  const Window& w = window("button");
  paint_page_surface(c, w.size);
  const QRect pic = mouse_picture_rect();
  // A stage for the mouse: a soft light from above, a floor line.
  QRadialGradient light(QPointF(kMouseOrigin.x() + 82, pic.top() + 170), 230);
  light.setColorAt(0, QColor(0x2a, 0x2d, 0x33, 150));
  light.setColorAt(1, QColor(0x2a, 0x2d, 0x33, 0));
  p.fillRect(QRectF(300, 0, 420, 470), light);
  QRadialGradient warm(QPointF(kMouseOrigin.x() + 82, pic.top() + 380), 120);
  warm.setColorAt(0, with_alpha(ink::accent, 30));
  warm.setColorAt(1, with_alpha(ink::accent, 0));
  p.fillRect(QRectF(300, 250, 420, 220), warm);
  // Slot column card.
  paint_panel(c, QRectF(6, 20, 244, 436), 10);
  // Heading plate: a hairline under the heading box, fading out both ways.
  const L::Box& h = L::kButtonPageHeading;
  QLinearGradient rule(h.left - 30, 0, h.right + 30, 0);
  rule.setColorAt(0, with_alpha(ink::accent, 0));
  rule.setColorAt(0.5, with_alpha(ink::accent, 200));
  rule.setColorAt(1, with_alpha(ink::accent, 0));
  p.fillRect(QRectF(h.left - 30, h.bottom + 1, h.width() + 60, 1), rule);
}

QPointF slot_anchor_in_page(int part) {
  return kMouseOrigin + mouse_anchor(static_cast<MousePart>(part)) * kMouseScale;
}

QTransform mouse_place_in_page() {
  QTransform t = QTransform::fromTranslate(kMouseOrigin.x(), kMouseOrigin.y());
  return t.scale(kMouseScale, kMouseScale);
}

MouseLook page_mouse_look() {
  MouseLook look;
  look.cable = (kMouseOrigin.y() - 50) / kMouseScale;  // ends clear of the heading
  return look;
}

// Leader lines from each slot's connector to its part of the mouse; the one
// of the highlighted picture in the accent colour.
void paint_leaders(Canvas& c, int highlight_picture) {
  QPainter& p = c.p();
  const Window& w = window("button");
  for (const SlotLink& link : slot_links()) {
    const Control* slot = w.find(link.key);
    const QRectF b = QRectF(slot->rect).adjusted(kGlowRoom + 0.5, kGlowRoom + 0.5, -kGlowRoom - 0.5, -kGlowRoom - 0.5);
    const QPointF from(b.right() + 2, b.center().y());
    const QPointF to = slot_anchor_in_page(link.part);
    QPainterPath path;
    path.moveTo(from);
    const double bend = 300 + (to.y() - from.y()) * 0.0;
    path.lineTo(bend, from.y());
    path.lineTo(to);
    const bool lit = link.picture == highlight_picture;
    p.save();
    p.setBrush(Qt::NoBrush);
    // A dark edge keeps the line readable where it crosses the mouse.
    p.setPen(QPen(QColor(0, 0, 0, 120), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    if (lit) {
      QPainterPathStroker st;
      st.setWidth(1.6);
      paint_glow(c, st.createStroke(path), ink::accent_hover, 3, 1.2);
      p.setPen(QPen(ink::accent_hover, 1.4));
    } else {
      p.setPen(QPen(QColor(0x4a, 0x4f, 0x57, 200), 1));
    }
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 170));
    p.drawEllipse(to, 3.3, 3.3);
    p.setBrush(lit ? ink::accent_hover : QColor(0x9a, 0xa0, 0xa8));
    p.drawEllipse(to, 1.8, 1.8);
    p.restore();
  }
}

namespace {

void paint_button_page(Canvas& c, const Window&) {
  paint_button_page_backdrop(c);
  paint_mouse(c, mouse_place_in_page(), page_mouse_look());
  paint_leaders(c, 0);
}

void paint_performance_page(Canvas& c, const Window& w) {
  paint_page_surface(c, w.size);
  paint_panel(c, QRectF(10, 10, 364, 450), 10);
  paint_panel(c, QRectF(386, 10, 324, 450), 10);
  // Dividers between the right card's groups.
  for (double y : {94.5, 177.5, 221.5, 305.5})
    paint_hairline(c, QPointF(398, y), QPointF(694, y), ink::hairline);
  paint_hairline(c, QPointF(24, 280.5), QPointF(358, 280.5), ink::hairline);
}

void paint_lighting_page(Canvas& c, const Window& w) {
  paint_page_surface(c, w.size);
  paint_panel(c, QRectF(10, 10, 290, 262), 10);
  paint_panel(c, QRectF(310, 10, 400, 262), 10);
  paint_panel(c, QRectF(10, 282, 700, 180), 10);
  paint_hairline(c, QPointF(22, 128.5), QPointF(288, 128.5), ink::hairline);
  paint_hairline(c, QPointF(22, 377.5), QPointF(698, 377.5), ink::hairline);
}

void paint_profile_panel(Canvas& c, const Window& w) {
  QPainter& p = c.p();
  paint_page_surface(c, w.size);
  // Column heading band.
  paint_hairline(c, QPointF(24, 57.5), QPointF(696, 57.5), ink::hairline);
  for (int i = 0; i < 3; ++i) {
    const QRectF row(16, 66 + i * 132, 688, 120);
    paint_panel(c, row, 10);
    // Column separators inside the row.
    for (double x : {239.5, 357.5}) paint_hairline(c, QPointF(x, row.top() + 18), QPointF(x, row.bottom() - 18), ink::hairline);
    (void)p;
  }
}

void paint_home_panel(Canvas& c, const Window& w) {
  QPainter& p = c.p();
  paint_page_surface(c, w.size);
  // A wide stage: a fine grid fading out, the mouse lit from its right.
  p.save();
  for (int x = 20; x < 720; x += 24) {
    const int alpha = static_cast<int>(22 * (1.0 - std::abs(x - 360) / 380.0));
    p.setPen(QPen(QColor(0x3a, 0x3e, 0x45, std::max(0, alpha)), 1));
    p.drawLine(QPointF(x + 0.5, 20), QPointF(x + 0.5, 450));
  }
  for (int y = 20; y < 460; y += 24) {
    p.setPen(QPen(QColor(0x3a, 0x3e, 0x45, 14), 1));
    p.drawLine(QPointF(20, y + 0.5), QPointF(700, y + 0.5));
  }
  p.restore();
  QRadialGradient halo(QPointF(230, 250), 220);
  halo.setColorAt(0, with_alpha(ink::accent, 40));
  halo.setColorAt(0.5, with_alpha(ink::accent, 10));
  halo.setColorAt(1, with_alpha(ink::accent, 0));
  p.fillRect(QRectF(0, 0, 720, 470), halo);
  QTransform place;
  place.translate(230, 250);
  place.rotate(-14);
  place.scale(1.08, 1.08);
  place.translate(-75, -170);
  MouseLook look;
  look.light = 1.3;
  paint_mouse(c, place, look);

}

void paint_restore(Canvas& c, const Window& w) {
  paint_dialog_frame(c, w.size, 76, 200);
  // A shallow well for the message; in the single-key dialog it holds the
  // prompt and the key field.
  paint_recess(c, rounded(QRectF(16.5, 88.5, 411, 102), 8), QColor(0x15, 0x16, 0x19));
}

void paint_shortcut(Canvas& c, const Window& w) {
  paint_dialog_frame(c, w.size, 76, 200);
  // A "+" between the modifiers and the key field: they combine.
}

void paint_chooser(Canvas& c, const Window& w) {
  paint_dialog_frame(c, w.size, 76, 200);
  // The path field the window places at its fixed rectangle.
  const L::Box& f = L::kChooserPathField;
  paint_recess(c, rounded(QRectF(f.left - 0.5, f.top - 0.5, f.width() + 1, f.height() + 1), 4),
               QColor(0x05, 0x05, 0x06));
}

void paint_macro(Canvas& c, const Window& w) {
  paint_dialog_frame(c, w.size, 68, 466);
  paint_hairline(c, QPointF(298.5, 86), QPointF(298.5, 456), ink::hairline);
}

}  // namespace

QImage window_background(const Window& w, int scale) {
  Canvas c(w.size, scale, QImage::Format_RGB32);
  if (w.id == "main") paint_main(c, w);
  else if (w.id == "button") paint_button_page(c, w);
  else if (w.id == "sens") paint_performance_page(c, w);
  else if (w.id == "light") paint_lighting_page(c, w);
  else if (w.id == "profile") paint_profile_panel(c, w);
  else if (w.id == "home") paint_home_panel(c, w);
  else if (w.id == "restore") paint_restore(c, w);
  else if (w.id == "shortcut") paint_shortcut(c, w);
  else if (w.id == "progsel") paint_chooser(c, w);
  else if (w.id == "macro") paint_macro(c, w);
  return c.image();
}

void window_picture_into(QImage& out, const QImage& background, const Window& w, State state, int scale) {
  // Reusing one buffer for all states spares a fresh multi-megabyte picture
  // (and its page faults) per state.
  if (out.size() != background.size() || out.format() != background.format()) {
    out = background.copy();
  } else {
    std::memcpy(out.bits(), background.constBits(), static_cast<size_t>(background.sizeInBytes()));
  }
  Canvas c(out, scale);
  paint_controls(c, w, state);
}

QImage window_picture(const QImage& background, const Window& w, State state, int scale) {
  QImage img;
  window_picture_into(img, background, w, state, scale);
  return img;
}

QImage window_picture(const Window& w, State state, int scale) {
  return window_picture(window_background(w, scale), w, state, scale);
}

QImage window_mask(const Window& w, int scale) {
  return mask_image(w.size, scale, rounded(QRectF(QPointF(0, 0), QSizeF(w.size)), 12));
}

QImage mouse_picture(int picture, int scale) {
  const QRect pic = mouse_picture_rect();
  Canvas c(pic.size(), scale, QImage::Format_RGB32);
  c.p().translate(-pic.topLeft());
  c.p().setClipRect(pic);
  paint_button_page_backdrop(c);
  MouseLook look = page_mouse_look();
  for (const SlotLink& link : slot_links())
    if (link.picture == picture) look.highlight = link.part;
  paint_mouse(c, mouse_place_in_page(), look);
  paint_leaders(c, picture);
  return c.image();
}

}  // namespace skins
