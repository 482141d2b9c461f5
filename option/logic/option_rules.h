// The main window's rules (COptionDlg) without the window: what each message
// does to the two records, the order of Apply and of the start, the language
// choice, the firmware-version text and the file dialogs of import and
// export. The window supplies the side effects through the steps interfaces
// and keeps nothing of these rules itself.
//
//   ApplyWait wait;
//   void COptionDlg::apply(int flag) {
//     ApplyResult r = run_apply(flag, working_, applied_, apply_steps_);
//     if (r.waiting_for_monitor) wait.begin(now_ms());
//   }
//   on 1256:              wait.done(); apply_steps_.end_wait();
//   on the wait timer:    if (wait.should_end(now_ms(), window_exists(MONITOR))) { wait.done(); end_wait(); }
//   on 1257:              take_level_change(applied_, working_); performance page refresh
//   at start:             run_dialog_start(system_language(), applied_, working_, start_steps_);
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/settings_record.h"
#include "option/option_host.h"

namespace mt {

// ---- language ----------------------------------------------------------------

// The language pop-up menu: command, text id of its item, in menu order.
struct LanguageMenuItem {
  int command;
  int text_id;
  int language_id;
};
constexpr int kMenuLanguageEnglish = 3001;
constexpr int kMenuLanguageChinese = 3002;
constexpr int kMenuLanguageRussian = 3003;
inline constexpr std::array<LanguageMenuItem, 3> kLanguageMenu = {{
    {kMenuLanguageEnglish, 101, 0},
    {kMenuLanguageChinese, 121, 1},
    {kMenuLanguageRussian, 102, 2},
}};
// The LanguageID a menu command selects; nothing for another command.
std::optional<int> language_of_menu_command(int command);

// The language Option starts in, whatever config.ini holds: Russian (2) when
// the session's locale for messages names Russian, otherwise English (0).
// The locale is the first non-empty of LC_ALL, LC_MESSAGES and LANG, as the
// C library takes it; "ru", "ru_RU.UTF-8", "ru_UA@..." and glibc's alias
// "russian" name Russian.
int language_from_locale(std::string_view lc_all, std::string_view lc_messages, std::string_view lang);
// The same from an environment lookup (getenv by default).
using EnvironmentLookup = std::function<const char*(const char* name)>;
int system_language(const EnvironmentLookup& lookup = {});

// ---- firmware version ----------------------------------------------------------

// 100..500 as its digits with a point after the first ("1.05" for 105);
// anything else "N/A".
std::u16string firmware_version_text(int version);

// ---- the records ---------------------------------------------------------------

// Apply clears the 80 per-button flags and the 26 flags after them (the 25
// section flags and the global one).
void clear_apply_flags(SettingsRecord& record);

// 1255 (and 1254 after the firmware text), once the block has been copied
// into `applied`: its changed flags are cleared and the working record
// becomes a copy of it; the pages are then refreshed.
void take_applied_record(SettingsRecord& applied, SettingsRecord& working);

// 1257, once the block has been copied into `applied`: for the applied
// record's current profile p, CpiStep, CpiLevel_X and CpiLevel_Y of that
// level, Sensitivity_X, Sensitivity_Y and PollingRate go into the working
// record's profile p; every other edit stays. The levels are copied only for
// a CpiStep of 0..4. False (nothing copied) without a current profile.
bool take_level_change(const SettingsRecord& applied, SettingsRecord& working);

// 1259: the working record gets the factory defaults and its changed flags
// are cleared; the window then refreshes the pages and saves the files.
void reset_to_factory(SettingsRecord& working);

// Restore defaults, after the user confirmed: factory defaults and every
// changed flag set; the window then refreshes the pages and applies with 1.
void restore_defaults(SettingsRecord& working);

// ---- Apply -----------------------------------------------------------------------

// The side effects of Apply, called by run_apply in the designed order.
class ApplySteps {
 public:
  virtual ~ApplySteps() = default;
  // 1. Capture the mouse, show the wait cursor; OK and Apply stay disabled
  //    until end_wait.
  virtual void begin_wait() = 0;
  // 2. The working record into the shared block, under its mutex.
  virtual void publish_record(const SettingsRecord& working) = 0;
  // 3. config.ini and the five profile files; false when one could not be
  //    written.
  virtual bool save_files(const SettingsRecord& working) = 0;
  // 4. 1224 (flag, 0) to Monitor's window; false when there is no such window.
  virtual bool post_apply_to_monitor(int flag) = 0;
  // 5. 1224 (0, 0) to each on-screen-display companion that exists.
  virtual void post_apply_to_companions() = 0;
  // 6. The apply time stamp in config.ini.
  virtual void write_access_stamp() = 0;
  // 9. Arrow cursor, capture released, OK and Apply enabled again: at once
  //    when Monitor was not found, otherwise when 1256 arrives (or the wait
  //    is given up, see ApplyWait).
  virtual void end_wait() = 0;
};

struct ApplyResult {
  bool waiting_for_monitor = false;  // end_wait comes with 1256
  bool files_saved = true;
};

// Steps 1-9: wait, block, files, Monitor, companions, stamp, then (7) the
// working record's flags cleared and (8) the applied record replaced by it,
// and (9) the wait ended now when Monitor's window was not found.
ApplyResult run_apply(int flag, SettingsRecord& working, SettingsRecord& applied, ApplySteps& steps);

// Waiting for 1256 after an Apply. Monitor may end or hang in the middle of
// a write: the window must not stay captured with a wait cursor for ever, so
// the wait also ends when Monitor's window is gone or after the timeout
// (kTimeoutMs unless given).
class ApplyWait {
 public:
  static constexpr int64_t kTimeoutMs = 30000;
  explicit ApplyWait(int64_t timeout_ms = kTimeoutMs) : timeout_ms_(timeout_ms) {}
  int64_t timeout_ms() const { return timeout_ms_; }
  void begin(int64_t now_ms) {
    waiting_ = true;
    since_ms_ = now_ms;
  }
  void done() { waiting_ = false; }
  bool waiting() const { return waiting_; }
  // Polled while waiting: true when the wait must end now.
  bool should_end(int64_t now_ms, bool monitor_window_exists) const {
    return waiting_ && (!monitor_window_exists || now_ms - since_ms_ >= timeout_ms_);
  }

