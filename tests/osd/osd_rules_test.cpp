// The on-screen display's rules: the two settings words, what a
// WM_OSD_SHOW asks for, the "Profile %d" text, and where the panel goes.
#include "osd/osd_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace mt {
namespace {

struct ConfigCase {
  const char* what;
  std::uint16_t high, low;
  OsdConfig expected;
};

TEST(OsdSettingsWords, MeanWhatTheBusDocumentSays) {
  const ConfigCase cases[] = {
      {"0 and 0: as it comes", 0, 0, {1500, OsdPlace::bottom_centre, true}},
      {"tenths of a second", 0, 25, {2500, OsdPlace::bottom_centre, true}},
      {"one tenth", 0, 1, {100, OsdPlace::bottom_centre, true}},
      {"a minute is the longest", 0, 600, {60000, OsdPlace::bottom_centre, true}},
      {"beyond a minute is held to it", 0, 0xFFFF, {60000, OsdPlace::bottom_centre, true}},
      {"top right", 3, 0, {1500, OsdPlace::top_right, true}},
      {"centre", 6, 10, {1000, OsdPlace::centre, true}},
      {"an unknown place is the default one", 0x000F, 0, {1500, OsdPlace::bottom_centre, true}},
      {"reserved bits change nothing", 0x7FF4, 0, {1500, OsdPlace::top_left, true}},
      {"bit 15 shows nothing", 0x8000, 0, {1500, OsdPlace::bottom_centre, false}},
      {"off keeps the rest", 0x8001, 30, {3000, OsdPlace::bottom_right, false}},
  };
  for (const ConfigCase& c : cases) {
    EXPECT_EQ(decode_osd_config(c.high, c.low), c.expected) << c.what;
    // As Monitor sends them: (high << 16) | low, unsigned.
    const auto lparam = static_cast<std::intptr_t>((static_cast<std::uint32_t>(c.high) << 16) | c.low);
    EXPECT_EQ(osd_config_of_lparam(lparam), c.expected) << c.what << " (lParam)";
  }
  // Only the low 32 bits carry the words, whatever a sender puts above.
  EXPECT_EQ(osd_config_of_lparam(static_cast<std::intptr_t>(0x1234'0003'001EULL)),
            (OsdConfig{3000, OsdPlace::top_right, true}));
  EXPECT_EQ(osd_config_of_lparam(-1), (OsdConfig{60000, OsdPlace::bottom_centre, false}));
}

TEST(OsdRequests, ProfilesAndMessages) {
  struct Case {
    std::uintptr_t wparam;
    std::intptr_t lparam;
    OsdRequest::Kind kind;
    int profile;
  };
  const Case cases[] = {
      {40, 0, OsdRequest::Kind::profile, 0},
      {40, 4 << 16, OsdRequest::Kind::profile, 4},
      {40, (2 << 16) | 0x7777, OsdRequest::Kind::profile, 2},  // the low half is not part of it
      {40, 5 << 16, OsdRequest::Kind::none, -1},                // no sixth profile
      {40, 0xFFFF0000, OsdRequest::Kind::none, -1},
      {40, -1, OsdRequest::Kind::none, -1},
      {50, 0, OsdRequest::Kind::message, -1},
      {50, 3 << 16, OsdRequest::Kind::message, -1},
      {0, 0, OsdRequest::Kind::none, -1},
      {41, 1 << 16, OsdRequest::Kind::none, -1},
  };
  for (const Case& c : cases) {
    const OsdRequest r = osd_request(c.wparam, c.lparam);
    EXPECT_EQ(r.kind, c.kind) << c.wparam << " " << c.lparam;
    EXPECT_EQ(r.profile, c.profile) << c.wparam << " " << c.lparam;
  }
}

TEST(OsdTexts, ProfileNumberGoesWhereThePatternSays) {
  struct Case {
    std::u16string pattern;
    int n;
    std::u16string expected;
  };
  const Case cases[] = {
      {u"Profile %d", 3, u"Profile 3"},
      {u"配置 %d", 1, u"配置 1"},
      {u"%d. Profil", 5, u"5. Profil"},
      {u"%d %d", 2, u"2 %d"},                  // one number only
      {u"100%% profile %d", 4, u"100% profile 4"},
      {u"Profile %s %n %x", 2, u"Profile %s %n %x 2"},  // never handed to a printf
      {u"Profile %", 2, u"Profile % 2"},
      {u"Profil", 3, u"Profil 3"},             // a translation that lost its number
      {u"", 3, u""},                           // no language module: no text
  };
  for (const Case& c : cases) EXPECT_EQ(format_count(c.pattern, c.n), c.expected);

  EXPECT_EQ(profile_content(2, u"Profile %d", u"Shooter"),
            (OsdContent{OsdContent::Kind::profile, u"3", u"Profile 3", u"Shooter"}));
  const OsdContent m = message_content(u"Match in five minutes");
  EXPECT_EQ(m.kind, OsdContent::Kind::message);
  EXPECT_EQ(m.line1, u"Match in five minutes");
  EXPECT_TRUE(m.line2.empty());
}

TEST(OsdPlacement, CornersEdgesAndSmallScreens) {
  const OsdArea screen{0, 0, 1920, 1040};  // a panel along the bottom takes 40 pixels
  struct Case {
    OsdPlace place;
    OsdPoint expected;
  };
  const Case cases[] = {
      {OsdPlace::bottom_centre, {800, 1040 - 96 - 48}},
      {OsdPlace::bottom_right, {1920 - 320 - 48, 1040 - 96 - 48}},
      {OsdPlace::bottom_left, {48, 1040 - 96 - 48}},
      {OsdPlace::top_right, {1920 - 320 - 48, 48}},
      {OsdPlace::top_left, {48, 48}},
      {OsdPlace::top_centre, {800, 48}},
      {OsdPlace::centre, {800, (1040 - 96) / 2}},
  };
  for (const Case& c : cases) EXPECT_EQ(osd_top_left(screen, 320, 96, c.place), c.expected);

  // A second screen to the right of the first: its own coordinates.
  EXPECT_EQ(osd_top_left({1920, 0, 1280, 1024}, 320, 96, OsdPlace::top_left), (OsdPoint{1968, 48}));
  // No room for the margins: they shrink, the panel stays whole on the screen.
  EXPECT_EQ(osd_top_left({0, 0, 360, 120}, 320, 96, OsdPlace::bottom_right), (OsdPoint{20, 12}));
  // Smaller than the panel: its top-left corner stays on the screen.
  EXPECT_EQ(osd_top_left({10, 20, 200, 50}, 320, 96, OsdPlace::bottom_right), (OsdPoint{10, 20}));
}

}  // namespace
}  // namespace mt
