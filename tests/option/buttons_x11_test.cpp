// The macro manager's recording and the key-capture dialogs against a real X
// server: a private Xvfb, Option's windows in this process (platform xcb),
// and another program with the input focus typing through XTest. The keys go
// to Option and to no other window while the grab is held, and to the other
// window again once it is let go.
// gtest and Qt come before Xlib (x11_other_client.h), whose macros break them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QTest>

#include <memory>

#include "option/hook/key_recording_hook.h"
#include "option/key_dialogs.h"
#include "option/macro_manager.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/dialog_runner.h"
#include "option/skin/list_box_ex.h"
#include "option_test_support.h"
#include "tests/option_hook/qt_xvfb_main.h"
#include "tests/option_hook/x11_other_client.h"

namespace {

using namespace mt;
using hook_test::OtherClient;
using option_test::FakeHost;
using option_test::macro;
using option_test::TestSkin;

const char* g_display = nullptr;

class GrabTest : public ::testing::Test {
 protected:
  TestSkin skin;
  FakeHost host{skin.dir.path()};
  std::unique_ptr<OtherClient> other;

  void SetUp() override {
    if (g_display == nullptr) GTEST_SKIP() << "no Xvfb";
    other = std::make_unique<OtherClient>(g_display);
    ASSERT_TRUE(other->ok());
  }
  static QStringList rows(const CListBoxEx* list) {
    QStringList out;
    for (int i = 0; i < list->row_count(); ++i) out << list->row_text(i);
    return out;
  }
};

TEST_F(GrabTest, ARecordingTakesTheKeysWhileAnotherWindowHasTheFocus) {
  host.library = {macro(u"Jump", {{44, 1}, {44, 2}})};
  CMacroManager m(nullptr, host, ButtonRecord{});
  m.move(100, 100);
  m.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&m));
  other->focus_own();

  QTest::mouseClick(m.button(CMacroManager::kRecord), Qt::LeftButton);
  ASSERT_TRUE(m.editor().recording());
  ASSERT_TRUE(QTest::qWaitFor([] { return key_recording_hook().grab() == KeyRecordingHook::Grab::taken; }, 5000));
  EXPECT_FALSE(m.capture_note_shown()) << "the keyboard is ours: nothing to warn of";

  other->type({hook_test::kKeyA, hook_test::kKeyLeftShift, hook_test::kKeyLeft});
  ASSERT_TRUE(QTest::qWaitFor([&] { return m.event_list()->row_count() >= 6; }, 5000));
  EXPECT_EQ(rows(m.event_list()), (QStringList{"A", "A", "Left Shift", "Left Shift", "Left", "Left"}));
  EXPECT_EQ(other->keys(), 0) << "the focused window got keys during the recording";
  EXPECT_EQ(other->focused(), other->window()) << "the grab takes the keys, not the focus";

  // Stopped: the grab is let go, the other window has its keys again.
  QTest::mouseClick(m.button(CMacroManager::kRecord), Qt::LeftButton);
  EXPECT_FALSE(key_recording_hook().installed());
  other->type({hook_test::kKeyB});
  EXPECT_EQ(other->keys(2), 2);
  QCoreApplication::processEvents();
  EXPECT_EQ(m.event_list()->row_count(), 6);
  EXPECT_EQ(host.library[0].event_count, 6);
  EXPECT_EQ(host.library[0].events[2].key, 225);
}

TEST_F(GrabTest, ACaptureDialogTakesShiftWhileAnotherWindowHasTheFocus) {
  CSingleKeyDlg single(nullptr, host.skin(), host.language(), 0);
  ModifierFlags none{};
  CShortCutDlg shortcut(nullptr, host.skin(), host.language(), 0, none);
  for (CKeyCaptureDlg* d : {static_cast<CKeyCaptureDlg*>(&single), static_cast<CKeyCaptureDlg*>(&shortcut)}) {
    SCOPED_TRACE(d->metaObject()->className());
    ScriptedDialogRunner runner;
    runner.then([&](QDialog&) {
      EXPECT_TRUE(QTest::qWaitForWindowExposed(d));
      EXPECT_TRUE(QTest::qWaitFor([] { return key_recording_hook().grab() == KeyRecordingHook::Grab::taken; }, 5000));
      other->focus_own();
      other->type({hook_test::kKeyLeftShift});
      EXPECT_TRUE(QTest::qWaitFor([&] { return d->key_text() == QStringLiteral("Left Shift"); }, 5000));
      EXPECT_EQ(d->key_code(), 225);
      EXPECT_FALSE(d->capture_note_shown());
      EXPECT_EQ(other->keys(), 0);
      const int confirm = d == &single ? int{CSingleKeyDlg::kConfirm} : int{CShortCutDlg::kConfirm};
      QTest::mouseClick(d->button(confirm), Qt::LeftButton);
      return ScriptedDialogRunner::kDialogsOwnResult;
    });
    EXPECT_EQ(runner.run(*d), CSkinDialog::kResultOk);
    EXPECT_FALSE(key_recording_hook().installed()) << "let go with the dialog";
    other->type({hook_test::kKeyA});
    EXPECT_EQ(other->keys(2), 2);
  }
}

}  // namespace

int main(int argc, char** argv) { return hook_test::run_on_xvfb(argc, argv, g_display); }
