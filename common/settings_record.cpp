#include "common/settings_record.h"

#include <cstring>

#include "platform/text.h"

namespace mt {

namespace {

constexpr uint8_t kFactoryFunctions[kButtonSlots] = {
    kFnLeftClick, kFnRightClick, kFnMiddleClick, kFnForward, kFnBackward, kFnNextProfile, kFnPreviousProfile,
    kFnNone,      kFnNone,       kFnNone,        kFnNone,    kFnNone,     kFnNone,        kFnNone,
    kFnCpiUp,     kFnCpiDown};
constexpr uint8_t kProfileIndicators[kProfileCount] = {1, 3, 2, 5, 4};

}  // namespace

void clear(SettingsRecord& record) {
  std::memset(&record, 0, sizeof record);
  record.CurrentProfile = -1;
}

void set_profile_defaults(ProfileRecord& p, int index) {
  std::u16string name = u"Default" + platform::to_u16(index + 1);
  platform::set_fixed_text(p.ProFileName, name);
  platform::set_fixed_text(p.GameFile, u"");

  p.DbleClickSpeed = 500;
  p.ScrollWheelSpeed = 3;
  p.ScrollWheelFlag = 0;
  p.MouseSpeed = 10;
  p.Acceleration = 10;
  p.AccelerationFlag = 0;
  p.TiltSpeed = 3;
  p.AMCpi_X = 20;
  p.AMCpi_Y = 20;
  p.AMCpiFlag = 0;
  p.Saturation = 25;
  // ProfileCPIFlag, ColorChangeMode and BTOption are not factory values.
  p.LightColor = 255;
  p.Brightness = 0;
  p.Intervall = 4;
  p.MediaOption = 0;
  p.HDDKeyboard = 1;
  p.Orientation = 0;
  p.XYSynchronous = 0;
  p.Sensitivity_X = 10;
  p.Sensitivity_Y = 10;
  p.Cpi_X = 4;
  p.Cpi_Y = 4;
  p.XYCpiFlag = 1;
  for (int i = 0; i < kLevelCount; ++i) {
    p.CpiLevel_X[i] = 2 * i + 4;
    p.CpiLevel_Y[i] = 2 * i + 4;
    p.dpiStepFlag[i] = 1;
    p.dpiIndicator[i] = static_cast<uint8_t>(i + 1);
  }
  p.CpiStep = 2;
  p.PollingRate = 2;
  p.LiftSwitch = 1;
  p.LiftLevel = 1;
  p.Color_X = 318;
  p.LightSwitch = 1;
  p.LightType = 1;
  p.LightEnable = 1;
  p.ColorFlag = 0;
  p.ColorOptions = 1;
  p.SCrollSpinFlag = 1;
  p.OTGSpeed = 50;
  p.DpiIndicationType = 1;
  p.padding1 = 0;
  p.CpiXDefault = 4;
  p.CpiYDefault = 4;
  p.BtnConfiguration = 2;
  p.Color1Type = 1;
  p.Color2Type = 1;
  p.LightEffectSwitch1 = 1;
  p.LightEffectSwitch2 = 0;
  p.LightEffectType1 = 1;
  p.LightEffectType2 = 1;
  p.ColorOptions1 = 0;
  p.ColorOptions2 = 0;
  p.ColorChangeModeOptions1 = 0;
  p.ColorChangeModeOptions2 = 0;
  p.FireOrOnToGoStatusIndicatorSetting = 1;
  p.ProfileSwitchIndictor = (index >= 0 && index < kProfileCount) ? kProfileIndicators[index] : 1;
  std::memset(p.padding2, 0, sizeof p.padding2);

  std::memset(p.MacroKeyInfo, 0, sizeof p.MacroKeyInfo);
  for (int b = 0; b < kButtonSlots; ++b) {
    p.MacroKeyInfo[b].slot = static_cast<uint8_t>(b);
    p.MacroKeyInfo[b].function = kFactoryFunctions[b];
  }
}

void set_factory_defaults(SettingsRecord& record) {
  record.CurrentProfile = 0;
  for (int p = 0; p < kProfileCount; ++p) set_profile_defaults(record.profiles[p], p);
}

void clear_change_flags(SettingsRecord& record) {
  std::memset(record.button_changed, 0, sizeof record.button_changed);
  std::memset(record.section_changed, 0, sizeof record.section_changed);
}

void mark_profile_changed(SettingsRecord& record, int index) {
  if (index < 0 || index >= kProfileCount) return;
  for (int b = 0; b < kButtonSlots; ++b) record.button_changed[index][b] = 1;
  for (auto& group : record.section_changed) group[index] = 1;
  record.global_changed = 1;
}

void mark_all_changed(SettingsRecord& record) {
  for (auto& row : record.button_changed)
    for (auto& flag : row) flag = 1;
  for (auto& group : record.section_changed)
    for (auto& flag : group) flag = 1;
  record.global_changed = 1;
}

}  // namespace mt
