#include "option/option_app.h"

#include "common/desktop_keys.h"
#include "common/key_codes.h"
#include "common/product.h"
#include "common/settings_files.h"
#include "option/option_dlg.h"
#include "option/option_log.h"
#include "platform/runtime_dir.h"

namespace mt {

COptionApp::~COptionApp() {
  set_current_keyboard_layout(nullptr);
  instance_mutex_.close();
}

bool COptionApp::take_instance() {
  platform::ObjectStatus status = platform::ObjectStatus::failed;
  instance_mutex_ = platform::NamedMutex::create(OPTION_INSTANCE_MUTEX_NAME, &status);
  if (status == platform::ObjectStatus::already_existed) {
    instance_mutex_.close();
    option_log("already running");
    return false;
  }
  if (!instance_mutex_.valid()) {
    const std::string problem = platform::runtime_dir_problem();
    option_log("%s", problem.empty() ? "no single-instance mutex" : problem.c_str());
  }
  return true;
}

int COptionApp::run(const Hooks& hooks) {
  program_folder_ = mt::program_folder();
  settings_ = choose_settings_folder(program_folder_);
  if (settings_.kind == SettingsFolder::Kind::per_user)
    option_log("the program folder %s takes no files: settings in %s", program_folder_.c_str(),
               settings_.path.c_str());
  else if (settings_.kind == SettingsFolder::Kind::none)
    option_log("no folder takes the settings (%s): they cannot be saved", settings_.problem.c_str());
  // Key names follow the keys on the desktop's keyboard.
  set_current_keyboard_layout(&desktop_keyboard_layout());

  COptionDlg::Setup setup;
  setup.program_folder = program_folder_;
  setup.settings_folder = settings_.path;
  setup.apply_wait_ms = hooks.apply_wait_ms;
  COptionDlg dlg(setup);
  if (!dlg.create()) return 0;
  dlg.exec();
  option_log("ended");
  return 0;
}

}  // namespace mt
