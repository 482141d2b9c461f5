// The performance page offscreen: its controls at their skin keys, real
// clicks on the dial, the level, rate and mode buttons and the sliders, what
// reaches the profile and the desktop, and what the page paints.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QStyleHints>

#include <cmath>
#include <memory>

#include "fake_option_host.h"
#include "option/logic/cpi_values.h"
#include "option/logic/text_layout.h"
#include "option/performance_page.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/bmp_edit.h"
#include "option/skin/hslider.h"
#include "option/skin/rgn_button.h"
#include "option/skin/spin_wnd.h"
#include "page_skin.h"

namespace mt {
namespace {

using page_test::FakeOptionHost;
using page_test::PageSkin;
using skin_test::shown_at;

// The page in a shown window of its size, over the test skin.
struct PerfFixture {
  PerfFixture() : host(skin.path()) {
    host.texts().load_from_text(page_test::kPageTexts);
    window.resize(720, 470);
    page = new CDlgPagePerfer(host, &window);
    page->refresh();
    page->show();
    QApplication::processEvents();
  }
  ~PerfFixture() { QGuiApplication::styleHints()->setMouseDoubleClickInterval(400); }

  ProfileRecord& p() { return host.current(); }
  QPoint centre_of(int key) const { return page->placement(key).center(); }
  // A left click on the page at a point of the page.
  void click_page(QPoint at) { QTest::mouseClick(page, Qt::LeftButton, {}, at); }
  // The point of the dial in the middle of value k's own slice.
  QPoint dial_point_of(int k, double radius = 60) const {
    const double deg = CpiDial::kStartDeg + (k - 0.5) * CpiDial::kStepDeg;
    const PointD pt = mt::dial_point(page->dial().centre(), radius, deg);
    return QPoint(int(std::lround(pt.x)), int(std::lround(pt.y)));
  }
  QRgb page_pixel(QPoint at) { return page->grab().toImage().pixel(at); }

