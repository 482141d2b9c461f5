// CGameProfileDlg: the profile panel of the main window. Three rows, one per
// profile 0..2: a row marker that shows which profile is current, and the
// select, import, export and reset buttons; import, export and reset work
// only in the current row. The rules are option/logic/profile_panel_rules.h;
// the panel draws them and asks the main window (OptionHost) for the rest.
//
// Skin: "skin_profile.ini", form 2 (pictures named in SCREEN, placements in
// BUTTONPOS): keys 1-3 row markers (region buttons shaped by
// "profile_mask.bmp"), 7-9 select, 10-12 import, 13-15 export, 16-18 reset.
// Captions: markers 225-227, buttons 218-221; column headings 222-224 painted
// at layout::kProfileHeading in Arial 18, RGB(190,190,190).
#pragma once

#include <array>

#include "option/logic/profile_panel_rules.h"
#include "option/option_host.h"
#include "option/skin/skinned_window.h"

namespace mt {

class CBitmapBtn;

class CGameProfileDlg final : public CSkinPanel, public OptionPage, private ProfilePanelSteps {
  Q_OBJECT

 public:
  CGameProfileDlg(OptionHost& host, QWidget* parent);

  // Shows the working record's current profile as the current row.
  void refresh() override;
  void load_texts() override;

  // The control of a skin key (1-3, 7-18); null for other keys.
  CBitmapBtn* control(int key) const;
  // The row drawn as current; -1 for none (profile 3 or 4, or none current).
  int current_row() const { return shown_row_; }
  const std::array<QString, 3>& headings() const { return headings_; }

 protected:
  void paint_surface(QPainter& painter) override;

 private:
  void on_button(int key);
  // ProfilePanelSteps
  void show_current(int p) override;
  void refresh_pages() override;
  void apply(int flag) override;

  OptionHost& host_;
  std::array<CBitmapBtn*, 19> controls_{};  // by skin key
  std::array<QString, 3> headings_;
  int shown_row_ = -2;  // nothing drawn yet
};

}  // namespace mt
