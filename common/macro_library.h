// The macro library file config/sequence.dat: section "Macros", key "number"
// with the count, then one 288-byte binary record per macro under "0".."n-1"
// in library order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/settings_record.h"

namespace mt {

// A named macro; the same 288 bytes in memory and in the file.
struct MacroRecord {
  char16_t name[20];
  int32_t repeat_count;  // 1..255, 1 when repetition is off
  int32_t event_count;   // valid events, 0..60
  MacroEvent events[kMaxMacroEvents];
};
static_assert(sizeof(MacroRecord) == 288);
static_assert(offsetof(MacroRecord, name) == 0);
static_assert(offsetof(MacroRecord, repeat_count) == 40);
static_assert(offsetof(MacroRecord, event_count) == 44);
static_assert(offsetof(MacroRecord, events) == 48);

std::string macro_library_path(const std::string& folder);  // "config/sequence.dat"

// Brings a record read from outside into range: event count 0..60, name
// NUL-terminated within its 20 units.
void sanitize(MacroRecord& record);

// Appends the file's records in file order. A record whose key is missing or
// fails the length or checksum test is skipped; every appended record has been
// sanitized. Returns the number appended (0 for a missing file or "number").
std::size_t load_macro_library(std::vector<MacroRecord>& library, const std::string& folder);

// Replaces the file with the library's records in one atomic write, so no
// key of a longer, older library survives and the old file stays whole when
// the write fails; a file that already holds exactly this library is left
// alone. Creates config/ when missing. False when the file could not be
// written.
bool save_macro_library(const std::vector<MacroRecord>& library, const std::string& folder);

}  // namespace mt
