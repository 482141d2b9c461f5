#include "platform/x11/x11_pointer_system.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <charconv>
#include <numeric>

namespace platform {

namespace {

constexpr int kSpeedIn32nds[20] = {1, 2, 4, 8, 12, 16, 20, 24, 28, 32, 40, 48, 56, 64, 72, 80, 88, 96, 104, 112};
constexpr int kMaxThreshold = 1000;

constexpr char kMouseSchema[] = "org.gnome.desktop.peripherals.mouse";
constexpr char kOldMouseSchema[] = "org.gnome.settings-daemon.peripherals.mouse";

}  // namespace

PointerControl pointer_control_for(const int (&mouse)[3], int pointer_speed) {
  long long num = kSpeedIn32nds[std::clamp(pointer_speed, 1, 20) - 1];
  long long den = 32;
  int level = std::clamp(mouse[2], 0, 2);
  int t1 = std::clamp(mouse[0], 1, kMaxThreshold);
  int t2 = std::clamp(mouse[1], 0, kMaxThreshold);
  int threshold = 1;
  if (level == 1) {
    num *= 2;
    threshold = t1;
  } else if (level == 2) {
    threshold = t1;
    if (t2 > 0) {
      num *= 2LL * (t2 + t1);
      den *= t2;
    } else {
      num *= 4;
    }
  }
  long long g = std::gcd(num, den);
  return {static_cast<int>(num / g), static_cast<int>(den / g), threshold};
}

double desktop_pointer_speed(int pointer_speed) {
  int s = std::clamp(pointer_speed, 1, 20);
  return s <= 10 ? (s - 10) / 9.0 : (s - 10) / 10.0;
}

X11PointerSystem::X11PointerSystem(const char* display_name, std::unique_ptr<DesktopSettings> settings)
    : x_(display_name), settings_(std::move(settings)) {}

bool X11PointerSystem::has_key(const std::string& schema, const std::string& key) {
  if (!settings_) return false;
  auto it = schema_keys_.find(schema);
  if (it == schema_keys_.end()) it = schema_keys_.emplace(schema, settings_->keys(schema)).first;
  return std::find(it->second.begin(), it->second.end(), key) != it->second.end();
}

void X11PointerSystem::apply_pointer_control() {
  if (!x_.ok()) return;
  PointerControl c = pointer_control_for(mouse_, speed_);
  XChangePointerControl(x_.display(), True, True, c.numerator, c.denominator, c.threshold);
  XSync(x_.display(), False);
}

void X11PointerSystem::set_double_click_time(int ms) {
  if (ms <= 0) return;
  std::string value = std::to_string(ms);
  if (has_key(kMouseSchema, "double-click"))
    settings_->set(kMouseSchema, "double-click", value);
  else if (has_key(kOldMouseSchema, "double-click"))
    settings_->set(kOldMouseSchema, "double-click", value);
}

void X11PointerSystem::set_mouse(const int (&params)[3]) {
  std::copy(params, params + 3, mouse_);
  apply_pointer_control();
  if (has_key(kMouseSchema, "accel-profile"))
    settings_->set(kMouseSchema, "accel-profile", mouse_[2] == 0 ? "'flat'" : "'adaptive'");
}

void X11PointerSystem::set_pointer_speed(int speed) {
  speed_ = speed;
  apply_pointer_control();
  if (has_key(kMouseSchema, "speed")) {
    // GVariant wants a '.' whatever the user's locale says.
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, desktop_pointer_speed(speed), std::chars_format::fixed, 3);
    settings_->set(kMouseSchema, "speed", std::string(buf, r.ptr));
  }
}

void X11PointerSystem::set_wheel_scroll_lines(int) {}

}  // namespace platform
