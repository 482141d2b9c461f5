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
