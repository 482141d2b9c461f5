#include "osd/osd_rules.h"

#include <algorithm>

#include "common/settings_record.h"
#include "platform/text.h"

namespace mt {

OsdConfig decode_osd_config(std::uint16_t high, std::uint16_t low) {
  OsdConfig c;
  const int tenths = low == 0 ? kOsdDefaultDisplayMs / 100 : std::min<int>(low, kOsdMaxDisplayTenths);
  c.display_ms = tenths * 100;
  const int place = high & kOsdPlaceBits;
  c.place = place <= static_cast<int>(OsdPlace::centre) ? static_cast<OsdPlace>(place) : OsdPlace::bottom_centre;
  c.enabled = (high & kOsdHiddenBit) == 0;
  return c;
}

OsdConfig osd_config_of_lparam(std::intptr_t lparam) {
  const auto words = static_cast<std::uint32_t>(lparam);
  return decode_osd_config(static_cast<std::uint16_t>(words >> 16), static_cast<std::uint16_t>(words & 0xFFFF));
}

std::string describe(const OsdConfig& config) {
  return "display " + std::to_string(config.display_ms) + " ms, place " +
         std::to_string(static_cast<int>(config.place)) + (config.enabled ? ", shown" : ", off");
}

OsdRequest osd_request(std::uintptr_t wparam, std::intptr_t lparam) {
  OsdRequest r;
  if (wparam == kOsdShowMessage) {
    r.kind = OsdRequest::Kind::message;
  } else if (wparam == kOsdShowProfile) {
    const int index = static_cast<int>((static_cast<std::uint32_t>(lparam) >> 16) & 0xFFFF);
    if (index < kProfileCount) {
      r.kind = OsdRequest::Kind::profile;
      r.profile = index;
    }
  }
  return r;
}

std::u16string format_count(std::u16string_view pattern, int n) {
  const std::u16string number = platform::to_u16(n);
  std::u16string out;
  bool placed = false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char16_t c = pattern[i];
    const char16_t next = i + 1 < pattern.size() ? pattern[i + 1] : u'\0';
    if (c == u'%' && next == u'%') {
      out += u'%';
      ++i;
    } else if (c == u'%' && next == u'd' && !placed) {
      out += number;
      placed = true;
      ++i;
    } else {
      out += c;
    }
  }
  if (!placed && !out.empty()) out += u' ' + number;
  return out;
}

OsdContent profile_content(int index, std::u16string_view pattern, std::u16string_view name) {
  OsdContent c;
  c.kind = OsdContent::Kind::profile;
  c.badge = platform::to_u16(index + 1);
  c.line1 = format_count(pattern, index + 1);
  c.line2 = std::u16string(name);
  return c;
}

OsdContent message_content(std::u16string_view text) {
  OsdContent c;
  c.kind = OsdContent::Kind::message;
  c.badge = u"i";
  c.line1 = std::u16string(text);
  return c;
}

namespace {

// Where a panel of `size` goes along one side of length `extent` starting at
// `start`: 0 near, 1 middle, 2 far.
int along(int start, int extent, int size, int where) {
  const int room = extent - size;
  if (room <= 0) return start;
  const int margin = std::min(kOsdScreenMargin, room / 2);
  switch (where) {
    case 0: return start + margin;
    case 1: return start + room / 2;
    default: return start + room - margin;
  }
}

}  // namespace

OsdPoint osd_top_left(const OsdArea& screen, int width, int height, OsdPlace place) {
  int h = 1, v = 2;  // bottom centre
  switch (place) {
    case OsdPlace::bottom_centre: h = 1; v = 2; break;
    case OsdPlace::bottom_right: h = 2; v = 2; break;
    case OsdPlace::bottom_left: h = 0; v = 2; break;
    case OsdPlace::top_right: h = 2; v = 0; break;
    case OsdPlace::top_left: h = 0; v = 0; break;
    case OsdPlace::top_centre: h = 1; v = 0; break;
    case OsdPlace::centre: h = 1; v = 1; break;
  }
  return {along(screen.left, screen.width, width, h), along(screen.top, screen.height, height, v)};
}

}  // namespace mt
