// The desktop side of the pointer settings: what applying a profile's
// double-click time, acceleration, pointer speed and wheel lines does to the
// session. The X11 backend (platform/x11/x11_pointer_system.h) is the real
// one; tests record the calls (common/pointer_settings_fake.h).
#pragma once

namespace platform {

// Each call changes the setting for the whole session and tells other
// programs about it.
class PointerSystem {
 public:
  virtual ~PointerSystem() = default;
  virtual void set_double_click_time(int ms) = 0;
  // {MouseThreshold1, MouseThreshold2, MouseSpeed}: acceleration.
  virtual void set_mouse(const int (&params)[3]) = 0;
  // Pointer speed 1..20.
  virtual void set_pointer_speed(int speed) = 0;
  // Lines per wheel notch; -1 scrolls one page.
  virtual void set_wheel_scroll_lines(int lines) = 0;
};

}  // namespace platform
