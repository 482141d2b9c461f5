// The key recording hook against a real X server: a private Xvfb, Option's
// side as Qt windows of this process (platform xcb), and a second X client on
// its own connection that owns another window, moves the input focus, holds
// grabs and types with XTest.
// gtest and Qt come before Xlib, whose macros (None, Bool, KeyPress ...)
// would break them.
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>

#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <chrono>
#include <initializer_list>
#include <memory>

#include "hook_test_support.h"
#include "tests/option_hook/qt_xvfb_main.h"
#include "x11_other_client.h"

namespace {

using hook_test::KeyWindow;
using hook_test::OtherClient;
using hook_test::Pairs;
using hook_test::Recorder;
using mt::KeyRecordingHook;
using Grab = KeyRecordingHook::Grab;
using namespace hook_test;  // the keycodes

const char* g_display = nullptr;  // the private server, when it started

class KeyGrabTest : public ::testing::Test {
 protected:
  std::unique_ptr<OtherClient> client;
  Display* d = nullptr;
  Window other = 0;  // the other program's window

  void SetUp() override {
    if (g_display == nullptr) GTEST_SKIP() << "no Xvfb";
    client = std::make_unique<OtherClient>(g_display);
    ASSERT_TRUE(client->ok());
    d = client->display();
    other = client->window();
  }

  void focus(Window w) { client->focus(w); }
  Window focused() { return client->focused(); }
  void type(std::initializer_list<unsigned> keycodes) { client->type(keycodes); }
  int other_keys(int count = 0, int timeout_ms = 5000) { return client->keys(count, timeout_ms); }

  static bool wait_for_pairs(const Recorder& rec, std::size_t count) {
    return QTest::qWaitFor([&] { return rec.pairs.size() >= count; }, 5000);
  }

