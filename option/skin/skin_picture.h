// What a window makes of its skin pictures: its shape from a mask, and each
// control's picture as a straight cut of the window's picture.
#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>

namespace mt {

// The shape a mask picture gives: every pixel that is not pure white (red,
// green and blue all 255; alpha is not looked at) is inside. Each row's runs
// of such pixels become rectangles, and rows with the same runs share one
// band, handed to QRegion in one step (no per-pixel union). A null picture or
// an all-white one gives an empty region.
QRegion mask_to_region(const QImage& mask);

// The part of `picture` under `logical` (logical pixels), unscaled, as its own
// image with the picture's device pixel ratio, so a double-size picture gives
// a double-size cut that paints at the same logical size. Parts of the
// rectangle outside the picture are black (zero). A null picture or an empty
// rectangle gives a null image.
QImage cut_picture(const QImage& picture, const QRect& logical);

// The logical size of a picture: its pixel size over its device pixel ratio.
QSize logical_size(const QImage& picture);

}  // namespace mt
