// The desktop's window tree as the scroll target finder sees it: class names,
// styles, rectangles and the parent/child/sibling links of the windows, the
// pointer, posted messages and synthetic mouse clicks. The X11 backend is in
// platform/x11/x11_window_tree.h; tests use a fake tree.
//
// Handles are opaque; 0 is "no window". Every query on a window that has gone
// (or never was) answers "nothing": an empty class, style 0, no rectangle,
// handle 0. Callers must never assume the links form a tree: a broken or
// hostile desktop may answer with cycles, so every walk is bounded by its
// caller.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct Point {
  int x = 0;
  int y = 0;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
};

class WindowTree {
 public:
  using Handle = std::uint64_t;

  // Style bits the finder looks at.
  static constexpr std::uint32_t WS_HSCROLL = 0x00100000;
  static constexpr std::uint32_t SBS_VERT = 0x0001;
  static constexpr std::uint32_t SBS_SIZEBOX = 0x0008;

  virtual ~WindowTree() = default;

  // The window at a screen point (the deepest one the desktop reports), or 0.
  virtual Handle window_from_point(Point screen) = 0;
  // The desktop (root) window.
  virtual Handle desktop_window() = 0;

  virtual std::string class_name(Handle w) = 0;
  virtual std::uint32_t style(Handle w) = 0;
  // The window's rectangle in screen coordinates; false when it has none.
  virtual bool window_rect(Handle w, Rect& out) = 0;

  // 0 for a top-level window.
  virtual Handle parent(Handle w) = 0;
  virtual Handle first_child(Handle w) = 0;
  virtual Handle next_sibling(Handle w) = 0;
  virtual Handle prev_sibling(Handle w) = 0;
  // The direct child of w that contains the point (w's client coordinates);
  // w itself when the point is in w but in none of its children; 0 when the
  // point is outside w.
  virtual Handle child_from_point(Handle w, Point client) = 0;
  virtual Point screen_to_client(Handle w, Point screen) = 0;

  virtual bool cursor_pos(Point& out) = 0;
  virtual void set_cursor_pos(Point screen) = 0;

  virtual void post_message(Handle w, std::uint32_t msg, std::uint64_t wparam, std::int64_t lparam) = 0;

  // Synthetic input at the pointer. The buttons are the physical ones: when
  // the user has swapped them, the right button is the primary one.
  virtual bool mouse_buttons_swapped() = 0;
  virtual void mouse_button(bool right, bool down) = 0;
};

}  // namespace platform