  PageSkin skin;
  FakeOptionHost host;
  skin_test::Host window;
  CDlgPagePerfer* page;
};

TEST(PerformancePage, ControlsAtTheirKeysWithTheirIdsAndRanges) {
  PerfFixture f;
  CDlgPagePerfer& pg = *f.page;
  EXPECT_EQ(pg.size(), QSize(720, 470));
  struct Track {
    HTrackBase* control;
    int key, id, min, max;
  } tracks[] = {
      {pg.cpi_slider(kCpiXSlider), 8, 201, 10000, 120000},  // levels: index x 10000
      {pg.cpi_slider(kCpiYSlider), 9, 202, 10000, 120000},
      {pg.pointer_slider(), 10, 203, 1, 11},
      {pg.double_click_slider(), 11, 204, 0, 700},
      {pg.double_click_test(), 12, 12, 0, 700},
      {pg.scroll_slider(), 13, 206, 1, 11},
  };
  for (const Track& t : tracks) {
    SCOPED_TRACE(t.id);
    EXPECT_EQ(t.control->geometry(), pg.placement(t.key));
    EXPECT_EQ(t.control->control_id(), t.id);
    EXPECT_EQ(t.control->minimum(), t.min);
    EXPECT_EQ(t.control->maximum(), t.max);
    if (t.id != 12) {
      EXPECT_TRUE(t.control->nearest());
    }
  }
  EXPECT_EQ(pg.cpi_spin()->geometry(), pg.placement(7));
  EXPECT_EQ(pg.cpi_spin()->control_id(), 405);
  EXPECT_EQ(pg.cpi_spin()->minimum(), 1);
  EXPECT_EQ(pg.cpi_spin()->maximum(), 12);
  EXPECT_EQ(pg.scroll_spin()->geometry(), pg.placement(14));
  EXPECT_EQ(pg.scroll_spin()->control_id(), 406);
  EXPECT_EQ(pg.scroll_spin()->maximum(), 11);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(pg.level_button(i)->geometry(), pg.placement(1 + i));
    EXPECT_EQ(pg.level_button(i)->text(), QStringLiteral("Level %1").arg(i + 1));
    EXPECT_EQ(pg.level_button(i)->hint(), pg.level_button(i)->text());
  }
  const char* rates[] = {"125", "250", "500", "1000"};
  for (int j = 0; j < 4; ++j) {
    EXPECT_EQ(pg.rate_button(j)->geometry(), pg.placement(18 + j));
    EXPECT_EQ(pg.rate_button(j)->text(), QString::fromLatin1(rates[j]));
  }
  EXPECT_EQ(pg.scroll_mode_button(0)->geometry(), pg.placement(15));
  EXPECT_EQ(pg.scroll_mode_button(1)->geometry(), pg.placement(16));
  EXPECT_EQ(pg.acceleration_button()->geometry(), pg.placement(17));
  EXPECT_EQ(pg.xy_link_indicator()->geometry(), pg.placement(22));
  EXPECT_EQ(pg.dial().rect(), (PixelRect{152, 54, 370, 272}));
}

TEST(PerformancePage, LevelButtonsSelectTheLevelInUse) {
  PerfFixture f;
  f.p().CpiLevel_X[2] = 9;
  f.p().CpiLevel_Y[2] = 5;
  QTest::mouseClick(f.page->level_button(2), Qt::LeftButton);
  EXPECT_EQ(f.p().CpiStep, 2);
  EXPECT_EQ(f.page->cpi_spin()->edit()->text(), QStringLiteral("2500"));
  EXPECT_EQ(f.page->cpi_slider(kCpiXSlider)->value(), 90000);
  EXPECT_EQ(f.page->cpi_slider(kCpiYSlider)->value(), 50000);
  // The level in use: down cut and the pointed shape; the others plain.
  EXPECT_EQ(f.page->shaped_level(), 2);
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    CRgnButton* b = f.page->level_button(i);
    EXPECT_EQ(b->selected(), i == 2);
    EXPECT_EQ(b->region().contains(QPoint(115, 19)), i == 2);
    EXPECT_TRUE(b->region().contains(QPoint(50, 19)));
  }
  EXPECT_EQ(shown_at(*f.page->level_button(2), QPoint(5, 5)), page_test::kDownColour);
  // Level 4 now: level 3 goes back to its plain shape.
  QTest::mouseClick(f.page->level_button(4), Qt::LeftButton);
  EXPECT_EQ(f.p().CpiStep, 4);
  EXPECT_FALSE(f.page->level_button(2)->region().contains(QPoint(115, 19)));
  EXPECT_EQ(f.page->cpi_spin()->edit()->text(), QString::fromStdU16String(cpi_text(f.p().CpiLevel_X[4])));
  // Hovering a level button shows its hint on the main window's status line.
  QTest::mouseMove(f.page->level_button(1), QPoint(40, 19));
  EXPECT_EQ(f.host.status_hint, u"Level 2");
  QTest::mouseMove(f.page, QPoint(600, 450));
  EXPECT_EQ(f.host.status_hint, u"");
}

