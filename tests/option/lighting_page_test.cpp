// The lighting page offscreen: its controls at their skin keys, real clicks
// on the button groups and the palette, typing into the red, green and blue
// fields, picking in the colour picker, the well's posted report, and the
// captions.
#include <gtest/gtest.h>

#include <cstdlib>

#include "fake_option_host.h"
#include "option/lighting_page.h"
#include "option/logic/text_layout.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/bmp_edit.h"
#include "option/skin/color_picker.h"
#include "option/skin/hslider.h"
#include "option/skin/spin_wnd.h"
#include "page_skin.h"

namespace mt {
namespace {

using page_test::FakeOptionHost;
using page_test::PageSkin;
using skin_test::shown_at;

struct LightFixture {
  LightFixture() : host(skin.path()) {
    host.texts().load_from_text(page_test::kPageTexts);
    window.resize(720, 470);
    page = std::make_unique<CDlgPagePerLight>(host, &window);
    page->refresh();
    page->show();
    settle();
  }
  // Lets the posted reports arrive.
  static void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
  }
  ProfileRecord& p() { return host.current(); }
  int number(int channel) const { return page->number_field(channel)->value(); }
  ColorRef light_color() { return static_cast<ColorRef>(p().LightColor); }

  PageSkin skin;
  FakeOptionHost host;
  skin_test::Host window;
  std::unique_ptr<CDlgPagePerLight> page;
};

// Each channel of two colours within one step of each other.
bool near(ColorRef a, ColorRef b) {
  return std::abs(red_of(a) - red_of(b)) <= 1 && std::abs(green_of(a) - green_of(b)) <= 1 &&
         std::abs(blue_of(a) - blue_of(b)) <= 1;
}

TEST(LightingPage, ControlsAtTheirKeysWithTheirIdsAndRanges) {
  LightFixture f;
  CDlgPagePerLight& pg = *f.page;
  EXPECT_EQ(pg.size(), QSize(720, 470));
  const char* brightness[] = {"Low", "Medium", "High"};
  const char* modes[] = {"Off", "Steady", "Breathing"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(pg.brightness_button(i)->geometry(), pg.placement(1 + i));
    EXPECT_EQ(pg.brightness_button(i)->text(), QString::fromLatin1(brightness[i]));
    EXPECT_EQ(pg.light_mode_button(i)->geometry(), pg.placement(4 + i));
    EXPECT_EQ(pg.light_mode_button(i)->text(), QString::fromLatin1(modes[i]));
  }
  EXPECT_EQ(pg.color_source_button(0)->text(), QStringLiteral("Custom Color"));  // free colour first
  EXPECT_EQ(pg.color_source_button(1)->text(), QStringLiteral("Preset Colors"));
  EXPECT_EQ(pg.color_source_button(1)->geometry(), pg.placement(8));
  for (int i = 0; i < kPaletteSize; ++i) {
    EXPECT_EQ(pg.palette_button(i)->geometry(), pg.placement(9 + i)) << i;
    EXPECT_TRUE(pg.palette_button(i)->text().isEmpty());
  }
  EXPECT_EQ(pg.color_field()->geometry(), pg.placement(35));
  EXPECT_EQ(pg.color_slider()->geometry(), pg.placement(36));
  EXPECT_EQ(pg.color_well()->geometry(), pg.placement(37));
  for (int c = 0; c < 3; ++c) {
    CSpinWnd* n = pg.number_field(c);
    EXPECT_EQ(n->geometry(), pg.placement(38 + c));
    EXPECT_EQ(n->control_id(), 401 + c);
    EXPECT_EQ(n->minimum(), 0);
    EXPECT_EQ(n->maximum(), 255);
    EXPECT_GE(n->edit()->maxLength(), 3);
  }
  EXPECT_EQ(pg.effect_slider()->geometry(), pg.placement(41));
  EXPECT_EQ(pg.effect_slider()->control_id(), 201);
  EXPECT_EQ(pg.effect_slider()->minimum(), 1);
  EXPECT_EQ(pg.effect_slider()->maximum(), 5);
  EXPECT_TRUE(pg.effect_slider()->nearest());
  // The picker in the page's setup: hue field, vertical reversed hue slider.
  EXPECT_EQ(pg.model().field().mode(), kModeHue);
  EXPECT_EQ(pg.model().field().control_id(), 100);
  EXPECT_EQ(pg.model().slider().control_id(), 101);
  EXPECT_TRUE(pg.model().slider().reversed());
  EXPECT_FALSE(pg.model().slider().horizontal());
}

TEST(LightingPage, ButtonGroupsAreRadioGroups) {
  LightFixture f;
  QTest::mouseClick(f.page->brightness_button(2), Qt::LeftButton);
  QTest::mouseClick(f.page->light_mode_button(0), Qt::LeftButton);
  EXPECT_EQ(f.p().Brightness, 2);
  EXPECT_EQ(f.p().LightSwitch, 0);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(f.page->brightness_button(i)->selected(), i == 2);
    EXPECT_EQ(f.page->light_mode_button(i)->selected(), i == 0);
  }
  EXPECT_EQ(shown_at(*f.page->brightness_button(2), QPoint(5, 5)), page_test::kDownColour);
  QTest::mouseClick(f.page->brightness_button(1), Qt::LeftButton);
  EXPECT_FALSE(f.page->brightness_button(2)->selected());
  // The effect slider's right end is 5, its left end 1.
  CClickHSlider* e = f.page->effect_slider();
  QTest::mouseClick(e, Qt::LeftButton, {}, QPoint(e->width() - 1, 13));
  EXPECT_EQ(f.p().LightEffectSwitch1, 5);
  QTest::mouseClick(e, Qt::LeftButton, {}, QPoint(0, 13));
  EXPECT_EQ(f.p().LightEffectSwitch1, 1);
}

