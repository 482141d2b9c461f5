// The on-screen display's window on Qt's offscreen platform: what it shows
// for each message, in which language, that it goes away again, its
// settings words, its end, and that its texts fit the panel. Messages come
// over the real bus; a send from a helper thread returns once the display
// has handled it, while this thread runs the display's event loop.
#include "osd/osd_wnd.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTest>

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "common/language_module.h"
#include "common/product.h"
#include "common/settings_files.h"
#include "common/settings_record.h"
#include "monitor/channel.h"
#include "option/logic/text_layout.h"
#include "option/skin/skin_look.h"
#include "platform/ini_file.h"
#include "platform/qt/qt_text.h"
#include "platform/text.h"
#include "platform/window_bus.h"
#include "platform/window_messages.h"
#include "tests/bus/bus_test_support.h"

namespace mt {
namespace {

namespace fs = std::filesystem;

constexpr std::intptr_t words(std::uint16_t high, std::uint16_t low) {
  return static_cast<std::intptr_t>((static_cast<std::uint32_t>(high) << 16) | low);
}

class OsdWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(runtime_.root().empty());
    folder_ = runtime_.root() + "/prog/";
    ASSERT_EQ(::mkdir(folder_.c_str(), 0700), 0);
    ASSERT_TRUE(make_config_dir(folder_));
    fs::copy(MT_LANG_SOURCE_DIR, folder_ + "Lang");
    draw_skin();
  }

  // The panel's pictures at 1x and 2x, and its mask: a rounded plate.
  void draw_skin() {
    const std::string skins = folder_ + "Skins/";
    ASSERT_EQ(::mkdir(skins.c_str(), 0700), 0);
    for (int scale : {1, 2}) {
      QImage picture(320 * scale, 96 * scale, QImage::Format_RGB32);
      picture.fill(QColor(0x22, 0x25, 0x2a));
      const std::string name = scale == 1 ? "osd_normal.jpg" : "osd_normal@2x.jpg";
      ASSERT_TRUE(picture.save(QString::fromStdString(skins + name), "JPG"));
    }
    QImage mask(320, 96, QImage::Format_RGB32);
    mask.fill(Qt::white);
    {
      QPainter p(&mask);
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::black);
      p.drawRoundedRect(QRect(0, 0, 320, 96), 14, 14);
    }
    ASSERT_TRUE(mask.save(QString::fromStdString(skins + "osd_mask.bmp"), "BMP"));
  }

  std::unique_ptr<COsdWnd> make_window() {
    auto wnd = std::make_unique<COsdWnd>(COsdWnd::Setup{folder_, folder_});
    EXPECT_EQ(wnd->create(), platform::EndpointError::none);
    return wnd;
  }

  void write_profile(int index, std::u16string_view name) {
    auto p = std::make_unique<ProfileRecord>();
    set_profile_defaults(*p, index);
    platform::set_fixed_text(p->ProFileName, name);
    ASSERT_TRUE(write_profile_file(*p, profile_file_path(folder_, index)));
  }
  void set_language(int id) { ASSERT_TRUE(platform::ini_set_int(config_ini_path(folder_), u"Setting", u"LanguageID", id)); }

  // Sends a message and returns once the display has handled it.
  static void deliver(std::uint32_t msg, std::uintptr_t wparam = 0, std::intptr_t lparam = 0) {
    std::atomic<bool> done{false};
    std::optional<std::intptr_t> result;
    std::thread sender([&] {
      result = platform::send_message(OSD_WINDOW_TITLE, msg, wparam, lparam, 5000);
      done = true;
    });
    const bool handled = QTest::qWaitFor([&] { return done.load(); }, 10000);
    sender.join();
    EXPECT_TRUE(handled && result.has_value()) << "message " << msg << " not answered";
  }
  static bool gone(const COsdWnd& wnd) {
    return QTest::qWaitFor([&] { return !wnd.panel_up(); }, 10000);
  }

  bus_test::PrivateRuntimeDir runtime_;
  std::string folder_;
};