TEST(PerformancePage, DialClicksPickTheSmallestValueUnderThePoint) {
  PerfFixture f;
  QTest::mouseClick(f.page->level_button(3), Qt::LeftButton);
  const int32_t y_before[5] = {f.p().CpiLevel_Y[0], f.p().CpiLevel_Y[1], f.p().CpiLevel_Y[2], f.p().CpiLevel_Y[3],
                               f.p().CpiLevel_Y[4]};
  for (int k : {1, 5, 9, 12, 3}) {
    SCOPED_TRACE(k);
    f.click_page(f.dial_point_of(k));
    EXPECT_EQ(f.p().CpiLevel_X[3], k);
    EXPECT_EQ(f.page->cpi_spin()->edit()->text(), QString::fromStdU16String(cpi_text(k)));
    EXPECT_EQ(f.page->cpi_slider(kCpiXSlider)->value(), k * 10000);
  }
  // Only level 3's X changed.
  EXPECT_EQ(std::memcmp(y_before, f.p().CpiLevel_Y, sizeof y_before), 0);
  EXPECT_EQ(f.p().CpiLevel_X[2], 8);
  // Outside every slice (the open lower right, beyond the radius) nothing.
  for (QPoint miss : {f.dial_point_of(14), f.dial_point_of(6, 100), QPoint(160, 60)}) {
    f.click_page(miss);
    EXPECT_EQ(f.p().CpiLevel_X[3], 3) << miss.x() << "," << miss.y();
  }

  // Painted: value 3's slice in the designed red, the slices beyond it not.
  const QImage img = f.page->grab().toImage();
  EXPECT_EQ(img.pixel(f.dial_point_of(2)), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(f.dial_point_of(5)), page_test::kNormalColour);
  // The needle runs along the slice's far edge, past the fill's radius.
  const PointD tip = mt::dial_point(f.page->dial().centre(), 92, CpiDial::needle_angle(3));
  EXPECT_EQ(qRed(img.pixel(int(tip.x), int(tip.y))), 255);
  // A level index outside 1..12 draws neither.
  f.p().CpiLevel_X[3] = 13;
  f.page->refresh();
  EXPECT_EQ(f.page_pixel(f.dial_point_of(2)), page_test::kNormalColour);
}

TEST(PerformancePage, DialPressPicksInsteadOfDraggingTheWindow) {
  PerfFixture f;
  f.window.move(100, 100);
  QApplication::processEvents();
  const QPoint start = f.window.pos();
  const QPoint at = f.dial_point_of(6);
  QTest::mousePress(f.page, Qt::LeftButton, {}, at);
  QTest::mouseMove(f.page, at + QPoint(40, 30));
  QTest::mouseRelease(f.page, Qt::LeftButton, {}, at + QPoint(40, 30));
  EXPECT_EQ(f.window.pos(), start);
  EXPECT_EQ(f.p().CpiLevel_X[f.p().CpiStep], 6);
  EXPECT_TRUE(f.page->hasFocus());
  // The page's own surface drags the window.
  QTest::mousePress(f.page, Qt::LeftButton, {}, QPoint(380, 460));
  QTest::mouseMove(f.page, QPoint(420, 470));
  QTest::mouseRelease(f.page, Qt::LeftButton, {}, QPoint(420, 470));
  EXPECT_NE(f.window.pos(), start);
}

TEST(PerformancePage, RateModeAndAccelerationButtons) {
  PerfFixture f;
  QTest::mouseClick(f.page->rate_button(3), Qt::LeftButton);
  EXPECT_EQ(f.p().PollingRate, 3);
  for (int j = 0; j < 4; ++j) EXPECT_EQ(f.page->rate_button(j)->selected(), j == 3) << j;
  QTest::mouseClick(f.page->rate_button(0), Qt::LeftButton);
  EXPECT_EQ(f.p().PollingRate, 0);
  EXPECT_FALSE(f.page->rate_button(3)->selected());

  // One page per notch: the scroll slider and spin are off; lines: on again.
  f.p().SCrollSpinFlag = 1;
  QTest::mouseClick(f.page->scroll_mode_button(1), Qt::LeftButton);
  EXPECT_EQ(f.p().ScrollWheelFlag, 1);
  EXPECT_FALSE(f.page->scroll_slider()->isEnabled());
  EXPECT_FALSE(f.page->scroll_spin()->isEnabled());
  EXPECT_TRUE(f.page->scroll_mode_button(1)->selected());
  QTest::mouseClick(f.page->scroll_mode_button(0), Qt::LeftButton);
  EXPECT_EQ(f.p().ScrollWheelFlag, 0);
  EXPECT_TRUE(f.page->scroll_slider()->isEnabled());
  EXPECT_TRUE(f.page->scroll_spin()->isEnabled());
  EXPECT_FALSE(f.page->scroll_mode_button(1)->selected());

  const bool was = f.p().AccelerationFlag != 0;
  QTest::mouseClick(f.page->acceleration_button(), Qt::LeftButton);
  EXPECT_EQ(f.p().AccelerationFlag, was ? 0 : 1);
  EXPECT_EQ(f.p().Acceleration, was ? 0 : 10);
  QTest::mouseClick(f.page->acceleration_button(), Qt::LeftButton);
  EXPECT_EQ(f.p().AccelerationFlag, was ? 1 : 0);
  EXPECT_EQ(f.page->acceleration_button()->selected(), was);

  // The link indicator only shows: a click on it changes nothing.
  const int32_t xy = f.p().XYSynchronous;
  f.click_page(f.centre_of(CDlgPagePerfer::kXYLinkKey));
  EXPECT_EQ(f.p().XYSynchronous, xy);
  EXPECT_EQ(f.page->xy_link_indicator()->selected(), xy == 0);
}

