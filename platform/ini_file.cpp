#include "platform/ini_file.h"

#include <atomic>
#include <bit>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

#include "platform/text.h"

namespace platform {

namespace {

std::atomic<uint64_t> g_read_opens{0};
std::atomic<uint64_t> g_write_opens{0};
std::atomic<uint64_t> g_temp_counter{0};

// The blanks around names and values; line ends are gone by the time a line
// is looked at.
constexpr std::u16string_view kBlanks = u" \t\r\v\f";

bool is_blank(char16_t c) { return kBlanks.find(c) != kBlanks.npos; }

bool is_blank_line(std::u16string_view s) {
  for (char16_t c : s)
    if (!is_blank(c)) return false;
  return true;
}

// Names compare without regard to ASCII case, so the index hashes and
// compares the folded form; lookups take a view and allocate nothing.
struct CiHash {
  using is_transparent = void;
  std::size_t operator()(std::u16string_view s) const noexcept {
    std::size_t h = 1469598103934665603ULL;
    for (char16_t c : s) h = (h ^ ascii_lower(c)) * 1099511628211ULL;
    return h;
  }
};
struct CiEq {
  using is_transparent = void;
  bool operator()(std::u16string_view a, std::u16string_view b) const noexcept {
    return equals_ignore_case(a, b);
  }
};
using NameIndex = std::unordered_map<std::u16string, std::size_t, CiHash, CiEq>;

enum class LineKind { blank, comment, header, key, other };

// Classifies one line; for a header or key, name receives its trimmed name.
LineKind classify(std::u16string_view line, std::u16string_view& name) {
  std::u16string_view t = trim(line, kBlanks);
  if (t.empty()) return LineKind::blank;
  if (t[0] == u';') return LineKind::comment;
  if (t[0] == u'[') {
    std::size_t close = t.find(u']');
    if (close == std::u16string_view::npos) return LineKind::other;  // kept, but neither header nor key
    name = trim(t.substr(1, close - 1), kBlanks);
    return LineKind::header;
  }
  std::size_t eq = t.find(u'=');
  if (eq == std::u16string_view::npos) return LineKind::other;
  name = trim(t.substr(0, eq), kBlanks);
  return LineKind::key;
}

// Names that would not read back as written are refused rather than stored
// as a line that means something else (a comment, a header, another key).
bool valid_section_name(std::u16string_view s) {
  if (!s.empty() && (is_blank(s.front()) || is_blank(s.back()))) return false;
  for (char16_t c : s)
    if (c == u'\n' || c == u'\r' || c == u']') return false;
  return true;
}
bool valid_key_name(std::u16string_view k) {
  if (!k.empty() && (is_blank(k.front()) || is_blank(k.back()) || k.front() == u';' || k.front() == u'['))
    return false;
  for (char16_t c : k)
    if (c == u'\n' || c == u'\r' || c == u'=') return false;
  return true;
}

// cp1252 for 0x80..0x9F; its five unassigned bytes keep their C1 code points,
// as the system's own conversion does. Everything else is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t cp1252(unsigned char b) { return (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : char16_t(b); }

void append_cp1252(std::u16string& out, std::string_view b) {
  for (char c : b) out.push_back(cp1252(static_cast<unsigned char>(c)));
}

// Whether s starts with a sequence that is only cut short by the end of the data.
bool is_truncated_utf8(std::string_view s) {
  const auto b0 = static_cast<unsigned char>(s[0]);
  const std::size_t need = (b0 >= 0xF0 && b0 <= 0xF4)   ? 4
                          : (b0 >= 0xE0 && b0 <= 0xEF) ? 3
                          : (b0 >= 0xC2 && b0 <= 0xDF) ? 2
                                                       : 0;
  if (need == 0 || s.size() >= need) return false;
  for (std::size_t i = 1; i < s.size(); ++i)
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return false;
  return true;
}

// Valid UTF-8, allowing a file cut off in the middle of its last character.
bool looks_utf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      ++i;
      continue;
    }
    char32_t cp;
    std::size_t n = utf8_decode_one(s.substr(i), cp);
    if (n == 0) return is_truncated_utf8(s.substr(i));
    i += n;
  }
  return true;
}

