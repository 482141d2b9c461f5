// The CPI dial of the performance page: twelve pie regions fanning out from
// one centre, value k covering region k. The geometry comes from the dial's
// skin rectangle alone, so the page only paints what this gives it and
// forwards clicks.
//
// Angles are in degrees, counted counter-clockwise from the positive x axis as
// seen on the screen (0 = 3 o'clock, 90 = 12 o'clock), which is also what
// QPainter's arc and pie functions take. A negative sweep runs clockwise.
// Points are screen coordinates with y downwards.
//
//   CpiDial dial({40, 60, 240, 260});
//   if (auto k = dial.hit(x, y)) store_dial_value(profile, *k);
//   if (auto pie = dial.sector(n)) painter.drawPie(box(pie), start16(pie), sweep16(pie));
//   if (auto end = dial.needle_end(n)) painter.drawLine(centre, *end);
#pragma once

#include <optional>

#include "option/logic/geometry.h"

namespace mt {

// One pie: from the centre out to `radius`, bounded by the arc that starts at
// `start_deg` and sweeps `sweep_deg`.
struct DialPie {
  PointD centre;
  double radius = 0;
  double start_deg = 0;
  double sweep_deg = 0;
};

// The screen point at `deg` and distance `length` from `centre`.
PointD dial_point(PointD centre, double length, double deg);

class CpiDial {
 public:
  static constexpr double kRadius = 94;
  static constexpr double kStartDeg = 248;
  static constexpr double kSweepDeg = -230;
  static constexpr int kValues = 12;
  // One value's share of the sweep, -19.1666... degrees: the twelfth region
  // ends exactly where the sweep does.
  static constexpr double kStepDeg = kSweepDeg / kValues;

  explicit CpiDial(PixelRect rect);

  const PixelRect& rect() const { return rect_; }
  // The centre of the rectangle, halves kept.
  PointD centre() const { return centre_; }

  // Region k (1..12): the pie from kStartDeg sweeping k x kStepDeg. Region k
  // holds region k - 1. Edges and the centre belong to the region.
  bool region_contains(int k, double x, double y) const;
  // Inside the ellipse of the skin rectangle, which clips the regions.
  bool clip_contains(double x, double y) const;
  // The value a click at (x, y) picks: the smallest k whose region holds the
  // point, so a click on the edge between two values takes the lower one.
  // Nothing outside the clipped regions.
  std::optional<int> hit(double x, double y) const;

  // What to fill for value n (1..12): region n. Nothing for any other value.
  std::optional<DialPie> sector(int n) const;
  // The needle's angle for value n: kStartDeg + n x kStepDeg.
  static double needle_angle(int n);
  // The needle runs from the centre to this point (kRadius long) for value
  // n in 1..12; nothing for any other value.
  std::optional<PointD> needle_end(int n) const;

 private:
  // Clockwise distance from the start angle to (x, y), 0 <= result < 360.
  double clockwise_from_start(double x, double y) const;

  PixelRect rect_;
  PointD centre_;
};

}  // namespace mt