TEST(LightingPage, PaletteColourReachesPickerFieldsAndLightColor) {
  LightFixture f;
  f.p().LightType = kLightTypePalette;
  f.p().LightColor = static_cast<int32_t>(0x7F000000u | make_rgb(10, 20, 30));
  f.page->refresh();
  f.settle();
  QTest::mouseClick(f.page->palette_button(14), Qt::LeftButton);  // blue
  EXPECT_EQ(f.p().ColorOptions, 14);
  for (int i = 0; i < kPaletteSize; ++i) EXPECT_EQ(f.page->palette_button(i)->selected(), i == 14) << i;
  EXPECT_EQ(shown_at(*f.page->palette_button(14), QPoint(5, 5)), page_test::kDownColour);
  EXPECT_EQ(f.number(0), 0);
  EXPECT_EQ(f.number(1), 0);
  EXPECT_EQ(f.number(2), 255);
  EXPECT_EQ(f.page->model().field().color(), make_rgb(0, 0, 255));
  // The picker's report comes back through the well, later: LightColor
  // becomes the picker's colour, all four bytes.
  f.settle();
  EXPECT_EQ(f.light_color(), make_rgb(0, 0, 255));
  EXPECT_EQ(shown_at(*f.page->color_well(), QPoint(60, 100)), qRgb(0, 0, 255));
  // Every palette colour comes back within a step per channel.
  for (int i = 0; i < kPaletteSize; ++i) {
    QTest::mouseClick(f.page->palette_button(i), Qt::LeftButton);
    f.settle();
    EXPECT_TRUE(near(f.light_color(), kLightPalette[i])) << i;
  }
}

TEST(LightingPage, PaletteColourAtThePickersPositionSendsNoReport) {
  LightFixture f;
  f.p().LightType = kLightTypePalette;
  QTest::mouseClick(f.page->palette_button(1), Qt::LeftButton);  // red
  f.settle();
  ASSERT_EQ(f.page->model().field().color(), make_rgb(255, 0, 0));
  // Something else in LightColor: only a report could change it.
  f.p().LightColor = static_cast<int32_t>(make_rgb(1, 2, 3));
  QTest::mouseClick(f.page->palette_button(1), Qt::LeftButton);
  f.settle();
  EXPECT_EQ(f.light_color(), make_rgb(1, 2, 3));
}

