// The main window as far as a page and its dialogs need one, for the scenes:
// a working record with the factory profiles, a macro library, the program
// folder's skin and a language module, dialogs run as they are (no script),
// no file chooser and no pointer settings. The main window's operations do
// nothing: a scene shows a page, it never applies.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/macro_library.h"
#include "common/settings_record.h"
#include "option/option_host.h"
#include "option/skin/dialog_runner.h"
#include "tools/screenshots/screenshot_scene.h"

namespace shots {

class SceneHost : public mt::OptionHost {
 public:
  SceneHost(Context& ctx, int language_id) : ctx_(ctx), language_(ctx.language(language_id)) {
    mt::clear(record_);
    mt::set_factory_defaults(record_);
  }

  mt::ProfileRecord& profile() { return *mt::current_profile(record_); }

  mt::SettingsRecord& working() override { return record_; }
  std::vector<mt::MacroRecord>& macro_library() override { return library_; }
  const mt::LanguageModule& language() const override { return language_; }
  mt::SkinFolder& skin() override { return ctx_.skin(); }
  const std::string& program_folder() const override { return ctx_.program_folder(); }
  const std::string& settings_folder() const override { return ctx_.program_folder(); }
  mt::DialogRunner& dialogs() override { return runner_; }
  mt::FileChooser& files() override { return files_; }
  platform::PointerSystem* pointer_system() override { return nullptr; }
  void apply(int) override {}
  void refresh_pages() override {}
  void import_profile() override {}
  void export_profile() override {}
  void show_status_hint(std::u16string_view) override {}

 private:
  class NoFiles final : public mt::FileChooser {
   public:
    std::optional<std::string> choose(const mt::FileDialogRequest&) override { return std::nullopt; }
  };

  Context& ctx_;
  const mt::LanguageModule& language_;
  mt::SettingsRecord record_{};
  std::vector<mt::MacroRecord> library_;
  mt::ScriptedDialogRunner runner_;
  NoFiles files_;
};

}  // namespace shots
