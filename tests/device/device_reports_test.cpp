#include "monitor/device/device_reports.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fake_device.h"

namespace mt {
namespace {

using test::hex;

std::unique_ptr<ProfileRecord> factory_profile() {
  auto p = std::make_unique<ProfileRecord>();
  std::memset(p.get(), 0, sizeof *p);
  set_profile_defaults(*p, 0);
  return p;
}

// Button b as a user macro with the given (key, action, delay) events.
void set_macro(ProfileRecord& p, int b, int32_t repeat, const std::vector<MacroEvent>& events) {
  ButtonRecord& r = p.MacroKeyInfo[b];
  r.function = kFnMacro;
  r.repeat_count = repeat;
  r.event_count = static_cast<uint16_t>(events.size());
  for (size_t i = 0; i < events.size(); ++i) r.events[i] = events[i];
}

std::string block_prefix(const MacroBlock& block, size_t n) {
  return hex(std::vector<uint8_t>(block.begin(), block.begin() + n));
}

bool all_zero_from(const MacroBlock& block, size_t from) {
  for (size_t i = from; i < block.size(); ++i)
    if (block[i] != 0) return false;
  return true;
}

TEST(FeatureCommand, WorkedCheckBytes) {
  EXPECT_EQ(hex(fixed_command()), "03000FD8400000D5");
  EXPECT_EQ(hex(select_profile_command(2)), "02020000000000FB");
  EXPECT_EQ(hex(button_tables(*factory_profile()).command), "12014000000000AC");
}

TEST(FeatureCommand, EveryCommandAddsUpToFF) {
  auto p = factory_profile();
  p->LightColor = 0x00FFFFFF;
  p->CpiStep = 4;
  for (const FeatureCommand& c :
       {rate_command(*p), select_profile_command(4), fixed_command(), colour_command(*p),
        light_mode_command(*p), colour_table(*p).command, level_table(*p).command,
        select_level_command(*p), macro_block_command(11), make_feature(0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF)}) {
    unsigned sum = 0;
    for (uint8_t b : c) sum += b;
    EXPECT_EQ(sum % 256, 0xFFu) << hex(c);
  }
}

TEST(FeatureCommand, RateCodes) {
  const std::pair<int32_t, uint8_t> cases[] = {{0, 8}, {1, 4}, {2, 2}, {3, 1}, {7, 2}, {-1, 2}, {4, 2}};
  auto p = factory_profile();
  for (auto [rate, code] : cases) {
    p->PollingRate = rate;
    EXPECT_EQ(rate_command(*p)[1], code) << "PollingRate " << rate;
  }
}

TEST(FeatureCommand, ColourIsRedGreenBlueOfAColorref) {
  auto p = factory_profile();
  p->LightColor = 0x00332211;
  EXPECT_EQ(hex(colour_command(*p)), "0C1122330000008D");
}

TEST(FeatureCommand, LightModes) {
  struct Case {
    int32_t light_switch, brightness;
    uint8_t effect;
    const char* bytes1to4;
  };
  const Case cases[] = {
      {0, 0, 3, "010A0100"}, {0, 1, 3, "01050100"}, {0, 2, 3, "01010100"}, {0, -1, 3, "01010100"},
      {1, 0, 3, "02030500"}, {2, 0, 4, "02040100"}, {3, 0, 3, "00000000"}, {-1, 0, 3, "00000000"},
  };
  auto p = factory_profile();
  for (const Case& c : cases) {
    p->LightSwitch = c.light_switch;
    p->Brightness = c.brightness;
    p->LightEffectSwitch1 = c.effect;
    FeatureCommand cmd = light_mode_command(*p);
    EXPECT_EQ(cmd[0], 0x0D);
    EXPECT_EQ(hex(std::vector<uint8_t>(cmd.begin() + 1, cmd.begin() + 5)), c.bytes1to4)
        << "LightSwitch " << c.light_switch << " Brightness " << c.brightness;
  }
}

TEST(FeatureCommand, SelectLevelIsStepPlusOne) {
  auto p = factory_profile();
  p->CpiStep = 3;
  EXPECT_EQ(hex(select_level_command(*p)), "0B040800000000E8");
  // Out-of-range steps from a damaged file go to the nearest real level.
  for (auto [step, level] : {std::pair{-1, 1}, {9, 5}, {88, 5}, {-2147483647 - 1, 1}}) {
    p->CpiStep = step;
    EXPECT_EQ(select_level_command(*p)[1], level) << "CpiStep " << step;
  }
}

TEST(ColourTable, PaletteOnlyForLightSwitchOne) {
  auto p = factory_profile();
  p->LightColor = 0x00332211;
  p->LightSwitch = 1;
  ColourTable palette = colour_table(*p);
  EXPECT_EQ(hex(palette.command), "10001800000000D7");
  EXPECT_EQ(hex(palette.data), "FF0000" "00FF00" "0000FF" "FFFF00" "FF00FF" "00FFFF" "FFFFFF" "000000");

  for (int32_t other : {0, 2, 5}) {
    p->LightSwitch = other;
    ColourTable single = colour_table(*p);
    EXPECT_EQ(hex(single.command), "10020400000000E9");
    EXPECT_EQ(hex(single.data), "112233" + std::string(42, '0'));
  }
}

TEST(LevelTable, LevelCodes) {
  const std::pair<int32_t, uint8_t> cases[] = {{1, 0x01}, {5, 0x05}, {8, 0x08}, {9, 0x25}, {10, 0x26},
                                               {11, 0x27}, {12, 0x28}, {0, 0x06}, {13, 0x06}, {-1, 0x06}};
  for (auto [level, code] : cases) EXPECT_EQ(level_code(level), code) << "CpiLevel_X " << level;
}

TEST(LevelTable, EnabledAndDisabledLevels) {
  struct Case {
    int32_t x[5];
    uint8_t enabled[5];
    const char* data;
  };
  const Case cases[] = {
      // factory levels
      {{4, 6, 8, 10, 12}, {1, 1, 1, 1, 1}, "0406082628808080"},
      // level 3 disabled after level 2 sent as 0x04
      {{4, 4, 8, 10, 12}, {1, 1, 0, 1, 1}, "0404842628808080"},
      // a disabled level takes the step bits only, not the 0x20 of codes 9-12
      {{4, 10, 8, 10, 12}, {1, 1, 0, 0, 1}, "0426868628808080"},
      // a disabled first level has no level before it: its own step bits
      {{10, 6, 8, 10, 12}, {0, 1, 1, 1, 1}, "8606082628808080"},
      {{3, 6, 8, 10, 12}, {0, 0, 1, 1, 1}, "8383082628808080"},
      // any non-zero flag enables
      {{1, 2, 3, 4, 5}, {255, 2, 1, 1, 1}, "0102030405808080"},
  };
  auto p = factory_profile();
  for (const Case& c : cases) {
    for (int i = 0; i < 5; ++i) {
      p->CpiLevel_X[i] = c.x[i];
      p->CpiLevel_Y[i] = 1;  // never sent
      p->dpiStepFlag[i] = c.enabled[i];
    }
    LevelTable t = level_table(*p);
    EXPECT_EQ(hex(t.command), "11050800000000E1");
    EXPECT_EQ(hex(t.data), c.data);
  }
}

TEST(ButtonRecord, Translation) {
  struct Case {
    uint8_t function;
    const char* record;
  };
  const Case cases[] = {
      {1, "0100F000"},  {2, "0100F100"},  {3, "0100F200"},  {7, "0100F400"},  {8, "0100F300"},
      {4, "0AF03202"},  {80, "0AF03203"}, {21, "0AF01600"}, {23, "00080000"}, {6, "00000000"},
      {9, "04000100"},  {10, "04000200"}, {11, "04000300"}, {12, "04000400"}, {13, "07000300"},
      {14, "07000100"}, {15, "07000200"}, {96, "07100410"}, {81, "05000100"}, {82, "05000200"},
      {83, "05000300"}, {19, "08000100"}, {20, "08000200"}, {18, "08000300"}, {16, "09000000"},
      {24, "0600A000"}, {45, "0B070000"}, {46, "0B050000"}, {25, "03008301"}, {26, "0300B600"},
      {35, "03002A02"}, {42, "03002102"}, {48, "09000004"}, {56, "09000006"}, {67, "09000006"},
      {85, "09000004"}, {0, "00000000"},  {43, "00000000"}, {47, "00000000"}, {99, "00000000"},
  };
  ButtonRecord b{};
  for (const Case& c : cases) {
    b.function = c.function;
    EXPECT_EQ(hex(button_record(b, 0, 50)), c.record) << "function " << int(c.function);
  }
}

TEST(ButtonRecord, ParametersOfKeysProgramsAndSpeed) {
  ButtonRecord b{};
  b.function = kFnLaunch;
  EXPECT_EQ(hex(button_record(b, 4, 0)), "06000A05");

  b.function = 22;
  EXPECT_EQ(hex(button_record(b, 0, 50)), "0A001919");
  EXPECT_EQ(hex(button_record(b, 0, 7)), "0A000303");

  // Modifier bits lose "key alone" in bit 0: Ctrl+Shift+A.
  b.function = kFnKey;
  b.event_count = 1;
  b.events[0] = {0x04, kModKeyAlone | kModCtrl | kModShift, 0};
  EXPECT_EQ(hex(button_record(b, 0, 0)), "00030400");
  b.events[0] = {0xE3, kModWin, 0};
  EXPECT_EQ(hex(button_record(b, 0, 0)), "0008E300");
}

TEST(ButtonTables, NoMacrosNoBlocks) {
  auto p = factory_profile();
  ButtonTables t = button_tables(*p);
  EXPECT_EQ(t.block_count, 0);
  EXPECT_EQ(hex(std::vector<uint8_t>(t.table.begin(), t.table.begin() + 28)),
            "0100F000" "0100F100" "0100F200" "0100F400" "0100F300" "07000100" "07000200");
  EXPECT_EQ(hex(std::vector<uint8_t>(t.table.begin() + 56, t.table.end())), "0400010004000200");
}

TEST(ButtonTables, MacrosNumberedInButtonOrderUpToEleven) {
  auto p = factory_profile();
  // 13 macro buttons (user macros and shortcuts mixed) with button 5 left a click.
  for (int b = 0; b < 14; ++b) {
    if (b == 5) continue;
    if (b % 2 == 0) {
      set_macro(*p, b, 1, {{static_cast<uint8_t>(0x04 + b), 1, 0}});
    } else {
      p->MacroKeyInfo[b].function = 48;
    }
  }
  p->MacroKeyInfo[5].function = 1;
  ButtonTables t = button_tables(*p);
  ASSERT_EQ(t.block_count, 11);

  int expected = 1;
  for (int b = 0; b < 14; ++b) {
    if (b == 5) continue;
    int number = expected <= 11 ? expected : 0;
    EXPECT_EQ(t.table[4 * b], 0x09) << "button " << b;
    EXPECT_EQ(t.table[4 * b + 2], number) << "button " << b;
    ++expected;
  }
  EXPECT_EQ(hex(std::vector<uint8_t>(t.table.begin() + 20, t.table.begin() + 24)), "0100F000");
  // Block k belongs to the k-th macro button: button 0 (user macro) gets 1,
  // button 1 (Ctrl+C) 2, button 6 (user macro, key 0x0A) 6 after the gap.
  EXPECT_EQ(block_prefix(t.blocks[0], 6), "00010104" "0000");
  EXPECT_EQ(block_prefix(t.blocks[1], 10), "000101E00106810681E0");
  EXPECT_EQ(block_prefix(t.blocks[5], 4), "0001010A");
}

TEST(MacroBlock, BuiltInShortcuts) {
  const std::pair<uint8_t, const char*> cases[] = {
      {48, "000101E00106810681E0"},         {49, "000101E0011B811B81E0"},
      {50, "000101E00111811181E0"},         {51, "000101E00112811281E0"},
      {52, "000101E00119811981E0"},         {53, "000101E00113811381E0"},
      {54, "000101E0011C811C81E0"},         {55, "000101E00116811681E0"},
      {56, "000101E001E10116811681E181E0"}, {57, "000101E00104810481E0"},
      {58, "000101E0011D811D81E0"},         {64, "000101E2013D813D81E2"},
      {65, "000101E00109810981E0"},         {66, "000101E00108810881E0"},
      {67, "000101E2012C011B811B812C81E2"}, {68, "000101E2012C0111811181" "2C81E2"},
      {69, "000101E30107810781E3"},         {70, "000101E30115811581E3"},
      {84, "000101E2012B812B81E2"},         {85, "000101E3010F810F81E3"},
  };
  for (auto [fn, bytes] : cases) {
    auto p = factory_profile();
    p->MacroKeyInfo[2].function = fn;
    ButtonTables t = button_tables(*p);
    ASSERT_EQ(t.block_count, 1) << int(fn);
    size_t n = std::strlen(bytes) / 2;
    EXPECT_EQ(block_prefix(t.blocks[0], n), bytes) << "function " << int(fn);
    EXPECT_TRUE(all_zero_from(t.blocks[0], n)) << "function " << int(fn);
  }
  MacroBlock unused{};
  EXPECT_FALSE(shortcut_block(16, unused));
}

TEST(MacroBlock, EveryShortcutRecordCountsTheEventsOfItsBlock) {
  // Over all 256 codes: a code has a built-in block exactly when its record
  // is a macro record other than the user macro's, and the record's last
  // byte is the number of 2-byte events in that block.
  int shortcuts = 0;
  for (int fn = 0; fn < 256; ++fn) {
    ButtonRecord b{};
    b.function = static_cast<uint8_t>(fn);
    const auto record = button_record(b, 0, 50);
    MacroBlock block{};
    const bool has_block = shortcut_block(static_cast<uint8_t>(fn), block);
    EXPECT_EQ(has_block, record[0] == 0x09 && fn != kFnMacro) << "function " << fn;
    if (!has_block) continue;
    ++shortcuts;
    size_t end = block.size();
    while (end > 2 && block[end - 1] == 0) --end;
    EXPECT_EQ(record[3], (end - 2) / 2) << "function " << fn;
  }
  EXPECT_EQ(shortcuts, 20);
}

TEST(MacroBlock, UserMacroEventForms) {
  struct Case {
    MacroEvent event;
    const char* bytes;
  };
  const Case cases[] = {
      {{0x04, 1, 0}, "0104"},
      {{0x04, 1, 120}, "0D04"},           // 12 OR 0x01
      {{0x04, 2, 120}, "8D04"},           // 12 OR 0x81
      {{0x04, 0, 120}, "8D04"},           // anything but 1 is a release
      {{0x04, 1, 1279}, "7F04"},          // t = 127, still short
      {{0x04, 1, 1280}, "0104" "1902"},   // t = 128: long form, 1280 / 50 = 25
      {{0x05, 1, 1500}, "0105" "1E02"},   // 1500 / 50 = 30
      {{0x05, 2, 1500}, "8105" "1E02"},
      {{0x05, 1, 12799}, "0105" "FF02"},  // 255, the last that fits a byte
      {{0x05, 1, 12800}, "0105" "FF02"},  // 256 and above are sent as the longest
      {{0x05, 1, 20000}, "0105" "FF02"},
      {{0x05, 1, 65535}, "0105" "FF02"},
  };
  for (const Case& c : cases) {
    auto p = factory_profile();
    set_macro(*p, 0, 3, {c.event});
    MacroBlock block = encode_user_macro(p->MacroKeyInfo[0]);
    size_t n = std::strlen(c.bytes) / 2;
    EXPECT_EQ(block_prefix(block, 2 + n), std::string("0003") + c.bytes) << "delay " << c.event.delay;
    EXPECT_TRUE(all_zero_from(block, 2 + n));
  }
}

TEST(MacroBlock, RepeatCountIsLow16BitsHighByteFirst) {
  auto p = factory_profile();
  set_macro(*p, 0, 0x00012345, {});
  EXPECT_EQ(block_prefix(encode_user_macro(p->MacroKeyInfo[0]), 2), "2345");
  set_macro(*p, 0, -1, {});
  EXPECT_EQ(block_prefix(encode_user_macro(p->MacroKeyInfo[0]), 2), "FFFF");
}

TEST(MacroBlock, LongMacroStaysInsideItsBlock) {
  auto p = factory_profile();
  // 60 long-form events need 2 + 240 bytes: only the first 31 fit (126 bytes).
  // The 32nd does not fit whole, and the short event after it must not be
  // moved up in its place.
  std::vector<MacroEvent> events(60, MacroEvent{0x04, 1, 2000});
  events[32] = {0x07, 1, 0};
  set_macro(*p, 0, 1, events);
  ButtonTables t = button_tables(*p);
  ASSERT_EQ(t.block_count, 1);
  const MacroBlock& block = t.blocks[0];
  for (int i = 0; i < 31; ++i) EXPECT_EQ(block_prefix(block, 2 + 4 * (i + 1)).substr(4 + 8 * i), "01042802");
  EXPECT_TRUE(all_zero_from(block, 126));

  // A short event that does fit whole after 31 long ones fills the block.
  events[31] = {0x09, 2, 0};
  set_macro(*p, 0, 1, events);
  MacroBlock full = encode_user_macro(p->MacroKeyInfo[0]);
  EXPECT_EQ(full[126], 0x81);
  EXPECT_EQ(full[127], 0x09);
}

TEST(MacroBlock, EventCountAboveSixtyReadsSixty) {
  auto p = factory_profile();
  std::vector<MacroEvent> events(60, MacroEvent{0x04, 1, 0});
  set_macro(*p, 0, 1, events);
  ButtonRecord& b = p->MacroKeyInfo[0];
  b.program_path[0] = u'Z';  // what a 61st "event" would read
  for (uint16_t count : {61, 65535}) {
    b.event_count = count;
    MacroBlock block = encode_user_macro(b);
    EXPECT_EQ(block[2 + 2 * 59 + 1], 0x04);
    EXPECT_TRUE(all_zero_from(block, 2 + 2 * 60)) << count;
  }
}

// The editor marks the rows that will not reach the mouse from macro_block_fit;
// the encoder must stop exactly where the fit says.
TEST(MacroBlock, FitIsWhatTheEncoderSends) {
  auto events_of = [](std::initializer_list<std::pair<int, uint16_t>> runs) {
    std::vector<MacroEvent> v;
    for (auto [n, delay] : runs)
      for (int i = 0; i < n; ++i) v.push_back({static_cast<uint8_t>(4 + v.size() % 20), 1, delay});
    return v;
  };
  struct Case {
    const char* what;
    std::vector<MacroEvent> events;
    int sent, used, needed;
  };
  const Case cases[] = {
      {"empty", {}, 0, 2, 2},
      {"60 short", events_of({{60, 0}}), 60, 122, 122},
      {"1279 ms is still short", events_of({{60, 1279}}), 60, 122, 122},
      {"60 long", events_of({{60, 1280}}), 31, 126, 242},
      {"31 long, then short ones fill the block", events_of({{31, 2000}, {29, 0}}), 32, 128, 184},
      {"a long one that does not fit ends it", events_of({{31, 2000}, {1, 2000}, {1, 0}}), 31, 126, 132},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const MacroBlockFit fit = macro_block_fit(c.events.data(), static_cast<int>(c.events.size()));
    EXPECT_EQ(fit.events_sent, c.sent);
    EXPECT_EQ(fit.bytes_used, c.used);
    EXPECT_EQ(fit.bytes_needed, c.needed);

    auto p = factory_profile();
    set_macro(*p, 0, 1, c.events);
    const MacroBlock block = encode_user_macro(p->MacroKeyInfo[0]);
    if (c.used > 2) {
      EXPECT_NE(block[c.used - 1], 0);  // the last byte of the last event sent
    }
    EXPECT_TRUE(all_zero_from(block, c.used));
  }
  // The count is read as 0..60, as the encoder reads it.
  const std::vector<MacroEvent> many = events_of({{60, 0}});
  EXPECT_EQ(macro_block_fit(many.data(), -1).events_sent, 0);
  EXPECT_EQ(macro_block_fit(many.data(), 61).events_sent, 60);
}

}  // namespace
}  // namespace mt
