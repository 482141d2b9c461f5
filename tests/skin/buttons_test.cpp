// The buttons, the numeric edit, the window bases, the drag and the dialog
// runners, driven through QTest offscreen.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QSignalSpy>
#include <QTimer>

#include "controls_support.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/bmp_edit.h"
#include "option/skin/dialog_runner.h"
#include "option/skin/rgn_button.h"
#include "option/skin/skin_look.h"
#include "option/skin/skinned_window.h"
#include "option/skin/window_drag.h"

namespace mt {
namespace {

using skin_test::Host;
using skin_test::Pairs;
using skin_test::shown_at;

TEST(BitmapBtn, HoverPressAndClickTellTheOwner) {
  Host host;
  CBitmapBtn b(&host, 200);
  b.setGeometry(10, 10, 80, 30);
  b.set_pictures(skin_test::state_cuts(QSize(80, 30)));
  b.set_hover_id(207);
  b.set_hint(QStringLiteral("slot hint"));
  b.show();
  Pairs hover(&b, &CBitmapBtn::hover_changed);
  QSignalSpy commands(&b, &CBitmapBtn::command);
  QSignalSpy hints(&b, &CBitmapBtn::status_hint);
  const QPoint probe(4, 4);

  EXPECT_EQ(shown_at(b, probe), skin_test::kNormalColour);
  QTest::mouseMove(&b, QPoint(40, 15));
  EXPECT_TRUE(b.hovered());
  EXPECT_EQ(shown_at(b, probe), skin_test::kOverColour);
  QTest::mouseMove(&b, QPoint(41, 16));  // further moves change nothing
  ASSERT_EQ(hover.got, (std::vector<std::pair<int, int>>{{1, 207}}));
  ASSERT_EQ(hints.size(), 1);
  EXPECT_EQ(hints[0][0].toInt(), 1);
  EXPECT_EQ(hints[0][1].toString(), QStringLiteral("slot hint"));

  // Pressed: the down picture; released over the button: one command.
  QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(40, 15));
  EXPECT_EQ(shown_at(b, probe), skin_test::kDownColour);
  QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(40, 15));
  ASSERT_EQ(commands.size(), 1);
  EXPECT_EQ(commands[0][0].toInt(), 200);

  // Released away from the button: no command.
  QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(40, 15));
  QTest::mouseMove(&host, QPoint(200, 200));
  QTest::mouseRelease(&host, Qt::LeftButton, {}, QPoint(200, 200));
  EXPECT_EQ(commands.size(), 1);

  QTest::mouseMove(&host, QPoint(300, 250));
  EXPECT_FALSE(b.hovered());
  EXPECT_EQ(hover.got.back(), std::make_pair(0, 207));
  EXPECT_EQ(hints.back()[0].toInt(), 0);
  EXPECT_EQ(shown_at(b, probe), skin_test::kNormalColour);
}

