#include "option/logic/option_rules.h"

#include <cstdlib>
#include <cstring>

#include "platform/text.h"

namespace mt {

namespace {

bool starts_with_ignore_case(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && platform::equals_ignore_case(s.substr(0, prefix.size()), prefix);
}

// A locale name is language[_territory][.codeset][@modifier].
bool names_russian(std::string_view locale) {
  if (starts_with_ignore_case(locale, "russian") && locale.size() == 7) return true;
  if (!starts_with_ignore_case(locale, "ru")) return false;
  if (locale.size() == 2) return true;
  const char next = locale[2];
  return next == '_' || next == '.' || next == '@';
}

FileDialogRequest profile_request(std::string_view folder) {
  FileDialogRequest r;
  r.initial_path = std::string(folder) + "config/.gmp";
  r.default_suffix = "gmp";
  r.hide_read_only = true;
  r.confirm_overwrite = true;
  return r;
}

}  // namespace

std::optional<int> language_of_menu_command(int command) {
  for (const auto& item : kLanguageMenu)
    if (item.command == command) return item.language_id;
  return std::nullopt;
}

int language_from_locale(std::string_view lc_all, std::string_view lc_messages, std::string_view lang) {
  std::string_view locale = !lc_all.empty() ? lc_all : !lc_messages.empty() ? lc_messages : lang;
  return names_russian(locale) ? 2 : 0;
}

int system_language(const EnvironmentLookup& lookup) {
  auto get = [&](const char* name) -> std::string_view {
    const char* v = lookup ? lookup(name) : std::getenv(name);
    return v ? std::string_view(v) : std::string_view();
  };
  return language_from_locale(get("LC_ALL"), get("LC_MESSAGES"), get("LANG"));
}

std::u16string firmware_version_text(int version) {
  if (version < 100 || version > 500) return u"N/A";
  std::u16string digits = platform::to_u16(version);
  return digits.substr(0, 1) + u"." + digits.substr(1);
}

void clear_apply_flags(SettingsRecord& record) {
  clear_change_flags(record);
  record.global_changed = 0;
}

void take_applied_record(SettingsRecord& applied, SettingsRecord& working) {
  clear_change_flags(applied);
  working = applied;
}

bool take_level_change(const SettingsRecord& applied, SettingsRecord& working) {
  const int p = applied.CurrentProfile;
  if (p < 0 || p >= kProfileCount) return false;
  const ProfileRecord& from = applied.profiles[p];
  ProfileRecord& to = working.profiles[p];
  to.CpiStep = from.CpiStep;
  if (from.CpiStep >= 0 && from.CpiStep < kLevelCount) {
    to.CpiLevel_X[from.CpiStep] = from.CpiLevel_X[from.CpiStep];
    to.CpiLevel_Y[from.CpiStep] = from.CpiLevel_Y[from.CpiStep];
  }
  to.Sensitivity_X = from.Sensitivity_X;
  to.Sensitivity_Y = from.Sensitivity_Y;
  to.PollingRate = from.PollingRate;
  return true;
}

void reset_to_factory(SettingsRecord& working) {
  set_factory_defaults(working);
  clear_change_flags(working);
}

void restore_defaults(SettingsRecord& working) {
  set_factory_defaults(working);
  mark_all_changed(working);
}

ApplyResult run_apply(int flag, SettingsRecord& working, SettingsRecord& applied, ApplySteps& steps) {
  ApplyResult result;
  steps.begin_wait();
  steps.publish_record(working);
  result.files_saved = steps.save_files(working);
  const bool monitor_found = steps.post_apply_to_monitor(flag);
  steps.post_apply_to_companions();
  steps.write_access_stamp();
  clear_apply_flags(working);
  applied = working;
  if (!monitor_found) steps.end_wait();
  result.waiting_for_monitor = monitor_found;
  return result;
}

RecordSource record_source(BlockOpen block, bool files_loaded) {
  if (block == BlockOpen::opened) return RecordSource::block;
  return files_loaded ? RecordSource::files : RecordSource::factory_defaults;
}

StartResult run_dialog_start(int language_id, SettingsRecord& applied, SettingsRecord& working,
                             DialogStartSteps& steps) {
  StartResult result;
  steps.set_title_and_icon();

  const BlockOpen block = steps.open_block(applied);
  bool files_loaded = false;
  if (block == BlockOpen::opened) {
    clear_change_flags(applied);
  } else {
    if (shows_map_error(block)) steps.show_message(kMapViewError);
    files_loaded = steps.load_files(applied);
    if (!files_loaded) {
      clear(applied);
      set_factory_defaults(applied);
    }
  }
  result.source = record_source(block, files_loaded);

  steps.load_macro_library();
  working = applied;
  steps.sync_macros(working);

  result.language_id = language_id;
  working.LanguageID = language_id;
  steps.load_language(language_id);

  result.firmware_text = firmware_version_text(steps.read_firmware_version());
  steps.show_firmware_text(result.firmware_text);

  if (block == BlockOpen::opened) {
    if (ProfileRecord* current = current_profile(working)) steps.read_pointer_settings(*current);
  }
  steps.build_skin();
  steps.fill_pages();
  steps.load_texts();
  return result;
}

FileDialogRequest import_request(std::string_view settings_folder) {
  FileDialogRequest r = profile_request(settings_folder);
  r.kind = FileDialogRequest::Kind::open;
  r.filters = {{"Gaming Mouse Profile(*.gmp)", {"*.gmp", "*.GMP"}}};
  r.must_exist = true;
  return r;
}

FileDialogRequest export_request(std::string_view settings_folder) {
  FileDialogRequest r = profile_request(settings_folder);
  r.kind = FileDialogRequest::Kind::save;
  r.filters = {{"Gaming Mouse Profile(*.gmp)", {"*.GMP", "*.gmp"}}};
  r.must_exist = false;
  return r;
}

std::u16string file_title(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return platform::utf8_to_utf16(name);
}

}  // namespace mt