// UTF-8 where a byte that is not part of a well-formed sequence is taken as
// cp1252, so no byte of the file is lost on the next save.
void append_utf8_lenient(std::u16string& out, std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    char32_t cp;
    std::size_t n = utf8_decode_one(s.substr(i), cp);
    if (n == 0) {
      out.push_back(cp1252(b));
      ++i;
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char16_t>(cp));
      i += n;
    } else {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
      i += n;
    }
  }
}

void append_utf16(std::u16string& out, std::string_view b, bool big_endian) {
  const std::size_t n = b.size() / 2;  // an odd last byte is half a unit: dropped
  const std::size_t at = out.size();
  out.resize(at + n);
  if (!big_endian && std::endian::native == std::endian::little) {
    std::memcpy(out.data() + at, b.data(), n * 2);
    return;
  }
  for (std::size_t i = 0; i < n; ++i) {
    const auto lo = static_cast<unsigned char>(b[2 * i + (big_endian ? 1 : 0)]);
    const auto hi = static_cast<unsigned char>(b[2 * i + (big_endian ? 0 : 1)]);
    out[at + i] = static_cast<char16_t>(lo | (hi << 8));
  }
}

std::u16string decode(std::string_view b) {
  std::u16string text;
  auto starts = [&](std::string_view bom) { return b.substr(0, bom.size()) == bom; };
  if (starts("\xFF\xFE")) {
    append_utf16(text, b.substr(2), false);
  } else if (starts("\xFE\xFF")) {
    append_utf16(text, b.substr(2), true);
  } else if (starts("\xEF\xBB\xBF")) {
    append_utf8_lenient(text, b.substr(3));
  } else if (looks_utf8(b)) {
    append_utf8_lenient(text, b);
  } else {
    append_cp1252(text, b);
  }
  return text;
}

void append_le(std::string& out, std::u16string_view s) {
  const std::size_t at = out.size();
  out.resize(at + s.size() * 2);
  if (std::endian::native == std::endian::little) {
    std::memcpy(out.data() + at, s.data(), s.size() * 2);
    return;
  }
  for (std::size_t i = 0; i < s.size(); ++i) {
    out[at + 2 * i] = static_cast<char>(s[i] & 0xFF);
    out[at + 2 * i + 1] = static_cast<char>(s[i] >> 8);
  }
}

// A trimmed value in matching quotes loses them, as string reads do.
std::u16string_view unquote(std::u16string_view s) {
  if (s.size() >= 2 && (s.front() == u'"' || s.front() == u'\'') && s.back() == s.front())
    return s.substr(1, s.size() - 2);
  return s;
}

int hex_value(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

bool write_all(int fd, const char* p, std::size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

void sync_folder(const std::string& folder) {
  int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) return;
  ::fsync(dfd);
  ::close(dfd);
}

// Replaces path with data so that a crash at any moment leaves either the old
// or the new file: temporary file beside it, flushed, renamed over it.
bool write_file_atomic(const std::string& path, const std::string& data) {
  std::string target = path;
  struct stat st;
  // Write through a symbolic link rather than replacing the link itself.
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  bool have_old = false;
  if (::stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return false;
    // A file the user made read-only stays as it is, as it would on Windows;
    // the rename below would otherwise replace it regardless.
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return false;
    have_old = true;
  }
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  if (base.empty()) return false;

  std::string tmp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    const uint64_t n = g_temp_counter.fetch_add(1) ^ (static_cast<uint64_t>(std::time(nullptr)) << 20);
    tmp = folder + "." + base + "." + std::to_string(::getpid()) + "-" + std::to_string(n) + ".tmp";
    fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  g_write_opens.fetch_add(1, std::memory_order_relaxed);

  bool ok = true;
  if (have_old) {
    // Keep the owner when we may (root editing a user's file); otherwise the
    // file is ours anyway and the failure changes nothing.
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
      const int kept = ::fchown(fd, st.st_uid, st.st_gid);
      (void)kept;
    }
    ok = ::fchmod(fd, st.st_mode & 07777) == 0;
  }
  ok = ok && write_all(fd, data.data(), data.size());
  ok = ok && ::fdatasync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(tmp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(tmp.c_str());
    return false;
  }
  sync_folder(folder);
  return true;
}

}  // namespace

