// COptionDlg: Option's main window. One frameless top-level window titled
// "Morvath T60R Option", which is also its window on the bus, so Monitor, the
// window manager and scripts all find it by that name.
//
// It keeps two copies of the settings record: the applied one (as last taken
// from the shared block or last applied) and the working one that the pages
// edit; Apply and OK hand the working record to Monitor, closing discards it.
// It owns the skin, the language module, the macro library and the pages, and
// is the OptionHost the pages work through. The rules of every message and
// button are option/logic/option_rules.h; this class supplies their side
// effects and draws.
//
// Skin: "skin_main.ini", form 1 (BUTTONINFO); pictures main_normal/over/down/
// disable.jpg, shape main_mask.bmp. Keys: 1-5 tabs (region buttons shaped by
// rgnbutton_mask.bmp), 6-7 close, 8 minimise, 9-10 Apply, 11 OK, 12 restore
// defaults, 13 language, 20-22 where the pages sit, 23 the firmware version.
//
// The window bus (messages from Monitor):
//   1254  firmware-version text again, then as 1255
//   1255  the block into the applied record; working = applied; pages refreshed
//   1256  the Apply is done: OK and Apply enabled, arrow cursor, capture released
//   1257  the block into the applied record; level, speed and rate of the
//         current profile into the working record, every other edit kept
//   1259  working = factory defaults, pages refreshed, files saved
//   WM_CLOSE           the window closes (edits discarded)
//   WM_COMMAND 3001-3003   the language menu's choices
//   WM_COMMAND ID_MAIN_*   a press of that button, as a click would (ignored
//                          while the button is disabled)
//
//   COptionDlg dlg(setup);
//   if (!dlg.create()) return 0;    // another Option's window is there
//   dlg.exec();
#pragma once

#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/language_module.h"
#include "common/macro_library.h"
#include "common/pointer_settings.h"
#include "common/settings_record.h"
#include "common/shared_record.h"
#include "option/file_chooser.h"
#include "option/logic/option_rules.h"
#include "option/option_host.h"
#include "option/option_pages.h"
#include "option/skin/dialog_runner.h"
#include "option/skin/skin_folder.h"
#include "option/skin/skinned_window.h"
#include "platform/qt/bus_window.h"

namespace mt {

class CBitmapBtn;
class CRgnButton;

// The main window's placements by their key in skin_main.ini.
enum MainKey : int {
  kMainTabPerformance = 1,
  kMainTabButtons = 2,
  kMainTabLighting = 3,
  kMainTabProfiles = 4,
  kMainTabHome = 5,
  kMainClose = 6,
  kMainCancel = 7,  // the second close
  kMainMinimise = 8,
  kMainApply = 9,
  kMainApply2 = 10,
  kMainOk = 11,
  kMainRestore = 12,
  kMainLanguage = 13,
  kMainPageArea = 20,     // the button, performance and lighting pages
  kMainProfileArea = 21,  // the profile panel
  kMainHomeArea = 22,     // the home panel
  kMainFirmware = 23,     // the firmware-version text
};
inline constexpr int kMainLastButton = kMainLanguage;

// The command id each button's WM_COMMAND carries: 5000 + its key. The same
// ids press the buttons from outside, over the window bus.
inline constexpr int kMainCommandBase = 5000;
inline constexpr int ID_MAIN_TAB_PERFORMANCE = kMainCommandBase + kMainTabPerformance;  // 5001
inline constexpr int ID_MAIN_TAB_BUTTONS = kMainCommandBase + kMainTabButtons;          // 5002
inline constexpr int ID_MAIN_TAB_LIGHTING = kMainCommandBase + kMainTabLighting;        // 5003
inline constexpr int ID_MAIN_TAB_PROFILES = kMainCommandBase + kMainTabProfiles;        // 5004
inline constexpr int ID_MAIN_TAB_HOME = kMainCommandBase + kMainTabHome;                // 5005
inline constexpr int ID_MAIN_CLOSE = kMainCommandBase + kMainClose;                     // 5006
inline constexpr int ID_MAIN_CANCEL = kMainCommandBase + kMainCancel;                   // 5007
inline constexpr int ID_MAIN_MINIMISE = kMainCommandBase + kMainMinimise;               // 5008
inline constexpr int ID_MAIN_APPLY = kMainCommandBase + kMainApply;                     // 5009
inline constexpr int ID_MAIN_APPLY2 = kMainCommandBase + kMainApply2;                   // 5010
inline constexpr int ID_MAIN_OK = kMainCommandBase + kMainOk;                           // 5011
inline constexpr int ID_MAIN_RESTORE = kMainCommandBase + kMainRestore;                 // 5012
inline constexpr int ID_MAIN_LANGUAGE = kMainCommandBase + kMainLanguage;               // 5013
// The key of a command id; 0 for any other id.
constexpr int main_key_of_command(int id) {
  return id > kMainCommandBase && id <= kMainCommandBase + kMainLastButton ? id - kMainCommandBase : 0;
}

// Text ids of the main window's captions.
inline constexpr int kTextTabFirst = 106;  // 106-110: the five tabs
inline constexpr int kTextFirmware = 111;
inline constexpr int kTextApply = 112;
inline constexpr int kTextOk = 113;
inline constexpr int kTextCancel = 114;
inline constexpr int kTextRestore = 115;
inline constexpr int kTextMinimise = 116;
// Warnings of import and export (our own: the design shows none).
inline constexpr int kTextImportRefused = 117;
inline constexpr int kTextExportFailed = 118;

class COptionDlg final : public CSkinDialog, public OptionHost {
  Q_OBJECT

