// The macro manager offscreen: its controls at their skin keys, opening,
// recording from keys typed into it (no grab here), the event list with its
// icons and the rows that do not reach the mouse, the context menu, new and
// deleted macros, delays, the repeat count and its keys.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLineEdit>
#include <QTest>

#include <memory>
#include <string>

#include "common/language_module.h"
#include "common/macro_block.h"
#include "option/hook/key_recording_hook.h"
#include "option/logic/text_layout.h"
#include "option/macro_manager.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/bmp_edit.h"
#include "option/skin/ex_menu.h"
#include "option/skin/list_box_ex.h"
#include "option/skin/skin_look.h"
#include "option_test_support.h"

namespace mt {
namespace {

using option_test::FakeHost;
using option_test::macro;
using option_test::TestSkin;

class ManagerTest : public ::testing::Test {
 protected:
  TestSkin skin;
  FakeHost host{skin.dir.path()};
  uint32_t now = 1000;
  std::unique_ptr<CMacroManager> m;

  void open(const ButtonRecord& slot = ButtonRecord{}) {
    m = std::make_unique<CMacroManager>(nullptr, host, slot, [this] { return now; });
    m->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m.get()));
  }
  void click(int key) { QTest::mouseClick(m->button(key), Qt::LeftButton); }
  void type(Qt::Key key) {
    QTest::keyClick(m.get(), key);
    QCoreApplication::processEvents();
  }
  QStringList rows(CListBoxEx* list) const {
    QStringList out;
    for (int i = 0; i < list->row_count(); ++i) out << list->row_text(i);
    return out;
  }
  std::vector<int> icons() const {
    std::vector<int> out;
    for (int i = 0; i < m->event_list()->row_count(); ++i) out.push_back(m->event_list()->row_value(i) & 0xFFFF);
    return out;
  }
  // Chooses `command` from the event list's menu, with `row` selected first (-1: none).
  void menu(int command, int row = -1) {
    m->event_list()->select_row(row);
    emit m->event_list()->selection_changed(row, kEventListId);
    m->set_menu_tracker([command](CExMenu&, const QPoint&) { return command; });
    emit m->event_list()->right_button(kEventListId);
  }
  // The open in-place editor (closed ones linger until deleted later).
  static QLineEdit* editor_of(CListBoxEx* list) {
    for (QLineEdit* e : list->findChildren<QLineEdit*>())
      if (e->isVisible()) return e;
    return nullptr;
  }
};

TEST_F(ManagerTest, ControlsAtTheirKeys) {
  host.library = {macro(u"Jump", {{44, 1}})};
  open();
  EXPECT_EQ(m->windowTitle(), QStringLiteral("Q.NIRA Gaming Mouse Macro Manager"));
  EXPECT_EQ(m->size(), QSize(760, 520));
  EXPECT_FALSE(m->mask().contains(QPoint(1, 1)));
  struct Key {
    int key;
    QRect rect;
    const char* caption;
  };
  const Key keys[] = {{1, {494, 472, 118, 38}, "OK"},     {2, {618, 472, 118, 38}, "Cancel"},
                      {3, {720, 14, 28, 28}, ""},         {4, {22, 382, 132, 38}, "New"},
                      {5, {160, 382, 132, 38}, "Delete"}, {7, {304, 382, 126, 38}, "Record"},
                      {8, {436, 382, 190, 38}, "Record Delays"}, {9, {304, 426, 126, 38}, "Repeat"}};
  for (const Key& k : keys) {
    SCOPED_TRACE(k.key);
    EXPECT_EQ(m->button(k.key)->geometry(), k.rect);
    EXPECT_EQ(m->button(k.key)->text(), QString::fromLatin1(k.caption));
    EXPECT_EQ(m->button(k.key)->pictures().over.pixel(1, 1), option_test::kOver);
  }
  EXPECT_EQ(m->macro_list()->control_id(), 4096);
  EXPECT_EQ(m->macro_list()->geometry(), QRect(24, 104, 266, 268));
  EXPECT_EQ(m->event_list()->control_id(), 4097);
  EXPECT_EQ(m->event_list()->geometry(), QRect(306, 104, 430, 268));
  EXPECT_EQ(m->repeat_edit()->control_id(), 4010);
  EXPECT_EQ(m->repeat_edit()->geometry(), QRect(436, 430, 52, 30));
  EXPECT_EQ(m->repeat_edit()->maxLength(), 3);
  // The event list draws the skin's icons: a press row shows icon 163.
  const QImage shot = m->event_list()->viewport()->grab().toImage();
  const QRect row0 = m->event_list()->visualItemRect(m->event_list()->item(0));
  EXPECT_EQ(shot.pixel(row0.left() + 8, row0.center().y()), TestSkin::icon_colour(163));
}

