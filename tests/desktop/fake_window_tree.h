// A window tree in memory: windows with class, style and screen rectangle;
// children in front-to-back order; links that can be bent into cycles. It
// records what the finder posts and the input it synthesises.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/window_tree.h"

namespace desktop_test {

using platform::Point;
using platform::Rect;
using Handle = platform::WindowTree::Handle;

struct Posted {
  Handle window;
  std::uint32_t msg;
  std::uint64_t wparam;
  std::int64_t lparam;
  bool operator==(const Posted&) const = default;
};

class FakeWindowTree : public platform::WindowTree {
 public:
  struct Window {
    std::string cls;
    std::uint32_t style = 0;
    Rect rect;
    Handle parent = 0;
    std::vector<Handle> children;  // front to back
    bool hit_test = true;          // false: the point lookup looks through it (disabled)
  };

  static constexpr Handle kRoot = 1;

  FakeWindowTree() { windows[kRoot] = {"#32769", 0, {0, 0, 1920, 1080}, 0, {}}; }

  // A new window behind its parent's earlier children: children are listed
  // front to back in the order they are added.
  Handle add(Handle parent, std::string cls, Rect r, std::uint32_t style = 0) {
    Handle h = next_handle++;
    windows[h] = {std::move(cls), style, r, parent, {}};
    index[h] = windows[parent].children.size();
    windows[parent].children.push_back(h);
    return h;
  }

  // Overrides of the links, for broken trees.
  std::map<Handle, Handle> next_link, prev_link, parent_link, child_link;

  Point cursor{0, 0};
  bool swapped = false;
  std::vector<Posted> posted;
  std::vector<std::string> input;  // "move x,y", "down left", "up right"
  long link_queries = 0;

  Handle window_from_point(Point p) override {
    Handle w = kRoot;
    for (bool descended = true; descended;) {
      descended = false;
      for (Handle c : windows[w].children) {
        if (windows[c].hit_test && inside(windows[c].rect, p)) {
          w = c;
          descended = true;
          break;
        }
      }
    }
    return w;
  }
  Handle desktop_window() override { return kRoot; }
  std::string class_name(Handle w) override { return known(w) ? windows[w].cls : std::string(); }
  std::uint32_t style(Handle w) override { return known(w) ? windows[w].style : 0; }
  bool window_rect(Handle w, Rect& out) override {
    if (!known(w)) return false;
    out = windows[w].rect;
    return true;
  }
  Handle parent(Handle w) override {
    ++link_queries;
    if (auto it = parent_link.find(w); it != parent_link.end()) return it->second;
    if (!known(w)) return 0;
    Handle p = windows[w].parent;
    return p == kRoot ? 0 : p;
  }
  Handle first_child(Handle w) override {
    ++link_queries;
    if (auto it = child_link.find(w); it != child_link.end()) return it->second;
    if (!known(w) || windows[w].children.empty()) return 0;
    return windows[w].children.front();
  }
  Handle next_sibling(Handle w) override { return sibling(w, +1, next_link); }
  Handle prev_sibling(Handle w) override { return sibling(w, -1, prev_link); }
  Handle child_from_point(Handle w, Point client) override {
    if (!known(w)) return 0;
    Point s{client.x + windows[w].rect.left, client.y + windows[w].rect.top};
    if (!inside(windows[w].rect, s)) return 0;
    for (Handle c : windows[w].children)
      if (inside(windows[c].rect, s)) return c;
    return w;
  }
  Point screen_to_client(Handle w, Point s) override {
    if (!known(w)) return s;
    return {s.x - windows[w].rect.left, s.y - windows[w].rect.top};
  }
  bool cursor_pos(Point& out) override {
    out = cursor;
    return true;
  }
  void set_cursor_pos(Point p) override {
    cursor = p;
    input.push_back("move " + std::to_string(p.x) + "," + std::to_string(p.y));
  }
  void post_message(Handle w, std::uint32_t msg, std::uint64_t wp, std::int64_t lp) override {
    posted.push_back({w, msg, wp, lp});
  }
  bool mouse_buttons_swapped() override { return swapped; }
  void mouse_button(bool right, bool down) override {
    input.push_back(std::string(down ? "down " : "up ") + (right ? "right" : "left"));
  }

  std::map<Handle, Window> windows;

 private:
  static bool inside(const Rect& r, Point p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }
  bool known(Handle w) const { return w != 0 && windows.count(w) != 0; }
  Handle sibling(Handle w, int step, const std::map<Handle, Handle>& links) {
    ++link_queries;
    if (auto it = links.find(w); it != links.end()) return it->second;
    if (!known(w)) return 0;
    const std::vector<Handle>& list = windows.at(windows.at(w).parent).children;
    std::size_t i = index.at(w);
    if (step > 0) return i + 1 < list.size() ? list[i + 1] : 0;
    return i == 0 ? 0 : list[i - 1];
  }

  std::map<Handle, std::size_t> index;

  Handle next_handle = 2;
};

}  // namespace desktop_test
