#include "common/macro_sync.h"

#include <algorithm>
#include <cstring>

#include "platform/text.h"

namespace mt {

namespace {

char16_t fold(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 0x50);
  return c;
}

bool equal_folded(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (fold(a[i]) != fold(b[i])) return false;
  return true;
}

int clamped_count(int count) { return std::clamp(count, 0, kMaxMacroEvents); }

// Cut to what the record holds; a surrogate pair is never split in two.
void set_macro_name(char16_t (&field)[20], std::u16string_view name) {
  if (name.size() > kMacroNameMax) {
    name = name.substr(0, kMacroNameMax);
    if (name.back() >= 0xD800 && name.back() <= 0xDBFF) name.remove_suffix(1);
  }
  platform::set_fixed_text(field, name);
}

bool holds_named_macro(const ButtonRecord& button) {
  return button.function == kFnMacro && !platform::fixed_text(button.macro_name).empty();
}

}  // namespace

std::u16string_view trim_macro_name(std::u16string_view name) { return platform::trim(name, platform::WHITE_SPACE); }

bool same_macro_name(std::u16string_view a, std::u16string_view b) {
  return equal_folded(trim_macro_name(a), trim_macro_name(b));
}

bool macro_name_starts_with(std::u16string_view name, std::u16string_view prefix) {
  return name.size() >= prefix.size() && equal_folded(name.substr(0, prefix.size()), prefix);
}

int find_macro(const std::vector<MacroRecord>& library, std::u16string_view name) {
  for (std::size_t i = 0; i < library.size(); ++i)
    if (same_macro_name(platform::fixed_text(library[i].name), name)) return static_cast<int>(i);
  return -1;
}

MacroMatch find_macro(const std::vector<MacroRecord>& library, const ButtonRecord& button) {
  MacroMatch match;
  match.index = find_macro(library, platform::fixed_text(button.macro_name));
  if (match.index < 0) return match;
  const MacroRecord& entry = library[static_cast<std::size_t>(match.index)];
  const int count = clamped_count(button.event_count);
  match.identical = entry.event_count == count && entry.repeat_count == button.repeat_count &&
                    std::memcmp(entry.events, button.events, sizeof(MacroEvent) * count) == 0;
  return match;
}

int add_macro(std::vector<MacroRecord>& library, std::u16string_view name) {
  MacroRecord record;
  std::memset(&record, 0, sizeof record);
  set_macro_name(record.name, name);
  library.push_back(record);
  return static_cast<int>(library.size()) - 1;
}

bool remove_macro(std::vector<MacroRecord>& library, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= library.size()) return false;
  library.erase(library.begin() + index);
  return true;
}

MacroSyncResult merge_from_profiles(std::vector<MacroRecord>& library, SettingsRecord& record) {
  MacroSyncResult result;
  for (int p = 0; p < kProfileCount; ++p) {
    for (int b = 0; b < kButtonSlots; ++b) {
      const ButtonRecord& button = record.profiles[p].MacroKeyInfo[b];
      if (!holds_named_macro(button)) continue;
      ++result.buttons;
      const int count = clamped_count(button.event_count);
      const MacroMatch match = find_macro(library, button);
      if (match.index < 0) {
        const int i = add_macro(library, platform::fixed_text(button.macro_name));
        MacroRecord& entry = library[static_cast<std::size_t>(i)];
        entry.event_count = count;
        entry.repeat_count = button.repeat_count;
        std::memcpy(entry.events, button.events, sizeof(MacroEvent) * count);
        ++result.added;
      } else if (!match.identical) {
        MacroRecord& entry = library[static_cast<std::size_t>(match.index)];
        std::memcpy(entry.events, button.events, sizeof entry.events);
        entry.event_count = count;
        entry.repeat_count = button.repeat_count;
        ++result.updated;
      }
      record.button_changed[p][b] = 1;
    }
  }
  return result;
}

MacroSyncResult push_to_profiles(const std::vector<MacroRecord>& library, SettingsRecord& record) {
  MacroSyncResult result;
  for (int p = 0; p < kProfileCount; ++p) {
    for (int b = 0; b < kButtonSlots; ++b) {
      ButtonRecord& button = record.profiles[p].MacroKeyInfo[b];
      if (!holds_named_macro(button)) continue;
      ++result.buttons;
      const int index = find_macro(library, platform::fixed_text(button.macro_name));
      if (index < 0) {
        button.function = kFnDisabled;
        ++result.disabled;
      } else {
        const MacroRecord& entry = library[static_cast<std::size_t>(index)];
        button.event_count = static_cast<uint16_t>(clamped_count(entry.event_count));
        platform::set_fixed_text(button.macro_name, platform::fixed_text(entry.name));
        std::memcpy(button.events, entry.events, sizeof button.events);
        button.repeat_count = entry.repeat_count;
      }
      record.button_changed[p][b] = 1;
    }
  }
  return result;
}

}  // namespace mt
