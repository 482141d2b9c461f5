// The window tree of an X11 desktop, as the scroll target finder sees it.
//
// X has no scroll bars of its own and no window styles, so:
// - the class name is the class part of WM_CLASS ("" when a window has none);
// - every viewable window reports WS_HSCROLL (unmapped ones and the root
//   none): any ordinary window may scroll sideways, so the generic strategy
//   applies to it;
// - "posting" a sideways scroll (WM_HSCROLL line left/right) or an arrow key
//   (the strategy for browser windows) sends one horizontal wheel click
//   through XTest at the pointer: button 6 for left, 7 for right. X delivers
//   it to the window under the pointer, which is the window the finder chose
//   from. Other messages are dropped;
// - a window of type _NET_WM_WINDOW_TYPE_DESKTOP (the desktop's icon view)
//   counts as the desktop itself, so tilting over it does nothing;
// - siblings run in stacking order from the top: "next" is the one below.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window_tree.h"
#include "platform/x11/x11_connection.h"

namespace platform {

class X11WindowTree final : public WindowTree {
 public:
  explicit X11WindowTree(const char* display_name = nullptr);

  bool connected() const { return x_.ok(); }

  Handle window_from_point(Point screen) override;
  Handle desktop_window() override;
  std::string class_name(Handle w) override;
  std::uint32_t style(Handle w) override;
  bool window_rect(Handle w, Rect& out) override;
  Handle parent(Handle w) override;
  Handle first_child(Handle w) override;
  Handle next_sibling(Handle w) override;
  Handle prev_sibling(Handle w) override;
  Handle child_from_point(Handle w, Point client) override;
  Point screen_to_client(Handle w, Point screen) override;
  bool cursor_pos(Point& out) override;
  void set_cursor_pos(Point screen) override;
  void post_message(Handle w, std::uint32_t msg, std::uint64_t wparam, std::int64_t lparam) override;
  bool mouse_buttons_swapped() override;
  void mouse_button(bool right, bool down) override;

 private:
  Handle sibling(Handle w, int step);
  bool is_desktop_type(Handle w);
  void click(unsigned button);

  X11Connection x_;
  bool xtest_ = false;
};

}  // namespace platform
