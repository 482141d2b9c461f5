// CHomeDlg: the home panel of the main window. One button without a caption
// that opens the user guide shipped in the program folder,
// "<program folder>doc/index.html", in the desktop's default browser (through
// the process launcher: xdg-open, never a shell). When the opener cannot be
// started at all (no xdg-open), a message (text 291, titled 250) says where
// the guide is; what the opener makes of it afterwards is not reported.
//
// Skin: "Skin_Update.ini", form 2: pictures named in SCREEN, the button at
// key 1 of BUTTONPOS. The panel paints only its background.
#pragma once

#include <string>

#include "option/option_host.h"
#include "option/skin/skinned_window.h"
#include "platform/process_launcher.h"

namespace mt {

class CBitmapBtn;

class CHomeDlg final : public CSkinPanel, public OptionPage {
  Q_OBJECT

 public:
  static constexpr int kGuideButtonKey = 1;

  CHomeDlg(OptionHost& host, QWidget* parent);

  void refresh() override {}
  void load_texts() override {}

  CBitmapBtn* guide_button() const { return button_; }
  // "<program folder>doc/index.html".
  std::string guide_path() const;
  // Tests record what would be opened; the program opens it.
  void set_launcher(platform::ProcessLauncher* launcher) { launcher_ = launcher ? launcher : &own_launcher_; }

 private:
  void open_guide();

  OptionHost& host_;
  CBitmapBtn* button_ = nullptr;
  platform::PosixProcessLauncher own_launcher_;
  platform::ProcessLauncher* launcher_ = &own_launcher_;
};

}  // namespace mt
