#include "monitor/channel.h"

#include "common/product.h"
#include "common/settings_files.h"
#include "platform/ini_file.h"
#include "platform/window_bus.h"
#include "platform/window_messages.h"

namespace mt {

namespace {

int32_t le32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                              (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
}

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

OsdSettings parse_osd_settings(const uint8_t (&raw)[kOsdSettingsBytes]) {
  OsdSettings osd;
  osd.show_profile_osd = le32(raw + 8);
  osd.config_high = le16(raw + 32);
  osd.config_low = le16(raw + 36);
  return osd;
}

void encode_osd_settings(const OsdSettings& osd, uint8_t (&raw)[kOsdSettingsBytes]) {
  const auto show = static_cast<uint32_t>(osd.show_profile_osd);
  for (int i = 0; i < 4; ++i) raw[8 + i] = static_cast<uint8_t>(show >> (8 * i));
  raw[32] = static_cast<uint8_t>(osd.config_high & 0xFF);
  raw[33] = static_cast<uint8_t>(osd.config_high >> 8);
  raw[36] = static_cast<uint8_t>(osd.config_low & 0xFF);
  raw[37] = static_cast<uint8_t>(osd.config_low >> 8);
}

bool load_osd_settings(const std::string& settings_folder, OsdSettings& osd) {
  uint8_t raw[kOsdSettingsBytes] = {};
  if (!read_osd_settings(settings_folder, raw)) return false;
  osd = parse_osd_settings(raw);
  return true;
}

std::intptr_t osd_config_lparam(const OsdSettings& osd) {
  uint32_t v = (static_cast<uint32_t>(osd.config_high) << 16) | osd.config_low;
  return static_cast<std::intptr_t>(v);
}

std::intptr_t osd_profile_lparam(int profile_index) {
  return static_cast<std::intptr_t>(static_cast<uint32_t>(profile_index & 0xFFFF) << 16);
}

std::optional<std::u16string> osd_message_text(std::span<const uint8_t> data) {
  if (data.size() != kOsdMessageBytes) return std::nullopt;
  // The bytes come off the wire with no alignment promise: copy unit by unit.
  std::u16string text;
  for (std::size_t i = 1; i <= kOsdMessageUnits; ++i) {
    char16_t unit = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    if (unit == u'\0') break;
    text.push_back(unit);
  }
  return text;
}

bool store_osd_message(const std::string& settings_folder, std::u16string_view text) {
  return platform::ini_set_string(config_ini_path(settings_folder), u"OSDData", u"Message", text);
}

bool post_to_option(uint32_t msg) { return platform::post_message(OPTION_WINDOW_TITLE, msg, 0, 0); }

bool post_to_osd(uint32_t msg, std::uintptr_t wparam, std::intptr_t lparam) {
  return platform::post_message(OSD_WINDOW_TITLE, msg, wparam, lparam);
}

void close_osd_windows() {
  platform::post_message(OSD_WINDOW_TITLE, platform::WM_CLOSE, 0, 0);
  for (const char* title : OSD_COMPANION_TITLES) platform::post_message(title, platform::WM_CLOSE, 0, 0);
}

}  // namespace mt
