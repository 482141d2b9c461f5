#include "common/language_module.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace mt {
namespace {

// Every text id the programs read.
std::vector<int> used_text_ids() {
  std::vector<int> ids = {101, 102, 121, 120, 1002, 1003, 1004, 1124, 1125};
  auto range = [&ids](int from, int to) {
    for (int id = from; id <= to; ++id) ids.push_back(id);
  };
  range(106, 118);  // 117, 118: the import and export warnings
  range(130, 138);
  range(140, 141);
  range(147, 151);
  range(201, 216);
  range(218, 227);
  range(250, 258);  // 250, 251 warnings; 252-258 key combination dialog
  range(261, 264);
  range(271, 284);
  range(285, 291);  // the macro manager's block usage and note, the chooser's all-files filter, the guide message
  range(801, 805);
  // Button menu entries, submenu titles and button labels.
  range(1005, 1022);
  range(1024, 1050);
  range(1053, 1067);  // 1053-1066 also serve the macro editor's menu
  range(1070, 1088);
  range(1090, 1095);
  range(1097, 1099);
  ids.push_back(1101);
  ids.push_back(1301);  // the on-screen display's "Profile %d"
  return ids;
}

const char* const kModules[] = {"Lang_EN", "Lang_sc", "Lang_Ru", "Lang_It", "Lang_Sp"};

std::string source_module(const char* name) { return std::string(MT_LANG_SOURCE_DIR) + "/" + name + ".lang"; }

TEST(ShippedModules, EveryUsedTextIsThereAndNothingElse) {
  const std::vector<int> ids = used_text_ids();
  for (const char* name : kModules) {
    SCOPED_TRACE(name);
    LanguageModule m;
    ASSERT_TRUE(m.load(source_module(name)));
    for (int id : ids) EXPECT_FALSE(m.text(id).empty()) << "text " << id;
    // A mistyped id would leave a text nobody reads and a used one missing.
    EXPECT_EQ(m.text_count(), ids.size());
  }
}

TEST(ShippedModules, LanguageMenuTextsAgreeAcrossModules) {
  // The language button shows a label read from the module in use before a
  // switch, so every module must name the languages the same way.
  LanguageModule en;
  ASSERT_TRUE(en.load(source_module("Lang_EN")));
  for (const char* name : kModules) {
    SCOPED_TRACE(name);
    LanguageModule m;
    ASSERT_TRUE(m.load(source_module(name)));
    for (int id : {101, 121, 102}) EXPECT_EQ(m.text(id), en.text(id)) << "text " << id;
  }
}

struct ParseCase {
  const char* what;
  std::string content;
  int id;
  std::u16string expected;  // empty: the id must not be there
};

TEST(LanguageModuleParser, LinesAndEscapes) {
  const ParseCase cases[] = {
      {"plain line", "101=English", 101, u"English"},
      {"no equals sign", "hello\n102", 102, u""},
      {"letters in the id", "10a=x", 10, u""},
      {"signed id", "-5=x\n+5=x", 5, u""},
      {"empty id", "=x", 0, u""},
      {"id above 16 bits", "65536=x", 0, u""},
      {"largest id", "65535=x", 65535, u"x"},
      {"huge id digits", "99999999999999999999=x", 0, u""},
      {"leading zeros", "007=x", 7, u"x"},
      {"blanks around the id", " \t42 \t=x", 42, u"x"},
      {"text is verbatim", "43= x ", 43, u" x "},
      {"equals inside the text", "44=a=b", 44, u"a=b"},
      {"CRLF line end", "45=x\r\n46=y\r\n", 46, u"y"},
      {"comment line", "#47=x", 47, u""},
      {"indented comment", "  # 48=x", 48, u""},
      {"line break escape", "49=a\\nb", 49, u"a\nb"},
      {"backslash escape", "50=a\\\\nb", 50, u"a\\nb"},
      {"other escapes stay", "51=a\\tb", 51, u"a\\tb"},
      {"trailing backslash", "52=end\\", 52, u"end\\"},
      {"first of two wins", "53=first\n53=second", 53, u"first"},
      {"invalid byte", "54=a\xFF" "b", 54, u"a\uFFFD" "b"},
      {"cut multibyte sequence", "55=\xE4\xB8", 55, u"\uFFFD\uFFFD"},
      {"CJK text", "56=\xE4\xB8\xAD\xE6\x96\x87", 56, u"\u4E2D\u6587"},
      {"byte order mark", "\xEF\xBB\xBF" "57=x", 57, u"x"},
      {"no final line end", "1=a\n58=last", 58, u"last"},
      {"NUL byte in the id", std::string("5\0" "9=x", 5), 59, u""},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.what);
    LanguageModule m;
    m.load_from_text(c.content);
    EXPECT_TRUE(m.is_loaded());
    EXPECT_EQ(m.text(c.id), c.expected);
  }
}

