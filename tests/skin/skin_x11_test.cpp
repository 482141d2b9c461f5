// A skinned window on a real X server (a private Xvfb, no window manager):
// its mask really shapes it, and a drag by its surface really moves it.
// The pointer is driven through XTest, as a user's mouse would be.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <memory>
#include <vector>

#include "option/skin/skinned_window.h"
#include "option/skin/window_drag.h"
#include "xvfb_server.h"
// Xlib last: its macros (Status, Bool, None) break the Qt headers.
// clang-format off
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
// clang-format on

namespace {

desktop_test::XvfbServer* g_server = nullptr;

// Presses that reach the window, in window coordinates.
class PressLog : public QObject {
 public:
  std::vector<QPoint> presses;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::MouseButtonPress) presses.push_back(static_cast<QMouseEvent*>(e)->position().toPoint());
    return false;
  }
};

// 160 x 100, dark, with the top-left 60 x 40 white in the mask: outside.
mt::SkinPictureSet shaped_skin() {
  mt::SkinPictureSet set;
  set.normal = QImage(160, 100, QImage::Format_RGB32);
  set.normal.fill(QColor(30, 30, 34));
  set.over = set.down = set.disable = set.normal;
  set.mask = QRegion(0, 0, 160, 100) - QRegion(0, 0, 60, 40);
  set.size = QSize(160, 100);
  return set;
}

class SkinX11 : public ::testing::Test {
 protected:
  Display* d = nullptr;
  void SetUp() override {
    if (!g_server) GTEST_SKIP() << "no Xvfb";
    d = XOpenDisplay(g_server->display());
    ASSERT_NE(d, nullptr);
  }
  void TearDown() override {
    if (d) XCloseDisplay(d);
  }
  void pointer_to(int x, int y) {
    XTestFakeMotionEvent(d, -1, x, y, CurrentTime);
    XFlush(d);
  }
  void button(bool down) {
    XTestFakeButtonEvent(d, 1, down ? True : False, CurrentTime);
    XFlush(d);
  }
  void click(int x, int y) {
    pointer_to(x, y);
    button(true);
    button(false);
  }
  // Where the X server has the window now, in root coordinates.
  QPoint x_position(QWidget& w) {
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(d, static_cast<Window>(w.winId()), DefaultRootWindow(d), 0, 0, &x, &y, &child);
    return QPoint(x, y);
  }
};

TEST_F(SkinX11, AClickOnTheMasksWhiteDoesNotReachTheWindow) {
  mt::CSkinDialog w(nullptr);
  w.set_skin(shaped_skin());
  PressLog log;
  w.installEventFilter(&log);
  w.move(100, 100);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  ASSERT_TRUE(QTest::qWaitFor([&] { return x_position(w) == QPoint(100, 100); }));

  click(100 + 20, 100 + 20);  // white in the mask: the root window gets it
  click(100 + 120, 100 + 70);  // inside: the window gets it, after the first would have
  ASSERT_TRUE(QTest::qWaitFor([&] { return !log.presses.empty(); }));
  EXPECT_EQ(log.presses, (std::vector<QPoint>{QPoint(120, 70)}));

  // The shape has the window's corner, not just its painting.
  click(100 + 70, 100 + 20);  // right of the cut-out, still inside
  ASSERT_TRUE(QTest::qWaitFor([&] { return log.presses.size() == 2; }));
  EXPECT_EQ(log.presses.back(), QPoint(70, 20));
}

TEST_F(SkinX11, DraggingTheSurfaceMovesTheWindow) {
  mt::CSkinDialog w(nullptr);
  w.set_skin(shaped_skin());
  w.move(300, 200);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  ASSERT_TRUE(QTest::qWaitFor([&] { return x_position(w) == QPoint(300, 200); }));

  // No window manager here: the drag falls back to moving the window itself.
  pointer_to(300 + 100, 200 + 60);
  button(true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.drag()->dragging(); }));
  for (int step = 1; step <= 5; ++step) {
    pointer_to(400 + step * 10, 260 + step * 6);
    // Each step lands before the next, as a real hand's would.
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.pos() == QPoint(300 + step * 10, 200 + step * 6); }));
  }
  button(false);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.drag()->dragging(); }));
  EXPECT_TRUE(QTest::qWaitFor([&] { return x_position(w) == QPoint(350, 230); }));
}

}  // namespace

// The xcb platform loads the session bus library, which keeps one allocation
// until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();  // listing needs no X server
  std::unique_ptr<desktop_test::XvfbServer> server;
  if (desktop_test::XvfbServer::installed()) {
    server = std::make_unique<desktop_test::XvfbServer>();
    if (server->start()) {
      g_server = server.get();
      setenv("DISPLAY", g_server->display(), 1);
      setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
  }
  if (!g_server) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int code = 0;
  {
    QApplication app(argc, argv);
    code = RUN_ALL_TESTS();
  }
  return code;
}