TEST(BitmapBtn, PicturesAndCaptionColoursFollowTheState) {
  Host host;
  CBitmapBtn b(&host, 1);
  b.setGeometry(0, 0, 60, 20);
  b.set_pictures(skin_test::state_cuts(QSize(60, 20)));
  b.show();
  struct Case {
    bool enabled, selected, down;
    SkinState state;
    QRgb picture;
    uint32_t caption;
  };
  const Case cases[] = {
      {true, false, false, SkinState::normal, skin_test::kNormalColour, look::kCaptionNormal},
      {true, true, false, SkinState::down, skin_test::kDownColour, look::kCaptionSelected},
      {true, false, true, SkinState::down, skin_test::kDownColour, look::kCaptionOver},
      {false, true, false, SkinState::disable, skin_test::kDisableColour, look::kCaptionDisabled},
  };
  for (const Case& c : cases) {
    b.setEnabled(c.enabled);
    b.set_selected(c.selected);
    b.setDown(c.down);
    EXPECT_EQ(b.state(), c.state);
    EXPECT_EQ(shown_at(b, QPoint(1, 1)), c.picture);
    EXPECT_EQ(b.caption_color(c.state).rgb(), look::rgb_of_colorref(c.caption));
  }
  // The designed defaults.
  EXPECT_EQ(b.caption_font().family(), QStringLiteral("Arial"));
  EXPECT_EQ(b.caption_font().pixelSize(), 23);
  EXPECT_EQ(look::rgb_of_colorref(look::kCaptionNormal), qRgb(0xF5, 0xF5, 0xF5));
  EXPECT_EQ(look::rgb_of_colorref(look::kCaptionSelected), qRgb(255, 0, 0));
  EXPECT_EQ(look::rgb_of_colorref(look::kCaptionDisabled), qRgb(0x96, 0x96, 0x96));

  // A caption is drawn in the state's colour over the picture.
  b.setEnabled(true);
  b.set_selected(false);
  b.setDown(false);
  b.setText(QStringLiteral("MMMMMMMMMMMMMMMMMMMMMMMM"));  // far too long: set smaller, then cut
  b.set_caption_color(QColor(255, 255, 0));
  const QImage img = b.grab().toImage();
  int yellow = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (qRed(img.pixel(x, y)) > 200 && qGreen(img.pixel(x, y)) > 200 && qBlue(img.pixel(x, y)) < 80) ++yellow;
  EXPECT_GT(yellow, 20);
  // Margins keep the caption off a glyph at the button's left.
  b.setText(QStringLiteral("1000"));
  b.set_caption_margins(QMargins(30, 0, 2, 0));
  const QImage kept = b.grab().toImage();
  int left_of_margin = 0, right_of_it = 0;
  for (int y = 0; y < kept.height(); ++y)
    for (int x = 0; x < kept.width(); ++x)
      if (qRed(kept.pixel(x, y)) > 200 && qBlue(kept.pixel(x, y)) < 80) ++(x < 30 ? left_of_margin : right_of_it);
  EXPECT_EQ(left_of_margin, 0);
  EXPECT_GT(right_of_it, 10);

  // A disabled button under the pointer stops being hovered at once.
  Pairs hover(&b, &CBitmapBtn::hover_changed);
  QTest::mouseMove(&b, QPoint(30, 10));
  b.setEnabled(false);
  EXPECT_EQ(hover.got, (std::vector<std::pair<int, int>>{{1, 1}, {0, 1}}));
  QSignalSpy commands(&b, &CBitmapBtn::command);
  QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(30, 10));
  EXPECT_EQ(commands.size(), 0);
}

TEST(BitmapBtn, WithoutPicturesStillDrawsAndClicks) {
  Host host;
  CBitmapBtn b(&host, 3);
  b.setGeometry(0, 0, 50, 24);
  b.show();
  QSignalSpy commands(&b, &CBitmapBtn::command);
  EXPECT_NE(shown_at(b, QPoint(25, 12)), qRgb(0, 0, 0));
  QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(25, 12));
  EXPECT_EQ(commands.size(), 1);
}

TEST(RgnButton, OnlyItsRegionTakesThePointer) {
  Host host;
  CRgnButton b(&host, 5);
  b.setGeometry(20, 20, 40, 20);
  // The right half of the button only.
  b.set_region_from_mask(skin_test::solid(QSize(40, 20), qRgb(255, 255, 255)).copy());
  EXPECT_TRUE(b.region().isEmpty());
  QImage mask = skin_test::solid(QSize(40, 20), qRgb(255, 255, 255));
  QPainter(&mask).fillRect(20, 0, 20, 20, Qt::black);
  b.set_region_from_mask(mask);
  b.show();
  Pairs hover(&b, &CRgnButton::hover_changed);
  QSignalSpy commands(&b, &CRgnButton::command);

  QTest::mouseMove(&host, QPoint(25, 30));  // over the button, outside its region
  EXPECT_TRUE(hover.got.empty());
  QTest::mouseClick(&host, Qt::LeftButton, {}, QPoint(25, 30));
  EXPECT_EQ(commands.size(), 0);

  QTest::mouseMove(&host, QPoint(50, 30));
  EXPECT_EQ(hover.got, (std::vector<std::pair<int, int>>{{1, 5}}));
  QTest::mouseClick(&host, Qt::LeftButton, {}, QPoint(50, 30));
  EXPECT_EQ(commands.size(), 1);

  // An empty region (a broken mask) leaves the whole button clickable.
  b.set_region(QRegion());
  QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_EQ(commands.size(), 2);
}

