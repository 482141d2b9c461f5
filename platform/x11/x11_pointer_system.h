// The pointer settings of a profile applied to an X11 desktop.
//
// X's core pointer control has one acceleration factor (a fraction) applied
// to motion beyond one threshold. The profile's settings are mapped onto it:
// - pointer speed 1..20 gives a base factor in 32nds, 10 being 1:
//   1, 2, 4, 8, 12, 16, 20, 24, 28, 32, 40, 48, 56, 64, 72, 80, 88, 96, 104, 112;
// - acceleration {threshold1, threshold2, level}: level 0 is no acceleration
//   (the base factor beyond 1 pixel); level 1 doubles the base factor beyond
//   threshold1; level 2 multiplies it by 2 + 2 * threshold1 / threshold2
//   beyond threshold1 (by 4 when threshold2 is 0), so the rows of the
//   acceleration table keep their order of strength.
// The fraction is reduced and set with XChangePointerControl.
//
// Where GSettings is there (GNOME, and drivers such as libinput that ignore
// the core control), org.gnome.desktop.peripherals.mouse gets "speed"
// (-1..1, pointer speed 10 being 0), "accel-profile" ('flat' for level 0,
// 'adaptive' otherwise) and "double-click" (ms; the older
// org.gnome.settings-daemon.peripherals.mouse when only that has it).
// X has no double-click time and no wheel-lines setting of its own; the wheel
// lines have no desktop setting to go to and are not applied.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/pointer_system.h"
#include "platform/x11/gnome_settings.h"
#include "platform/x11/x11_connection.h"

namespace platform {

struct PointerControl {
  int numerator = 1;
  int denominator = 1;
  int threshold = 1;
};

// mouse = {threshold1, threshold2, level}, as the acceleration table holds it.
PointerControl pointer_control_for(const int (&mouse)[3], int pointer_speed);
// Pointer speed 1..20 on GSettings' -1..1 scale.
double desktop_pointer_speed(int pointer_speed);

class X11PointerSystem final : public PointerSystem {
 public:
  // settings: nullptr for none; by default gsettings when it can be used.
  explicit X11PointerSystem(const char* display_name = nullptr,
                            std::unique_ptr<DesktopSettings> settings = std::make_unique<GSettingsCommand>());

  bool connected() const { return x_.ok(); }

  void set_double_click_time(int ms) override;
  void set_mouse(const int (&params)[3]) override;
  void set_pointer_speed(int speed) override;
  void set_wheel_scroll_lines(int lines) override;

 private:
  void apply_pointer_control();
  bool has_key(const std::string& schema, const std::string& key);

  X11Connection x_;
  std::unique_ptr<DesktopSettings> settings_;
  std::map<std::string, std::vector<std::string>> schema_keys_;
  int mouse_[3] = {0, 0, 0};
  int speed_ = 10;
};

}  // namespace platform