TEST_F(OsdWindow, ShowsTheProfileInTheSavedLanguageAndGoesAwayAgain) {
  write_profile(1, u"Стрелок");
  set_language(kLanguageRussian);
  auto wnd = make_window();
  deliver(WM_OSD_CONFIG, 0, words(0, 2));  // 0.2 s
  ASSERT_EQ(wnd->config().display_ms, 200);

  deliver(WM_OSD_SHOW, kOsdShowProfile, 1 << 16);
  EXPECT_TRUE(wnd->panel_up());
  EXPECT_EQ(wnd->content(), (OsdContent{OsdContent::Kind::profile, u"2", u"Профиль 2", u"Стрелок"}));
  EXPECT_TRUE(wnd->windowFlags() & Qt::WindowDoesNotAcceptFocus);
  EXPECT_TRUE(wnd->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(wnd->mask().isEmpty()) << "shaped by osd_mask.bmp";
  EXPECT_TRUE(gone(*wnd));

  // The language Option saved last, from the next change on; a profile
  // without a file has its factory name.
  set_language(kLanguageSpanish);
  deliver(WM_OSD_SHOW, kOsdShowProfile, 3 << 16);
  EXPECT_EQ(wnd->content(), (OsdContent{OsdContent::Kind::profile, u"4", u"Perfil 4", u"Default4"}));
  EXPECT_TRUE(gone(*wnd));
}

TEST_F(OsdWindow, ShowsTheStoredMessageAndNothingForWhatItCannotShow) {
  auto wnd = make_window();
  deliver(WM_OSD_SHOW, kOsdShowMessage, 0);
  EXPECT_FALSE(wnd->panel_up()) << "no message stored";
  deliver(WM_OSD_SHOW, kOsdShowProfile, 5 << 16);
  deliver(WM_OSD_SHOW, 7, 0);
  EXPECT_FALSE(wnd->panel_up()) << "no sixth profile, no such request";

  ASSERT_TRUE(store_osd_message(folder_, u"Match in 5 minutes"));
  deliver(WM_OSD_SHOW, kOsdShowMessage, 0);
  EXPECT_TRUE(wnd->panel_up());
  EXPECT_EQ(wnd->content(), message_content(u"Match in 5 minutes"));

  // A new request while the panel is up replaces what it shows.
  deliver(WM_OSD_SHOW, kOsdShowProfile, 0);
  EXPECT_TRUE(wnd->panel_up());
  EXPECT_EQ(wnd->content().line1, u"Profile 1");
}

TEST_F(OsdWindow, SettingsWordsCanTurnItOff) {
  // The words stored in config.ini count from the start.
  uint8_t osd[kOsdSettingsBytes] = {};
  osd[33] = 0x80;  // OsdConfigHigh bit 15
  ASSERT_TRUE(platform::ini_set_struct(config_ini_path(folder_), u"OSDSetting", u"config", osd, sizeof osd));
  auto wnd = make_window();
  EXPECT_FALSE(wnd->config().enabled);
  deliver(WM_OSD_SHOW, kOsdShowProfile, 0);
  EXPECT_FALSE(wnd->panel_up());

  deliver(WM_OSD_CONFIG, 0, words(0, 0));
  EXPECT_EQ(wnd->config(), OsdConfig{});
  deliver(WM_OSD_SHOW, kOsdShowProfile, 0);
  EXPECT_TRUE(wnd->panel_up());
  // Turned off while up: it goes at once.
  deliver(WM_OSD_CONFIG, 0, words(kOsdHiddenBit, 0));
  EXPECT_FALSE(wnd->panel_up());
}

TEST_F(OsdWindow, OneDisplayPerSessionAndWmCloseEndsIt) {
  auto wnd = make_window();
  COsdWnd second({folder_, folder_});
  EXPECT_EQ(second.create(), platform::EndpointError::title_in_use);

  bool ended = false;
  wnd->on_destroyed = [&] { ended = true; };
  deliver(WM_OSD_SHOW, kOsdShowProfile, 0);
  ASSERT_TRUE(platform::post_message(OSD_WINDOW_TITLE, platform::WM_CLOSE));
  EXPECT_TRUE(QTest::qWaitFor([&] { return ended; }, 10000));
  EXPECT_FALSE(wnd->panel_up());
  EXPECT_FALSE(platform::window_exists(OSD_WINDOW_TITLE));
}

// Screens from 1.5 device pixels per pixel up take the double-size picture
// (this test also runs with QT_SCALE_FACTOR=2); the panel keeps its size.
TEST_F(OsdWindow, HighDensityScreensTakeTheDoubleSizePicture) {
  auto wnd = make_window();
  wnd->show_content(profile_content(0, u"Profile %d", u"One"));
  const double ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
  if (qgetenv("QT_SCALE_FACTOR") == "2") {
    ASSERT_EQ(ratio, 2.0) << "the 2x run must see a 2x screen";
  }
  ASSERT_FALSE(wnd->picture().isNull());
  EXPECT_EQ(wnd->picture().devicePixelRatio(), ratio >= 1.5 ? 2.0 : 1.0) << "screen ratio " << ratio;
  EXPECT_EQ(wnd->size(), QSize(320, 96));
}

TEST(OsdTexts, FitThePanelInEveryLanguage) {
  const QFont first = look::design_font("Arial", layout::kOsdLine1Px);
  const QFont number = look::design_font("Arial", layout::kOsdNumberPx, 700);
  for (const char* name : {"Lang_EN", "Lang_sc", "Lang_Ru", "Lang_It", "Lang_Sp"}) {
    LanguageModule m;
    ASSERT_TRUE(m.load(std::string(MT_LANG_SOURCE_DIR) + "/" + name + ".lang"));
    const QString line = platform::to_qstring(format_count(m.text(kOsdProfileTextId), 5));
    ASSERT_TRUE(line.contains(QLatin1Char('5'))) << name;
    EXPECT_LE(QFontMetrics(first).horizontalAdvance(line), layout::kOsdLine1.width()) << name;
  }
  EXPECT_LE(QFontMetrics(number).horizontalAdvance(QStringLiteral("5")), layout::kOsdNumber.width());

  // The longest message Monitor stores (150 units) stays inside its box,
  // shortened at the end.
  const QFont font = look::design_font("Arial", layout::kOsdMessagePx);
  const QSize box(layout::kOsdMessage.width(), layout::kOsdMessage.height());
  QString text;
  while (text.size() < 150) text += QStringLiteral("Team chat: the match starts soon ");
  text.truncate(150);
  const QStringList lines = message_lines(text, font, box);
  const QFontMetrics fm(font);
  ASSERT_FALSE(lines.isEmpty());
  EXPECT_LE(static_cast<int>(lines.size()) * fm.lineSpacing(), box.height());
  for (const QString& l : lines) EXPECT_LE(fm.horizontalAdvance(l), box.width()) << l.toStdString();
  EXPECT_TRUE(lines.last().endsWith(QChar(0x2026))) << lines.last().toStdString();
  // One word wider than the box is cut to it too.
  for (const QString& l : message_lines(QString(200, QLatin1Char('W')), font, box))
    EXPECT_LE(fm.horizontalAdvance(l), box.width());
  // A short message is one line, as written.
  EXPECT_EQ(message_lines(QStringLiteral("Match in 5 minutes"), font, box), QStringList{"Match in 5 minutes"});
}

}  // namespace
}  // namespace mt
