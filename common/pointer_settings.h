// The system pointer settings each profile carries: double-click time, wheel
// lines, pointer speed and acceleration. They live in the user's registry
// (the per-user store of common/registry.h) and Monitor applies them to the
// desktop through a platform::PointerSystem.
#pragma once

#include <string>

#include "common/registry.h"
#include "common/settings_record.h"
#include "platform/pointer_system.h"

namespace mt {

inline constexpr char16_t kMouseKey[] = u"HKEY_CURRENT_USER\\Control Panel\\Mouse";
inline constexpr char16_t kDesktopKey[] = u"HKEY_CURRENT_USER\\Control Panel\\Desktop";

// One row of the acceleration table: the registry's "MouseSpeed",
// "MouseThreshold1" and "MouseThreshold2".
struct AccelerationRow {
  int speed;
  int threshold1;
  int threshold2;
};
constexpr int kAccelerationRows = 20;
inline constexpr AccelerationRow kAccelerationTable[kAccelerationRows] = {
    {0, 0, 0},  {1, 13, 0}, {1, 12, 0}, {1, 11, 0}, {1, 10, 0}, {1, 9, 0},   {1, 8, 0},
    {1, 7, 0},  {1, 6, 0},  {1, 5, 0},  {1, 4, 0},  {2, 4, 13}, {2, 4, 12},  {2, 4, 11},
    {2, 4, 10}, {2, 4, 9},  {2, 4, 8},  {2, 4, 7},  {2, 4, 6},  {2, 4, 5},
};

// The row the profile stands for: 0 with acceleration off or a negative
// Acceleration, otherwise Acceleration limited to the last row.
int acceleration_row(const ProfileRecord& profile);

using platform::PointerSystem;

// The three operations on an open registry session. Write and read return 1,
// or -1 (read: 0 for the first key) when a key can be neither opened nor
// created; values already written stay.
int write_pointer_settings(const ProfileRecord& profile, RegistrySession& registry);
int read_pointer_settings(ProfileRecord& profile, RegistrySession& registry);
// Monitor only. May set Acceleration to 0 (acceleration off but the registry
// still accelerating).
void apply_pointer_settings(ProfileRecord& profile, RegistrySession& registry, PointerSystem& system);

// What the settings files use to keep a profile and the registry in line.
// Each call is one registry session: the store file is read once and, when
// something changed, written once.
class PointerSettingsStore {
 public:
  explicit PointerSettingsStore(std::string registry_file = registry_file_path());

  int write_to_registry(const ProfileRecord& profile);
  int read_from_registry(ProfileRecord& profile);
  void apply_to_system(ProfileRecord& profile, PointerSystem& system);

  const std::string& registry_file() const { return file_; }

 private:
  std::string file_;
};

// Decimal text as the registry's readers convert it: leading blanks, an
// optional sign, then digits; anything else ends the number; "" -> 0.
int registry_text_to_int(std::u16string_view text);

}  // namespace mt
