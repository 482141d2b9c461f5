// Small text tests shared by Monitor's desktop actions. All work on UTF-16
// units as the records store them; case folding is ASCII only, which is what
// program and player names need.
#pragma once

#include <string_view>

namespace mt {

inline char16_t ascii_lower16(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

// False for a lone or reversed surrogate: such text names no file.
inline bool is_well_formed_utf16(std::u16string_view s) {
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

inline bool contains_ignore_case(std::u16string_view text, std::u16string_view word) {
  if (word.empty()) return true;
  if (word.size() > text.size()) return false;
  for (std::size_t i = 0; i + word.size() <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < word.size() && ascii_lower16(text[i + k]) == ascii_lower16(word[k])) ++k;
    if (k == word.size()) return true;
  }
  return false;
}

// White space as the C library's classification knows it.
inline bool is_blank16(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

inline std::u16string_view trim_blanks(std::u16string_view s) {
  while (!s.empty() && is_blank16(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank16(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace mt