TEST(PerformancePage, CpiSlidersEditTheLevelOrTheAMCpiPair) {
  PerfFixture f;
  CClickHSlider* x = f.page->cpi_slider(kCpiXSlider);
  CClickHSlider* y = f.page->cpi_slider(kCpiYSlider);
  const int step = f.p().CpiStep;
  // Linked (XYSynchronous 0): the right end of X is level 12 on both axes,
  // and the spin and the dial follow.
  f.p().XYSynchronous = 0;
  QTest::mouseClick(x, Qt::LeftButton, {}, QPoint(x->width() - 1, 13));
  EXPECT_EQ(f.p().CpiLevel_X[step], 12);
  EXPECT_EQ(f.p().CpiLevel_Y[step], 12);
  EXPECT_EQ(y->value(), 120000);
  EXPECT_EQ(f.page->cpi_spin()->edit()->text(), QStringLiteral("4000"));
  EXPECT_EQ(f.page_pixel(f.dial_point_of(12)), qRgb(255, 0, 0));
  // Unlinked: X alone; the left end is level 1.
  f.p().XYSynchronous = 1;
  QTest::mouseClick(x, Qt::LeftButton, {}, QPoint(0, 13));
  EXPECT_EQ(f.p().CpiLevel_X[step], 1);
  EXPECT_EQ(f.p().CpiLevel_Y[step], 12);
  EXPECT_EQ(y->value(), 120000);
  // The CPI spin and the X slider agree.
  QTest::mouseClick(f.page->cpi_spin()->childAt(80, 7), Qt::LeftButton);  // up arrow
  EXPECT_EQ(f.p().CpiLevel_X[step], 2);
  EXPECT_EQ(x->value(), 20000);

  // AMCpiFlag set: after a refresh the sliders run 10000..1000000 and edit
  // AMCpi_X/Y; the levels stay as they were.
  f.p().AMCpiFlag = 1;
  f.p().AMCpi_X = 40;
  f.p().AMCpi_Y = 60;
  f.page->refresh();
  EXPECT_EQ(x->maximum(), 1000000);
  EXPECT_EQ(x->value(), 400000);
  EXPECT_EQ(y->value(), 600000);
  QTest::mouseClick(x, Qt::LeftButton, {}, QPoint(x->width() - 1, 13));
  EXPECT_EQ(f.p().AMCpi_X, 100);
  EXPECT_EQ(f.p().AMCpi_Y, 60);
  EXPECT_EQ(f.p().CpiLevel_X[step], 2);
}

