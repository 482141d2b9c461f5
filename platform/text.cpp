#include "platform/text.h"

#include <cstdint>

namespace platform {

std::size_t utf8_decode_one(std::string_view s, char32_t& cp) {
  if (s.empty()) return 0;
  const auto b0 = static_cast<unsigned char>(s[0]);
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  std::size_t len;
  char32_t value;
  char32_t min;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2, value = b0 & 0x1F, min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3, value = b0 & 0x0F, min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4, value = b0 & 0x07, min = 0x10000;
  } else {
    return 0;  // continuation byte, C0/C1 overlong lead or F5..FF
  }
  if (s.size() < len) return 0;
  for (std::size_t i = 1; i < len; ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if ((b & 0xC0) != 0x80) return 0;
    value = (value << 6) | (b & 0x3F);
  }
  if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  cp = value;
  return len;
}

std::u16string utf8_to_utf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    char32_t cp;
    const std::size_t n = utf8_decode_one(s.substr(i), cp);
    if (n == 0) {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    i += n;
    if (cp < 0x10000) {
      out.push_back(static_cast<char16_t>(cp));
    } else {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
  }
  return out;
}

static void put_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::string utf16_to_utf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char16_t u = s[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      put_utf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(s[i + 1]) - 0xDC00));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      put_utf8(out, 0xFFFD);  // lone surrogate
    } else {
      put_utf8(out, u);
    }
  }
  return out;
}

namespace {

template <class Char>
bool equal_folded(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
  return true;
}

template <class Char>
std::basic_string_view<Char> trim_set(std::basic_string_view<Char> s, std::basic_string_view<Char> blanks) {
  std::size_t b = 0, e = s.size();
  while (b < e && blanks.find(s[b]) != blanks.npos) ++b;
  while (e > b && blanks.find(s[e - 1]) != blanks.npos) --e;
  return s.substr(b, e - b);
}

}  // namespace

bool equals_ignore_case(std::u16string_view a, std::u16string_view b) { return equal_folded(a, b); }
bool equals_ignore_case(std::string_view a, std::string_view b) { return equal_folded(a, b); }

bool contains_ignore_case(std::u16string_view text, std::u16string_view word) {
  if (word.size() > text.size()) return false;
  for (std::size_t i = 0; i + word.size() <= text.size(); ++i)
    if (equal_folded(text.substr(i, word.size()), word)) return true;
  return false;
}

std::u16string_view trim(std::u16string_view s, std::u16string_view blanks) { return trim_set(s, blanks); }
std::string_view trim(std::string_view s, std::string_view blanks) { return trim_set(s, blanks); }

bool is_well_formed_utf16(std::u16string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    char16_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 >= s.size() || s[i + 1] < 0xDC00 || s[i + 1] > 0xDFFF) return false;
      ++i;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

std::u16string to_u16(long long value) {
  // Work on the magnitude as unsigned so the most negative value has no overflow.
  unsigned long long mag = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                     : static_cast<unsigned long long>(value);
  char16_t buf[24];
  std::size_t n = 0;
  do {
    buf[n++] = static_cast<char16_t>(u'0' + mag % 10);
    mag /= 10;
  } while (mag != 0);
  std::u16string out;
  out.reserve(n + 1);
  if (value < 0) out.push_back(u'-');
  while (n > 0) out.push_back(buf[--n]);
  return out;
}

}  // namespace platform
