// Parses arbitrary placement values and checks what a window may rely on:
// the fields fit their records, the rectangle is either empty at 0,0 or
// inside the allowed range, and parsing is a function of the value alone.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "option/skin/skin_placement.h"
#include "platform/text.h"

namespace {

#define CHECK(cond) \
  do {              \
    if (!(cond)) std::abort(); \
  } while (0)

void check(std::u16string_view value) {
  const mt::SkinPlacement p = mt::parse_placement(value);
  CHECK(p == mt::parse_placement(value));
  CHECK(p.name.size() <= mt::SkinPlacement::kNameUnits);
  CHECK(p.text.size() <= mt::SkinPlacement::kTextUnits);
  CHECK(value.substr(0, p.name.size()) == p.name);
  CHECK(p.name.find(u',') == std::u16string::npos);
  CHECK(p.flag == 0 || p.flag == 1);
  const std::size_t comma = value.find(u',');
  CHECK(p.flag == (comma != std::u16string_view::npos &&
                   value.substr(comma + 1).find(u"TRUE") != std::u16string_view::npos));
  constexpr int32_t m = mt::SkinPlacement::kMaxCoordinate;
  CHECK(p.left >= 0 && p.left <= m && p.top >= 0 && p.top <= m);
  CHECK(p.right >= p.left && p.right - p.left <= m && p.bottom >= p.top && p.bottom - p.top <= m);
  if (comma == std::u16string_view::npos) CHECK(p.left == 0 && p.right == 0 && p.text.empty());
  // A field can hold at most what lies between two commas.
  CHECK(p.text.find(u',') == std::u16string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  check(platform::utf8_to_utf16(bytes));
  std::u16string units;
  for (std::size_t i = 0; i + 1 < size; i += 2) units.push_back(char16_t(data[i] | (data[i + 1] << 8)));
  check(units);
  return 0;
}
