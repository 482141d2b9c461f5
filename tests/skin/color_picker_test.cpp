// The colour picker's three windows, driven through QTest offscreen against
// their models: what the mouse and keys do to the model, what the windows
// paint, when the gradients are rebuilt, and the well's posted report.
#include <gtest/gtest.h>

#include <QShortcut>

#include <cmath>
#include <cstdio>

#include <string>
#include <utility>
#include <vector>

#include "controls_support.h"
#include "option/skin/color_picker.h"

namespace mt {
namespace {

using skin_test::Host;
using skin_test::shown_at;

// The lighting page's setup: field in the hue mode (saturation across, value
// upwards, maxima 1000), the hue slider reversed, the well reporting later.
struct Picker {
  explicit Picker(QWidget* host) {
    link_color_picker(field, slider, well);
    field.set_mode(kModeHue, 0, 0, 0, 1000, 1000);
    slider.set_mode(kModeHue | kSliderReversed);
    field.set_parent_notify([this](int id, ColorRef c) { log.push_back("parent " + std::to_string(id) + " " + hex(c)); });
    well.set_post_report([this] {
      log.push_back("posted");
      QMetaObject::invokeMethod(
          field_wnd, [this] { log.push_back("report " + hex(well.color())); }, Qt::QueuedConnection);
    });
    field_wnd = new GTColorSelectorWnd(host, field);
    field_wnd->setGeometry(10, 10, 202, 102);  // field 1..201 x 1..101: 200 x 100 pixels
    slider_wnd = new GTColorSliderWnd(host, slider);
    slider_wnd->setGeometry(220, 10, 22, 182);  // track 1..181: 180 pixels
    well_wnd = new GTColorWellWnd(host, well);
    well_wnd->setGeometry(250, 10, 60, 60);
    for (QWidget* w : {static_cast<QWidget*>(field_wnd), static_cast<QWidget*>(slider_wnd),
                       static_cast<QWidget*>(well_wnd)})
      w->show();
  }
  // The windows go before their models, as the owner of a picker sees to.
  ~Picker() {
    delete field_wnd;
    delete slider_wnd;
    delete well_wnd;
  }
  static std::string hex(ColorRef c) {
    char b[16];
    std::snprintf(b, sizeof b, "%06x", c);
    return b;
  }
  std::vector<std::string> take() { return std::exchange(log, {}); }