TEST(LightingPage, TypedNumbersChangeOneByteOfTheFreeColour) {
  LightFixture f;
  QTest::mouseClick(f.page->color_source_button(0), Qt::LeftButton);
  EXPECT_EQ(f.p().LightType, kLightTypeFree);
  EXPECT_TRUE(f.page->color_source_button(0)->selected());
  f.p().LightColor = static_cast<int32_t>(0x5A000000u | make_rgb(10, 20, 30));
  f.page->refresh();
  f.settle();
  CBmpEdit* green = f.page->number_field(1)->edit();
  green->setFocus();
  green->selectAll();
  QTest::keyClicks(green, "128");
  QTest::keyClick(green, Qt::Key_Return);
  f.settle();
  // Only byte 1: the other two channels and byte 3 stay, the picker's
  // rounding does not walk the typed colour.
  EXPECT_EQ(static_cast<uint32_t>(f.p().LightColor), 0x5A000000u | make_rgb(10, 128, 30));
  EXPECT_EQ(green->text(), QStringLiteral("128"));
  EXPECT_EQ(f.page->model().field().color(), make_rgb(10, 128, 30));
  // A number out of range settles at the end of the range.
  CBmpEdit* blue = f.page->number_field(2)->edit();
  blue->setFocus();
  blue->selectAll();
  QTest::keyClicks(blue, "999");
  QTest::keyClick(blue, Qt::Key_Return);
  f.settle();
  EXPECT_EQ(blue_of(f.light_color()), 255);
  EXPECT_EQ(blue->text(), QStringLiteral("255"));
}

TEST(LightingPage, PickingAColourReplacesAllOfLightColor) {
  LightFixture f;
  f.p().LightType = kLightTypeFree;
  f.p().LightColor = static_cast<int32_t>(0x5A000000u | make_rgb(255, 0, 0));
  f.page->refresh();
  f.settle();
  // The field's middle: half saturation, half value, of the red hue.
  GTColorSelectorWnd* field = f.page->color_field();
  QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(field->width() / 2, field->height() / 2));
  f.settle();
  const ColorRef picked = f.page->model().field().color();
  EXPECT_EQ(static_cast<ColorRef>(f.p().LightColor), picked);  // byte 3 cleared too
  EXPECT_EQ(f.number(0), red_of(picked));
  EXPECT_EQ(f.number(1), green_of(picked));
  EXPECT_NEAR(red_of(picked), 128, 2);
  // The slider turns the hue: its bottom end is red again, a third up blue.
  GTColorSliderWnd* slider = f.page->color_slider();
  QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(11, slider->height() / 3));
  f.settle();
  EXPECT_GT(blue_of(f.light_color()), red_of(f.light_color()));
}

TEST(LightingPage, RefreshShowsTheProfile) {
  LightFixture f;
  ProfileRecord& p = f.p();
  p.Brightness = 1;
  p.LightSwitch = 2;
  p.LightType = kLightTypeFree;
  p.ColorOptions = 7;
  p.LightColor = static_cast<int32_t>(make_rgb(12, 34, 56));
  p.LightEffectSwitch1 = 4;
  f.page->refresh();
  f.settle();
  EXPECT_TRUE(f.page->brightness_button(1)->selected());
  EXPECT_TRUE(f.page->light_mode_button(2)->selected());
  EXPECT_TRUE(f.page->color_source_button(0)->selected());
  EXPECT_TRUE(f.page->palette_button(7)->selected());
  EXPECT_EQ(f.number(0), 12);
  EXPECT_EQ(f.number(1), 34);
  EXPECT_EQ(f.number(2), 56);
  EXPECT_EQ(f.page->effect_slider()->value(), 4);
  // Showing the free colour does not rewrite it.
  EXPECT_EQ(f.light_color(), make_rgb(12, 34, 56));
  // Values outside the groups select nothing.
  p.Brightness = 7;
  p.ColorOptions = -1;
  f.page->refresh();
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(f.page->brightness_button(i)->selected());
  for (int i = 0; i < kPaletteSize; ++i) EXPECT_FALSE(f.page->palette_button(i)->selected());
}

