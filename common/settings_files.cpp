#include "common/settings_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstring>
#include <optional>
#include <vector>

#include "common/pointer_settings.h"
#include "platform/ini_file.h"
#include "platform/text.h"

namespace mt {

namespace {

constexpr char16_t kSetting[] = u"Setting";

enum class Kind { ProfileName, GameFile, Int32, Byte, Button };

struct Field {
  std::u16string key;
  Kind kind;
  std::size_t offset;
};

// Every key of a profile file in the order the writer writes them; the
// reader reads the same set.
const std::vector<Field>& profile_fields() {
  static const std::vector<Field> fields = [] {
    std::vector<Field> f;
    auto add = [&f](const char16_t* key, Kind kind, std::size_t offset) { f.push_back({key, kind, offset}); };
    auto add_array = [&f](const char16_t* key, Kind kind, std::size_t offset, std::size_t stride, int count) {
      for (int i = 0; i < count; ++i)
        f.push_back({std::u16string(key) + platform::to_u16(i), kind, offset + stride * i});
    };
#define MT_I32(name) add(u"" #name, Kind::Int32, offsetof(ProfileRecord, name))
#define MT_U8(name) add(u"" #name, Kind::Byte, offsetof(ProfileRecord, name))
    add(u"ProFileName", Kind::ProfileName, offsetof(ProfileRecord, ProFileName));
    add(u"GameFile", Kind::GameFile, offsetof(ProfileRecord, GameFile));
    MT_I32(DbleClickSpeed);
    MT_I32(ScrollWheelSpeed);
    MT_I32(ScrollWheelFlag);
    MT_I32(MouseSpeed);
    MT_I32(Acceleration);
    MT_I32(AccelerationFlag);
    MT_I32(TiltSpeed);
    MT_I32(MediaOption);
    MT_I32(HDDKeyboard);
    MT_I32(Orientation);
    MT_I32(XYSynchronous);
    MT_I32(Sensitivity_X);
    MT_I32(Sensitivity_Y);
    MT_I32(Cpi_X);
    MT_I32(Cpi_Y);
    MT_I32(XYCpiFlag);
    MT_I32(Saturation);
    MT_I32(LightColor);
    MT_I32(Brightness);
    MT_I32(Intervall);
    MT_I32(ProfileCPIFlag);
    MT_I32(Color_X);
    add_array(u"CpiLevel_X", Kind::Int32, offsetof(ProfileRecord, CpiLevel_X), sizeof(int32_t), kLevelCount);
    add_array(u"CpiLevel_Y", Kind::Int32, offsetof(ProfileRecord, CpiLevel_Y), sizeof(int32_t), kLevelCount);
    MT_I32(CpiStep);
    MT_I32(AMCpi_X);
    MT_I32(AMCpi_Y);
    MT_I32(AMCpiFlag);
    MT_I32(PollingRate);
    MT_I32(LiftSwitch);
    MT_I32(LiftLevel);
    MT_I32(LightSwitch);
    MT_I32(LightType);
    MT_I32(LightEnable);
    MT_I32(ColorFlag);
    MT_I32(ColorOptions);
    MT_I32(ColorChangeMode);
    MT_I32(SCrollSpinFlag);
    MT_I32(BTOption);
    MT_I32(OTGSpeed);
    add_array(u"dpiStepFlag", Kind::Byte, offsetof(ProfileRecord, dpiStepFlag), 1, kLevelCount);
    add_array(u"dpiIndicator", Kind::Byte, offsetof(ProfileRecord, dpiIndicator), 1, kLevelCount);
    MT_U8(DpiIndicationType);
    MT_I32(CpiXDefault);
    MT_I32(CpiYDefault);
    MT_U8(BtnConfiguration);
    MT_U8(Color1Type);
    MT_U8(Color2Type);
    MT_U8(LightEffectSwitch1);
    MT_U8(LightEffectSwitch2);
    MT_U8(LightEffectType1);
    MT_U8(LightEffectType2);
    MT_U8(ColorOptions1);
    MT_U8(ColorOptions2);
    MT_U8(ColorChangeModeOptions1);
    MT_U8(ColorChangeModeOptions2);
    MT_U8(FireOrOnToGoStatusIndicatorSetting);
    MT_U8(ProfileSwitchIndictor);
    add_array(u"MacroKeyInfo", Kind::Button, offsetof(ProfileRecord, MacroKeyInfo), sizeof(ButtonRecord),
              kButtonSlots);
#undef MT_I32
#undef MT_U8
    return f;
  }();
  return fields;
}

template <std::size_t N>
void terminate(char16_t (&text)[N]) {
  if (platform::fixed_text(text).size() == N) text[N - 1] = u'\0';
}

// A button record as the files may hold it, brought into the record's rules:
// a missing or corrupt key gives a cleared record for its slot, the event
// count stays within 60 and both strings end within their arrays.
void read_button(const platform::IniDocument& doc, const Field& field, int slot, ButtonRecord& out) {
  ButtonRecord scratch;
  if (!doc.get_struct(kSetting, field.key, &scratch, sizeof scratch)) {
    std::memset(&scratch, 0, sizeof scratch);
    scratch.slot = static_cast<uint8_t>(slot);
  }
  if (scratch.event_count > kMaxMacroEvents) scratch.event_count = kMaxMacroEvents;
  terminate(scratch.macro_name);
  terminate(scratch.program_path);
  std::memcpy(&out, &scratch, sizeof out);
}

// A value holding a NUL ends there, as it does for every reader of the field.
std::u16string_view c_string(const std::u16string& value) {
  return std::u16string_view(value).substr(0, value.find(u'\0'));
}

void read_profile_from(ProfileRecord& profile, const platform::IniDocument& doc) {
  auto* base = reinterpret_cast<unsigned char*>(&profile);
  int slot = 0;
  for (const Field& field : profile_fields()) {
    unsigned char* at = base + field.offset;
    switch (field.kind) {
      case Kind::ProfileName:
        platform::set_fixed_text(profile.ProFileName, c_string(doc.get_string(kSetting, field.key, u"")));
        break;
      case Kind::GameFile:
        platform::set_fixed_text(profile.GameFile, c_string(doc.get_string(kSetting, field.key, u"")));
        break;
      case Kind::Int32: {
        int32_t v = doc.get_int(kSetting, field.key, -1);
        std::memcpy(at, &v, sizeof v);
        break;
      }
      case Kind::Byte:
        *at = static_cast<uint8_t>(doc.get_int(kSetting, field.key, -1) & 0xFF);
        break;
      case Kind::Button:
        read_button(doc, field, slot, profile.MacroKeyInfo[slot]);
        ++slot;
        break;
    }
  }
}

void write_profile_into(const ProfileRecord& profile, platform::IniDocument& doc) {
  const auto* base = reinterpret_cast<const unsigned char*>(&profile);
  for (const Field& field : profile_fields()) {
    const unsigned char* at = base + field.offset;
    switch (field.kind) {
      case Kind::ProfileName:
        doc.set_string(kSetting, field.key, platform::fixed_text(profile.ProFileName));
        break;
      case Kind::GameFile:
        doc.set_string(kSetting, field.key, platform::fixed_text(profile.GameFile));
        break;
      case Kind::Int32: {
        int32_t v;
        std::memcpy(&v, at, sizeof v);
        doc.set_int(kSetting, field.key, v);
        break;
      }
      case Kind::Byte:
        doc.set_int(kSetting, field.key, *at);
        break;
      case Kind::Button:
        doc.set_struct(kSetting, field.key, at, sizeof(ButtonRecord));
        break;
    }
  }
}

// The file name without folder and extension, as a file dialog reports the title.
std::u16string file_title(const std::string& path) {
  std::size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return platform::utf8_to_utf16(name);
}

// A change to config.ini as a read-modify-write of the whole file, so the
// lines of other keys and sections stay.
template <class Edit>
bool update_config(const std::string& folder, Edit edit) {
  platform::IniDocument doc;
  const std::string path = config_ini_path(folder);
  // A file that exists but cannot be read is left alone rather than replaced
  // by the one key written here.
  if (doc.load_checked(path) == platform::IniDocument::LoadStatus::failed) return false;
  edit(doc);
  return doc.save_if_changed(path);
}

}  // namespace

std::string program_folder() {
  std::vector<char> buf(PATH_MAX);
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buf.size()) {
      std::string exe(buf.data(), static_cast<std::size_t>(n));
      std::size_t slash = exe.rfind('/');
      return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
    }
    buf.resize(buf.size() * 2);
  }
}

