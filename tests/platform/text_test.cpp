#include "platform/text.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

using platform::utf16_to_utf8;
using platform::utf8_to_utf16;

TEST(Text, Utf8ToUtf16) {
  struct Case {
    std::string in;
    std::u16string out;
  } cases[] = {
      {"", u""},
      {"Abc", u"Abc"},
      {"M\xC3\xBCller \xE2\x82\xAC", u"M\u00FCller \u20AC"},
      {"\xF0\x9F\x96\xB1", u"\U0001F5B1"},                    // outside the BMP: a surrogate pair
      {"a\xFF" "b", u"a\uFFFD" "b"},                           // not a UTF-8 byte
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                         // overlong
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},               // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},     // above U+10FFFF
      {"x\xE2\x82", u"x\uFFFD\uFFFD"},                       // cut off mid-character
      {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},  // NUL is text like any other
  };
  for (const auto& c : cases) EXPECT_EQ(utf8_to_utf16(c.in), c.out) << c.in;
}

TEST(Text, Utf16ToUtf8) {
  EXPECT_EQ(utf16_to_utf8(u"M\u00FCller \u20AC"), "M\xC3\xBCller \xE2\x82\xAC");
  EXPECT_EQ(utf16_to_utf8(u"\U0001F5B1"), "\xF0\x9F\x96\xB1");
  // Lone surrogates, either half and at the end.
  EXPECT_EQ(utf16_to_utf8(std::u16string{u'a', char16_t(0xD800), u'b'}), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(utf16_to_utf8(std::u16string{char16_t(0xDC00)}), "\xEF\xBF\xBD");
  EXPECT_EQ(utf16_to_utf8(std::u16string{u'a', char16_t(0xDBFF)}), "a\xEF\xBF\xBD");
}

TEST(Text, CaseInsensitiveAsciiOnly) {
  EXPECT_TRUE(platform::equals_ignore_case(u"MouseSpeed", u"mOUSEsPEED"));
  EXPECT_FALSE(platform::equals_ignore_case(u"Mouse", u"MouseSpeed"));
  EXPECT_FALSE(platform::equals_ignore_case(u"[", u"{"));  // 0x5B vs 0x7B: only letters fold
  EXPECT_FALSE(platform::equals_ignore_case(u"\u00FC", u"\u00DC"));
  EXPECT_TRUE(platform::equals_ignore_case(std::string_view("Quake3.EXE"), std::string_view("quake3.exe")));
  EXPECT_FALSE(platform::equals_ignore_case(std::string_view("a@"), std::string_view("a`")));  // 0x40 vs 0x60
  static_assert(platform::ascii_lower('Z') == 'z' && platform::ascii_lower('[') == '[');
  static_assert(platform::ascii_lower(u'\u00C4') == u'\u00C4');

  EXPECT_TRUE(platform::contains_ignore_case(u"C:\\Program Files\\ITUNES\\iTunes.exe", u"itunes"));
  EXPECT_TRUE(platform::contains_ignore_case(u"abc", u""));
  EXPECT_FALSE(platform::contains_ignore_case(u"winam", u"winamp"));
  EXPECT_FALSE(platform::contains_ignore_case(u"real play", u"realplay"));
}

TEST(Text, TrimTakesOnlyTheGivenBlanks) {
  struct Case {
    std::u16string_view in, blanks, out;
  } cases[] = {
      {u" \t a b \t ", u" \t", u"a b"},
      {u"\n x \n", u" \t", u"\n x \n"},  // a line break is not in this set
      {u"\n\v\f\r x\r\n", platform::WHITE_SPACE, u"x"},
      {u"   ", u" ", u""},
      {u"", u" ", u""},
      {u" x ", u"", u" x "},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::trim(c.in, c.blanks), c.out);
  EXPECT_EQ(platform::trim(std::string_view(" \tid=1\t"), std::string_view(" \t")), "id=1");
}

TEST(Text, WellFormedUtf16) {
  const char16_t hi = 0xD83D, lo = 0xDDB1;
  EXPECT_TRUE(platform::is_well_formed_utf16(u""));
  EXPECT_TRUE(platform::is_well_formed_utf16(std::u16string{u'a', hi, lo, u'b'}));
  EXPECT_FALSE(platform::is_well_formed_utf16(std::u16string{u'a', hi}));      // cut pair
  EXPECT_FALSE(platform::is_well_formed_utf16(std::u16string{lo, hi}));        // reversed
  EXPECT_FALSE(platform::is_well_formed_utf16(std::u16string{hi, u'x', lo}));  // parted
}

TEST(Text, DecimalText) {
  EXPECT_EQ(platform::to_u16(0), u"0");
  EXPECT_EQ(platform::to_u16(-1), u"-1");
  EXPECT_EQ(platform::to_u16(2147483647), u"2147483647");
  EXPECT_EQ(platform::to_u16(LLONG_MIN), u"-9223372036854775808");
}

TEST(Text, FixedArrays) {
  char16_t field[4];
  platform::set_fixed_text(field, u"abcdef");
  EXPECT_EQ(platform::fixed_text(field), u"abc");
  platform::set_fixed_text(field, u"x");
  EXPECT_EQ(field[1], u'\0');
  EXPECT_EQ(field[3], u'\0');
  EXPECT_EQ(platform::fixed_text(field), u"x");
}

}  // namespace
