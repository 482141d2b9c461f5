// The drawing kit of the skin generator: the colours of the look, a canvas
// that draws in logical pixels at any scale (1 for the plain pictures, 2 for
// the "@2x" ones, so both are drawn at their own size), soft glows, recesses,
// control bodies in their four states, and the writers for JPEG and 24-bit
// BMP files.
//
//   Canvas c(QSize(444, 260), 2);          // a 888 x 520 image
//   paint_surface(c, QRectF(c.logical_rect()));
//   paint_push_body(c, QRectF(190, 210, 118, 38), State::over);
//   save_jpeg(c.image(), "Skins/restore_over@2x.jpg");
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QSize>
#include <string>

namespace skins {

// The four pictures of a window.
enum class State { normal, over, down, disable };

// Colours of the look.
namespace ink {
inline const QColor surface_top{0x1b, 0x1d, 0x21};
inline const QColor surface_bottom{0x12, 0x13, 0x16};
inline const QColor panel{0x22, 0x25, 0x2a};
inline const QColor panel_highlight{0x33, 0x37, 0x3e};
inline const QColor panel_edge{0x0c, 0x0d, 0x0f};
inline const QColor recess{0x0d, 0x0e, 0x10};
inline const QColor recess_edge{0x05, 0x05, 0x06};
inline const QColor body_top{0x30, 0x34, 0x3b};
inline const QColor body_bottom{0x26, 0x29, 0x2e};
inline const QColor body_highlight{0x44, 0x49, 0x52};
inline const QColor body_edge{0x0a, 0x0b, 0x0d};
inline const QColor pressed_top{0x18, 0x1a, 0x1d};
inline const QColor pressed_bottom{0x1d, 0x1f, 0x23};
inline const QColor glyph{0x9a, 0xa0, 0xa8};
inline const QColor glyph_dim{0x5c, 0x61, 0x69};
inline const QColor hairline{0x2c, 0x2f, 0x35};
inline const QColor accent{0xe3, 0x26, 0x2d};
inline const QColor accent_hover{0xff, 0x3f, 0x45};
inline const QColor accent_pressed{0xa9, 0x16, 0x1b};
inline const QColor outside{0x0a, 0x0b, 0x0c};  // beyond a mask's edge
}  // namespace ink

QColor with_alpha(QColor c, int alpha);
QColor mix(const QColor& a, const QColor& b, double t);  // t = 0 gives a

// An image drawn in logical pixels; scale() device pixels per logical pixel.
class Canvas {
 public:
  Canvas(QSize logical, int scale, QImage::Format format = QImage::Format_ARGB32_Premultiplied);
  // Draws on an existing image of logical size times scale.
  Canvas(QImage& target, int scale);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  QPainter& p() { return painter_; }
  int scale() const { return scale_; }
  QSize logical_size() const { return logical_; }
  QRect logical_rect() const { return QRect(QPoint(0, 0), logical_); }
  // Ends painting and hands out the image.
  QImage image();

 private:
  QSize logical_;
  int scale_;
  QImage image_;
  QPainter painter_;
  QImage* target_ = nullptr;
};

// A soft glow: the path filled in the colour, blurred by radius logical
// pixels, drawn under whatever comes next. Only the area around the path is
// blurred, so glows stay cheap on big pictures.
void paint_glow(Canvas& c, const QPainterPath& path, const QColor& colour, double radius,
                double strength = 1.0);
// A soft shadow: like a glow, offset.
void paint_shadow(Canvas& c, const QPainterPath& path, double radius, QPointF offset, int alpha);

QPainterPath rounded(const QRectF& r, double radius);
// A rectangle with its corners cut at 45 degrees (the corners set by the flags
// top-left, top-right, bottom-right, bottom-left).
QPainterPath chamfered(const QRectF& r, double cut, bool tl = true, bool tr = true, bool br = true,
                       bool bl = true);

// The window's own surface: the graphite gradient over the rectangle.
void paint_surface(Canvas& c, const QRectF& r);
// A panel one step lighter than the surface, with its inner highlight.
void paint_panel(Canvas& c, const QPainterPath& shape, bool highlight = true, bool shadow = true);
void paint_panel(Canvas& c, const QRectF& r, double radius = 8);
// A recess: a dark area sunk into the surface, for things the windows draw
// themselves (lists, fields, the colour picker).
void paint_recess(Canvas& c, const QPainterPath& shape, const QColor& fill = ink::recess);
void paint_recess(Canvas& c, const QRectF& r, double radius = 4);
// A one-pixel line that sits on whole pixels at every scale.
void paint_hairline(Canvas& c, QPointF a, QPointF b, const QColor& colour, double width = 1);

// The body of a control in a state, filling shape. Over adds the accent glow
// around it, down draws it darker and one pixel lower and to the right (the
// disabled picture draws each control as normal, then desaturates and dims
// it). Control shapes stay 3 pixels inside their placement so the glow is
// part of the control's own cut.
inline constexpr double kGlowRoom = 3.0;
void paint_body(Canvas& c, const QPainterPath& shape, State state, bool accent_body = false);
// The offset of a control's content in a state (down moves it by one pixel).
QPointF press_offset(State state);
// A toggle's indicator: a short bar along the bottom of the shape's box, dark
// when off and lit in the accent colour in the down picture (a selected or
// switched-on button shows its down cut).
void paint_indicator(Canvas& c, const QRectF& body, State state);

// Masks: black inside the shape, pure white outside, no grey pixels. The
// shape is given in logical pixels and drawn at the scale.
QImage mask_image(QSize logical, int scale, const QPainterPath& inside);

// Writers; false when the file cannot be written.
bool save_jpeg(const QImage& image, const std::string& path);
bool save_bmp24(const QImage& image, const std::string& path);
bool save_png(const QImage& image, const std::string& path);

}  // namespace skins
