// The X11 backends against a real X server (Xvfb) and real client windows.
// gtest comes before Xlib, whose macros (None, Bool ...) would break it.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
// clang-format on
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

#include <cstring>
#include <map>
#include <memory>
#include <utility>

#include "monitor/program_watch.h"
#include "monitor/scroll_finder.h"
#include "platform/text.h"
#include "platform/window_messages.h"
#include "platform/x11/x11_foreground.h"
#include "common/pointer_settings.h"
#include "platform/x11/x11_pointer_system.h"
#include "platform/x11/x11_window_tree.h"
#include "xvfb_server.h"

namespace {

using desktop_test::XvfbServer;

long long now_ms() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

class X11Test : public ::testing::Test {
 protected:
  XvfbServer server;
  Display* d = nullptr;
  Window root = 0;

  void SetUp() override {
    if (!XvfbServer::installed()) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(server.start());
    d = XOpenDisplay(server.display());
    ASSERT_NE(d, nullptr);
    root = DefaultRootWindow(d);
  }
  void TearDown() override {
    if (d) XCloseDisplay(d);
  }

  // A mapped client window with a WM_CLASS, listening for button presses.
  Window client(const char* cls, int x, int y, int w, int h) {
    Window win = XCreateSimpleWindow(d, root, x, y, w, h, 0, 0, 0);
    XClassHint hint{const_cast<char*>("test"), const_cast<char*>(cls)};
    XSetClassHint(d, win, &hint);
    XSelectInput(d, win, ButtonPressMask);
    XMapWindow(d, win);
    XSync(d, False);
    return win;
  }

  void warp(int x, int y) {
    XWarpPointer(d, 0, root, 0, 0, 0, 0, x, y);
    XSync(d, False);
  }

  // Button presses until `count` have come or the server has been quiet for
  // the deadline.
  std::vector<XButtonEvent> presses(std::size_t count, int timeout_ms = 5000) {
    std::vector<XButtonEvent> got;
    long long deadline = now_ms() + timeout_ms;
    while (got.size() < count && now_ms() < deadline) {
      while (XPending(d) && got.size() < count) {
        XEvent e;
        XNextEvent(d, &e);
        if (e.type == ButtonPress) got.push_back(e.xbutton);
      }
      if (got.size() >= count) break;
      pollfd p{ConnectionNumber(d), POLLIN, 0};
      poll(&p, 1, static_cast<int>(deadline - now_ms() > 0 ? deadline - now_ms() : 0));
    }
    return got;
  }

  void set_card32(Window w, const char* name, Atom type, unsigned long value) {
    long v = static_cast<long>(value);
    XChangeProperty(d, w, XInternAtom(d, name, False), type, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&v), 1);
    XSync(d, False);
  }
};

TEST_F(X11Test, TreeReportsClassStyleAndGeometry) {
  Window w = client("ScrollTest", 100, 100, 400, 300);
  platform::X11WindowTree tree(server.display());
  ASSERT_TRUE(tree.connected());
  EXPECT_EQ(tree.class_name(w), "ScrollTest");
  EXPECT_EQ(tree.class_name(root), "");
  EXPECT_TRUE(tree.style(w) & platform::WindowTree::WS_HSCROLL);
  EXPECT_EQ(tree.style(root), 0u);
  EXPECT_EQ(tree.window_from_point({300, 250}), w);
  EXPECT_EQ(tree.window_from_point({10, 10}), root);
  platform::Rect r;
  ASSERT_TRUE(tree.window_rect(w, r));
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.top, 100);
  EXPECT_EQ(r.right, 500);
  EXPECT_EQ(r.bottom, 400);
  EXPECT_EQ(tree.parent(w), 0u);
  EXPECT_EQ(tree.child_from_point(w, {10, 10}), w);
  EXPECT_EQ(tree.child_from_point(w, {-1, 10}), 0u);

  // A window that has gone answers "nothing" and does not end the program.
  XDestroyWindow(d, w);
  XSync(d, False);
  EXPECT_EQ(tree.class_name(w), "");
  EXPECT_EQ(tree.style(w), 0u);
  EXPECT_FALSE(tree.window_rect(w, r));
  EXPECT_EQ(tree.next_sibling(w), 0u);
}

