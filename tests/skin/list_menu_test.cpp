// The owner-drawn list with its in-place editor, and the owner-drawn menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QFontMetrics>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTimer>

#include "controls_support.h"
#include "option/skin/ex_menu.h"
#include "option/skin/list_box_ex.h"
#include "option/skin/skin_look.h"

namespace mt {
namespace {

using skin_test::Host;
using skin_test::Pairs;
using Got = std::vector<std::pair<int, int>>;

QLineEdit* open_editor() { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }

class ListTest : public ::testing::Test {
 protected:
  Host host;
  CListBoxEx list{&host, 4097};
  void SetUp() override {
    list.setGeometry(0, 0, 200, 150);
    list.add_row(QStringLiteral("A"), (1u << 16) | 163);
    list.add_row(QStringLiteral("25 ms"), (1u << 16) | 165);
    list.add_row(QStringLiteral("A"), (2u << 16) | 164);
    list.show();
    list.setFocus();
  }
  QPoint row_centre(int row) const { return list.visualItemRect(list.item(row)).center(); }
};

TEST_F(ListTest, RowsIconsAndColours) {
  EXPECT_EQ(list.row_count(), 3);
  EXPECT_EQ(list.row_value(1), (1u << 16) | 165);
  EXPECT_EQ(list.row_value(9), 0u);
  EXPECT_EQ(list.row_text(-1), QString());
  list.set_icon(163, skin_test::solid(QSize(12, 12), qRgb(0, 0, 255)));
  list.select_row(1);

  const QImage img = list.viewport()->grab().toImage();
  const QRect r0 = list.visualItemRect(list.item(0));
  const QRect r1 = list.visualItemRect(list.item(1));
  const QRect r2 = list.visualItemRect(list.item(2));
  EXPECT_EQ(img.pixel(r0.left() + 8, r0.center().y()), qRgb(0, 0, 255));  // icon 163
  EXPECT_EQ(img.pixel(r2.left() + 8, r2.center().y()), qRgb(0, 0, 0));    // 164 has no picture
  EXPECT_EQ(img.pixel(r1.right() - 2, r1.center().y()), look::kListSelection);
  EXPECT_EQ(img.pixel(r2.right() - 2, r2.center().y()), qRgb(0, 0, 0));
  int white = 0;
  for (int x = r2.left(); x < r2.right(); ++x)
    for (int y = r2.top(); y <= r2.bottom(); ++y) white += qRed(img.pixel(x, y)) > 200 && qBlue(img.pixel(x, y)) > 200;
  EXPECT_GT(white, 3);  // the text

  // A muted row: grey text and a red mark at its left edge; selected, it reads as any other.
  constexpr int kMarkWidth = 3;  // the mark, left of the text
  auto text_pixels = [&](const QImage& shot, const QRect& r, bool want_white) {
    int n = 0;
    for (int x = r.left() + kMarkWidth; x < r.right(); ++x)
      for (int y = r.top(); y <= r.bottom(); ++y) {
        const QRgb c = shot.pixel(x, y);
        n += want_white ? (qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200)
                        : (qRed(c) > 60 && qRed(c) < 170 && qAbs(qRed(c) - qBlue(c)) < 8);
      }
    return n;
  };
  list.set_row_muted(2, true);
  EXPECT_TRUE(list.row_muted(2));
  EXPECT_FALSE(list.row_muted(0));
  const QImage muted = list.viewport()->grab().toImage();
  EXPECT_EQ(text_pixels(muted, r2, true), 0);
  EXPECT_GT(text_pixels(muted, r2, false), 3);
  EXPECT_EQ(muted.pixel(r2.left(), r2.center().y()), look::kAccent);
  EXPECT_NE(muted.pixel(r0.left(), r0.center().y()), look::kAccent);
  list.select_row(2);
  EXPECT_GT(text_pixels(list.viewport()->grab().toImage(), r2, true), 3);
}

TEST_F(ListTest, EnterCommitsEscapeCancels) {
  Pairs committed(&list, &CListBoxEx::edit_committed);
  Pairs cancelled(&list, &CListBoxEx::edit_cancelled);
  list.begin_edit(1, 20, CListBoxEx::kDigitsOnly);
  QLineEdit* e = open_editor();
  ASSERT_NE(e, nullptr);
  // Filled with the row as far as a digits-only field holds it, all selected.
  EXPECT_EQ(e->text(), QStringLiteral("25"));
  EXPECT_EQ(e->selectedText(), e->text());
  QTest::keyClicks(e, QStringLiteral("7x0-0"));  // digits only
  EXPECT_EQ(e->text(), QStringLiteral("700"));
  QTest::keyClick(e, Qt::Key_Return);
  EXPECT_FALSE(list.editing());
  EXPECT_EQ(list.row_text(1), QStringLiteral("700"));
  EXPECT_EQ(committed.got, (Got{{1, 4097}}));

  list.begin_edit(0, 15);
  QTest::keyClicks(open_editor(), QStringLiteral("changed"));
  QTest::keyClick(open_editor(), Qt::Key_Escape);
  EXPECT_FALSE(list.editing());
  EXPECT_EQ(list.row_text(0), QStringLiteral("A"));
  EXPECT_EQ(committed.got.size(), 1u);
  EXPECT_EQ(cancelled.got, (Got{{0, 4097}}));

  // At most the given number of characters.
  list.begin_edit(0, 15);
  QTest::keyClicks(open_editor(), QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
  QTest::keyClick(open_editor(), Qt::Key_Enter);
  EXPECT_EQ(list.row_text(0), QStringLiteral("abcdefghijklmno"));
  // Committing an existing row with an empty text is still a commit.
  list.begin_edit(2, 15);
  QTest::keyClick(open_editor(), Qt::Key_Delete);
  QTest::keyClick(open_editor(), Qt::Key_Return);
  EXPECT_EQ(list.row_count(), 3);
  EXPECT_EQ(committed.got, (Got{{1, 4097}, {0, 4097}, {2, 4097}}));
  EXPECT_EQ(cancelled.got.size(), 1u);
}

TEST_F(ListTest, ANewRowLeftEmptyOrCancelledGoesAway) {
  Pairs committed(&list, &CListBoxEx::edit_committed);
  Pairs cancelled(&list, &CListBoxEx::edit_cancelled);
  struct Case {
    const char* typed;
    Qt::Key key;
    bool kept;
  };
  const Case cases[] = {{"", Qt::Key_Return, false}, {"Macro", Qt::Key_Escape, false}, {"Macro", Qt::Key_Return, true}};
  for (const Case& c : cases) {
    const int row = list.add_row(QString(), 0);
    list.begin_edit(row, 15, CListBoxEx::kNewRow);
    QTest::keyClicks(open_editor(), QString::fromLatin1(c.typed));
    QTest::keyClick(open_editor(), c.key);
    EXPECT_EQ(list.row_count(), c.kept ? 4 : 3) << c.typed;
  }
  EXPECT_EQ(list.row_text(3), QStringLiteral("Macro"));
  EXPECT_EQ(committed.got, (Got{{3, 4097}}));
  // The owner hears of each row that went, so it can drop what it set up for it.
  EXPECT_EQ(cancelled.got, (Got{{3, 4097}, {3, 4097}}));
}

TEST_F(ListTest, LosingTheFocusEndsTheEditAsEnter) {
  Pairs committed(&list, &CListBoxEx::edit_committed);
  QLineEdit elsewhere(&host);
  elsewhere.setGeometry(250, 10, 100, 20);
  elsewhere.show();
  list.begin_edit(0, 15);
  QTest::keyClicks(open_editor(), QStringLiteral("kept"));
  elsewhere.setFocus();
  EXPECT_FALSE(list.editing());
  EXPECT_EQ(list.row_text(0), QStringLiteral("kept"));
  EXPECT_EQ(committed.got, (Got{{0, 4097}}));

  // Opening another edit ends the first one the same way.
  list.begin_edit(0, 15);
  QTest::keyClicks(open_editor(), QStringLiteral("one"));
  list.begin_edit(2, 15);
  EXPECT_EQ(list.row_text(0), QStringLiteral("one"));
  EXPECT_EQ(list.editing_row(), 2);
  // A row removed by the program under the editor closes it quietly.
  list.remove_row(2);
  EXPECT_FALSE(list.editing());
  EXPECT_EQ(list.row_count(), 2);
}

TEST_F(ListTest, MouseNotifications) {
  QSignalSpy right(&list, &CListBoxEx::right_button);
  Pairs picked(&list, &CListBoxEx::selection_changed);
  list.select_row(0);  // by the program: no notice
  EXPECT_TRUE(picked.got.empty());
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, row_centre(2));
  EXPECT_EQ(picked.got, (Got{{2, 4097}}));
  EXPECT_EQ(list.selected_row(), 2);

  QTest::mouseClick(list.viewport(), Qt::RightButton, {}, row_centre(1));
  ASSERT_EQ(right.size(), 1);
  EXPECT_EQ(right[0][0].toInt(), 4097);
  EXPECT_EQ(list.selected_row(), 2);  // the right button does not move the selection
  EXPECT_EQ(picked.got.size(), 1u);
}

TEST_F(ListTest, PrefixSearchWrapsAround) {
  list.add_row(QStringLiteral("alpha"), 0);
  EXPECT_EQ(list.find_prefix(QStringLiteral("a")), 0);
  EXPECT_EQ(list.find_prefix(QStringLiteral("a"), 0), 2);
  EXPECT_EQ(list.find_prefix(QStringLiteral("A"), 2), 3);
  EXPECT_EQ(list.find_prefix(QStringLiteral("ALP"), 3), 3);  // wraps round to itself
  EXPECT_EQ(list.find_prefix(QStringLiteral("zz")), -1);
  list.clear_rows();
  EXPECT_EQ(list.find_prefix(QString()), -1);
}

CMenuItemList slot_menu() {
  return {
      ExMenuItem::entry(1001, QStringLiteral("Left click")),
      ExMenuItem::entry(0, QString()),  // a separator, as the menu tables write it
      ExMenuItem::entry(1002, QStringLiteral("Right click")),
      ExMenuItem::separator(),
      ExMenuItem::popup(QStringLiteral("Macros"),
                        {ExMenuItem::entry(1099, QStringLiteral("Macro manager...")), ExMenuItem::separator(),
                         ExMenuItem::entry(1100, QStringLiteral("Fire & move")),
                         ExMenuItem::entry(1101, QStringLiteral("Combo"), /*marked=*/true)}),
  };
}

TEST(ExMenu, BuiltFromItemsWithSeparatorsPopupsAndMarks) {
  CExMenu menu;
  menu.add_items(slot_menu());
  const QList<QAction*> top = menu.actions();
  ASSERT_EQ(top.size(), 5);
  EXPECT_EQ(CExMenu::command_of(top[0]), 1001);
  EXPECT_TRUE(top[1]->isSeparator());
  EXPECT_TRUE(top[3]->isSeparator());
  auto* macros = qobject_cast<CExMenu*>(top[4]->menu());
  ASSERT_NE(macros, nullptr);
  EXPECT_EQ(macros->actions().size(), 4);
  EXPECT_EQ(menu.action_of(1100)->text(), QStringLiteral("Fire && move"));  // '&' is text
  EXPECT_TRUE(menu.action_of(1101)->isChecked());
  EXPECT_FALSE(menu.action_of(1100)->isChecked());
  EXPECT_EQ(menu.action_of(4242), nullptr);
  EXPECT_EQ(CExMenu::command_of(top[1]), 0);
}

TEST(ExMenu, ItemsAreAtLeastTheItemWidthAndNeverCut) {
  CExMenu menu;
  menu.set_menu_font(QStringLiteral("Arial"), 18);
  menu.set_item_width(150);
  menu.add_item(2, QStringLiteral("Short"));
  CExMenu* sub = menu.add_popup(QStringLiteral("More"));
  sub->add_item(3, QStringLiteral("x"));
  EXPECT_EQ(sub->item_width(), 150);
  menu.ensurePolished();
  EXPECT_GE(menu.sizeHint().width(), 150);
  EXPECT_LE(menu.sizeHint().width(), 160);

  // A text longer than the width widens every item to hold it whole.
  const QString longer = QStringLiteral("A rather long entry that needs room");
  menu.add_item(1, longer);
  const int text = QFontMetrics(look::design_font(QStringLiteral("Arial"), 18)).horizontalAdvance(longer);
  const QList<QAction*> all = menu.actions();
  EXPECT_GT(menu.actionGeometry(all[2]).width(), text + 12);
  EXPECT_EQ(menu.actionGeometry(all[0]).width(), menu.actionGeometry(all[2]).width());
  EXPECT_EQ(menu.actionGeometry(all[1]).width(), menu.actionGeometry(all[2]).width());
}

TEST(ExMenu, TrackReturnsTheChosenCommand) {
  Host host;
  CExMenu menu(&host);
  menu.add_items(slot_menu());
  // Down picks the first item; the separator is skipped on the way down.
  QTimer::singleShot(0, [] {
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Return);
  });
  EXPECT_EQ(menu.track(host.mapToGlobal(QPoint(10, 10))), 1002);
  QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape); });
  EXPECT_EQ(menu.track(host.mapToGlobal(QPoint(10, 10))), 0);
}

TEST(ExMenu, MarkedItemInTheHighlightColour) {
  Host host;
  CExMenu menu(&host);
  menu.set_highlight_color(QColor(0, 255, 0));
  menu.add_item(1, QStringLiteral("Plain"));
  menu.add_item(2, QStringLiteral("Current"), QImage(), true);
  menu.popup(host.mapToGlobal(QPoint(0, 0)));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
  const QImage img = menu.grab().toImage();
  auto greens = [&](QRect r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) n += qGreen(img.pixel(x, y)) > 200 && qRed(img.pixel(x, y)) < 80;
    return n;
  };
  EXPECT_EQ(greens(menu.actionGeometry(menu.actions()[0])), 0);
  EXPECT_GT(greens(menu.actionGeometry(menu.actions()[1])), 10);
  const QRgb back = img.pixel(menu.width() / 2, 1 + menu.actionGeometry(menu.actions()[0]).top() / 2);
  EXPECT_LT(qRed(back) + qGreen(back) + qBlue(back), 3 * 50);  // a dark panel
  menu.close();
}

}  // namespace
}  // namespace mt
