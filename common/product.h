// The product's own numbers and names: the messages between Monitor, Option
// and the on-screen displays, the commands of Monitor's icon menu, the window
// titles and the named objects. They are fixed; outside programs (on-screen
// displays, scripts) send and expect exactly these. The system's own message
// numbers (WM_CLOSE, WM_COMMAND ...) are in platform/window_messages.h.
#pragma once

#include <cstdint>

namespace mt {

// --- Messages to Monitor's window --------------------------------------------

inline constexpr std::uint32_t WM_MON_TRAY = 1036;  // the icon's callback (WM_USER+12)
inline constexpr std::uint32_t WM_MON_APPLY_ALL = 1224;  // WM_USER+200
inline constexpr std::uint32_t WM_MON_COPY_BLOCK = 1226;  // WM_USER+202
inline constexpr std::uint32_t WM_MON_APPLY_SYSTEM = 1227;  // WM_USER+203
inline constexpr std::uint32_t WM_MON_RESERVED = 1274;  // WM_USER+250: answered 0, nothing else
inline constexpr std::uint32_t WM_MON_DEVICE_EVENT = 1325;  // WM_USER+301, from the HID library
inline constexpr std::uint32_t WM_MON_DEVICE_CONNECTION = 1326;  // WM_USER+302, from the HID library
inline constexpr std::uint32_t WM_MON_1327 = 1327;  // WM_USER+303: answered TRUE, nothing else

// Commands of Monitor's icon menu, as WM_COMMAND's wParam. A second Monitor
// started with "1" sends ID_TRAY_OPEN_OPTION to the running one.
inline constexpr int ID_TRAY_OPEN_OPTION = 6001;
inline constexpr int ID_TRAY_EXIT = 6002;

// --- Messages to Option's window ---------------------------------------------

inline constexpr std::uint32_t WM_OPT_FIRMWARE_RELOAD = 1254;  // WM_USER+230: accepted, sent by nobody here
inline constexpr std::uint32_t WM_OPT_PROFILE_CHANGED = 1255;  // WM_USER+231
inline constexpr std::uint32_t WM_OPT_APPLY_DONE = 1256;  // WM_USER+232
inline constexpr std::uint32_t WM_OPT_LEVEL_CHANGED = 1257;  // WM_USER+233
inline constexpr std::uint32_t WM_OPT_DEVICE_RESET = 1259;  // WM_USER+235

// --- Messages to the main on-screen display ------------------------------------
// 1326 means "configuration" there, not a device connection.

inline constexpr std::uint32_t WM_OSD_SHOW = 1324;  // WM_USER+300
inline constexpr std::uint32_t WM_OSD_CONFIG = 1326;  // WM_USER+302

// Thread message of Monitor's device thread (WM_USER+625).
inline constexpr std::uint32_t WM_DEVICE_JOB = 1649;

// --- Window titles -------------------------------------------------------------

inline constexpr char MONITOR_WINDOW_TITLE[] = "Draveo_Morvath_T60R_Monitor";
inline constexpr char OPTION_WINDOW_TITLE[] = "Morvath T60R Option";
inline constexpr char OSD_WINDOW_TITLE[] = "Belvanto_550_28_Gaming_Mouse_Normal_OSD";
inline constexpr const char* OSD_COMPANION_TITLES[] = {
    "Belvanto Gaming Mouse Pop3",
    "Belvanto Gaming Mouse CPU RAM OSD",
    "Belvanto Gaming Mouse OSD SKYPE",
    "Belvanto Gaming Mouse OSD MSN",
};

// --- Named objects -------------------------------------------------------------

inline constexpr char SHARED_BLOCK_NAME[] = "Belvanto_550_28_Gaming_Mouse_Normal_Share_Data";
inline constexpr char SHARED_BLOCK_MUTEX_NAME[] = "Belvanto_550_28_Gaming_Mouse_Normal_Mutex_Object";
inline constexpr char MONITOR_INSTANCE_MUTEX_NAME[] = "Draveo_Morvath_T60R_Monitor_Mutex";
inline constexpr char OPTION_INSTANCE_MUTEX_NAME[] = "Belvanto_550_28_Gaming_Mouse_Normal_configure";
// Our own on-screen display keeps to one copy per session with this one.
inline constexpr char OSD_INSTANCE_MUTEX_NAME[] = "Belvanto_550_28_Gaming_Mouse_Normal_OSD_Mutex";

// --- The mouse -------------------------------------------------------------------

inline constexpr int MOUSE_VENDOR_ID = 0x1017;
inline constexpr int MOUSE_PRODUCT_ID = 0x8003;

}  // namespace mt
