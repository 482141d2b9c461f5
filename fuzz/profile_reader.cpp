// Any bytes as a profile file: the loaded record keeps the record's rules
// (event counts within 60, strings terminated in their arrays), and writing
// it and reading it back gives the same fields.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/settings_files.h"
#include "fuzz/fuzz_folder.h"
#include "platform/text.h"

namespace {

template <std::size_t N>
bool terminated(const char16_t (&s)[N]) {
  return platform::fixed_text(s).size() < N;
}

void check(const mt::ProfileRecord& p) {
  if (!terminated(p.ProFileName) || !terminated(p.GameFile)) std::abort();
  for (const mt::ButtonRecord& b : p.MacroKeyInfo)
    if (b.event_count > mt::kMaxMacroEvents || !terminated(b.macro_name) || !terminated(b.program_path))
      std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string dir = fuzz::process_folder("profile");
  const std::string in = dir + "in.gmp", out = dir + "out.gmp";
  fuzz::write_file(in, data, size);

  static mt::ProfileRecord p, again;
  std::memset(&p, 0x5A, sizeof p);  // garbage, as an unprepared record would hold
  if (!mt::read_profile_file(p, in)) std::abort();
  check(p);

  // Everything after the two strings (whose blanks and quotes the format
  // cannot keep) survives a write and a read unchanged.
  std::remove(out.c_str());
  if (!mt::write_profile_file(p, out)) std::abort();
  std::memset(&again, 0x5A, sizeof again);
  if (!mt::read_profile_file(again, out)) std::abort();
  constexpr std::size_t from = offsetof(mt::ProfileRecord, DbleClickSpeed);
  if (std::memcmp(reinterpret_cast<const char*>(&p) + from, reinterpret_cast<const char*>(&again) + from,
                  sizeof p - from) != 0)
    std::abort();
  return 0;
}
