// The on-screen display's rules, without Qt: what its two settings words
// mean, what a WM_OSD_SHOW asks it to show, the texts it shows, and where on
// the screen the panel goes. The window (osd_wnd.h) only applies them.
//
//   OsdConfig config = osd_config_of_lparam(m.lparam);      // WM_OSD_CONFIG
//   OsdRequest r = osd_request(m.wparam, m.lparam);        // WM_OSD_SHOW
//   if (r.kind == OsdRequest::Kind::profile && config.enabled)
//     show(profile_content(r.profile, language.text(kOsdProfileTextId), name));
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mt {

// --- Settings words -----------------------------------------------------------
// WM_OSD_CONFIG carries (high << 16) | low; 0 and 0 mean "as it comes":
//   low word   how long the panel stays, in tenths of a second; 0 is 1.5 s,
//              values above 600 (one minute) are held to 600;
//   high word  bits 0-3: where on the screen (OsdPlace; 7-15 count as 0),
//              bit 15: 1 = show nothing at all,
//              bits 4-14: reserved, 0.
// The panel then fades out in kOsdFadeMs.

enum class OsdPlace : int {
  bottom_centre = 0,
  bottom_right = 1,
  bottom_left = 2,
  top_right = 3,
  top_left = 4,
  top_centre = 5,
  centre = 6,
};

inline constexpr int kOsdDefaultDisplayMs = 1500;
inline constexpr int kOsdMaxDisplayTenths = 600;
inline constexpr int kOsdFadeMs = 300;
inline constexpr std::uint16_t kOsdHiddenBit = 0x8000;
inline constexpr std::uint16_t kOsdPlaceBits = 0x000F;
// Distance from the edges of the screen's free area (without its panels).
inline constexpr int kOsdScreenMargin = 48;

struct OsdConfig {
  int display_ms = kOsdDefaultDisplayMs;
  OsdPlace place = OsdPlace::bottom_centre;
  bool enabled = true;

  bool operator==(const OsdConfig&) const = default;
};

OsdConfig decode_osd_config(std::uint16_t high, std::uint16_t low);
// The two words as WM_OSD_CONFIG's lParam carries them: 32 unsigned bits.
OsdConfig osd_config_of_lparam(std::intptr_t lparam);
// One line for the log: "display 1500 ms, place 0, shown".
std::string describe(const OsdConfig& config);

// --- What WM_OSD_SHOW asks for ------------------------------------------------

inline constexpr std::uintptr_t kOsdShowProfile = 40;  // lParam: profile index << 16
inline constexpr std::uintptr_t kOsdShowMessage = 50;  // the message stored in config.ini

struct OsdRequest {
  enum class Kind {
    none,     // another wParam, or a profile the settings cannot have
    profile,  // `profile` is 0..4
    message,
  };
  Kind kind = Kind::none;
  int profile = -1;
};

OsdRequest osd_request(std::uintptr_t wparam, std::intptr_t lparam);

// --- Texts ----------------------------------------------------------------------

// "Profile %d" in the language modules.
inline constexpr int kOsdProfileTextId = 1301;

// The pattern with its first "%d" replaced by `n` and "%%" by "%"; any other
// '%' stays as it is (the pattern comes from a file and is never handed to a
// printf). A pattern without "%d" gets " <n>" after it, so a translation
// that lost its number still names the profile; an empty pattern (no
// language module) stays empty.
std::u16string format_count(std::u16string_view pattern, int n);

// What the panel shows: the badge (the profile number), the first line and
// the second. A message has no number; its text fills both lines.
struct OsdContent {
  enum class Kind { profile, message };
  Kind kind = Kind::profile;
  std::u16string badge;
  std::u16string line1;
  std::u16string line2;

  bool operator==(const OsdContent&) const = default;
};

OsdContent profile_content(int index, std::u16string_view pattern, std::u16string_view name);
OsdContent message_content(std::u16string_view text);

// --- Where ----------------------------------------------------------------------

struct OsdArea {
  int left = 0, top = 0, width = 0, height = 0;
};
struct OsdPoint {
  int x = 0, y = 0;
  bool operator==(const OsdPoint&) const = default;
};

// The panel's top-left corner on a screen whose free area is `screen`. On a
// screen too small for the margins the margin shrinks; on one smaller than
// the panel, the panel's top-left corner stays on the screen.
OsdPoint osd_top_left(const OsdArea& screen, int width, int height, OsdPlace place);

}  // namespace mt
