// Reads arbitrary bytes as a skin description of either form and asks it for
// every placement a window asks for and the SCREEN pictures: nothing may
// crash, and every placement is one the placement parser can give.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "option/skin/skin_description.h"

namespace {

#define CHECK(cond) \
  do {              \
    if (!(cond)) std::abort(); \
  } while (0)

void check(const mt::SkinDescription& d) {
  constexpr int32_t m = mt::SkinPlacement::kMaxCoordinate;
  for (int key = -1; key <= 64; ++key) {
    const mt::SkinPlacement p = d.placement(key);
    CHECK(p.name.size() <= mt::SkinPlacement::kNameUnits && p.text.size() <= mt::SkinPlacement::kTextUnits);
    CHECK(p.left >= 0 && p.right >= p.left && p.right - p.left <= m);
    CHECK(p.top >= 0 && p.bottom >= p.top && p.bottom - p.top <= m);
    CHECK(p == d.placement(key));
  }
  const mt::SkinPictureNames names = d.screen_pictures();
  CHECK(names == d.screen_pictures());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  check(mt::SkinDescription::parse(bytes, mt::SkinDescription::kButtonInfo));
  check(mt::SkinDescription::parse(bytes, mt::SkinDescription::kButtonPos));
  return 0;
}
