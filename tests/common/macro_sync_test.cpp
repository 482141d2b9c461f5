#include "common/macro_sync.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/text.h"

namespace mt {
namespace {

using platform::fixed_text;

MacroRecord macro(std::u16string_view name, int count, int32_t repeat, uint8_t first_key) {
  MacroRecord m;
  std::memset(&m, 0, sizeof m);
  platform::set_fixed_text(m.name, name);
  m.repeat_count = repeat;
  m.event_count = count;
  for (int i = 0; i < count; ++i)
    m.events[i] = {static_cast<uint8_t>(first_key + i), static_cast<uint8_t>(1 + i % 2), static_cast<uint16_t>(10 * i)};
  return m;
}

void set_button(ButtonRecord& b, uint8_t function, const MacroRecord& m) {
  b.function = function;
  platform::set_fixed_text(b.macro_name, fixed_text(m.name));
  b.repeat_count = m.repeat_count;
  b.event_count = static_cast<uint16_t>(m.event_count);
  std::memcpy(b.events, m.events, sizeof b.events);
}

std::unique_ptr<SettingsRecord> factory_record() {
  auto r = std::make_unique<SettingsRecord>();
  clear(*r);
  set_factory_defaults(*r);
  return r;
}

TEST(MacroNames, TrimmedAndCaseInsensitive) {
  const struct {
    std::u16string_view a, b;
    bool same;
  } cases[] = {
      {u"Jump", u"JUMP", true},          {u" \tJump\r\n", u"jump", true},  {u"Jump", u"  jUMP ", true},
      {u"Jump", u"Jump2", false},        {u"J ump", u"Jump", false},       {u"", u"   ", true},
      {u"Ñandú", u"ñANDÚ", true},        {u"Макрос", u"МАКРОС", true},      {u"Ёлка", u"ёлка", true},
      {u"Λόγος", u"λόγος", true},        {u"×", u"÷", false},               {u"中文", u"中文", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(platform::utf16_to_utf8(c.a) + " / " + platform::utf16_to_utf8(c.b));
    EXPECT_EQ(same_macro_name(c.a, c.b), c.same);
    EXPECT_EQ(same_macro_name(c.b, c.a), c.same);
  }
  EXPECT_TRUE(macro_name_starts_with(u"Macro 1", u"mac"));
  EXPECT_TRUE(macro_name_starts_with(u"Macro 1", u""));
  EXPECT_FALSE(macro_name_starts_with(u" Macro", u"mac"));  // the list's search does not trim
  EXPECT_FALSE(macro_name_starts_with(u"Ma", u"mac"));
}

TEST(MacroLibraryOps, FindAddRemove) {
  std::vector<MacroRecord> lib = {macro(u"Jump", 2, 1, 4), macro(u"jump", 3, 1, 4), macro(u"Fire", 1, 5, 9)};
  EXPECT_EQ(find_macro(lib, u" JUMP "), 0);  // the first of two that match
  EXPECT_EQ(find_macro(lib, u"fire"), 2);
  EXPECT_EQ(find_macro(lib, u"Fir"), -1);

  ButtonRecord b{};
  set_button(b, kFnMacro, lib[2]);
  b.events[1] = {0x77, 2, 500};  // beyond the event count: not compared
  EXPECT_EQ(find_macro(lib, b).index, 2);
  EXPECT_TRUE(find_macro(lib, b).identical);
  b.repeat_count = 6;
  EXPECT_FALSE(find_macro(lib, b).identical);
  b.repeat_count = 5;
  b.events[0].delay = 1;
  EXPECT_FALSE(find_macro(lib, b).identical);
  b.events[0].delay = 0;
  b.event_count = 2;
  EXPECT_FALSE(find_macro(lib, b).identical);
  platform::set_fixed_text(b.macro_name, u"Nope");
  EXPECT_EQ(find_macro(lib, b).index, -1);
  EXPECT_FALSE(find_macro(lib, b).identical);

  // add: a zeroed record, the name cut to 19 units without splitting a pair.
  const int i = add_macro(lib, u"abcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(i, 3);
  EXPECT_EQ(fixed_text(lib[3].name), u"abcdefghijklmnopqrs");
  EXPECT_EQ(lib[3].repeat_count, 0);
  EXPECT_EQ(lib[3].event_count, 0);
  const MacroEvent none[kMaxMacroEvents] = {};
  EXPECT_EQ(std::memcmp(lib[3].events, none, sizeof none), 0);
  add_macro(lib, u"123456789012345678\U0001F600");
  EXPECT_EQ(fixed_text(lib[4].name), u"123456789012345678");

  EXPECT_FALSE(remove_macro(lib, -1));
  EXPECT_FALSE(remove_macro(lib, 5));
  EXPECT_TRUE(remove_macro(lib, 0));
  ASSERT_EQ(lib.size(), 4u);
  EXPECT_EQ(fixed_text(lib[0].name), u"jump");
}

// One record with macro buttons across profiles; both passes are checked on it.
struct SyncFixture : ::testing::Test {
  std::unique_ptr<SettingsRecord> record = factory_record();
  ButtonRecord& button(int p, int b) { return record->profiles[p].MacroKeyInfo[b]; }
  int flags_set() const {
    int n = 0;
    for (auto& row : record->button_changed)
      for (int32_t f : row) n += f != 0;
    return n;
  }
};

TEST_F(SyncFixture, MergeAppendsUpdatesAndMarksEveryMacroButton) {
  std::vector<MacroRecord> lib = {macro(u"Fire", 4, 3, 20), macro(u"Jump", 2, 1, 4)};
  MacroRecord fresh = macro(u"Pad", 5, 2, 40);
  set_button(button(0, 3), kFnMacro, fresh);
  button(0, 3).events[5] = {0x55, 1, 99};  // past the count: not carried into the library
  set_button(button(2, 5), kFnMacro, lib[0]);              // identical: stays as it is
  MacroRecord changed = macro(u"  JUMP ", 6, 4, 30);
  set_button(button(1, 0), kFnMacro, changed);             // same name, other events
  set_button(button(3, 1), kFnMacro, macro(u"", 3, 1, 4));  // no name: not a library macro
  set_button(button(4, 2), kFnKey, lib[1]);                // not a macro button
  record->section_changed[0][0] = 0;
  record->global_changed = 0;

  const MacroSyncResult r = merge_from_profiles(lib, *record);
  EXPECT_EQ(r.buttons, 3);
  EXPECT_EQ(r.added, 1);
  EXPECT_EQ(r.updated, 1);

  ASSERT_EQ(lib.size(), 3u);
  const MacroRecord fire = macro(u"Fire", 4, 3, 20);
  EXPECT_EQ(std::memcmp(&lib[0], &fire, sizeof(MacroRecord)), 0);
  MacroRecord jump = changed;
  platform::set_fixed_text(jump.name, u"Jump");  // the entry keeps its own name
  EXPECT_EQ(std::memcmp(&lib[1], &jump, sizeof(MacroRecord)), 0);
  EXPECT_EQ(std::memcmp(&lib[2], &fresh, sizeof(MacroRecord)), 0);

  EXPECT_EQ(flags_set(), 3);
  EXPECT_EQ(record->button_changed[0][3], 1);
  EXPECT_EQ(record->button_changed[1][0], 1);
  EXPECT_EQ(record->button_changed[2][5], 1);
  EXPECT_EQ(record->section_changed[0][0], 0);
  EXPECT_EQ(record->global_changed, 0);

  // Option merges at every start: a second pass adds nothing, even for a name
  // with white space around it.
  const MacroSyncResult again = merge_from_profiles(lib, *record);
  EXPECT_EQ(again.added, 0);
  EXPECT_EQ(lib.size(), 3u);
}

TEST_F(SyncFixture, MergeTakesTheLastOfTwoDifferingButtonsAndClampsTheirCount) {
  std::vector<MacroRecord> lib;
  set_button(button(0, 0), kFnMacro, macro(u"Twin", 2, 1, 4));
  set_button(button(0, 1), kFnMacro, macro(u"twin", 3, 7, 50));
  button(0, 1).event_count = 999;  // a record from outside; read as 60
  merge_from_profiles(lib, *record);
  ASSERT_EQ(lib.size(), 1u);
  EXPECT_EQ(fixed_text(lib[0].name), u"Twin");
  EXPECT_EQ(lib[0].event_count, 60);
  EXPECT_EQ(lib[0].repeat_count, 7);
  EXPECT_EQ(lib[0].events[0].key, 50);
}

TEST_F(SyncFixture, PushCopiesTheLibraryAndDisablesButtonsWhoseMacroHasGone) {
  set_button(button(0, 3), kFnMacro, macro(u"jump ", 2, 1, 4));
  set_button(button(4, 15), kFnMacro, macro(u"Jump", 2, 1, 4));
  set_button(button(1, 2), kFnMacro, macro(u"Gone", 3, 1, 9));
  set_button(button(2, 2), kFnKey, macro(u"Gone", 1, 1, 9));  // not a macro button: untouched
  const ButtonRecord key_button = button(2, 2);
  const std::vector<MacroRecord> lib = {macro(u"Other", 1, 1, 70), macro(u"Jump", 60, 9, 100)};

  const MacroSyncResult r = push_to_profiles(lib, *record);
  EXPECT_EQ(r.buttons, 3);
  EXPECT_EQ(r.disabled, 1);
  for (auto [p, b] : {std::pair{0, 3}, std::pair{4, 15}}) {
    const ButtonRecord& got = button(p, b);
    EXPECT_EQ(got.function, kFnMacro);
    EXPECT_EQ(fixed_text(got.macro_name), u"Jump");
    EXPECT_EQ(got.macro_name[5], 0);  // the old name's tail is cleared
    EXPECT_EQ(got.event_count, 60);
    EXPECT_EQ(got.repeat_count, 9);
    EXPECT_EQ(std::memcmp(got.events, lib[1].events, sizeof got.events), 0);
    EXPECT_EQ(record->button_changed[p][b], 1);
  }
  EXPECT_EQ(button(1, 2).function, kFnDisabled);
  EXPECT_EQ(record->button_changed[1][2], 1);
  EXPECT_EQ(std::memcmp(&button(2, 2), &key_button, sizeof key_button), 0);
  EXPECT_EQ(flags_set(), 3);
}

}  // namespace
}  // namespace mt
