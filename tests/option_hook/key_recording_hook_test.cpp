// The hook where no grab exists (offscreen): keys typed into Option's own
// windows are still taken, converted from their Qt keys and posted to the
// target; the hook goes on every way out.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QShortcut>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <memory>
#include <string>

#include "hook_test_support.h"

namespace {

using hook_test::KeyWindow;
using hook_test::Pairs;
using hook_test::Recorder;
using mt::KeyRecordingHook;
using Grab = KeyRecordingHook::Grab;

// A shown, active window with a line edit in it and a Ctrl+K shortcut.
struct Dialog {
  KeyWindow window;
  QLineEdit* edit = new QLineEdit;
  QShortcut* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_K), &window);
  int shortcuts = 0;

  Dialog() {
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(edit);
    QObject::connect(shortcut, &QShortcut::activated, [this] { ++shortcuts; });
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
  }
};

TEST(KeyRecordingHook, WithoutAGrabKeysTypedIntoOptionArrivePostedAndReachNoWidget) {
  Dialog dialog;
  KeyRecordingHook hook;
  Recorder rec;
  // Before the window is shown or after: no platform grab here, and no waiting for one.
  QWidget unshown;
  EXPECT_EQ(hook.install(&unshown, rec.handler()), Grab::refused);
  EXPECT_EQ(hook.install(&dialog.window, rec.handler()), Grab::refused);
  EXPECT_TRUE(hook.installed());
  EXPECT_NE(hook.handle(), 0u);

  QTest::keyClick(dialog.edit, Qt::Key_A);
  EXPECT_TRUE(rec.pairs.empty()) << "delivered from the event loop, not inside the key event";
  QTest::keyClick(dialog.edit, Qt::Key_K, Qt::ControlModifier);  // Ctrl down, K, Ctrl up
  QTest::keyClick(dialog.edit, Qt::Key_Left);
  QTest::keyClick(dialog.edit, Qt::Key_Exclam, Qt::ShiftModifier);
  // Made by a program, not typed: swallowed, not recorded.
  QKeyEvent made(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, "b");
  QCoreApplication::sendEvent(dialog.edit, &made);
  QCoreApplication::processEvents();

  const Pairs expected = {{0x41, 0x00}, {0x41, 0x80}, {0xA2, 0x00}, {0x4B, 0x00}, {0x4B, 0x80},
                          {0xA2, 0x80}, {0x25, 0x01}, {0x25, 0x81}, {0xA0, 0x00}, {0x31, 0x00},
                          {0x31, 0x80}, {0xA0, 0x80}};
  EXPECT_EQ(rec.pairs, expected);
  EXPECT_EQ(dialog.edit->text(), "");
  EXPECT_EQ(dialog.window.keys, 0);
  EXPECT_EQ(dialog.shortcuts, 0);

  EXPECT_TRUE(hook.uninstall());
  EXPECT_FALSE(hook.installed());
  EXPECT_EQ(hook.grab(), Grab::none);
  EXPECT_FALSE(hook.uninstall()) << "nothing left to remove";
  QTest::keyClick(dialog.edit, Qt::Key_A);
  QTest::keyClick(dialog.edit, Qt::Key_K, Qt::ControlModifier);
  QCoreApplication::processEvents();
  EXPECT_EQ(rec.pairs, expected);
  EXPECT_EQ(dialog.edit->text(), "a");
  EXPECT_EQ(dialog.shortcuts, 1);
}

TEST(KeyRecordingHook, GoesOnEveryWayOutOfItsTarget) {
  enum Way { uninstall, hide, close, destroy_target, destroy_hook };
  for (Way way : {uninstall, hide, close, destroy_target, destroy_hook}) {
    SCOPED_TRACE(way);
    Dialog dialog;
    auto target = std::make_unique<KeyWindow>();
    target->show();
    auto hook = std::make_unique<KeyRecordingHook>();
    QSignalSpy changes(hook.get(), &KeyRecordingHook::grab_changed);
    Recorder rec;
    ASSERT_EQ(hook->install(target.get(), rec.handler()), Grab::refused);

    QTest::keyClick(dialog.edit, Qt::Key_A);  // posted to the target, not yet delivered
    switch (way) {
      case uninstall: EXPECT_TRUE(hook->uninstall()); break;
      case hide: target->hide(); break;
      case close: target->close(); break;
      case destroy_target: target.reset(); break;
      case destroy_hook: hook.reset(); break;
    }
    if (hook) {
      EXPECT_FALSE(hook->installed());
      EXPECT_EQ(hook->target(), nullptr);
      ASSERT_EQ(changes.count(), 1);
      EXPECT_EQ(changes.at(0).at(0).value<Grab>(), Grab::none);
    }
    QTest::keyClick(dialog.edit, Qt::Key_B);
    QCoreApplication::processEvents();
    // A pair posted before the end still reaches a target that lives; none
    // reaches a destroyed one.
    EXPECT_EQ(rec.pairs, way == destroy_target ? Pairs{} : (Pairs{{0x41, 0x00}, {0x41, 0x80}}));
    EXPECT_EQ(dialog.edit->text(), "b");
  }
}

