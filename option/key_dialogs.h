// The two key-capture dialogs of the button page: CShortCutDlg (a key and its
// modifiers, or the key alone) and CSingleKeyDlg (one key). While either is on
// the screen the key recording hook takes every keystroke of the session, and
// the last one wins: its name is shown in the key-name field, press or
// release alike, modifier keys included. Modifiers are chosen with the
// toggles only. When the keyboard cannot be taken from the other windows
// (Wayland, another program holding a grab) keys typed into the dialog still
// count, and a note under the field says that other windows still get keys.
//
//   CShortCutDlg  skin_shortcut.ini [BUTTONPOS], restore_mask.bmp,
//                 keyboard_command_normal/over/down.jpg
//                 10 key-name field, 2 confirm (803), 3 cancel (804), 4 close,
//                 5-9 toggles key alone, Ctrl, Shift, Alt, Win (253-257);
//                 title 252, label 258, window title "Q.NIRA Shortcut Dialog"
//   CSingleKeyDlg skin_single_key.ini [BUTTONPOS], restore_mask.bmp,
//                 restore_normal/over/down.jpg
//                 4 key-name field, 1 confirm, 2 cancel, 3 close;
//                 title 140, prompt 141
//
// A toggle that is on shows its down picture and the red caption; with key
// alone on the other four are disabled and keep their states, which are not
// stored.
//
//   CShortCutDlg dlg(this, host.skin(), host.language(), plan.key_code, plan.modifiers);
//   if (host.dialogs().run(dlg) == CSkinDialog::kResultOk)
//     outcome.key_combination = KeyChoice{dlg.key_code(), dlg.modifiers()};
#pragma once

#include <QString>

#include <array>
#include <cstdint>

#include "option/logic/button_rules.h"
#include "option/logic/key_capture.h"
#include "option/skin/skinned_window.h"

namespace mt {

class CBitmapBtn;
class CBmpEdit;
class LanguageModule;
class SkinFolder;

// Control id of the key-name field in both dialogs.
constexpr int kKeyFieldId = 4010;

// What both dialogs share: the field, the hook while shown, the note.
class CKeyCaptureDlg : public CSkinDialog {
  Q_OBJECT

 public:
  uint8_t key_code() const { return capture_.key_code(); }
  // The text of the key-name field.
  QString key_text() const;
  CBmpEdit* key_field() const { return field_; }
  // The button at a skin key; null for a key the dialog does not have.
  CBitmapBtn* button(int key) const;
  // The note that other windows still receive keys is shown.
  bool capture_note_shown() const { return note_; }
  const QString& title_text() const { return title_; }

  ~CKeyCaptureDlg() override;

  // A dialog's skin file, pictures and the keys of its common controls.
  struct Layout {
    const char* description;
    SkinPictureNames pictures;
    int field_key;
    int confirm_key, cancel_key, close_key;
  };

 protected:
  CKeyCaptureDlg(QWidget* parent, SkinFolder& skin, const LanguageModule& language, const Layout& layout,
                 int title_id, KeyCapture capture);

  // The button of a skin key, placed from the description (built-in place
  // when the skin has none), with the caption of a text id (0: none).
  CBitmapBtn* add_button(int key, int text_id, const QRect& fallback);
  const SkinDescription& description() const { return description_; }
  const LanguageModule& language() const { return language_; }
  // The toggles and the field show the capture again.
  virtual void show_capture();

  void paint_title(QPainter& p);
  void paint_note(QPainter& p, const QRect& box, int flags);

  void showEvent(QShowEvent* event) override;

  KeyCapture capture_;

 private:
  void on_key(uint32_t vk, uint32_t flags);
  void set_note(bool shown);

  const LanguageModule& language_;
  SkinDescription description_;
  QString title_;
  QString note_text_;
  CBmpEdit* field_ = nullptr;
  std::array<CBitmapBtn*, 10> buttons_{};
  bool note_ = false;
};

class CShortCutDlg : public CKeyCaptureDlg {
  Q_OBJECT

 public:
  enum Key { kConfirm = 2, kCancel = 3, kClose = 4, kFirstToggle = 5, kField = 10 };
  static constexpr char kWindowTitle[] = "Q.NIRA Shortcut Dialog";

  // The slot's key code and its five modifier flags.
  CShortCutDlg(QWidget* parent, SkinFolder& skin, const LanguageModule& language, uint8_t key_code,
               const ModifierFlags& modifiers);

  // The flags as the toggles hold them (see KeyCapture); modifier_byte()
  // for the record.
  const ModifierFlags& modifiers() const { return capture_.modifiers(); }
  uint8_t modifier_byte() const { return capture_.modifier_byte(); }
  // Toggle i (KeyToggle order) and its skin button.
  CBitmapBtn* toggle(int i) const { return button(kFirstToggle + i); }

 protected:
  void show_capture() override;
  void paint_surface(QPainter& painter) override;

 private:
  QString label_;
};

class CSingleKeyDlg : public CKeyCaptureDlg {
  Q_OBJECT

 public:
  enum Key { kConfirm = 1, kCancel = 2, kClose = 3, kField = 4 };

  CSingleKeyDlg(QWidget* parent, SkinFolder& skin, const LanguageModule& language, uint8_t key_code);

 protected:
  void paint_surface(QPainter& painter) override;

 private:
  QString prompt_;
};

}  // namespace mt
