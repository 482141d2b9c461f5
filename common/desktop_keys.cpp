#include "common/desktop_keys.h"

#include <array>

namespace mt {

namespace {

constexpr bool E = true;  // extended: the hook sets flag 0x01

// evdev code, virtual key, set-1 scan code, extended.
constexpr PhysicalKey kKeys[] = {
    {1, 0x1B, 0x01, false},  // Esc
    {2, 0x31, 0x02, false}, {3, 0x32, 0x03, false}, {4, 0x33, 0x04, false}, {5, 0x34, 0x05, false},
    {6, 0x35, 0x06, false}, {7, 0x36, 0x07, false}, {8, 0x37, 0x08, false}, {9, 0x38, 0x09, false},
    {10, 0x39, 0x0A, false}, {11, 0x30, 0x0B, false},  // 1..9, 0
    {12, 0xBD, 0x0C, false}, {13, 0xBB, 0x0D, false},  // - =
    {14, 0x08, 0x0E, false}, {15, 0x09, 0x0F, false},  // Backspace, Tab
    {16, 'Q', 0x10, false}, {17, 'W', 0x11, false}, {18, 'E', 0x12, false}, {19, 'R', 0x13, false},
    {20, 'T', 0x14, false}, {21, 'Y', 0x15, false}, {22, 'U', 0x16, false}, {23, 'I', 0x17, false},
    {24, 'O', 0x18, false}, {25, 'P', 0x19, false},
    {26, 0xDB, 0x1A, false}, {27, 0xDD, 0x1B, false},  // [ ]
    {28, 0x0D, 0x1C, false},                            // Enter
    {29, 0xA2, 0x1D, false},                            // left Ctrl
    {30, 'A', 0x1E, false}, {31, 'S', 0x1F, false}, {32, 'D', 0x20, false}, {33, 'F', 0x21, false},
    {34, 'G', 0x22, false}, {35, 'H', 0x23, false}, {36, 'J', 0x24, false}, {37, 'K', 0x25, false},
    {38, 'L', 0x26, false},
    {39, 0xBA, 0x27, false}, {40, 0xDE, 0x28, false}, {41, 0xC0, 0x29, false},  // ; ' `
    {42, 0xA0, 0x2A, false},                                                    // left Shift
    {43, 0xDC, 0x2B, false},                                                    // backslash
    {44, 'Z', 0x2C, false}, {45, 'X', 0x2D, false}, {46, 'C', 0x2E, false}, {47, 'V', 0x2F, false},
    {48, 'B', 0x30, false}, {49, 'N', 0x31, false}, {50, 'M', 0x32, false},
    {51, 0xBC, 0x33, false}, {52, 0xBE, 0x34, false}, {53, 0xBF, 0x35, false},  // , . /
    {54, 0xA1, 0x36, false},                                                    // right Shift
    {55, 0x6A, 0x37, false},                                                    // keypad *
    {56, 0xA4, 0x38, false},                                                    // left Alt
    {57, 0x20, 0x39, false},                                                    // Space
    {58, 0x14, 0x3A, false},                                                    // Caps Lock
    {59, 0x70, 0x3B, false}, {60, 0x71, 0x3C, false}, {61, 0x72, 0x3D, false}, {62, 0x73, 0x3E, false},
    {63, 0x74, 0x3F, false}, {64, 0x75, 0x40, false}, {65, 0x76, 0x41, false}, {66, 0x77, 0x42, false},
    {67, 0x78, 0x43, false}, {68, 0x79, 0x44, false},  // F1..F10
    {69, 0x90, 0x45, E},                               // Num Lock: the hook reports it extended
    {70, 0x91, 0x46, false},                           // Scroll Lock
    {71, 0x67, 0x47, false}, {72, 0x68, 0x48, false}, {73, 0x69, 0x49, false},  // keypad 7 8 9
    {74, 0x6D, 0x4A, false},                                                    // keypad -
    {75, 0x64, 0x4B, false}, {76, 0x65, 0x4C, false}, {77, 0x66, 0x4D, false},  // keypad 4 5 6
    {78, 0x6B, 0x4E, false},                                                    // keypad +
    {79, 0x61, 0x4F, false}, {80, 0x62, 0x50, false}, {81, 0x63, 0x51, false},  // keypad 1 2 3
    {82, 0x60, 0x52, false}, {83, 0x6E, 0x53, false},                           // keypad 0 .
    {86, 0xE2, 0x56, false},  // the ISO key beside left Shift (no device code)
    {87, 0x7A, 0x57, false}, {88, 0x7B, 0x58, false},  // F11, F12
    {96, 0x0D, 0x1C, E},                               // keypad Enter
    {97, 0xA3, 0x1D, E},                               // right Ctrl
    {98, 0x6F, 0x35, E},                               // keypad /
    {99, 0x2C, 0x37, E},                               // Print Screen
    {100, 0xA5, 0x38, E},                              // right Alt (AltGr)
    {102, 0x24, 0x47, E}, {103, 0x26, 0x48, E}, {104, 0x21, 0x49, E},  // Home, Up, Page Up
    {105, 0x25, 0x4B, E}, {106, 0x27, 0x4D, E},                        // Left, Right
    {107, 0x23, 0x4F, E}, {108, 0x28, 0x50, E}, {109, 0x22, 0x51, E},  // End, Down, Page Down
    {110, 0x2D, 0x52, E}, {111, 0x2E, 0x53, E},                        // Insert, Delete
    {119, 0x13, 0x45, false},                                          // Pause
    {125, 0x5B, 0x5B, E}, {126, 0x5C, 0x5C, E},                        // left and right Windows
    {127, 0x5D, 0x5D, E},                                              // Applications
};

constexpr uint32_t kExtendedScan = 0xE000;

// Generic modifiers as the left key's position.
constexpr std::array<std::array<uint8_t, 2>, 3> kGenericModifiers = {{{0x10, 0xA0}, {0x11, 0xA2}, {0x12, 0xA4}}};

}  // namespace

std::span<const PhysicalKey> physical_keys() { return kKeys; }

std::optional<KeyMessage> key_message(uint32_t evdev_code, bool released) {
  for (const PhysicalKey& k : kKeys) {
    if (k.evdev != evdev_code) continue;
    return KeyMessage{k.vk, (k.extended ? kKeyFlagExtended : 0u) | (released ? kKeyFlagReleased : 0u)};
  }
  return std::nullopt;
}

std::optional<KeyMessage> key_message_from_x11(uint32_t x_keycode, bool released) {
  if (x_keycode < 8) return std::nullopt;
  return key_message(x_keycode - 8, released);
}

uint32_t DesktopKeyboardLayout::scan_code_of(uint32_t vk) const {
  for (const auto& [generic, left] : kGenericModifiers)
    if (vk == generic) vk = left;
  for (const PhysicalKey& k : kKeys)
    if (k.vk == vk) return k.scan;
  return 0;
}

uint32_t DesktopKeyboardLayout::virtual_key_of(uint32_t scan_code) const {
  const bool extended = (scan_code & 0xFF00) == kExtendedScan;
  if ((scan_code & 0xFF00) != 0 && !extended) return 0;
  const uint32_t scan = scan_code & 0xFF;
  if (scan == 0) return 0;
  for (const PhysicalKey& k : kKeys)
    if (k.scan == scan && k.extended == extended) return k.vk;
  return 0;
}

const KeyboardLayout& desktop_keyboard_layout() {
  static const DesktopKeyboardLayout layout;
  return layout;
}

}  // namespace mt
