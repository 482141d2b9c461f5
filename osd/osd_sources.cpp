#include "osd/osd_sources.h"

#include <memory>

#include "common/settings_files.h"
#include "common/settings_record.h"
#include "common/shared_record.h"
#include "monitor/channel.h"
#include "platform/ini_file.h"
#include "platform/text.h"

namespace mt {

std::u16string profile_name(int index, const std::string& settings_folder) {
  if (index < 0 || index >= kProfileCount) return {};
  {
    SharedRecordBlock shared;
    if (shared.open() == SharedRecordBlock::Status::opened) {
      auto record = std::make_unique<SettingsRecord>();
      const bool copied = shared.fetch(*record);
      shared.close();
      if (copied) return std::u16string(platform::fixed_text(record->profiles[index].ProFileName));
    }
  }
  auto profile = std::make_unique<ProfileRecord>();
  if (!read_profile_file(*profile, profile_file_path(settings_folder, index))) set_profile_defaults(*profile, index);
  return std::u16string(platform::fixed_text(profile->ProFileName));
}

std::u16string stored_message(const std::string& settings_folder) {
  return platform::ini_get_string(config_ini_path(settings_folder), u"OSDData", u"Message", u"");
}

int stored_language(const std::string& settings_folder) {
  return platform::ini_get_int(config_ini_path(settings_folder), u"Setting", u"LanguageID", -1);
}

OsdConfig stored_config(const std::string& settings_folder) {
  OsdSettings osd;
  if (!load_osd_settings(settings_folder, osd)) return OsdConfig{};
  return decode_osd_config(osd.config_high, osd.config_low);
}

bool store_default_config(const std::string& settings_folder) {
  const std::string ini = config_ini_path(settings_folder);
  if (!platform::ini_get_string(ini, u"OSDSetting", u"config", u"").empty()) return false;
  uint8_t raw[kOsdSettingsBytes] = {};
  OsdSettings osd;
  osd.show_profile_osd = 1;
  encode_osd_settings(osd, raw);
  return platform::ini_set_struct(ini, u"OSDSetting", u"config", raw, sizeof raw);
}

}  // namespace mt
