// The main window: each of its five tabs (the profile panel and the home
// panel among them), the language menu open, the window in Russian, a tab
// and the Apply button under the pointer, the window waiting for Monitor,
// and the window on a double-density screen (only when the tool runs with
// QT_SCALE_FACTOR=2, as run-screenshots.sh does in its second pass).
#include <stdlib.h>
#include <sys/stat.h>

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <string>

#include "common/product.h"
#include "common/settings_record.h"
#include "option/option_dlg.h"
#include "option/skin/bitmap_btn.h"
#include "platform/ini_file.h"
#include "platform/window_bus.h"
#include "tools/screenshots/screenshot_scene.h"

namespace {

using namespace mt;

// A settings folder and a runtime folder of the scene's own, so the window
// neither reads the user's settings nor meets a running Option or Monitor.
class SceneFolders {
 public:
  SceneFolders() {
    char tmpl[] = "/tmp/mt-shots-XXXXXX";
    if (mkdtemp(tmpl)) root_ = std::string(tmpl) + "/";
    settings_ = root_ + "settings/";
    runtime_ = root_ + "run/";
    mkdir(settings_.c_str(), 0700);
    mkdir(runtime_.c_str(), 0700);
    const char* old = getenv("XDG_RUNTIME_DIR");
    if (old) old_runtime_ = old;
    had_runtime_ = old != nullptr;
    setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    platform::ini_set_int(settings_ + "config.ini", u"Setting", u"CurrentProfile", 1);
    platform::ini_set_int(settings_ + "config.ini", u"Setting", u"FWVersion", 105);
  }
  ~SceneFolders() {
    if (had_runtime_)
      setenv("XDG_RUNTIME_DIR", old_runtime_.c_str(), 1);
    else
      unsetenv("XDG_RUNTIME_DIR");
    if (!root_.empty()) (void)std::system(("rm -rf '" + root_ + "'").c_str());
  }
  const std::string& settings() const { return settings_; }
  std::string registry() const { return root_ + "registry.ini"; }

 private:
  std::string root_, settings_, runtime_, old_runtime_;
  bool had_runtime_ = false;
};

std::unique_ptr<COptionDlg> make_window(shots::Context& ctx, const SceneFolders& folders, int language,
                                        ScriptedDialogRunner& dialogs, ScriptedFileChooser& files) {
  COptionDlg::Setup s;
  s.program_folder = ctx.program_folder();
  s.settings_folder = folders.settings();
  s.registry_file = folders.registry();
  s.system_language = language;
  s.dialogs = &dialogs;
  s.files = &files;
  auto dlg = std::make_unique<COptionDlg>(s);
  if (!dlg->create()) std::fprintf(stderr, "screenshots: the main window could not be made\n");
  return dlg;
}

const char* const kTabNames[] = {"performance", "buttons", "lighting", "profiles", "home"};

}  // namespace

MT_SCREENSHOT_SCENE(main_window) {
  if (qApp->devicePixelRatio() >= 1.5) return;  // the second pass shoots main_window_2x only
  SceneFolders folders;
  ScriptedDialogRunner dialogs;
  ScriptedFileChooser files;
  for (int lang : {kLanguageEnglish, kLanguageRussian}) {
    const std::string tag = shots::Context::language_tag(lang);
    auto dlg = make_window(ctx, folders, lang, dialogs, files);
    for (int tab = 0; tab < kPageCount; ++tab) {
      // Russian: the tabs whose pages this window draws itself.
      if (lang == kLanguageRussian && tab != 1 && tab != 3) continue;
      dlg->press(kMainTabPerformance + tab);
      ctx.shoot("main_" + std::string(kTabNames[tab]) + "_" + tag, *dlg);
    }
  }

  // The pointer over a tab that is not selected, then over Apply.
  {
    auto dlg = make_window(ctx, folders, kLanguageEnglish, dialogs, files);
    dlg->move(40, 40);
    dlg->show();
    shots::Context::settle(150);
    shots::Context::point_at(*dlg->button(kMainTabLighting), QPoint(160, 27));
    ctx.shoot("main_hover_tab_en", *dlg);
    shots::Context::point_at(*dlg->button(kMainApply2), QPoint(70, 22));
    ctx.shoot("main_hover_apply_en", *dlg);
    shots::Context::point_at(*dlg, QPoint(1096, 600));
  }

  // An Apply waiting for Monitor (a window stands in for it): OK and Apply
  // disabled until its answer.
  {
    auto monitor = platform::WindowEndpoint::create(MONITOR_WINDOW_TITLE, [](const platform::WindowMessage&) {
      return std::intptr_t{0};
    });
    auto dlg = make_window(ctx, folders, kLanguageEnglish, dialogs, files);
    dlg->move(40, 40);
    dlg->show();
    shots::Context::settle(150);
    dlg->apply(0);
    ctx.shoot("main_apply_waiting_en", *dlg);
  }

  // The language menu, open at its button (drawn pressed meanwhile).
  {
    auto dlg = make_window(ctx, folders, kLanguageEnglish, dialogs, files);
    dlg->move(40, 40);
    dlg->show();
    shots::Context::settle(150);
    QTimer::singleShot(400, [&] {
      QWidget* menu = dlg->language_menu();
      if (!menu) return;
      shots::Context::settle(150);
      ctx.shoot_area("main_language_menu_en", dlg->frameGeometry().united(menu->frameGeometry()));
      menu->close();
    });
    dlg->press(kMainLanguage);
  }
}

MT_SCREENSHOT_SCENE(main_window_2x) {
  if (qApp->devicePixelRatio() < 1.5) return;
  SceneFolders folders;
  ScriptedDialogRunner dialogs;
  ScriptedFileChooser files;
  auto dlg = make_window(ctx, folders, kLanguageEnglish, dialogs, files);
  ctx.shoot("main_buttons_en_2x", *dlg, QPoint(20, 20));
  dlg->press(kMainTabProfiles);
  ctx.shoot("main_profiles_en_2x", *dlg, QPoint(20, 20));
}
