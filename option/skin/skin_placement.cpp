#include "option/skin/skin_placement.h"

namespace mt {
namespace {

// Cut to at most `units`, never between the two halves of a surrogate pair.
std::u16string cut(std::u16string_view s, std::size_t units) {
  if (s.size() <= units) return std::u16string(s);
  std::size_t n = units;
  if (n > 0 && s[n - 1] >= 0xD800 && s[n - 1] <= 0xDBFF) --n;
  return std::u16string(s.substr(0, n));
}

bool scan_space(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

// One "%d": blanks, an optional sign, at least one digit. The value saturates
// just past kMaxCoordinate so that any length of digits stays in range.
bool scan_int(std::u16string_view s, std::size_t& pos, int64_t& out) {
  std::size_t i = pos;
  while (i < s.size() && scan_space(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
  const std::size_t digits = i;
  int64_t v = 0;
  while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') {
    if (v <= SkinPlacement::kMaxCoordinate) v = v * 10 + (s[i] - u'0');
    ++i;
  }
  if (i == digits) return false;
  out = negative ? -v : v;
  pos = i;
  return true;
}

}  // namespace

SkinPlacement parse_placement(std::u16string_view value) {
  SkinPlacement p;
  const std::size_t first = value.find(u',');
  p.name = cut(value.substr(0, first), SkinPlacement::kNameUnits);
  if (first == std::u16string_view::npos) return p;

  const std::u16string_view after = value.substr(first + 1);
  int64_t n[4] = {0, 0, 0, 0};
  std::size_t pos = 0;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (pos >= after.size() || after[pos] != u',') break;
      ++pos;
    }
    if (!scan_int(after, pos, n[i])) break;
  }
  bool sane = true;
  for (int64_t v : n) sane = sane && v >= 0 && v <= SkinPlacement::kMaxCoordinate;
  if (sane) {
    p.left = static_cast<int32_t>(n[0]);
    p.top = static_cast<int32_t>(n[1]);
    p.right = static_cast<int32_t>(n[0] + n[2]);
    p.bottom = static_cast<int32_t>(n[1] + n[3]);
  }

  const std::size_t last = value.rfind(u',');
  const std::size_t before = last == 0 ? std::u16string_view::npos : value.rfind(u',', last - 1);
  const std::size_t start = before == std::u16string_view::npos ? 0 : before + 1;
  p.text = cut(value.substr(start, last - start), SkinPlacement::kTextUnits);

  p.flag = after.find(u"TRUE") != std::u16string_view::npos ? 1 : 0;
  return p;
}

}  // namespace mt