 private:
  int64_t timeout_ms_;
  bool waiting_ = false;
  int64_t since_ms_ = 0;
};

// ---- dialog start ------------------------------------------------------------------

// What opening the shared block found.
enum class BlockOpen {
  opened,      // there and mapped: copied into the applied record under the mutex
  missing,     // Monitor is not running
  unmappable,  // there, but not a whole record (wrong size, cannot be mapped)
};
enum class RecordSource { block, files, factory_defaults };

inline constexpr char16_t kMapViewError[] = u"Could not map view of file.";

// Where the start takes its record from: the block when it opened, else the
// settings files, else the factory defaults. The message box comes only
// before falling back from a block that cannot be mapped.
RecordSource record_source(BlockOpen block, bool files_loaded);
constexpr bool shows_map_error(BlockOpen block) { return block == BlockOpen::unmappable; }

// The side effects of the start, called by run_dialog_start in order.
class DialogStartSteps {
 public:
  virtual ~DialogStartSteps() = default;
  // 1. Title "Morvath T60R Option" and the program icon.
  virtual void set_title_and_icon() = 0;
  // 2. Open the block's mutex and the block; when opened, copy the block
  //    into `applied` under the mutex.
  virtual BlockOpen open_block(SettingsRecord& applied) = 0;
  virtual void show_message(std::u16string_view text) = 0;
  // The settings files into `applied`; false when that failed.
  virtual bool load_files(SettingsRecord& applied) = 0;
  // 3. The macro library from its file.
  virtual void load_macro_library() = 0;
  // 5. Macro buttons of every profile and the library brought in line; the
  //    library saved.
  virtual void sync_macros(SettingsRecord& working) = 0;
  // 6. The language module of `language_id`.
  virtual void load_language(int language_id) = 0;
  // 7. "Setting" / "FWVersion" of config.ini, and showing its text.
  virtual int read_firmware_version() = 0;
  virtual void show_firmware_text(std::u16string_view text) = 0;
  // 8. Only when the block was used: the registry's pointer settings into
  //    the working record's current profile.
  virtual void read_pointer_settings(ProfileRecord& current) = 0;
  // 9. Centre the window; window shape, button images, captions.
  virtual void build_skin() = 0;
  // 10. The pages from the working record; the button page shown first.
  virtual void fill_pages() = 0;
  // 11. Every caption from the language module.
  virtual void load_texts() = 0;
};

struct StartResult {
  RecordSource source = RecordSource::block;
  int language_id = 0;
  std::u16string firmware_text;
};

// Steps 1-11 in order; step 4 (working = applied) and the language stored
// in the working record are done here. `language_id` is the system's
// (system_language()).
StartResult run_dialog_start(int language_id, SettingsRecord& applied, SettingsRecord& working,
                             DialogStartSteps& steps);

// ---- import and export ---------------------------------------------------------------

// The file dialogs of import and export. `settings_folder` is the folder that
// holds config/ (ending in "/"); the initial name is "<folder>config/.gmp".
// The designed pattern comes first; its other case follows, because file
// names on Linux are case-sensitive and "*.GMP" alone would hide "x.gmp".
FileDialogRequest import_request(std::string_view settings_folder);
FileDialogRequest export_request(std::string_view settings_folder);

// The title recorded for an exported file: its name without folder and
// without the last extension.
std::u16string file_title(std::string_view path);

}  // namespace mt
