#include "option/logic/color_model.h"

#include <algorithm>
#include <cmath>

namespace mt {

namespace {

// Products of maxima, steps and 1000s outgrow 64 bits only for absurd
// maxima; 128 bits keep every case exact.
using Wide = __int128;

Wide ceil_div(Wide num, Wide den) {  // den > 0
  Wide q = num / den;                // truncates towards zero: already the ceiling below 0
  if (num % den != 0 && num > 0) ++q;
  return q;
}

// A non-negative ratio num / den with den > 0.
struct Ratio {
  Wide num = 0;
  Wide den = 1;
};

// component / maximum; nothing when that is not a ratio (maximum 0 with a
// component that is not 0 counts as out of range).
std::optional<Ratio> ratio_of(int component, int maximum) {
  if (maximum <= 0) {
    if (component == 0) return Ratio{0, 1};
    return std::nullopt;
  }
  return Ratio{component, maximum};
}

// ceil(v x 255 - 0.5) for v = num / den in 0..1.
int channel_byte(Wide num, Wide den) {
  Wide b = ceil_div(510 * num - den, 2 * den);
  return static_cast<int>(std::clamp<Wide>(b, 0, 255));
}

// H = hue10 / 10 degrees.
ColorRef hsv_to_rgb(int hue10, std::optional<Ratio> s, std::optional<Ratio> v) {
  if (!s || !v) return 0;
  if (hue10 < 0 || hue10 > 3600) return 0;
  if (s->num < 0 || s->num > s->den || v->num < 0 || v->num > v->den) return 0;
  if (hue10 == 3600) hue10 = 0;

  const Wide vn = v->num, vd = v->den, sn = s->num, sd = s->den;
  const int vb = channel_byte(vn, vd);
  if (sn == 0) return make_rgb(vb, vb, vb);

  const int sector = hue10 / 600;
  const Wide f = hue10 % 600;  // the fraction of the sector, in 600ths
  const int p = channel_byte(vn * (sd - sn), vd * sd);
  const int q = channel_byte(vn * (sd * 600 - sn * f), vd * sd * 600);
  const int t = channel_byte(vn * (sd * 600 - sn * (600 - f)), vd * sd * 600);
  switch (sector) {
    case 0: return make_rgb(vb, t, p);
    case 1: return make_rgb(q, vb, p);
    case 2: return make_rgb(p, vb, t);
    case 3: return make_rgb(p, q, vb);
    case 4: return make_rgb(t, p, vb);
    default: return make_rgb(vb, p, q);
  }
}

int byte_of(int v) { return std::clamp(v, 0, 255); }

}  // namespace

ModeRanges mode_ranges(int mode) {
  switch (mode) {
    case kModeRed:
    case kModeGreen:
    case kModeBlue: return {255, 255, 255};
    case kModeHue: return {3599, 1000, 1000};
    case kModeSaturation:
    case kModeValue: return {1000, 3599, 1000};
    default: return {};
  }
}

HsvSteps rgb_to_hsv_steps(ColorRef color) {
  const int r = red_of(color), g = green_of(color), b = blue_of(color);
  const int hi = std::max({r, g, b});
  const int lo = std::min({r, g, b});
  const int d = hi - lo;
  HsvSteps out;
  out.value = static_cast<int>(ceil_div(Wide{1000} * hi, 255));
  if (hi == 0 || d == 0) return out;  // grey: S = 0 and H = 0
  out.saturation = static_cast<int>(ceil_div(Wide{1000} * d, hi));
  // H x 10 = 600 x (sextant offset + difference / d), kept over d.
  Wide h;
  if (r == hi) {
    h = Wide{600} * (g - b);
    if (g < b) h += Wide{3600} * d;
  } else if (g == hi) {
    h = Wide{600} * (b - r) + Wide{1200} * d;
  } else {
    h = Wide{600} * (r - g) + Wide{2400} * d;
  }
  out.hue = static_cast<int>(ceil_div(h, d));
  return out;
}

ColorRef color_of_position(int mode, int x, int y, int z, int max_x, int max_y) {
  switch (mode) {
    case kModeRed: return make_rgb(byte_of(z), byte_of(y), byte_of(x));
    case kModeGreen: return make_rgb(byte_of(y), byte_of(z), byte_of(x));
    case kModeBlue: return make_rgb(byte_of(x), byte_of(y), byte_of(z));
    case kModeHue: return hsv_to_rgb(z, ratio_of(x, max_x), ratio_of(y, max_y));
    case kModeSaturation: return hsv_to_rgb(x, ratio_of(z, 1000), ratio_of(y, max_y));
    case kModeValue: return hsv_to_rgb(x, ratio_of(y, max_y), ratio_of(z, 1000));
    default: return 0;
  }
}

FieldPosition position_of_color(int mode, ColorRef c) {
  switch (mode) {
    case kModeRed: return {blue_of(c), green_of(c), red_of(c)};
    case kModeGreen: return {blue_of(c), red_of(c), green_of(c)};
    case kModeBlue: return {red_of(c), green_of(c), blue_of(c)};
    default: break;
  }
  HsvSteps s = rgb_to_hsv_steps(c);
  switch (mode) {
    case kModeHue: return {s.saturation, s.value, s.hue};
    case kModeSaturation: return {s.hue, s.value, s.saturation};
    case kModeValue: return {s.hue, s.saturation, s.value};
    default: return {};
  }
}

void link_color_picker(ColorFieldModel& field, ColorSliderModel& slider, ColorWellModel& well) {
  field.link(&slider, &well);
  slider.link(&field);
  well.link(&field);
}

// ---- field ----------------------------------------------------------------

ColorFieldModel::ColorFieldModel() { recompute(); }

void ColorFieldModel::link(ColorSliderModel* slider, ColorWellModel* well) {
  slider_ = slider;
  well_ = well;
}

void ColorFieldModel::set_mode(int mode, int x, int y, int z, int max_x, int max_y) {
  mode_ = mode;
  x_ = x;
  y_ = y;
  z_ = z;
  max_x_ = max_x;
  max_y_ = max_y;
  recompute();
  redraw();
}

void ColorFieldModel::set_color(ColorRef color) {
  FieldPosition to = position_of_color(mode_, color);
  if (to == FieldPosition{x_, y_, z_}) return;
  x_ = to.x;
  y_ = to.y;
  z_ = to.z;
  recompute();
  notify();
  redraw();
}

void ColorFieldModel::set_client_size(int width, int height) {
  field_ = {1, 1, width - 1, height - 1};
}

int ColorFieldModel::x_at(int px) const {
  const int w = field_.width();
  if (w <= 0) return 0;
  px = std::clamp(px, field_.left, field_.right);
  return static_cast<int>(ceil_div(Wide{px - field_.left} * max_x_, w));
}

int ColorFieldModel::y_at(int py) const {
  const int h = field_.height();
  if (h <= 0) return 0;
  py = std::clamp(py, field_.top, field_.bottom);
  return static_cast<int>(ceil_div(Wide{field_.bottom - py} * max_y_, h));
}

ColorRef ColorFieldModel::color_at(int px, int py) const {
  return color_of_position(mode_, x_at(px), y_at(py), z_, max_x_, max_y_);
}

PointD ColorFieldModel::marker_point() const {
  PointD p{static_cast<double>(field_.left), static_cast<double>(field_.bottom)};
  if (max_x_ > 0) p.x += static_cast<double>(x_) * field_.width() / max_x_;
  if (max_y_ > 0) p.y -= static_cast<double>(y_) * field_.height() / max_y_;
  return p;
}

bool ColorFieldModel::marker_black() const {
  return std::max({red_of(color_), green_of(color_), blue_of(color_)}) >= 128;
}

bool ColorFieldModel::press(PickerButton button, int px, int py) {
  if (button == PickerButton::right) return false;
  if (!field_.contains(px, py)) return false;
  captured_ = true;
  move(px, py);
  return true;
}

void ColorFieldModel::move(int px, int py) {
  if (!captured_) return;
  move_to(x_at(px), y_at(py));
}

bool ColorFieldModel::release(PickerButton button) {
  switch (button) {
    case PickerButton::left:
      if (captured_) {
        captured_ = false;
        recompute();
        notify();
      }
      return false;
    case PickerButton::middle: return true;
    case PickerButton::right: return false;
  }
  return false;
}

bool ColorFieldModel::key(PickerKey key) {
  if (captured_) return false;
  int x = x_, y = y_;
  switch (key) {
    case PickerKey::page_up: x = max_x_, y = max_y_; break;
    case PickerKey::page_down: x = max_x_, y = 0; break;
    case PickerKey::end: x = 0, y = 0; break;
    case PickerKey::home: x = 0, y = max_y_; break;
    case PickerKey::left: --x; break;
    case PickerKey::right: ++x; break;
    case PickerKey::up: ++y; break;
    case PickerKey::down: --y; break;
  }
  x = std::clamp(x, 0, std::max(0, max_x_));
  y = std::clamp(y, 0, std::max(0, max_y_));
  return move_to(x, y);
}

void ColorFieldModel::receive_from_slider(const ColorSliderModel& slider) {
  int v = slider.component();
  if (v >= 0 && v <= mode_ranges(mode_).z) z_ = v;
  recompute();
  notify();
  redraw();
}

bool ColorFieldModel::move_to(int x, int y) {
  if (x == x_ && y == y_) return false;
  x_ = x;
  y_ = y;
  redraw();
  recompute();
  notify();
  return true;
}

void ColorFieldModel::recompute() { color_ = color_of_position(mode_, x_, y_, z_, max_x_, max_y_); }

void ColorFieldModel::notify() {
  if (id_ == 0) return;
  if (slider_) slider_->receive_from_field(*this);
  if (well_) well_->receive_from_field(*this);
  if (parent_notify_) parent_notify_(id_, color_);
}

void ColorFieldModel::redraw() {
  if (redraw_) redraw_();
}

// ---- slider ---------------------------------------------------------------

ColorSliderModel::ColorSliderModel() = default;

bool ColorSliderModel::set_mode(int m) {
  const int mode = m & 0x7f;
  if (mode > 6) return false;
  mode_ = mode;
  reversed_ = (m & kSliderReversed) != 0;
  switch (mode) {
    case kModeHue: from_ = 0, to_ = 3599, line_ = 10, page_ = 100; break;
    case kModeSaturation:
    case kModeValue: from_ = 0, to_ = 1000, line_ = 10, page_ = 100; break;
    case 6: break;  // keeps the range and steps it has
    default: from_ = 0, to_ = 255, line_ = 1, page_ = 10; break;
  }
  position_ = reversed_ ? maximum() : minimum();
  redraw();
  return true;
}

void ColorSliderModel::set_range(int from, int to) {
  from_ = from;
  to_ = to;
  position_ = clamp_to_range(position_);
  redraw();
}

int ColorSliderModel::minimum() const { return std::min(from_, to_); }
int ColorSliderModel::maximum() const { return std::max(from_, to_); }

int ColorSliderModel::component() const { return reversed_ ? maximum() - position_ : position_; }

int ColorSliderModel::clamp_to_range(int v) const { return std::clamp(v, minimum(), maximum()); }

int ColorSliderModel::position_at(int px, int py) const {
  const int a = horizontal_ ? track_.left : track_.top;
  const int b = horizontal_ ? track_.right : track_.bottom;
  const int len = b - a;
  if (len <= 0) return from_;
  const int c = std::clamp(horizontal_ ? px : py, a, b);
  const Wide span = Wide{to_} - from_;
  const Wide sign = span < 0 ? -1 : 1;
  const Wide step = line_ > 0 ? line_ : 1;
  // Whole steps from the start, rounded half towards the end.
  const Wide k = (2 * Wide{c - a} * (span * sign) + Wide{len} * step) / (2 * Wide{len} * step);
  const Wide v = from_ + sign * k * step;
  return static_cast<int>(std::clamp<Wide>(v, minimum(), maximum()));
}

bool ColorSliderModel::press(PickerButton button, int px, int py) {
  if (button != PickerButton::left || !track_.contains(px, py)) return false;
  captured_ = true;
  move(px, py);
  return true;
}

void ColorSliderModel::move(int px, int py) {
  if (!captured_) return;
  set_position_notify(position_at(px, py));
}

bool ColorSliderModel::release(PickerButton button) {
  if (button == PickerButton::left && captured_) {
    captured_ = false;
    notify();
  }
  return false;
}

bool ColorSliderModel::key(PickerKey key) {
  if (captured_) return false;
  long long v = position_;
  switch (key) {
    case PickerKey::page_up: v -= page_; break;
    case PickerKey::page_down: v += page_; break;
    case PickerKey::end: v = to_; break;
    case PickerKey::home: v = from_; break;
    case PickerKey::right:
    case PickerKey::down: v += line_; break;
    case PickerKey::left:
    case PickerKey::up: v -= line_; break;
  }
  v = std::clamp<long long>(v, minimum(), maximum());
  const int before = position_;
  set_position_notify(static_cast<int>(v));
  return position_ != before;
}

void ColorSliderModel::receive_from_field(const ColorFieldModel& field) {
  const ModeRanges r = mode_ranges(field.mode());
  if (field.x() >= 0 && field.x() <= r.x) field_x_ = field.x();
  if (field.y() >= 0 && field.y() <= r.y) field_y_ = field.y();
  position_ = clamp_to_range(reversed_ ? maximum() - field.z() : field.z());
  redraw();
}

int ColorSliderModel::thumb_offset() const {
  const int len = horizontal_ ? track_.width() : track_.height();
  const long long span = static_cast<long long>(to_) - from_;
  if (len <= 0 || span == 0) return 0;
  return static_cast<int>(std::lround(static_cast<double>(position_ - from_) * len / span));
}

ColorRef ColorSliderModel::color_at(int position) const {
  const ModeRanges r = mode_ranges(mode_);
  const int z = reversed_ ? maximum() - position : position;
  return color_of_position(mode_, field_x_, field_y_, z, r.x, r.y);
}

void ColorSliderModel::set_position_notify(int v) {
  if (v == position_) return;
  position_ = v;
  redraw();
  notify();
}

void ColorSliderModel::notify() {
  if (id_ == 0) return;
  if (field_) {
    field_->receive_from_slider(*this);
  } else if (parent_notify_) {
    parent_notify_(id_, position_);
  }
}

void ColorSliderModel::redraw() {
  if (redraw_) redraw_();
}

// ---- well -----------------------------------------------------------------

void ColorWellModel::set_color(ColorRef color) {
  color_ = color;
  if (redraw_) redraw_();
}

void ColorWellModel::receive_from_field(const ColorFieldModel& field) {
  color_ = field.color();
  if (post_) post_();
  if (redraw_) redraw_();
}

}  // namespace mt
