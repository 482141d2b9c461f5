// CDlgPageMouse: the button page, where the user chooses what each button of
// the mouse does. A picture of the mouse with one labelled slot button per
// programmable button; a click on a slot opens its menu (slot_menu() of
// option/logic/button_rules.h), and the chosen command goes through
// plan_command / apply_command into the working record's current profile.
// Nothing reaches the mouse until the main window applies the record.
//
// Skin: "skin_Overlook.ini" [BUTTONINFO], keys 1-16 the slots 0-15 (slot s is
// control 200 + s), key 20 the picture rectangle; shape "middle_mask.bmp";
// pictures "button_normal.JPG" (also the background), "button_over.JPG",
// "button_down.JPG", "button_disable.jpg"; "Mouse/mouse.jpg" behind the
// picture windows and "Mouse/mouse_N.jpg" for each slot. A key without a
// rectangle leaves its slot invisible (our skin places the nine used slots).
//
// Hover (the design's 1124): a slot's picture shows while the pointer is over
// the slot and while its menu is open; the main window's status line gets
// text 1124 meanwhile, and 1125 right after a change.
//
// Every dialog runs through host.dialogs(), every file dialog through
// host.files(), so the page's rules run offscreen under a script.
//
//   auto* page = new CDlgPageMouse(host, main_window);
//   page->setGeometry(look::to_rect(main_description.placement(20)));
//   page->load_texts();
//   page->refresh();
#pragma once

#include <QImage>
#include <QPoint>
#include <QString>

#include <array>
#include <functional>

#include "common/settings_record.h"
#include "option/option_host.h"
#include "option/skin/skinned_window.h"

namespace mt {

class CBitmapBtn;
class CExMenu;
class CLineWnd;

class CDlgPageMouse : public CSkinPanel, public OptionPage {
  Q_OBJECT

 public:
  static constexpr char kDescription[] = "skin_Overlook.ini";
  static constexpr int kPictureKey = 20;
  static constexpr int kPictureWindowId = 100;
  static constexpr int kTextHeading = 120;
  static constexpr int kTextHint = 1124;         // over a slot
  static constexpr int kTextChangedHint = 1125;  // after a change

  // Shows a popup menu at a screen point and returns the chosen command (0:
  // none). The page runs menu.track(); tests choose for the user.
  using MenuTracker = std::function<int(CExMenu& menu, const QPoint& global)>;

  CDlgPageMouse(OptionHost& host, QWidget* parent);
  ~CDlgPageMouse() override;

  // OptionPage
  void refresh() override;     // the label refresh
  void load_texts() override;  // heading, hints and labels

  void set_menu_tracker(MenuTracker tracker) { tracker_ = std::move(tracker); }

  CBitmapBtn* slot_button(int slot) const;
  CLineWnd* picture_window(int slot) const;
  const QRect& picture_rect() const { return picture_rect_; }
  // The slot whose menu was opened last, and its button record as it was then.
  int current_slot() const { return current_slot_; }
  const ButtonRecord& selected_slot() const { return selected_; }
  bool menu_open() const { return menu_slot_ >= 0; }
  const QString& heading_text() const { return heading_; }
  // Where the slot's menu opens, in screen coordinates.
  QPoint menu_position(int slot) const;

  // The slot menu of a slot as the user gets it: built, tracked, the chosen
  // command run.
  void open_slot_menu(int slot);
  // A menu command (1000..3000) on a slot, as if chosen from its menu.
  void run_command(int slot, int command);

  // The rectangle the heading takes (measured, for tests and the skin).
  QRect heading_rect() const;

 protected:
  void paint_surface(QPainter& painter) override;

 private:
  // The design's 1124: show (1) or hide (0) the picture of slot id - 200.
  void on_hover(int entered, int control_id);
  void on_status_hint(int entered, const QString& hint);
  void run_macro_manager();
  QString text(int id) const;

  OptionHost& host_;
  MenuTracker tracker_;
  std::array<CBitmapBtn*, kButtonSlots> slots_{};
  std::array<CLineWnd*, kButtonSlots> pictures_{};
  QRect picture_rect_;
  QImage idle_picture_;
  QString heading_;
  int current_slot_ = 0;
  int menu_slot_ = -1;  // the slot whose menu is open
  ButtonRecord selected_{};
};

}  // namespace mt
