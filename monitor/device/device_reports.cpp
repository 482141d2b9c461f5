#include "monitor/device/device_reports.h"

#include <algorithm>
#include <iterator>

#include "common/macro_block.h"

namespace mt {

namespace {

using Record4 = std::array<uint8_t, 4>;

constexpr uint8_t kRecordTypeMacro = 0x09;

// Consumer-control usages of the media and application keys, in function-code order.
constexpr uint16_t kConsumerUsages[] = {0x0183, 0x00B6, 0x00B5, 0x00CD, 0x00B7, 0x00E2,
                                        0x00E9, 0x00EA, 0x0192, 0x018A, 0x022A, 0x0225,
                                        0x0224, 0x0226, 0x0194, 0x0227, 0x0223, 0x0221};
static_assert(std::size(kConsumerUsages) == kFnSearch - kFnMediaPlayer + 1, "one usage per media or application key");

// Keys of a built-in shortcut: pressed in this order, released in reverse.
struct ShortcutKeys {
  uint8_t function;
  uint8_t count;
  uint8_t keys[3];
};

constexpr uint8_t kCtrl = 0xE0, kShift = 0xE1, kAlt = 0xE2, kWin = 0xE3;

constexpr ShortcutKeys kShortcuts[] = {
    {kFnCopy, 2, {kCtrl, 0x06}},
    {kFnCut, 2, {kCtrl, 0x1B}},
    {kFnNew, 2, {kCtrl, 0x11}},
    {kFnOpen, 2, {kCtrl, 0x12}},
    {kFnPaste, 2, {kCtrl, 0x19}},
    {kFnPrint, 2, {kCtrl, 0x13}},
    {kFnRedo, 2, {kCtrl, 0x1C}},
    {kFnSave, 2, {kCtrl, 0x16}},
    {kFnSaveAs, 3, {kCtrl, kShift, 0x16}},
    {kFnSelectAll, 2, {kCtrl, 0x04}},
    {kFnUndo, 2, {kCtrl, 0x1D}},
    {kFnCloseWindow, 2, {kAlt, 0x3D}},
    {kFnFind, 2, {kCtrl, 0x09}},
    {kFnCtrlE, 2, {kCtrl, 0x08}},
    {kFnMaximizeWindow, 3, {kAlt, 0x2C, 0x1B}},
    {kFnMinimizeWindow, 3, {kAlt, 0x2C, 0x11}},
    {kFnShowDesktop, 2, {kWin, 0x07}},
    {kFnRun, 2, {kWin, 0x15}},
    {kFnSwitchWindow, 2, {kAlt, 0x2B}},
    {kFnLockComputer, 2, {kWin, 0x0F}},
};

const ShortcutKeys* find_shortcut(uint8_t fn) {
  for (const ShortcutKeys& s : kShortcuts)
    if (s.function == fn) return &s;
  return nullptr;
}

Record4 translate(uint8_t fn) {
  switch (fn) {
    case kFnLeftClick: return {0x01, 0x00, 0xF0, 0x00};
    case kFnRightClick: return {0x01, 0x00, 0xF1, 0x00};
    case kFnMiddleClick: return {0x01, 0x00, 0xF2, 0x00};
    case kFnForward: return {0x01, 0x00, 0xF4, 0x00};
    case kFnBackward: return {0x01, 0x00, 0xF3, 0x00};
    case kFnDoubleClick: return {0x0A, 0xF0, 0x32, 0x02};
    case kFnTripleClick: return {0x0A, 0xF0, 0x32, 0x03};
    case kFnFireButton: return {0x0A, 0xF0, 0x16, 0x00};
    case kFnRapidFire: return {0x0A, 0x00, 0x00, 0x00};
    case kFnWindowsKey: return {0x00, 0x08, 0x00, 0x00};
    case kFnCpiUp: return {0x04, 0x00, 0x01, 0x00};
    case kFnCpiDown: return {0x04, 0x00, 0x02, 0x00};
    case kFnCpiCycle: return {0x04, 0x00, 0x03, 0x00};
    case kFnCpiShift: return {0x04, 0x00, 0x04, 0x00};
    case kFnProfileCycle: return {0x07, 0x00, 0x03, 0x00};
    case kFnNextProfile: return {0x07, 0x00, 0x01, 0x00};
    case kFnPreviousProfile: return {0x07, 0x00, 0x02, 0x00};
    case kFnProfileDevice96: return {0x07, 0x10, 0x04, 0x10};
    case kFnSensitivityUp: return {0x05, 0x00, 0x01, 0x00};
    case kFnSensitivityDown: return {0x05, 0x00, 0x02, 0x00};
    case kFnSensitivityCycle: return {0x05, 0x00, 0x03, 0x00};
    case kFnRateUp: return {0x08, 0x00, 0x01, 0x00};
    case kFnRateDown: return {0x08, 0x00, 0x02, 0x00};
    case kFnRateCycle: return {0x08, 0x00, 0x03, 0x00};
    case kFnMacro: return {kRecordTypeMacro, 0x00, 0x00, 0x00};
    case kFnLaunch: return {0x06, 0x00, 0x0A, 0x00};
    case kFnOpenOption: return {0x06, 0x00, 0xA0, 0x00};
    case kFnLightOnOff: return {0x0B, 0x07, 0x00, 0x00};
    case kFnLightEffect: return {0x0B, 0x05, 0x00, 0x00};
    default: break;
  }
  if (fn >= kFnMediaPlayer && fn <= kFnSearch) {
    uint16_t usage = kConsumerUsages[fn - kFnMediaPlayer];
    return {0x03, 0x00, static_cast<uint8_t>(usage & 0xFF), static_cast<uint8_t>(usage >> 8)};
  }
  if (const ShortcutKeys* s = find_shortcut(fn)) {
    // The last byte is the number of key events in the shortcut's block:
    // each key is pressed and released.
    return {kRecordTypeMacro, 0x00, 0x00, static_cast<uint8_t>(2 * s->count)};
  }
  // kFnKey (filled in by the caller), kFnDisabled and every unknown code.
  return {0x00, 0x00, 0x00, 0x00};
}

constexpr uint8_t kPress = 0x01;
constexpr uint8_t kRelease = 0x81;

}  // namespace

uint8_t check_byte(const FeatureCommand& command) {
  unsigned sum = 0;
  for (int i = 0; i < 7; ++i) sum += command[i];
  return static_cast<uint8_t>(0xFF - (sum & 0xFF));
}

FeatureCommand make_feature(uint8_t code, uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4,
                            uint8_t b5, uint8_t b6) {
  FeatureCommand c{code, b1, b2, b3, b4, b5, b6, 0};
  c[7] = check_byte(c);
  return c;
}

uint8_t rate_code(int32_t polling_rate) {
  switch (polling_rate) {
    case 0: return 8;
    case 1: return 4;
    case 2: return 2;
    case 3: return 1;
    default: return 2;
  }
}

FeatureCommand rate_command(const ProfileRecord& profile) {
  return make_feature(kCmdRate, rate_code(profile.PollingRate));
}

FeatureCommand select_profile_command(int index) {
  return make_feature(kCmdSelectProfile, static_cast<uint8_t>(index));
}

FeatureCommand fixed_command() { return make_feature(kCmdFixed, 0x00, 0x0F, 0xD8, 0x40); }

namespace {
// LightColor is a COLORREF: red in the low byte, then green, then blue.
uint8_t red(int32_t c) { return static_cast<uint8_t>(c & 0xFF); }
uint8_t green(int32_t c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
uint8_t blue(int32_t c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }
}  // namespace

FeatureCommand colour_command(const ProfileRecord& profile) {
  int32_t c = profile.LightColor;
  return make_feature(kCmdColour, red(c), green(c), blue(c));
}

FeatureCommand light_mode_command(const ProfileRecord& profile) {
  switch (profile.LightSwitch) {
    case 0: {
      uint8_t level = profile.Brightness == 0 ? 0x0A : profile.Brightness == 1 ? 0x05 : 0x01;
      return make_feature(kCmdLightMode, 0x01, level, 0x01);
    }
    case 1: return make_feature(kCmdLightMode, 0x02, profile.LightEffectSwitch1, 0x05);
    case 2: return make_feature(kCmdLightMode, 0x02, profile.LightEffectSwitch1, 0x01);
    default: return make_feature(kCmdLightMode);
  }
}

FeatureCommand select_level_command(const ProfileRecord& profile) {
  // A damaged or hand-edited file may hold any CpiStep (a missing key reads
  // as -1); the mouse only knows levels 1-5, so the nearest one is sent.
  int step = profile.CpiStep < 0 ? 0 : profile.CpiStep >= kLevelCount ? kLevelCount - 1 : profile.CpiStep;
  return make_feature(kCmdSelectLevel, static_cast<uint8_t>(step + 1), 0x08);
}

ColourTable colour_table(const ProfileRecord& profile) {
  ColourTable t{};
  if (profile.LightSwitch == 1) {
    t.command = make_feature(kCmdColourTable, 0x00, 0x18);
    t.data = {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00,
              0xFF, 0x00, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00};
  } else {
    t.command = make_feature(kCmdColourTable, 0x02, 0x04);
    int32_t c = profile.LightColor;
    t.data[0] = red(c);
    t.data[1] = green(c);
    t.data[2] = blue(c);
  }
  return t;
}

uint8_t level_code(int32_t cpi_level) {
  if (cpi_level >= 1 && cpi_level <= 8) return static_cast<uint8_t>(cpi_level);
  if (cpi_level >= 9 && cpi_level <= 12) return static_cast<uint8_t>(0x25 + (cpi_level - 9));
  return 0x06;
}

LevelTable level_table(const ProfileRecord& profile) {
  constexpr uint8_t kDisabled = 0x80;
  constexpr uint8_t kStepBits = 0x0F;
  LevelTable t{};
  t.command = make_feature(kCmdLevelTable, 0x05, 0x08);
  for (int i = 0; i < kLevelCount; ++i) {
    if (profile.dpiStepFlag[i] != 0) {
      t.data[i] = level_code(profile.CpiLevel_X[i]);
    } else {
      uint8_t before = i > 0 ? t.data[i - 1] : level_code(profile.CpiLevel_X[0]);
      t.data[i] = static_cast<uint8_t>(kDisabled | (before & kStepBits));
    }
  }
  for (int i = kLevelCount; i < 8; ++i) t.data[i] = 0x80;
  return t;
}

std::array<uint8_t, 4> button_record(const ButtonRecord& button, int button_index,
                                     int32_t otg_speed) {
  Record4 r = translate(button.function);
  switch (button.function) {
    case kFnKey:
      r[1] = static_cast<uint8_t>(button.events[0].action >> 1);
      r[2] = button.events[0].key;
      r[3] = 0;
      break;
    case kFnLaunch:
      r[3] = static_cast<uint8_t>(button_index + 1);
      break;
    case kFnRapidFire:
      r[2] = r[3] = static_cast<uint8_t>(otg_speed / 2);
      break;
    default:
      break;
  }
  return r;
}

MacroBlock encode_user_macro(const ButtonRecord& button) {
  MacroBlock block{};
  uint16_t repeat = static_cast<uint16_t>(button.repeat_count);
  block[0] = static_cast<uint8_t>(repeat >> 8);
  block[1] = static_cast<uint8_t>(repeat & 0xFF);

  // Stop at the first event that does not fit whole: a cut event, or one
  // taken out of order, would play a different macro. The editor shows the
  // same cut from the same rule.
  const MacroBlockFit fit = macro_block_fit(button.events, button.event_count);
  size_t pos = kMacroBlockHeaderBytes;
  for (int i = 0; i < fit.events_sent; ++i) {
    const MacroEvent& e = button.events[i];
    bool press = e.action == 1;
    if (!macro_event_is_long(e)) {
      block[pos++] = static_cast<uint8_t>((e.delay / 10u) | (press ? kPress : kRelease));
      block[pos++] = e.key;
    } else {
      // One byte holds the delay in 50 ms units; longer delays get the longest one.
      block[pos++] = press ? kPress : kRelease;
      block[pos++] = e.key;
      block[pos++] = static_cast<uint8_t>(std::min(e.delay / 50u, 255u));
      block[pos++] = 0x02;
    }
  }
  return block;
}

bool shortcut_block(uint8_t function, MacroBlock& block) {
  const ShortcutKeys* s = find_shortcut(function);
  if (!s) return false;
  block.fill(0);
  block[0] = 0x00;  // repeat count 1, high byte first
  block[1] = 0x01;
  size_t pos = 2;
  for (int i = 0; i < s->count; ++i) {
    block[pos++] = kPress;
    block[pos++] = s->keys[i];
  }
  for (int i = s->count - 1; i >= 0; --i) {
    block[pos++] = kRelease;
    block[pos++] = s->keys[i];
  }
  return true;
}

ButtonTables button_tables(const ProfileRecord& profile) {
  ButtonTables out{};
  out.command = make_feature(kCmdButtonTable, 0x01, 0x40);
  int counter = 1;
  for (int b = 0; b < kButtonSlots; ++b) {
    const ButtonRecord& button = profile.MacroKeyInfo[b];
    Record4 r = button_record(button, b, profile.OTGSpeed);
    if (r[0] == kRecordTypeMacro && counter <= kMaxMacroBlocks) {
      r[2] = static_cast<uint8_t>(counter);
      MacroBlock& block = out.blocks[counter - 1];
      if (!shortcut_block(button.function, block)) block = encode_user_macro(button);
      ++counter;
    }
    std::copy(r.begin(), r.end(), out.table.begin() + 4 * b);
  }
  out.block_count = counter - 1;
  return out;
}

FeatureCommand macro_block_command(int k) {
  return make_feature(kCmdMacroBlock, static_cast<uint8_t>(k), 0x80);
}

}  // namespace mt
