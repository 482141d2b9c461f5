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

unsigned long X11Connection::root() const { return display_ ? DefaultRootWindow(display_) : 0; }

}  // namespace platform
