// Skin files without any window: placements, description files, the folder's
// case-insensitive lookup and picture cache, masks, cuts and bad skins.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>

#include <cstring>
#include <string>

#include "option/skin/skin_description.h"
#include "option/skin/skin_folder.h"
#include "option/skin/skin_picture.h"
#include "option/skin/skin_placement.h"
#include "platform/text.h"
#include "skin_fixture.h"

namespace mt {
namespace {

using skin_test::TempFolder;

struct PlacementCase {
  const char16_t* value;
  std::u16string name;
  int left, top, right, bottom;
  std::u16string text;
  int flag;
};

TEST(Placement, ParsedByTheRules) {
  const std::u16string long_name(60, u'n');
  const std::u16string long_text(150, u't');
  const PlacementCase cases[] = {
      {u"ok,92,205,120,36,,FALSE", u"ok", 92, 205, 212, 241, u"", 0},
      {u"btn,1,2,3,4,Caption,TRUE", u"btn", 1, 2, 4, 6, u"Caption", 1},
      {u"btn,1,2,3,4,5,6,Caption,0", u"btn", 1, 2, 4, 6, u"Caption", 0},  // extra fields
      // Missing key: a record of zeros.
      {u"", u"", 0, 0, 0, 0, u"", 0},
      {u"lonely", u"lonely", 0, 0, 0, 0, u"", 0},
      // "%d,%d,%d,%d": blanks before a number, none before a comma.
      {u"n, 5, 6,7,8,,", u"n", 5, 6, 12, 14, u"", 0},
      {u"n,5 ,6,7,8,,", u"n", 5, 0, 5, 0, u"", 0},
      {u"n,+3,4,5,6,t,x", u"n", 3, 4, 8, 10, u"t", 0},
      // A scan that stops keeps what it read: an empty rectangle there.
      {u"n,10,20,x,40,,", u"n", 10, 20, 10, 20, u"", 0},
      {u"n,10,20", u"n", 10, 20, 10, 20, u"10", 0},  // the field before the last comma
      // Negative or huge numbers empty the rectangle, keep the rest.
      {u"n,-5,0,10,10,cap,TRUE", u"n", 0, 0, 0, 0, u"cap", 1},
      {u"n,0,0,-1,10,,", u"n", 0, 0, 0, 0, u"", 0},
      {u"n,99999999999999999999999,0,1,1,,", u"n", 0, 0, 0, 0, u"", 0},
      {u"n,1,2,3,4294967297,,", u"n", 0, 0, 0, 0, u"", 0},
      {u"n,16384,16384,16384,16384,,", u"n", 16384, 16384, 32768, 32768, u"", 0},
      {u"n,16385,0,1,1,,", u"n", 0, 0, 0, 0, u"", 0},
      // Text: the field before the last comma, whatever comes before it.
      {u"a,1,2,3,4,x,y,z", u"a", 1, 2, 4, 6, u"y", 0},
      {u"a,1,2,3,4,", u"a", 1, 2, 4, 6, u"4", 0},
      {u"a,TRUE", u"a", 0, 0, 0, 0, u"a", 1},
      // Flag: "TRUE" anywhere after the first comma, in capitals.
      {u"a,1,2,3,4,isTRUEish,0", u"a", 1, 2, 4, 6, u"isTRUEish", 1},
      {u"TRUE,1,2,3,4,,0", u"TRUE", 1, 2, 4, 6, u"", 0},
      {u"a,1,2,3,4,,true", u"a", 1, 2, 4, 6, u"", 0},
      {u"\u0414\u0430,1,2,3,4,\u0422\u0435\u043a\u0441\u0442,TRUE", u"\u0414\u0430", 1, 2, 4, 6,
       u"\u0422\u0435\u043a\u0441\u0442", 1},
  };
  for (const PlacementCase& c : cases) {
    SCOPED_TRACE(platform::utf16_to_utf8(c.value));
    const SkinPlacement p = parse_placement(c.value);
    EXPECT_EQ(p.name, c.name);
    EXPECT_EQ(p.left, c.left);
    EXPECT_EQ(p.top, c.top);
    EXPECT_EQ(p.right, c.right);
    EXPECT_EQ(p.bottom, c.bottom);
    EXPECT_EQ(p.text, c.text);
    EXPECT_EQ(p.flag, c.flag);
  }

  // Fields longer than the record holds are cut, never across a surrogate pair.
  const SkinPlacement p = parse_placement(long_name + u",1,1,1,1," + long_text + u",0");
  EXPECT_EQ(p.name, long_name.substr(0, SkinPlacement::kNameUnits));
  EXPECT_EQ(p.text, long_text.substr(0, SkinPlacement::kTextUnits));
  std::u16string emoji_name(38, u'x');
  emoji_name += u"\U0001F5B1";  // units 39 and 40: a pair that does not fit
  EXPECT_EQ(parse_placement(emoji_name + u",1,1,1,1,,").name, std::u16string(38, u'x'));
}

std::string utf16le_file(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

TEST(Description, BothFormsThroughTheIniLayer) {
  TempFolder dir;
  // Form 1, as a Windows tool writes it: UTF-16LE, CRLF, mixed-case names.
  dir.write("skin_Restore.ini",
            utf16le_file(u"[ButtonInfo]\r\n1=ok,92,205,120,36,,FALSE\r\n 2 = cancel,232,205,120,36,,FALSE \r\n"
                         u"3=\"close,404,10,30,30,,FALSE\"\r\n"));
  // Form 2, UTF-8 with LF.
  dir.write("Skin_Update.ini",
            "[SCREEN]\nMask=update_mask.bmp\nNormal=Update\\update_normal.jpg\nOver=update_over.jpg\n"
            "[BUTTONPOS]\n1=home,300,200,120,40,,TRUE\n");
  SkinFolder skin(dir.path());

  const SkinDescription restore = skin.description("SKIN_RESTORE.INI", SkinDescription::kButtonInfo);
  EXPECT_EQ(restore.status(), SkinDescription::Status::ok);
  EXPECT_EQ(restore.placement(1).right, 212);
  EXPECT_EQ(restore.placement(2).name, u"cancel");
  EXPECT_EQ(restore.placement(2).text, u"");
  EXPECT_EQ(restore.placement(3).left, 404);  // quotes are taken off, as the ini layer does
  EXPECT_EQ(restore.placement(4), SkinPlacement{});
  EXPECT_EQ(restore.screen_pictures(), SkinPictureNames{});

  const SkinDescription update = skin.description("skin_update.ini", SkinDescription::kButtonPos);
  EXPECT_EQ(update.screen_pictures(),
            (SkinPictureNames{"update_mask.bmp", "Update\\update_normal.jpg", "update_over.jpg", "", ""}));
  EXPECT_EQ(update.placement(1).flag, 1);
  // The other form's section is not read.
  EXPECT_TRUE(skin.description("skin_update.ini", SkinDescription::kButtonInfo).placement(1).empty());

  const SkinDescription missing = skin.description("skin_main.ini", SkinDescription::kButtonInfo);
  EXPECT_EQ(missing.status(), SkinDescription::Status::missing);
  EXPECT_EQ(missing.placement(1), SkinPlacement{});
}

TEST(SkinFolderLookup, CaseInsensitiveFolderByFolder) {
  TempFolder dir;
  dir.write("button_normal.JPG", "x");
  dir.write("Mouse/mouse_1.jpg", "x");
  dir.write("Both.jpg", "upper");
  dir.write("both.jpg", "lower");
  dir.write("Folder.jpg/inner", "x");
  SkinFolder skin(dir.path().substr(0, dir.path().size() - 1));  // the '/' is added
  EXPECT_EQ(skin.path(), dir.path());

  EXPECT_EQ(skin.find("button_normal.jpg"), dir.path() + "button_normal.JPG");
  EXPECT_EQ(skin.find("BUTTON_NORMAL.jpg"), dir.path() + "button_normal.JPG");
  EXPECT_EQ(skin.find("mouse/MOUSE_1.JPG"), dir.path() + "Mouse/mouse_1.jpg");
  EXPECT_EQ(skin.find("Mouse\\mouse_1.jpg"), dir.path() + "Mouse/mouse_1.jpg");
  EXPECT_EQ(skin.find("./Mouse//mouse_1.jpg"), dir.path() + "Mouse/mouse_1.jpg");
  // Of two spellings the exact one wins; otherwise the first in sorted order.
  EXPECT_EQ(skin.find("both.jpg"), dir.path() + "both.jpg");
  EXPECT_EQ(skin.find("Both.jpg"), dir.path() + "Both.jpg");
  EXPECT_EQ(skin.find("BOTH.JPG"), dir.path() + "Both.jpg");

  for (const char* absent : {"", "nothing.jpg", "Mouse", "folder.jpg", "Mouse/../button_normal.jpg",
                             "../skin-test/button_normal.jpg", "/etc/passwd", "\\etc\\passwd"})
    EXPECT_EQ(skin.find(absent), "") << absent;
}

TEST(MaskToRegion, RunsPerRowInBands) {
  const QImage mask = skin_test::mask_from_rows({
      "..######..",
      ".########.",
      "##..##..##",
      "##..##..##",
      "##########",
      "##########",
      "....##....",
  });
  const QRegion region = mask_to_region(mask);
  QRegion reference;  // the slow way, one pixel at a time
  for (int y = 0; y < mask.height(); ++y)
    for (int x = 0; x < mask.width(); ++x)
      if (mask.pixel(x, y) != qRgb(255, 255, 255)) reference += QRect(x, y, 1, 1);
  EXPECT_TRUE((region ^ reference).isEmpty());
  for (int y = -1; y <= mask.height(); ++y)
    for (int x = -1; x <= mask.width(); ++x)
      EXPECT_EQ(region.contains(QPoint(x, y)), reference.contains(QPoint(x, y))) << x << "," << y;
  // Rows with the same runs share a band: 1 + 1 + 3 (two rows) + 1 (two rows) + 1.
  EXPECT_EQ(region.rectCount(), 7);
  EXPECT_EQ(region.boundingRect(), QRect(0, 0, 10, 7));

  // Only pure white is outside; any other colour, even almost white, is inside.
  QImage grey(3, 1, QImage::Format_RGB32);
  grey.setPixel(0, 0, qRgb(255, 255, 255));
  grey.setPixel(1, 0, qRgb(254, 255, 255));
  grey.setPixel(2, 0, qRgb(255, 255, 255));
  EXPECT_TRUE((mask_to_region(grey) ^ QRegion(1, 0, 1, 1)).isEmpty());
  // Formats other than 32-bit are read the same way.
  EXPECT_TRUE((mask_to_region(mask.convertToFormat(QImage::Format_RGB888)) ^ reference).isEmpty());

  EXPECT_TRUE(mask_to_region(skin_test::mask_from_rows({"....", "...."})).isEmpty());
  EXPECT_TRUE(mask_to_region(QImage()).isEmpty());
}

TEST(Cuts, StraightCopyOfTheRectangle) {
  QImage picture(8, 6, QImage::Format_RGB32);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) picture.setPixel(x, y, qRgb(x * 10, y * 10, 7));

  const QImage cut = cut_picture(picture, QRect(2, 1, 3, 2));
  ASSERT_EQ(cut.size(), QSize(3, 2));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(cut.pixel(x, y), qRgb((x + 2) * 10, (y + 1) * 10, 7));

  // Past the picture's edge the cut is black.
  const QImage edge = cut_picture(picture, QRect(6, 4, 4, 4));
  ASSERT_EQ(edge.size(), QSize(4, 4));
  EXPECT_EQ(edge.pixel(1, 1), qRgb(70, 50, 7));
  EXPECT_EQ(qRed(edge.pixel(3, 3)) + qGreen(edge.pixel(3, 3)) + qBlue(edge.pixel(3, 3)), 0);

  // A double-size picture gives a double-size cut of the same logical size.
  QImage twice = picture.scaled(16, 12);
  twice.setDevicePixelRatio(2.0);
  const QImage cut2 = cut_picture(twice, QRect(2, 1, 3, 2));
  EXPECT_EQ(cut2.size(), QSize(6, 4));
  EXPECT_EQ(cut2.devicePixelRatio(), 2.0);
  EXPECT_EQ(logical_size(cut2), QSize(3, 2));
  EXPECT_EQ(cut2.pixel(0, 0), twice.pixel(4, 2));

  EXPECT_TRUE(cut_picture(picture, QRect()).isNull());
  EXPECT_TRUE(cut_picture(QImage(), QRect(0, 0, 2, 2)).isNull());
}

// A BMP header that claims a huge picture and holds no pixels.
std::string huge_bmp_header(int w, int h) {
  std::string b(54, '\0');
  auto put32 = [&](int at, uint32_t v) { std::memcpy(&b[at], &v, 4); };
  auto put16 = [&](int at, uint16_t v) { std::memcpy(&b[at], &v, 2); };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, 54u + 3u * w * h);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(w));
  put32(22, static_cast<uint32_t>(h));
  put16(26, 1);
  put16(28, 24);
  return b;
}