struct IniDocument::Impl {
  struct Section {
    std::u16string header;  // the header line as read; empty for sections[0]
    std::vector<std::u16string> lines;
    NameIndex keys;  // key name -> index in lines of its first occurrence
  };
  // sections[0] holds the lines before the first header: they belong to no
  // section and cannot be addressed.
  std::vector<Section> sections{1};
  NameIndex index;  // section name -> its first occurrence in sections

  // What a moved-from document (no Impl) reads as; it is rebuilt on write.
  static const Impl& empty() {
    static const Impl none;
    return none;
  }

  const Section* find_section(std::u16string_view name) const {
    auto it = index.find(name);
    return it == index.end() ? nullptr : &sections[it->second];
  }

  std::optional<std::u16string_view> value(std::u16string_view section, std::u16string_view key) const {
    const Section* s = find_section(section);
    if (!s) return std::nullopt;
    auto it = s->keys.find(key);
    if (it == s->keys.end()) return std::nullopt;
    std::u16string_view line = s->lines[it->second];
    return trim(line.substr(line.find(u'=') + 1), kBlanks);
  }

  void set(std::u16string_view section, std::u16string_view key, std::u16string value) {
    // A line break in a value would start a new line of the file, possibly a
    // forged key or section; it is stored as a space instead.
    for (char16_t& c : value)
      if (c == u'\n' || c == u'\r') c = u' ';
    auto sit = index.find(section);
    if (sit == index.end()) {
      Section s;
      s.header.reserve(section.size() + 2);
      s.header.append(u"[").append(section).append(u"]");
      sit = index.try_emplace(std::u16string(section), sections.size()).first;
      sections.push_back(std::move(s));
    }
    Section& s = sections[sit->second];
    auto kit = s.keys.find(key);
    if (kit != s.keys.end()) {
      // Keep the key as the file spells it; the rest of the line is the new value.
      std::u16string& line = s.lines[kit->second];
      std::u16string name(trim(std::u16string_view(line).substr(0, line.find(u'=')), kBlanks));
      line = std::move(name) + u"=" + value;
      return;
    }
    // After the section's last non-blank line; only blank lines follow the
    // insertion point, so no key index moves.
    std::size_t at = s.lines.size();
    while (at > 0 && is_blank_line(s.lines[at - 1])) --at;
    s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(at), std::u16string(key) + u"=" + value);
    s.keys.try_emplace(std::u16string(key), at);
  }
};

IniDocument::IniDocument() : impl_(std::make_unique<Impl>()) {}
IniDocument::~IniDocument() = default;
IniDocument::IniDocument(const IniDocument& o)
    : impl_(std::make_unique<Impl>(o.impl_ ? *o.impl_ : Impl{})) {}
IniDocument& IniDocument::operator=(const IniDocument& o) {
  if (this != &o) impl_ = std::make_unique<Impl>(o.impl_ ? *o.impl_ : Impl{});
  return *this;
}
IniDocument::IniDocument(IniDocument&&) noexcept = default;
IniDocument& IniDocument::operator=(IniDocument&&) noexcept = default;


IniDocument IniDocument::parse(std::string_view bytes) {
  IniDocument doc;
  Impl& d = *doc.impl_;
  const std::u16string text = decode(bytes);
  std::u16string_view rest = text;
  // Lines end at CRLF, LF or a lone CR; a last line without an end counts.
  while (!rest.empty()) {
    std::size_t end = rest.find_first_of(u"\r\n");
    std::u16string_view line = rest.substr(0, end);
    if (end == std::u16string_view::npos) {
      rest = {};
    } else {
      std::size_t next = end + 1;
      if (rest[end] == u'\r' && next < rest.size() && rest[next] == u'\n') ++next;
      rest.remove_prefix(next);
    }
    std::u16string_view name;
    switch (classify(line, name)) {
      case LineKind::header: {
        Impl::Section s;
        s.header = std::u16string(line);
        d.index.try_emplace(std::u16string(name), d.sections.size());
        d.sections.push_back(std::move(s));
        continue;
      }
      case LineKind::key:
        if (d.sections.size() > 1)
          d.sections.back().keys.try_emplace(std::u16string(name), d.sections.back().lines.size());
        break;
      default:
        break;
    }
    d.sections.back().lines.emplace_back(line);
  }
  return doc;
}

