#include "monitor/scroll_finder.h"

#include <algorithm>
#include <string>

#include "monitor/virtual_keys.h"
#include "platform/window_messages.h"

namespace mt {

namespace {

using Handle = CFindScrollBar::Handle;
using platform::WindowTree;

constexpr std::uint64_t SB_LINELEFT = 0;
constexpr std::uint64_t SB_LINERIGHT = 1;

bool is_scroll_bar_class(std::string_view c) { return c == "ScrollBar" || c == "NUIScrollbar"; }

}  // namespace

ScrollAppKind scroll_app_kind(std::string_view c) {
  if (c == "_WwG" || c == "AVL_AVView") return ScrollAppKind::kDocument;
  if (c == "EXCEL7") return ScrollAppKind::kSpreadsheet;
  if (c == "paneClassDC") return ScrollAppKind::kPane;
  if (c == "VISIOG" || c == "PSViewC" || c == "EditControl") return ScrollAppKind::kDrawing;
  if (c == "FrontPageEditorDocumentView") return ScrollAppKind::kPageEditor;
  if (c == "OGrid" || c == "OFormSub" || c == "OPrtPrevPage") return ScrollAppKind::kForm;
  return ScrollAppKind::kGeneric;
}

bool CFindScrollBar::visit() {
  if (budget_ <= 0) return false;
  --budget_;
  return true;
}

// The desktop itself and the desktop's icon view are never scrolled.
bool CFindScrollBar::rejected(Handle w) {
  if (w == 0 || w == tree_.desktop_window()) return true;
  if (tree_.class_name(w) != "SysListView32") return false;
  constexpr int kMaxAncestors = 256;
  Handle a = tree_.parent(w);
  for (int i = 0; a != 0 && i < kMaxAncestors && visit(); ++i, a = tree_.parent(a)) {
    if (tree_.class_name(a) == "Progman") return true;
  }
  return false;
}

bool CFindScrollBar::acceptable(Handle w) {
  if (w == 0) return false;
  std::string c = tree_.class_name(w);
  if (c == "Internet Explorer_Server") return true;
  if (is_scroll_bar_class(c)) {
    platform::Rect r;
    if (!tree_.window_rect(w, r)) return false;
    return r.width() > r.height() && r.right > x_;
  }
  return (tree_.style(w) & WindowTree::WS_HSCROLL) != 0;
}

// The horizontal bar inside an "AVL_AVScrollBar" container, or 0.
Handle CFindScrollBar::bar_of_av_scroll_bar(Handle container) {
  Handle c = tree_.first_child(container);
  if (c == 0 || tree_.class_name(c) != "ScrollBar") return 0;
  if (tree_.style(c) & (WindowTree::SBS_VERT | WindowTree::SBS_SIZEBOX)) return 0;
  return c;
}

Handle CFindScrollBar::sibling_search(Handle h, int depth) {
  if (h == 0 || depth > kMaxDepth) return 0;
  for (Handle s = tree_.next_sibling(h); s != 0 && visit(); s = tree_.next_sibling(s)) {
    std::string c = tree_.class_name(s);
    if (c == "AVL_AVScrollBar") {
      if (Handle bar = bar_of_av_scroll_bar(s)) return bar;
    } else if (is_scroll_bar_class(c) && acceptable(s)) {
      return s;
    }
  }
  for (Handle s = tree_.prev_sibling(h); s != 0 && visit(); s = tree_.prev_sibling(s)) {
    std::string c = tree_.class_name(s);
    if (c == "AVL_AVScrollBar") {
      if (Handle bar = bar_of_av_scroll_bar(s)) return bar;
    } else if (c == "ScrollBar") {
      if (acceptable(s)) return s;
    } else if (c == "AfxWnd70" || c == "AfxWnd42") {
      // A framework container ends the search: its own child, or whatever the
      // search among that child's siblings finds.
      Handle child = tree_.first_child(s);
      if (acceptable(child)) return child;
      return sibling_search(child, depth + 1);
    }
  }
  return 0;
}

// Panes of the drawing programs keep their scroll bar beside them under the
// same parent: the first acceptable bar that lines up with the pane.
Handle CFindScrollBar::pane_scroll_bar(Handle p) {
  Handle parent = tree_.parent(p);
  platform::Rect pr;
  if (parent == 0 || !tree_.window_rect(p, pr)) return 0;
  // Every window below the parent, in the order the system enumerates
  // children: depth first, each child before its own children.
  Handle w = tree_.first_child(parent);
  int depth = 0;
  while (w != 0 && visit()) {
    if (is_scroll_bar_class(tree_.class_name(w)) && acceptable(w)) {
      platform::Rect r;
      if (tree_.window_rect(w, r) && r.left >= pr.left - kPaneSlack && r.right <= pr.right + kPaneSlack) return w;
    }
    Handle down = depth < kMaxDepth ? tree_.first_child(w) : 0;
    if (down != 0) {
      w = down;
      ++depth;
      continue;
    }
    while (w != 0) {
      Handle next = tree_.next_sibling(w);
      if (next != 0) {
        w = next;
        break;
      }
      if (depth == 0) return 0;
      w = tree_.parent(w);
      --depth;
      if (w == parent || !visit()) return 0;
    }
  }
  return 0;
}

Handle CFindScrollBar::target_for(Handle w, std::string_view w_class) {
  platform::Point pt = tree_.screen_to_client(w, {x_, y_});
  Handle p = tree_.child_from_point(w, pt);
  if (p == 0) p = w;

  std::string p_class = tree_.class_name(p);
  Handle candidate = 0;
  if (p_class == "MozillaWindowClass") {
    candidate = tree_.parent(p);
  } else if (acceptable(p)) {
    candidate = p;
  }

  if (p_class != "ScrollBar") {
    if (candidate != 0) return candidate;
    if (Handle child = tree_.first_child(p)) return acceptable(child) ? child : sibling_search(child, 0);
    return sibling_search(p, 0);
  }
  if (candidate != 0) return candidate;
  if (w_class == "paneClassDC" || w_class == "VISIOG") return pane_scroll_bar(p);
  return 0;
}

Handle CFindScrollBar::find_target(Handle w, int x, int y) {
  x_ = x;
  y_ = y;
  budget_ = kVisitBudget;
  if (rejected(w)) return 0;
  return target_for(w, tree_.class_name(w));
}

void CFindScrollBar::scroll(int direction, int repeat) {
  if (direction != 1 && direction != -1) return;
  platform::Point pos;
  if (!tree_.cursor_pos(pos)) return;
  Handle w = tree_.window_from_point(pos);
  std::string w_class = tree_.class_name(w);
  x_ = pos.x;
  y_ = pos.y;
  budget_ = kVisitBudget;
  if (rejected(w)) return;

  ScrollAppKind kind = scroll_app_kind(w_class);
  bool mozilla = w_class == "MozillaWindowClass";
  Handle target = target_for(w, w_class);
  if (target == 0) return;
  int n = std::clamp(repeat, 0, kMaxRepeat);
  std::uint64_t line = direction == 1 ? SB_LINELEFT : SB_LINERIGHT;

  switch (kind) {
    case ScrollAppKind::kSpreadsheet: {
      // The spreadsheet only listens to its own scroll bar: click its arrow.
      platform::Rect r;
      if (!tree_.window_rect(target, r)) return;
      tree_.set_cursor_pos(direction == 1 ? platform::Point{r.left + 5, r.top + 5}
                                          : platform::Point{r.right - 5, r.top + 5});
      bool primary_is_right = tree_.mouse_buttons_swapped();
      for (int i = 0; i < n; ++i) {
        tree_.mouse_button(primary_is_right, true);
        tree_.mouse_button(primary_is_right, false);
      }
      tree_.set_cursor_pos({x_, y_});
      return;
    }
    case ScrollAppKind::kDocument:
    case ScrollAppKind::kPane:
    case ScrollAppKind::kDrawing:
    case ScrollAppKind::kPageEditor:
    case ScrollAppKind::kForm: {
      Handle owner = tree_.parent(target);
      for (int i = 0; i < n; ++i)
        tree_.post_message(owner, platform::WM_HSCROLL, line, static_cast<std::int64_t>(target));
      return;
    }
    case ScrollAppKind::kGeneric:
      if (!mozilla) {
        for (int i = 0; i < n; ++i) tree_.post_message(w, platform::WM_HSCROLL, line, 0);
      } else {
        // Mozilla windows ignore WM_HSCROLL but follow the arrow keys.
        bool left = direction == 1;
        std::uint64_t key = left ? vk::kLeft : vk::kRight;
        std::int64_t down = left ? 0x014B0001 : 0x014D0001;
        std::int64_t up = left ? 0xC14B0001 : 0xC14D0001;
        for (int i = 0; i < n; ++i) {
          tree_.post_message(target, platform::WM_KEYDOWN, key, down);
          tree_.post_message(target, platform::WM_KEYUP, key, up);
        }
      }
      return;
  }
}

}  // namespace mt
