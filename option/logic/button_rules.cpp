#include "option/logic/button_rules.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "common/key_codes.h"
#include "common/language_module.h"
#include "common/macro_sync.h"
#include "platform/text.h"

namespace mt {

namespace {

constexpr SlotInfo::Colour kRed{255, 0, 0}, kYellow{255, 255, 0}, kOrange{255, 127, 39},
    kMagenta{255, 0, 255}, kCyan{0, 255, 255}, kGreen{0, 255, 130}, kNone{0, 0, 0};

constexpr std::array<SlotInfo, kButtonSlots> kSlots = {{
    {200, 1, "mouse_1.jpg", true, kRed},
    {201, 2, "mouse_2.jpg", true, kRed},
    {202, 3, "mouse_3.jpg", true, kYellow},
    {203, 6, "mouse_4.jpg", true, kOrange},
    {204, 7, "mouse_5.jpg", true, kMagenta},
    {205, 4, "mouse_6.jpg", true, kCyan},
    {206, 5, "mouse_7.jpg", true, kGreen},
    {207, 0, "mouse.jpg", false, kNone},
    {208, 0, "mouse.jpg", false, kNone},
    {209, 0, "mouse.jpg", false, kNone},
    {210, 0, "mouse.jpg", false, kNone},
    {211, 0, "mouse.jpg", false, kNone},
    {212, 0, "mouse.jpg", false, kNone},
    {213, 0, "mouse.jpg", false, kNone},
    {214, 8, "mouse_8.jpg", true, kGreen},
    {215, 9, "mouse_9.jpg", true, kMagenta},
}};

MenuEntry item(int command, int text_id) {
  MenuEntry e;
  e.kind = MenuEntry::Kind::item;
  e.command = command;
  e.text_id = text_id;
  return e;
}

MenuEntry separator() { return MenuEntry{}; }

MenuEntry popup(int text_id, std::vector<MenuEntry> entries) {
  MenuEntry e;
  e.kind = MenuEntry::Kind::popup;
  e.text_id = text_id;
  e.entries = std::move(entries);
  return e;
}

struct CommandText {
  int command, text_id;
};

std::vector<MenuEntry> items(std::initializer_list<CommandText> list) {
  std::vector<MenuEntry> out;
  for (const CommandText& c : list) out.push_back(item(c.command, c.text_id));
  return out;
}

MenuEntry macro_popup(const std::vector<MacroRecord>& library, const ButtonRecord& slot) {
  std::vector<MenuEntry> entries = {item(kCmdMacroManager, 1067)};
  int current = -1;
  if (slot.function == kFnMacro) current = find_macro(library, platform::fixed_text(slot.macro_name));
  if (!library.empty()) entries.push_back(separator());
  for (std::size_t n = 0; n < library.size(); ++n) {
    MenuEntry e = item(kCmdFirstMacro + static_cast<int>(n), 0);
    e.name = std::u16string(platform::fixed_text(library[n].name));
    e.marked = static_cast<int>(n) == current;
    entries.push_back(std::move(e));
  }
  return popup(1021, std::move(entries));
}

bool valid_slot(int slot) { return slot >= 0 && slot < kButtonSlots; }

void clear_name(ButtonRecord& b) { std::memset(b.macro_name, 0, sizeof b.macro_name); }

// The last path component: a program path may come from a Windows profile
// file with backslashes as well as from this desktop.
std::u16string_view file_name_of(std::u16string_view path) {
  const std::size_t cut = path.find_last_of(u"/\\");
  return cut == std::u16string_view::npos ? path : path.substr(cut + 1);
}

}  // namespace

std::span<const SlotInfo, kButtonSlots> slot_table() { return kSlots; }

int slot_of_control(int control_id) {
  const int s = control_id - kFirstSlotControlId;
  return valid_slot(s) ? s : -1;
}

std::vector<MenuEntry> slot_menu(const std::vector<MacroRecord>& library, const ButtonRecord& slot) {
  return {
      item(1001, 1005), separator(),
      item(1002, 1006), separator(),
      item(1003, 1007), separator(),
      item(1007, 1011), separator(),
      item(1008, 1012), separator(),
      item(1009, 1013), separator(),
      item(1010, 1014), separator(),
      item(kCmdSingleKey, 1101), separator(),
      item(kCmdKeyCombination, 1009), separator(),
      item(1004, 1008),
      popup(1099, {popup(1070, items({{1051, 1072}, {1050, 1071}, {1054, 1075}, {1059, 1080},
                                      {1062, 1083}, {1052, 1073}, {1055, 1076}, {1057, 1078}})),
                   separator(),
                   popup(1040, items({{1096, 1097}, {1061, 1082}, {1039, 1047}, {1067, 1088},
                                      {1066, 1087}, {1097, 1098}})),
                   separator(),
                   popup(1031, items({{1028, 1035}, {1029, 1036}, {1026, 1033}, {1027, 1034},
                                      {1031, 1038}, {1032, 1039}, {1030, 1037}}))}),
      separator(),
      macro_popup(library, slot), separator(),
      popup(1017, items({{1013, 1018}, {1014, 1019}, {1015, 1020}})), separator(),
      item(kCmdLaunchProgram, 1022), separator(),
      item(1023, 1029), separator(),
      item(1024, 1030), separator(),
      item(1022, 1028), separator(),
      item(1006, 1010),
  };
}

int function_for_command(int id) {
  if (id >= kCmdFirstMacro) return kFnMacro;
  if ((id >= 1001 && id <= 1015) || (id >= 1017 && id <= 1044)) return id - 1000;
  if (id >= 1050 && id <= 1060) return id - 1002;
  if (id >= 1061 && id <= 1067) return id - 997;
  switch (id) {
    case 1090: return kFnSensitivityCycle;
    case 1091: return kFnSensitivityUp;
    case 1092: return kFnSensitivityDown;
    case 1093: return kFnTripleClick;
    case 1094: return kFnLightOnOff;
    case 1095: return kFnLightEffect;
    case 1096: return kFnSwitchWindow;
    case 1097: return kFnLockComputer;
    case kCmdSingleKey: return kFnKey;
    default: return 0;  // 1099 and every other id below 1100
  }
}

bool keeps_left_click(const ProfileRecord& profile, int slot, int function) {
  for (int s = 0; s < kButtonSlots; ++s) {
    const int code = s == slot ? function : profile.MacroKeyInfo[s].function;
    if (code == kFnLeftClick) return true;
  }
  return false;
}

uint8_t modifier_byte(const ModifierFlags& flags) {
  if (flags[0]) return kModKeyAlone;
  uint8_t byte = 0;
  for (int i = 1; i < 5; ++i)
    if (flags[i]) byte |= static_cast<uint8_t>(1u << i);
  return byte;
}

ModifierFlags modifier_flags(uint8_t byte) {
  ModifierFlags flags{};
  for (int i = 0; i < 5; ++i) flags[i] = (byte >> i) & 1u;
  return flags;
}

CommandPlan plan_command(const SettingsRecord& record, int slot, int command, std::size_t library_size) {
  CommandPlan plan;
  const ProfileRecord* profile = current_profile(record);
  if (!profile || !valid_slot(slot) || command <= kCmdNothing || command > kCmdLastMenu) return plan;
  // A macro item from a menu built before the library shrank names nothing.
  if (command >= kCmdFirstMacro && static_cast<std::size_t>(command - kCmdFirstMacro) >= library_size) return plan;

  const ButtonRecord& button = profile->MacroKeyInfo[slot];
  plan.function = static_cast<uint8_t>(function_for_command(command));
  if (!keeps_left_click(*profile, slot, plan.function)) {
    plan.action = CommandAction::refuse;
    return plan;
  }
  plan.key_code = button.events[0].key;
  plan.modifiers = modifier_flags(button.events[0].action);
  switch (command) {
    case kCmdKeyCombination: plan.action = CommandAction::ask_key_combination; break;
    case kCmdSingleKey: plan.action = CommandAction::ask_single_key; break;
    case kCmdLaunchProgram:
      plan.action = CommandAction::ask_program;
      if (button.function == kFnLaunch) plan.program_path = std::u16string(platform::fixed_text(button.program_path));
      break;
    case kCmdMacroManager: plan.action = CommandAction::open_macro_manager; break;
    default: plan.action = CommandAction::store; break;
  }
  return plan;
}

bool apply_command(SettingsRecord& record, int slot, int command, const CommandOutcome& outcome,
                   const std::vector<MacroRecord>& library) {
  const CommandPlan plan = plan_command(record, slot, command, library.size());
  if (plan.action == CommandAction::none || plan.action == CommandAction::refuse ||
      plan.action == CommandAction::open_macro_manager)
    return false;

  const int p = record.CurrentProfile;
  ButtonRecord& button = record.profiles[p].MacroKeyInfo[slot];
  switch (plan.action) {
    case CommandAction::ask_key_combination:
      if (!outcome.key_combination) return false;
      button.event_count = 1;
      button.events[0].key = outcome.key_combination->key;
      button.events[0].action = modifier_byte(outcome.key_combination->modifiers);
      clear_name(button);
      break;
    case CommandAction::ask_single_key:
      if (!outcome.single_key) return false;
      button.event_count = 1;
      button.events[0].key = *outcome.single_key;
      button.events[0].action = 0;
      clear_name(button);
      break;
    case CommandAction::ask_program:
      if (!outcome.program_path) return false;
      platform::set_fixed_text(button.program_path, *outcome.program_path);
      break;
    default:
      break;
  }

  button.function = plan.function;
  if (command < kCmdFirstMacro) {
    // The fire button is the one code besides keys and macros whose button
    // keeps its event area when it is chosen.
    if (plan.function != kFnKey && plan.function != kFnMacro && plan.function != kFnFireButton) {
      button.event_count = 0;
      std::memset(button.events, 0, sizeof button.events);
      clear_name(button);
    }
  } else {
    const MacroRecord& macro = library[static_cast<std::size_t>(command - kCmdFirstMacro)];
    button.event_count = static_cast<uint16_t>(std::clamp(macro.event_count, 0, kMaxMacroEvents));
    platform::set_fixed_text(button.macro_name, platform::fixed_text(macro.name));
    std::memcpy(button.events, macro.events, sizeof button.events);
    button.repeat_count = macro.repeat_count;
  }
  record.button_changed[p][slot] = 1;
  return true;
}

TextLookup texts_of(const LanguageModule& module) {
  return [&module](int id) { return module.text(id); };
}

std::u16string key_combination_name(uint8_t key_code, uint8_t modifiers) {
  std::u16string name;
  if (!(modifiers & kModKeyAlone)) {
    if (modifiers & kModCtrl) name += u"Ctrl+";
    if (modifiers & kModShift) name += u"Shift+";
    if (modifiers & kModAlt) name += u"Alt+";
    if (modifiers & kModWin) name += u"Win+";
  }
  return name + key_name(device_code_to_virtual_key(key_code).vk);
}

std::u16string function_name(const ButtonRecord& button, const TextLookup& text) {
  const int code = button.function;
  switch (code) {
    case kFnNone:
    case kFnDisabled: return text(1010);
    case kFnKey:
      if (button.event_count == 0) return {};
      return key_combination_name(button.events[0].key, button.events[0].action);
    case kFnProfileCycle: return text(1018);
    case kFnNextProfile: return text(1019);
    case kFnPreviousProfile: return text(1020);
    case kFnMacro: return std::u16string(platform::fixed_text(button.macro_name));
    case kFnLaunch: return std::u16string(file_name_of(platform::fixed_text(button.program_path)));
    case kFnLightOnOff: return text(1094);
    case kFnLightEffect: return text(1095);
    case kFnTripleClick: return text(1093);
    case kFnSensitivityUp: return text(1091);
    case kFnSensitivityDown: return text(1092);
    case kFnSensitivityCycle: return text(1090);
    case kFnSwitchWindow: return text(1097);
    case kFnLockComputer: return text(1098);
    default: break;
  }
  if (code >= kFnLeftClick && code <= kFnDoubleClick) return text(1004 + code);
  if (code >= kFnForward && code <= kFnCpiShift) return text(1004 + code);
  if (code >= kFnRateCycle && code <= kFnOpenOption) return text(1006 + code);
  if (code >= kFnMediaPlayer && code <= kFnVolumeDown) return text(1007 + code);
  if (code >= kFnCalculator && code <= 44) return text(1008 + code);  // 43 and 44 carry no function
  if (code >= kFnCopy && code <= kFnUndo) return text(1023 + code);
  if (code >= kFnCloseWindow && code <= kFnRun) return text(1018 + code);
  return {};
}

std::u16string slot_label(int slot, const ButtonRecord& button, const TextLookup& text) {
  const int number = valid_slot(slot) ? kSlots[static_cast<std::size_t>(slot)].display_number : 0;
  return u"  " + platform::to_u16(number) + u". " + function_name(button, text);
}

std::array<std::u16string, kButtonSlots> slot_labels(const ProfileRecord& profile, const TextLookup& text) {
  std::array<std::u16string, kButtonSlots> labels;
  for (int s = 0; s < kButtonSlots; ++s) labels[static_cast<std::size_t>(s)] = slot_label(s, profile.MacroKeyInfo[s], text);
  return labels;
}

}  // namespace mt
