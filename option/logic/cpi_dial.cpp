#include "option/logic/cpi_dial.h"

#include <cmath>
#include <numbers>

namespace mt {

namespace {

// Slack for points computed on an edge: atan2 and the step are not exact.
constexpr double kEdgeSlackDeg = 1e-9;

double radians(double deg) { return deg * std::numbers::pi / 180.0; }

}  // namespace

PointD dial_point(PointD centre, double length, double deg) {
  // The angle counts upwards on the screen, y counts downwards.
  return {centre.x + length * std::cos(radians(deg)), centre.y - length * std::sin(radians(deg))};
}

CpiDial::CpiDial(PixelRect rect)
    : rect_(rect), centre_{(rect.left + rect.right) / 2.0, (rect.top + rect.bottom) / 2.0} {}

double CpiDial::clockwise_from_start(double x, double y) const {
  double deg = std::atan2(centre_.y - y, x - centre_.x) * 180.0 / std::numbers::pi;
  double off = std::fmod(kStartDeg - deg, 360.0);
  if (off < 0) off += 360.0;
  return off;
}

bool CpiDial::region_contains(int k, double x, double y) const {
  if (k < 1 || k > kValues) return false;
  double dx = x - centre_.x;
  double dy = y - centre_.y;
  double dist2 = dx * dx + dy * dy;
  if (dist2 > kRadius * kRadius) return false;
  if (dist2 == 0) return true;  // the apex of every pie
  return clockwise_from_start(x, y) <= k * -kStepDeg + kEdgeSlackDeg;
}

bool CpiDial::clip_contains(double x, double y) const {
  double a = rect_.width() / 2.0;
  double b = rect_.height() / 2.0;
  if (a <= 0 || b <= 0) return false;
  double u = (x - centre_.x) / a;
  double v = (y - centre_.y) / b;
  return u * u + v * v <= 1.0;
}

std::optional<int> CpiDial::hit(double x, double y) const {
  if (!clip_contains(x, y)) return std::nullopt;
  for (int k = 1; k <= kValues; ++k)
    if (region_contains(k, x, y)) return k;
  return std::nullopt;
}

std::optional<DialPie> CpiDial::sector(int n) const {
  if (n < 1 || n > kValues) return std::nullopt;
  return DialPie{centre_, kRadius, kStartDeg, n * kStepDeg};
}

double CpiDial::needle_angle(int n) { return kStartDeg + n * kStepDeg; }

std::optional<PointD> CpiDial::needle_end(int n) const {
  if (n < 1 || n > kValues) return std::nullopt;
  return dial_point(centre_, kRadius, needle_angle(n));
}

}  // namespace mt
