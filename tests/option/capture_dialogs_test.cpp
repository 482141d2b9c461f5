// The two key-capture dialogs and the program chooser offscreen: controls at
// their skin keys, the toggles and the key-alone rule, the last key wins, the
// hook while shown, and the chooser's field, keys and file dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

#include <string>

#include "option/hook/key_recording_hook.h"
#include "option/key_dialogs.h"
#include "option/logic/text_layout.h"
#include "option/program_chooser.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/bmp_edit.h"
#include "option/skin/dialog_runner.h"
#include "option/skin/skin_look.h"
#include "option_test_support.h"

namespace mt {
namespace {

using option_test::FakeHost;
using option_test::ScriptedFileChooser;
using option_test::TestSkin;

class CaptureTest : public ::testing::Test {
 protected:
  TestSkin skin;
  FakeHost host{skin.dir.path()};

  // Runs the dialog with one scripted step and gives its result.
  static int run(QDialog& d, const ScriptedDialogRunner::Step& step) {
    ScriptedDialogRunner runner;
    runner.then(step);
    return runner.run(d);
  }
  static void type(QWidget* w, Qt::Key key) {
    QTest::keyClick(w, key);
    QCoreApplication::processEvents();  // the hook delivers from the event loop
  }
  static ModifierFlags flags(uint8_t byte) { return modifier_flags(byte); }
};

TEST_F(CaptureTest, ShortcutDialogControlsAtTheirKeys) {
  CShortCutDlg d(nullptr, host.skin(), host.language(), 4, flags(0));
  EXPECT_EQ(d.windowTitle(), QStringLiteral("Q.NIRA Shortcut Dialog"));
  EXPECT_EQ(d.title_text(), QStringLiteral("Key Combination"));
  EXPECT_EQ(d.size(), QSize(444, 260));
  EXPECT_EQ(d.button(CShortCutDlg::kConfirm)->geometry(), QRect(190, 210, 118, 38));
  EXPECT_EQ(d.button(CShortCutDlg::kConfirm)->text(), QStringLiteral("OK"));
  EXPECT_EQ(d.button(CShortCutDlg::kCancel)->text(), QStringLiteral("Cancel"));
  EXPECT_EQ(d.button(CShortCutDlg::kClose)->geometry(), QRect(404, 14, 28, 28));
  EXPECT_EQ(d.button(CShortCutDlg::kClose)->text(), QString());
  const char* captions[] = {"Key Only", "Ctrl", "Shift", "Alt", "Win"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(d.toggle(i)->text(), QString::fromLatin1(captions[i]));
    EXPECT_EQ(d.toggle(i)->geometry(), i == 0 ? QRect(10, 88, 172, 36) : QRect(182 + 63 * (i - 1), 88, 63, 36));
    EXPECT_EQ(d.toggle(i)->pictures().down.pixel(1, 1), option_test::kDown);
  }
  CBmpEdit* field = d.key_field();
  EXPECT_EQ(field->control_id(), 4010);
  EXPECT_EQ(field->geometry(), QRect(22, 140, 330, 32));
  EXPECT_TRUE(field->display_only());
  EXPECT_EQ(field->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
  EXPECT_EQ(field->palette().color(QPalette::Text), QColor(Qt::white));
  EXPECT_EQ(d.key_text(), QStringLiteral("A"));
  const QImage shot = field->grab().toImage();
  EXPECT_EQ(shot.pixel(2, 2), qRgb(0, 0, 0));
}

TEST_F(CaptureTest, KeyAloneDisablesTheOtherTogglesAndKeepsTheirStates) {
  // The slot's byte has key alone and Ctrl (written by some other tool).
  CShortCutDlg d(nullptr, host.skin(), host.language(), 4, flags(kModKeyAlone | kModCtrl));
  CBitmapBtn* alone = d.toggle(kToggleKeyAlone);
  CBitmapBtn* ctrl = d.toggle(kToggleCtrl);
  EXPECT_TRUE(alone->selected());
  EXPECT_EQ(alone->state(), SkinState::down) << "on shows the down picture";
  EXPECT_EQ(alone->caption_color(alone->state()), look::from_colorref(look::kCaptionSelected));
  for (int i = 1; i < 5; ++i) EXPECT_FALSE(d.toggle(i)->isEnabled()) << i;
  EXPECT_EQ(d.modifier_byte(), kModKeyAlone);

  run(d, [&](QDialog&) {
    QTest::mouseClick(ctrl, Qt::LeftButton);  // disabled: nothing
    EXPECT_EQ(d.modifier_byte(), kModKeyAlone);
    QTest::mouseClick(alone, Qt::LeftButton);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(d.toggle(i)->isEnabled()) << i;
    EXPECT_TRUE(ctrl->selected()) << "remembered";
    EXPECT_FALSE(d.toggle(kToggleShift)->selected());
    EXPECT_NE(d.toggle(kToggleShift)->state(), SkinState::down);
    EXPECT_EQ(d.modifier_byte(), kModCtrl);
    QTest::mouseClick(d.toggle(kToggleWin), Qt::LeftButton);
    EXPECT_EQ(d.modifier_byte(), kModCtrl | kModWin);
    QTest::mouseClick(alone, Qt::LeftButton);
    EXPECT_EQ(d.modifier_byte(), kModKeyAlone);
    return CSkinDialog::kResultOk;
  });
  EXPECT_TRUE(d.modifiers()[kToggleCtrl]) << "the flags are kept; only the byte drops them";
}

TEST_F(CaptureTest, TheLastKeyWinsPressOrRelease) {
  CShortCutDlg d(nullptr, host.skin(), host.language(), 0, flags(0));
  const int result = run(d, [&](QDialog&) {
    KeyRecordingHook& hook = key_recording_hook();
    EXPECT_TRUE(hook.installed());
    EXPECT_EQ(hook.target(), &d);
    // Ctrl+A, letting go of Ctrl last.
    QTest::keyPress(&d, Qt::Key_Control);
    QTest::keyClick(&d, Qt::Key_A, Qt::ControlModifier);
    QTest::keyRelease(&d, Qt::Key_Control);
    QCoreApplication::processEvents();
    EXPECT_EQ(d.key_text(), QStringLiteral("Left Ctrl"));
    EXPECT_EQ(d.key_code(), 224);
    // Enter and Escape are keys like any other here: neither closes the dialog.
    type(&d, Qt::Key_Escape);
    EXPECT_EQ(d.key_text(), QStringLiteral("Esc"));
    type(&d, Qt::Key_Return);
    EXPECT_EQ(d.key_text(), QStringLiteral("Enter"));
    EXPECT_TRUE(d.isVisible());
    // A key the key table does not know: code 0; the field shows its name, if any.
    type(&d, Qt::Key_VolumeUp);
    EXPECT_EQ(d.key_code(), 0);
    type(&d, Qt::Key_Left);
    EXPECT_EQ(d.key_text(), QStringLiteral("Left"));
    EXPECT_EQ(d.key_code(), 80);
    QTest::mouseClick(d.button(CShortCutDlg::kConfirm), Qt::LeftButton);
    return ScriptedDialogRunner::kDialogsOwnResult;
  });
  EXPECT_EQ(result, CSkinDialog::kResultOk);
  EXPECT_FALSE(key_recording_hook().installed()) << "gone with the dialog";
}

TEST_F(CaptureTest, SingleKeyDialog) {
  CSingleKeyDlg d(nullptr, host.skin(), host.language(), 62);
  EXPECT_EQ(d.title_text(), QStringLiteral("Single Key"));
  EXPECT_EQ(d.key_text(), QStringLiteral("F5"));
  EXPECT_EQ(d.key_field()->geometry(), QRect(140, 128, 224, 32));
  EXPECT_EQ(d.button(CSingleKeyDlg::kConfirm)->geometry(), QRect(190, 210, 118, 38));
  EXPECT_EQ(d.button(4), nullptr) << "the field is no button";
  struct Case {
    int key;
    int result;
  };
  for (const Case& c : {Case{CSingleKeyDlg::kConfirm, 1}, Case{CSingleKeyDlg::kCancel, 2}, Case{CSingleKeyDlg::kClose, 2}}) {
    CSingleKeyDlg k(nullptr, host.skin(), host.language(), 0);
    const int result = run(k, [&](QDialog&) {
      type(&k, Qt::Key_Shift);  // pressed and released alone
      EXPECT_EQ(k.key_text(), QStringLiteral("Left Shift"));
      EXPECT_EQ(k.key_code(), 225);
      QTest::mouseClick(k.button(c.key), Qt::LeftButton);
      return ScriptedDialogRunner::kDialogsOwnResult;
    });
    EXPECT_EQ(result, c.result) << c.key;
  }
}

TEST_F(CaptureTest, WithoutAGrabTheDialogSaysOtherWindowsStillGetKeys) {
  // The offscreen platform has no keyboard grab: the case of Wayland.
  CSingleKeyDlg d(nullptr, host.skin(), host.language(), 0);
  EXPECT_FALSE(d.capture_note_shown()) << "nothing said before the dialog is up";
  run(d, [&](QDialog&) {
    EXPECT_TRUE(d.capture_note_shown());
    const QImage shot = d.grab().toImage();
    const QRect box(layout::kSingleKeyNote.left, layout::kSingleKeyNote.top, layout::kSingleKeyNote.width(),
                    layout::kSingleKeyNote.height());
    int lit = 0;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x)
        if (qRed(shot.pixel(x, y)) > 150 && qGreen(shot.pixel(x, y)) < 120) {
          ++lit;
          EXPECT_TRUE(box.contains(x, y)) << x << "," << y;
          if (!box.contains(x, y)) return CSkinDialog::kResultCancel;
        }
    EXPECT_GT(lit, 20);
    // Keys typed into the dialog still count.
    type(&d, Qt::Key_B);
    EXPECT_EQ(d.key_text(), QStringLiteral("B"));
    return CSkinDialog::kResultCancel;
  });
}

TEST_F(CaptureTest, UsableWithoutTheirSkin) {
  skin_test::TempFolder empty;
  SkinFolder none(empty.path());
  CShortCutDlg s(nullptr, none, host.language(), 4, flags(0));
  CSingleKeyDlg k(nullptr, none, host.language(), 4);
  for (CKeyCaptureDlg* d : {static_cast<CKeyCaptureDlg*>(&s), static_cast<CKeyCaptureDlg*>(&k)}) {
    EXPECT_TRUE(d->rect().contains(d->key_field()->geometry()));
    EXPECT_FALSE(d->key_field()->geometry().isEmpty());
  }
  for (int key : {2, 3, 4, 5, 6, 7, 8, 9}) EXPECT_FALSE(s.button(key)->geometry().isEmpty()) << key;
  for (int key : {1, 2, 3}) EXPECT_FALSE(k.button(key)->geometry().isEmpty()) << key;
  EXPECT_EQ(k.button(CSingleKeyDlg::kClose)->text(), QStringLiteral("\u00D7"));
}

// ---- Program chooser -----------------------------------------------------------

class ChooserTest : public CaptureTest {
 protected:
  ScriptedFileChooser files;
  std::unique_ptr<CDlgProgSel> open(const std::u16string& path = u"") {
    return std::make_unique<CDlgProgSel>(nullptr, host.skin(), host.language(), files, path);
  }
};

TEST_F(ChooserTest, FieldAndButtonsWhereDesigned) {
  auto d = open(u"/usr/bin/htop");
  EXPECT_EQ(d->path_field()->geometry(), QRect(98, 108, 224, 23));
  EXPECT_EQ(d->path_field()->text(), QStringLiteral("/usr/bin/htop"));
  EXPECT_EQ(d->button(CDlgProgSel::kClose)->geometry(), QRect(404, 14, 28, 28));
  EXPECT_EQ(d->button(CDlgProgSel::kBrowse)->geometry(), QRect(328, 104, 40, 31));
  EXPECT_EQ(d->button(CDlgProgSel::kConfirm)->text(), QStringLiteral("OK"));
  EXPECT_EQ(d->button(CDlgProgSel::kCancel)->text(), QStringLiteral("Cancel"));
  EXPECT_EQ(d->button(CDlgProgSel::kBrowse)->text(), QString());
  EXPECT_EQ(d->windowTitle(), QStringLiteral("Launch Program"));
}

TEST_F(ChooserTest, EnterConfirmsEscapeCancelsAndTheFieldNeverSeesThem) {
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    int result;
  };
  const Case cases[] = {{Qt::Key_Return, {}, 1}, {Qt::Key_Enter, Qt::KeypadModifier, 1}, {Qt::Key_Return, Qt::AltModifier, 1},
                        {Qt::Key_Escape, {}, 2}, {Qt::Key_Escape, Qt::AltModifier, 2}};
  for (const Case& c : cases) {
    auto d = open(u"/old");
    int returns = 0;
    QObject::connect(d->path_field(), &QLineEdit::returnPressed, [&] { ++returns; });
    const int result = run(*d, [&](QDialog&) {
      d->path_field()->setFocus();
      QTest::keyClick(d->path_field(), Qt::Key_End);  // the path opens all selected
      QTest::keyClicks(d->path_field(), QStringLiteral(" x"));
      QTest::keyClick(d->path_field(), c.key, c.mods);
      return ScriptedDialogRunner::kDialogsOwnResult;
    });
    EXPECT_EQ(result, c.result) << c.key;
    EXPECT_EQ(returns, 0);
    EXPECT_EQ(d->path(), u"/old x") << "exactly as typed";
  }
  // From the dialog itself, too.
  auto d = open();
  EXPECT_EQ(run(*d, [&](QDialog&) {
              QTest::keyClick(d.get(), Qt::Key_Return);
              return ScriptedDialogRunner::kDialogsOwnResult;
            }),
            1);
}

TEST_F(ChooserTest, TheFieldHoldsAtMost259Units) {
  auto d = open();
  QLineEdit* field = d->path_field();
  const QString fits(258, QLatin1Char('a'));
  run(*d, [&](QDialog&) {
    field->setFocus();
    QApplication::clipboard()->setText(fits);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field->text().size(), 258);
    QTest::keyClicks(field, QStringLiteral("bcd"));
    EXPECT_EQ(field->text().size(), 259) << "typing stops at the limit";
    EXPECT_TRUE(field->text().endsWith(u'b'));
    // A paste that would not fit goes in not at all, even over a selection that is too short.
    field->setSelection(0, 2);
    QApplication::clipboard()->setText(QStringLiteral("/x/y/z"));
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field->text().size(), 259);
    EXPECT_TRUE(field->text().startsWith(QStringLiteral("aa")));
    // Over a selection long enough it goes in whole.
    field->setSelection(0, 10);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(field->text().startsWith(QStringLiteral("/x/y/z")));
    EXPECT_EQ(field->text().size(), 255);
    return CSkinDialog::kResultOk;
  });
  EXPECT_LE(d->path().size(), 259u);

  // A browsed file too long for the button record is refused; the field stays.
  auto b = open(u"/kept");
  files.answers.push_back("/" + std::string(300, 'p'));
  run(*b, [&](QDialog&) {
    QTest::mouseClick(b->button(CDlgProgSel::kBrowse), Qt::LeftButton);
    return CSkinDialog::kResultOk;
  });
  EXPECT_EQ(b->path(), u"/kept");
}

