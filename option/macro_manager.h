// CMacroManager: the dialog in which the user edits the macro library:
// creates and deletes macros, records keystrokes through the key recording
// hook, inserts mouse actions and delays, edits delays, deletes events and
// sets the repeat count. The window only shows the MacroEditor model
// (option/logic/macro_editor.h) and forwards input to it; the model edits the
// library's records in place, and the caller decides at the end (OK: push to
// profiles and save, Cancel: reload the file).
//
// Skin: "skin_macro_manager.ini", [SCREEN] names the pictures, [BUTTONPOS]:
//   1 confirm (277)   2 cancel (278)   3 close   4 new (273)   5 delete (274)
//   6 macro list 4096   7 record (280 / 281)   8 record delays (282)
//   9 repeat (283)   10 repeat count 4010   11 event list 4097
// Title 271 and labels 272, 279, 284 are painted at their layout::kMacro*
// boxes; beside the repeat count the window shows how much of the mouse's
// 128-byte macro block the macro takes (texts 286-288), and the event rows
// that will not reach the mouse are muted. While a recording cannot take the
// keyboard from other windows, the note (285) says that they still receive
// keys.
//
// Keys: Enter, Escape and Space never press a button or close the dialog; the
// in-place editors of the lists still take them.
//
//   CMacroManager manager(this, host, selected_slot);
//   if (host.dialogs().run(manager) == CSkinDialog::kResultOk) ... push, save
//   else ... reload
#pragma once

#include <QPoint>
#include <QString>

#include <array>
#include <functional>

#include "common/settings_record.h"
#include "option/logic/macro_editor.h"
#include "option/skin/skinned_window.h"

namespace mt {

class CBitmapBtn;
class CBmpEdit;
class CExMenu;
class CListBoxEx;
class OptionHost;

class CMacroManager : public CSkinDialog, private MacroEditorView {
  Q_OBJECT

 public:
  enum Key {
    kConfirm = 1, kCancel = 2, kClose = 3, kNew = 4, kDelete = 5, kMacroList = 6, kRecord = 7,
    kRecordDelays = 8, kRepeat = 9, kRepeatEdit = 10, kEventList = 11,
  };
  static constexpr char kWindowTitle[] = "Q.NIRA Gaming Mouse Macro Manager";
  static constexpr char kDescription[] = "skin_macro_manager.ini";

  // Shows a popup menu at a screen point and returns the chosen command (0:
  // none). The dialog runs menu.track(); tests pick the command themselves.
  using MenuTracker = std::function<int(CExMenu& menu, const QPoint& global)>;

  // `selected_slot`: the button whose menu opened the manager (its macro is
  // preselected). The host's library, skin, language and dialogs are used for
  // as long as the dialog lives.
  CMacroManager(QWidget* parent, OptionHost& host, const ButtonRecord& selected_slot,
                TickClock clock = steady_tick_clock());
  ~CMacroManager() override;

  const MacroEditor& editor() const { return editor_; }
  CBitmapBtn* button(int key) const;
  CListBoxEx* macro_list() const { return macros_; }
  CListBoxEx* event_list() const { return events_; }
  CBmpEdit* repeat_edit() const { return repeat_; }

  void set_menu_tracker(MenuTracker tracker) { tracker_ = std::move(tracker); }

  // What the dialog paints beside the repeat count and under the lists.
  QString block_usage_text() const;
  bool block_overflows() const;
  bool capture_note_shown() const;

  void done(int result) override;

 protected:
  void paint_surface(QPainter& painter) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // MacroEditorView
  void show_no_macro_warning() override;
  bool start_key_capture() override;
  void stop_key_capture() override;
  void edit_macro_name(int row) override;
  void edit_delay(int row) override;
  void changed(unsigned parts) override;

  CBitmapBtn* add_button(int key, int text_id);
  void show_macro_list();
  void show_event_list();
  void show_repeat();
  void show_recording();
  void on_delete();
  void on_event_menu();
  // Ends what the user is still typing (a name, a delay, the repeat count) as
  // leaving the field would.
  void settle_typing();
  QString text(int id) const;

  OptionHost& host_;
  MacroEditor editor_;
  MenuTracker tracker_;
  std::array<CBitmapBtn*, 11> buttons_{};
  CListBoxEx* macros_ = nullptr;
  CListBoxEx* events_ = nullptr;
  CBmpEdit* repeat_ = nullptr;
  bool grab_refused_ = false;
  bool closing_ = false;
};

}  // namespace mt
