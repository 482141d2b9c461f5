// The process behind the foreground window of an X11 desktop: the window the
// window manager names in the root's _NET_ACTIVE_WINDOW, and its _NET_WM_PID.
#pragma once

#include <optional>

#include "platform/x11/x11_connection.h"

namespace platform {

class X11Foreground {
 public:
  explicit X11Foreground(const char* display_name = nullptr);

  bool connected() const { return x_.ok(); }

  // Nothing when there is no active window, it gives no process id, or it
  // belongs to a program on another machine (its id means nothing here).
  std::optional<int> foreground_pid();

 private:
  X11Connection x_;
};

}  // namespace platform