std::string config_ini_path(const std::string& folder) { return folder + "config.ini"; }

std::string profile_file_path(const std::string& folder, int p) {
  return folder + "config/Default" + std::to_string(p) + ".gmp";
}

std::string config_dir_path(const std::string& folder) { return folder + "config/"; }

bool make_config_dir(const std::string& folder) {
  std::string dir = folder + "config";
  if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) return false;
  struct stat st{};
  return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int load_settings(SettingsRecord& record, const std::string& folder, PointerSettingsStore* pointer) {
  platform::IniDocument config;
  config.load(config_ini_path(folder));
  // A folder in which no profile was ever chosen (no config.ini yet, or one
  // the on-screen display made for its own settings) starts on profile 1, as
  // the mouse does: with no profile in use nothing could be set or applied.
  // A value that is there, even one out of range, is taken as it stands.
  record.CurrentProfile = config.raw(kSetting, u"CurrentProfile") ? config.get_int(kSetting, u"CurrentProfile", -1) : 0;
  record.MouseType = config.get_int(kSetting, u"MouseType", -1);
  record.MouseColor = config.get_int(kSetting, u"MouseColor", -1);
  record.LanguageID = config.get_int(kSetting, u"LanguageID", -1);

  for (int p = 0; p < kProfileCount; ++p) {
    platform::IniDocument doc;
    if (doc.load(profile_file_path(folder, p)))
      read_profile_from(record.profiles[p], doc);
    else
      set_profile_defaults(record.profiles[p], p);
  }

  // The current profile shows what the system uses right now.
  if (ProfileRecord* current = current_profile(record); current && pointer)
    pointer->read_from_registry(*current);
  return 1;
}

