// The sliders, the marker and the spins, driven through QTest offscreen.
#include <gtest/gtest.h>

#include <QFontMetrics>

#include "controls_support.h"
#include "option/skin/bmp_edit.h"
#include "option/skin/hslider.h"
#include "option/skin/spin_wnd.h"

namespace mt {
namespace {

using skin_test::Host;
using skin_test::Pairs;
using Got = std::vector<std::pair<int, int>>;

// A 10 px thumb on a 110 px track: centres 5..105, 100 px for the range.
QImage thumb() { return skin_test::solid(QSize(10, 16), qRgb(220, 220, 220)); }

TEST(Sliders, PositionsMapToValues) {
  Host host;
  CClickHSlider s(&host, 201);
  s.setGeometry(0, 0, 110, 20);
  s.set_thumb(thumb());
  s.set_range(1, 5);
  struct Case {
    int x;
    int cut, nearest;
  };
  // 1..5 over 100 px: a value every 25 px.
  const Case cases[] = {{-50, 1, 1}, {5, 1, 1}, {17, 1, 1}, {18, 1, 2}, {29, 1, 2}, {30, 2, 2},
                        {92, 4, 4},  {104, 4, 5}, {105, 5, 5}, {500, 5, 5}};
  for (const Case& c : cases) {
    s.set_nearest(false);
    EXPECT_EQ(s.value_at(c.x), c.cut) << c.x;
    s.set_nearest(true);
    EXPECT_EQ(s.value_at(c.x), c.nearest) << c.x;
  }
  for (int v = 1; v <= 5; ++v) EXPECT_EQ(s.value_at(s.position_of(v)), v);
  // The CPI sliders' range does not overflow.
  s.set_range(10000, 1000000);
  EXPECT_EQ(s.value_at(105), 1000000);
  EXPECT_EQ(s.value_at(55), 505000);
  // A reversed range is the same range; values stay inside.
  s.set_range(5, 1);
  EXPECT_EQ(s.minimum(), 1);
  s.set_value(99);
  EXPECT_EQ(s.value(), 5);
}

TEST(Sliders, ClickSliderJumpsAndFollowsTheDrag) {
  Host host;
  CClickHSlider s(&host, 201);
  s.setGeometry(0, 0, 110, 20);
  s.set_thumb(thumb());
  s.set_range(0, 100);
  s.set_nearest(true);
  s.show();
  Pairs moved(&s, &CClickHSlider::position_changed);

  s.set_value(40);  // from the program: silent
  EXPECT_TRUE(moved.got.empty());
  QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(85, 10));
  QTest::mouseMove(&s, QPoint(85, 12));  // the same value: nothing
  QTest::mouseMove(&s, QPoint(95, 10));
  QTest::mouseMove(&s, QPoint(390, 10));  // past the end, captured
  QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(390, 10));
  QTest::mouseMove(&s, QPoint(20, 10));  // no button held
  EXPECT_EQ(moved.got, (Got{{80, 201}, {90, 201}, {100, 201}}));
  EXPECT_EQ(s.value(), 100);
  // The right button does nothing.
  QTest::mouseClick(&s, Qt::RightButton, {}, QPoint(5, 10));
  EXPECT_EQ(s.value(), 100);
}

TEST(Sliders, ThumbSliderDragsTheThumbAndPagesBesideIt) {
  Host host;
  CPHSlider s(&host, 205);
  s.setGeometry(0, 0, 110, 20);
  s.set_thumb(thumb());
  s.set_range(0, 100);
  s.set_value(50);
  s.show();
  Pairs moved(&s, &CPHSlider::position_changed);
  ASSERT_EQ(s.thumb_rect(), QRect(50, 2, 10, 16));

  // Grabbed off centre, the thumb keeps its offset to the pointer.
  QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(58, 10));
  QTest::mouseMove(&s, QPoint(68, 10));
  QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(68, 10));
  EXPECT_EQ(moved.got, (Got{{60, 205}}));
  // Beside the thumb: a page (a tenth of the range) towards the click.
  QTest::mouseClick(&s, Qt::LeftButton, {}, QPoint(100, 10));
  QTest::mouseClick(&s, Qt::LeftButton, {}, QPoint(2, 10));
  QTest::mouseClick(&s, Qt::LeftButton, {}, QPoint(2, 10));
  EXPECT_EQ(moved.got, (Got{{60, 205}, {70, 205}, {60, 205}, {50, 205}}));
  s.set_page_step(200);
  QTest::mouseClick(&s, Qt::LeftButton, {}, QPoint(2, 10));
  EXPECT_EQ(s.value(), 0);
}

TEST(Sliders, MarkerIsDraggedAlongItsScale) {
  Host host;
  CDMarker m(&host, 12);
  m.setGeometry(0, 0, 711, 16);  // 11 px pointer: one value a pixel over 0..700
  m.set_range(0, 700);
  m.show();
  Pairs moved(&m, &CDMarker::marker_moved);
  m.set_value(300);
  QTest::mousePress(&m, Qt::LeftButton, {}, QPoint(105, 8));
  QTest::mouseMove(&m, QPoint(-30, 8));
  QTest::mouseRelease(&m, Qt::LeftButton, {}, QPoint(-30, 8));
  EXPECT_EQ(moved.got, (Got{{100, 12}, {0, 12}}));
}