TEST(BmpEdit, TakesOnlyDigitsCommaAndPoint) {
  const std::pair<const char*, const char*> filtered[] = {
      {"12a,3.b", "12,3."}, {"-5", "5"}, {"\xd9\xa3" "7", "7"}, {"1 000", "1000"}, {"", ""}, {"0123456789,.", "0123456789,."}};
  for (auto [in, out] : filtered) EXPECT_EQ(numeric_edit_filter(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;

  Host host;
  CBmpEdit e(&host, 4010);
  e.setGeometry(10, 10, 120, 24);
  e.show();
  e.setFocus();
  QTest::keyClicks(&e, QStringLiteral("1x2,y3.+-"));
  EXPECT_EQ(e.text(), QStringLiteral("12,3."));

  // A paste keeps what the edit takes and drops the rest.
  e.clear();
  QGuiApplication::clipboard()->setText(QStringLiteral("ab9 8-7"));
  e.paste();
  EXPECT_EQ(e.text(), QStringLiteral("987"));
  QGuiApplication::clipboard()->setText(QStringLiteral("only letters"));
  e.paste();
  EXPECT_EQ(e.text(), QStringLiteral("987"));
  EXPECT_EQ(e.cursorPosition(), 3);

  e.setMaxLength(3);
  e.setText(QString());
  QTest::keyClicks(&e, QStringLiteral("12345"));
  EXPECT_EQ(e.text(), QStringLiteral("123"));

  // The key-name form shows anything the program sets, and takes no typing.
  e.set_display_only(true);
  e.setText(QStringLiteral("Left Ctrl"));
  EXPECT_EQ(e.text(), QStringLiteral("Left Ctrl"));
  EXPECT_TRUE(e.isReadOnly());
  EXPECT_EQ(shown_at(e, QPoint(1, 1)), qRgb(0, 0, 0));
}

TEST(BmpEdit, NotifiesEnterReleaseChangesAndFocusLoss) {
  Host host;
  CBmpEdit e(&host, 4010);
  CBmpEdit other(&host, 4011);
  e.setGeometry(10, 10, 120, 24);
  other.setGeometry(10, 50, 120, 24);
  e.show();
  other.show();
  Pairs notes(&e, &CBmpEdit::edit_notify);
  QSignalSpy lost(&e, &CBmpEdit::kill_focus);
  e.setFocus();

  e.setText(QStringLiteral("5"));  // set by the program: no notice
  EXPECT_TRUE(notes.got.empty());
  QTest::keyClick(&e, Qt::Key_7);
  EXPECT_EQ(notes.got, (std::vector<std::pair<int, int>>{{kBitmapEditChanged, 4010}}));
  notes.clear();
  QTest::keyPress(&e, Qt::Key_Return);
  EXPECT_TRUE(notes.got.empty());  // on the release, not the press
  QTest::keyRelease(&e, Qt::Key_Return);
  EXPECT_EQ(notes.got, (std::vector<std::pair<int, int>>{{kBitmapEditEnterReleased, 4010}}));

  EXPECT_EQ(lost.size(), 0);
  other.setFocus();
  ASSERT_EQ(lost.size(), 1);
  EXPECT_EQ(lost[0][0].toInt(), 4010);
}

// A window skin of 60 x 40: dark grey, a red square at the top left, and a
// mask that cuts off the right 10 columns.
SkinPictureSet little_skin() {
  SkinPictureSet set;
  set.normal = skin_test::solid(QSize(60, 40), qRgb(30, 30, 30));
  QPainter(&set.normal).fillRect(0, 0, 5, 5, QColor(200, 0, 0));
  set.over = set.down = set.disable = set.normal;
  set.mask = QRegion(0, 0, 50, 40);
  set.size = QSize(60, 40);
  return set;
}

TEST(SkinDialog, SizeShapeAndBackgroundFromTheSkin) {
  CSkinDialog d(nullptr, QSize(300, 200));
  EXPECT_EQ(d.size(), QSize(300, 200));  // no skin yet
  EXPECT_TRUE(d.windowFlags() & Qt::FramelessWindowHint);
  d.set_skin(little_skin());
  EXPECT_EQ(d.size(), QSize(60, 40));
  EXPECT_EQ(d.mask(), QRegion(0, 0, 50, 40));
  EXPECT_EQ(shown_at(d, QPoint(2, 2)), qRgb(200, 0, 0));
  EXPECT_EQ(shown_at(d, QPoint(20, 20)), qRgb(30, 30, 30));

  // A skin without pictures: the default size, unshaped, a plain dark surface.
  d.set_skin(SkinPictureSet{});
  EXPECT_EQ(d.size(), QSize(300, 200));
  EXPECT_TRUE(d.mask().isEmpty());
  const QRgb fallback = shown_at(d, QPoint(150, 100));
  EXPECT_LT(qRed(fallback) + qGreen(fallback) + qBlue(fallback), 3 * 60);
}

TEST(SkinDialog, EnterAndEscapeDoNotCloseIt) {
  CSkinDialog d(nullptr);
  d.set_skin(little_skin());
  auto* edit = new CBmpEdit(&d, 7);
  edit->setGeometry(5, 5, 40, 20);
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
  for (QWidget* target : {static_cast<QWidget*>(&d), static_cast<QWidget*>(edit)}) {
    target->setFocus();
    for (Qt::Key k : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(target, k);
    EXPECT_TRUE(d.isVisible());
  }
  d.reject();  // the window manager's close comes here too
  EXPECT_EQ(d.result(), CSkinDialog::kResultCancel);
  d.show();
  d.accept();
  EXPECT_EQ(d.result(), CSkinDialog::kResultOk);
}

TEST(WindowDragging, SurfaceMovesTheWindowButControlsDoNot) {
  // Offscreen there is no window manager: the drag follows the pointer itself.
  CSkinDialog d(nullptr);
  d.set_skin(little_skin());
  auto* panel = new CSkinPanel(&d, QSize(20, 20));
  panel->move(30, 10);
  auto* button = new CBitmapBtn(&d, 1);
  button->setGeometry(5, 25, 20, 10);
  d.move(100, 100);
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));

  struct Case {
    QWidget* where;
    QPoint at;
    bool moves;
  };
  const Case cases[] = {{&d, QPoint(10, 10), true}, {panel, QPoint(5, 5), true}, {button, QPoint(5, 5), false}};
  for (const Case& c : cases) {
    const QPoint start = d.pos();
    QTest::mousePress(c.where, Qt::LeftButton, {}, c.at);
    QTest::mouseMove(c.where, c.at + QPoint(7, 3));
    QTest::mouseMove(c.where, c.at + QPoint(12, 6));
    QTest::mouseRelease(c.where, Qt::LeftButton, {}, c.at + QPoint(12, 6));
    // The move shifts the window under the pointer: what counts is where the
    // window ends up against where the drag started, on the screen.
    if (c.moves)
      EXPECT_NE(d.pos(), start);
    else
      EXPECT_EQ(d.pos(), start);
  }
}

TEST(DialogRunners, ScriptedAnswersInOrder) {
  ScriptedDialogRunner runner;
  CSkinDialog d(nullptr);
  auto* ok = new CBitmapBtn(&d, 1);
  ok->setGeometry(0, 0, 40, 20);
  QObject::connect(ok, &CBitmapBtn::command, &d, [&d] { d.done(CSkinDialog::kResultOk); });
  runner.answer(CSkinDialog::kResultCancel)
      .then([ok](QDialog& dialog) {
        EXPECT_TRUE(dialog.isVisible());
        QTest::mouseClick(ok, Qt::LeftButton, {}, QPoint(10, 10));
        return ScriptedDialogRunner::kDialogsOwnResult;
      })
      .then([](QDialog&) { return 7; });
  EXPECT_EQ(runner.run(d), 2);
  EXPECT_EQ(runner.run(d), 1);
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(runner.run(d), 7);
  EXPECT_EQ(runner.steps_left(), 0u);
  EXPECT_EQ(runner.run(d), 2);  // past the script: Cancel
  EXPECT_EQ(runner.shown(), std::vector<std::string>(4, "mt::CSkinDialog"));
}

TEST(DialogRunners, ExecRunsTheDialogModally) {
  ExecDialogRunner runner;
  CSkinDialog d(nullptr);
  QTimer::singleShot(0, &d, [&d] {
    EXPECT_TRUE(d.isModal());
    d.done(CSkinDialog::kResultOk);
  });
  EXPECT_EQ(runner.run(d), 1);
  QTimer::singleShot(0, &d, [&d] { d.done(0); });  // closed some other way
  EXPECT_EQ(runner.run(d), 2);
}

}  // namespace
}  // namespace mt
