// Key codes: the mouse and the macros name a key by one byte, the USB HID
// keyboard usage id (240..244 for the mouse buttons); Option's windows work
// with Windows virtual-key codes. The key table links the two; keys that the
// layout can move (letters, digits, punctuation, F-keys) go through their
// physical position (set-1 scan code), so a key is coded where it sits on the
// keyboard, not by what its cap says.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace mt {

// One row of the key table. Rows that the layout can move carry the set-1
// scan code of their position; every other row carries 0.
struct KeyRow {
  uint8_t vk;
  uint8_t code;
  uint8_t scan;
};

// The 109 rows, in the order in which every lookup searches them.
std::span<const KeyRow> key_table();

// The keyboard layout, as the two MapVirtualKeyW questions we ask of it.
// Both answer 0 for "no such key on this layout".
class KeyboardLayout {
 public:
  virtual ~KeyboardLayout() = default;
  // Map type 0: virtual key -> set-1 scan code.
  virtual uint32_t scan_code_of(uint32_t vk) const = 0;
  // Map type 3: set-1 scan code -> virtual key, left and right keys told apart.
  virtual uint32_t virtual_key_of(uint32_t scan_code) const = 0;
};

// A fixed US (QWERTY) layout: the keys of the table's typewriter and function
// rows, and the left/right modifier keys.
class UsKeyboardLayout final : public KeyboardLayout {
 public:
  uint32_t scan_code_of(uint32_t vk) const override;
  uint32_t virtual_key_of(uint32_t scan_code) const override;
};

const KeyboardLayout& us_keyboard_layout();

// The layout the conversions use by default: the US layout until a desktop
// layout is installed (Option installs desktop_keyboard_layout() of
// common/desktop_keys.h, built from the same table as its recorded keys). The caller keeps an installed layout alive until it
// installs another one; nullptr goes back to the US layout.
const KeyboardLayout& current_keyboard_layout();
void set_current_keyboard_layout(const KeyboardLayout* layout);

struct DeviceCodeLookup {
  bool found = false;
  uint8_t code = 0;  // 0 when not found
};

struct VirtualKeyLookup {
  bool found = false;
  uint32_t vk = 0;  // 0 when not found
};

// Virtual key -> device key code, by physical position for codes 4..69.
DeviceCodeLookup virtual_key_to_device_code(uint32_t vk,
                                            const KeyboardLayout& layout = current_keyboard_layout());

// Device key code -> virtual key, through the layout for codes 4..69.
VirtualKeyLookup device_code_to_virtual_key(uint32_t code,
                                            const KeyboardLayout& layout = current_keyboard_layout());

// Display name of a virtual key; empty for a key without a name.
std::u16string key_name(uint32_t vk);

}  // namespace mt