std::string encoded(const QImage& img, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  img.save(&buffer, format);
  return bytes.toStdString();
}

TEST(BadSkins, PicturesThatCannotBeUsed) {
  TempFolder dir;
  const std::string jpeg = encoded(skin_test::flat_picture(64, 48, QColor(40, 90, 200)), "JPG");
  dir.write("empty.jpg", "");
  dir.write("text.jpg", "this is not a picture\n");
  dir.write("header_only.jpg", jpeg.substr(0, 20));
  dir.write("huge.bmp", huge_bmp_header(5000, 5000));
  dir.write("tall.bmp", huge_bmp_header(16, 4097));
  dir.save("wide.jpg", skin_test::flat_picture(SkinFolder::kMaxPictureSide + 1, 2, Qt::gray));
  dir.save("largest.jpg", skin_test::flat_picture(SkinFolder::kMaxPictureSide, 2, Qt::gray));
  dir.write("is_bmp.jpg", encoded(skin_test::flat_picture(5, 5, Qt::red), "BMP"));
  SkinFolder skin(dir.path());

  struct Case {
    const char* name;
    SkinPictureStatus status;
  };
  const Case cases[] = {
      {"missing.jpg", SkinPictureStatus::missing},     {"", SkinPictureStatus::missing},
      {"empty.jpg", SkinPictureStatus::unreadable},    {"text.jpg", SkinPictureStatus::unreadable},
      {"header_only.jpg", SkinPictureStatus::unreadable}, {"huge.bmp", SkinPictureStatus::too_large},
      {"tall.bmp", SkinPictureStatus::too_large},      {"wide.jpg", SkinPictureStatus::too_large},
      {"largest.jpg", SkinPictureStatus::ok},          {"is_bmp.jpg", SkinPictureStatus::ok},
  };
  for (const Case& c : cases) {
    const SkinPicture& p = skin.picture(c.name);
    EXPECT_EQ(p.status, c.status) << c.name;
    EXPECT_EQ(p.image.isNull(), c.status != SkinPictureStatus::ok) << c.name;
  }
  // Refused pictures were never decoded: only the two good ones are held.
  EXPECT_EQ(skin.decoded_pictures(), 2u);
  EXPECT_EQ(skin.decoded_bytes(), std::size_t{4096 * 2 * 4 + 5 * 5 * 4});
}

