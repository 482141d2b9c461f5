// What the pages and dialogs of Option ask of the main window (COptionDlg),
// and the two ways out to the user that tests replace: modal dialogs and file
// dialogs.
//
// The main window owns the working record, the macro library, the language
// module and the skin for the whole run; the pages edit the working record's
// current profile in place and call back here for everything that reaches
// beyond their own page.
//
//   class CDlgPageMouse : public QWidget, public OptionPage {
//    public:
//     CDlgPageMouse(OptionHost& host, QWidget* parent);
//     void refresh() override;     // show host.working()'s current profile
//     void load_texts() override;  // captions from host.language()
//   };
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QDialog;

namespace platform {
class PointerSystem;
}

namespace mt {

struct SettingsRecord;
struct MacroRecord;
class LanguageModule;
class SkinFolder;

// Runs a modal dialog to its end and returns its result: 1 (OK) or 2
// (Cancel). The program runs dialog.exec(); tests answer with a script.
class DialogRunner {
 public:
  virtual ~DialogRunner() = default;
  virtual int run(QDialog& dialog) = 0;
};

// One file dialog as the window asks for it.
struct FileDialogRequest {
  enum class Kind { open, save };
  struct Filter {
    std::string name;                   // "Gaming Mouse Profile(*.gmp)"
    std::vector<std::string> patterns;  // {"*.gmp"}
  };
  Kind kind = Kind::open;
  std::string initial_path;    // folder and initial file name
  std::vector<Filter> filters;
  std::size_t selected_filter = 0;  // the filter the dialog opens on
  std::string default_suffix;  // "gmp"; added when the chosen name has none
  bool confirm_overwrite = false;
  bool must_exist = false;
  bool hide_read_only = true;
};

// Shows a file dialog; nothing when the user cancels. The program shows a
// QFileDialog; tests answer with a scripted path.
class FileChooser {
 public:
  virtual ~FileChooser() = default;
  virtual std::optional<std::string> choose(const FileDialogRequest& request) = 0;
};

// The part of each page the main window drives.
class OptionPage {
 public:
  virtual ~OptionPage() = default;
  // Shows the working record's current profile in every control.
  virtual void refresh() = 0;
  // Reloads every caption from the language module now in use.
  virtual void load_texts() = 0;
};

class OptionHost {
 public:
  virtual ~OptionHost() = default;

  // The record the pages edit; Apply hands it to Monitor.
  virtual SettingsRecord& working() = 0;
  // The macro library, in library order (row n of every list is entry n).
  virtual std::vector<MacroRecord>& macro_library() = 0;

  virtual const LanguageModule& language() const = 0;
  virtual SkinFolder& skin() = 0;
  // Where Lang/, Skins/ and the tools live, ending in "/".
  virtual const std::string& program_folder() const = 0;
  // Where config.ini, config/ and sequence.dat live, ending in "/".
  virtual const std::string& settings_folder() const = 0;

  virtual DialogRunner& dialogs() = 0;
  virtual FileChooser& files() = 0;
  // The desktop's pointer settings; nullptr where there is no desktop.
  virtual platform::PointerSystem* pointer_system() = 0;

  // Operations of the main window the pages call.
  virtual void apply(int flag) = 0;  // 1 after a restore of defaults, else 0
  virtual void refresh_pages() = 0;
  virtual void import_profile() = 0;
  virtual void export_profile() = 0;
  // The status line under the pages (a control's hover hint); empty clears it.
  virtual void show_status_hint(std::u16string_view text) = 0;
};

}  // namespace mt
