#include "option/logic/cpi_dial.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>

namespace mt {
namespace {

constexpr double kStep = 230.0 / 12;  // degrees per value, clockwise

// A dial whose rectangle is larger than the pies, so only the radius limits.
const CpiDial kDial({0, 0, 200, 200});

std::optional<int> hit_at(const CpiDial& dial, double deg, double dist) {
  PointD p = dial_point(dial.centre(), dist, deg);
  return dial.hit(p.x, p.y);
}

TEST(CpiDial, CentreIsTheRectangleCentre) {
  EXPECT_DOUBLE_EQ(kDial.centre().x, 100);
  EXPECT_DOUBLE_EQ(kDial.centre().y, 100);
  CpiDial odd({10, 20, 111, 71});
  EXPECT_DOUBLE_EQ(odd.centre().x, 60.5);
  EXPECT_DOUBLE_EQ(odd.centre().y, 45.5);
}

// Plain screen points, y downwards: catches an angle convention that is
// mirrored or counts the wrong way.
TEST(CpiDial, ScreenOrientation) {
  struct Case {
    double x, y;
    std::optional<int> k;
  } cases[] = {
      {60, 160, 1},         // below, left of the centre: the start of the dial
      {50, 100, 4},         // straight left
      {100, 50, 9},         // straight up
      {150, 80, 12},        // right, a little above the centre
      {150, 100, {}},       // straight right: past the end
      {100, 150, {}},       // straight down: before the start
      {140, 140, {}},       // lower right: the gap
      {100, 100, 1},        // the centre is the apex of every pie
  };
  for (const auto& c : cases) EXPECT_EQ(kDial.hit(c.x, c.y), c.k) << c.x << "," << c.y;
}

TEST(CpiDial, EachValueInsideItsOwnSector) {
  for (int k = 1; k <= 12; ++k) {
    double mid = 248 - (k - 0.5) * kStep;
    EXPECT_EQ(hit_at(kDial, mid, 50), k) << k;
    EXPECT_EQ(hit_at(kDial, mid, 93.5), k) << k;
    EXPECT_EQ(hit_at(kDial, mid, 3), k) << k;
  }
}

TEST(CpiDial, EdgesTakeTheLowerValue) {
  for (int k = 1; k <= 11; ++k) {
    double edge = 248 - k * kStep;
    EXPECT_EQ(hit_at(kDial, edge + 0.01, 60), k) << k;   // just before the edge
    EXPECT_EQ(hit_at(kDial, edge, 60), k) << k;          // on it
    EXPECT_EQ(hit_at(kDial, edge - 0.01, 60), k + 1) << k;  // just past it
  }
  // The outer edges of the whole sweep.
  EXPECT_EQ(hit_at(kDial, 248 - 0.01, 60), 1);
  EXPECT_EQ(hit_at(kDial, 248 + 0.01, 60), std::nullopt);
  EXPECT_EQ(hit_at(kDial, 18 + 0.01, 60), 12);
  EXPECT_EQ(hit_at(kDial, 18 - 0.01, 60), std::nullopt);
}

TEST(CpiDial, OutsideTheRadius) {
  EXPECT_EQ(hit_at(kDial, 150, 93.9), 6);
  EXPECT_EQ(hit_at(kDial, 150, 94.1), std::nullopt);
  EXPECT_EQ(kDial.hit(-5, -5), std::nullopt);
  EXPECT_EQ(kDial.hit(1000, 100), std::nullopt);
}

TEST(CpiDial, RegionsAreNested) {
  PointD p = dial_point(kDial.centre(), 40, 248 - 4.5 * kStep);  // in value 5's sector
  for (int k = 1; k <= 12; ++k) EXPECT_EQ(kDial.region_contains(k, p.x, p.y), k >= 5) << k;
  EXPECT_FALSE(kDial.region_contains(0, p.x, p.y));
  EXPECT_FALSE(kDial.region_contains(13, p.x, p.y));
}

TEST(CpiDial, EllipseOfTheRectangleClips) {
  // A small square: its circle (radius 60) is inside the pies' radius.
  CpiDial small({0, 0, 120, 120});
  EXPECT_EQ(hit_at(small, 150, 59), 6);
  EXPECT_EQ(hit_at(small, 150, 61), std::nullopt);
  // A wide rectangle: 60 pixels up from the centre is outside its ellipse
  // although within the radius; sideways it is not.
  CpiDial wide({0, 0, 300, 100});
  EXPECT_EQ(wide.hit(150, 45), 9);
  EXPECT_EQ(wide.hit(150, -10), std::nullopt);
  EXPECT_EQ(wide.hit(70, 50), 4);
  CpiDial empty({10, 10, 10, 10});
  EXPECT_EQ(empty.hit(10, 10), std::nullopt);
}

TEST(CpiDial, SectorAndNeedleOfAValue) {
  for (int n = 1; n <= 12; ++n) {
    auto pie = kDial.sector(n);
    ASSERT_TRUE(pie) << n;
    EXPECT_DOUBLE_EQ(pie->start_deg, 248);
    EXPECT_NEAR(pie->sweep_deg, -n * kStep, 1e-9);
    EXPECT_DOUBLE_EQ(pie->radius, 94);
    EXPECT_NEAR(CpiDial::needle_angle(n), 248 - n * kStep, 1e-9);
    // The needle lies on the far edge of sector n, and a click on it picks n.
    auto end = kDial.needle_end(n);
    ASSERT_TRUE(end) << n;
    EXPECT_NEAR(std::hypot(end->x - 100, end->y - 100), 94, 1e-9);
    PointD on = {100 + (end->x - 100) / 2, 100 + (end->y - 100) / 2};
    EXPECT_EQ(kDial.hit(on.x, on.y), n) << n;
  }
  EXPECT_NEAR(kDial.sector(12)->sweep_deg, -230, 1e-9);
  // Value 12 ends at 18 degrees: right of the centre and above it on screen.
  auto end12 = kDial.needle_end(12);
  EXPECT_NEAR(end12->x, 100 + 94 * std::cos(18 * std::numbers::pi / 180), 1e-9);
  EXPECT_NEAR(end12->y, 100 - 94 * std::sin(18 * std::numbers::pi / 180), 1e-9);
  for (int n : {0, -1, 13, 255}) {
    EXPECT_FALSE(kDial.sector(n)) << n;
    EXPECT_FALSE(kDial.needle_end(n)) << n;
  }
}

}  // namespace
}  // namespace mt
