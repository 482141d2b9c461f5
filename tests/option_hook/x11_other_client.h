// Another program on the X server, for the tests of Option's keyboard grab:
// its own Xlib connection, its own window that counts the key events it gets,
// the input focus moved at will, and keys typed with XTest as a user types
// them. Include it after Qt and gtest (Xlib's macros break both).
#pragma once

#include <poll.h>

#include <chrono>
#include <initializer_list>

// clang-format off
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
// clang-format on

namespace hook_test {

// X keycodes (evdev code + 8).
constexpr unsigned kKeyA = 38, kKeyB = 56, kKeyLeftShift = 50, kKeyRightCtrl = 105, kKeyLeft = 113;

class OtherClient {
 public:
  // Connects to `display` and maps a window of its own there; ok() tells.
  explicit OtherClient(const char* display) : d_(XOpenDisplay(display)) {
    int event_base, error_base, major, minor;
    if (!d_ || !XTestQueryExtension(d_, &event_base, &error_base, &major, &minor)) return;
    window_ = XCreateSimpleWindow(d_, DefaultRootWindow(d_), 600, 100, 200, 100, 0, 0, 0);
    XSelectInput(d_, window_, KeyPressMask | KeyReleaseMask);
    XMapWindow(d_, window_);  // no window manager: viewable at once
    XSync(d_, False);
  }
  ~OtherClient() {
    if (d_) XCloseDisplay(d_);
  }
  OtherClient(const OtherClient&) = delete;
  OtherClient& operator=(const OtherClient&) = delete;

  bool ok() const { return d_ != nullptr && window_ != 0; }
  Display* display() const { return d_; }
  Window window() const { return window_; }

  void focus(Window w) {
    XSetInputFocus(d_, w, RevertToPointerRoot, CurrentTime);
    XSync(d_, False);
  }
  void focus_own() { focus(window_); }
  Window focused() {
    Window w = 0;
    int revert = 0;
    XGetInputFocus(d_, &w, &revert);
    return w;
  }

  // Press and release each key in turn.
  void type(std::initializer_list<unsigned> keycodes) {
    for (unsigned k : keycodes) {
      XTestFakeKeyEvent(d_, k, True, CurrentTime);
      XTestFakeKeyEvent(d_, k, False, CurrentTime);
    }
    XSync(d_, False);
  }
  void press(unsigned keycode, bool down) {
    XTestFakeKeyEvent(d_, keycode, down ? True : False, CurrentTime);
    XSync(d_, False);
  }

  // The key events the window has had, waiting until `count` came or the
  // deadline passed (0: only what is already there).
  int keys(int count = 0, int timeout_ms = 5000) {
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::milliseconds(timeout_ms);
    int got = 0;
    XSync(d_, False);
    for (;;) {
      while (XPending(d_)) {
        XEvent e;
        XNextEvent(d_, &e);
        if (e.type == KeyPress || e.type == KeyRelease) ++got;
      }
      if (got >= count || clock::now() >= deadline) return got;
      pollfd p{ConnectionNumber(d_), POLLIN, 0};
      poll(&p, 1, 50);
    }
  }

 private:
  Display* d_;
  Window window_ = 0;
};

}  // namespace hook_test
