#include "common/macro_library.h"

#include <sys/stat.h>

#include <cstring>

#include "common/settings_files.h"
#include "platform/ini_file.h"
#include "platform/text.h"

namespace mt {

namespace {

constexpr char16_t kSection[] = u"Macros";
constexpr char16_t kNumber[] = u"number";

// A record line holds at least 2 * 289 hex digits, so a file of S bytes holds
// at most S / 578 records; a larger "number" only costs lookups that cannot hit.
constexpr std::size_t kMinRecordBytes = 2 * (sizeof(MacroRecord) + 1);

}  // namespace

std::string macro_library_path(const std::string& folder) { return folder + "config/sequence.dat"; }

void sanitize(MacroRecord& record) {
  if (record.event_count < 0) record.event_count = 0;
  if (record.event_count > kMaxMacroEvents) record.event_count = kMaxMacroEvents;
  if (platform::fixed_text(record.name).size() == std::size(record.name))
    record.name[std::size(record.name) - 1] = u'\0';
}

std::size_t load_macro_library(std::vector<MacroRecord>& library, const std::string& folder) {
  const std::string path = macro_library_path(folder);
  platform::IniDocument doc;
  if (!doc.load(path)) return 0;
  int32_t n = doc.get_int(kSection, kNumber, -1);
  if (n <= 0) return 0;

  std::size_t limit = static_cast<std::size_t>(n);
  struct stat st{};
  if (stat(path.c_str(), &st) == 0) {
    std::size_t most = static_cast<std::size_t>(st.st_size) / kMinRecordBytes;
    if (limit > most) limit = most;
  }

  std::size_t appended = 0;
  for (std::size_t i = 0; i < limit; ++i) {
    MacroRecord record;
    std::memset(&record, 0, sizeof record);
    if (!doc.get_struct(kSection, platform::to_u16(static_cast<long long>(i)), &record, sizeof record))
      continue;
    sanitize(record);
    library.push_back(record);
    ++appended;
  }
  return appended;
}

bool save_macro_library(const std::vector<MacroRecord>& library, const std::string& folder) {
  platform::IniDocument doc;
  doc.set_int(kSection, kNumber, static_cast<int32_t>(library.size()));
  for (std::size_t i = 0; i < library.size(); ++i)
    doc.set_struct(kSection, platform::to_u16(static_cast<long long>(i)), &library[i], sizeof library[i]);
  make_config_dir(folder);
  return doc.save_if_changed(macro_library_path(folder));
}

}  // namespace mt
