// One Xlib connection of our own, separate from the toolkit's, so the
// desktop helpers can query and inject without touching its event stream.
// Xlib's headers stay out of this header: they define macros (None, Bool,
// Status ...) that clash with other code.
#pragma once

#include <optional>
#include <string>
#include <vector>

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

// One property of a window as Xlib hands it over: its actual type and
// format, and its items (format 32: one long each; format 8: the bytes).
// Nothing when the request fails. `type` 0 accepts any type; at most
// `max_longs` 32-bit units are read.
struct X11Property {
  unsigned long type = 0;
  int format = 0;
  std::vector<long> items32;
  std::string bytes8;
};
std::optional<X11Property> read_x11_property(_XDisplay* display, unsigned long window, unsigned long name,
                                             unsigned long type, long max_longs);

// Windows vanish between any two requests; the default Xlib error handler
// would end the program for that. Installed by every X11Connection.
void install_quiet_x11_error_handler();

}  // namespace platform
