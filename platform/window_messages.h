// Window message numbers, window titles and object names shared by Monitor,
// Option, the on-screen displays and the tools. The numbers are fixed: outside
// programs send and expect exactly these.
#pragma once

#include <cstdint>

namespace platform {

// The platform's own messages, with the numbers the programs were built on.
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
inline constexpr std::uint32_t WM_DEVICECHANGE = 0x0219;
inline constexpr std::uint32_t WM_APPCOMMAND = 0x0319;
inline constexpr std::uint32_t WM_USER = 0x0400;

// To Monitor's window.
inline constexpr std::uint32_t WM_MON_TRAY = 1036;
inline constexpr std::uint32_t WM_MON_APPLY_ALL = 1224;
inline constexpr std::uint32_t WM_MON_COPY_BLOCK = 1226;
inline constexpr std::uint32_t WM_MON_APPLY_SYSTEM = 1227;
inline constexpr std::uint32_t WM_MON_RESERVED = 1274;
inline constexpr std::uint32_t WM_MON_DEVICE_EVENT = 1325;
inline constexpr std::uint32_t WM_MON_DEVICE_CONNECTION = 1326;

// To Option's window.
inline constexpr std::uint32_t WM_OPT_FIRMWARE_RELOAD = 1254;  // accepted, sent by nobody here
inline constexpr std::uint32_t WM_OPT_PROFILE_CHANGED = 1255;
inline constexpr std::uint32_t WM_OPT_APPLY_DONE = 1256;
inline constexpr std::uint32_t WM_OPT_LEVEL_CHANGED = 1257;
inline constexpr std::uint32_t WM_OPT_DEVICE_RESET = 1259;

// To the main on-screen display. 1326 means "configuration" there, not a
// device connection.
inline constexpr std::uint32_t WM_OSD_SHOW = 1324;
inline constexpr std::uint32_t WM_OSD_CONFIG = 1326;

// Thread message of Monitor's device thread.
inline constexpr std::uint32_t WM_DEVICE_JOB = 1649;

// Window titles.
inline constexpr char MONITOR_WINDOW_TITLE[] = "Draveo_Morvath_T60R_Monitor";
inline constexpr char OPTION_WINDOW_TITLE[] = "Morvath T60R Option";
inline constexpr char OSD_WINDOW_TITLE[] = "Belvanto_550_28_Gaming_Mouse_Normal_OSD";
inline constexpr const char* OSD_COMPANION_TITLES[] = {
    "Belvanto Gaming Mouse Pop3",
    "Belvanto Gaming Mouse CPU RAM OSD",
    "Belvanto Gaming Mouse OSD SKYPE",
    "Belvanto Gaming Mouse OSD MSN",
};

// Named objects.
inline constexpr char SHARED_BLOCK_NAME[] = "Belvanto_550_28_Gaming_Mouse_Normal_Share_Data";
inline constexpr char SHARED_BLOCK_MUTEX_NAME[] = "Belvanto_550_28_Gaming_Mouse_Normal_Mutex_Object";
inline constexpr char MONITOR_INSTANCE_MUTEX_NAME[] = "Draveo_Morvath_T60R_Monitor_Mutex";
inline constexpr char OPTION_INSTANCE_MUTEX_NAME[] = "Belvanto_550_28_Gaming_Mouse_Normal_configure";

}  // namespace platform