 public:
  struct Setup {
    std::string program_folder;   // Lang/, Skins/, doc/; ends in "/"
    std::string settings_folder;  // config.ini, config/; ends in "/"
    // The session's language (system_language()) unless given.
    int system_language = -1;
    // The user's answers: exec() and QFileDialog unless given (tests script them).
    DialogRunner* dialogs = nullptr;
    FileChooser* files = nullptr;
    // The desktop's pointer settings for the pages; unless given, the X11 one
    // where there is an X display, made when a page first asks.
    platform::PointerSystem* pointer = nullptr;
    // The registry store of the pointer settings ("" for the user's own).
    std::string registry_file;
    // How long an Apply waits for 1256 at most.
    int64_t apply_wait_ms = ApplyWait::kTimeoutMs;
  };

  explicit COptionDlg(Setup setup);
  ~COptionDlg() override;

  // The dialog's start, steps 1-11: title and icon (and the window on the
  // bus), the record (block, files or factory defaults), the macro library,
  // the language, the firmware text, the pointer settings, the skin, the
  // button page and the captions. False when the window cannot be made
  // because another Option's window has the title.
  bool create();

  // OptionHost
  SettingsRecord& working() override { return *working_; }
  std::vector<MacroRecord>& macro_library() override { return library_; }
  const LanguageModule& language() const override { return language_; }
  SkinFolder& skin() override { return skin_; }
  const std::string& program_folder() const override { return setup_.program_folder; }
  const std::string& settings_folder() const override { return setup_.settings_folder; }
  DialogRunner& dialogs() override { return *dialogs_; }
  FileChooser& files() override { return *files_; }
  platform::PointerSystem* pointer_system() override;
  void apply(int flag) override;
  void refresh_pages() override;
  void import_profile() override;
  void export_profile() override;
  void show_status_hint(std::u16string_view text) override;

  // Show page: hides the page shown, makes the new one on its first showing,
  // shows it and marks its tab selected.
  void show_page(PageId id);
  // A press of a button (key 1-13), as a click would do it: nothing while it
  // is disabled or the skin did not place it.
  void press(int key);
  // The language menu's choice (3001-3003): the label from the module in use,
  // then the new module, LanguageID in the working record, every caption.
  void choose_language(int menu_command);

  // What the window shows and holds, for tests and the screenshots.
  const SettingsRecord& applied() const { return *applied_; }
  RecordSource record_source() const { return start_.source; }
  PageId current_page() const { return current_; }
  // The page, once made; null before its first showing.
  OptionPage* page(PageId id) const { return pages_[static_cast<int>(id)].page; }
  QWidget* page_widget(PageId id) const { return pages_[static_cast<int>(id)].widget; }
  CBitmapBtn* button(int key) const;
  int language_id() const { return working_->LanguageID; }
  const QString& language_label() const { return language_label_; }
  const QString& firmware_text() const { return firmware_text_; }
  const QString& firmware_label() const { return firmware_label_; }
  const QString& status_text() const { return status_text_; }
  bool waiting_for_monitor() const { return wait_.waiting(); }
  bool wait_shown() const { return wait_shown_; }
  // Window messages handled so far (tests wait for a count, not for time).
  std::uint64_t messages_handled() const { return messages_handled_; }
  bool on_bus() const { return bus_.exists(); }
  // The buttons have their over and disabled pictures (shortly after the
  // first frame).
  bool state_pictures_loaded() const { return state_pictures_loaded_; }
  // The language menu while it is open (screenshots); null otherwise.
  QWidget* language_menu() const { return language_menu_; }

 protected:
  void paint_surface(QPainter& painter) override;

 private:
  class StartSteps;
  class ApplyStepsImpl;
  class Capture;

  std::intptr_t window_proc(const platform::WindowMessage& m);
  // The block into the applied record; false when there is none to copy.
  bool fetch_applied();
  void on_button(int key);
  void open_language_menu();
  void restore_defaults_confirmed();
  void build_skin();
  void load_state_pictures();
  void load_texts();
  void set_firmware_text(int version);
  void begin_wait();
  void end_wait();
  void poll_wait();
  void close_by_monitor();
  QRect placement(int key) const;

  Setup setup_;
  ExecDialogRunner exec_runner_;
  QtFileChooser qt_chooser_;
  DialogRunner* dialogs_;
  FileChooser* files_;
  SkinFolder skin_;
  LanguageModule language_;
  std::unique_ptr<SettingsRecord> applied_;
  std::unique_ptr<SettingsRecord> working_;
  std::vector<MacroRecord> library_;
  SharedRecordBlock shared_;
  PointerSettingsStore pointer_store_;
  std::unique_ptr<platform::PointerSystem> own_pointer_;
  bool pointer_made_ = false;
  platform::BusWindow bus_;
  SkinDescription description_;

  std::array<CBitmapBtn*, kMainLastButton + 1> buttons_{};  // by key
  std::array<PageHandle, kPageCount> pages_{};
  PageId current_ = PageId::buttons;
  bool page_shown_ = false;

  StartResult start_;
  QString language_label_;
  QString firmware_text_;
  QString firmware_label_;
  QString status_text_;
  QWidget* language_menu_ = nullptr;

  std::unique_ptr<ApplyStepsImpl> apply_steps_;
  ApplyWait wait_;
  QTimer wait_timer_;
  bool wait_shown_ = false;
  std::unique_ptr<Capture> capture_;

  std::uint64_t messages_handled_ = 0;
  bool first_frame_logged_ = false;
  bool state_pictures_loaded_ = false;
};

}  // namespace mt
