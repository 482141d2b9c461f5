// The look that Option draws itself, around the skin's pictures: the designed
// caption colours and fonts, and the plain surfaces a window or control shows
// when its pictures are missing (dark, with the red accent for over and down),
// so that a broken skin still gives a usable window.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <cstdint>

#include "option/skin/skin_folder.h"
#include "option/skin/skin_placement.h"

class QPainter;

namespace mt::look {

// A colour in the design's 0x00BBGGRR form.
constexpr QRgb rgb_of_colorref(uint32_t colorref) {
  return qRgb(colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF);
}
inline QColor from_colorref(uint32_t colorref) { return QColor(rgb_of_colorref(colorref)); }

// Caption colours of the skinned buttons (0x00BBGGRR as designed).
inline constexpr uint32_t kCaptionNormal = 16119285;   // 0xF5F5F5, light grey
inline constexpr uint32_t kCaptionSelected = 255;      // red
inline constexpr uint32_t kCaptionDisabled = 9868950;  // 0x969696, grey
inline constexpr uint32_t kCaptionOver = 255;          // red, pointer over or pressed
// Texts the windows paint themselves (titles, messages, labels): RGB(190,190,190).
inline constexpr QRgb kLabel = qRgb(190, 190, 190);

// The skin's own palette, for what is drawn without pictures.
inline constexpr QRgb kSurfaceTop = qRgb(0x1b, 0x1d, 0x21);
inline constexpr QRgb kSurfaceBottom = qRgb(0x12, 0x13, 0x16);
inline constexpr QRgb kPanel = qRgb(0x22, 0x25, 0x2a);
inline constexpr QRgb kPanelHighlight = qRgb(0x33, 0x37, 0x3e);
inline constexpr QRgb kAccent = qRgb(0xe3, 0x26, 0x2d);
inline constexpr QRgb kAccentHover = qRgb(0xff, 0x3f, 0x45);
inline constexpr QRgb kAccentPressed = qRgb(0xa9, 0x16, 0x1b);
inline constexpr QRgb kListSelection = qRgb(255, 10, 10);

// A font as the design gives it: face, height in pixels, weight (400 normal,
// 700 bold).
QFont design_font(const QString& face, int pixel_height, int weight = 400);

// A placement's rectangle in window coordinates.
inline QRect to_rect(const SkinPlacement& p) { return QRect(p.left, p.top, p.width(), p.height()); }

// A window without its pictures: the graphite surface and a thin rim.
void paint_fallback_surface(QPainter& painter, const QRect& rect);
// A control without its pictures, in the given state.
void paint_fallback_control(QPainter& painter, const QRect& rect, SkinState state);

}  // namespace mt::look
