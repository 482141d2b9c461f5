// The macro library as Option keeps it in memory (an ordered list of
// MacroRecord, row n of every list is entry n), its operations, and the two
// passes that keep it in line with the macros the profiles' button records
// carry. Pure functions; loading and saving the file is macro_library.h.
//
// When they run:
//   start of the main window:   load_macro_library, merge_from_profiles, save_macro_library
//   profile imported:           merge_from_profiles
//   macro manager closed, OK:   push_to_profiles, save_macro_library
//   macro manager cancelled:    library.clear(), load_macro_library
//
//   std::vector<MacroRecord> library;
//   load_macro_library(library, folder);
//   merge_from_profiles(library, record);
//   save_macro_library(library, folder);
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "common/macro_library.h"
#include "common/settings_record.h"

namespace mt {

// Longest macro name a record holds, in UTF-16 units (plus the NUL).
constexpr std::size_t kMacroNameMax = 19;

// Leading and trailing white space removed (space, tab, CR, LF, VT, FF).
std::u16string_view trim_macro_name(std::u16string_view name);
// Case-insensitive equality of two names with their surrounding white space
// removed. Case is folded for ASCII, Latin-1, Greek and Cyrillic: the scripts
// of the shipped languages (Chinese has no case).
bool same_macro_name(std::u16string_view a, std::u16string_view b);
// Case-insensitive "name starts with prefix", as the macro list's search
// finds rows; nothing is trimmed.
bool macro_name_starts_with(std::u16string_view name, std::u16string_view prefix);

struct MacroMatch {
  int index = -1;          // -1: no entry of that name
  bool identical = false;  // same event count, repeat count and events too
};

// The first entry whose name is the same name (same_macro_name).
int find_macro(const std::vector<MacroRecord>& library, std::u16string_view name);
// The first entry named as the button's macro; identical when the entry also
// holds the button's event count, repeat count and first event-count events.
MacroMatch find_macro(const std::vector<MacroRecord>& library, const ButtonRecord& button);

// Appends a zeroed record (repeat count 0, no events) named `name` cut to 19
// units; returns its index.
int add_macro(std::vector<MacroRecord>& library, std::u16string_view name);
// Removes the entry; false for an index outside the library.
bool remove_macro(std::vector<MacroRecord>& library, int index);

struct MacroSyncResult {
  int buttons = 0;   // macro buttons visited (each got its changed flag set)
  int added = 0;     // merge: library entries appended
  int updated = 0;   // merge: library entries overwritten from a button
  int disabled = 0;  // push: buttons whose macro has gone, now function 6
};

// Library <- profiles. For every button of every profile that holds a named
// macro (function 16): an unknown name is appended to the library, a known
// one that differs is overwritten with the button's events, event count and
// repeat count; the button's changed flag is set either way.
MacroSyncResult merge_from_profiles(std::vector<MacroRecord>& library, SettingsRecord& record);

// Library -> profiles. Every button holding a named macro takes the library
// entry's name, event count, events and repeat count, or becomes disabled
// (function 6) when the library no longer has that name; its changed flag is
// set either way.
MacroSyncResult push_to_profiles(const std::vector<MacroRecord>& library, SettingsRecord& record);

}  // namespace mt
