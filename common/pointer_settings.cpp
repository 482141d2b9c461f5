#include "common/pointer_settings.h"

#include <climits>

#include "platform/text.h"

namespace mt {

namespace {

constexpr char16_t kDoubleClickSpeed[] = u"DoubleClickSpeed";
constexpr char16_t kMouseSensitivity[] = u"MouseSensitivity";
constexpr char16_t kMouseSpeed[] = u"MouseSpeed";
constexpr char16_t kMouseThreshold1[] = u"MouseThreshold1";
constexpr char16_t kMouseThreshold2[] = u"MouseThreshold2";
constexpr char16_t kWheelScrollLines[] = u"WheelScrollLines";

// Values are read into an 80-byte buffer: 39 characters and the NUL.
constexpr std::size_t kValueChars = 39;

std::optional<int> query_int(const RegistrySession& registry, std::u16string_view key,
                             std::u16string_view name) {
  auto text = registry.query(key, name);
  if (!text) return std::nullopt;
  return registry_text_to_int(std::u16string_view(*text).substr(0, kValueChars));
}

}  // namespace

int registry_text_to_int(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  long long value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

int acceleration_row(const ProfileRecord& profile) {
  if (profile.AccelerationFlag == 0 || profile.Acceleration < 0) return 0;
  return profile.Acceleration > kAccelerationRows - 1 ? kAccelerationRows - 1 : profile.Acceleration;
}

int write_pointer_settings(const ProfileRecord& profile, RegistrySession& registry) {
  using platform::to_u16;
  if (!registry.open_key(kMouseKey)) return -1;
  registry.set_string(kMouseKey, kDoubleClickSpeed, to_u16(profile.DbleClickSpeed));
  registry.set_string(kMouseKey, kMouseSensitivity, to_u16(profile.MouseSpeed));
  const AccelerationRow& row = kAccelerationTable[acceleration_row(profile)];
  registry.set_string(kMouseKey, kMouseSpeed, to_u16(row.speed));
  registry.set_string(kMouseKey, kMouseThreshold1, to_u16(row.threshold1));
  registry.set_string(kMouseKey, kMouseThreshold2, to_u16(row.threshold2));

  if (!registry.open_key(kDesktopKey)) return -1;
  registry.set_string(kDesktopKey, kWheelScrollLines,
                      profile.ScrollWheelFlag == 1 ? std::u16string(u"-1") : to_u16(profile.ScrollWheelSpeed));
  return 1;
}

// A value the store does not hold leaves its profile field as it was: a fresh
// store (no Windows underneath to fill it) must not turn a profile into zeros.
int read_pointer_settings(ProfileRecord& profile, RegistrySession& registry) {
  if (!registry.open_key(kMouseKey)) return 0;
  if (auto v = query_int(registry, kMouseKey, kDoubleClickSpeed)) profile.DbleClickSpeed = *v;
  if (auto v = query_int(registry, kMouseKey, kMouseSensitivity)) profile.MouseSpeed = *v;

  auto speed = query_int(registry, kMouseKey, kMouseSpeed);
  auto t1 = query_int(registry, kMouseKey, kMouseThreshold1);
  auto t2 = query_int(registry, kMouseKey, kMouseThreshold2);
  if (speed && t1 && t2) {
    // The last row that reaches the system's thresholds wins.
    for (int i = 0; i < kAccelerationRows; ++i) {
      const AccelerationRow& row = kAccelerationTable[i];
      if (row.speed == *speed && row.threshold1 >= *t1 && row.threshold2 >= *t2) profile.Acceleration = i;
    }
    profile.AccelerationFlag = profile.Acceleration > 3 ? 1 : 0;
  }

  if (!registry.open_key(kDesktopKey)) return -1;
  if (auto w = query_int(registry, kDesktopKey, kWheelScrollLines)) {
    if (*w == -1) {
      profile.ScrollWheelSpeed = 0;
      profile.ScrollWheelFlag = 1;
    } else {
      profile.ScrollWheelSpeed = *w;
      profile.ScrollWheelFlag = 0;
    }
  }
  return 1;
}

void apply_pointer_settings(ProfileRecord& profile, RegistrySession& registry, PointerSystem& system) {
  system.set_double_click_time(profile.DbleClickSpeed);

  // The acceleration comes from the registry; a value it lacks stands for the
  // profile's own row.
  bool open = registry.open_key(kMouseKey);
  const AccelerationRow& row = kAccelerationTable[acceleration_row(profile)];
  int speed = query_int(registry, kMouseKey, kMouseSpeed).value_or(row.speed);
  int t2 = query_int(registry, kMouseKey, kMouseThreshold2).value_or(row.threshold2);
  int t1 = query_int(registry, kMouseKey, kMouseThreshold1).value_or(row.threshold1);
  if (profile.AccelerationFlag != 1 && (speed != 0 || t1 != 0 || t2 != 0)) {
    profile.Acceleration = 0;
    speed = t1 = t2 = 0;
    if (open) {
      registry.set_string(kMouseKey, kMouseSpeed, u"0");
      registry.set_string(kMouseKey, kMouseThreshold2, u"0");
      registry.set_string(kMouseKey, kMouseThreshold1, u"0");
    }
  }
  const int params[3] = {t1, t2, speed};
  system.set_mouse(params);
  system.set_pointer_speed(profile.MouseSpeed);
  system.set_wheel_scroll_lines(profile.ScrollWheelFlag == 1 ? -1 : profile.ScrollWheelSpeed);
}

PointerSettingsStore::PointerSettingsStore(std::string registry_file) : file_(std::move(registry_file)) {}

int PointerSettingsStore::write_to_registry(const ProfileRecord& profile) {
  RegistrySession registry(file_);
  int result = write_pointer_settings(profile, registry);
  // A store that could not be written is a failed write, not a success.
  if (!registry.commit()) return -1;
  return result;
}

int PointerSettingsStore::read_from_registry(ProfileRecord& profile) {
  RegistrySession registry(file_);
  return read_pointer_settings(profile, registry);
}

void PointerSettingsStore::apply_to_system(ProfileRecord& profile, PointerSystem& system) {
  RegistrySession registry(file_);
  apply_pointer_settings(profile, registry, system);
  registry.commit();
}

}  // namespace mt
