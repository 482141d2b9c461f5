// The settings record that Monitor and Option share byte for byte through the
// settings files and the named shared block. Every offset below is part of the
// inter-process format; the static_asserts keep the compiler honest.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mt {

constexpr int kProfileCount = 5;
constexpr int kButtonSlots = 16;
constexpr int kMaxMacroEvents = 60;
constexpr int kLevelCount = 5;

// One macro event: device key code, action (1 press, 2 release), delay in ms
// after the event (little-endian).
struct MacroEvent {
  uint8_t key;
  uint8_t action;
  uint16_t delay;
};
static_assert(sizeof(MacroEvent) == 4);

// One element of MacroKeyInfo: what one button slot does.
struct ButtonRecord {
  uint8_t slot;
  uint8_t function;
  char16_t macro_name[20];
  uint8_t unused1[2];
  int32_t repeat_count;
  uint16_t event_count;
  MacroEvent events[kMaxMacroEvents];
  char16_t program_path[260];
  uint8_t unused2[2];
};
static_assert(sizeof(ButtonRecord) == 812);
static_assert(offsetof(ButtonRecord, function) == 1);
static_assert(offsetof(ButtonRecord, macro_name) == 2);
static_assert(offsetof(ButtonRecord, unused1) == 42);
static_assert(offsetof(ButtonRecord, repeat_count) == 44);
static_assert(offsetof(ButtonRecord, event_count) == 48);
static_assert(offsetof(ButtonRecord, events) == 50);
static_assert(offsetof(ButtonRecord, program_path) == 290);
static_assert(offsetof(ButtonRecord, unused2) == 810);

// Modifier bits of a key assignment (function 5), byte 1 of its first event.
enum KeyModifier : uint8_t {
  kModKeyAlone = 0x01,
  kModCtrl = 0x02,
  kModShift = 0x04,
  kModAlt = 0x08,
  kModWin = 0x10,
};

// Button function codes (byte 1 of a button record), each named once: the
// device encoder, the factory defaults, Monitor and Option's button menu all
// use these names. The device-function names follow the menu texts of the
// language modules; the mouse decides what they do.
enum ButtonFunction : uint8_t {
  kFnNone = 0,          // unused slot
  kFnLeftClick = 1,
  kFnRightClick = 2,
  kFnMiddleClick = 3,
  kFnDoubleClick = 4,
  kFnKey = 5,           // a key or key combination: event 0 holds key and modifiers
  kFnDisabled = 6,
  kFnForward = 7,
  kFnBackward = 8,
  kFnCpiUp = 9,
  kFnCpiDown = 10,
  kFnCpiCycle = 11,
  kFnCpiShift = 12,
  kFnProfileCycle = 13,
  kFnNextProfile = 14,
  kFnPreviousProfile = 15,
  kFnMacro = 16,        // name and events in the record
  kFnLaunch = 17,       // the program path of the record
  kFnRateCycle = 18,
  kFnRateUp = 19,
  kFnRateDown = 20,
  kFnFireButton = 21,
  kFnRapidFire = 22,    // sends OTGSpeed / 2
  kFnWindowsKey = 23,
  kFnOpenOption = 24,
  // Media and application keys: one consumer-control usage each, 25..42.
  kFnMediaPlayer = 25,
  kFnPreviousTrack = 26,
  kFnNextTrack = 27,
  kFnPlayPause = 28,
  kFnStop = 29,
  kFnMute = 30,
  kFnVolumeUp = 31,
  kFnVolumeDown = 32,
  kFnCalculator = 33,
  kFnEmail = 34,
  kFnFavorites = 35,
  kFnBrowserForward = 36,
  kFnBrowserBack = 37,
  kFnBrowserStop = 38,
  kFnMyComputer = 39,
  kFnRefresh = 40,
  kFnBrowserHome = 41,
  kFnSearch = 42,
  kFnLightOnOff = 45,
  kFnLightEffect = 46,
  // Built-in shortcuts: the mouse plays a fixed macro block.
  kFnCopy = 48,         // Ctrl+C
  kFnCut = 49,          // Ctrl+X
  kFnNew = 50,          // Ctrl+N
  kFnOpen = 51,         // Ctrl+O
  kFnPaste = 52,        // Ctrl+V
  kFnPrint = 53,        // Ctrl+P
  kFnRedo = 54,         // Ctrl+Y
  kFnSave = 55,         // Ctrl+S
  kFnSaveAs = 56,       // Ctrl+Shift+S
  kFnSelectAll = 57,    // Ctrl+A
  kFnUndo = 58,         // Ctrl+Z
  kFnCloseWindow = 64,  // Alt+F4
  kFnFind = 65,         // Ctrl+F
  kFnCtrlE = 66,        // Ctrl+E
  kFnMaximizeWindow = 67,  // Alt+Space, X
  kFnMinimizeWindow = 68,  // Alt+Space, N
  kFnShowDesktop = 69,  // Win+D
  kFnRun = 70,          // Win+R
  kFnTripleClick = 80,
  kFnSensitivityUp = 81,
  kFnSensitivityDown = 82,
  kFnSensitivityCycle = 83,
  kFnSwitchWindow = 84,   // Alt+Tab
  kFnLockComputer = 85,   // Win+L
  kFnProfileDevice96 = 96,  // a profile-group device function no menu offers
};

