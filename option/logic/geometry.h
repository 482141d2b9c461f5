// Plain pixel geometry shared by the page models: rectangles as the skin
// files give them and points in the same coordinates (x to the right, y
// downwards, as on the screen).
#pragma once

namespace mt {

// left/top inside, right/bottom one past the last pixel, as skin rectangles are.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  constexpr int width() const { return right - left; }
  constexpr int height() const { return bottom - top; }
  constexpr bool contains(int x, int y) const {
    return x >= left && x < right && y >= top && y < bottom;
  }
  friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct PointD {
  double x = 0;
  double y = 0;
};

}  // namespace mt
