// Any bytes as config/sequence.dat: every loaded record is within range, and
// saving the loaded library and loading it again gives the same records.
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/macro_library.h"
#include "fuzz/fuzz_folder.h"
#include "platform/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string dir = [] {
    std::string d = fuzz::process_folder("macros");
    mkdir((d + "config").c_str(), 0700);
    return d;
  }();
  fuzz::write_file(mt::macro_library_path(dir), data, size);

  std::vector<mt::MacroRecord> library;
  if (mt::load_macro_library(library, dir) != library.size()) std::abort();
  for (const mt::MacroRecord& m : library) {
    if (m.event_count < 0 || m.event_count > mt::kMaxMacroEvents) std::abort();
    if (platform::fixed_text(m.name).size() >= 20) std::abort();
  }

  if (!mt::save_macro_library(library, dir)) std::abort();
  std::vector<mt::MacroRecord> again;
  mt::load_macro_library(again, dir);
  if (again.size() != library.size()) std::abort();
  if (!library.empty() && std::memcmp(again.data(), library.data(), library.size() * sizeof(mt::MacroRecord)) != 0)
    std::abort();
  return 0;
}