TEST_F(ManagerTest, OpensOnTheSlotsMacro) {
  host.library = {macro(u"Jump 2", {{44, 1}}), macro(u"Jump", {{4, 1}, {4, 2}}, 7), macro(u"Fire", {}, 0)};
  ButtonRecord slot{};
  slot.function = kFnMacro;
  platform::set_fixed_text(slot.macro_name, u"jump");
  open(slot);
  EXPECT_EQ(rows(m->macro_list()), (QStringList{"Jump 2", "Jump", "Fire"}));
  EXPECT_EQ(m->macro_list()->selected_row(), 1);
  EXPECT_EQ(rows(m->event_list()), (QStringList{"A", "A"}));
  EXPECT_EQ(icons(), (std::vector<int>{163, 164}));
  EXPECT_EQ(m->repeat_edit()->text(), QStringLiteral("7"));
  EXPECT_TRUE(m->button(CMacroManager::kRepeat)->selected());

  // Another row picked by the user loads it.
  QTest::mouseClick(m->macro_list()->viewport(), Qt::LeftButton, {},
                    m->macro_list()->visualItemRect(m->macro_list()->item(2)).center());
  EXPECT_EQ(m->editor().current_macro(), 2);
  EXPECT_TRUE(rows(m->event_list()).isEmpty());
  EXPECT_FALSE(m->button(CMacroManager::kRepeat)->selected()) << "a fresh macro has repeat 0: off";
  EXPECT_EQ(m->repeat_edit()->text(), QStringLiteral("1"));

  // A click below the rows keeps the current macro shown as selected: Delete
  // acts on what the list shows.
  QTest::mouseClick(m->macro_list()->viewport(), Qt::LeftButton, {}, QPoint(20, m->macro_list()->height() - 10));
  EXPECT_EQ(m->macro_list()->selected_row(), 2);
  EXPECT_EQ(m->editor().current_macro(), 2);
}

TEST_F(ManagerTest, RecordingKeysTypedIntoTheDialog) {
  host.library = {macro(u"Jump", {{44, 1}, {44, 2}})};
  open();
  click(CMacroManager::kRecordDelays);
  EXPECT_TRUE(m->button(CMacroManager::kRecordDelays)->selected());
  click(CMacroManager::kRecord);
  EXPECT_TRUE(m->editor().recording());
  EXPECT_EQ(m->button(CMacroManager::kRecord)->text(), QStringLiteral("Stop"));
  EXPECT_TRUE(rows(m->event_list()).isEmpty()) << "a fresh recording";
  for (int key : {CMacroManager::kConfirm, CMacroManager::kCancel, CMacroManager::kClose, CMacroManager::kNew,
                  CMacroManager::kDelete})
    EXPECT_FALSE(m->button(key)->isEnabled()) << key;
  EXPECT_FALSE(m->macro_list()->isEnabled());
  EXPECT_TRUE(m->capture_note_shown()) << "no grab offscreen: other windows still get keys";
  EXPECT_EQ(key_recording_hook().target(), m.get());

  type(Qt::Key_A);  // press and release at once
  now += 250;
  QTest::keyPress(m.get(), Qt::Key_Left);
  QTest::keyPress(m.get(), Qt::Key_Left);  // held: repeats
  QCoreApplication::processEvents();
  now += 70000;
  QTest::keyRelease(m.get(), Qt::Key_Left);
  QCoreApplication::processEvents();
  EXPECT_EQ(rows(m->event_list()), (QStringList{"A", "A", "250 ms", "Left", "65535 ms", "Left"}));
  EXPECT_EQ(icons(), (std::vector<int>{163, 164, 165, 163, 165, 164}));

  click(CMacroManager::kRecord);
  EXPECT_FALSE(m->editor().recording());
  EXPECT_EQ(m->button(CMacroManager::kRecord)->text(), QStringLiteral("Record"));
  for (int key : {CMacroManager::kConfirm, CMacroManager::kNew}) EXPECT_TRUE(m->button(key)->isEnabled());
  EXPECT_TRUE(m->macro_list()->isEnabled());
  EXPECT_FALSE(m->capture_note_shown());
  EXPECT_FALSE(key_recording_hook().installed());
  EXPECT_EQ(host.library[0].event_count, 4);
  EXPECT_EQ(host.library[0].events[1].delay, 250);
  EXPECT_EQ(host.library[0].events[2].key, 80);

  // Keys after the stop are not recorded.
  type(Qt::Key_B);
  EXPECT_EQ(host.library[0].event_count, 4);
}

