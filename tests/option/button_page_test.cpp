// The button page offscreen: its slots and pictures from the skin, labels,
// hover, the slot menu, and every command through the dialogs it opens,
// answered by a script.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QTest>

#include <cstring>
#include <functional>
#include <memory>

#include "common/key_codes.h"
#include "common/macro_library.h"
#include "option/button_page.h"
#include "option/key_dialogs.h"
#include "option/macro_manager.h"
#include "option/program_chooser.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/ex_menu.h"
#include "option/skin/list_box_ex.h"
#include "option/skin/picture_wnd.h"
#include "option_test_support.h"

namespace mt {
namespace {

using option_test::FakeHost;
using option_test::macro;
using option_test::qs;
using option_test::TestSkin;
using Step = ScriptedDialogRunner::Step;

class PageTest : public ::testing::Test {
 protected:
  TestSkin skin;
  FakeHost host{skin.dir.path()};
  std::unique_ptr<CDlgPageMouse> page;

  void SetUp() override {
    page = std::make_unique<CDlgPageMouse>(host, nullptr);
    page->load_texts();
  }
  QString caption(int slot) const { return page->slot_button(slot)->text(); }
  // The record as bytes, to show that nothing at all changed.
  std::vector<unsigned char> record_bytes() const {
    const auto* p = reinterpret_cast<const unsigned char*>(&host.record);
    return std::vector<unsigned char>(p, p + sizeof host.record);
  }
  // Clicks a button of the dialog the runner shows and takes its own result.
  static Step click(int key) {
    return [key](QDialog& d) {
      QTest::mouseClick(button_of(d, key), Qt::LeftButton);
      return ScriptedDialogRunner::kDialogsOwnResult;
    };
  }
  static CBitmapBtn* button_of(QDialog& d, int key) {
    if (auto* k = dynamic_cast<CKeyCaptureDlg*>(&d)) return k->button(key);
    if (auto* c = dynamic_cast<CDlgProgSel*>(&d)) return c->button(key);
    if (auto* m = dynamic_cast<CMacroManager*>(&d)) return m->button(key);
    return nullptr;
  }
};

TEST_F(PageTest, SlotsAndPicturesComeFromTheSkin) {
  EXPECT_EQ(page->size(), QSize(720, 470));
  EXPECT_FALSE(page->mask().contains(QPoint(2, 2)));
  EXPECT_TRUE(page->mask().contains(QPoint(360, 2)));
  EXPECT_EQ(page->picture_rect(), option_test::kPictureRect);
  const QColor designed[16] = {{255, 0, 0},   {255, 0, 0},   {255, 255, 0}, {255, 127, 39}, {255, 0, 255},
                               {0, 255, 255}, {0, 255, 130}, {},            {},             {},
                               {},            {},            {},            {},             {0, 255, 130},
                               {255, 0, 255}};
  for (int s = 0; s < 16; ++s) {
    SCOPED_TRACE(s);
    CBitmapBtn* b = page->slot_button(s);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->control_id(), 200 + s);
    EXPECT_EQ(b->hover_id(), 200 + s);
    EXPECT_EQ(b->geometry(), option_test::slot_rect(s));  // 7..13: no key, an empty rectangle
    EXPECT_EQ(b->caption_font().pixelSize(), 18);
    EXPECT_EQ(b->caption_font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(b->caption_align(), CBitmapBtn::CaptionAlign::left);
    for (SkinState st : {SkinState::normal, SkinState::over, SkinState::down, SkinState::disable}) {
      if (designed[s].isValid())
        EXPECT_EQ(b->caption_color(st), designed[s]);
      else
        EXPECT_EQ(b->caption_color(st), CBitmapBtn(nullptr, 0).caption_color(st)) << "keeps the button's own";
    }
    if (!b->geometry().isEmpty()) {
      EXPECT_EQ(b->pictures().normal.pixel(2, 2), option_test::kNormal);
      EXPECT_EQ(b->pictures().over.pixel(2, 2), option_test::kOver);
      EXPECT_EQ(b->pictures().down.pixel(2, 2), option_test::kDown);
      EXPECT_EQ(b->pictures().disable.pixel(2, 2), option_test::kDisable);
    }
    CLineWnd* w = page->picture_window(s);
    EXPECT_EQ(w->control_id(), 100);
    EXPECT_EQ(w->geometry(), option_test::kPictureRect);
    EXPECT_TRUE(w->isHidden());
    const std::string picture = slot_table()[static_cast<std::size_t>(s)].picture;  // "mouse_N.jpg"
    const int n = picture == "mouse.jpg" ? 0 : picture[6] - '0';
    EXPECT_EQ(w->picture().pixel(5, 5), n ? option_test::mouse_colour(n) : option_test::kIdleMouse);
  }
  // Behind the picture windows: the mouse with no button lit.
  const QImage shot = page->grab().toImage();
  EXPECT_EQ(shot.pixel(option_test::kPictureRect.center()), option_test::kIdleMouse);
  // Released after the cuts: the page keeps only its background.
  EXPECT_EQ(page->skin_pictures().over.cacheKey(), page->skin_pictures().normal.cacheKey());
}

TEST_F(PageTest, LabelsFollowTheCurrentProfile) {
  EXPECT_EQ(caption(0), QStringLiteral("  1. Left Click"));
  EXPECT_EQ(caption(3), QStringLiteral("  6. Back"));
  EXPECT_EQ(caption(7), QStringLiteral("  0. Disable")) << "unused slots: number 0 and their function";
  EXPECT_EQ(caption(14), QStringLiteral("  8. CPI Up"));
  host.slot(5) = ButtonRecord{};
  host.slot(5).function = kFnKey;  // a key without a key: the number alone
  host.record.CurrentProfile = 2;
  host.record.profiles[2].MacroKeyInfo[1].function = kFnMacro;
  platform::set_fixed_text(host.record.profiles[2].MacroKeyInfo[1].macro_name, u"Combo");
  page->refresh();
  EXPECT_EQ(caption(1), QStringLiteral("  2. Combo"));
  host.record.CurrentProfile = 0;
  page->refresh();
  EXPECT_EQ(caption(5), QStringLiteral("  4. "));
  // No current profile: nothing to show.
  host.record.CurrentProfile = -1;
  page->refresh();
  EXPECT_EQ(caption(0), QString());
}

TEST_F(PageTest, HoverShowsTheSlotsPictureAndTheHint) {
  page->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
  CBitmapBtn* b = page->slot_button(2);
  QTest::mouseMove(b, QPoint(20, 20));
  EXPECT_TRUE(b->hovered());
  EXPECT_TRUE(page->picture_window(2)->isVisible());
  EXPECT_EQ(page->grab().toImage().pixel(option_test::kPictureRect.center()), option_test::mouse_colour(3));
  ASSERT_FALSE(host.hints.empty());
  EXPECT_EQ(host.hints.back(), u"Click a button to choose its function");
  QTest::mouseMove(page.get(), QPoint(600, 20));
  EXPECT_FALSE(page->picture_window(2)->isVisible());
  EXPECT_EQ(host.hints.back(), u"");
  // Hover notices of other controls are not the page's.
  emit b->hover_changed(1, 4242);
  for (int s = 0; s < 16; ++s) EXPECT_FALSE(page->picture_window(s)->isVisible()) << s;
}

TEST_F(PageTest, TheSlotMenuAsDesignedWhileTheSlotStaysLit) {
  host.library = {macro(u"Jump", {{44, 1}, {44, 2}}), macro(u"Combo", {{4, 1}})};
  host.slot(1).function = kFnMacro;
  platform::set_fixed_text(host.slot(1).macro_name, u"combo");
  page->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
  int tracked = 0;
  page->set_menu_tracker([&](CExMenu& menu, const QPoint& at) -> int {
    ++tracked;
    const CBitmapBtn* b = page->slot_button(1);
    EXPECT_EQ(at, b->mapToGlobal(QPoint(0, 0)) + QPoint(235, b->height() - 5));
    EXPECT_TRUE(page->menu_open());
    EXPECT_TRUE(b->selected());
    EXPECT_TRUE(page->picture_window(1)->isVisible());
    EXPECT_EQ(menu.font().pixelSize(), 18);
    EXPECT_EQ(menu.item_width(), 150);
    const QList<QAction*> top = menu.actions();
    EXPECT_EQ(top.size(), 34);
    EXPECT_EQ(CExMenu::command_of(top[0]), 1001);
    EXPECT_EQ(top[0]->text(), QStringLiteral("Left Click"));
    EXPECT_TRUE(top[1]->isSeparator());
    EXPECT_EQ(CExMenu::command_of(top[33]), 1006);
    auto* shortcuts = qobject_cast<CExMenu*>(top[19]->menu());
    if (!shortcuts) return ADD_FAILURE() << "no shortcuts popup", 0;
    EXPECT_EQ(shortcuts->title(), QStringLiteral("Shortcuts"));
    EXPECT_EQ(shortcuts->actions().size(), 5);
    EXPECT_EQ(shortcuts->item_width(), 150);
    auto* macros = qobject_cast<CExMenu*>(top[21]->menu());
    if (!macros) return ADD_FAILURE() << "no macro popup", 0;
    EXPECT_EQ(macros->title(), QStringLiteral("Macro"));
    EXPECT_EQ(macros->actions().size(), 4);
    EXPECT_EQ(menu.action_of(1099)->text(), QStringLiteral("Macro Manager..."));
    EXPECT_FALSE(menu.action_of(1100)->isChecked());
    EXPECT_TRUE(menu.action_of(1101)->isChecked()) << "the slot's own macro, found by name";
    // The pointer leaving the slot for the menu keeps it lit.
    emit page->slot_button(1)->hover_changed(0, 201);
    emit page->slot_button(1)->status_hint(0, QString());
    EXPECT_TRUE(page->picture_window(1)->isVisible());
    EXPECT_EQ(host.hints.back(), u"Click a button to choose its function");
    return 0;  // closed without a choice
  });
  const std::vector<unsigned char> before = record_bytes();
  QTest::mouseClick(page->slot_button(1), Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_EQ(tracked, 1);
  EXPECT_EQ(page->current_slot(), 1);
  EXPECT_EQ(platform::fixed_text(page->selected_slot().macro_name), u"combo");
  EXPECT_FALSE(page->menu_open());
  EXPECT_FALSE(page->slot_button(1)->selected());
  EXPECT_EQ(page->picture_window(1)->isVisible(), page->slot_button(1)->hovered());
  EXPECT_EQ(record_bytes(), before);
  EXPECT_TRUE(host.runner.shown().empty());

  // An empty library: the macro popup holds only the manager's item.
  host.library.clear();
  page->set_menu_tracker([&](CExMenu& menu, const QPoint&) {
    auto* macros = qobject_cast<CExMenu*>(menu.actions()[21]->menu());
    EXPECT_EQ(macros->actions().size(), 1);
    return 1002;
  });
  page->open_slot_menu(1);
  EXPECT_EQ(host.slot(1).function, kFnRightClick) << "the chosen command runs after the menu closed";
  EXPECT_EQ(caption(1), QStringLiteral("  2. Right Click"));
  EXPECT_EQ(host.hints.back(), u"Changes take effect after Apply");
}

TEST_F(PageTest, TheLastLeftClickIsKept) {
  // Factory: slot 0 is the only left click.
  struct Case {
    const char* what;
    int command;
  };
  const Case refused[] = {{"disable", 1006}, {"right click", 1002}, {"macro manager", 1099}, {"a macro", 1100},
                          {"key combination", 1005}, {"launch program", 1017}};
  host.library = {macro(u"Jump", {{44, 1}})};
  for (const Case& c : refused) {
    SCOPED_TRACE(c.what);
    const std::vector<unsigned char> before = record_bytes();
    const std::size_t shown = host.runner.shown().size();
    page->run_command(0, c.command);
    ASSERT_EQ(host.runner.shown().size(), shown + 1);
    EXPECT_EQ(host.runner.shown().back(), "mt::CWarnClickDlg") << "instead of any other dialog";
    EXPECT_EQ(record_bytes(), before);
    EXPECT_EQ(caption(0), QStringLiteral("  1. Left Click"));
  }
  // A second left click: then either of the two may change, once.
  page->run_command(4, 1001);
  EXPECT_EQ(caption(4), QStringLiteral("  7. Left Click"));
  page->run_command(0, 1006);
  EXPECT_EQ(host.slot(0).function, kFnDisabled);
  page->run_command(4, 1006);
  EXPECT_EQ(host.slot(4).function, kFnLeftClick);
  EXPECT_EQ(host.runner.shown().back(), "mt::CWarnClickDlg");
}

TEST_F(PageTest, AKeyCombinationFromItsDialog) {
  // Pressed in the dialog: Ctrl and Shift toggled on, then the A key typed.
  host.runner.then([](QDialog& d) {
    auto& dlg = dynamic_cast<CShortCutDlg&>(d);
    EXPECT_EQ(dlg.key_text(), QString());
    QTest::mouseClick(dlg.toggle(kToggleCtrl), Qt::LeftButton);
    QTest::mouseClick(dlg.toggle(kToggleShift), Qt::LeftButton);
    QTest::keyClick(&dlg, Qt::Key_A);
    QCoreApplication::processEvents();
    EXPECT_EQ(dlg.key_text(), QStringLiteral("A"));
    QTest::mouseClick(dlg.button(CShortCutDlg::kConfirm), Qt::LeftButton);
    return ScriptedDialogRunner::kDialogsOwnResult;
  });
  ButtonRecord& b = host.slot(3);
  b.event_count = 7;
  b.events[1] = MacroEvent{9, 9, 9};
  platform::set_fixed_text(b.macro_name, u"old");
  host.record.button_changed[0][3] = 0;
  page->run_command(3, 1005);
  EXPECT_EQ(host.runner.shown(), (std::vector<std::string>{"mt::CShortCutDlg"}));
  EXPECT_EQ(b.function, kFnKey);
  EXPECT_EQ(b.event_count, 1);
  EXPECT_EQ(b.events[0].key, 4);
  EXPECT_EQ(b.events[0].action, kModCtrl | kModShift);
  EXPECT_EQ(b.events[1].key, 9) << "the rest of the event area stays";
  EXPECT_EQ(platform::fixed_text(b.macro_name), u"");
  EXPECT_EQ(host.record.button_changed[0][3], 1);
  EXPECT_EQ(caption(3), QStringLiteral("  6. Ctrl+Shift+A"));

  // The dialog starts from the slot; key alone with Ctrl remembered stores bit 0 only.
  host.runner.then([](QDialog& d) {
    auto& dlg = dynamic_cast<CShortCutDlg&>(d);
    EXPECT_EQ(dlg.key_text(), QStringLiteral("A"));
    EXPECT_TRUE(dlg.toggle(kToggleCtrl)->selected());
    QTest::mouseClick(dlg.toggle(kToggleKeyAlone), Qt::LeftButton);
    EXPECT_FALSE(dlg.toggle(kToggleCtrl)->isEnabled());
    QTest::mouseClick(dlg.button(CShortCutDlg::kConfirm), Qt::LeftButton);
    return ScriptedDialogRunner::kDialogsOwnResult;
  });
  page->run_command(3, 1005);
  EXPECT_EQ(b.events[0].action, kModKeyAlone);
  EXPECT_EQ(caption(3), QStringLiteral("  6. A"));

  // A single key over a combination: no modifiers left.
  b.events[0].action = kModCtrl | kModAlt;
  host.runner.then([](QDialog& d) {
    auto& dlg = dynamic_cast<CSingleKeyDlg&>(d);
    EXPECT_EQ(dlg.key_text(), QStringLiteral("A"));
    QTest::keyClick(&dlg, Qt::Key_F5);
    QCoreApplication::processEvents();
    QTest::mouseClick(dlg.button(CSingleKeyDlg::kConfirm), Qt::LeftButton);
    return ScriptedDialogRunner::kDialogsOwnResult;
  });
  page->run_command(3, 1098);
  EXPECT_EQ(b.events[0].key, 62);
  EXPECT_EQ(b.events[0].action, 0);
  EXPECT_EQ(caption(3), QStringLiteral("  6. F5"));
}

TEST_F(PageTest, CancelledDialogsChangeNothing) {
  host.slot(3).function = kFnLaunch;
  platform::set_fixed_text(host.slot(3).program_path, u"/usr/bin/true");
  page->refresh();
  struct Case {
    int command;
    int key;  // the button that ends the dialog: cancel or close
    const char* dialog;
  };
  const Case cases[] = {{1005, CShortCutDlg::kCancel, "mt::CShortCutDlg"},
                        {1005, CShortCutDlg::kClose, "mt::CShortCutDlg"},
                        {1098, CSingleKeyDlg::kCancel, "mt::CSingleKeyDlg"},
                        {1098, CSingleKeyDlg::kClose, "mt::CSingleKeyDlg"},
                        {1017, CDlgProgSel::kCancel, "mt::CDlgProgSel"},
                        {1017, CDlgProgSel::kClose, "mt::CDlgProgSel"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.command) + " key " + std::to_string(c.key));
    const std::vector<unsigned char> before = record_bytes();
    host.runner.then([&](QDialog& d) {
      QTest::keyClick(&d, Qt::Key_Q);  // a key pressed first changes nothing either
      QCoreApplication::processEvents();
      return click(c.key)(d);
    });
    page->run_command(3, c.command);
    EXPECT_EQ(host.runner.shown().back(), c.dialog);
    EXPECT_EQ(record_bytes(), before);
    EXPECT_EQ(caption(3), QStringLiteral("  6. true"));
  }
}

TEST_F(PageTest, AProgramToLaunch) {
  // A slot with another function: the chooser starts empty; typed and Enter.
  host.runner.then([](QDialog& d) {
    auto& dlg = dynamic_cast<CDlgProgSel&>(d);
    EXPECT_EQ(dlg.path_field()->text(), QString());
    QTest::keyClicks(dlg.path_field(), QStringLiteral("/opt/game/start.sh"));
    QTest::keyClick(dlg.path_field(), Qt::Key_Return);
    return ScriptedDialogRunner::kDialogsOwnResult;
  });
  ButtonRecord& b = host.slot(3);
  b.event_count = 3;
  b.events[0] = MacroEvent{4, 1, 0};
  page->run_command(3, 1017);
  EXPECT_EQ(b.function, kFnLaunch);
  EXPECT_EQ(platform::fixed_text(b.program_path), u"/opt/game/start.sh");
  EXPECT_EQ(b.event_count, 0);
  EXPECT_EQ(b.events[0].key, 0);
  EXPECT_EQ(caption(3), QStringLiteral("  6. start.sh"));
  EXPECT_TRUE(host.chooser.requests.empty()) << "typed, no file dialog";

  // Already launching: the chooser shows the path; browsing replaces it.
  host.chooser.answers.push_back("/usr/games/other");
  host.runner.then([](QDialog& d) {
    auto& dlg = dynamic_cast<CDlgProgSel&>(d);
    EXPECT_EQ(dlg.path_field()->text(), QStringLiteral("/opt/game/start.sh"));
    QTest::mouseClick(dlg.button(CDlgProgSel::kBrowse), Qt::LeftButton);
    QTest::mouseClick(dlg.button(CDlgProgSel::kConfirm), Qt::LeftButton);
    return ScriptedDialogRunner::kDialogsOwnResult;
  });
  page->run_command(3, 1017);
  EXPECT_EQ(platform::fixed_text(b.program_path), u"/usr/games/other");
  // Changing to another function keeps the path (only the event area goes).
  page->run_command(3, 1002);
  EXPECT_EQ(platform::fixed_text(b.program_path), u"/usr/games/other");
}

TEST_F(PageTest, MacroManagerOkPushesAndSavesCancelReloads) {
  host.library = {macro(u"Jump", {{44, 1}, {44, 2}}), macro(u"Gone", {{5, 1}})};
  ASSERT_TRUE(save_macro_library(host.library, host.settings_folder()));
  // Slot 5 holds "Jump" with old events, slot 6 holds "Gone".
  for (int s : {5, 6}) {
    host.slot(s).function = kFnMacro;
    platform::set_fixed_text(host.slot(s).macro_name, s == 5 ? u"Jump" : u"Gone");
    host.slot(s).event_count = 1;
  }
  // OK after deleting "Gone" and adding a mouse click to "Jump".
  host.runner.then([&](QDialog& d) {
    auto& m = dynamic_cast<CMacroManager&>(d);
    EXPECT_EQ(m.editor().current_macro(), 0) << "slot 5's macro preselected";
    m.macro_list()->select_row(1);
    emit m.macro_list()->selection_changed(1, kMacroListId);
    host.runner.answer(CSkinDialog::kResultOk);  // CDeleteMacroWarn
    QTest::mouseClick(m.button(CMacroManager::kDelete), Qt::LeftButton);
    m.set_menu_tracker([](CExMenu&, const QPoint&) { return kCmdFirstMouseAction + 2; });  // left click
    emit m.macro_list()->selection_changed(0, kMacroListId);
    emit m.event_list()->right_button(kEventListId);
    QTest::mouseClick(m.button(CMacroManager::kConfirm), Qt::LeftButton);
    return ScriptedDialogRunner::kDialogsOwnResult;
  });
  page->run_command(5, 1099);
  EXPECT_EQ(host.runner.shown(), (std::vector<std::string>{"mt::CMacroManager", "mt::CDeleteMacroWarn"}));
  EXPECT_EQ(host.slot(5).function, kFnMacro) << "the slot's own code is not changed by the manager";
  EXPECT_EQ(host.slot(5).event_count, 4);
  EXPECT_EQ(host.slot(5).events[2].key, 240);
  EXPECT_EQ(host.slot(6).function, kFnDisabled) << "its macro has gone";
  EXPECT_EQ(caption(6), QStringLiteral("  5. Disable"));
  std::vector<MacroRecord> saved;
  load_macro_library(saved, host.settings_folder());
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].event_count, 4);