TEST_F(X11Test, TiltSendsHorizontalWheelClicksToTheWindowUnderThePointer) {
  Window w = client("ScrollTest", 100, 100, 400, 300);
  warp(300, 250);
  platform::X11WindowTree tree(server.display());
  mt::CFindScrollBar finder(tree);

  finder.scroll(-1, 3);
  std::vector<XButtonEvent> got = presses(3);
  ASSERT_EQ(got.size(), 3u);
  for (const XButtonEvent& e : got) {
    EXPECT_EQ(e.button, 7u);
    EXPECT_EQ(e.window, w);
  }

  finder.scroll(+1, 2);
  got = presses(2);
  ASSERT_EQ(got.size(), 2u);
  for (const XButtonEvent& e : got) EXPECT_EQ(e.button, 6u);
}

TEST_F(X11Test, SpreadsheetClickIsMadeAtTheBarsEndAndThePointerComesBack) {
  Window w = client("EXCEL7", 100, 100, 400, 300);
  warp(300, 250);
  platform::X11WindowTree tree(server.display());
  mt::CFindScrollBar(tree).scroll(-1, 2);
  std::vector<XButtonEvent> got = presses(2);
  ASSERT_EQ(got.size(), 2u);
  for (const XButtonEvent& e : got) {
    EXPECT_EQ(e.window, w);
    EXPECT_EQ(e.button, 1u);
    EXPECT_EQ(e.x, 395);
    EXPECT_EQ(e.y, 5);
  }
  Window r, c;
  int rx, ry, wx, wy;
  unsigned mask;
  ASSERT_TRUE(XQueryPointer(d, root, &r, &c, &rx, &ry, &wx, &wy, &mask));
  EXPECT_EQ(rx, 300);
  EXPECT_EQ(ry, 250);
}

TEST_F(X11Test, SwappedButtonsStillClickThePrimaryButton) {
  unsigned char map[32];
  int n = XGetPointerMapping(d, map, sizeof map);
  ASSERT_GE(n, 3);
  std::swap(map[0], map[2]);
  ASSERT_EQ(XSetPointerMapping(d, map, n), MappingSuccess);
  XSync(d, False);

  Window w = client("EXCEL7", 100, 100, 400, 300);
  warp(300, 250);
  platform::X11WindowTree tree(server.display());
  EXPECT_TRUE(tree.mouse_buttons_swapped());
  mt::CFindScrollBar(tree).scroll(+1, 1);
  std::vector<XButtonEvent> got = presses(1);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].window, w);
  EXPECT_EQ(got[0].button, 1u);  // the logical primary button
  EXPECT_EQ(got[0].x, 5);
}

TEST_F(X11Test, DesktopWindowIsNotScrolled) {
  Window w = client("Desktop", 0, 0, 1024, 768);
  Atom desktop = XInternAtom(d, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
  set_card32(w, "_NET_WM_WINDOW_TYPE", XA_ATOM, desktop);
  warp(300, 250);
  platform::X11WindowTree tree(server.display());
  EXPECT_EQ(tree.window_from_point({300, 250}), root);
  mt::CFindScrollBar(tree).scroll(-1, 3);
  // One click of our own as a marker: it must be the only press.
  tree.post_message(w, platform::WM_HSCROLL, 0, 0);
  std::vector<XButtonEvent> got = presses(4, 1000);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].button, 6u);
}

class ForegroundTest : public X11Test {
 protected:
  pid_t sleeper = -1;
  void SetUp() override {
    X11Test::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    char arg0[] = "sleep", arg1[] = "60";
    char* argv[] = {arg0, arg1, nullptr};
    ASSERT_EQ(posix_spawn(&sleeper, "/bin/sleep", nullptr, nullptr, argv, environ), 0);
  }
  void TearDown() override {
    if (sleeper > 0) {
      kill(sleeper, SIGKILL);
      waitpid(sleeper, nullptr, 0);
    }
    X11Test::TearDown();
  }
};