TEST(BadSkins, TruncatedPicturesNeverCrash) {
  TempFolder dir;
  QImage img(120, 80, QImage::Format_RGB32);  // noise, so the pixel data is most of the file
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 120; ++x) img.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * y) % 256, (x ^ y) * 3 % 256));
  const std::string jpeg = encoded(img, "JPG");
  const std::string bmp = encoded(img, "BMP");
  dir.write("half.jpg", jpeg.substr(0, jpeg.size() / 2));
  dir.write("half.bmp", bmp.substr(0, bmp.size() / 2));
  SkinFolder skin(dir.path());
  // What survives of a cut-off file depends on the decoder; whatever it is,
  // it is a picture of the size the header gives, or nothing at all.
  for (const char* name : {"half.jpg", "half.bmp"}) {
    const SkinPicture& p = skin.picture(name);
    if (p.ok())
      EXPECT_EQ(p.image.size(), QSize(120, 80)) << name;
    else
      EXPECT_EQ(p.status, SkinPictureStatus::unreadable) << name;
  }
}

TEST(BadSkins, WindowPicturesThatDoNotFit) {
  TempFolder dir;
  dir.save("w_normal.jpg", skin_test::flat_picture(40, 30, QColor(30, 30, 30)));
  dir.save("w_over.jpg", skin_test::flat_picture(40, 30, QColor(90, 30, 30)));
  dir.save("w_down.jpg", skin_test::flat_picture(41, 30, QColor(30, 90, 30)));  // wrong size
  dir.save("w_mask.bmp", skin_test::inset_mask(40, 30, 2));
  dir.save("small_mask.bmp", skin_test::inset_mask(20, 30, 2));
  dir.save("white_mask.bmp", skin_test::flat_picture(40, 30, Qt::white));
  dir.write("w_broken.jpg", "garbage");
  SkinFolder skin(dir.path());

  const SkinPictureSet good = skin.window_pictures({"w_mask.bmp", "w_normal.jpg", "w_over.jpg", "w_down.jpg", ""});
  EXPECT_EQ(good.size, QSize(40, 30));
  EXPECT_TRUE((good.mask ^ QRegion(2, 2, 36, 26)).isEmpty());
  EXPECT_EQ(good.over.pixel(5, 5), skin.picture("w_over.jpg").image.pixel(5, 5));
  // The down picture has another size and the disable one is not named: both
  // are the normal picture.
  EXPECT_EQ(good.down.cacheKey(), good.normal.cacheKey());
  EXPECT_EQ(good.disable.cacheKey(), good.normal.cacheKey());

  EXPECT_TRUE(skin.window_pictures({"small_mask.bmp", "w_normal.jpg", "", "", ""}).mask.isEmpty());
  EXPECT_TRUE(skin.window_pictures({"white_mask.bmp", "w_normal.jpg", "", "", ""}).mask.isEmpty());
  EXPECT_TRUE(skin.window_pictures({"w_broken.jpg", "w_normal.jpg", "", "", ""}).mask.isEmpty());

  // No usable normal picture: no pictures at all; a mask alone still shapes.
  const SkinPictureSet none = skin.window_pictures({"w_mask.bmp", "w_broken.jpg", "w_over.jpg", "", ""});
  EXPECT_FALSE(none.has_pictures());
  EXPECT_TRUE(none.over.isNull());
  EXPECT_EQ(none.size, QSize(40, 30));
  EXPECT_FALSE(none.mask.isEmpty());
  const SkinCuts cuts = none.cuts(QRect(1, 1, 5, 5));
  EXPECT_TRUE(cuts.normal.isNull() && cuts.over.isNull() && cuts.down.isNull() && cuts.disable.isNull());

  const SkinPictureSet nothing = skin.window_pictures({"no_mask.bmp", "no.jpg", "", "", ""});
  EXPECT_TRUE(nothing.size.isEmpty());
  EXPECT_TRUE(nothing.mask.isEmpty());
}

