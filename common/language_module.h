// Language modules: every text a user sees comes from a string table in the
// folder Lang/ of the program folder, one module per language. A module file
// is UTF-8 text with one "id=text" line per string; "#" starts a comment line,
// "\n" in a text is a line break and "\\" a backslash. The text is taken
// exactly as written after the "=".
//
// A module that cannot be loaded is a null module: every text is empty, and
// the programs carry on with empty captions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace mt {

// LanguageID values as the settings record stores them.
enum LanguageId : int {
  kLanguageEnglish = 0,
  kLanguageChinese = 1,  // Simplified Chinese
  kLanguageRussian = 2,
  kLanguageItalian = 3,
  kLanguageSpanish = 4,
};

// Module name of a LanguageID: "Lang_EN", "Lang_sc", "Lang_Ru", "Lang_It",
// "Lang_Sp"; 0 and every value not listed give "Lang_EN".
const char* language_module_name(int language_id);

// "<program folder>Lang/<module name>.lang"; the folder normally ends in "/",
// one is added when it does not (an empty folder means the current one).
std::string language_module_path(std::string_view program_folder, int language_id);

class LanguageModule {
 public:
  // A module file larger than this is not a string table; it is not loaded.
  static constexpr std::size_t kMaxFileBytes = 4u << 20;
  // Longest text kept, in UTF-16 units; longer texts are cut at a character
  // boundary.
  static constexpr std::size_t kMaxTextUnits = 4095;

  // Frees the current texts, then reads the module file. False (and a null
  // module) when the file cannot be read.
  bool load(const std::string& path);
  // load(language_module_path(program_folder, language_id)).
  bool load_for_language(std::string_view program_folder, int language_id);
  // Replaces the texts by those of a module held in memory. Lines that are
  // not "id=text" are skipped; for an id given twice the first line wins.
  void load_from_text(std::string_view content);
  void unload();

  bool is_loaded() const { return loaded_; }
  std::size_t text_count() const { return texts_.size(); }

  // The text with this id; empty when the module lacks it or is null.
  std::u16string text(int id) const;

 private:
  bool loaded_ = false;
  std::unordered_map<uint16_t, std::u16string> texts_;
};

// The short label of a language on the main window's language button. The
// labels of English, Chinese and Russian are texts 101, 121 and 102 of the
// module in use; Italian and Spanish have fixed labels "IT" and "ES".
std::u16string language_label(const LanguageModule& current, int language_id);

}  // namespace mt
