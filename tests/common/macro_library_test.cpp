#include "common/macro_library.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/text.h"
#include "tests/common/file_fixture.h"

namespace {

using fixture::TempFolder;
using mt::MacroRecord;

MacroRecord macro(const std::u16string& name, int events, int seed) {
  MacroRecord m;
  std::memset(&m, 0, sizeof m);
  platform::set_fixed_text(m.name, name);
  m.repeat_count = 1 + seed;
  m.event_count = events;
  for (int e = 0; e < 60; ++e)
    m.events[e] = {static_cast<uint8_t>(4 + (e + seed) % 60), static_cast<uint8_t>(1 + e % 2),
                   static_cast<uint16_t>(e * 1000 + seed)};
  return m;
}

void write_library_file(const TempFolder& dir, const std::vector<std::string>& lines) {
  mkdir((dir / "config").c_str(), 0755);
  fixture::write_file(dir / "config/sequence.dat", fixture::windows_ini(lines));
}

bool same(const MacroRecord& a, const MacroRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(MacroLibrary, EmptyLibrarySavesNumberZeroAndLoadsEmpty) {
  TempFolder dir;
  ASSERT_TRUE(mt::save_macro_library({}, dir.path()));
  EXPECT_EQ(fixture::read_file(dir / "config/sequence.dat"), fixture::windows_ini({"[Macros]", "number=0"}));
  std::vector<MacroRecord> loaded;
  EXPECT_EQ(mt::load_macro_library(loaded, dir.path()), 0u);
  EXPECT_TRUE(loaded.empty());
}

TEST(MacroLibrary, MissingFileOrNumberLoadsNothing) {
  TempFolder dir;
  std::vector<MacroRecord> loaded;
  EXPECT_EQ(mt::load_macro_library(loaded, dir.path()), 0u);
  MacroRecord m = macro(u"a", 2, 0);
  write_library_file(dir, {"[Macros]", "0=" + fixture::hex_record(&m, sizeof m)});
  EXPECT_EQ(mt::load_macro_library(loaded, dir.path()), 0u);
  EXPECT_TRUE(loaded.empty());
}

TEST(MacroLibrary, RoundTripKeepsRecordsAndOrderAndDropsOlderKeys) {
  TempFolder dir;
  std::vector<MacroRecord> five;
  for (int i = 0; i < 5; ++i) five.push_back(macro(u"Macro Ж" + platform::to_u16(i), 12 * i, i));
  ASSERT_TRUE(mt::save_macro_library(five, dir.path()));
  std::vector<MacroRecord> two = {macro(u"Zeta", 60, 7), macro(u"alpha", 0, 8)};
  ASSERT_TRUE(mt::save_macro_library(two, dir.path()));

  std::vector<std::string> expected = {"[Macros]", "number=2"};
  for (int i = 0; i < 2; ++i) expected.push_back(std::to_string(i) + "=" + fixture::hex_record(&two[i], 288));
  EXPECT_EQ(fixture::read_file(dir / "config/sequence.dat"), fixture::windows_ini(expected));

  std::vector<MacroRecord> loaded = {macro(u"already there", 1, 9)};
  EXPECT_EQ(mt::load_macro_library(loaded, dir.path()), 2u);
  ASSERT_EQ(loaded.size(), 3u);
  EXPECT_TRUE(same(loaded[1], two[0]));
  EXPECT_TRUE(same(loaded[2], two[1]));
}

TEST(MacroLibrary, BadRecordsAreSkippedAndOthersBroughtIntoRange) {
  MacroRecord good = macro(u"good", 3, 1);
  MacroRecord too_many = macro(u"many", 70, 2);
  MacroRecord negative = macro(u"neg", -5, 3);
  MacroRecord unterminated = macro(u"", 1, 4);
  for (auto& c : unterminated.name) c = u'N';
  std::string bad_sum = fixture::hex_record(&good, sizeof good);
  bad_sum[bad_sum.size() - 1] = bad_sum.back() == 'F' ? 'E' : 'F';

  TempFolder dir;
  write_library_file(dir, {"[Macros]", "number=8", "0=" + fixture::hex_record(&good, sizeof good),
                           "1=" + bad_sum, "2=" + fixture::hex_record(&good, 287),
                           "3=" + fixture::hex_record(&too_many, sizeof too_many),
                           "4=" + fixture::hex_record(&negative, sizeof negative),
                           "5=" + fixture::hex_record(&unterminated, sizeof unterminated),
                           // 6 missing
                           "7=" + fixture::hex_record(&good, sizeof good).replace(0, 2, "G0")});
  std::vector<MacroRecord> loaded;
  EXPECT_EQ(mt::load_macro_library(loaded, dir.path()), 4u);
  ASSERT_EQ(loaded.size(), 4u);
  EXPECT_TRUE(same(loaded[0], good));
  EXPECT_EQ(loaded[1].event_count, 60);
  EXPECT_EQ(platform::fixed_text(loaded[1].name), u"many");
  EXPECT_EQ(loaded[2].event_count, 0);
  EXPECT_EQ(platform::fixed_text(loaded[3].name), std::u16string(19, u'N'));
  EXPECT_EQ(loaded[3].event_count, 1);
}

// A "number" far beyond what the file holds costs no more than the records
// it does hold.
TEST(MacroLibrary, HugeNumberLoadsWhatIsThere) {
  MacroRecord m = macro(u"only", 2, 0);
  TempFolder dir;
  write_library_file(dir, {"[Macros]", "number=2147483647", "0=" + fixture::hex_record(&m, sizeof m)});
  std::vector<MacroRecord> loaded;
  EXPECT_EQ(mt::load_macro_library(loaded, dir.path()), 1u);
}

TEST(MacroLibrary, FailedSaveIsReported) {
  TempFolder dir;
  mkdir((dir / "config").c_str(), 0755);
  mkdir((dir / "config/sequence.dat").c_str(), 0755);
  EXPECT_FALSE(mt::save_macro_library({macro(u"x", 1, 0)}, dir.path()));
}

TEST(MacroLibrary, FailedSaveKeepsTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  TempFolder dir;
  std::vector<MacroRecord> lib = {macro(u"keep", 5, 0)};
  ASSERT_TRUE(mt::save_macro_library(lib, dir.path()));
  const std::string before = fixture::read_file(dir / "config/sequence.dat");
  chmod((dir / "config").c_str(), 0500);
  EXPECT_FALSE(mt::save_macro_library({}, dir.path()));
  chmod((dir / "config").c_str(), 0755);
  EXPECT_EQ(fixture::read_file(dir / "config/sequence.dat"), before);
}

}  // namespace
