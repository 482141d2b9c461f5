// Language module files are outside input: any bytes must parse without
// faults, and every text must stay within the length limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/language_module.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  mt::LanguageModule m;
  m.load_from_text(std::string_view(reinterpret_cast<const char*>(data), size));
  for (int id : {0, 1, 101, 1004, 65535})
    if (m.text(id).size() > mt::LanguageModule::kMaxTextUnits) std::abort();
  return 0;
}