QRect text_extent(const QImage& img, const QRect& area, bool red) {
  QRect extent;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb c = img.pixel(x, y);
      const bool lit = red ? qRed(c) > 120 && qGreen(c) < 60 : qGreen(c) > 110;
      if (lit) extent |= QRect(x, y, 1, 1);
    }
  return extent;
}

TEST(LightingPage, CaptionsAtTheirPlacesAndAfterALanguageSwitch) {
  LightFixture f;
  // Nothing but the page: captions alone on the plain background.
  for (QObject* o : f.page->children())
    if (auto* w = qobject_cast<QWidget*>(o)) w->hide();
  const QImage img = f.page->grab().toImage();
  for (int id = 201; id <= 208; ++id) {
    SCOPED_TRACE(id);
    const layout::Box& b = layout::lighting_caption(id);
    const QRect box(b.left, b.top, b.width(), b.height());
    const QRect t = text_extent(img, box.adjusted(-4, -4, 4, 4), id == 208);
    ASSERT_FALSE(t.isEmpty());
    EXPECT_TRUE(box.contains(t));
    EXPECT_LE(t.left(), box.left() + 2);
    // 201 and the channel letters hang from their designed points.
    if (id == 201 || (id >= 205 && id <= 207)) {
      EXPECT_LE(t.top(), box.top() + 6);
    }
  }
  // 205-207 at (316,241), (385,241), (453,241).
  EXPECT_EQ(layout::lighting_caption(205).left, 316);
  EXPECT_EQ(layout::lighting_caption(207).top, 241);
  // The designed colours: grey labels, the effect caption red.
  bool grey = false;
  const QRect title(20, 25, 270, 24);
  for (int y = title.top(); y <= title.bottom(); ++y)
    for (int x = title.left(); x <= title.right(); ++x) grey = grey || img.pixel(x, y) == qRgb(190, 190, 190);
  EXPECT_TRUE(grey);

  f.host.texts().load_from_text("209=Faible\n215=Palette\n208=Vitesse\n");
  f.page->load_texts();
  EXPECT_EQ(f.page->brightness_button(0)->text(), QStringLiteral("Faible"));
  EXPECT_EQ(f.page->color_source_button(1)->text(), QStringLiteral("Palette"));
  EXPECT_EQ(f.page->light_mode_button(0)->text(), QString());
  const QImage after = f.page->grab().toImage();
  const layout::Box& b = layout::lighting_caption(201);
  EXPECT_TRUE(text_extent(after, QRect(b.left, b.top, b.width(), b.height()), false).isEmpty());
}

TEST(LightingPage, AReportStillQueuedWhenThePageGoesIsDropped) {
  LightFixture f;
  f.p().LightType = kLightTypePalette;
  const int32_t before = f.p().LightColor;
  f.page->model().on_palette(14);  // the picker moves: its report is queued
  ASSERT_EQ(f.page->model().well().color(), make_rgb(0, 0, 255));
  f.page.reset();
  f.settle();
  EXPECT_EQ(f.p().LightColor, before);
}

TEST(LightingPage, NoCurrentProfileChangesNothing) {
  LightFixture f;
  f.host.working().CurrentProfile = -1;
  const SettingsRecord before = f.host.working();
  f.page->refresh();
  QTest::mouseClick(f.page->palette_button(3), Qt::LeftButton);
  QTest::mouseClick(f.page->brightness_button(0), Qt::LeftButton);
  QTest::mouseClick(f.page->color_field(), Qt::LeftButton, {}, QPoint(50, 50));
  f.settle();
  EXPECT_EQ(std::memcmp(&before, &f.host.working(), sizeof before), 0);
}

TEST(LightingPage, WithoutItsSkin) {
  skin_test::TempFolder empty;
  FakeOptionHost host(empty.path());
  skin_test::Host window;
  CDlgPagePerLight page(host, &window);
  page.refresh();
  page.show();
  LightFixture::settle();
  EXPECT_EQ(page.size(), QSize(720, 470));
  EXPECT_TRUE(page.color_field()->geometry().isEmpty());
  (void)page.grab();
}

}  // namespace
}  // namespace mt
