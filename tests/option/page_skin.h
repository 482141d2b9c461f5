// A skin for the two pages, made by the tests: the placements of the skin we
// ship, state pictures of one plain colour each (so every control's state
// can be read off a pixel), level-button masks that differ in one corner,
// and speed pictures whose colour says their number.
#pragma once

#include <QImage>
#include <QPainter>

#include <string>

#include "../skin/controls_support.h"
#include "../skin/skin_fixture.h"

namespace mt::page_test {

using skin_test::kDisableColour;
using skin_test::kDownColour;
using skin_test::kNormalColour;
using skin_test::kOverColour;

// Speed picture n: a blue of 20 + 20 n.
inline QRgb speed_colour(int n) { return qRgb(0, 0, 20 + 20 * n); }

inline constexpr char kSensPlacements[] =
    "[BUTTONINFO]\n"
    "1=level1,22,58,120,38,,FALSE\n2=level2,22,102,120,38,,FALSE\n3=level3,22,146,120,38,,FALSE\n"
    "4=level4,22,190,120,38,,FALSE\n5=level5,22,234,120,38,,FALSE\n6=cpi_dial,152,54,218,218,,FALSE\n"
    "7=cpi_spin,276,226,88,30,,FALSE\n8=cpi_x,24,314,300,26,,FALSE\n9=cpi_y,24,376,300,26,,FALSE\n"
    "10=pointer_speed,398,136,198,26,,FALSE\n11=double_click,398,264,198,26,,FALSE\n"
    "12=double_click_test,604,256,90,42,,FALSE\n13=scroll_speed,398,342,198,26,,FALSE\n"
    "14=scroll_spin,604,340,90,30,,FALSE\n15=scroll_lines,398,376,146,36,,FALSE\n"
    "16=scroll_page,548,376,146,36,,FALSE\n17=acceleration,398,182,44,32,,FALSE\n"
    "18=rate0,398,52,74,36,,FALSE\n19=rate1,472,52,74,36,,FALSE\n20=rate2,546,52,74,36,,FALSE\n"
    "21=rate3,620,52,74,36,,FALSE\n22=xy_link,24,412,40,34,,FALSE\n"
    "23=scroll_picture,398,418,296,34,,FALSE\n24=pointer_gauge,604,126,90,44,,FALSE\n";

inline std::string light_placements() {
  std::string s =
      "[BUTTONINFO]\n"
      "1=brightness0,196,290,168,40,,FALSE\n2=brightness1,364,290,168,40,,FALSE\n"
      "3=brightness2,532,290,168,40,,FALSE\n4=light_mode0,196,334,168,40,,FALSE\n"
      "5=light_mode1,364,334,168,40,,FALSE\n6=light_mode2,532,334,168,40,,FALSE\n"
      "7=source_free,20,166,272,40,,FALSE\n8=source_palette,20,210,272,40,,FALSE\n";
  for (int i = 0; i < 26; ++i)
    s += std::to_string(9 + i) + "=palette," + std::to_string(22 + 52 * (i % 13)) + "," +
         std::to_string(380 + 40 * (i / 13)) + ",52,40,,FALSE\n";
  s += "35=colour_field,322,24,198,204,,FALSE\n36=colour_slider,532,24,22,204,,FALSE\n"
       "37=colour_well,566,24,132,204,,FALSE\n38=red,333,237,50,30,,FALSE\n39=green,402,237,50,30,,FALSE\n"
       "40=blue,470,237,50,30,,FALSE\n41=effect,20,90,272,26,,FALSE\n";
  return s;
}

// The texts the pages take from a language module.
inline constexpr char kPageTexts[] =
    "130=CPI Level\n131=X-Axis CPI\n132=Y-Axis CPI\n133=Report Rate\n134=Pointer Speed\n135=Acceleration\n"
    "136=Double-Click Speed\n137=Scroll Speed\n138=Link X/Y\n147=Level 1\n148=Level 2\n149=Level 3\n"
    "150=Level 4\n151=Level 5\n201=Lighting Settings\n202=Brightness\n203=Light Mode\n204=Color\n205=R\n"
    "206=G\n207=B\n208=Effect Speed\n209=Low\n210=Medium\n211=High\n212=Off\n213=Steady\n214=Breathing\n"
    "215=Preset Colors\n216=Custom Color\n";

class PageSkin {
 public:
  PageSkin() {
    const QSize page(720, 470);
    // Lossless pictures under the designed names: the folder reads the
    // format from the content.
    for (const char* prefix : {"Basic_Settings", "Color_settings"}) {
      const std::string p(prefix);
      dir.save(p + "_normal.jpg", skin_test::solid(page, kNormalColour), "PNG");
      dir.save(p + "_over.jpg", skin_test::solid(page, kOverColour), "PNG");
      dir.save(p + "_down.jpg", skin_test::solid(page, kDownColour), "PNG");
      dir.save(p + "_disable.jpg", skin_test::solid(page, kDisableColour), "PNG");
    }
    dir.save("middle_mask.bmp", skin_test::inset_mask(720, 470, 0), "BMP");
    // The plain plate leaves out its last 10 columns; the plate in use has them.
    QImage plain(120, 38, QImage::Format_RGB32);
    plain.fill(Qt::black);
    QPainter(&plain).fillRect(110, 0, 10, 38, Qt::white);
    dir.save("DPI1_mask.bmp", plain, "BMP");
    dir.save("DPI2_mask.bmp", skin_test::solid(QSize(120, 38), qRgb(0, 0, 0)), "BMP");
    dir.save("slider.bmp", skin_test::solid(QSize(14, 22), qRgb(220, 220, 220)), "BMP");
    for (int n = 0; n <= 10; ++n) {
      char name[32];
      std::snprintf(name, sizeof name, "z%02d.jpg", n);
      dir.save(name, skin_test::solid(QSize(296, 34), speed_colour(n)), "PNG");
      std::snprintf(name, sizeof name, "zhizhen%02d.jpg", n);
      dir.save(name, skin_test::solid(QSize(90, 44), speed_colour(n)), "PNG");
    }
    dir.write("skin_sens.ini", kSensPlacements);
    dir.write("skin_light.ini", light_placements());
  }
  const std::string& path() const { return dir.path(); }
  skin_test::TempFolder dir;
};

}  // namespace mt::page_test
