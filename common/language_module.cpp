#include "common/language_module.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/text.h"

namespace mt {
namespace {

constexpr std::string_view kBlanks = " \t";

// Ids are 16-bit, as string-table ids always were; anything else is no id.
bool parse_id(std::string_view s, uint16_t& id) {
  s = platform::trim(s, kBlanks);
  if (s.empty()) return false;
  uint32_t value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint32_t>(c - '0');
    if (value > 0xFFFF) return false;
  }
  id = static_cast<uint16_t>(value);
  return true;
}

// "\n" -> line break, "\\" -> backslash; any other backslash stays as written.
std::string unescape(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      if (s[i + 1] == 'n') {
        out.push_back('\n');
        ++i;
        continue;
      }
      if (s[i + 1] == '\\') {
        out.push_back('\\');
        ++i;
        continue;
      }
    }
    out.push_back(s[i]);
  }
  return out;
}

void cut_to_limit(std::u16string& text) {
  if (text.size() <= LanguageModule::kMaxTextUnits) return;
  std::size_t n = LanguageModule::kMaxTextUnits;
  // Never keep the first half of a surrogate pair without its second half.
  if (text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
  text.resize(n);
}

bool read_file(const std::string& path, std::string& out) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st{};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0 &&
            static_cast<unsigned long long>(st.st_size) <= LanguageModule::kMaxFileBytes;
  if (ok) {
    out.assign(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t got = 0;
    while (got < out.size()) {
      const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        ok = false;
        break;
      }
      if (n == 0) break;  // the file shrank while we read it
      got += static_cast<std::size_t>(n);
    }
    out.resize(got);
  }
  ::close(fd);
  return ok;
}

}  // namespace

const char* language_module_name(int language_id) {
  switch (language_id) {
    case kLanguageChinese: return "Lang_sc";
    case kLanguageRussian: return "Lang_Ru";
    case kLanguageItalian: return "Lang_It";
    case kLanguageSpanish: return "Lang_Sp";
    default: return "Lang_EN";
  }
}

std::string language_module_path(std::string_view program_folder, int language_id) {
  std::string path(program_folder);
  if (!path.empty() && path.back() != '/') path.push_back('/');
  path += "Lang/";
  path += language_module_name(language_id);
  path += ".lang";
  return path;
}

bool LanguageModule::load(const std::string& path) {
  unload();
  std::string content;
  if (!read_file(path, content)) return false;
  load_from_text(content);
  return true;
}

bool LanguageModule::load_for_language(std::string_view program_folder, int language_id) {
  return load(language_module_path(program_folder, language_id));
}

void LanguageModule::load_from_text(std::string_view content) {
  texts_.clear();
  loaded_ = true;
  if (content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3);
  while (!content.empty()) {
    const std::size_t eol = content.find('\n');
    std::string_view line = content.substr(0, eol);
    content.remove_prefix(eol == std::string_view::npos ? content.size() : eol + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    const std::string_view bare = platform::trim(line, kBlanks);
    if (bare.empty() || bare.front() == '#') continue;

    const std::size_t eq = line.find('=');
    uint16_t id = 0;
    if (eq == std::string_view::npos || !parse_id(line.substr(0, eq), id)) continue;
    if (texts_.count(id) != 0) continue;  // the first definition wins

    std::u16string text = platform::utf8_to_utf16(unescape(line.substr(eq + 1)));
    cut_to_limit(text);
    texts_.emplace(id, std::move(text));
  }
}

void LanguageModule::unload() {
  texts_.clear();
  loaded_ = false;
}

std::u16string LanguageModule::text(int id) const {
  if (id < 0 || id > 0xFFFF) return {};
  const auto it = texts_.find(static_cast<uint16_t>(id));
  return it == texts_.end() ? std::u16string() : it->second;
}

std::u16string language_label(const LanguageModule& current, int language_id) {
  switch (language_id) {
    case kLanguageChinese: return current.text(121);
    case kLanguageRussian: return current.text(102);
    case kLanguageItalian: return u"IT";
    case kLanguageSpanish: return u"ES";
    default: return current.text(101);
  }
}

}  // namespace mt
