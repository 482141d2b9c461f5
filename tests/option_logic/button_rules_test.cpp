#include "option/logic/button_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "common/language_module.h"
#include "platform/text.h"

namespace mt {
namespace {

using platform::fixed_text;
using platform::utf16_to_utf8;

// Texts as "<id>", so every label names the text it took.
std::u16string id_text(int id) { return u"<" + platform::to_u16(id) + u">"; }

MacroRecord macro(std::u16string_view name, int count, int32_t repeat, uint8_t first_key) {
  MacroRecord m;
  std::memset(&m, 0, sizeof m);
  platform::set_fixed_text(m.name, name);
  m.repeat_count = repeat;
  m.event_count = count;
  for (int i = 0; i < count; ++i) m.events[i] = {static_cast<uint8_t>(first_key + i), 1, static_cast<uint16_t>(i)};
  return m;
}

// The label text id of a function code, read from the label rules.
int label_text_id(int code) {
  ButtonRecord b{};
  b.function = static_cast<uint8_t>(code);
  const std::u16string name = function_name(b, id_text);
  if (name.size() < 3 || name.front() != u'<') return 0;
  return std::stoi(utf16_to_utf8(name.substr(1, name.size() - 2)));
}

TEST(ButtonSlots, NineNumberedSlotsAndSevenSpare) {
  std::set<int> numbers;
  std::set<std::string> pictures;
  for (int s = 0; s < kButtonSlots; ++s) {
    const SlotInfo& info = slot_table()[s];
    EXPECT_EQ(info.control_id, 200 + s);
    EXPECT_EQ(slot_of_control(info.control_id), s);
    const bool spare = s >= 7 && s <= 13;
    EXPECT_EQ(info.display_number == 0, spare) << s;
    EXPECT_EQ(info.has_label_colour, !spare) << s;
    if (!spare) {
      numbers.insert(info.display_number);
      pictures.insert(info.picture);
    } else {
      EXPECT_STREQ(info.picture, "mouse.jpg");
    }
  }
  EXPECT_EQ(numbers, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(pictures.size(), 9u);
  EXPECT_STREQ(slot_table()[3].picture, "mouse_4.jpg");  // slot 3 is number 6 with picture 4
  EXPECT_EQ(slot_table()[3].label_colour.green, 127);
  for (int id : {199, 216, 0, -1}) EXPECT_EQ(slot_of_control(id), -1);
}

std::string layout(const std::vector<MenuEntry>& entries) {
  std::string out;
  for (const MenuEntry& e : entries) {
    if (!out.empty()) out += ' ';
    switch (e.kind) {
      case MenuEntry::Kind::separator: out += '-'; break;
      case MenuEntry::Kind::item: out += std::to_string(e.command) + "/" + std::to_string(e.text_id); break;
      case MenuEntry::Kind::popup: out += "[" + std::to_string(e.text_id) + ": " + layout(e.entries) + "]"; break;
    }
  }
  return out;
}

void collect_items(const std::vector<MenuEntry>& entries, std::vector<const MenuEntry*>& out) {
  for (const MenuEntry& e : entries) {
    if (e.kind == MenuEntry::Kind::item) out.push_back(&e);
    if (e.kind == MenuEntry::Kind::popup) collect_items(e.entries, out);
  }
}

TEST(SlotMenu, LayoutAndEveryItemStoresTheFunctionItsTextNames) {
  const std::vector<MenuEntry> menu = slot_menu({}, ButtonRecord{});
  EXPECT_EQ(layout(menu),
            "1001/1005 - 1002/1006 - 1003/1007 - 1007/1011 - 1008/1012 - 1009/1013 - 1010/1014 - "
            "1098/1101 - 1005/1009 - 1004/1008 "
            "[1099: [1070: 1051/1072 1050/1071 1054/1075 1059/1080 1062/1083 1052/1073 1055/1076 1057/1078] - "
            "[1040: 1096/1097 1061/1082 1039/1047 1067/1088 1066/1087 1097/1098] - "
            "[1031: 1028/1035 1029/1036 1026/1033 1027/1034 1031/1038 1032/1039 1030/1037]] - "
            "[1021: 1099/1067] - [1017: 1013/1018 1014/1019 1015/1020] - "
            "1017/1022 - 1023/1029 - 1024/1030 - 1022/1028 - 1006/1010");

  // The menu text of an item is the label its function gets afterwards, for
  // every function that shows a fixed text.
  std::vector<const MenuEntry*> all;
  collect_items(menu, all);
  std::set<int> commands;
  for (const MenuEntry* e : all) {
    SCOPED_TRACE(e->command);
    EXPECT_TRUE(commands.insert(e->command).second);
    const int code = function_for_command(e->command);
    if (e->command == kCmdMacroManager || code == kFnKey || code == kFnLaunch) continue;
    EXPECT_NE(code, 0);
    EXPECT_EQ(label_text_id(code), e->text_id);
  }
}

TEST(SlotMenu, MacroPopupListsTheLibraryAndMarksTheSlotsMacro) {
  const std::vector<MacroRecord> lib = {macro(u"Jump", 2, 1, 4), macro(u"Fire", 1, 1, 9), macro(u"fire", 1, 1, 9)};
  ButtonRecord slot{};
  slot.function = kFnMacro;
  platform::set_fixed_text(slot.macro_name, u"FIRE");
  const std::vector<MenuEntry> menu = slot_menu(lib, slot);
  const MenuEntry& popup = menu[21];
  ASSERT_EQ(popup.text_id, 1021);
  EXPECT_EQ(layout(popup.entries), "1099/1067 - 1100/0 1101/0 1102/0");
  EXPECT_EQ(popup.entries[2].name, u"Jump");
  EXPECT_EQ(popup.entries[3].name, u"Fire");
  int marked = 0;
  for (const MenuEntry& e : popup.entries) marked += e.marked;
  EXPECT_EQ(marked, 1);
  EXPECT_TRUE(popup.entries[3].marked);  // the entry the slot's macro is found under

  slot.function = kFnKey;  // a name left behind marks nothing
  const std::vector<MenuEntry> again = slot_menu(lib, slot);
  for (const MenuEntry& e : again[21].entries) EXPECT_FALSE(e.marked);
}

TEST(SlotMenu, CommandToFunctionCode) {
  const std::pair<int, int> cases[] = {
      {1000, 0},  {1001, 1},  {1015, 15}, {1016, 0},  {1017, 17}, {1044, 44}, {1045, 0},  {1049, 0},
      {1050, 48}, {1060, 58}, {1061, 64}, {1067, 70}, {1068, 0},  {1089, 0},  {1090, 83}, {1091, 81},
      {1092, 82}, {1093, 80}, {1094, 45}, {1095, 46}, {1096, 84}, {1097, 85}, {1098, 5},  {1099, 0},
      {1100, 16}, {2999, 16}, {999, 0},
  };
  for (auto [command, code] : cases) EXPECT_EQ(function_for_command(command), code) << command;
}

TEST(ModifierByte, KeyAloneIsStoredAlone) {
  const struct {
    ModifierFlags flags;
    uint8_t byte;
  } cases[] = {
      {{false, false, false, false, false}, 0x00}, {{true, false, false, false, false}, 0x01},
      {{true, true, true, true, true}, 0x01},      {{false, true, true, false, false}, 0x06},
      {{false, true, true, true, true}, 0x1E},     {{false, false, false, false, true}, 0x10},
  };
  for (const auto& c : cases) EXPECT_EQ(modifier_byte(c.flags), c.byte);
  EXPECT_EQ(modifier_flags(0x1E), (ModifierFlags{false, true, true, true, true}));
  EXPECT_EQ(modifier_flags(0xE1), (ModifierFlags{true, false, false, false, false}));  // bits 5..7 are not flags
}

// Profile 1 current, with the factory functions: only slot 0 clicks left.
struct PageFixture : ::testing::Test {
  std::unique_ptr<SettingsRecord> record = std::make_unique<SettingsRecord>();
  std::vector<MacroRecord> lib = {macro(u"Jump", 3, 4, 20), macro(u"Fire", 60, 9, 40)};
  void SetUp() override {
    clear(*record);
    set_factory_defaults(*record);
    record->CurrentProfile = 1;
  }
  ButtonRecord& slot(int s) { return record->profiles[1].MacroKeyInfo[s]; }
  CommandAction plan(int s, int command) { return plan_command(*record, s, command, lib.size()).action; }
  bool apply(int s, int command, const CommandOutcome& outcome = {}) {
    return apply_command(*record, s, command, outcome, lib);
  }
  // Applies and expects the record to stay exactly as it was.
  void expect_refused(int s, int command, const CommandOutcome& outcome = {}) {
    const auto before = std::make_unique<SettingsRecord>(*record);
    EXPECT_FALSE(apply(s, command, outcome)) << command;
    EXPECT_EQ(std::memcmp(before.get(), record.get(), sizeof *record), 0) << command;
  }
};

TEST_F(PageFixture, LeftClickRule) {
  EXPECT_EQ(plan(0, 1006), CommandAction::refuse);              // disable the only left click
  expect_refused(0, 1006);
  EXPECT_EQ(plan(0, kCmdMacroManager), CommandAction::refuse);  // the manager is refused too
  EXPECT_EQ(plan(0, kCmdKeyCombination), CommandAction::refuse);  // before any dialog opens
  EXPECT_EQ(plan(0, kCmdFirstMacro), CommandAction::refuse);
  expect_refused(0, kCmdKeyCombination, {.key_combination = KeyChoice{4, {}}});
  EXPECT_EQ(plan(0, 1001), CommandAction::store);  // left click stays left click
  EXPECT_EQ(plan(3, kCmdMacroManager), CommandAction::open_macro_manager);

  // A second left click: either of the two may then be changed, once.
  EXPECT_TRUE(apply(1, 1001));
  EXPECT_TRUE(apply(0, 1006));
  expect_refused(1, 1002);
  EXPECT_EQ(slot(1).function, kFnLeftClick);

  // The rule looks at the current profile only.
  record->profiles[1].MacroKeyInfo[1].function = 2;
  record->CurrentProfile = 0;
  EXPECT_EQ(plan(1, 1002), CommandAction::store);
}

TEST_F(PageFixture, NothingToDo) {
  expect_refused(3, kCmdNothing);
  expect_refused(3, kCmdFirstMacro + 2);  // a macro item from a menu built before the library shrank
  expect_refused(3, kCmdMacroManager);    // the manager never changes the slot's own code
  expect_refused(16, 1001);
  expect_refused(-1, 1001);
  expect_refused(3, 3001);
  record->CurrentProfile = -1;
  expect_refused(3, 1001);
  EXPECT_EQ(plan(3, 1001), CommandAction::none);
}

TEST_F(PageFixture, RecordUpdates) {
  // Slot 3 starts as a macro, with a program path left over from before.
  platform::set_fixed_text(slot(3).program_path, u"/usr/bin/gimp");
  ASSERT_TRUE(apply(3, kCmdFirstMacro + 1));
  EXPECT_EQ(slot(3).function, kFnMacro);
  EXPECT_EQ(fixed_text(slot(3).macro_name), u"Fire");
  EXPECT_EQ(slot(3).event_count, 60);
  EXPECT_EQ(slot(3).repeat_count, 9);
  EXPECT_EQ(std::memcmp(slot(3).events, lib[1].events, sizeof slot(3).events), 0);
  EXPECT_EQ(record->button_changed[1][3], 1);
  EXPECT_EQ(record->button_changed[0][3], 0);

  ASSERT_TRUE(apply(3, kCmdFirstMacro + 0));  // a shorter name leaves no tail of the longer one
  EXPECT_EQ(fixed_text(slot(3).macro_name), u"Jump");
  EXPECT_EQ(slot(3).macro_name[4], 0);
  EXPECT_EQ(slot(3).events[3].key, 0);

  // A key combination keeps the event area and overwrites its first bytes.
  ASSERT_TRUE(apply(3, kCmdFirstMacro + 1));
  const MacroEvent second = slot(3).events[1];
  expect_refused(3, kCmdKeyCombination);  // cancelled
  ASSERT_TRUE(apply(3, kCmdKeyCombination, {.key_combination = KeyChoice{4, {false, true, true, false, false}}}));
  EXPECT_EQ(slot(3).function, kFnKey);
  EXPECT_EQ(slot(3).event_count, 1);
  EXPECT_EQ(slot(3).events[0].key, 4);
  EXPECT_EQ(slot(3).events[0].action, 0x06);
  EXPECT_EQ(std::memcmp(&slot(3).events[1], &second, sizeof second), 0);
  EXPECT_EQ(fixed_text(slot(3).macro_name), u"");
  ASSERT_TRUE(apply(3, kCmdKeyCombination, {.key_combination = KeyChoice{4, {true, true, false, false, false}}}));
  EXPECT_EQ(slot(3).events[0].action, 0x01);

  // The key dialogs start from the slot's key and modifier bits.
  slot(3).events[0].action = 0x12;
  const CommandPlan p = plan_command(*record, 3, kCmdKeyCombination, lib.size());
  EXPECT_EQ(p.action, CommandAction::ask_key_combination);
  EXPECT_EQ(p.key_code, 4);
  EXPECT_EQ(p.modifiers, (ModifierFlags{false, true, false, false, true}));
  EXPECT_EQ(plan_command(*record, 3, kCmdSingleKey, lib.size()).action, CommandAction::ask_single_key);

  // A single key clears the modifier bits.
  expect_refused(3, kCmdSingleKey);
  ASSERT_TRUE(apply(3, kCmdSingleKey, {.single_key = uint8_t{41}}));
  EXPECT_EQ(slot(3).function, kFnKey);
  EXPECT_EQ(slot(3).events[0].key, 41);
  EXPECT_EQ(slot(3).events[0].action, 0);

  // Function 21 keeps the event area too; every other code clears it and the
  // macro name, never the program path.
  ASSERT_TRUE(apply(3, 1021));
  EXPECT_EQ(slot(3).function, 21);
  EXPECT_EQ(slot(3).event_count, 1);
  EXPECT_EQ(slot(3).events[1].key, second.key);
  ASSERT_TRUE(apply(3, kCmdFirstMacro + 1));
  ASSERT_TRUE(apply(3, 1001));
  EXPECT_EQ(slot(3).function, kFnLeftClick);
  EXPECT_EQ(slot(3).event_count, 0);
  const MacroEvent none[kMaxMacroEvents] = {};
  EXPECT_EQ(std::memcmp(slot(3).events, none, sizeof none), 0);
  EXPECT_EQ(fixed_text(slot(3).macro_name), u"");
  EXPECT_EQ(slot(3).repeat_count, 9);
  EXPECT_EQ(fixed_text(slot(3).program_path), u"/usr/bin/gimp");
}

TEST_F(PageFixture, LaunchProgram) {
  // The chooser starts with the slot's path only when the slot launches it.
  platform::set_fixed_text(slot(4).program_path, u"/opt/old");
  EXPECT_EQ(plan_command(*record, 4, kCmdLaunchProgram, 2).program_path, u"");
  slot(4).function = kFnLaunch;
  EXPECT_EQ(plan_command(*record, 4, kCmdLaunchProgram, 2).program_path, u"/opt/old");

  expect_refused(4, kCmdLaunchProgram);
  ASSERT_TRUE(apply(4, kCmdFirstMacro));
  ASSERT_TRUE(apply(4, kCmdLaunchProgram, {.program_path = std::u16string(300, u'x')}));
  EXPECT_EQ(slot(4).function, kFnLaunch);
  EXPECT_EQ(fixed_text(slot(4).program_path).size(), 259u);
  EXPECT_EQ(slot(4).event_count, 0);
  EXPECT_EQ(fixed_text(slot(4).macro_name), u"");
}

TEST(SlotLabels, EveryCode) {
  const std::pair<int, int> texts[] = {
      {0, 1010},  {6, 1010},  {1, 1005},  {2, 1006},  {3, 1007},  {4, 1008},  {7, 1011},  {12, 1016},
      {13, 1018}, {14, 1019}, {15, 1020}, {18, 1024}, {24, 1030}, {25, 1032}, {32, 1039}, {33, 1041},
      {44, 1052}, {45, 1094}, {46, 1095}, {48, 1071}, {58, 1081}, {64, 1082}, {70, 1088}, {80, 1093},
      {81, 1091}, {82, 1092}, {83, 1090}, {84, 1097}, {85, 1098},
      // no text
      {47, 0},    {59, 0},    {63, 0},    {71, 0},    {79, 0},    {86, 0},    {96, 0},    {255, 0},
  };
  for (auto [code, id] : texts) EXPECT_EQ(label_text_id(code), id) << code;

  auto key = [](uint16_t count, uint8_t code, uint8_t mods) {
    ButtonRecord b{};
    b.function = kFnKey;
    b.event_count = count;
    b.events[0] = {code, mods, 0};
    return b;
  };
  ButtonRecord m{};
  m.function = kFnMacro;
  platform::set_fixed_text(m.macro_name, u"Jump");
  ButtonRecord win{}, nix{}, bare{};
  win.function = nix.function = bare.function = kFnLaunch;
  platform::set_fixed_text(win.program_path, u"C:\\Games\\Quake\\quake.exe");
  platform::set_fixed_text(nix.program_path, u"/home/me/bin/run.sh");
  platform::set_fixed_text(bare.program_path, u"tool");
  const struct {
    int slot;
    ButtonRecord button;
    std::u16string label;
  } cases[] = {
      {0, key(0, 4, 0x06), u"  1. "},  // a key function without its key shows the number only
      {0, key(1, 4, 0x06), u"  1. Ctrl+Shift+A"},
      {5, key(1, 69, 0x1E), u"  4. Ctrl+Shift+Alt+Win+F12"},
      {6, key(1, 4, 0x03), u"  5. A"},  // key alone: bit 0 hides the others
      {14, key(1, 225, 0), u"  8. Left Shift"},
      {15, key(1, 50, 0x02), u"  9. Ctrl+"},  // a code without a key has no name
      {3, m, u"  6. Jump"},
      {4, win, u"  7. quake.exe"},
      {4, nix, u"  7. run.sh"},
      {4, bare, u"  7. tool"},
      {7, ButtonRecord{}, u"  0. <1010>"},
      {13, key(1, 44, 0x10), u"  0. Win+Space"},
  };
  for (const auto& c : cases) EXPECT_EQ(slot_label(c.slot, c.button, id_text), c.label) << utf16_to_utf8(c.label);
}

TEST(SlotLabels, FromTheLanguageModuleForAWholeProfile) {
  LanguageModule module;
  module.load_from_text("1005=Left Click\n1006=Right Click\n1010=Disable\n");
  auto record = std::make_unique<SettingsRecord>();
  clear(*record);
  set_factory_defaults(*record);
  const auto labels = slot_labels(record->profiles[0], texts_of(module));
  EXPECT_EQ(labels[0], u"  1. Left Click");
  EXPECT_EQ(labels[1], u"  2. Right Click");
  EXPECT_EQ(labels[2], u"  3. ");  // middle click's text is missing from this module
  EXPECT_EQ(labels[9], u"  0. Disable");
}

}  // namespace
}  // namespace mt