TEST(PerformancePage, DoubleClickTimeReachesTheDesktopAtOnce) {
  PerfFixture f;
  CClickHSlider* s = f.page->double_click_slider();
  QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(0, 13));
  EXPECT_EQ(f.p().DbleClickSpeed, 900);
  EXPECT_EQ(f.host.pointer.double_click_ms, 900);
  EXPECT_EQ(QGuiApplication::styleHints()->mouseDoubleClickInterval(), 900);
  EXPECT_EQ(f.page->double_click_test()->value(), 0);
  QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(s->width() - 1, 13));
  EXPECT_EQ(f.p().DbleClickSpeed, 200);
  EXPECT_EQ(f.host.pointer.double_click_ms, 200);
  EXPECT_EQ(f.page->double_click_test()->value(), 700);
  // Without a desktop nothing is sent anywhere, and nothing breaks.
  f.host.with_pointer_system = false;
  f.host.pointer.calls.clear();
  QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(s->width() / 2, 13));
  EXPECT_EQ(f.p().DbleClickSpeed, 550);
  EXPECT_TRUE(f.host.pointer.calls.empty());

  // The test area: not dragged by the user; a double click lights it, the
  // next one puts it out.
  CDMarker* test = f.page->double_click_test();
  const QPoint middle(test->width() / 2, test->height() / 2);
  const QRgb dark = shown_at(*test, middle);
  QTest::mouseClick(test, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(test->value(), 350);
  QTest::mouseDClick(test, Qt::LeftButton, {}, middle);
  EXPECT_NE(shown_at(*test, middle), dark);
  QTest::mouseDClick(test, Qt::LeftButton, {}, middle);
  EXPECT_EQ(shown_at(*test, middle), dark);
}

TEST(PerformancePage, RefreshShowsTheProfile) {
  PerfFixture f;
  ProfileRecord& p = f.p();
  p.XYSynchronous = 1;
  p.ScrollWheelFlag = 0;
  p.SCrollSpinFlag = 0;
  p.ScrollWheelSpeed = 5;
  p.MouseSpeed = 7;
  p.AccelerationFlag = 1;
  p.DbleClickSpeed = 350;
  p.PollingRate = 2;
  p.CpiStep = 1;
  p.CpiLevel_X[1] = 8;
  p.CpiLevel_Y[1] = 4;
  f.page->refresh();
  EXPECT_FALSE(f.page->xy_link_indicator()->selected());
  EXPECT_TRUE(f.page->scroll_mode_button(0)->selected());
  EXPECT_TRUE(f.page->scroll_slider()->isEnabled());
  EXPECT_FALSE(f.page->scroll_spin()->isEnabled());  // SCrollSpinFlag 0
  EXPECT_EQ(f.page->scroll_slider()->value(), 5);
  EXPECT_EQ(f.page->scroll_spin()->value(), 5);
  EXPECT_EQ(f.page->pointer_slider()->value(), 5);
  EXPECT_TRUE(f.page->acceleration_button()->selected());
  EXPECT_EQ(f.page->double_click_slider()->value(), 550);
  EXPECT_EQ(f.page->double_click_test()->value(), 550);
  EXPECT_TRUE(f.page->rate_button(2)->selected());
  EXPECT_TRUE(f.page->level_button(1)->selected());
  EXPECT_EQ(f.page->cpi_spin()->edit()->text(), QStringLiteral("2000"));
  EXPECT_EQ(f.page->cpi_slider(kCpiXSlider)->value(), 80000);
  EXPECT_EQ(f.page->cpi_slider(kCpiYSlider)->value(), 40000);
  // The two speed pictures: scroll speed 5 is picture 04, pointer position 5
  // picture 04.
  const QImage img = f.page->grab().toImage();
  EXPECT_EQ(img.pixel(f.centre_of(CDlgPagePerfer::kScrollPictureKey)), page_test::speed_colour(4));
  EXPECT_EQ(img.pixel(f.centre_of(CDlgPagePerfer::kPointerPictureKey)), page_test::speed_colour(4));
  // The pointer slider redraws its gauge: the last position is picture 10.
  CClickHSlider* pointer = f.page->pointer_slider();
  QTest::mouseClick(pointer, Qt::LeftButton, {}, QPoint(pointer->width() - 1, 13));
  EXPECT_EQ(p.MouseSpeed, 20);
  EXPECT_EQ(f.page_pixel(f.centre_of(CDlgPagePerfer::kPointerPictureKey)), page_test::speed_colour(10));
  // Out-of-range values from a file: no picture, the middle pointer position.
  p.ScrollWheelSpeed = 0;
  p.MouseSpeed = 99;
  f.page->refresh();
  EXPECT_EQ(f.page->pointer_slider()->value(), 6);
  EXPECT_EQ(f.page_pixel(f.centre_of(CDlgPagePerfer::kScrollPictureKey)), page_test::kNormalColour);
  // The scroll spin and slider write the same field and follow each other.
  f.page->refresh();
  p.SCrollSpinFlag = 1;
  f.page->refresh();
  QTest::mouseClick(f.page->scroll_slider(), Qt::LeftButton, {}, QPoint(f.page->scroll_slider()->width() - 1, 13));
  EXPECT_EQ(p.ScrollWheelSpeed, 11);
  EXPECT_EQ(f.page->scroll_spin()->value(), 11);
}

