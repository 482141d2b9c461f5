// The main() of a Qt test program that needs a real X server: a private Xvfb
// for the whole run, Qt's xcb platform on it, and every test skipping itself
// when no server could be started (`display` stays null then). Include it in
// the one source of the program that defines main():
//
//   const char* g_display = nullptr;
//   int main(int argc, char** argv) { return hook_test::run_on_xvfb(argc, argv, g_display); }
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>

#include "tests/desktop/xvfb_server.h"

// Sanitizer builds: libraries that Qt's X11 platform loads keep buffers until
// the process ends; those are not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\nleak:libfontconfig.so\n"; }

namespace hook_test {

inline int run_on_xvfb(int argc, char** argv, const char*& display) {
  ::testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();  // listing needs no display

  // The server outlives the application, whose X connection must not break.
  desktop_test::XvfbServer server;
  if (desktop_test::XvfbServer::installed() && server.start()) {
    setenv("DISPLAY", server.display(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    display = server.display();
  } else {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);  // every test skips
  }
  unsetenv("WAYLAND_DISPLAY");
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}

}  // namespace hook_test