TEST(SkinFolderCache, EachFileDecodedOnce) {
  TempFolder dir;
  const std::string path = dir.save("pic.jpg", skin_test::flat_picture(10, 10, Qt::blue));
  dir.save("m.bmp", skin_test::inset_mask(10, 10, 1));
  SkinFolder skin(dir.path());
  const SkinPicture& first = skin.picture("pic.jpg");
  const SkinMask& mask = skin.mask("m.bmp");
  ASSERT_TRUE(first.ok());
  std::filesystem::remove(path);
  std::filesystem::remove(dir.path() + "m.bmp");
  // Every spelling is the same entry, and the file is not read again.
  EXPECT_EQ(&skin.picture("PIC.JPG"), &first);
  EXPECT_EQ(&skin.mask("M.bmp"), &mask);
  EXPECT_TRUE(skin.picture("pic.jpg").ok());
  EXPECT_EQ(skin.decoded_pictures(), 2u);

  // Released, a picture is read again when asked for: here it is gone.
  skin.release("Pic.jpg");
  EXPECT_EQ(skin.decoded_pictures(), 1u);
  EXPECT_EQ(skin.picture("pic.jpg").status, SkinPictureStatus::missing);
}

TEST(SkinFolderCache, PreloadDecodesSideBySide) {
  TempFolder dir;
  for (int i = 0; i < 6; ++i)
    dir.save("p" + std::to_string(i) + ".jpg", skin_test::flat_picture(30 + i, 20, QColor(10 * i, 200, 30)));
  dir.write("broken.jpg", "no");
  SkinFolder skin(dir.path());
  const SkinPicture& before = skin.picture("p0.jpg");
  skin.preload({"p0.jpg", "P1.JPG", "p1.jpg", "p2.jpg", "p3.jpg", "p4.jpg", "p5.jpg", "broken.jpg", "", "none.jpg"});
  EXPECT_EQ(&skin.picture("p0.jpg"), &before);  // what was decoded stays as it was
  EXPECT_EQ(skin.decoded_pictures(), 6u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(skin.picture("p" + std::to_string(i) + ".jpg").image.width(), 30 + i);
  EXPECT_EQ(skin.picture("broken.jpg").status, SkinPictureStatus::unreadable);
  EXPECT_EQ(skin.picture("none.jpg").status, SkinPictureStatus::missing);
  EXPECT_EQ(skin.decoded_pictures(), 6u);  // nothing decoded twice
}

TEST(SkinFolderDensity, DoubleSizePicturesOnDenseScreens) {
  TempFolder dir;
  dir.save("a.jpg", skin_test::flat_picture(20, 10, Qt::red));
  dir.save("a@2x.jpg", skin_test::flat_picture(40, 20, Qt::blue));
  dir.save("b.jpg", skin_test::flat_picture(20, 10, Qt::red));
  dir.save("B@2X.JPG", skin_test::flat_picture(41, 20, Qt::blue));  // not exactly twice
  dir.save("c.jpg", skin_test::flat_picture(20, 10, Qt::red));
  dir.save("m.bmp", skin_test::inset_mask(20, 10, 1));
  dir.save("m@2x.bmp", skin_test::inset_mask(40, 20, 2));

  SkinFolder dense(dir.path());
  dense.set_device_pixel_ratio(1.5);
  const QImage& a = dense.picture("a.jpg").image;
  EXPECT_EQ(a.size(), QSize(40, 20));
  EXPECT_EQ(a.devicePixelRatio(), 2.0);
  EXPECT_EQ(logical_size(a), QSize(20, 10));
  EXPECT_GT(qBlue(a.pixel(1, 1)), 200);
  EXPECT_EQ(dense.picture("b.jpg").image.size(), QSize(20, 10));
  EXPECT_EQ(dense.picture("c.jpg").image.devicePixelRatio(), 1.0);
  // Masks stay logical.
  EXPECT_EQ(dense.mask("m.bmp").size, QSize(20, 10));
  const SkinPictureSet set = dense.window_pictures({"m.bmp", "a.jpg", "", "", ""});
  EXPECT_EQ(set.size, QSize(20, 10));
  EXPECT_FALSE(set.mask.isEmpty());
  EXPECT_EQ(set.cuts(QRect(0, 0, 5, 5)).normal.size(), QSize(10, 10));

  SkinFolder plain(dir.path());
  plain.set_device_pixel_ratio(1.25);
  EXPECT_EQ(plain.picture("a.jpg").image.size(), QSize(20, 10));
}

}  // namespace
}  // namespace mt
