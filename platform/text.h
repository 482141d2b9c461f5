// UTF-16 text helpers: the records keep their strings as fixed, NUL-terminated
// arrays of UTF-16 units; everything outside them (paths, logs) is UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// UTF-8 <-> UTF-16. Invalid input becomes U+FFFD; nothing ever throws.
std::u16string utf8_to_utf16(std::string_view s);
std::string utf16_to_utf8(std::u16string_view s);

// Decodes the UTF-8 sequence at the start of s into cp and returns its length,
// or 0 when s does not start with a complete, well-formed sequence (overlong
// forms, surrogates and values above U+10FFFF are not well-formed).
std::size_t utf8_decode_one(std::string_view s, char32_t& cp);

// The text in a fixed array: up to the first NUL or the end of the array.
template <std::size_t N>
std::u16string_view fixed_text(const char16_t (&field)[N]) {
  std::size_t n = 0;
  while (n < N && field[n] != u'\0') ++n;
  return std::u16string_view(field, n);
}

// Stores text into a fixed array, cut to N - 1 units so the NUL always fits;
// the rest of the array is zeroed so the record's bytes are deterministic.
template <std::size_t N>
void set_fixed_text(char16_t (&field)[N], std::u16string_view text) {
  std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
  for (std::size_t i = 0; i < n; ++i) field[i] = text[i];
  for (std::size_t i = n; i < N; ++i) field[i] = u'\0';
}

// ASCII-only case folding: section and key names, program and player names
// compare without regard to the case of A-Z and nothing else.
template <class Char>
constexpr Char ascii_lower(Char c) {
  return (c >= Char('A') && c <= Char('Z')) ? static_cast<Char>(c + ('a' - 'A')) : c;
}

// ASCII case-insensitive equality.
bool equals_ignore_case(std::u16string_view a, std::u16string_view b);
bool equals_ignore_case(std::string_view a, std::string_view b);
// Whether `word` occurs in `text`, ASCII case-insensitively; an empty word always does.
bool contains_ignore_case(std::u16string_view text, std::u16string_view word);

// White space as the C library's isspace() classifies it, for trim().
inline constexpr std::u16string_view WHITE_SPACE = u" \t\n\v\f\r";

// `s` without the leading and trailing units that are in `blanks`.
std::u16string_view trim(std::u16string_view s, std::u16string_view blanks);
std::string_view trim(std::string_view s, std::string_view blanks);

// False for a lone or reversed surrogate: such text names no file.
bool is_well_formed_utf16(std::u16string_view s);

// Decimal text of a signed value ("%d").
std::u16string to_u16(long long value);

}  // namespace platform
