// The two key-capture dialogs (CShortCutDlg, CSingleKeyDlg) without their
// windows. While one is open every keystroke of the session comes to it, and
// the last one wins: its key becomes the dialog's key, press or release
// alike, modifiers included (letting go of Ctrl last leaves "Left Ctrl").
// Modifiers are chosen with the toggles only.
//
//   KeyCapture capture(plan.key_code, modifier_byte(plan.modifiers));
//   // each grabbed key event:
//   if (auto m = key_message_from_x11(code, released)) capture.key_message(m->vk, m->flags);
//   field.setText(capture.key_text());
//   // toggle i pressed: capture.set_toggle(i, on); show toggle_on / toggle_enabled
//   // OK: KeyChoice{capture.key_code(), capture.modifiers()} (modifier_byte() for the record)
#pragma once

#include <cstdint>
#include <string>

#include "option/logic/button_rules.h"

namespace mt {

// Toggles of CShortCutDlg, in the order of the modifier bits.
enum KeyToggle : int { kToggleKeyAlone = 0, kToggleCtrl, kToggleShift, kToggleAlt, kToggleWin };

class KeyCapture {
 public:
  // The slot's key code and modifier byte (a single-key dialog passes 0).
  explicit KeyCapture(uint8_t key_code, uint8_t modifier_byte = 0);

  // A keystroke (virtual key, hook flags): the key is its device code, 0 for
  // a key the key table does not know; the field shows the key's name.
  void key_message(uint32_t vk, uint32_t flags);

  uint8_t key_code() const { return key_code_; }
  const std::u16string& key_text() const { return key_text_; }

  // Toggle i (KeyToggle) pressed into its new state. With key alone on the
  // other four are disabled and keep their states, which are not stored.
  void set_toggle(int i, bool on);
  bool toggle_on(int i) const;
  bool toggle_enabled(int i) const;

  const ModifierFlags& modifiers() const { return flags_; }
  // The record's modifier byte: bit 0 alone while key alone is on.
  uint8_t modifier_byte() const { return mt::modifier_byte(flags_); }

 private:
  uint8_t key_code_;
  std::u16string key_text_;
  ModifierFlags flags_;
};

}  // namespace mt