IniDocument::LoadStatus IniDocument::load_checked(const std::string& path) {
  impl_ = std::make_unique<Impl>();
  // O_NONBLOCK: a FIFO planted under the name must not hang the program.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return (errno == ENOENT || errno == ENOTDIR) ? LoadStatus::missing : LoadStatus::failed;
  g_read_opens.fetch_add(1, std::memory_order_relaxed);
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return LoadStatus::failed;
  }
  std::string bytes;
  bytes.resize(static_cast<std::size_t>(st.st_size) + 1);  // +1 sees EOF without a second grow
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) bytes.resize(bytes.size() * 2);
    ssize_t r = ::read(fd, bytes.data() + filled, bytes.size() - filled);
    if (r < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return LoadStatus::failed;
    }
    if (r == 0) break;
    filled += static_cast<std::size_t>(r);
  }
  ::close(fd);
  bytes.resize(filled);
  *this = parse(bytes);
  return LoadStatus::ok;
}

bool IniDocument::load(const std::string& path) { return load_checked(path) == LoadStatus::ok; }

std::optional<std::u16string> IniDocument::raw(std::u16string_view section, std::u16string_view key) const {
  const Impl& d = impl_ ? *impl_ : Impl::empty();
  auto v = d.value(section, key);
  if (!v) return std::nullopt;
  return std::u16string(*v);
}

int32_t IniDocument::get_int(std::u16string_view section, std::u16string_view key, int32_t def) const {
  const Impl& d = impl_ ? *impl_ : Impl::empty();
  auto v = d.value(section, key);
  if (!v) return def;
  // The number is read from the string value, so quotes around it go too.
  const std::u16string_view s = unquote(*v);
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) negative = s[i++] == u'-';
  // Accumulate unsigned: out-of-range values wrap modulo 2^32 instead of overflowing.
  uint32_t acc = 0;
  for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i) acc = acc * 10u + uint32_t(s[i] - u'0');
  if (negative) acc = 0u - acc;
  return static_cast<int32_t>(acc);
}

std::u16string IniDocument::get_string(std::u16string_view section, std::u16string_view key,
                                       std::u16string_view def) const {
  const Impl& d = impl_ ? *impl_ : Impl::empty();
  auto v = d.value(section, key);
  if (!v) return std::u16string(def);
  return std::u16string(unquote(*v));
}

bool IniDocument::get_struct(std::u16string_view section, std::u16string_view key, void* out,
                             std::size_t size) const {
  const Impl& d = impl_ ? *impl_ : Impl::empty();
  auto v = d.value(section, key);
  if (!v) return false;
  std::u16string_view s = *v;
  if (size >= s.size() || s.size() != 2 * (size + 1)) return false;
  // Check everything first so that out is only written for a good record.
  unsigned sum = 0;
  for (std::size_t i = 0; i < s.size(); i += 2) {
    int hi = hex_value(s[i]), lo = hex_value(s[i + 1]);
    if (hi < 0 || lo < 0) return false;
    if (i / 2 < size) sum += unsigned(hi * 16 + lo);
    else if (unsigned(hi * 16 + lo) != (sum & 0xFF)) return false;
  }
  auto* p = static_cast<unsigned char*>(out);
  for (std::size_t i = 0; i < size; ++i)
    p[i] = static_cast<unsigned char>(hex_value(s[2 * i]) * 16 + hex_value(s[2 * i + 1]));
  return true;
}

void IniDocument::set_string(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
  if (!valid_section_name(section) || !valid_key_name(key)) return;
  if (!impl_) impl_ = std::make_unique<Impl>();
  impl_->set(section, key, std::u16string(value));
}

void IniDocument::set_int(std::u16string_view section, std::u16string_view key, int32_t value) {
  set_string(section, key, to_u16(value));
}