// A profile; fields are named by the keys the profile files store them under.
struct ProfileRecord {
  char16_t ProFileName[250];
  char16_t GameFile[500];
  int32_t DbleClickSpeed;
  int32_t ScrollWheelSpeed;
  int32_t ScrollWheelFlag;
  int32_t MouseSpeed;
  int32_t Acceleration;
  int32_t AccelerationFlag;
  int32_t TiltSpeed;
  int32_t AMCpi_X;
  int32_t AMCpi_Y;
  int32_t AMCpiFlag;
  int32_t Saturation;
  int32_t ProfileCPIFlag;
  int32_t LightColor;
  int32_t Brightness;
  int32_t Intervall;
  int32_t MediaOption;
  int32_t HDDKeyboard;
  int32_t Orientation;
  int32_t XYSynchronous;
  int32_t Sensitivity_X;
  int32_t Sensitivity_Y;
  int32_t Cpi_X;
  int32_t Cpi_Y;
  int32_t XYCpiFlag;
  int32_t CpiLevel_X[kLevelCount];
  int32_t CpiLevel_Y[kLevelCount];
  int32_t CpiStep;
  int32_t PollingRate;
  int32_t LiftSwitch;
  int32_t LiftLevel;
  int32_t Color_X;
  int32_t LightSwitch;
  int32_t LightType;
  int32_t LightEnable;
  int32_t ColorFlag;
  int32_t ColorOptions;
  int32_t SCrollSpinFlag;
  int32_t ColorChangeMode;
  int32_t BTOption;
  int32_t OTGSpeed;
  uint8_t dpiStepFlag[kLevelCount];
  uint8_t dpiIndicator[kLevelCount];
  uint8_t DpiIndicationType;
  uint8_t padding1;
  int32_t CpiXDefault;
  int32_t CpiYDefault;
  uint8_t BtnConfiguration;
  uint8_t Color1Type;
  uint8_t Color2Type;
  uint8_t LightEffectSwitch1;
  uint8_t LightEffectSwitch2;
  uint8_t LightEffectType1;
  uint8_t LightEffectType2;
  uint8_t ColorOptions1;
  uint8_t ColorOptions2;
  uint8_t ColorChangeModeOptions1;
  uint8_t ColorChangeModeOptions2;
  uint8_t FireOrOnToGoStatusIndicatorSetting;
  uint8_t ProfileSwitchIndictor;
  uint8_t padding2[3];
  ButtonRecord MacroKeyInfo[kButtonSlots];
};

