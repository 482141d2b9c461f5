#include "option/logic/cpi_values.h"

namespace mt {
namespace {

// The largest typed value of each index, in index order; 12 takes the rest.
constexpr long long kSnapBounds[] = {350, 600, 850, 1100, 1350, 1600, 1850, 2200, 2700, 3200, 3700};

}  // namespace

int cpi_of_index(int index) {
  if (index < kCpiIndexMin || index > kCpiIndexMax) return 0;
  if (index <= 8) return index * 250;
  return 2500 + (index - 9) * 500;
}

std::u16string cpi_text(int index) {
  switch (index) {
    case 9: return u"2500";
    case 10: return u"3000";
    case 11: return u"3500";
    case 12: return u"4000";
    default: break;
  }
  if (index < kCpiIndexMin || index > 8) return std::u16string();
  std::u16string s;
  for (int v = index * 250; v > 0; v /= 10) s.insert(s.begin(), static_cast<char16_t>(u'0' + v % 10));
  return s;
}

int snap_cpi_to_index(long long typed) {
  int index = 1;
  for (long long bound : kSnapBounds) {
    if (typed <= bound) return index;
    ++index;
  }
  return kCpiIndexMax;
}

std::optional<long long> parse_typed_cpi(std::u16string_view text) {
  constexpr long long kSaturated = 1'000'000'000'000LL;
  long long v = 0;
  bool digit = false;
  for (char16_t c : text) {
    if (c == u'.') break;
    if (c == u',') continue;
    if (c < u'0' || c > u'9') break;
    digit = true;
    v = v >= kSaturated ? kSaturated : v * 10 + (c - u'0');
  }
  if (!digit) return std::nullopt;
  return v;
}

}  // namespace mt
