#include "common/key_codes.h"

#include <array>
#include <atomic>

namespace mt {
namespace {

constexpr std::array<KeyRow, 109> kKeyTable = {{
    // Letters 'A'..'Z'.
    {0x41, 4, 0x1E}, {0x42, 5, 0x30}, {0x43, 6, 0x2E}, {0x44, 7, 0x20}, {0x45, 8, 0x12},
    {0x46, 9, 0x21}, {0x47, 10, 0x22}, {0x48, 11, 0x23}, {0x49, 12, 0x17}, {0x4A, 13, 0x24},
    {0x4B, 14, 0x25}, {0x4C, 15, 0x26}, {0x4D, 16, 0x32}, {0x4E, 17, 0x31}, {0x4F, 18, 0x18},
    {0x50, 19, 0x19}, {0x51, 20, 0x10}, {0x52, 21, 0x13}, {0x53, 22, 0x1F}, {0x54, 23, 0x14},
    {0x55, 24, 0x16}, {0x56, 25, 0x2F}, {0x57, 26, 0x11}, {0x58, 27, 0x2D}, {0x59, 28, 0x15},
    {0x5A, 29, 0x2C},
    // Digits '1'..'9', '0'.
    {0x31, 30, 0x02}, {0x32, 31, 0x03}, {0x33, 32, 0x04}, {0x34, 33, 0x05}, {0x35, 34, 0x06},
    {0x36, 35, 0x07}, {0x37, 36, 0x08}, {0x38, 37, 0x09}, {0x39, 38, 0x0A}, {0x30, 39, 0x0B},
    // Enter, Esc, Backspace, Tab, Space.
    {0x0D, 40, 0x1C}, {0x1B, 41, 0x01}, {0x08, 42, 0x0E}, {0x09, 43, 0x0F}, {0x20, 44, 0x39},
    // - = [ ] \  ; ' ` , . /
    {0xBD, 45, 0x0C}, {0xBB, 46, 0x0D}, {0xDB, 47, 0x1A}, {0xDD, 48, 0x1B}, {0xDC, 49, 0x2B},
    {0xBA, 51, 0x27}, {0xDE, 52, 0x28}, {0xC0, 53, 0x29}, {0xBC, 54, 0x33}, {0xBE, 55, 0x34},
    {0xBF, 56, 0x35},
    // Caps Lock, F1..F12.
    {0x14, 57, 0x3A},
    {0x70, 58, 0x3B}, {0x71, 59, 0x3C}, {0x72, 60, 0x3D}, {0x73, 61, 0x3E}, {0x74, 62, 0x3F},
    {0x75, 63, 0x40}, {0x76, 64, 0x41}, {0x77, 65, 0x42}, {0x78, 66, 0x43}, {0x79, 67, 0x44},
    {0x7A, 68, 0x57}, {0x7B, 69, 0x58},
    // Print Screen, Scroll Lock, Pause; the navigation block; arrows.
    {0x2C, 70, 0}, {0x91, 71, 0}, {0x13, 72, 0},
    {0x2D, 73, 0}, {0x24, 74, 0}, {0x21, 75, 0}, {0x2E, 76, 0}, {0x23, 77, 0}, {0x22, 78, 0},
    {0x27, 79, 0}, {0x25, 80, 0}, {0x28, 81, 0}, {0x26, 82, 0},
    // Num Lock and the keypad; keypad 7 is listed before keypad 6.
    {0x90, 83, 0},
    {0x6F, 84, 0}, {0x6A, 85, 0}, {0x6D, 86, 0}, {0x6B, 87, 0}, {0x6C, 88, 0},
    {0x61, 89, 0}, {0x62, 90, 0}, {0x63, 91, 0}, {0x64, 92, 0}, {0x65, 93, 0},
    {0x67, 95, 0}, {0x66, 94, 0},
    {0x68, 96, 0}, {0x69, 97, 0}, {0x60, 98, 0}, {0x6E, 99, 0},
    // Applications; left and right modifiers.
    {0x5D, 101, 0},
    {0xA2, 224, 0}, {0xA0, 225, 0}, {0xA4, 226, 0}, {0x5B, 227, 0},
    {0xA3, 228, 0}, {0xA1, 229, 0}, {0xA5, 230, 0}, {0x5C, 231, 0},
    // Mouse buttons: left, right, wheel, forward, backward.
    {0xF0, 240, 0}, {0xF1, 241, 0}, {0xF2, 242, 0}, {0xF3, 243, 0}, {0xF4, 244, 0},
}};

// Codes whose key the layout may move; they are translated by position.
bool is_positional(uint32_t code) { return code >= 4 && code <= 69; }

const KeyRow* row_by_vk(uint32_t vk) {
  for (const KeyRow& r : kKeyTable)
    if (r.vk == vk) return &r;
  return nullptr;
}

const KeyRow* row_by_code(uint32_t code) {
  for (const KeyRow& r : kKeyTable)
    if (r.code == code) return &r;
  return nullptr;
}

// Scan code 0 means "no key" and never names a row: the rows without a scan
// code carry 0 too, and matching them would turn an unknown key into Print
// Screen.
const KeyRow* row_by_scan(uint32_t scan) {
  if (scan == 0) return nullptr;
  for (const KeyRow& r : kKeyTable)
    if (r.scan == scan) return &r;
  return nullptr;
}

struct VkScan {
  uint8_t vk;
  uint8_t scan;
};

// The US layout's modifiers beyond the table's positional rows. The generic
// keys map to the left key's position; positions map back to left/right keys.
constexpr VkScan kUsModifiers[] = {
    {0x10, 0x2A}, {0x11, 0x1D}, {0x12, 0x38},  // Shift, Ctrl, Alt
    {0xA0, 0x2A}, {0xA1, 0x36}, {0xA2, 0x1D}, {0xA3, 0x1D}, {0xA4, 0x38}, {0xA5, 0x38},
};
constexpr VkScan kUsModifierPositions[] = {
    {0xA0, 0x2A}, {0xA1, 0x36}, {0xA2, 0x1D}, {0xA4, 0x38},
};

std::atomic<const KeyboardLayout*> g_layout{nullptr};

}  // namespace

std::span<const KeyRow> key_table() { return kKeyTable; }

uint32_t UsKeyboardLayout::scan_code_of(uint32_t vk) const {
  // On the US layout every positional row sits where its cap says.
  for (const KeyRow& r : kKeyTable)
    if (r.scan != 0 && r.vk == vk) return r.scan;
  for (const VkScan& m : kUsModifiers)
    if (m.vk == vk) return m.scan;
  return 0;
}

uint32_t UsKeyboardLayout::virtual_key_of(uint32_t scan_code) const {
  if (const KeyRow* r = row_by_scan(scan_code)) return r->vk;
  for (const VkScan& m : kUsModifierPositions)
    if (m.scan == scan_code) return m.vk;
  return 0;
}

const KeyboardLayout& us_keyboard_layout() {
  static const UsKeyboardLayout layout;
  return layout;
}

const KeyboardLayout& current_keyboard_layout() {
  const KeyboardLayout* layout = g_layout.load(std::memory_order_acquire);
  return layout ? *layout : us_keyboard_layout();
}

void set_current_keyboard_layout(const KeyboardLayout* layout) {
  g_layout.store(layout, std::memory_order_release);
}

DeviceCodeLookup virtual_key_to_device_code(uint32_t vk, const KeyboardLayout& layout) {
  const KeyRow* row = row_by_vk(vk);
  if (!row) return {};
  uint8_t code = row->code;
  if (is_positional(code)) {
    if (const KeyRow* at = row_by_scan(layout.scan_code_of(vk))) code = at->code;
  }
  return {true, code};
}

VirtualKeyLookup device_code_to_virtual_key(uint32_t code, const KeyboardLayout& layout) {
  const KeyRow* row = row_by_code(code);
  if (!row) return {};
  if (is_positional(code)) {
    // A layout without a key at this position keeps the table's own key
    // rather than answering "found, virtual key 0".
    const uint32_t vk = layout.virtual_key_of(row->scan);
    return {true, vk != 0 ? vk : row->vk};
  }
  return {true, row->vk};
}

std::u16string key_name(uint32_t vk) {
  if ((vk >= 0x30 && vk <= 0x39) || (vk >= 0x41 && vk <= 0x5A))
    return std::u16string(1, static_cast<char16_t>(vk));
  if (vk >= 0x60 && vk <= 0x69) return std::u16string(u"Num_") + static_cast<char16_t>(u'0' + (vk - 0x60));
  if (vk >= 0x70 && vk <= 0x7B) {
    const uint32_t n = vk - 0x70 + 1;
    std::u16string s = u"F";
    if (n >= 10) s += static_cast<char16_t>(u'0' + n / 10);
    s += static_cast<char16_t>(u'0' + n % 10);
    return s;
  }
  switch (vk) {
    case 0x08: return u"BackSpace";
    case 0x09: return u"Tab";
    case 0x0D: return u"Enter";
    case 0x13: return u"Pause";
    case 0x14: return u"CapsLock";
    case 0x1B: return u"Esc";
    case 0x20: return u"Space";
    case 0x21: return u"Page UP";
    case 0x22: return u"Page Down";
    case 0x23: return u"End";
    case 0x24: return u"Home";
    case 0x25: return u"Left";
    case 0x26: return u"Up";
    case 0x27: return u"Right";
    case 0x28: return u"Down";
    case 0x29: return u"Select";
    case 0x2B: return u"Execute";
    case 0x2C: return u"Print Screen";
    case 0x2D: return u"Insert";
    case 0x2E: return u"Delete";
    case 0x2F: return u"Help";
    case 0x5B: return u"L_WIN";
    case 0x5C: return u"R_WIN";
    case 0x5D: return u"APP";
    case 0x6A: return u"Num_*";
    case 0x6B: return u"Num_+";
    case 0x6C: return u"Num_ ";  // the separator key has no sign; the space is part of its name
    case 0x6D: return u"Num_-";
    case 0x6E: return u"Num_.";
    case 0x6F: return u"Num_/";
    case 0x90: return u"Number Lock";
    case 0x91: return u"Scroll Lock";
    case 0xA0: return u"Left Shift";
    case 0xA1: return u"Right Shift";
    case 0xA2: return u"Left Ctrl";
    case 0xA3: return u"Right Ctrl";
    case 0xA4: return u"Left Alt";
    case 0xA5: return u"Right Alt";
    case 0xBA: return u";";
    case 0xBB: return u"=";
    case 0xBC: return u",";
    case 0xBD: return u"-";
    case 0xBE: return u".";
    case 0xBF: return u"/";
    case 0xC0: return u"`";
    case 0xDB: return u"[";
    case 0xDC: return u"\\";
    case 0xDD: return u"]";
    case 0xDE: return u"'";
    // The mouse buttons share "Left" and "Right" with the arrow keys.
    case 0xF0: return u"Left";
    case 0xF1: return u"Right";
    case 0xF2: return u"Wheel";
    case 0xF3: return u"Forward";
    case 0xF4: return u"Backward";
    default: return {};
  }
}

}  // namespace mt
