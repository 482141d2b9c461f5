// The mouse, seen from above, drawn with paths: the body, its nine buttons
// and the light strip. The mouse is laid out in its own pixels, 150 wide and
// 320 long, front up; a transform places it in a picture.
#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QTransform>

#include "skins/art_kit.h"

namespace skins {

enum class MousePart {
  left_button,
  right_button,
  wheel,
  tilt_left,
  tilt_right,
  top_front,
  top_rear,
  side_forward,
  side_back,
};
inline constexpr int kMousePartCount = 9;

inline constexpr QSizeF kMouseSize{150, 320};

// The outline of a part, in mouse pixels.
QPainterPath mouse_part(MousePart part);
// Where a leader line meets the part, in mouse pixels.
QPointF mouse_anchor(MousePart part);

struct MouseLook {
  int highlight = -1;       // MousePart to glow in the accent colour, or -1
  double cable = 80;        // length of the cable leaving the front (mouse pixels)
  double light = 1.0;       // strength of the light strip's glow
};

// Draws the mouse with its shadow, placed by the transform (mouse pixels to
// logical picture pixels; only translation, uniform scale and rotation).
void paint_mouse(Canvas& c, const QTransform& place, const MouseLook& look);

}  // namespace skins