TEST_F(ForegroundTest, WatchFindsTheProgramOfTheActiveWindow) {
  Window w = client("Sleeper", 0, 0, 100, 100);
  set_card32(w, "_NET_WM_PID", XA_CARDINAL, static_cast<unsigned long>(sleeper));
  platform::X11Foreground fg(server.display());
  EXPECT_EQ(fg.foreground_pid(), std::nullopt);  // no active window yet
  set_card32(root, "_NET_ACTIVE_WINDOW", XA_WINDOW, w);
  EXPECT_EQ(fg.foreground_pid(), static_cast<int>(sleeper));

  auto record = std::make_unique<mt::SettingsRecord>();
  mt::clear(*record);
  record->CurrentProfile = 0;
  platform::set_fixed_text(record->profiles[2].GameFile, u"C:\\WINDOWS\\SYSTEM32\\SLEEP");
  mt::ProcProcessTable processes;
  mt::CProgramWatch watch([&] { return fg.foreground_pid(); }, processes);
  EXPECT_EQ(watch.tick(*record), 2);
}

TEST_F(ForegroundTest, ActiveWindowWithoutAUsablePidGivesNothing) {
  platform::X11Foreground fg(server.display());
  set_card32(root, "_NET_ACTIVE_WINDOW", XA_WINDOW, 0);
  EXPECT_EQ(fg.foreground_pid(), std::nullopt);

  Window w = client("NoPid", 0, 0, 100, 100);
  set_card32(root, "_NET_ACTIVE_WINDOW", XA_WINDOW, w);
  EXPECT_EQ(fg.foreground_pid(), std::nullopt);

  // A program shown here from another machine: its pid is not ours to look up.
  set_card32(w, "_NET_WM_PID", XA_CARDINAL, static_cast<unsigned long>(sleeper));
  const char other[] = "elsewhere.invalid";
  XChangeProperty(d, w, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(other), sizeof other - 1);
  XSync(d, False);
  EXPECT_EQ(fg.foreground_pid(), std::nullopt);

  // The active window has gone.
  XDestroyWindow(d, w);
  XSync(d, False);
  EXPECT_EQ(fg.foreground_pid(), std::nullopt);
}

struct ControlCase {
  int mouse[3];
  int speed;
  int num, den, threshold;
};
const ControlCase kControlCases[] = {
    {{0, 0, 0}, 10, 1, 1, 1},    {{6, 0, 1}, 10, 2, 1, 6},    {{13, 0, 1}, 10, 2, 1, 13},
    {{4, 13, 2}, 10, 34, 13, 4}, {{4, 5, 2}, 10, 18, 5, 4},   {{0, 0, 0}, 20, 7, 2, 1},
    {{0, 0, 0}, 1, 1, 32, 1},    {{4, 5, 2}, 15, 81, 10, 4},  {{0, 0, 0}, 0, 1, 32, 1},
    {{0, 0, 0}, 99, 7, 2, 1},    {{-5, -9, 7}, 10, 4, 1, 1},  {{99999, 99999, 2}, 10, 4, 1, 1000},
};

TEST(PointerControlMappingTest, RowsAndSpeedsMapToOneFraction) {
  for (const ControlCase& c : kControlCases) {
    platform::PointerControl p = platform::pointer_control_for(c.mouse, c.speed);
    EXPECT_EQ(p.numerator, c.num) << c.mouse[0] << "," << c.mouse[1] << "," << c.mouse[2] << " @" << c.speed;
    EXPECT_EQ(p.denominator, c.den) << c.mouse[0] << "," << c.mouse[1] << "," << c.mouse[2] << " @" << c.speed;
    EXPECT_EQ(p.threshold, c.threshold) << c.mouse[0] << "," << c.mouse[1] << "," << c.mouse[2] << " @" << c.speed;
  }
  // Every row of the table accelerates at least as hard as the one before.
  // (Row 0 is no acceleration at all and is left out.)
  double last = 0;
  for (int i = 1; i < mt::kAccelerationRows; ++i) {
    const mt::AccelerationRow& row = mt::kAccelerationTable[i];
    const int m[3] = {row.threshold1, row.threshold2, row.speed};
    platform::PointerControl p = platform::pointer_control_for(m, 10);
    double strength = static_cast<double>(p.numerator) / p.denominator / p.threshold;
    EXPECT_GE(strength, last) << row.speed << "," << row.threshold1 << "," << row.threshold2;
    last = strength;
  }
}

