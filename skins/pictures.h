// Every picture of the skin, drawn at a scale (1, or 2 for "@2x").
#pragma once

#include <QImage>
#include <QPainterPath>
#include <QRectF>

#include "skins/art_kit.h"
#include "skins/skin_plan.h"

namespace skins {

// A window's picture in one state (the disabled one included): its
// background, the same in every state, with the controls drawn over it.
QImage window_background(const Window& w, int scale);
QImage window_picture(const QImage& background, const Window& w, State state, int scale);
// The same into an image kept between calls.
void window_picture_into(QImage& out, const QImage& background, const Window& w, State state, int scale);
QImage window_picture(const Window& w, State state, int scale);
// A window's mask, the size of its pictures.
QImage window_mask(const Window& w, int scale);

// Shapes shared by a control's art and its mask, for a placement of that size
// at (0, 0).
QPainterPath tab_shape(QSizeF size);
QPainterPath level_shape(QSizeF size, bool pointer);
QPainterPath marker_shape(QSizeF size);
QImage shape_mask(QSizeF size, const QPainterPath& shape, int scale);

// Button page: the mouse picture for the picture rectangle, with the part of
// the given mouse picture number (1..9) highlighted, or none for 0.
QImage mouse_picture(int picture, int scale);

// The speed pictures, n = 0..10.
QImage scroll_speed_picture(int n, int scale);
QImage pointer_gauge_picture(int n, int scale);
QImage slider_thumb(int scale);

// Macro event row icons 163..166 (16 x 16 logical) and the program icon at a
// pixel size.
QImage row_icon(int id, int scale);
QImage program_icon(int px);

// The on-screen display's panel.
QImage osd_picture(int scale);
QImage osd_mask(int scale);

}  // namespace skins