  ColorFieldModel field;
  ColorSliderModel slider;
  ColorWellModel well;
  GTColorSelectorWnd* field_wnd;
  GTColorSliderWnd* slider_wnd;
  GTColorWellWnd* well_wnd;
  std::vector<std::string> log;
};

using Log = std::vector<std::string>;

TEST(ColorPicker, FieldMouseMapsOntoTheModelAndCapturesTheDrag) {
  Host host;
  host.resize(400, 300);
  Picker pk(&host);
  // The top-right corner of the field: full saturation and value, hue 0.
  QTest::mousePress(pk.field_wnd, Qt::LeftButton, {}, QPoint(200, 1));
  EXPECT_TRUE(pk.field_wnd->hasFocus());
  EXPECT_EQ(pk.field.x(), 995);  // ceil(199 x 1000 / 200)
  EXPECT_EQ(pk.field.y(), 1000);
  // Far outside the window, still captured: clamped to the field's corner.
  QTest::mouseMove(pk.field_wnd, QPoint(900, -300));
  EXPECT_EQ(pk.field.x(), 1000);
  EXPECT_EQ(pk.field.y(), 1000);
  EXPECT_EQ(pk.field.color(), make_rgb(255, 0, 0));
  // Each change told the slider, then the well (which posts its report),
  // then the parent; the report arrives after all of them, from the loop.
  QApplication::processEvents();
  EXPECT_EQ(pk.take(), (Log{"posted", "parent 100 0101ff", "report 0101ff", "posted", "parent 100 0000ff",
                            "report 0000ff"}));
  QTest::mouseRelease(pk.field_wnd, Qt::LeftButton, {}, QPoint(900, -300));
  // The release notifies once more: slider, well (posts), parent; the
  // report comes later, from the event loop.
  QApplication::processEvents();
  EXPECT_EQ(pk.take(), (Log{"posted", "parent 100 0000ff", "report 0000ff"}));
  // Not captured any more: moves change nothing.
  QTest::mouseMove(pk.field_wnd, QPoint(50, 50));
  EXPECT_EQ(pk.field.x(), 1000);
  // The right button does nothing, a press outside the field neither.
  QTest::mouseClick(pk.field_wnd, Qt::RightButton, {}, QPoint(50, 50));
  QTest::mouseClick(pk.field_wnd, Qt::LeftButton, {}, QPoint(0, 50));
  EXPECT_EQ(pk.field.x(), 1000);
  EXPECT_TRUE(pk.take().empty());
}

TEST(ColorPicker, MiddleDragEndsAtTheNextLeftRelease) {
  Host host;
  Picker pk(&host);
  QTest::mousePress(pk.field_wnd, Qt::MiddleButton, {}, QPoint(101, 51));
  EXPECT_EQ(pk.field.x(), 500);
  QTest::mouseRelease(pk.field_wnd, Qt::MiddleButton, {}, QPoint(101, 51));
  EXPECT_TRUE(pk.field.captured());
  // No button held, and the pointer outside the window: the field follows.
  QTest::mouseMove(pk.field_wnd, QPoint(-40, 51));
  EXPECT_EQ(pk.field.x(), 0);
  QTest::mouseClick(pk.field_wnd, Qt::LeftButton, {}, QPoint(-40, 51));
  EXPECT_FALSE(pk.field.captured());
  QTest::mouseMove(pk.field_wnd, QPoint(151, 51));
  EXPECT_EQ(pk.field.x(), 0);
}

TEST(ColorPicker, KeysMoveFieldAndSliderAndBeatShortcuts) {
  Host host;
  Picker pk(&host);
  // A shortcut on the same keys elsewhere in the window must not take them.
  int shortcut_fired = 0;
  for (Qt::Key k : {Qt::Key_Left, Qt::Key_Home, Qt::Key_PageUp}) {
    auto* s = new QShortcut(QKeySequence(k), &host);
    QObject::connect(s, &QShortcut::activated, [&] { ++shortcut_fired; });
  }
  pk.field_wnd->setFocus();
  pk.field.set_color(make_rgb(0, 0, 255));
  pk.take();
  struct Step {
    Qt::Key key;
    int x, y;
  } steps[] = {{Qt::Key_Home, 0, 1000},  {Qt::Key_Down, 0, 999},   {Qt::Key_Right, 1, 999},
               {Qt::Key_Left, 0, 999},   {Qt::Key_Left, 0, 999},   {Qt::Key_PageDown, 1000, 0},
               {Qt::Key_End, 0, 0},      {Qt::Key_PageUp, 1000, 1000}};
  for (const Step& s : steps) {
    QTest::keyClick(pk.field_wnd, s.key);
    EXPECT_EQ(pk.field.x(), s.x) << s.key;
    EXPECT_EQ(pk.field.y(), s.y) << s.key;
  }
  EXPECT_EQ(shortcut_fired, 0);
  // Home: saturation 0, value 1000, white for any hue.
  QTest::keyClick(pk.field_wnd, Qt::Key_Home);
  EXPECT_EQ(pk.field.color(), make_rgb(255, 255, 255));
  // A move that changes nothing tells nobody.
  pk.take();
  QTest::keyClick(pk.field_wnd, Qt::Key_Up);
  EXPECT_TRUE(pk.take().empty());

  // No key moves the field while the mouse drags it.
  QTest::mousePress(pk.field_wnd, Qt::LeftButton, {}, QPoint(101, 51));
  const int x = pk.field.x(), y = pk.field.y();
  for (Qt::Key k : {Qt::Key_Home, Qt::Key_End, Qt::Key_Left, Qt::Key_Up}) QTest::keyClick(pk.field_wnd, k);
  EXPECT_EQ(pk.field.x(), x);
  EXPECT_EQ(pk.field.y(), y);
  QTest::mouseRelease(pk.field_wnd, Qt::LeftButton, {}, QPoint(101, 51));

  // The slider: reversed hue, so Home (the range's start, the top) is hue 3599.
  pk.slider_wnd->setFocus();
  QTest::keyClick(pk.slider_wnd, Qt::Key_Home);
  EXPECT_EQ(pk.slider.position(), 0);
  EXPECT_EQ(pk.field.z(), 3599);
  QTest::keyClick(pk.slider_wnd, Qt::Key_Down);
  EXPECT_EQ(pk.field.z(), 3589);
  QTest::keyClick(pk.slider_wnd, Qt::Key_PageDown);
  EXPECT_EQ(pk.field.z(), 3489);
  QTest::keyClick(pk.slider_wnd, Qt::Key_End);
  EXPECT_EQ(pk.field.z(), 0);
  EXPECT_EQ(shortcut_fired, 0);
  // Other keys go on to the window as usual.
  QTest::keyClick(pk.slider_wnd, Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(pk.field.z(), 0);
}

TEST(ColorPicker, SliderMouseDrivesTheFieldsHue) {
  Host host;
  Picker pk(&host);
  pk.field.set_color(make_rgb(255, 0, 0));
  // The bottom of the reversed hue slider is hue 0, the top 3599.
  EXPECT_EQ(pk.slider.position(), 3599);
  QTest::mousePress(pk.slider_wnd, Qt::LeftButton, {}, QPoint(11, 1));
  EXPECT_TRUE(pk.slider_wnd->hasFocus());
  EXPECT_EQ(pk.field.z(), 3599);
  // A third of the way down: 1200 positions, hue 2400 (blue).
  QTest::mouseMove(pk.slider_wnd, QPoint(11, 61));
  EXPECT_EQ(pk.slider.position(), 1200);
  EXPECT_EQ(pk.field.z(), 2399);
  EXPECT_EQ(pk.field.color(), make_rgb(0, 0, 255));
  QTest::mouseMove(pk.slider_wnd, QPoint(-30, 500));  // captured: clamped to the end
  EXPECT_EQ(pk.field.z(), 0);
  QTest::mouseRelease(pk.slider_wnd, Qt::LeftButton, {}, QPoint(-30, 500));
  QTest::mouseMove(pk.slider_wnd, QPoint(11, 61));
  EXPECT_EQ(pk.field.z(), 0);
}

TEST(ColorPicker, WhatTheWindowsPaint) {
  Host host;
  Picker pk(&host);
  pk.field.set_color(make_rgb(0, 0, 255));
  QApplication::processEvents();
  const QImage field = pk.field_wnd->grab().toImage();
  // The outline, and the gradient as the model gives it, pixel for pixel.
  EXPECT_EQ(field.pixel(0, 0), qRgb(0, 0, 0));
  EXPECT_EQ(field.pixel(201, 101), qRgb(0, 0, 0));
  for (QPoint at : {QPoint(1, 1), QPoint(100, 30), QPoint(200, 100), QPoint(20, 90)}) {
    const ColorRef c = pk.field.color_at(at.x(), at.y());
    EXPECT_EQ(field.pixel(at), qRgb(red_of(c), green_of(c), blue_of(c))) << at.x() << "," << at.y();
  }
  // The marker: a circle of radius 5 around the picked point (the top-right
  // corner here), black over the light blue ...
  auto ring = [](const QImage& img, PointD at, auto pick) {
    int best = pick(-1, 256);
    for (int dy = -6; dy <= 6; ++dy)
      for (int dx = -6; dx <= 6; ++dx) {
        const QPoint p(int(at.x) + dx, int(at.y) + dy);
        const double r = std::hypot(p.x() + 0.5 - at.x, p.y() + 0.5 - at.y);
        if (r < 4.5 || r > 5.5 || !QRect(1, 1, 200, 100).contains(p)) continue;
        best = pick(best, qBlue(img.pixel(p)) + qGreen(img.pixel(p)));
      }
    return best;
  };
  const auto darkest = [](int a, int b) { return a < 0 ? b : std::min(a, b); };
  const auto lightest = [](int a, int b) { return a < 0 ? b : std::max(a, b); };
  EXPECT_LT(ring(field, pk.field.marker_point(), darkest), 128);  // the gradient there: about 258
  // ... and white over a dark colour.
  pk.field.set_color(make_rgb(0, 0, 40));
  QApplication::processEvents();
  const QImage dark = pk.field_wnd->grab().toImage();
  EXPECT_GT(ring(dark, pk.field.marker_point(), lightest), 400);

  // The slider with the field's saturation and value: hue 0 (red) at the
  // bottom, which is its maximum position, and blue a third of the way down.
  pk.field.set_color(make_rgb(255, 0, 0));
  QApplication::processEvents();
  const QImage slider = pk.slider_wnd->grab().toImage();
  const QRgb bottom = slider.pixel(11, 177), third = slider.pixel(11, 57);
  EXPECT_GT(qRed(bottom), 240);
  EXPECT_LT(qGreen(bottom), 60);
  EXPECT_LT(qBlue(bottom), 10);
  EXPECT_GT(qBlue(third), 240);
  EXPECT_LT(qRed(third), 60);
  // The mark sits at the position: a light line across the strip.
  EXPECT_EQ(pk.slider.thumb_offset(), 180);

  // The well: its colour inside the outline.
  EXPECT_EQ(shown_at(*pk.well_wnd, QPoint(30, 30)), qRgb(255, 0, 0));
  EXPECT_EQ(shown_at(*pk.well_wnd, QPoint(0, 30)), qRgb(0, 0, 0));
}

TEST(ColorPicker, GradientsAreRebuiltOnlyWhenTheirFixedPartsChange) {
  Host host;
  Picker pk(&host);
  pk.field.set_color(make_rgb(0, 0, 255));
  QApplication::processEvents();
  pk.field_wnd->repaint();
  pk.slider_wnd->repaint();
  const int field_builds = pk.field_wnd->gradient_builds();
  const int slider_builds = pk.slider_wnd->gradient_builds();
  // A drag across the field moves the marker only.
  QTest::mousePress(pk.field_wnd, Qt::LeftButton, {}, QPoint(20, 20));
  for (int i = 0; i < 20; ++i) {
    QTest::mouseMove(pk.field_wnd, QPoint(20 + 5 * i, 20 + 2 * i));
    pk.field_wnd->repaint();
  }
  QTest::mouseRelease(pk.field_wnd, Qt::LeftButton, {}, QPoint(115, 58));
  EXPECT_EQ(pk.field_wnd->gradient_builds(), field_builds);
  // The slider's gradient holds the field's other two components, so it
  // follows the drag; the field's repaints never rebuild the field.
  pk.slider_wnd->repaint();
  EXPECT_GT(pk.slider_wnd->gradient_builds(), slider_builds);
  // A new hue is a new field gradient; so is a new size.
  QTest::keyClick(pk.slider_wnd, Qt::Key_Down);
  pk.field_wnd->repaint();
  EXPECT_EQ(pk.field_wnd->gradient_builds(), field_builds + 1);
  pk.field_wnd->resize(150, 90);
  pk.field_wnd->repaint();
  EXPECT_EQ(pk.field_wnd->gradient_builds(), field_builds + 2);
  EXPECT_EQ(pk.field.field_rect(), (PixelRect{1, 1, 149, 89}));
  const int settled = pk.slider_wnd->gradient_builds();
  pk.slider_wnd->repaint();
  pk.slider_wnd->repaint();
  EXPECT_EQ(pk.slider_wnd->gradient_builds(), settled);
}

TEST(ColorPicker, WindowsOutlivedByTheirModelsOrNot) {
  // A window deleted first leaves its model without a redraw to call.
  Host host;
  ColorFieldModel field;
  ColorSliderModel slider;
  ColorWellModel well;
  link_color_picker(field, slider, well);
  auto* f = new GTColorSelectorWnd(&host, field);
  auto* s = new GTColorSliderWnd(&host, slider);
  auto* w = new GTColorWellWnd(&host, well);
  delete f;
  delete s;
  delete w;
  field.set_color(make_rgb(10, 20, 30));
  slider.set_mode(kModeBlue);
  EXPECT_EQ(well.color(), make_rgb(10, 20, 30));
  // A capture ends when its window is hidden.
  Picker pk(&host);
  QTest::mousePress(pk.field_wnd, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_TRUE(pk.field.captured());
  pk.field_wnd->hide();
  EXPECT_FALSE(pk.field.captured());
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

}  // namespace
}  // namespace mt
