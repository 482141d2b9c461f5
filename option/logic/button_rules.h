// The rules of the button page (CDlgPageMouse) without its widgets: the fixed
// table of the 16 slots, the slot menu as data, what every menu command stores
// in the slot's button record, the left-click rule and the slot labels.
//
// A slot menu command runs in two steps, so the page only opens what the
// plan asks for and hands back what the dialog returned:
//
//   CommandPlan plan = plan_command(record, slot, command, library.size());
//   CommandOutcome outcome;
//   switch (plan.action) {
//     case CommandAction::refuse: show CWarnClickDlg; return;
//     case CommandAction::ask_key_combination:   // CShortCutDlg from plan.key_code, plan.modifiers
//       if (OK) outcome.key_combination = KeyChoice{dlg.key_code(), dlg.modifiers()};
//       break;
//     case CommandAction::ask_single_key: ...    // CSingleKeyDlg from plan.key_code
//     case CommandAction::ask_program: ...       // CDlgProgSel from plan.program_path
//     case CommandAction::open_macro_manager:    // CMacroManager; OK: push_to_profiles + save,
//       ...; refresh labels; return;             // Cancel: reload the library
//     case CommandAction::none: return;
//     case CommandAction::store: break;
//   }
//   if (apply_command(record, slot, command, outcome, library)) refresh labels;
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/macro_library.h"
#include "common/settings_record.h"

namespace mt {

class LanguageModule;

// ---- The slots -------------------------------------------------------------

constexpr int kFirstSlotControlId = 200;  // slot s is control 200 + s

struct SlotInfo {
  struct Colour {
    uint8_t red, green, blue;
  };
  int control_id;
  int display_number;     // the number shown in the label; 0 for the unused slots 7..13
  const char* picture;    // in Skins/Mouse/
  bool has_label_colour;  // unused slots keep the button's own caption colours
  Colour label_colour;    // for every drawing state
};

std::span<const SlotInfo, kButtonSlots> slot_table();
// The slot of a slot button's control id; -1 for any other id.
int slot_of_control(int control_id);

// ---- The slot menu ---------------------------------------------------------

// Command ids of the slot menu that do more than store a code.
constexpr int kCmdNothing = 1000;
constexpr int kCmdKeyCombination = 1005;
constexpr int kCmdLaunchProgram = 1017;
constexpr int kCmdSingleKey = 1098;
constexpr int kCmdMacroManager = 1099;
constexpr int kCmdFirstMacro = 1100;  // 1100 + n: library macro n
constexpr int kCmdLastMenu = 3000;    // the page takes commands 1000..3000

// Font and item width of every popup of the slot menu.
constexpr const char* kSlotMenuFont = "Arial";
constexpr int kSlotMenuFontHeight = 18;
constexpr int kSlotMenuFontWeight = 400;
constexpr int kSlotMenuItemWidth = 150;
// Where the top menu opens, from the slot button's screen rectangle.
constexpr int kSlotMenuOffsetX = 235;  // from its left edge
constexpr int kSlotMenuOffsetY = -5;   // from its bottom edge

struct MenuEntry {
  enum class Kind : uint8_t { item, separator, popup };
  Kind kind = Kind::separator;
  int command = 0;      // items
  int text_id = 0;      // items and popup titles; 0 for a macro item, which shows `name`
  std::u16string name;  // macro items: the macro's name
  bool marked = false;  // the macro item of the slot's own macro
  std::vector<MenuEntry> entries;  // popups
};

// The top menu of a slot, with the macro popup built from the library.
// The macro item marked is the library entry the slot's macro (function 16)
// is found under by name.
std::vector<MenuEntry> slot_menu(const std::vector<MacroRecord>& library, const ButtonRecord& slot);

// ---- Commands --------------------------------------------------------------

// The function code a menu command stores (1099 and unknown ids give 0,
// 1100 and above give 16).
int function_for_command(int command);

// False when giving `slot` the function would leave no slot of the profile
// with left click (function 1).
bool keeps_left_click(const ProfileRecord& profile, int slot, int function);

// Toggles of a key combination, in the order of the modifier bits: key
// alone, Ctrl, Shift, Alt, Win.
using ModifierFlags = std::array<bool, 5>;
// Bit i for flag i; with key alone set only bit 0 is stored.
uint8_t modifier_byte(const ModifierFlags& flags);
// Bits 0..4 as five flags.
ModifierFlags modifier_flags(uint8_t byte);

enum class CommandAction : uint8_t {
  none,                 // nothing to do (command 1000, no current profile, a macro that is gone)
  refuse,               // no left click would be left: show CWarnClickDlg, change nothing
  ask_key_combination,  // CShortCutDlg
  ask_single_key,       // CSingleKeyDlg
  ask_program,          // CDlgProgSel
  open_macro_manager,   // CMacroManager; the slot's own code is not changed
  store,                // apply_command at once
};

struct CommandPlan {
  CommandAction action = CommandAction::none;
  uint8_t function = 0;          // the code the command stores
  uint8_t key_code = 0;          // the key dialogs start with the slot's key (event byte 0)
  ModifierFlags modifiers{};     // CShortCutDlg starts with the slot's modifier bits (event byte 1)
  std::u16string program_path;   // CDlgProgSel starts with it when the slot launches a program
};

// What to do for `command` on `slot` of the current profile.
CommandPlan plan_command(const SettingsRecord& record, int slot, int command, std::size_t library_size);

struct KeyChoice {
  uint8_t key = 0;
  ModifierFlags modifiers{};
};

// What the command's dialog returned; leave it empty for Cancel.
struct CommandOutcome {
  std::optional<KeyChoice> key_combination = std::nullopt;    // 1005
  std::optional<uint8_t> single_key = std::nullopt;           // 1098
  std::optional<std::u16string> program_path = std::nullopt;  // 1017; cut to 259 units
};

// Stores the command's function (and its data) into the slot's button record
// of the current profile and sets the slot's changed flag. False, with the
// record untouched, when the plan would not store (refused, cancelled,
// nothing to do, the macro manager).
bool apply_command(SettingsRecord& record, int slot, int command, const CommandOutcome& outcome,
                   const std::vector<MacroRecord>& library);

// ---- Labels ----------------------------------------------------------------

// A text of the language module by id.
using TextLookup = std::function<std::u16string(int id)>;
// The module must outlive the lookup.
TextLookup texts_of(const LanguageModule& module);

// "Ctrl+Shift+A": the modifier prefixes unless bit 0 is set, then the key's name.
std::u16string key_combination_name(uint8_t key_code, uint8_t modifiers);
// The name of the button's function as its label shows it.
std::u16string function_name(const ButtonRecord& button, const TextLookup& text);
// "  <display number>. <function name>".
std::u16string slot_label(int slot, const ButtonRecord& button, const TextLookup& text);
std::array<std::u16string, kButtonSlots> slot_labels(const ProfileRecord& profile, const TextLookup& text);

}  // namespace mt
