// Parses arbitrary bytes as an ini file, reads every key it can name, then
// checks that what was read survives serialize + parse, and that a write
// reads back and disturbs no other key.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/ini_file.h"

namespace {

using platform::IniDocument;

#define CHECK(cond) \
  do {              \
    if (!(cond)) std::abort(); \
  } while (0)

bool blank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f'; }

std::u16string trim(std::u16string s) {
  while (!s.empty() && blank(s.back())) s.pop_back();
  std::size_t b = 0;
  while (b < s.size() && blank(s[b])) ++b;
  return s.substr(b);
}

struct Reading {
  std::optional<std::u16string> raw;
  int32_t i;
  std::u16string s;
  bool struct_ok;
  std::vector<unsigned char> bytes;
  bool operator==(const Reading&) const = default;
};

Reading read(const IniDocument& d, const std::u16string& sec, const std::u16string& key) {
  Reading r;
  r.raw = d.raw(sec, key);
  r.i = d.get_int(sec, key, -7);
  r.s = d.get_string(sec, key, u"<none>");
  const std::size_t n = r.raw && r.raw->size() >= 2 ? r.raw->size() / 2 - 1 : 0;
  r.bytes.assign(n, 0xA5);
  r.struct_ok = d.get_struct(sec, key, r.bytes.data(), n);
  return r;
}

// Section/key names found in the written text (always UTF-16LE, CRLF).
std::vector<std::pair<std::u16string, std::u16string>> names_in(const std::string& le) {
  std::vector<std::pair<std::u16string, std::u16string>> out = {
      {u"Setting", u"CurrentProfile"}, {u"Macros", u"number"}, {u"S", u"k"}, {u"", u""}};
  std::u16string line, section;
  for (std::size_t i = 2; i + 1 < le.size() && out.size() < 64; i += 2) {
    char16_t c = char16_t(static_cast<unsigned char>(le[i]) | (static_cast<unsigned char>(le[i + 1]) << 8));
    if (c != u'\n') {
      line.push_back(c);
      continue;
    }
    CHECK(!line.empty() && line.back() == u'\r');  // every line ends in CRLF
    line.pop_back();
    std::u16string t = trim(line);
    if (!t.empty() && t[0] == u'[' && t.find(u']') != std::u16string::npos) {
      section = trim(t.substr(1, t.find(u']') - 1));
    } else if (!t.empty() && t[0] != u';' && t[0] != u'[' && t.find(u'=') != std::u16string::npos) {
      out.emplace_back(section, trim(t.substr(0, t.find(u'='))));
    }
    line.clear();
  }
  return out;
}

bool same_name(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i] >= u'A' && a[i] <= u'Z' ? a[i] + 32 : a[i];
    char16_t y = b[i] >= u'A' && b[i] <= u'Z' ? b[i] + 32 : b[i];
    if (x != y) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  IniDocument doc = IniDocument::parse(bytes);
  const std::string once = doc.serialize();
  CHECK(once.size() >= 2 && once.size() % 2 == 0);

  const auto names = names_in(once);
  std::vector<Reading> before;
  for (const auto& [s, k] : names) before.push_back(read(doc, s, k));

  IniDocument again = IniDocument::parse(once);
  CHECK(again.serialize() == once);
  for (std::size_t i = 0; i < names.size(); ++i) CHECK(read(again, names[i].first, names[i].second) == before[i]);

  // One write of each kind to a name picked from the input.
  const std::size_t pick = size % names.size();
  const auto& [sec, key] = names[pick];
  std::u16string value(bytes.substr(0, 24).begin(), bytes.substr(0, 24).end());
  for (char16_t& c : value)
    if (c == u'\r' || c == u'\n') c = u' ';
  const int kind = size % 3;
  if (kind == 0) {
    again.set_string(sec, key, value);
  } else if (kind == 1) {
    int32_t v = 0;
    std::memcpy(&v, data, size < 4 ? size : 4);
    again.set_int(sec, key, v);
  } else {
    again.set_struct(sec, key, data, size < 40 ? size : 40);
  }
  IniDocument third = IniDocument::parse(again.serialize());
  CHECK(third.serialize() == again.serialize());
  const Reading w = read(third, sec, key);
  if (kind == 0) {
    CHECK(w.raw == trim(value));
  } else if (kind == 1) {
    int32_t v = 0;
    std::memcpy(&v, data, size < 4 ? size : 4);
    CHECK(w.i == v);
  } else {
    const std::size_t n = size < 40 ? size : 40;
    CHECK(w.struct_ok && w.bytes.size() == n && (n == 0 || std::memcmp(w.bytes.data(), data, n) == 0));
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (same_name(names[i].first, sec) && same_name(names[i].second, key)) continue;
    CHECK(read(third, names[i].first, names[i].second) == before[i]);
  }
  return 0;
}
