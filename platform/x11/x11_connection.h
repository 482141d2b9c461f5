// One Xlib connection of our own, separate from the toolkit's, so the
// desktop helpers can query and inject without touching its event stream.
// Xlib's headers stay out of this header: they define macros (None, Bool,
// Status ...) that clash with other code.
#pragma once

#include <string>

struct _XDisplay;

namespace platform {

class X11Connection {
 public:
  // nullptr: the display $DISPLAY names.
  explicit X11Connection(const char* display_name = nullptr);
  ~X11Connection();
  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  bool ok() const { return display_ != nullptr; }
  _XDisplay* display() const { return display_; }
  unsigned long root() const;

 private:
  _XDisplay* display_ = nullptr;
};

// Windows vanish between any two requests; the default Xlib error handler
// would end the program for that. Installed by every X11Connection.
void install_quiet_x11_error_handler();

}  // namespace platform