  // Cancel after changes: the library is the file's again.
  host.runner.then([](QDialog& d) {
    auto& m = dynamic_cast<CMacroManager&>(d);
    m.set_menu_tracker([](CExMenu&, const QPoint&) { return kCmdDeleteEvent; });
    m.event_list()->select_row(0);
    emit m.event_list()->selection_changed(0, kEventListId);
    emit m.event_list()->right_button(kEventListId);
    EXPECT_EQ(m.editor().event_count(), 3);
    QTest::mouseClick(m.button(CMacroManager::kCancel), Qt::LeftButton);
    return ScriptedDialogRunner::kDialogsOwnResult;
  });
  page->run_command(5, 1099);
  ASSERT_EQ(host.library.size(), 1u);
  EXPECT_EQ(host.library[0].event_count, 4);
  EXPECT_EQ(host.slot(5).event_count, 4);
}

TEST_F(PageTest, ALibraryThatCannotBeSavedIsReported) {
  host.library = {macro(u"Jump", {{44, 1}})};
  // A settings folder under a plain file: nothing can be written there.
  const std::string blocker = skin.dir.write("not-a-folder", "x");
  host.set_settings_folder(blocker + "/");
  host.runner.answer(CSkinDialog::kResultOk);  // the manager
  page->run_command(2, 1099);
  EXPECT_EQ(host.runner.shown(), (std::vector<std::string>{"mt::CMacroManager", "mt::CMessageDlg"}));
  EXPECT_EQ(host.library.size(), 1u) << "the edits stay in memory";
}