void IniDocument::set_struct(std::u16string_view section, std::u16string_view key, const void* data,
                             std::size_t size) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string text;
  text.resize(2 * (size + 1));
  const auto* p = static_cast<const unsigned char*>(data);
  unsigned sum = 0;
  for (std::size_t i = 0; i <= size; ++i) {
    const unsigned b = i < size ? p[i] : (sum & 0xFF);
    sum += b;
    text[2 * i] = kHex[b >> 4];
    text[2 * i + 1] = kHex[b & 0xF];
  }
  set_string(section, key, text);
}

std::string IniDocument::serialize() const {
  std::string out = "\xFF\xFE";
  if (!impl_) return out;
  std::size_t units = 0;
  for (const auto& s : impl_->sections) {
    units += s.header.size() + 2;
    for (const auto& l : s.lines) units += l.size() + 2;
  }
  out.reserve(2 + units * 2);
  for (std::size_t i = 0; i < impl_->sections.size(); ++i) {
    const auto& s = impl_->sections[i];
    if (i > 0) {
      append_le(out, s.header);
      append_le(out, u"\r\n");
    }
    for (const auto& l : s.lines) {
      append_le(out, l);
      append_le(out, u"\r\n");
    }
  }
  return out;
}

bool IniDocument::save(const std::string& path) const { return write_file_atomic(path, serialize()); }

bool IniDocument::save_if_changed(const std::string& path) const {
  const std::string bytes = serialize();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd >= 0) {
    g_read_opens.fetch_add(1, std::memory_order_relaxed);
    struct stat st;
    bool same = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) == bytes.size();
    if (same) {
      std::string old(bytes.size(), '\0');
      std::size_t filled = 0;
      while (filled < old.size()) {
        ssize_t r = ::read(fd, old.data() + filled, old.size() - filled);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        filled += static_cast<std::size_t>(r);
      }
      same = filled == old.size() && old == bytes;
    }
    ::close(fd);
    if (same) return true;
  }
  return write_file_atomic(path, bytes);
}

bool IniDocument::empty() const {
  return !impl_ || (impl_->sections.size() == 1 && impl_->sections[0].lines.empty());
}

int32_t ini_get_int(const std::string& path, std::u16string_view section, std::u16string_view key,
                    int32_t def) {
  IniDocument doc;
  doc.load(path);
  return doc.get_int(section, key, def);
}

std::u16string ini_get_string(const std::string& path, std::u16string_view section,
                              std::u16string_view key, std::u16string_view def) {
  IniDocument doc;
  doc.load(path);
  return doc.get_string(section, key, def);
}

bool ini_get_struct(const std::string& path, std::u16string_view section, std::u16string_view key,
                    void* out, std::size_t size) {
  IniDocument doc;
  doc.load(path);
  return doc.get_struct(section, key, out, size);
}

namespace {
// Load-modify-save of one file. A file that exists but cannot be read is left
// alone: rewriting it from an empty document would drop everything in it.
template <typename Write>
bool modify_file(const std::string& path, std::u16string_view section, std::u16string_view key,
                 Write write) {
  if (!valid_section_name(section) || !valid_key_name(key)) return false;
  IniDocument doc;
  if (doc.load_checked(path) == IniDocument::LoadStatus::failed) return false;
  write(doc);
  return doc.save(path);
}
}  // namespace

bool ini_set_string(const std::string& path, std::u16string_view section, std::u16string_view key,
                    std::u16string_view value) {
  return modify_file(path, section, key, [&](IniDocument& d) { d.set_string(section, key, value); });
}

bool ini_set_int(const std::string& path, std::u16string_view section, std::u16string_view key,
                 int32_t value) {
  return modify_file(path, section, key, [&](IniDocument& d) { d.set_int(section, key, value); });
}

bool ini_set_struct(const std::string& path, std::u16string_view section, std::u16string_view key,
                    const void* data, std::size_t size) {
  return modify_file(path, section, key, [&](IniDocument& d) { d.set_struct(section, key, data, size); });
}

IniOpenCounts ini_open_counts() {
  return IniOpenCounts{g_read_opens.load(std::memory_order_relaxed),
                       g_write_opens.load(std::memory_order_relaxed)};
}

}  // namespace platform
