// The performance page at two CPI levels and the lighting page with a palette
// colour and with a free colour, in English and Russian, each shown alone as
// it sits in the main window's page area.
#include <cstring>
#include <optional>

#include "common/macro_library.h"
#include "common/settings_record.h"
#include "option/lighting_page.h"
#include "option/option_host.h"
#include "option/performance_page.h"
#include "option/skin/dialog_runner.h"
#include "option/skin/rgn_button.h"
#include "tools/screenshots/screenshot_scene.h"

namespace {

using namespace mt;

class NoFiles : public FileChooser {
 public:
  std::optional<std::string> choose(const FileDialogRequest&) override { return std::nullopt; }
};

// Just enough of a main window for a page to show a profile.
class SceneHost : public OptionHost {
 public:
  SceneHost(shots::Context& ctx, int language) : ctx_(ctx), language_(ctx.language(language)) {
    std::memset(&record_, 0, sizeof record_);
    clear(record_);
    set_factory_defaults(record_);
  }
  SettingsRecord& working() override { return record_; }
  std::vector<MacroRecord>& macro_library() override { return macros_; }
  const LanguageModule& language() const override { return language_; }
  SkinFolder& skin() override { return ctx_.skin(); }
  const std::string& program_folder() const override { return ctx_.program_folder(); }
  const std::string& settings_folder() const override { return ctx_.program_folder(); }
  DialogRunner& dialogs() override { return dialogs_; }
  FileChooser& files() override { return files_; }
  platform::PointerSystem* pointer_system() override { return nullptr; }
  void apply(int) override {}
  void refresh_pages() override {}
  void import_profile() override {}
  void export_profile() override {}
  void show_status_hint(std::u16string_view) override {}

  ProfileRecord& profile() { return *current_profile(record_); }

 private:
  shots::Context& ctx_;
  const LanguageModule& language_;
  SettingsRecord record_;
  std::vector<MacroRecord> macros_;
  ScriptedDialogRunner dialogs_;
  NoFiles files_;
};

}  // namespace

MT_SCREENSHOT_SCENE(option_pages) {
  for (int lang : {kLanguageEnglish, kLanguageRussian}) {
    const std::string tag = "_" + shots::Context::language_tag(lang);
    {
      // The factory profile: level 3 in use at 2000 CPI, linked axes.
      SceneHost host(ctx, lang);
      CDlgPagePerfer page(host, nullptr);
      page.refresh();
      page.setFocus();  // no caret in a field
      ctx.shoot("page_performance_level3" + tag, page);
    }
    {
      // Level 5 at 4000 CPI, 1000 reports, acceleration on, one page per
      // notch (scroll controls off), axes unlinked, the slow pointer.
      SceneHost host(ctx, lang);
      ProfileRecord& p = host.profile();
      p.CpiStep = 4;
      p.CpiLevel_X[4] = 12;
      p.CpiLevel_Y[4] = 9;
      p.PollingRate = 3;
      p.AccelerationFlag = 1;
      p.Acceleration = 10;
      p.ScrollWheelFlag = 1;
      p.XYSynchronous = 1;
      p.MouseSpeed = 2;
      p.DbleClickSpeed = 300;
      CDlgPagePerfer page(host, nullptr);
      page.refresh();
      page.setFocus();  // no caret in a field
      ctx.shoot("page_performance_level5" + tag, page);
      if (lang == kLanguageEnglish) {
        // The pointer over a level button that is not in use.
        shots::Context::point_at(*page.level_button(1), QPoint(40, 19));
        ctx.shoot("page_performance_hover" + tag, page);
      }
    }
    {
      SceneHost host(ctx, lang);
      ProfileRecord& p = host.profile();
      p.LightType = kLightTypePalette;
      p.ColorOptions = 14;
      p.Brightness = 2;
      p.LightSwitch = 1;
      p.LightEffectSwitch1 = 3;
      CDlgPagePerLight page(host, nullptr);
      page.refresh();
      page.setFocus();  // no caret in a field
      ctx.shoot("page_lighting_palette" + tag, page);
    }
    {
      SceneHost host(ctx, lang);
      ProfileRecord& p = host.profile();
      p.LightType = kLightTypeFree;
      p.LightColor = static_cast<int32_t>(make_rgb(255, 140, 20));
      p.Brightness = 0;
      p.LightSwitch = 2;
      p.LightEffectSwitch1 = 5;
      CDlgPagePerLight page(host, nullptr);
      page.refresh();
      page.setFocus();  // no caret in a field
      ctx.shoot("page_lighting_free" + tag, page);
    }
  }
}
