// Feeds arbitrary device events (and connection changes) through the decoder
// and applies every settings change to a record, checking that the record
// stays inside the ranges the rest of Monitor relies on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/settings_record.h"
#include "monitor/device/event_decoder.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static mt::SettingsRecord record;
  mt::clear(record);
  if (size > 0 && (data[0] & 1)) mt::set_factory_defaults(record);
  if (size > 1) {
    // Start from a possibly damaged record: CurrentProfile and CpiStep from the input.
    record.CurrentProfile = static_cast<int8_t>(data[1]) % 8;
    if (auto* p = mt::current_profile(record)) p->CpiStep = static_cast<int8_t>(data[0]) % 8;
  }
  int state = mt::kStateNoMouse;
  for (size_t i = 2; i + 5 <= size; i += 5) {
    uint32_t word;
    if (data[i] & 0x80) {
      word = mt::event_word_from_connection(data[i + 1] % 4);
    } else {
      uint16_t type = static_cast<uint16_t>(data[i + 1] | (data[i + 2] << 8));
      int64_t lparam = static_cast<int64_t>(data[i + 3] | (data[i + 4] << 8)) - 0x8000;
      word = mt::event_word_from_device_event(type, lparam);
    }
    mt::DeviceAction a = mt::decode_event(word, state);
    if (a.kind == mt::DeviceActionKind::kArrival) state = mt::kStateConnected;
    if (a.kind == mt::DeviceActionKind::kRemoval) state = mt::kStateRemoved;
    if (a.kind == mt::DeviceActionKind::kLaunchButton) check(a.button >= 0 && a.button < mt::kButtonSlots);
    int before = record.CurrentProfile;
    mt::apply_settings_change(record, a);
    // The mouse can only make one of the five profiles current.
    check(record.CurrentProfile == before ||
          (record.CurrentProfile >= 0 && record.CurrentProfile < mt::kProfileCount));
    if (const auto* p = mt::current_profile(record)) {
      check(p->PollingRate >= 0 && p->PollingRate <= 3);
      check(p->CpiStep >= -7 && p->CpiStep <= 7);
    }
  }
  return 0;
}
