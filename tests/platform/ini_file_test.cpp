#include "platform/ini_file.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using platform::IniDocument;

// Test-side encoders, one unit at a time, independent of the layer.
std::string utf16le(std::u16string_view s, bool bom = true) {
  std::string out = bom ? "\xFF\xFE" : "";
  for (char16_t c : s) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}
std::string utf16be(std::u16string_view s) {
  std::string out = "\xFE\xFF";
  for (char16_t c : s) {
    out.push_back(static_cast<char>(c >> 8));
    out.push_back(static_cast<char>(c & 0xFF));
  }
  return out;
}

IniDocument doc_of(const std::string& utf8) { return IniDocument::parse(utf8); }

// The document's text as written, decoded back from its UTF-16LE bytes.
std::u16string written_text(const IniDocument& d) {
  std::string b = d.serialize();
  EXPECT_EQ(b.substr(0, 2), "\xFF\xFE");
  std::u16string out;
  for (std::size_t i = 2; i + 1 < b.size(); i += 2)
    out.push_back(char16_t(static_cast<unsigned char>(b[i]) | (static_cast<unsigned char>(b[i + 1]) << 8)));
  return out;
}

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "ini_test.XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  void write_bytes(const std::string& name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
  }
  std::string read_bytes(const std::string& name) const {
    std::ifstream f(path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  fs::path dir_;
};

// --- reading ---------------------------------------------------------------

TEST(IniRead, Encodings) {
  // The same content in every encoding a file may come in: "Name" holds
  // u-umlaut and the euro sign, which differ between Latin-1 and cp1252.
  const std::u16string text = u"[Setting]\r\nName=M\u00FCller\u20AC\r\nSpeed=7\r\n";
  struct Case {
    const char* what;
    std::string bytes;
    std::u16string name;
  } cases[] = {
      {"UTF-16LE BOM CRLF", utf16le(text), u"M\u00FCller\u20AC"},
      {"UTF-16LE literal",
       std::string("\xFF\xFE[\0S\0e\0t\0t\0i\0n\0g\0]\0\r\0\n\0S\0p\0e\0e\0d\0=\0" "7\0\r\0\n\0", 42), u""},
      {"UTF-16BE BOM LF", utf16be(u"[Setting]\nName=M\u00FCller\u20AC\nSpeed=7\n"), u"M\u00FCller\u20AC"},
      {"UTF-8 BOM CRLF", "\xEF\xBB\xBF[Setting]\r\nName=M\xC3\xBCller\xE2\x82\xAC\r\nSpeed=7\r\n", u"M\u00FCller\u20AC"},
      {"UTF-8 LF", "[Setting]\nName=M\xC3\xBCller\xE2\x82\xAC\nSpeed=7", u"M\u00FCller\u20AC"},
      {"cp1252", "[Setting]\r\nName=M\xFCller\x80\r\nSpeed=7\r\n", u"M\u00FCller\u20AC"},
      {"UTF-8 cut mid-character stays UTF-8",
       "[Setting]\nName=M\xC3\xBCller\xE2\x82\xAC\nSpeed=7\nTail=\xE2\x82", u"M\u00FCller\u20AC"},
      {"UTF-16LE odd byte count", utf16le(text) + "x", u"M\u00FCller\u20AC"},
      {"UTF-16BE odd byte count", utf16be(text) + "x", u"M\u00FCller\u20AC"},
  };
  for (const auto& c : cases) {
    IniDocument d = IniDocument::parse(c.bytes);
    EXPECT_EQ(d.get_int(u"Setting", u"Speed", -1), 7) << c.what;
    EXPECT_EQ(d.get_string(u"Setting", u"Name", u""), c.name) << c.what;
  }
  // Well-formed UTF-8 inside an 8-bit file does not make it UTF-8.
  EXPECT_EQ(doc_of("[S]\na=\xC3\xBC\nb=\xFC").get_string(u"S", u"a", u""), u"\u00C3\u00BC");
}

TEST(IniRead, Integers) {
  struct Case {
    const char* value;
    int32_t expected;
  } cases[] = {
      {"7", 7},           {"  -12  ", -12},   {"+5", 5},
      {"102abc", 102},    {"abc", 0},         {"", 0},
      {"-", 0},           {"- 5", 0},         {"1 2", 1},
      {"0x1F", 0},        {"\"42\"", 42},     {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"4294967295", -1},  // beyond 32 bits: wraps
      {"99999999999", 1215752191},
      {"-4294967297", -1},
      {"123456789012345678901234567890", static_cast<int32_t>(1312754386u)},
  };
  for (const auto& c : cases) {
    IniDocument d = doc_of(std::string("[S]\nk=") + c.value + "\n");
    EXPECT_EQ(d.get_int(u"S", u"k", -99), c.expected) << c.value;
  }
  IniDocument d = doc_of("[S]\nk=1\n");
  EXPECT_EQ(d.get_int(u"S", u"missing", -1), -1);
  EXPECT_EQ(d.get_int(u"Missing", u"k", 100), 100);
}

TEST(IniRead, Strings) {
  struct Case {
    const char* line;
    std::u16string expected;
  } cases[] = {
      {"k=  hello world \t", u"hello world"},
      {"k=\"quoted\"", u"quoted"},
      {"k='single'", u"single"},
      {"k= \" inner blanks \" ", u" inner blanks "},
      {"k=\"mismatch'", u"\"mismatch'"},
      {"k=\"", u"\""},
      {"k=\"\"", u""},
      {"k=a=b", u"a=b"},
      {"  k  =v", u"v"},
      {"k=", u""},
  };
  for (const auto& c : cases) {
    IniDocument d = doc_of(std::string("[S]\n") + c.line + "\n");
    EXPECT_EQ(d.get_string(u"S", u"k", u"def"), c.expected) << c.line;
  }
  IniDocument d = doc_of("[S]\nk=v\n");
  EXPECT_EQ(d.get_string(u"S", u"other", u"def"), u"def");
  EXPECT_FALSE(d.raw(u"S", u"other").has_value());
  EXPECT_EQ(doc_of("[S]\nk= \"v\" \n").raw(u"S", u"k"), u"\"v\"");
}

TEST(IniRead, Structs) {
  const unsigned char bytes[3] = {0x01, 0xAB, 0xFF};  // sum 0x1AB -> checksum AB
  IniDocument w;
  w.set_struct(u"S", u"k", bytes, 3);
  EXPECT_EQ(w.raw(u"S", u"k"), u"01ABFFAB");
  w.set_struct(u"S", u"empty", nullptr, 0);
  EXPECT_EQ(w.raw(u"S", u"empty"), u"00");

  struct Case {
    const char* value;
    bool ok;
  } cases[] = {
      {"01ABFFAB", true},   {"01abffab", true},   {" 01ABFFAB ", true},
      {"01ABFFAC", false},  // checksum
      {"01ABFF", false},    {"01ABFFAB00", false}, {"01ABFFA", false},  // length
      {"01AGFFAB", false},  {"01AB FAB", false},  {"+1ABFFAB", false},  // hex
      {"\"01ABFFAB\"", false},
  };
  for (const auto& c : cases) {
    IniDocument d = doc_of(std::string("[S]\nk=") + c.value + "\n");
    unsigned char out[3] = {0x55, 0x55, 0x55};
    EXPECT_EQ(d.get_struct(u"S", u"k", out, 3), c.ok) << c.value;
    if (c.ok) {
      EXPECT_EQ(0, std::memcmp(out, bytes, 3)) << c.value;
    } else {
      EXPECT_EQ(out[0], 0x55) << c.value;  // untouched on failure
      EXPECT_EQ(out[2], 0x55) << c.value;
    }
  }
  unsigned char out[3] = {0x55, 0x55, 0x55};
  EXPECT_FALSE(w.get_struct(u"S", u"missing", out, 3));
  EXPECT_FALSE(w.get_struct(u"S", u"k", out, SIZE_MAX));  // no overflow in the length check
  EXPECT_EQ(out[0], 0x55);

  // A big record with every byte value round-trips.
  std::vector<unsigned char> big(812);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<unsigned char>(i * 7);
  w.set_struct(u"S", u"big", big.data(), big.size());
  std::vector<unsigned char> back(812, 0);
  ASSERT_TRUE(IniDocument::parse(w.serialize()).get_struct(u"S", u"big", back.data(), back.size()));
  EXPECT_EQ(back, big);
}

TEST(IniRead, NamesIgnoreCaseAndBlanks) {
  IniDocument d = doc_of("[ SETTING ]\r\n  mousespeed = 3\r\n");
  EXPECT_EQ(d.get_int(u"Setting", u"MouseSpeed", -1), 3);
  EXPECT_EQ(d.get_int(u"setting", u"MOUSESPEED", -1), 3);
  EXPECT_EQ(d.get_int(u"Settings", u"MouseSpeed", -1), -1);
  d.set_int(u"Setting", u"MouseSpeed", 5);
  // The key keeps the file's spelling; nothing is added.
  EXPECT_EQ(written_text(d), u"[ SETTING ]\r\nmousespeed=5\r\n");
}

TEST(IniRead, DuplicatesFirstWins) {
  IniDocument d = doc_of("[S]\nk=1\nk=2\n[s]\nk=3\nj=4\n");
  EXPECT_EQ(d.get_int(u"S", u"k", -1), 1);
  EXPECT_EQ(d.get_int(u"S", u"j", -1), -1);  // lives in the ignored second section
  d.set_int(u"S", u"k", 9);
  d.set_int(u"S", u"j", 8);
  EXPECT_EQ(written_text(d), u"[S]\r\nk=9\r\nk=2\r\nj=8\r\n[s]\r\nk=3\r\nj=4\r\n");
}

TEST(IniRead, LinesThatAreNotKeys) {
  IniDocument d = doc_of(
      "k=0\n"            // before any section: no section
      "[S]\n"
      ";k=1\n"           // comment
      "k\n"              // no '='
      "[T\n"             // unterminated header: not a header, not a key
      "t=2\n"
      "=3\n");
  EXPECT_EQ(d.get_int(u"", u"k", -1), -1);
  EXPECT_EQ(d.get_int(u"S", u"k", -1), -1);
  EXPECT_EQ(d.get_int(u"S", u";k", -1), -1);
  EXPECT_EQ(d.get_int(u"T", u"t", -1), -1);
  EXPECT_EQ(d.get_int(u"S", u"t", -1), 2);
  EXPECT_EQ(d.get_int(u"S", u"", -1), 3);
}

TEST(IniRead, BadInputLoadsWhatItCan) {
  const std::string big_line(1 << 20, 'x');
  struct Case {
    const char* what;
    std::string bytes;
    int32_t k;  // expected S/k, -1 = missing
  } cases[] = {
      {"empty", "", -1},
      {"BOM only", "\xFF\xFE", -1},
      {"odd UTF-16", "\xFF\xFE\x5B", -1},
      {"half a BE BOM", "\xFE", -1},
      {"binary", std::string("\x00\x01\xFE\xFF\x00[S]\x00\nk=\x00", 13), -1},
      {"1 MB line", "[S]\nbig=" + big_line + "\nk=5\n", 5},
      {"1 MB line without newline", "[S]\nk=5\n" + big_line, 5},
      {"lone CRs end lines too", "[S]\rk=1\r\r\nk=5\r\n", 1},
      {"NUL inside value", std::string("[S]\nk=4\0junk\n", 13), 4},
      {"header-only", "[S]", -1},
      {"UTF-16 unpaired surrogate", utf16le(u"[S]\nk=6\n") + "\x00\xD8", 6},
      {"UTF-8 BOM then garbage", "\xEF\xBB\xBF[S]\nk=\xC3\n", 0},
  };
  for (const auto& c : cases) {
    IniDocument d = IniDocument::parse(c.bytes);
    EXPECT_EQ(d.get_int(u"S", u"k", -1), c.k) << c.what;
    // What was read survives a save and a re-read.
    std::string once = d.serialize();
    IniDocument again = IniDocument::parse(once);
    EXPECT_EQ(again.serialize(), once) << c.what;
    EXPECT_EQ(again.get_int(u"S", u"k", -1), c.k) << c.what;
  }
  IniDocument d = doc_of("[S]\nbig=" + big_line + "\n");
  EXPECT_EQ(d.get_string(u"S", u"big", u"").size(), big_line.size());
}

// --- writing ---------------------------------------------------------------

TEST(IniWrite, RewriteKeepsOtherLinesAndAppendsInPlace) {
  IniDocument d = doc_of(
      "; top comment\n"
      "[Setting]\n"
      "  A = 1  \n"
      "Keep = \"as is\" \n"
      "; note\n"
      "\n"
      "\n"
      "[Other]\n"
      "junk line\n"
      "\n");
  d.set_int(u"Setting", u"a", 5);            // replaced in place
  d.set_string(u"Setting", u"New", u"x");    // after "; note", before the blanks
  d.set_string(u"Other", u"b", u"2");        // after "junk line"
  d.set_string(u"Third", u"c", u"3");        // new section at the very end
  d.set_string(u"Third", u"d", u"4");
  EXPECT_EQ(written_text(d),
            u"; top comment\r\n"
            u"[Setting]\r\n"
            u"A=5\r\n"
            u"Keep = \"as is\" \r\n"
            u"; note\r\n"
            u"New=x\r\n"
            u"\r\n"
            u"\r\n"
            u"[Other]\r\n"
            u"junk line\r\n"
            u"b=2\r\n"
            u"\r\n"
            u"[Third]\r\n"
            u"c=3\r\n"
            u"d=4\r\n");
}

TEST(IniWrite, SerializeExactBytes) {
  IniDocument d;
  EXPECT_TRUE(d.empty());
  EXPECT_EQ(d.serialize(), "\xFF\xFE");
  d.set_int(u"S", u"k", -1);
  d.set_string(u"S", u"n", u"\u20AC");
  EXPECT_FALSE(d.empty());
  EXPECT_EQ(d.serialize(), std::string("\xFF\xFE"
                                       "[\0S\0]\0\r\0\n\0"
                                       "k\0=\0-\0" "1\0\r\0\n\0"
                                       "n\0=\0\xAC\x20\r\0\n\0",
                                       2 + 10 + 12 + 10));
  // A file without a final line end gets one; a BE file is written LE.
  EXPECT_EQ(IniDocument::parse(utf16be(u"[S]\nk=1")).serialize(), utf16le(u"[S]\r\nk=1\r\n"));
}

TEST(IniWrite, ValuesAndNamesThatWouldBreakTheFile) {
  IniDocument d = doc_of("[S]\nk=1\n");
  // A line break in a value must not forge a section or key.
  d.set_string(u"S", u"v", u"a\r\n[Evil]\nk=666");
  IniDocument back = IniDocument::parse(d.serialize());
  EXPECT_EQ(back.get_string(u"S", u"v", u""), u"a  [Evil] k=666");
  EXPECT_EQ(back.get_int(u"Evil", u"k", -1), -1);
  EXPECT_EQ(back.get_int(u"S", u"k", -1), 1);
  // Names that cannot be stored as themselves are refused.
  const std::u16string before = written_text(d);
  d.set_string(u"S", u"a=b", u"x");
  d.set_string(u"S", u";c", u"x");
  d.set_string(u"S", u"[c", u"x");
  d.set_string(u"S", u" k", u"x");
  d.set_string(u"S", u"k\n", u"x");
  d.set_string(u"a]b", u"k", u"x");
  d.set_string(u"S\r", u"k", u"x");
  EXPECT_EQ(written_text(d), before);
}

TEST(IniWrite, CopyAndMoveAreIndependent) {
  IniDocument a = doc_of("[S]\nk=1\n");
  IniDocument b = a;
  b.set_int(u"S", u"k", 2);
  EXPECT_EQ(a.get_int(u"S", u"k", -1), 1);
  IniDocument c = std::move(b);
  EXPECT_EQ(c.get_int(u"S", u"k", -1), 2);
  EXPECT_TRUE(b.empty());  // NOLINT(bugprone-use-after-move): a moved-from document stays usable
  EXPECT_EQ(b.get_int(u"S", u"k", -1), -1);
  b.set_int(u"S", u"k", 3);
  EXPECT_EQ(b.get_int(u"S", u"k", -1), 3);
}

// --- files -----------------------------------------------------------------

using IniFile = TempDir;

TEST_F(IniFile, SaveLoadRoundTripAndNoTempFilesRemain) {
  IniDocument d = doc_of("; kept\n[S]\nk=1\n");
  d.set_int(u"S", u"k", 2);
  ASSERT_TRUE(d.save(path("a.ini")));
  EXPECT_EQ(read_bytes("a.ini"), d.serialize());
  IniDocument back;
  EXPECT_EQ(back.load_checked(path("a.ini")), IniDocument::LoadStatus::ok);
  EXPECT_EQ(back.get_int(u"S", u"k", -1), 2);
  d.set_int(u"S", u"k", 3);
  ASSERT_TRUE(d.save(path("a.ini")));
  EXPECT_EQ(entries(), std::vector<std::string>{"a.ini"});
}

TEST_F(IniFile, SaveIfChangedWritesOnlyWhatDiffers) {
  IniDocument d = doc_of("[S]\nk=1\n");
  const std::string same = d.serialize();
  struct Case {
    const char* name;
    std::optional<std::string> before;  // nothing: no file
    bool written;
  };
  const Case cases[] = {
      {"no file yet", std::nullopt, true},
      {"the same bytes", same, false},
      {"other bytes", "[S]\nk=2\n", true},
      {"the same text in another encoding", "[S]\r\nk=1\r\n", true},
      {"a longer file starting the same", same + "x", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(dir_ / "a.ini");
    if (c.before) write_bytes("a.ini", *c.before);
    struct stat st0 {};
    const bool existed = ::stat(path("a.ini").c_str(), &st0) == 0;
    const auto before = platform::ini_open_counts();
    ASSERT_TRUE(d.save_if_changed(path("a.ini")));
    EXPECT_EQ(platform::ini_open_counts().writes - before.writes, c.written ? 1u : 0u);
    EXPECT_EQ(read_bytes("a.ini"), same);
    struct stat st1 {};
    ASSERT_EQ(::stat(path("a.ini").c_str(), &st1), 0);
    // Left alone means the very same file, not a copy put in its place.
    if (existed && !c.written) {
      EXPECT_EQ(st1.st_ino, st0.st_ino);
    }
    EXPECT_EQ(entries(), std::vector<std::string>{"a.ini"});
  }
}

TEST_F(IniFile, PermissionBitsKeptAndNewFileMode) {
  IniDocument d = doc_of("[S]\nk=1\n");
  ASSERT_TRUE(d.save(path("new.ini")));
  const mode_t mask = ::umask(0);
  ::umask(mask);
  struct stat st;
  ASSERT_EQ(::stat(path("new.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644 & ~mask);

  ASSERT_EQ(::chmod(path("new.ini").c_str(), 0600), 0);
  ASSERT_TRUE(d.save(path("new.ini")));
  ASSERT_EQ(::stat(path("new.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(IniFile, SaveThroughSymlinkKeepsTheLink) {
  write_bytes("real.ini", "[S]\nk=1\n");
  fs::create_symlink("real.ini", dir_ / "link.ini");
  ASSERT_TRUE(platform::ini_set_int(path("link.ini"), u"S", u"k", 2));
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.ini"));
  EXPECT_EQ(platform::ini_get_int(path("real.ini"), u"S", u"k", -1), 2);
}

TEST_F(IniFile, FailedSavesLeaveTheOldFile) {
  write_bytes("a.ini", "[S]\nk=1\n");
  IniDocument d = doc_of("[S]\nk=2\n");
  // Missing folder: not created, nothing written.
  EXPECT_FALSE(d.save(path("nowhere/a.ini")));
  EXPECT_FALSE(fs::exists(dir_ / "nowhere"));
  // The target is a folder.
  fs::create_directory(dir_ / "sub");
  EXPECT_FALSE(d.save(path("sub")));
  EXPECT_TRUE(fs::is_directory(dir_ / "sub"));
  fs::remove(dir_ / "sub");

  // Disk full: the file size limit makes the write fail part way.
  std::u16string big_value(64 * 1024, u'x');
  d.set_string(u"S", u"big", big_value);
  struct rlimit old_limit;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old_limit;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved = d.save(path("a.ini"));
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(saved);
  EXPECT_EQ(read_bytes("a.ini"), "[S]\nk=1\n");
  EXPECT_EQ(entries(), std::vector<std::string>{"a.ini"});
}

TEST_F(IniFile, ReadOnlyFolderOrFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes regardless of permissions";
  write_bytes("a.ini", "[S]\nk=1\n");
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_FALSE(platform::ini_set_int(path("a.ini"), u"S", u"k", 2));
  fs::permissions(dir_, fs::perms::owner_all);
  // A read-only file in a writable folder is not replaced either.
  fs::permissions(path("a.ini"), fs::perms::owner_read);
  EXPECT_FALSE(platform::ini_set_int(path("a.ini"), u"S", u"k", 2));
  EXPECT_EQ(read_bytes("a.ini"), "[S]\nk=1\n");
  EXPECT_EQ(entries(), std::vector<std::string>{"a.ini"});
}

TEST_F(IniFile, LoadTellsMissingFromUnreadable) {
  IniDocument d = doc_of("[S]\nk=1\n");
  EXPECT_EQ(d.load_checked(path("none.ini")), IniDocument::LoadStatus::missing);
  EXPECT_TRUE(d.empty());
  EXPECT_EQ(d.load_checked(path("none/x.ini")), IniDocument::LoadStatus::missing);
  fs::create_directory(dir_ / "sub");
  EXPECT_EQ(d.load_checked(path("sub")), IniDocument::LoadStatus::failed);
  ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
  EXPECT_FALSE(d.load(path("fifo")));  // and does not block waiting for a writer
  // A setter never replaces what it could not read.
  EXPECT_FALSE(platform::ini_set_int(path("sub"), u"S", u"k", 1));
  EXPECT_TRUE(fs::is_directory(dir_ / "sub"));
}

TEST_F(IniFile, SingleCallHelpers) {
  const std::string p = path("h.ini");
  const auto before = platform::ini_open_counts();
  EXPECT_EQ(platform::ini_get_int(p, u"S", u"k", -1), -1);  // missing file: default
  ASSERT_TRUE(platform::ini_set_int(p, u"S", u"k", 42));
  ASSERT_TRUE(platform::ini_set_string(p, u"S", u"s", u"text"));
  const unsigned char rec[2] = {0x12, 0x34};
  ASSERT_TRUE(platform::ini_set_struct(p, u"Bin", u"r", rec, 2));
  EXPECT_EQ(platform::ini_get_int(p, u"s", u"K", -1), 42);
  EXPECT_EQ(platform::ini_get_string(p, u"S", u"s", u""), u"text");
  unsigned char out[2] = {};
  EXPECT_TRUE(platform::ini_get_struct(p, u"Bin", u"r", out, 2));
  EXPECT_EQ(out[1], 0x34);
  EXPECT_EQ(read_bytes("h.ini"), utf16le(u"[S]\r\nk=42\r\ns=text\r\n[Bin]\r\nr=123446\r\n"));
  EXPECT_FALSE(platform::ini_set_int(p, u"S", u"a=b", 1));  // refused name
  const auto after = platform::ini_open_counts();
  // Opens that found a file: the last two setters and the three getters read,
  // the three setters wrote.
  EXPECT_EQ(after.reads - before.reads, 2u + 3u);
  EXPECT_EQ(after.writes - before.writes, 3u);
}

}  // namespace
