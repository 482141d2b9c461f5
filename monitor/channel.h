// Monitor's own parts of the channel to Option and the on-screen displays:
// the OSD settings Monitor passes on, the on-screen message other programs
// hand over with WM_COPYDATA, and the posts to Option's and the displays'
// windows. The shared record itself is common/shared_record.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

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
// The other way: the three fields into their bytes, the rest left as it is.
// Monitor never writes the structure; the on-screen display writes its own.
void encode_osd_settings(const OsdSettings& osd, uint8_t (&raw)[kOsdSettingsBytes]);
// Reads the structure into `osd`. False, and `osd` keeps what it held, when
// the value is missing or damaged (wrong length, checksum): a failed
// structure read writes nothing.
bool load_osd_settings(const std::string& settings_folder, OsdSettings& osd);
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
bool store_osd_message(const std::string& settings_folder, std::u16string_view text);

// --- Posts to the other programs' windows -------------------------------------
// Each is sent only when the window exists; false when it does not (or did
// not take the message).

bool post_to_option(uint32_t msg);  // wParam 0, lParam 0
bool post_to_osd(uint32_t msg, std::uintptr_t wparam, std::intptr_t lparam);
// WM_CLOSE to the main display and its four companions.
void close_osd_windows();

}  // namespace mt