#define MT_AT(field, off) static_assert(offsetof(ProfileRecord, field) == (off), #field)
MT_AT(ProFileName, 0);
MT_AT(GameFile, 500);
MT_AT(DbleClickSpeed, 1500);
MT_AT(ScrollWheelSpeed, 1504);
MT_AT(ScrollWheelFlag, 1508);
MT_AT(MouseSpeed, 1512);
MT_AT(Acceleration, 1516);
MT_AT(AccelerationFlag, 1520);
MT_AT(TiltSpeed, 1524);
MT_AT(AMCpi_X, 1528);
MT_AT(AMCpi_Y, 1532);
MT_AT(AMCpiFlag, 1536);
MT_AT(Saturation, 1540);
MT_AT(ProfileCPIFlag, 1544);
MT_AT(LightColor, 1548);
MT_AT(Brightness, 1552);
MT_AT(Intervall, 1556);
MT_AT(MediaOption, 1560);
MT_AT(HDDKeyboard, 1564);
MT_AT(Orientation, 1568);
MT_AT(XYSynchronous, 1572);
MT_AT(Sensitivity_X, 1576);
MT_AT(Sensitivity_Y, 1580);
MT_AT(Cpi_X, 1584);
MT_AT(Cpi_Y, 1588);
MT_AT(XYCpiFlag, 1592);
MT_AT(CpiLevel_X, 1596);
MT_AT(CpiLevel_Y, 1616);
MT_AT(CpiStep, 1636);
MT_AT(PollingRate, 1640);
MT_AT(LiftSwitch, 1644);
MT_AT(LiftLevel, 1648);
MT_AT(Color_X, 1652);
MT_AT(LightSwitch, 1656);
MT_AT(LightType, 1660);
MT_AT(LightEnable, 1664);
MT_AT(ColorFlag, 1668);
MT_AT(ColorOptions, 1672);
MT_AT(SCrollSpinFlag, 1676);
MT_AT(ColorChangeMode, 1680);
MT_AT(BTOption, 1684);
MT_AT(OTGSpeed, 1688);
MT_AT(dpiStepFlag, 1692);
MT_AT(dpiIndicator, 1697);
MT_AT(DpiIndicationType, 1702);
MT_AT(padding1, 1703);
MT_AT(CpiXDefault, 1704);
MT_AT(CpiYDefault, 1708);
MT_AT(BtnConfiguration, 1712);
MT_AT(Color1Type, 1713);
MT_AT(Color2Type, 1714);
MT_AT(LightEffectSwitch1, 1715);
MT_AT(LightEffectSwitch2, 1716);
MT_AT(LightEffectType1, 1717);
MT_AT(LightEffectType2, 1718);
MT_AT(ColorOptions1, 1719);
MT_AT(ColorOptions2, 1720);
MT_AT(ColorChangeModeOptions1, 1721);
MT_AT(ColorChangeModeOptions2, 1722);
MT_AT(FireOrOnToGoStatusIndicatorSetting, 1723);
MT_AT(ProfileSwitchIndictor, 1724);
MT_AT(padding2, 1725);
MT_AT(MacroKeyInfo, 1728);
#undef MT_AT
static_assert(sizeof(ProfileRecord) == 14720);

struct SettingsRecord {
  int32_t CurrentProfile;
  int32_t LanguageID;
  ProfileRecord profiles[kProfileCount];
  int32_t MouseType;
  int32_t MouseColor;
  int32_t button_changed[kProfileCount][kButtonSlots];
  int32_t section_changed[5][kProfileCount];
  int32_t global_changed;
};
static_assert(offsetof(SettingsRecord, LanguageID) == 4);
static_assert(offsetof(SettingsRecord, profiles) == 8);
static_assert(offsetof(SettingsRecord, MouseType) == 73608);
static_assert(offsetof(SettingsRecord, MouseColor) == 73612);
static_assert(offsetof(SettingsRecord, button_changed) == 73616);
static_assert(offsetof(SettingsRecord, section_changed) == 73936);
static_assert(offsetof(SettingsRecord, global_changed) == 74036);
static_assert(sizeof(SettingsRecord) == 74040);

// CurrentProfile = -1, every other byte 0.
void clear(SettingsRecord& record);
// All five profiles get their factory values and profile 0 becomes current;
// LanguageID, MouseType, MouseColor and the change flags stay.
void set_factory_defaults(SettingsRecord& record);
// One profile gets its factory values, named "Default<index + 1>".
// ProfileCPIFlag, ColorChangeMode and BTOption keep what they held.
void set_profile_defaults(ProfileRecord& profile, int index);
// The 80 per-button flags and the 25 section flags become 0 (not the global one).
void clear_change_flags(SettingsRecord& record);
void mark_profile_changed(SettingsRecord& record, int index);
void mark_all_changed(SettingsRecord& record);

// Callers check 0 <= index < kProfileCount first.
inline ProfileRecord& profile(SettingsRecord& record, int index) { return record.profiles[index]; }
inline const ProfileRecord& profile(const SettingsRecord& record, int index) {
  return record.profiles[index];
}
// The current profile, or nullptr while no profile is current (after clear).
inline ProfileRecord* current_profile(SettingsRecord& record) {
  int p = record.CurrentProfile;
  return (p >= 0 && p < kProfileCount) ? &record.profiles[p] : nullptr;
}
inline const ProfileRecord* current_profile(const SettingsRecord& record) {
  int p = record.CurrentProfile;
  return (p >= 0 && p < kProfileCount) ? &record.profiles[p] : nullptr;
}

}  // namespace mt