TEST(LanguageModuleParser, HugeLineIsCutAndTheNextLineStillCounts) {
  const std::size_t limit = LanguageModule::kMaxTextUnits;
  std::string content = "1=" + std::string(1 << 20, 'a') + "\n";
  // A four-byte character whose two halves would straddle the limit.
  content += "2=" + std::string(limit - 1, 'b') + "\xF0\x9F\x98\x80" + "\n";
  content += "3=after";
  LanguageModule m;
  m.load_from_text(content);
  EXPECT_EQ(m.text(1), std::u16string(limit, u'a'));
  EXPECT_EQ(m.text(2), std::u16string(limit - 1, u'b'));  // no lone first half
  EXPECT_EQ(m.text(3), u"after");
}

class LanguageModuleFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/mt_lang_test_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    folder_ = std::string(tmpl) + "/";
    ASSERT_EQ(mkdir((folder_ + "Lang").c_str(), 0700), 0);
  }
  void TearDown() override {
    std::string cmd = "rm -rf '" + folder_ + "'";
    (void)std::system(cmd.c_str());
  }
  void write(const std::string& rel, const std::string& content) {
    std::ofstream(folder_ + rel, std::ios::binary) << content;
  }
  std::string folder_;
};

TEST_F(LanguageModuleFiles, NullModuleGivesEmptyTexts) {
  LanguageModule fresh;
  EXPECT_FALSE(fresh.is_loaded());
  EXPECT_EQ(fresh.text(101), u"");

  write("Lang/Lang_EN.lang", "101=EN\n1004=tip");
  LanguageModule m;
  ASSERT_TRUE(m.load_for_language(folder_, kLanguageEnglish));
  EXPECT_EQ(m.text(1004), u"tip");
  EXPECT_EQ(m.text(-1), u"");
  EXPECT_EQ(m.text(0x10000 + 1004), u"");

  // A failed switch leaves a null module, not the previous language's texts.
  EXPECT_FALSE(m.load_for_language(folder_, kLanguageRussian));
  EXPECT_FALSE(m.is_loaded());
  EXPECT_EQ(m.text(1004), u"");

  EXPECT_FALSE(m.load(folder_ + "Lang"));  // a folder is not a module
  EXPECT_FALSE(m.is_loaded());
}

TEST_F(LanguageModuleFiles, OversizedFileIsNotLoaded) {
  const std::string path = folder_ + "Lang/Lang_Sp.lang";
  write("Lang/Lang_Sp.lang", "1=x\n");
  ASSERT_EQ(truncate(path.c_str(), LanguageModule::kMaxFileBytes + 1), 0);
  LanguageModule m;
  EXPECT_FALSE(m.load(path));
  EXPECT_EQ(m.text(1), u"");
  ASSERT_EQ(truncate(path.c_str(), LanguageModule::kMaxFileBytes), 0);
  EXPECT_TRUE(m.load(path));
  EXPECT_EQ(m.text(1), u"x");
}

TEST(LanguageIds, ModuleNamesAndPaths) {
  const struct {
    int id;
    const char* name;
  } cases[] = {{0, "Lang_EN"}, {1, "Lang_sc"}, {2, "Lang_Ru"}, {3, "Lang_It"},
               {4, "Lang_Sp"}, {5, "Lang_EN"}, {-1, "Lang_EN"}, {1000, "Lang_EN"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_STREQ(language_module_name(c.id), c.name);
    EXPECT_EQ(language_module_path("/opt/mt/", c.id), std::string("/opt/mt/Lang/") + c.name + ".lang");
  }
  EXPECT_EQ(language_module_path("/opt/mt", 2), "/opt/mt/Lang/Lang_Ru.lang");
  EXPECT_EQ(language_module_path("", 3), "Lang/Lang_It.lang");
}

TEST(LanguageIds, LabelsComeFromTheModuleInUse) {
  LanguageModule m;
  m.load_from_text("101=en-label\n121=sc-label\n102=ru-label");
  LanguageModule null_module;
  const struct {
    int id;
    std::u16string with_module, with_null_module;
  } cases[] = {{0, u"en-label", u""}, {1, u"sc-label", u""}, {2, u"ru-label", u""},
               {3, u"IT", u"IT"},     {4, u"ES", u"ES"},     {9, u"en-label", u""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(language_label(m, c.id), c.with_module);
    EXPECT_EQ(language_label(null_module, c.id), c.with_null_module);
  }
}

}  // namespace
}  // namespace mt
