#include "platform/x11/x11_window_tree.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <vector>

#include "platform/window_messages.h"

namespace platform {

namespace {

// Nesting deeper than this is not a real desktop.
constexpr int kMaxDepth = 64;

constexpr std::uint64_t kVkLeft = 0x25;
constexpr std::uint64_t kVkRight = 0x27;
constexpr unsigned kWheelLeft = 6;
constexpr unsigned kWheelRight = 7;

struct Tree {
  Window parent = 0;
  std::vector<Window> children;  // bottom to top
  bool ok = false;
};

Tree query_tree(Display* d, Window w) {
  Tree t;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned n = 0;
  if (w == 0 || !XQueryTree(d, w, &root, &parent, &children, &n)) return t;
  t.ok = true;
  t.parent = parent;
  t.children.assign(children, children + n);
  if (children) XFree(children);
  return t;
}

}  // namespace

X11WindowTree::X11WindowTree(const char* display_name) : x_(display_name) {
  int event_base, error_base, major, minor;
  xtest_ = x_.ok() && XTestQueryExtension(x_.display(), &event_base, &error_base, &major, &minor);
}

WindowTree::Handle X11WindowTree::desktop_window() { return x_.root(); }

bool X11WindowTree::is_desktop_type(Handle w) {
  Display* d = x_.display();
  Atom type_atom = XInternAtom(d, "_NET_WM_WINDOW_TYPE", False);
  Atom desktop = XInternAtom(d, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
  auto p = read_x11_property(d, w, type_atom, XA_ATOM, 16);
  if (!p || p->type != XA_ATOM || p->format != 32) return false;
  for (long atom : p->items32)
    if (static_cast<Atom>(atom) == desktop) return true;
  return false;
}

WindowTree::Handle X11WindowTree::window_from_point(Point screen) {
  if (!x_.ok()) return 0;
  Display* d = x_.display();
  Window root = x_.root();
  Window w = root;
  std::vector<Window> path;
  for (int depth = 0; depth < kMaxDepth; ++depth) {
    int cx, cy;
    Window child = 0;
    if (!XTranslateCoordinates(d, root, w, screen.x, screen.y, &cx, &cy, &child) || child == 0) break;
    w = child;
    path.push_back(w);
  }
  for (Window a : path)
    if (is_desktop_type(a)) return root;
  return w;
}

std::string X11WindowTree::class_name(Handle w) {
  if (!x_.ok() || w == 0) return {};
  XClassHint hint{nullptr, nullptr};
  if (!XGetClassHint(x_.display(), w, &hint)) return {};
  std::string c = hint.res_class ? hint.res_class : "";
  if (hint.res_name) XFree(hint.res_name);
  if (hint.res_class) XFree(hint.res_class);
  return c;
}

std::uint32_t X11WindowTree::style(Handle w) {
  if (!x_.ok() || w == 0 || w == x_.root()) return 0;
  XWindowAttributes a;
  if (!XGetWindowAttributes(x_.display(), w, &a)) return 0;
  // Input-only windows count too: the wheel click goes to the pointer anyway.
  return a.map_state == IsViewable ? WS_HSCROLL : 0;
}

bool X11WindowTree::window_rect(Handle w, Rect& out) {
  if (!x_.ok() || w == 0) return false;
  Display* d = x_.display();
  XWindowAttributes a;
  if (!XGetWindowAttributes(d, w, &a)) return false;
  int x, y;
  Window child;
  if (!XTranslateCoordinates(d, w, x_.root(), 0, 0, &x, &y, &child)) return false;
  out = {x, y, x + a.width, y + a.height};
  return true;
}

WindowTree::Handle X11WindowTree::parent(Handle w) {
  if (!x_.ok() || w == 0 || w == x_.root()) return 0;
  Tree t = query_tree(x_.display(), w);
  return (!t.ok || t.parent == x_.root()) ? 0 : t.parent;
}

WindowTree::Handle X11WindowTree::first_child(Handle w) {
  if (!x_.ok()) return 0;
  Tree t = query_tree(x_.display(), w);
  return t.children.empty() ? 0 : t.children.back();
}

// step -1 goes down the stacking order ("next"), +1 up ("previous").
WindowTree::Handle X11WindowTree::sibling(Handle w, int step) {
  if (!x_.ok() || w == 0 || w == x_.root()) return 0;
  Tree self = query_tree(x_.display(), w);
  if (!self.ok || self.parent == 0) return 0;
  Tree up = query_tree(x_.display(), self.parent);
  for (std::size_t i = 0; i < up.children.size(); ++i) {
    if (up.children[i] != w) continue;
    if (step < 0) return i == 0 ? 0 : up.children[i - 1];
    return i + 1 < up.children.size() ? up.children[i + 1] : 0;
  }
  return 0;
}

WindowTree::Handle X11WindowTree::next_sibling(Handle w) { return sibling(w, -1); }
WindowTree::Handle X11WindowTree::prev_sibling(Handle w) { return sibling(w, +1); }

WindowTree::Handle X11WindowTree::child_from_point(Handle w, Point client) {
  if (!x_.ok() || w == 0) return 0;
  Display* d = x_.display();
  XWindowAttributes a;
  if (!XGetWindowAttributes(d, w, &a)) return 0;
  if (client.x < 0 || client.y < 0 || client.x >= a.width || client.y >= a.height) return 0;
  int x, y;
  Window child = 0;
  if (!XTranslateCoordinates(d, w, w, client.x, client.y, &x, &y, &child)) return 0;
  return child != 0 ? child : w;
}

Point X11WindowTree::screen_to_client(Handle w, Point screen) {
  if (!x_.ok() || w == 0) return screen;
  int x, y;
  Window child;
  if (!XTranslateCoordinates(x_.display(), x_.root(), w, screen.x, screen.y, &x, &y, &child)) return screen;
  return {x, y};
}

bool X11WindowTree::cursor_pos(Point& out) {
  if (!x_.ok()) return false;
  Window root, child;
  int rx, ry, wx, wy;
  unsigned mask;
  if (!XQueryPointer(x_.display(), x_.root(), &root, &child, &rx, &ry, &wx, &wy, &mask)) return false;
  out = {rx, ry};
  return true;
}

void X11WindowTree::set_cursor_pos(Point screen) {
  if (!xtest_) return;
  Display* d = x_.display();
  XTestFakeMotionEvent(d, DefaultScreen(d), screen.x, screen.y, CurrentTime);
  XSync(d, False);
}

void X11WindowTree::click(unsigned button) {
  Display* d = x_.display();
  XTestFakeButtonEvent(d, button, True, CurrentTime);
  XTestFakeButtonEvent(d, button, False, CurrentTime);
  XSync(d, False);
}

void X11WindowTree::post_message(Handle, std::uint32_t msg, std::uint64_t wparam, std::int64_t) {
  if (!xtest_) return;
  if (msg == WM_HSCROLL && (wparam == 0 || wparam == 1)) {
    click(wparam == 0 ? kWheelLeft : kWheelRight);
  } else if (msg == WM_KEYDOWN && (wparam == kVkLeft || wparam == kVkRight)) {
    click(wparam == kVkLeft ? kWheelLeft : kWheelRight);
  }
}

bool X11WindowTree::mouse_buttons_swapped() {
  if (!x_.ok()) return false;
  unsigned char map[32];
  int n = XGetPointerMapping(x_.display(), map, sizeof map);
  return n >= 3 && map[0] == 3 && map[2] == 1;
}

void X11WindowTree::mouse_button(bool right, bool down) {
  if (!xtest_) return;
  Display* d = x_.display();
  XTestFakeButtonEvent(d, right ? 3 : 1, down ? True : False, CurrentTime);
  XSync(d, False);
}

}  // namespace platform