TEST_F(PageTest, AMacroItemCopiesTheMacro) {
  host.library = {macro(u"Jump", {{44, 1}, {44, 2}}, 3), macro(u"Combo", {{4, 1}, {5, 1}, {5, 2}})};
  page->set_menu_tracker([](CExMenu&, const QPoint&) { return 1101; });
  page->open_slot_menu(2);
  const ButtonRecord& b = host.slot(2);
  EXPECT_EQ(b.function, kFnMacro);
  EXPECT_EQ(platform::fixed_text(b.macro_name), u"Combo");
  EXPECT_EQ(b.event_count, 3);
  EXPECT_EQ(b.events[1].key, 5);
  EXPECT_EQ(caption(2), QStringLiteral("  3. Combo"));
  // Then left click: the macro's name, events and count go.
  page->run_command(2, 1001);
  EXPECT_EQ(platform::fixed_text(b.macro_name), u"");
  EXPECT_EQ(b.event_count, 0);
  EXPECT_EQ(b.events[1].key, 0);
}

TEST_F(PageTest, TheHeadingSitsInItsBox) {
  // A short heading moves down to the middle of its 32-pixel box.
  const QRect r = page->heading_rect();
  ASSERT_FALSE(r.isEmpty());
  EXPECT_NEAR(r.center().x(), (517 + 670) / 2, 2);
  EXPECT_EQ(r.top(), 7 + (32 - r.height()) / 2);
  const QImage shot = page->grab().toImage();
  QRect red;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x) {
      const QRgb c = shot.pixel(x, y);
      if (qRed(c) > 150 && qGreen(c) < 60 && qBlue(c) < 60 && !page->slot_button(0)->geometry().contains(x, y) &&
          !page->slot_button(1)->geometry().contains(x, y))
        red |= QRect(x, y, 1, 1);
    }
  EXPECT_TRUE(QRect(517, 7, 153, 32).contains(red)) << red.x() << "," << red.y() << " " << red.width();
  EXPECT_GT(red.width(), 40);
}

}  // namespace
}  // namespace mt
