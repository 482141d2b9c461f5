#include "platform/qt/qt_text.h"

#include <gtest/gtest.h>

namespace {

TEST(QtText, UnitsGoAcrossUnchanged) {
  const std::u16string cases[] = {
      u"", u"Morvath T60R", u"\u00DCber \u4E2D\U0001F5B1",
      std::u16string{u'a', char16_t(0xD800), u'b'},  // a lone surrogate stays what it is
      std::u16string(u"a\0b", 3),
  };
  for (const std::u16string& text : cases) {
    QString q = platform::to_qstring(text);
    EXPECT_EQ(static_cast<std::size_t>(q.size()), text.size());
    EXPECT_EQ(platform::to_u16string(q), text);
  }
}

TEST(QtText, FixedArrayEndsAtItsNulOrItsEnd) {
  char16_t name[8] = u"Pro\0xyz";
  EXPECT_EQ(platform::fixed_to_qstring(name), QString("Pro"));
  char16_t full[3] = {u'a', u'b', u'c'};  // no NUL: the array's end ends it
  EXPECT_EQ(platform::fixed_to_qstring(full), QString("abc"));
}

}  // namespace
