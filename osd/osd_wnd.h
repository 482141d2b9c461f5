// COsdWnd: the main on-screen display. Its window on the bus is titled
// OSD_WINDOW_TITLE; what Monitor posts there comes up as a small panel drawn
// from the skin (osd_normal.jpg shaped by osd_mask.bmp, the boxes of
// text_layout.h): the profile's number and name after a profile change, or
// the on-screen message Monitor stored. The panel never takes the focus,
// stays above other windows, is no task-bar entry and lets the mouse through;
// after the display time it fades out and is gone.
//
//   COsdWnd wnd({program_folder(), choose_settings_folder(program_folder()).path});
//   if (wnd.create() != platform::EndpointError::none) return 1;  // another display runs
//   wnd.on_destroyed = [] { QCoreApplication::quit(); };           // WM_CLOSE ends it
//
// Messages: WM_OSD_SHOW (40, profile << 16) and (50, 0), WM_OSD_CONFIG with
// the two settings words (osd_rules.h), WM_CLOSE. Everything else is
// answered 0 and changes nothing.
#pragma once

#include <QFont>
#include <QImage>
#include <QPropertyAnimation>
#include <QRegion>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

#include "common/language_module.h"
#include "option/skin/skin_folder.h"
#include "osd/osd_rules.h"
#include "platform/qt/bus_window.h"

namespace mt {

// The text shortened with "..." to `width` pixels in `font`.
QString fit_line(const QString& text, const QFont& font, int width);
// A message laid out in a box of `box` pixels: word-wrapped, as many lines
// as fit, the last one shortened with "..." when the text goes on.
QStringList message_lines(const QString& text, const QFont& font, const QSize& box);

class COsdWnd : public QWidget {
 public:
  struct Setup {
    std::string program_folder;   // Lang/ and Skins/; ends in "/"
    std::string settings_folder;  // config.ini and config/; ends in "/"
  };

  explicit COsdWnd(Setup setup);
  ~COsdWnd() override;

  // Becomes the window on the bus and reads the stored settings words
  // (writing the defaults first when config.ini has none, osd_sources.h).
  // title_in_use: another display runs in this session.
  platform::EndpointError create();
  // The end: the panel goes, then the window on the bus; on_destroyed last.
  void destroy();
  std::function<void()> on_destroyed;

  // Shows `content` now, where the settings put it, for the display time,
  // as a WM_OSD_SHOW does (the screenshots and tests call it directly).
  void show_content(const OsdContent& content);

  const OsdConfig& config() const { return config_; }
  // What the panel shows (or showed last).
  const OsdContent& content() const { return content_; }
  // Shown or fading out.
  bool panel_up() const { return isVisible(); }
  // The background picture at the density in use (null without a skin).
  const QImage& picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::intptr_t window_proc(const platform::WindowMessage& m);
  void show_request(std::uintptr_t wparam, std::intptr_t lparam);
  void fade_out();
  void faded();
  void load_look();
  const LanguageModule& language();

  Setup setup_;
  platform::BusWindow window_;
  OsdConfig config_;
  OsdContent content_;
  SkinFolder skin_;
  bool look_loaded_ = false;
  QImage picture_;
  QTimer hold_;
  QPropertyAnimation fade_;
  LanguageModule language_;
  int language_id_ = -1;
  bool language_loaded_ = false;
};

}  // namespace mt