// The box that holds every light pixel of a caption within `area`.
QRect text_extent(const QImage& img, const QRect& area) {
  QRect extent;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (qRed(img.pixel(x, y)) > 110) extent |= QRect(x, y, 1, 1);
  return extent;
}

TEST(PerformancePage, CaptionsInTheirBoxesAndInTheLanguageInUse) {
  PerfFixture f;
  const QImage img = f.page->grab().toImage();
  for (const layout::Box& b : layout::kPerformanceCaption) {
    const QRect box(b.left, b.top, b.width(), b.height());
    const QRect t = text_extent(img, box.adjusted(-6, -6, 6, 2));
    ASSERT_FALSE(t.isEmpty()) << b.left << "," << b.top;
    EXPECT_TRUE(box.contains(t)) << b.left << "," << b.top;
    EXPECT_LE(t.left(), box.left() + 3);  // left-aligned
  }
  // A language switch: the main window loads other texts and calls load_texts.
  f.host.texts().load_from_text("147=Niveau 1\n130=Niveau de CPI\n");
  f.page->load_texts();
  EXPECT_EQ(f.page->level_button(0)->text(), QStringLiteral("Niveau 1"));
  EXPECT_EQ(f.page->level_button(1)->text(), QString());  // the module has none
  // A caption longer than its box is set smaller and stays inside it.
  f.host.texts().load_from_text(
      "130=A caption for the CPI level that is far too long for the box it has to fit into\n");
  f.page->load_texts();
  const QImage long_img = f.page->grab().toImage();
  const layout::Box& b = layout::performance_caption(130);
  const QRect box(b.left, b.top, b.width(), b.height());
  EXPECT_TRUE(box.contains(text_extent(long_img, box.adjusted(-6, -6, 30, 6))));
}

TEST(PerformancePage, NoCurrentProfileChangesNothing) {
  PerfFixture f;
  f.host.working().CurrentProfile = -1;
  const SettingsRecord before = f.host.working();
  f.page->refresh();
  QTest::mouseClick(f.page->level_button(0), Qt::LeftButton);
  QTest::mouseClick(f.page->rate_button(1), Qt::LeftButton);
  f.click_page(f.dial_point_of(4));
  QTest::mouseClick(f.page->cpi_slider(kCpiXSlider), Qt::LeftButton, {}, QPoint(5, 13));
  (void)f.page->grab();
  EXPECT_EQ(std::memcmp(&before, &f.host.working(), sizeof before), 0);
}

// A skin folder without this page's files: a plain page of the designed
// size, nothing placed, and nothing that breaks when used.
TEST(PerformancePage, WithoutItsSkin) {
  skin_test::TempFolder empty;
  FakeOptionHost host(empty.path());
  skin_test::Host window;
  CDlgPagePerfer page(host, &window);
  page.refresh();
  page.show();
  EXPECT_EQ(page.size(), QSize(720, 470));
  EXPECT_TRUE(page.level_button(0)->geometry().isEmpty());
  const SettingsRecord before = host.working();
  QTest::mouseClick(&page, Qt::LeftButton, {}, QPoint(261, 163));
  (void)page.grab();
  EXPECT_EQ(std::memcmp(&before, &host.working(), sizeof before), 0);
}

}  // namespace
}  // namespace mt