int save_settings(const SettingsRecord& record, const std::string& folder, PointerSettingsStore* pointer) {
  if (const ProfileRecord* current = current_profile(record); current && pointer)
    pointer->write_to_registry(*current);

  bool ok = update_config(folder, [&](platform::IniDocument& config) {
    config.set_int(kSetting, u"CurrentProfile", record.CurrentProfile);
    config.set_int(kSetting, u"MouseType", record.MouseType);
    config.set_int(kSetting, u"MouseColor", record.MouseColor);
    config.set_int(kSetting, u"LanguageID", record.LanguageID);
  });

  make_config_dir(folder);
  for (int p = 0; p < kProfileCount; ++p) ok = write_profile_file(record.profiles[p], profile_file_path(folder, p)) && ok;
  return ok ? 1 : 0;
}

bool read_profile_file(ProfileRecord& profile, const std::string& path) {
  platform::IniDocument doc;
  if (!doc.load(path)) return false;
  read_profile_from(profile, doc);
  return true;
}

bool write_profile_file(const ProfileRecord& profile, const std::string& path) {
  platform::IniDocument doc;
  if (doc.load_checked(path) == platform::IniDocument::LoadStatus::failed) return false;
  write_profile_into(profile, doc);
  return doc.save_if_changed(path);
}

void write_export_title(const std::string& folder, int number, const std::u16string& title) {
  update_config(folder, [&](platform::IniDocument& doc) {
    doc.set_string(u"FileName", u"Profile" + platform::to_u16(number), title);
  });
}

void write_access_stamp(const std::string& folder, uint32_t now_seconds) {
  uint8_t code[16] = {};
  for (int i = 0; i < 4; ++i) code[i] = static_cast<uint8_t>(now_seconds >> (8 * i));
  update_config(folder, [&](platform::IniDocument& doc) { doc.set_struct(u"HidAccessCode", u"Code", code, sizeof code); });
}

int read_firmware_version(const std::string& folder) {
  return platform::ini_get_int(config_ini_path(folder), kSetting, u"FWVersion", 100);
}

void write_current_profile(const std::string& folder, int index) {
  platform::ini_set_int(config_ini_path(folder), kSetting, u"CurrentProfile", index);
}

void write_device_state(const std::string& folder, int state) {
  platform::ini_set_int(config_ini_path(folder), kSetting, u"Device", state);
}

bool read_osd_settings(const std::string& folder, uint8_t (&osd)[648]) {
  return platform::ini_get_struct(config_ini_path(folder), u"OSDSetting", u"config", osd, sizeof osd);
}

bool export_profile(const SettingsRecord& record, int n, const std::string& folder,
                    const std::string& chosen_path) {
  if (n < 0 || n >= kProfileCount || chosen_path.empty()) return false;
  // The exported file holds this profile alone. A fresh document saved over
  // the old file replaces it in one step, so a failed write leaves the old
  // file whole instead of deleting it first.
  platform::IniDocument doc;
  write_profile_into(record.profiles[n], doc);
  if (!doc.save(chosen_path)) return false;
  write_export_title(folder, n + 1, file_title(chosen_path));
  make_config_dir(folder);
  write_profile_file(record.profiles[n], profile_file_path(folder, n));
  return true;
}

namespace {

// "-12", "+7", "0": an optional sign and at least one digit, nothing else.
bool is_decimal(std::u16string_view text) {
  std::size_t i = !text.empty() && (text[0] == u'-' || text[0] == u'+') ? 1 : 0;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i)
    if (text[i] < u'0' || text[i] > u'9') return false;
  return true;
}

bool holds_whole_profile(const platform::IniDocument& doc) {
  for (const Field& field : profile_fields()) {
    const std::optional<std::u16string> value = doc.raw(kSetting, field.key);
    if (!value) return false;
    switch (field.kind) {
      case Kind::ProfileName:
      case Kind::GameFile: break;
      case Kind::Int32:
      case Kind::Byte:
        if (!is_decimal(*value)) return false;
        break;
      case Kind::Button: {
        ButtonRecord scratch;
        if (!doc.get_struct(kSetting, field.key, &scratch, sizeof scratch)) return false;
        break;
      }
    }
  }
  return true;
}

}  // namespace

ProfileImport import_whole_profile(SettingsRecord& record, int n, const std::string& chosen_path) {
  if (n < 0 || n >= kProfileCount) return ProfileImport::unreadable;
  platform::IniDocument doc;
  if (!doc.load(chosen_path)) return ProfileImport::unreadable;
  if (!holds_whole_profile(doc)) return ProfileImport::not_whole;
  read_profile_from(record.profiles[n], doc);
  for (int b = 0; b < kButtonSlots; ++b) record.button_changed[n][b] = 1;
  return ProfileImport::imported;
}

bool import_profile(SettingsRecord& record, int n, const std::string& chosen_path) {
  if (n < 0 || n >= kProfileCount) return false;
  if (!read_profile_file(record.profiles[n], chosen_path)) return false;
  for (int b = 0; b < kButtonSlots; ++b) record.button_changed[n][b] = 1;
  return true;
}

}  // namespace mt
