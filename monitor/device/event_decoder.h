// Device events: the HID library's two messages turned into one 32-bit event
// word (type in the high half, value in the low half), the word decoded into
// an action, and the settings changes that the mouse reports applied to a
// record. All pure; Monitor's UI thread does the I/O that follows (files,
// shared block, messages to Option and the on-screen display, channels).
//
// How Monitor uses this, on the UI thread:
//   uint32_t word = event_word_from_device_event(wparam, lparam);    // 1325
//   uint32_t word = event_word_from_connection(wparam);              // 1326
//   DeviceAction a = decode_event(word, connection_state);
//   switch (a.kind) {
//     case DeviceActionKind::kArrival: ...; case kRemoval: ...;
//     case kScrollRight / kScrollLeft / kLaunchButton / kOpenOption / kMedia: software actions
//     default: {
//       SettingsNotice n;
//       record.modify([&](SettingsRecord& r) { n = apply_settings_change(r, a); });
//       // kProfile: write "CurrentProfile", shared block, pointer settings, 1255, OSD 1324
//       // kLevel:   shared block, 1257
//       // kReset:   save files, pointer settings, shared block, 1259
//       // kNone:    nothing (the change did not apply)
//     }
//   }
#pragma once

#include <cstdint>
#include <optional>

#include "common/settings_record.h"

namespace mt {

// Monitor's connection state.
enum ConnectionState : int {
  kStateNoMouse = 0,    // no mouse since start
  kStateConnected = 1,
  kStateRemoved = 2,
};

// Types of the event word (high 16 bits).
constexpr uint16_t kEventConnection = 0x7000;
constexpr uint16_t kConnectionArrival = 1;
constexpr uint16_t kConnectionRemoval = 2;

// Message 1325: wParam = event type, low 16 bits of lParam = event value.
uint32_t event_word_from_device_event(uint64_t wparam, int64_t lparam);
// Message 1326: wParam 1 arrival, 0 removal, anything else a word that does nothing.
uint32_t event_word_from_connection(uint64_t wparam);

enum class DeviceActionKind {
  kIgnore,
  kArrival,
  kRemoval,
  kScrollRight,
  kScrollLeft,
  kProfileChanged,   // profile
  kLaunchButton,     // button (0-based slot whose program starts)
  kOpenOption,
  kFactoryReset,
  kLevelChanged,     // step (the new CpiStep, 0..4)
  kLevelValues,      // level_x, level_y (level codes for CpiLevel_X/_Y[CpiStep])
  kSensitivity,      // sensitivity_x and/or sensitivity_y
  kRate,             // rate (the new PollingRate, 0..3)
  kMedia,            // media_code, media_state
};

struct DeviceAction {
  DeviceActionKind kind = DeviceActionKind::kIgnore;
  int profile = 0;
  int button = 0;
  int step = 0;
  int level_x = 0;
  int level_y = 0;
  std::optional<int> sensitivity_x;
  std::optional<int> sensitivity_y;
  int rate = 0;
  int media_code = 0;
  int media_state = 0;
};

// The dispatch table: the first row whose type and guard both match decides;
// everything else is kIgnore. A repeated arrival while connected and a
// repeated removal while removed are kIgnore.
DeviceAction decode_event(uint32_t word, int connection_state);

// What Monitor announces after a settings change.
enum class SettingsNotice {
  kNone,     // not a settings change, or it could not apply
  kProfile,  // current profile changed
  kLevel,    // level, level values, sensitivity or rate of the current profile changed
  kReset,    // factory values in all profiles, everything marked changed
};

// Applies a decoded settings change to the record. Changes of the current
// profile's fields are kNone while no profile is current, and level values
// are kNone while CpiStep (possibly from a damaged file) is outside 0..4.
SettingsNotice apply_settings_change(SettingsRecord& record, const DeviceAction& action);

}  // namespace mt
