// A main window stand-in for the pages: a working record with the factory
// profiles, a language module, a skin folder, scripted dialogs and files, a
// recording pointer system, and a log of the main window's operations the
// pages call.
#pragma once

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "common/language_module.h"
#include "common/macro_library.h"
#include "common/pointer_settings_fake.h"
#include "common/settings_record.h"
#include "option/option_host.h"
#include "option/skin/dialog_runner.h"
#include "option/skin/skin_folder.h"

namespace mt::page_test {

class NoFiles : public FileChooser {
 public:
  std::optional<std::string> choose(const FileDialogRequest&) override { return std::nullopt; }
};

class FakeOptionHost : public OptionHost {
 public:
  // `skins` is the skin folder itself; `program` the program folder.
  FakeOptionHost(const std::string& skins, std::string program = "/nonexistent/")
      : skin_(skins), program_(std::move(program)) {
    std::memset(&record_, 0, sizeof record_);
    clear(record_);
    set_factory_defaults(record_);
  }

  SettingsRecord& working() override { return record_; }
  std::vector<MacroRecord>& macro_library() override { return macros_; }
  const LanguageModule& language() const override { return language_; }
  SkinFolder& skin() override { return skin_; }
  const std::string& program_folder() const override { return program_; }
  const std::string& settings_folder() const override { return program_; }
  DialogRunner& dialogs() override { return dialogs_; }
  FileChooser& files() override { return files_; }
  platform::PointerSystem* pointer_system() override { return with_pointer_system ? &pointer : nullptr; }

  void apply(int flag) override { calls.push_back("apply " + std::to_string(flag)); }
  void refresh_pages() override { calls.push_back("refresh pages"); }
  void import_profile() override { calls.push_back("import"); }
  void export_profile() override { calls.push_back("export"); }
  void show_status_hint(std::u16string_view text) override { status_hint = std::u16string(text); }

  LanguageModule& texts() { return language_; }
  ProfileRecord& current() { return *current_profile(record_); }

  RecordingPointerSystem pointer;
  bool with_pointer_system = true;
  std::vector<std::string> calls;
  std::u16string status_hint = u"(never set)";

 private:
  SettingsRecord record_;
  std::vector<MacroRecord> macros_;
  LanguageModule language_;
  SkinFolder skin_;
  std::string program_;
  ScriptedDialogRunner dialogs_;
  NoFiles files_;
};

}  // namespace mt::page_test