TEST_F(ManagerTest, RecordAndMenuWithoutAMacroWarn) {
  open();
  click(CMacroManager::kRecord);
  menu(kCmdInsertDelay);
  EXPECT_EQ(host.runner.shown(), (std::vector<std::string>{"mt::CWarnMacroSet", "mt::CWarnMacroSet"}));
  EXPECT_FALSE(m->editor().recording());
  EXPECT_TRUE(m->block_usage_text().isEmpty());
}

TEST_F(ManagerTest, RowsThatDoNotReachTheMouseAreMuted) {
  // Forty events with long pauses take 4 bytes each: 31 fit in the block.
  MacroRecord big = macro(u"Long", {});
  big.event_count = 40;
  for (int i = 0; i < 40; ++i) big.events[i] = MacroEvent{static_cast<uint8_t>(4 + i % 20), uint8_t(1 + i % 2), 2000};
  ASSERT_EQ(macro_block_fit(big.events, 40).events_sent, 31);
  host.library = {big, macro(u"Short", {{4, 1}, {4, 2}})};
  open();
  const CListBoxEx* list = m->event_list();
  ASSERT_EQ(list->row_count(), 80);
  for (int row = 0; row < 80; ++row) EXPECT_EQ(list->row_muted(row), row / 2 >= 31) << row;
  EXPECT_TRUE(m->block_overflows());
  EXPECT_EQ(m->block_usage_text(), QStringLiteral("Mouse memory\n162 of 128 bytes\n9 events not sent"));

  // Shortening a delay makes room: the delay edit marks the rows again.
  menu(kCmdEditDelay, 1);
  QLineEdit* e = editor_of(m->event_list());
  ASSERT_NE(e, nullptr);
  e->selectAll();
  QTest::keyClicks(e, QStringLiteral("50"));
  QTest::keyClick(e, Qt::Key_Return);
  EXPECT_EQ(m->event_list()->row_text(1), QStringLiteral("50 ms"));
  EXPECT_EQ(list->row_muted(2 * 31), false) << "event 31 fits now";

  emit m->macro_list()->selection_changed(1, kMacroListId);
  EXPECT_FALSE(m->block_overflows());
  EXPECT_EQ(m->block_usage_text(), QStringLiteral("Mouse memory\n6 of 128 bytes"));
  for (int row = 0; row < list->row_count(); ++row) EXPECT_FALSE(list->row_muted(row));
}