TEST_F(ChooserTest, BrowseAsksForProgramsOrAnyFile) {
  auto d = open(u"/opt/game/run");
  files.answers.push_back(std::nullopt);        // cancelled
  files.answers.push_back("/usr/games/tetris");  // chosen
  run(*d, [&](QDialog&) {
    QTest::mouseClick(d->button(CDlgProgSel::kBrowse), Qt::LeftButton);
    EXPECT_EQ(d->path(), u"/opt/game/run") << "a cancelled file dialog leaves the field as it was";
    QTest::mouseClick(d->button(CDlgProgSel::kBrowse), Qt::LeftButton);
    return CSkinDialog::kResultOk;
  });
  EXPECT_EQ(d->path(), u"/usr/games/tetris");
  ASSERT_EQ(files.requests.size(), 2u);
  const FileDialogRequest& r = files.requests[0];
  EXPECT_EQ(r.kind, FileDialogRequest::Kind::open);
  EXPECT_EQ(r.initial_path, "/opt/game/run");
  ASSERT_EQ(r.filters.size(), 2u);
  EXPECT_EQ(r.filters[0].name, "Exe file(*.exe)");
  EXPECT_EQ(r.filters[0].patterns, std::vector<std::string>{"*.exe"});
  EXPECT_EQ(r.filters[1].name, "All files(*)");
  EXPECT_EQ(r.filters[1].patterns, std::vector<std::string>{"*"});
  EXPECT_EQ(r.selected_filter, 1u) << "a Linux program has no .exe: the dialog opens on all files";
  EXPECT_EQ(r.default_suffix, "") << "a program here has no .exe to add";
  EXPECT_TRUE(r.must_exist);
  EXPECT_TRUE(r.hide_read_only);
}

}  // namespace
}  // namespace mt