TEST(Spins, ButtonsAndKeysStepInsideTheRange) {
  Host host;
  CSpinWnd s(&host, 406);
  s.setGeometry(0, 0, 60, 24);
  s.set_range(1, 11);
  s.set_value(10);
  s.show();
  Pairs changed(&s, &CSpinWnd::value_changed);
  QWidget* up = s.childAt(55, 5);
  QWidget* down = s.childAt(55, 19);
  ASSERT_TRUE(up && down && up != down);

  QTest::mouseClick(up, Qt::LeftButton);
  QTest::mouseClick(up, Qt::LeftButton);  // at the end: no change, no notice
  EXPECT_EQ(s.edit()->text(), QStringLiteral("11"));
  s.set_step(3);
  QTest::mouseClick(down, Qt::LeftButton);
  QTest::mouseClick(down, Qt::LeftButton);
  QTest::mouseClick(down, Qt::LeftButton);
  QTest::mouseClick(down, Qt::LeftButton);
  s.edit()->setFocus();
  QTest::keyClick(s.edit(), Qt::Key_Up);
  EXPECT_EQ(changed.got, (Got{{11, 406}, {8, 406}, {5, 406}, {2, 406}, {1, 406}, {4, 406}}));
  EXPECT_EQ(s.edit()->text(), QStringLiteral("4"));
}

TEST(Spins, TypedNumbersAreTakenAndSettled) {
  Host host;
  CSpinWnd s(&host, 402);
  s.setGeometry(0, 0, 60, 24);
  s.set_range(0, 255);
  s.show();
  Pairs changed(&s, &CSpinWnd::value_changed);
  EXPECT_EQ(s.edit()->maxLength(), 3);
  s.edit()->setFocus();
  s.edit()->selectAll();
  QTest::keyClicks(s.edit(), QStringLiteral("128"));
  EXPECT_EQ(changed.got, (Got{{1, 402}, {12, 402}, {128, 402}}));

  // Outside the range: not taken while typing; the nearest end once settled.
  changed.clear();
  s.edit()->selectAll();
  QTest::keyClicks(s.edit(), QStringLiteral("300"));
  EXPECT_EQ(changed.got, (Got{{3, 402}, {30, 402}}));
  QTest::keyRelease(s.edit(), Qt::Key_Return);
  EXPECT_EQ(changed.got.back(), std::make_pair(255, 402));
  EXPECT_EQ(s.edit()->text(), QStringLiteral("255"));

  // A field left without a number shows the value again.
  s.edit()->selectAll();
  QTest::keyClick(s.edit(), Qt::Key_Delete);
  s.clearFocus();
  s.edit()->clearFocus();
  EXPECT_EQ(s.edit()->text(), QStringLiteral("255"));
  EXPECT_EQ(s.value(), 255);
}

TEST(Spins, ArrowsWhereTheSkinDrawsThemAndTheWidestValueSeenWhole) {
  Host host;
  struct Case {
    int width, min, max, arrows;
  } cases[] = {{50, 0, 255, 13}, {69, 0, 255, 13}, {70, 1, 11, 20}, {90, 1, 11, 20}, {60, 0, 9999, 13}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    CSpinWnd s(&host, 401);
    s.setGeometry(0, 0, c.width, 30);
    s.set_range(c.min, c.max);
    s.show();
    EXPECT_EQ(s.childAt(c.width - c.arrows, 5), s.childAt(c.width - 1, 5));
    EXPECT_NE(s.childAt(c.width - c.arrows - 1, 5), s.childAt(c.width - 1, 5));
    const QString widest = QString::number(c.max);
    const int room = s.edit()->width() - QFontMetrics(s.edit()->font()).horizontalAdvance(widest);
    EXPECT_GE(room, 4) << s.edit()->font().pixelSize();
  }
  // A range with longer numbers sets the text smaller.
  CSpinWnd s(&host, 401);
  s.setGeometry(0, 0, 50, 30);
  s.set_range(0, 9);
  s.show();
  const int one_digit = s.edit()->font().pixelSize();
  s.set_range(0, 255);
  EXPECT_LT(s.edit()->font().pixelSize(), one_digit);
}

TEST(Spins, SpecialSpinShowsAndSnapsCpi) {
  Host host;
  CSpecialSpinWnd s(&host, 405);
  s.setGeometry(0, 0, 70, 24);
  s.show();
  Pairs changed(&s, &CSpinWnd::value_changed);
  s.set_value(8);
  EXPECT_EQ(s.edit()->text(), QStringLiteral("2000"));
  QTest::mouseClick(s.childAt(65, 5), Qt::LeftButton);
  EXPECT_EQ(s.edit()->text(), QStringLiteral("2500"));
  EXPECT_EQ(changed.got, (Got{{9, 405}}));

  struct Case {
    const char* typed;
    int code;
    const char* shown;
  };
  const Case cases[] = {{"1000", 4, "1000"}, {"2300", 9, "2500"}, {"2,900", 10, "3000"},
                        {"99999", 12, "4000"}, {"0", 1, "250"},   {",", 1, "250"}};
  s.edit()->setFocus();
  for (const Case& c : cases) {
    s.edit()->selectAll();
    QTest::keyClicks(s.edit(), QString::fromLatin1(c.typed));
    QTest::keyRelease(s.edit(), Qt::Key_Return);
    EXPECT_EQ(s.value(), c.code) << c.typed;
    EXPECT_EQ(s.edit()->text(), QString::fromLatin1(c.shown)) << c.typed;
  }
  // Only settled values notify, each once.
  EXPECT_EQ(changed.got, (Got{{9, 405}, {4, 405}, {9, 405}, {10, 405}, {12, 405}, {1, 405}}));
  QTest::mouseClick(s.childAt(65, 19), Qt::LeftButton);  // already at the bottom
  EXPECT_EQ(changed.got.size(), 6u);
}

}  // namespace
}  // namespace mt
