// The few virtual-key codes Monitor puts into the key messages it sends to
// other programs' windows.
#pragma once

#include <cstdint>

namespace mt::vk {

inline constexpr std::uint32_t kControl = 0x11;
inline constexpr std::uint32_t kSpace = 0x20;
inline constexpr std::uint32_t kLeft = 0x25;
inline constexpr std::uint32_t kRight = 0x27;

}  // namespace mt::vk
