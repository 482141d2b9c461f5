#include "monitor/device/event_decoder.h"

namespace mt {

uint32_t event_word_from_device_event(uint64_t wparam, int64_t lparam) {
  return (static_cast<uint32_t>(wparam) << 16) | (static_cast<uint32_t>(lparam) & 0xFFFFu);
}

uint32_t event_word_from_connection(uint64_t wparam) {
  uint32_t value = 0;
  if (wparam == 1) value = kConnectionArrival;
  else if (wparam == 0) value = kConnectionRemoval;
  return (static_cast<uint32_t>(kEventConnection) << 16) | value;
}

DeviceAction decode_event(uint32_t word, int state) {
  const uint16_t type = static_cast<uint16_t>(word >> 16);
  const uint16_t value = static_cast<uint16_t>(word & 0xFFFF);
  const int lo = value & 0xFF;
  const int hi = (value >> 8) & 0xFF;

  DeviceAction a;
  auto is = [&a](DeviceActionKind k) {
    a.kind = k;
    return a;
  };

  if (type == kEventConnection) {
    if (value == kConnectionArrival && state != kStateConnected) return is(DeviceActionKind::kArrival);
    if (value == kConnectionRemoval && state != kStateRemoved) return is(DeviceActionKind::kRemoval);
    return a;
  }
  if (type == 0x1000) {
    if (value == 0x0001) return is(DeviceActionKind::kScrollRight);
    if (value == 0x00FF) return is(DeviceActionKind::kScrollLeft);
    return a;
  }
  // The whole 0x08xx and 0x07xx type ranges carry the profile and the level
  // in the value; the low byte of the type is not looked at.
  if ((type & 0xFF00) == 0x0800) {
    if (value <= 4) {
      a.profile = value;
      return is(DeviceActionKind::kProfileChanged);
    }
    return a;
  }
  if (type == 0x000A) {
    if (lo >= 1 && lo <= 16 && hi == 0) {
      a.button = lo - 1;
      return is(DeviceActionKind::kLaunchButton);
    }
    return a;
  }
  if (type == 0x00A0) return is(DeviceActionKind::kOpenOption);
  if (type == 0x0B00) {
    if (value == 3) return is(DeviceActionKind::kFactoryReset);
    return a;
  }
  if ((type & 0xFF00) == 0x0700) {
    if (value >= 1 && value <= 5) {
      a.step = value - 1;
      return is(DeviceActionKind::kLevelChanged);
    }
    return a;
  }
  if (type == 0xB100) {
    if (lo >= 2 && lo <= 164 && hi >= 2 && hi <= 164) {
      a.level_x = lo / 2;
      a.level_y = hi / 2;
      return is(DeviceActionKind::kLevelValues);
    }
    return a;
  }
  if (type == 0xC000) {
    if (lo >= 1 && lo <= 20) a.sensitivity_x = lo;
    if (hi >= 1 && hi <= 20) a.sensitivity_y = hi;
    if (a.sensitivity_x || a.sensitivity_y) return is(DeviceActionKind::kSensitivity);
    return DeviceAction{};
  }
  if (type == 0xD000) {
    if (value >= 1 && value <= 4) {
      a.rate = value - 1;
      return is(DeviceActionKind::kRate);
    }
    return a;
  }
  if (type == 0xF000) {
    if (lo >= 32 && lo <= 39) {
      a.media_code = lo;
      a.media_state = hi;
      return is(DeviceActionKind::kMedia);
    }
    return a;
  }
  return a;
}

SettingsNotice apply_settings_change(SettingsRecord& record, const DeviceAction& action) {
  switch (action.kind) {
    case DeviceActionKind::kProfileChanged:
      if (action.profile < 0 || action.profile >= kProfileCount) return SettingsNotice::kNone;
      record.CurrentProfile = action.profile;
      return SettingsNotice::kProfile;
    case DeviceActionKind::kFactoryReset:
      set_factory_defaults(record);
      mark_all_changed(record);
      return SettingsNotice::kReset;
    default:
      break;
  }

  ProfileRecord* p = current_profile(record);
  if (!p) return SettingsNotice::kNone;
  switch (action.kind) {
    case DeviceActionKind::kLevelChanged:
      if (action.step < 0 || action.step >= kLevelCount) return SettingsNotice::kNone;
      p->CpiStep = action.step;
      return SettingsNotice::kLevel;
    case DeviceActionKind::kLevelValues:
      if (p->CpiStep < 0 || p->CpiStep >= kLevelCount) return SettingsNotice::kNone;
      p->CpiLevel_X[p->CpiStep] = action.level_x;
      p->CpiLevel_Y[p->CpiStep] = action.level_y;
      return SettingsNotice::kLevel;
    case DeviceActionKind::kSensitivity:
      if (!action.sensitivity_x && !action.sensitivity_y) return SettingsNotice::kNone;
      if (action.sensitivity_x) p->Sensitivity_X = *action.sensitivity_x;
      if (action.sensitivity_y) p->Sensitivity_Y = *action.sensitivity_y;
      return SettingsNotice::kLevel;
    case DeviceActionKind::kRate:
      p->PollingRate = action.rate;
      return SettingsNotice::kLevel;
    default:
      return SettingsNotice::kNone;
  }
}

}  // namespace mt
