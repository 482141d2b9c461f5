#include "option/logic/key_capture.h"

#include "common/key_codes.h"

namespace mt {

KeyCapture::KeyCapture(uint8_t key_code, uint8_t modifier_byte)
    : key_code_(key_code),
      key_text_(key_name(device_code_to_virtual_key(key_code).vk)),
      flags_(modifier_flags(modifier_byte)) {}

void KeyCapture::key_message(uint32_t vk, uint32_t /*flags*/) {
  key_code_ = virtual_key_to_device_code(vk).code;
  key_text_ = key_name(vk);
}

void KeyCapture::set_toggle(int i, bool on) {
  if (i < 0 || i >= static_cast<int>(flags_.size())) return;
  if (!toggle_enabled(i)) return;  // a disabled toggle takes no clicks
  flags_[static_cast<std::size_t>(i)] = on;
}

bool KeyCapture::toggle_on(int i) const {
  return i >= 0 && i < static_cast<int>(flags_.size()) && flags_[static_cast<std::size_t>(i)];
}

bool KeyCapture::toggle_enabled(int i) const {
  if (i < 0 || i >= static_cast<int>(flags_.size())) return false;
  return i == kToggleKeyAlone || !flags_[kToggleKeyAlone];
}

}  // namespace mt