TEST_F(ManagerTest, TheContextMenu) {
  host.library = {macro(u"Jump", {{44, 1}, {44, 2}})};
  open();
  // Its entries, in Arial 14.
  m->set_menu_tracker([](CExMenu& menu, const QPoint&) {
    EXPECT_EQ(menu.font().pixelSize(), 14);
    EXPECT_EQ(menu.actions().size(), 6);
    EXPECT_EQ(menu.action_of(kCmdRecordBefore)->text(), QStringLiteral("Record Before"));
    EXPECT_NE(menu.action_of(1034), nullptr);
    EXPECT_EQ(menu.action_of(1034)->text(), QStringLiteral("Click"));
    return 0;
  });
  emit m->event_list()->right_button(kEventListId);

  // A right-button click before the first event's press row.
  menu(kCmdFirstMouseAction + 3 * 1 + 2, 0);
  EXPECT_EQ(rows(m->event_list()), (QStringList{"Right Down", "Right Up", "Space", "Space"}));
  EXPECT_EQ(icons(), (std::vector<int>{166, 166, 163, 164}));
  // Insert delay on the third row (event 2): 1 ms after event 1, then edited.
  menu(kCmdInsertDelay, 2);
  EXPECT_EQ(rows(m->event_list()), (QStringList{"Right Down", "Right Up", "1 ms", "Space", "Space"}));
  menu(kCmdEditDelay, 2);
  ASSERT_TRUE(m->event_list()->editing());
  QLineEdit* e = editor_of(m->event_list());
  e->selectAll();
  QTest::keyClicks(e, QStringLiteral("70000"));
  QTest::keyClick(e, Qt::Key_Return);
  EXPECT_EQ(m->event_list()->row_text(2), QStringLiteral("65535 ms"));
  EXPECT_EQ(host.library[0].events[1].delay, 65535);
  // Escape leaves the delay as it was and the row as the model has it.
  menu(kCmdEditDelay, 2);
  e = editor_of(m->event_list());
  e->selectAll();
  QTest::keyClicks(e, QStringLiteral("3"));
  QTest::keyClick(e, Qt::Key_Escape);
  EXPECT_EQ(m->event_list()->row_text(2), QStringLiteral("65535 ms"));
  // Delete the delay row, then the first press: its release stays.
  menu(kCmdDeleteEvent, 2);
  menu(kCmdDeleteEvent, 0);
  EXPECT_EQ(rows(m->event_list()), (QStringList{"Right Up", "Space", "Space"}));
  EXPECT_EQ(host.library[0].event_count, 3);

  // While recording there is no menu.
  click(CMacroManager::kRecord);
  bool offered = false;
  m->set_menu_tracker([&](CExMenu&, const QPoint&) { return offered = true, 0; });
  emit m->event_list()->right_button(kEventListId);
  EXPECT_FALSE(offered);
  // And the macro list has none.
  click(CMacroManager::kRecord);
  emit m->macro_list()->right_button(kMacroListId);
  EXPECT_FALSE(offered);
}

TEST_F(ManagerTest, NewMacrosByName) {
  host.library = {macro(u"Jump", {{44, 1}})};
  open();
  struct Case {
    const char* typed;
    Qt::Key end;
    std::size_t library;  // size afterwards
  };
  const Case cases[] = {{"Fire", Qt::Key_Return, 2},
                        {" fire ", Qt::Key_Return, 2},     // a duplicate: dropped without a word
                        {"Dash", Qt::Key_Escape, 2},       // Escape: nothing
                        {"", Qt::Key_Return, 2},           // empty: nothing
                        {"A long name of twenty", Qt::Key_Return, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    click(CMacroManager::kNew);
    ASSERT_TRUE(m->macro_list()->editing());
    QLineEdit* e = editor_of(m->macro_list());
    ASSERT_NE(e, nullptr);
    QTest::keyClicks(e, QString::fromLatin1(c.typed));

    QTest::keyClick(e, c.end);
    EXPECT_FALSE(m->macro_list()->editing());
    EXPECT_EQ(host.library.size(), c.library);
    EXPECT_EQ(m->macro_list()->row_count(), static_cast<int>(c.library)) << "no row left behind";
    EXPECT_EQ(m->editor().macro_rows().size(), c.library);
    EXPECT_EQ(m->macro_list()->selected_row(), m->editor().current_macro());
  }
  EXPECT_EQ(platform::fixed_text(host.library[1].name), u"Fire");
  EXPECT_EQ(platform::fixed_text(host.library[2].name), u"A long name of") << "15 characters at most, trimmed";
  EXPECT_EQ(m->editor().current_macro(), 2);

  // A name still being typed when OK is pressed is taken.
  click(CMacroManager::kNew);
  QTest::keyClicks(editor_of(m->macro_list()), QStringLiteral("Late"));
  m->done(CSkinDialog::kResultOk);
  ASSERT_EQ(host.library.size(), 4u);
  EXPECT_EQ(platform::fixed_text(host.library[3].name), u"Late");
}

TEST_F(ManagerTest, DeletingAMacroAsksFirst) {
  host.library = {macro(u"One", {}), macro(u"Two", {}), macro(u"Three", {})};
  open();
  emit m->macro_list()->selection_changed(2, kMacroListId);
  host.runner.answer(CSkinDialog::kResultCancel).answer(CSkinDialog::kResultOk);
  click(CMacroManager::kDelete);
  EXPECT_EQ(host.library.size(), 3u);
  EXPECT_EQ(m->macro_list()->selected_row(), 2) << "kept, with its selection";
  click(CMacroManager::kDelete);
  EXPECT_EQ(rows(m->macro_list()), (QStringList{"One", "Two"}));
  EXPECT_EQ(m->macro_list()->selected_row(), 1) << "the last row is current then";
  EXPECT_EQ(host.runner.shown(), (std::vector<std::string>{"mt::CDeleteMacroWarn", "mt::CDeleteMacroWarn"}));
}

TEST_F(ManagerTest, TheRepeatCount) {
  host.library = {macro(u"Jump", {{44, 1}}, 1)};
  open();
  EXPECT_TRUE(m->button(CMacroManager::kRepeat)->selected()) << "repeat 1 loads as on";
  CBmpEdit* edit = m->repeat_edit();
  struct Case {
    const char* typed;
    const char* shown;
  };
  for (const Case& c : {Case{"300", "255"}, Case{"0", "1"}, Case{"42", "42"}}) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromLatin1(c.typed));
    m->macro_list()->setFocus();  // leaving the field settles it
    EXPECT_EQ(edit->text(), QString::fromLatin1(c.shown)) << c.typed;
  }
  EXPECT_EQ(host.library[0].repeat_count, 42);
  click(CMacroManager::kRepeat);
  EXPECT_FALSE(m->button(CMacroManager::kRepeat)->selected());
  EXPECT_EQ(host.library[0].repeat_count, 1) << "off stores 1";
  // Enter in the field settles it too.
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, QStringLiteral("9"));
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(edit->text(), QStringLiteral("9"));
  EXPECT_TRUE(m->isVisible()) << "Enter does not close the dialog";
}

