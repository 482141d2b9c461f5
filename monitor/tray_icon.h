// The notification-area icon of Monitor, on Qt's system tray icon: a small
// drawn mouse, a tip, and the menu "open Option" (the default item) /
// separator / "exit". Where the desktop has no notification area (no tray
// host, the offscreen platform) the icon is simply not shown and the program
// runs on without it.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QIcon;
class QMenu;
class QSystemTrayIcon;

namespace mt {

// The tip field holds 128 characters with the terminator: 127 units are
// kept, and a surrogate pair is never split.
inline constexpr std::size_t kTrayTipUnits = 127;
std::u16string tray_tip_text(std::u16string_view text);

// A small mouse, drawn: no image files needed.
QIcon mouse_icon();

class TrayIcon {
 public:
  struct Handlers {
    std::function<void()> left_click;    // single click of the primary button
    std::function<void()> double_click;
    std::function<void(int)> command;    // menu item id
  };

  struct Texts {
    std::u16string tip;
    std::u16string open_item;  // default item
    std::u16string exit_item;
    int open_id = 0;
    int exit_id = 0;
  };

  explicit TrayIcon(Handlers handlers);
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Whether the desktop has a notification area right now.
  static bool available();

  // Shows the icon; false (nothing shown) when there is no notification area.
  bool add(const Texts& texts);
  void remove();
  bool shown() const { return icon_ != nullptr; }

 private:
  Handlers handlers_;
  std::unique_ptr<QMenu> menu_;
  std::unique_ptr<QSystemTrayIcon> icon_;
};

}  // namespace mt
