#include "platform/x11/x11_connection.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <mutex>

namespace platform {

namespace {

int quiet_error_handler(Display*, XErrorEvent* e) {
  // BadWindow and BadMatch are the everyday "the window went away"; the
  // request's answer already says "nothing" to its caller.
  if (e->error_code != BadWindow && e->error_code != BadMatch && e->error_code != BadDrawable)
    std::fprintf(stderr, "x11: request %d failed with error %d\n", e->request_code, e->error_code);
  return 0;
}

}  // namespace

void install_quiet_x11_error_handler() {
  static std::once_flag once;
  std::call_once(once, [] { XSetErrorHandler(quiet_error_handler); });
}

X11Connection::X11Connection(const char* display_name) {
  install_quiet_x11_error_handler();
  display_ = XOpenDisplay(display_name);
  if (!display_) std::fprintf(stderr, "x11: cannot open display %s\n", display_name ? display_name : "$DISPLAY");
}

X11Connection::~X11Connection() {
  if (display_) XCloseDisplay(display_);
}

std::optional<X11Property> read_x11_property(Display* d, unsigned long window, unsigned long name,
                                             unsigned long type, long max_longs) {
  Atom actual = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, window, name, 0, max_longs, False, type, &actual, &format, &count, &after, &data) !=
      Success)
    return std::nullopt;
  X11Property p;
  p.type = actual;
  p.format = format;
  if (data && format == 32) {
    const long* items = reinterpret_cast<const long*>(data);
    p.items32.assign(items, items + count);
  } else if (data && format == 8) {
    p.bytes8.assign(reinterpret_cast<const char*>(data), count);
  }
  if (data) XFree(data);
  return p;
}

unsigned long X11Connection::root() const { return display_ ? DefaultRootWindow(display_) : 0; }

}  // namespace platform
