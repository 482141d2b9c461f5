// The system's own window message numbers, as the programs were built on
// them. The product's messages, titles and object names are in
// common/product.h.
#pragma once

#include <cstdint>

namespace platform {

inline constexpr std::uint32_t WM_NULL = 0x0000;
inline constexpr std::uint32_t WM_CREATE = 0x0001;
inline constexpr std::uint32_t WM_DESTROY = 0x0002;
inline constexpr std::uint32_t WM_CLOSE = 0x0010;
inline constexpr std::uint32_t WM_QUIT = 0x0012;
inline constexpr std::uint32_t WM_SETTINGCHANGE = 0x001A;
inline constexpr std::uint32_t WM_COPYDATA = 0x004A;
inline constexpr std::uint32_t WM_KEYDOWN = 0x0100;
inline constexpr std::uint32_t WM_KEYUP = 0x0101;
inline constexpr std::uint32_t WM_COMMAND = 0x0111;
inline constexpr std::uint32_t WM_TIMER = 0x0113;
inline constexpr std::uint32_t WM_HSCROLL = 0x0114;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr std::uint32_t WM_DEVICECHANGE = 0x0219;
inline constexpr std::uint32_t WM_APPCOMMAND = 0x0319;
inline constexpr std::uint32_t WM_USER = 0x0400;

}  // namespace platform
