#include "monitor/device/event_decoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

namespace mt {
namespace {

using K = DeviceActionKind;

constexpr uint32_t word(uint16_t type, uint16_t value) { return (uint32_t{type} << 16) | value; }

TEST(EventWord, FromTheTwoMessages) {
  EXPECT_EQ(event_word_from_device_event(0x0803, 0x0003), 0x08030003u);
  // Only the low 16 bits of lParam are the value; wParam is a 16-bit type.
  EXPECT_EQ(event_word_from_device_event(0xB100, 0x7FFF2010), 0xB1002010u);
  EXPECT_EQ(event_word_from_device_event(0xB100, -1), 0xB100FFFFu);
  EXPECT_EQ(event_word_from_device_event(0x1B100, 0x2010), 0xB1002010u);

  EXPECT_EQ(event_word_from_connection(1), 0x70000001u);
  EXPECT_EQ(event_word_from_connection(0), 0x70000002u);
  EXPECT_EQ(event_word_from_connection(2), 0x70000000u);
  EXPECT_EQ(event_word_from_connection(~uint64_t{0}), 0x70000000u);
}

// a and b are the action's parameters for its kind: profile, button, step,
// level_x/level_y, rate or media_code/media_state.
struct Case {
  uint32_t word;
  int state;
  K kind;
  int a = 0;
  int b = 0;
};

void expect_params(const DeviceAction& got, const Case& c) {
  switch (c.kind) {
    case K::kProfileChanged: EXPECT_EQ(got.profile, c.a); break;
    case K::kLaunchButton: EXPECT_EQ(got.button, c.a); break;
    case K::kLevelChanged: EXPECT_EQ(got.step, c.a); break;
    case K::kLevelValues:
      EXPECT_EQ(got.level_x, c.a);
      EXPECT_EQ(got.level_y, c.b);
      break;
    case K::kRate: EXPECT_EQ(got.rate, c.a); break;
    case K::kMedia:
      EXPECT_EQ(got.media_code, c.a);
      EXPECT_EQ(got.media_state, c.b);
      break;
    default: break;
  }
}

TEST(DecodeEvent, DispatchTable) {
  const Case cases[] = {
      // connection
      {word(0x7000, 1), kStateNoMouse, K::kArrival},
      {word(0x7000, 1), kStateRemoved, K::kArrival},
      {word(0x7000, 1), kStateConnected, K::kIgnore},  // second arrival while connected
      {word(0x7000, 2), kStateConnected, K::kRemoval},
      {word(0x7000, 2), kStateNoMouse, K::kRemoval},   // removal in state 0 still removes
      {word(0x7000, 2), kStateRemoved, K::kIgnore},
      {word(0x7000, 0), kStateConnected, K::kIgnore},
      // tilt
      {word(0x1000, 0x0001), 1, K::kScrollRight},
      {word(0x1000, 0x00FF), 1, K::kScrollLeft},
      {word(0x1000, 0x0101), 1, K::kIgnore},
      // profile: the type is a range, the value is the profile
      {word(0x0803, 3), 1, K::kProfileChanged, 3},
      {word(0x0800, 0), 1, K::kProfileChanged, 0},
      {word(0x08FF, 4), 1, K::kProfileChanged, 4},
      {word(0x0805, 5), 1, K::kIgnore},
      {word(0x0803, 5), 1, K::kIgnore},
      {word(0x0801, 0x0101), 1, K::kIgnore},
      // launch: lo 1-16, hi 0
      {word(0x000A, 0x0005), 1, K::kLaunchButton, 4},
      {word(0x000A, 0x0001), 1, K::kLaunchButton, 0},
      {word(0x000A, 0x0010), 1, K::kLaunchButton, 15},
      {word(0x000A, 0x0011), 1, K::kIgnore},
      {word(0x000A, 0x0000), 1, K::kIgnore},
      {word(0x000A, 0x0105), 1, K::kIgnore},
      // open Option, whatever the value
      {word(0x00A0, 0x0000), 1, K::kOpenOption},
      {word(0x00A0, 0xBEEF), 0, K::kOpenOption},
      // factory reset
      {word(0x0B00, 3), 1, K::kFactoryReset},
      {word(0x0B00, 2), 1, K::kIgnore},
      {word(0x0B01, 3), 1, K::kIgnore},
      // level: the type is a range, the value is level + 1
      {word(0x0703, 3), 1, K::kLevelChanged, 2},
      {word(0x0700, 1), 1, K::kLevelChanged, 0},
      {word(0x07FF, 5), 1, K::kLevelChanged, 4},
      {word(0x0706, 6), 1, K::kIgnore},
      {word(0x0703, 0), 1, K::kIgnore},
      // level values: lo and hi 2-164, halved
      {word(0xB100, 0x2010), 1, K::kLevelValues, 8, 16},
      {word(0xB100, 0xA402), 1, K::kLevelValues, 1, 82},
      {word(0xB100, 0x0110), 1, K::kIgnore},
      {word(0xB100, 0x10A5), 1, K::kIgnore},
      // rate
      {word(0xD000, 1), 1, K::kRate, 0},
      {word(0xD000, 4), 1, K::kRate, 3},
      {word(0xD000, 5), 1, K::kIgnore},
      {word(0xD000, 0), 1, K::kIgnore},
      // media: lo 32-39, hi the key state
      {word(0xF000, 0x0120), 1, K::kMedia, 32, 1},
      {word(0xF000, 0x0027), 1, K::kMedia, 39, 0},
      {word(0xF000, 0x0019), 1, K::kIgnore},
      {word(0xF000, 0x0028), 1, K::kIgnore},
      // reported by the mouse, not acted on
      {word(0x4000, 1), 1, K::kIgnore},
      {word(0x5000, 1), 1, K::kIgnore},
      {word(0x0000, 0), 1, K::kIgnore},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << "word 0x" << c.word << " state " << c.state);
    DeviceAction got = decode_event(c.word, c.state);
    EXPECT_EQ(got.kind, c.kind);
    expect_params(got, c);
  }
}

TEST(DecodeEvent, SensitivityTakesEachAxisInRange) {
  struct S {
    uint16_t value;
    K kind;
    std::optional<int> x, y;
  };
  const S cases[] = {
      {0x0505, K::kSensitivity, 5, 5},
      {0x1500, K::kIgnore, {}, {}},  // hi 21, lo 0
      {0x1505, K::kSensitivity, 5, {}},
      {0x1400, K::kSensitivity, {}, 20},
      {0x0001, K::kSensitivity, 1, {}},
      {0x0000, K::kIgnore, {}, {}},
  };
  for (const S& c : cases) {
    DeviceAction a = decode_event(word(0xC000, c.value), 1);
    EXPECT_EQ(a.kind, c.kind) << std::hex << c.value;
    EXPECT_EQ(a.sensitivity_x, c.x) << std::hex << c.value;
    EXPECT_EQ(a.sensitivity_y, c.y) << std::hex << c.value;
  }
}

// Settings changes: the whole record after the change is compared with the
// record expected, so a write anywhere else shows.
struct Change {
  const char* name;
  uint32_t word;
  std::function<void(SettingsRecord&)> prepare;  // on both records
  std::function<void(SettingsRecord&)> expect;   // on the expected record
  SettingsNotice notice;
};

TEST(ApplySettingsChange, ChangesOnlyWhatTheEventSays) {
  auto nothing = [](SettingsRecord&) {};
  const Change changes[] = {
      {"profile 3", word(0x0803, 3), nothing, [](SettingsRecord& r) { r.CurrentProfile = 3; },
       SettingsNotice::kProfile},
      {"profile 5 ignored", word(0x0805, 5), nothing, nothing, SettingsNotice::kNone},
      {"level 3", word(0x0703, 3), nothing, [](SettingsRecord& r) { r.profiles[1].CpiStep = 2; },
       SettingsNotice::kLevel},
      {"level 6 ignored", word(0x0706, 6), nothing, nothing, SettingsNotice::kNone},
      {"level values", word(0xB100, 0x2010), [](SettingsRecord& r) { r.profiles[1].CpiStep = 3; },
       [](SettingsRecord& r) {
         r.profiles[1].CpiLevel_X[3] = 8;
         r.profiles[1].CpiLevel_Y[3] = 16;
       },
       SettingsNotice::kLevel},
      {"level values with a damaged CpiStep", word(0xB100, 0x2010),
       [](SettingsRecord& r) { r.profiles[1].CpiStep = 5; }, nothing, SettingsNotice::kNone},
      {"level values with a negative CpiStep", word(0xB100, 0x2010),
       [](SettingsRecord& r) { r.profiles[1].CpiStep = -1; }, nothing, SettingsNotice::kNone},
      {"sensitivity both", word(0xC000, 0x0505), nothing,
       [](SettingsRecord& r) { r.profiles[1].Sensitivity_X = r.profiles[1].Sensitivity_Y = 5; },
       SettingsNotice::kLevel},
      {"sensitivity x only", word(0xC000, 0x1507), nothing,
       [](SettingsRecord& r) { r.profiles[1].Sensitivity_X = 7; }, SettingsNotice::kLevel},
      {"sensitivity out of range", word(0xC000, 0x1500), nothing, nothing, SettingsNotice::kNone},
      {"rate", word(0xD000, 4), nothing, [](SettingsRecord& r) { r.profiles[1].PollingRate = 3; },
       SettingsNotice::kLevel},
      {"no profile current: level", word(0x0702, 2), [](SettingsRecord& r) { r.CurrentProfile = -1; },
       nothing, SettingsNotice::kNone},
      {"no profile current: values", word(0xB100, 0x2010),
       [](SettingsRecord& r) { r.CurrentProfile = -1; }, nothing, SettingsNotice::kNone},
      {"no profile current: rate", word(0xD000, 1), [](SettingsRecord& r) { r.CurrentProfile = 9; },
       nothing, SettingsNotice::kNone},
      {"no profile current: profile event still selects", word(0x0802, 2),
       [](SettingsRecord& r) { r.CurrentProfile = -1; }, [](SettingsRecord& r) { r.CurrentProfile = 2; },
       SettingsNotice::kProfile},
      {"not a settings change", word(0x000A, 3), nothing, nothing, SettingsNotice::kNone},
      {"arrival", word(0x7000, 1), nothing, nothing, SettingsNotice::kNone},
  };
  for (const Change& c : changes) {
    SCOPED_TRACE(c.name);
    auto got = std::make_unique<SettingsRecord>();
    clear(*got);
    set_factory_defaults(*got);
    got->CurrentProfile = 1;
    c.prepare(*got);
    auto want = std::make_unique<SettingsRecord>();
    std::memcpy(want.get(), got.get(), sizeof *want);
    c.expect(*want);

    EXPECT_EQ(apply_settings_change(*got, decode_event(c.word, kStateConnected)), c.notice);
    EXPECT_EQ(std::memcmp(got.get(), want.get(), sizeof *got), 0);
  }
}

TEST(ApplySettingsChange, FactoryResetRestoresAndMarksEverything) {
  auto got = std::make_unique<SettingsRecord>();
  clear(*got);
  set_factory_defaults(*got);
  got->CurrentProfile = 3;
  got->LanguageID = 2;
  got->MouseType = 7;
  got->profiles[3].PollingRate = 0;
  got->profiles[0].MacroKeyInfo[2].function = kFnMacro;
  got->profiles[4].ColorChangeMode = 3;  // not a factory value: kept

  auto want = std::make_unique<SettingsRecord>();
  std::memcpy(want.get(), got.get(), sizeof *want);
  set_factory_defaults(*want);
  mark_all_changed(*want);

  EXPECT_EQ(apply_settings_change(*got, decode_event(word(0x0B00, 3), kStateConnected)),
            SettingsNotice::kReset);
  EXPECT_EQ(std::memcmp(got.get(), want.get(), sizeof *got), 0);
  EXPECT_EQ(got->CurrentProfile, 0);
  EXPECT_EQ(got->LanguageID, 2);
  EXPECT_EQ(got->profiles[4].ColorChangeMode, 3);
  EXPECT_EQ(got->global_changed, 1);
  EXPECT_EQ(got->button_changed[4][15], 1);
  EXPECT_EQ(got->section_changed[4][4], 1);
}

}  // namespace
}  // namespace mt
