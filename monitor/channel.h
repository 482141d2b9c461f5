// Monitor's side of the channel to Option and the on-screen displays: the
// named shared block that carries the settings record between the processes
// (with the named mutex that guards it), the OSD settings Monitor passes on,
// the on-screen message other programs hand over with WM_COPYDATA, and the
// posts to Option's and the displays' windows.
//
// Copy rule: every access to the block copies the whole 74040-byte record in
// one direction while holding the mutex, and the mutex is never held longer
// than that one copy. A failed wait skips the copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "common/settings_record.h"
#include "monitor/device/profile_writer.h"
#include "platform/named_objects.h"

namespace mt {

// --- OSD settings: "OSDSetting" / "config" of config.ini -------------------

constexpr std::size_t kOsdSettingsBytes = 648;

// The three fields Monitor uses; the rest of the structure belongs to the
// on-screen display program.
struct OsdSettings {
  int32_t show_profile_osd = 0;  // 1: tell the display about profile changes
  uint16_t config_high = 0;
  uint16_t config_low = 0;
};

// Little-endian fields at bytes 8, 32 and 36.
OsdSettings parse_osd_settings(const uint8_t (&raw)[kOsdSettingsBytes]);
// All zero when the value is missing or damaged (wrong length, checksum).
OsdSettings load_osd_settings(const std::string& program_folder);
// lParam of WM_OSD_CONFIG: (high << 16) | low, as 32 unsigned bits.
std::intptr_t osd_config_lparam(const OsdSettings& osd);
// lParam of WM_OSD_SHOW for a profile: the index in the high 16 bits.
std::intptr_t osd_profile_lparam(int profile_index);

// --- On-screen message from WM_COPYDATA ------------------------------------

constexpr std::size_t kOsdMessageBytes = 302;   // 151 UTF-16 units
constexpr std::size_t kOsdMessageUnits = 150;   // after the first unit

// The text of an on-screen message: nothing unless the data is exactly 302
// bytes. The first unit is not part of the text; the text runs from the
// second unit to its NUL, and never beyond the 150 units that follow the
// first, whether or not a NUL ends it.
std::optional<std::u16string> osd_message_text(std::span<const uint8_t> data);
// "OSDData" / "Message" of config.ini. False when the file could not be written.
bool store_osd_message(const std::string& program_folder, std::u16string_view text);

// --- The shared block --------------------------------------------------------

class CMonitorChannel {
 public:
  enum class Status {
    ok,
    mutex_in_use,  // another live process holds the guarding mutex
  };

  CMonitorChannel() = default;
  CMonitorChannel(const CMonitorChannel&) = delete;
  CMonitorChannel& operator=(const CMonitorChannel&) = delete;

  // Creates the guarding mutex; when another process already holds it, the
  // start must fail (mutex_in_use) and nothing is kept.
  Status create_mutex();
  // Creates (or joins) the block. False when it could not be made: the record
  // is then not published and block -> record copies find nothing.
  bool create_block();

  // record -> block. False when there is no block or the wait failed.
  bool publish(const LockedRecord& record);
  bool publish(const SettingsRecord& record);
  // block -> record. False (record untouched) when there is no block or the
  // wait failed.
  bool fetch(LockedRecord& record);

  // Unmaps and closes the block, then closes the mutex.
  void close();

  bool has_block() const { return block_.valid(); }
  bool has_mutex() const { return mutex_.valid(); }

 private:
  platform::NamedMutex mutex_;
  platform::SharedBlock block_;
};

// --- Posts to the other programs' windows -------------------------------------
// Each is sent only when the window exists; false when it does not (or did
// not take the message).

bool post_to_option(uint32_t msg);  // wParam 0, lParam 0
bool post_to_osd(uint32_t msg, std::uintptr_t wparam, std::intptr_t lparam);
// WM_CLOSE to the main display and its four companions.
void close_osd_windows();

}  // namespace mt