TEST_F(X11Test, PointerControlReadsBackAsSet) {
  platform::X11PointerSystem system(server.display(), nullptr);
  ASSERT_TRUE(system.connected());
  for (const ControlCase& c : kControlCases) {
    system.set_mouse(c.mouse);
    system.set_pointer_speed(c.speed);
    int num = 0, den = 0, threshold = 0;
    XGetPointerControl(d, &num, &den, &threshold);
    EXPECT_EQ(num, c.num);
    EXPECT_EQ(den, c.den);
    EXPECT_EQ(threshold, c.threshold);
  }
  // Neither has an X setting; they must leave the control alone.
  system.set_double_click_time(500);
  system.set_wheel_scroll_lines(-1);
  int num = 0, den = 0, threshold = 0;
  XGetPointerControl(d, &num, &den, &threshold);
  EXPECT_EQ(num, kControlCases[std::size(kControlCases) - 1].num);
}

class FakeDesktopSettings : public platform::DesktopSettings {
 public:
  std::map<std::string, std::vector<std::string>> schemas;
  std::vector<std::string> sets;
  int lookups = 0;
  std::vector<std::string> keys(std::string_view schema) override {
    ++lookups;
    auto it = schemas.find(std::string(schema));
    return it == schemas.end() ? std::vector<std::string>() : it->second;
  }
  void set(std::string_view schema, std::string_view key, std::string_view value) override {
    sets.push_back(std::string(schema) + " " + std::string(key) + " " + std::string(value));
  }
};

TEST(DesktopSettingsTest, GnomeKeysFollowTheProfile) {
  auto fake = std::make_unique<FakeDesktopSettings>();
  FakeDesktopSettings* settings = fake.get();
  settings->schemas["org.gnome.desktop.peripherals.mouse"] = {"accel-profile", "double-click", "speed"};
  platform::X11PointerSystem system("no-such-display:99", std::move(fake));
  EXPECT_FALSE(system.connected());
  system.set_double_click_time(500);
  system.set_mouse({4, 13, 2});
  system.set_mouse({0, 0, 0});
  for (int speed : {1, 5, 10, 15, 20}) system.set_pointer_speed(speed);
  system.set_wheel_scroll_lines(3);
  system.set_double_click_time(0);
  const std::string m = "org.gnome.desktop.peripherals.mouse ";
  EXPECT_EQ(settings->sets,
            (std::vector<std::string>{m + "double-click 500", m + "accel-profile 'adaptive'", m + "accel-profile 'flat'",
                                      m + "speed -1.000", m + "speed -0.556", m + "speed 0.000", m + "speed 0.500",
                                      m + "speed 1.000"}));
  EXPECT_EQ(settings->lookups, 1);  // the schema is asked for once
}

TEST(DesktopSettingsTest, OlderOrMissingSchemas) {
  auto fake = std::make_unique<FakeDesktopSettings>();
  FakeDesktopSettings* settings = fake.get();
  settings->schemas["org.gnome.settings-daemon.peripherals.mouse"] = {"double-click"};
  platform::X11PointerSystem system("no-such-display:99", std::move(fake));
  system.set_double_click_time(450);
  system.set_mouse({6, 0, 1});
  system.set_pointer_speed(12);
  EXPECT_EQ(settings->sets, (std::vector<std::string>{"org.gnome.settings-daemon.peripherals.mouse double-click 450"}));

  platform::X11PointerSystem bare("no-such-display:99", nullptr);
  bare.set_double_click_time(450);
  bare.set_mouse({6, 0, 1});
  bare.set_pointer_speed(12);  // nothing to do, nothing breaks
}

}  // namespace