TEST(KeyRecordingHook, ASecondInstallMovesItToTheNewTarget) {
  Dialog dialog;
  KeyWindow first, second;
  first.show();
  second.show();
  KeyRecordingHook hook;
  Recorder to_first, to_second;
  hook.install(&first, to_first.handler());
  const uint32_t first_handle = hook.handle();
  hook.install(&second, to_second.handler());
  EXPECT_NE(hook.handle(), first_handle);
  EXPECT_EQ(hook.target(), &second);

  first.hide();  // no longer the target: the hook stays
  EXPECT_TRUE(hook.installed());
  QTest::keyClick(dialog.edit, Qt::Key_Z);
  QCoreApplication::processEvents();
  EXPECT_TRUE(to_first.pairs.empty());
  EXPECT_EQ(to_second.pairs, (Pairs{{0x5A, 0x00}, {0x5A, 0x80}}));
  EXPECT_EQ(hook.install(nullptr, to_first.handler()), Grab::none);
  EXPECT_EQ(hook.target(), &second) << "a refused install leaves the hook as it was";
  second.hide();
  EXPECT_FALSE(hook.installed());
}

TEST(KeyRecordingHook, GoesWhenTheApplicationIsAboutToQuit) {
  KeyWindow target;
  target.show();
  KeyRecordingHook hook;
  Recorder rec;
  hook.install(&target, rec.handler());
  QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  QApplication::exec();
  EXPECT_FALSE(hook.installed());
}

// Everything the hook writes to stderr while `body` runs.
template <typename F>
std::string stderr_of(F body) {
  std::fflush(stderr);
  FILE* capture = std::tmpfile();
  const int saved = dup(2);
  dup2(fileno(capture), 2);
  body();
  std::fflush(stderr);
  dup2(saved, 2);
  close(saved);
  std::string text;
  std::rewind(capture);
  for (int c; (c = std::fgetc(capture)) != EOF;) text += static_cast<char>(c);
  std::fclose(capture);
  return text;
}

TEST(KeyRecordingHook, WritesItsDiagnosticsOnlyWhenTheLoggingRulesAskForThem) {
  Dialog dialog;
  KeyRecordingHook hook;
  Recorder rec;
  auto session = [&] {
    hook.install(&dialog.window, rec.handler());
    QTest::keyClick(dialog.edit, Qt::Key_A);
    hook.uninstall();
    hook.uninstall();
  };
  const std::string quiet = stderr_of(session);
  EXPECT_EQ(quiet.find("Hhook"), std::string::npos) << quiet;
  EXPECT_EQ(quiet.find("vkcode"), std::string::npos) << quiet;

  QLoggingCategory::setFilterRules("morvath.option.keyhook.debug=true");
  const std::string loud = stderr_of(session);
  QLoggingCategory::setFilterRules("");
  // The handle written at install is written again at removal.
  const std::size_t first = loud.find("Hhook: ");
  ASSERT_NE(first, std::string::npos) << loud;
  const std::string h = loud.substr(first + 7, loud.find('\r', first) - first - 7);
  EXPECT_NE(h, "0");
  const std::string expected = "Hhook: " + h + "\r\n" + "vkcode=41,scancode=1e\n" + "vkcode=41,scancode=1e\n" +
                               "Hhook: " + h + "\r\n" + "UnHhook: Success \r\n" + "Hhook: 0\r\n" +
                               "UnHhook: Fail \r\n";
  EXPECT_NE(loud.find(expected), std::string::npos) << loud;
}

}  // namespace
