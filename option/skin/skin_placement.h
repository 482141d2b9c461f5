// Control placements of the skin description files.
//
// A placement is the value of one numbered key, "name,x,y,width,height[,...],text,flag":
//   name   the text before the first comma (at most 39 units are kept)
//   rect   the first four numbers after the first comma, read one after the
//          other the way "%d,%d,%d,%d" reads them; left = x, top = y,
//          right = x + width, bottom = y + height
//   text   the field before the last comma (at most 99 units are kept)
//   flag   1 when "TRUE" appears anywhere after the first comma
//
// The record starts cleared, so a missing key (an empty value) gives zeros: an
// empty rectangle at 0,0, and the control stays invisible.
//
// Numbers the skin author can get wrong never reach a window as nonsense:
// - a scan that stops early keeps the numbers read so far, the rest are 0
//   ("btn,10,20,x" is an empty rectangle at 10,20);
// - a negative number, or one above kMaxCoordinate (this takes in every
//   number too long for 32 bits), empties the whole rectangle to 0,0,0,0.
// Name, text and flag are still taken from such a value.
//
//   SkinPlacement p = parse_placement(u"ok,92,205,120,36,,FALSE");
//   // p.left 92, p.top 205, p.right 212, p.bottom 241, p.flag 0
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mt {

struct SkinPlacement {
  static constexpr std::size_t kNameUnits = 39;   // UTF-16 [40] less the NUL
  static constexpr std::size_t kTextUnits = 99;   // UTF-16 [100] less the NUL
  // Four times the largest picture a skin may hold: placements past it can
  // only be mistakes, and sums of two stay far inside 32 bits.
  static constexpr int32_t kMaxCoordinate = 16384;

  std::u16string name;
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  std::u16string text;
  int32_t flag = 0;

  int32_t width() const { return right - left; }
  int32_t height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }

  bool operator==(const SkinPlacement&) const = default;
};

SkinPlacement parse_placement(std::u16string_view value);

}  // namespace mt