TEST_F(ManagerTest, SpaceEnterAndEscapePressNoButton) {
  host.library = {macro(u"Jump", {{44, 1}})};
  open();
  CBitmapBtn* ok = m->button(CMacroManager::kConfirm);
  CBitmapBtn* del = m->button(CMacroManager::kDelete);
  int clicks = 0;
  QObject::connect(ok, &CBitmapBtn::command, [&] { ++clicks; });
  QObject::connect(del, &CBitmapBtn::command, [&] { ++clicks; });
  for (CBitmapBtn* b : {ok, del}) {
    b->setFocus();
    for (Qt::Key k : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(b, k);
  }
  for (Qt::Key k : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Escape}) QTest::keyClick(m.get(), k);
  EXPECT_EQ(clicks, 0);
  EXPECT_TRUE(m->isVisible());
  EXPECT_TRUE(host.runner.shown().empty());
  EXPECT_EQ(host.library.size(), 1u);
}

TEST(ManagerTexts, BlockUsageAndNoteFitInEveryLanguage) {
  // The longest block usage text: three lines with the largest numbers.
  for (const char* name : {"Lang_EN", "Lang_sc", "Lang_Ru", "Lang_It", "Lang_Sp"}) {
    SCOPED_TRACE(name);
    LanguageModule lang;
    ASSERT_TRUE(lang.load(std::string(MT_LANG_SOURCE_DIR) + "/" + name + ".lang"));
    auto t = [&](int id) { return QString::fromStdU16String(lang.text(id)); };
    const QString usage = t(286) + u'\n' + t(287).arg(242).arg(128) + u'\n' + t(288).arg(59);
    const QFont small = look::design_font(QStringLiteral("Arial"), layout::kMacroBlockUsagePx);
    const QRect box(0, 0, layout::kMacroBlockUsage.width(), layout::kMacroBlockUsage.height());
    const QRect need = QFontMetrics(small).boundingRect(box, Qt::AlignRight | Qt::TextWordWrap, usage);
    EXPECT_LE(need.height(), box.height()) << usage.toStdString();
    EXPECT_LE(need.width(), box.width()) << usage.toStdString();
    EXPECT_TRUE(t(287).contains(QStringLiteral("%1")) && t(287).contains(QStringLiteral("%2")));
    EXPECT_TRUE(t(288).contains(QStringLiteral("%1")));
  }
}

}  // namespace
}  // namespace mt
