// The desktop's keyboard in the terms the macro recorder and the key-capture
// dialogs work in: every key event becomes the pair (virtual-key code, flags)
// that a low-level keyboard hook reports, flags being 0x01 for an extended
// key and 0x80 for a release.
//
// The pair is taken from the physical key (the evdev code; an X keycode is
// the evdev code + 8), never from the symbol the layout puts on it, so a
// recorded key is the key the user pressed on any layout: the key right of
// Tab is 'Q' whether its cap says Q, A or Й. Left and right modifiers stay
// apart, and the keypad keys always give the keypad's own virtual keys
// (Num_0 .. Num_9, Num_.), whatever the Num Lock state, so they record as
// keypad keys.
//
//   if (auto m = key_message_from_x11(event->nativeScanCode(), released))
//     editor.key_message(m->vk, m->flags);
//
// desktop_keyboard_layout() answers the key table's layout questions from the
// same table, so the codes and names derived from a recorded pair agree with
// the key that produced it; Option installs it with set_current_keyboard_layout.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "common/key_codes.h"

namespace mt {

constexpr uint32_t kKeyFlagExtended = 0x01;
constexpr uint32_t kKeyFlagReleased = 0x80;

// One physical key: its evdev code, the virtual key it gives, its set-1 scan
// code (without the E0 prefix) and whether the hook reports it as extended.
struct PhysicalKey {
  uint16_t evdev;
  uint8_t vk;
  uint8_t scan;
  bool extended;
};

// The keys of a PC keyboard (104/105 keys), in evdev order.
std::span<const PhysicalKey> physical_keys();

struct KeyMessage {
  uint32_t vk;
  uint32_t flags;  // kKeyFlagExtended | kKeyFlagReleased, as the hook masks them (& 0x81)
};

// Nothing for a key that is not in the table.
std::optional<KeyMessage> key_message(uint32_t evdev_code, bool released);
std::optional<KeyMessage> key_message_from_x11(uint32_t x_keycode, bool released);

// Map type 0 gives the scan code of the first key with that virtual key (the
// generic Shift, Ctrl and Alt give their left key's); map type 3 takes the
// scan code with 0xE000 added for an extended key. 0 for "no such key".
class DesktopKeyboardLayout final : public KeyboardLayout {
 public:
  uint32_t scan_code_of(uint32_t vk) const override;
  uint32_t virtual_key_of(uint32_t scan_code) const override;
};

const KeyboardLayout& desktop_keyboard_layout();

}  // namespace mt