  static void show(QWidget& w, int x) {
    w.setGeometry(x, 100, 300, 200);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  }
};

TEST_F(KeyGrabTest, ARecordingTakesEveryKeyWhileAnotherWindowHasTheFocus) {
  KeyWindow target;
  show(target, 100);
  focus(other);
  KeyRecordingHook hook;
  Recorder rec;
  ASSERT_EQ(hook.install(&target, rec.handler()), Grab::taken);

  type({kKeyA, kKeyLeftShift, kKeyRightCtrl, kKeyLeft});
  ASSERT_TRUE(wait_for_pairs(rec, 8));
  const Pairs expected = {{0x41, 0x00}, {0x41, 0x80}, {0xA0, 0x00}, {0xA0, 0x80},
                          {0xA3, 0x01}, {0xA3, 0x81}, {0x25, 0x01}, {0x25, 0x81}};
  EXPECT_EQ(rec.pairs, expected);
  EXPECT_EQ(other_keys(), 0) << "the focused window got keys during the grab";
  EXPECT_EQ(focused(), other) << "the grab takes the keys, not the focus";
  EXPECT_EQ(target.keys, 0) << "the target itself sees no key either";
}

TEST_F(KeyGrabTest, AHeldKeyRepeatsAsPressesAndEndsWithOneRelease) {
  KeyWindow target;
  show(target, 100);
  focus(other);
  KeyRecordingHook hook;
  Recorder rec;
  ASSERT_EQ(hook.install(&target, rec.handler()), Grab::taken);

  XTestFakeKeyEvent(d, kKeyLeft, True, CurrentTime);
  XSync(d, False);
  ASSERT_TRUE(wait_for_pairs(rec, 3)) << "the server repeats a held key";
  XTestFakeKeyEvent(d, kKeyLeft, False, CurrentTime);
  XSync(d, False);
  ASSERT_TRUE(QTest::qWaitFor([&] { return rec.pairs.back() == hook_test::Pair{0x25, 0x81}; }, 5000));
  for (std::size_t i = 0; i + 1 < rec.pairs.size(); ++i) EXPECT_EQ(rec.pairs[i], (hook_test::Pair{0x25, 0x01})) << i;
  EXPECT_EQ(other_keys(), 0);
}

TEST_F(KeyGrabTest, TheGrabIsReleasedByUninstallAndWithItsTarget) {
  enum Way { uninstall, destroy_target, hide_target };
  for (Way way : {uninstall, destroy_target, hide_target}) {
    SCOPED_TRACE(way);
    auto target = std::make_unique<KeyWindow>();
    show(*target, 100);
    focus(other);
    KeyRecordingHook hook;
    Recorder rec;
    ASSERT_EQ(hook.install(target.get(), rec.handler()), Grab::taken);
    type({kKeyB});
    ASSERT_TRUE(wait_for_pairs(rec, 2));

    switch (way) {
      case uninstall: EXPECT_TRUE(hook.uninstall()); break;
      case destroy_target: target.reset(); break;
      case hide_target: target->hide(); break;
    }
    EXPECT_FALSE(hook.installed());
    // Straight away, without a round of Qt's event loop: the server has let go.
    type({kKeyA});
    EXPECT_EQ(other_keys(2), 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(rec.pairs, (Pairs{{0x42, 0x00}, {0x42, 0x80}}));
  }
}

TEST_F(KeyGrabTest, WithAnotherProgramHoldingTheKeyboardOnlyOptionsOwnKeysArrive) {
  KeyWindow target;
  show(target, 100);
  ASSERT_EQ(XGrabKeyboard(d, other, False, GrabModeAsync, GrabModeAsync, CurrentTime), GrabSuccess);
  XSync(d, False);
  KeyRecordingHook hook;
  Recorder rec;
  EXPECT_EQ(hook.install(&target, rec.handler()), Grab::refused);

  // The other program lets go; keys typed into Option's window still arrive.
  XUngrabKeyboard(d, CurrentTime);
  focus(static_cast<Window>(target.winId()));
  type({kKeyA, kKeyRightCtrl});
  ASSERT_TRUE(wait_for_pairs(rec, 4));
  EXPECT_EQ(rec.pairs, (Pairs{{0x41, 0x00}, {0x41, 0x80}, {0xA3, 0x01}, {0xA3, 0x81}}));
  EXPECT_EQ(target.keys, 0);
  EXPECT_EQ(hook.grab(), Grab::refused) << "no grab taken behind the caller's back";

  // And keys typed elsewhere are not Option's.
  focus(other);
  type({kKeyB});
  EXPECT_EQ(other_keys(2), 2);
}

TEST_F(KeyGrabTest, InstalledBeforeItsWindowIsShownTheHookGrabsOnceItIs) {
  KeyWindow target;
  target.setGeometry(100, 100, 300, 200);
  KeyRecordingHook hook;
  QSignalSpy changes(&hook, &KeyRecordingHook::grab_changed);
  Recorder rec;
  ASSERT_EQ(hook.install(&target, rec.handler()), Grab::pending);

  target.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return hook.grab() != Grab::pending; }, 5000));
  EXPECT_EQ(hook.grab(), Grab::taken);
  ASSERT_EQ(changes.count(), 1);
  EXPECT_EQ(changes.at(0).at(0).value<Grab>(), Grab::taken);

  focus(other);
  type({kKeyLeft});
  ASSERT_TRUE(wait_for_pairs(rec, 2));
  EXPECT_EQ(rec.pairs, (Pairs{{0x25, 0x01}, {0x25, 0x81}}));
  EXPECT_EQ(other_keys(), 0);
}

TEST_F(KeyGrabTest, APopupClosingDoesNotEndTheGrab) {
  KeyWindow target;
  show(target, 100);
  focus(other);
  KeyRecordingHook hook;
  Recorder rec;
  ASSERT_EQ(hook.install(&target, rec.handler()), Grab::taken);

  // A popup takes the keyboard while it is open and lets go of it (ours
  // included) when it closes.
  QMenu menu(&target);
  menu.addAction("item");
  menu.popup(QPoint(150, 150));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
  menu.close();
  QCoreApplication::processEvents();

  focus(other);
  type({kKeyA});
  ASSERT_TRUE(wait_for_pairs(rec, 2));
  EXPECT_EQ(rec.pairs, (Pairs{{0x41, 0x00}, {0x41, 0x80}}));
  EXPECT_EQ(other_keys(), 0);
  EXPECT_EQ(hook.grab(), Grab::taken);
}

}  // namespace

int main(int argc, char** argv) { return hook_test::run_on_xvfb(argc, argv, g_display); }
