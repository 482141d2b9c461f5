// Sideways scrolling for the tilt wheel. Many programs ignore horizontal wheel
// input, so Monitor looks for the horizontal scroll bar (or the scrollable
// window) under the pointer and scrolls it itself, with a strategy chosen by
// the class of the window under the pointer.
//
// How Monitor uses this, on the UI thread, for a tilt event:
//   CFindScrollBar finder(window_tree);           // platform::WindowTree backend
//   finder.scroll(tilt == 1 ? -1 : +1, profile.TiltSpeed);
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/window_tree.h"

namespace mt {

// How a program wants to be scrolled, from the class of the window under the
// pointer (class names match exactly, case-sensitive).
enum class ScrollAppKind : int {
  kGeneric = 0,      // WM_HSCROLL to the window under the pointer
  kDocument = 1,     // "_WwG", "AVL_AVView"
  kSpreadsheet = 2,  // "EXCEL7": clicks on the scroll bar's arrows
  kPane = 3,         // "paneClassDC"
  kDrawing = 4,      // "VISIOG", "PSViewC", "EditControl"
  kPageEditor = 5,   // "FrontPageEditorDocumentView"
  kForm = 6,         // "OGrid", "OFormSub", "OPrtPrevPage"
};

ScrollAppKind scroll_app_kind(std::string_view class_name);

class CFindScrollBar {
 public:
  using Handle = platform::WindowTree::Handle;

  // Scroll requests never repeat more often than this: a damaged TiltSpeed
  // must not keep the UI thread posting for minutes.
  static constexpr int kMaxRepeat = 100;
  // Windows looked at per request. Every walk of the tree draws on it, so a
  // tree with cycles or huge sibling lists ends the request instead of
  // hanging it.
  static constexpr int kVisitBudget = 20000;
  // Nesting of the AfxWnd container search.
  static constexpr int kMaxDepth = 32;
  // How far a pane's scroll bar may stick out beyond the pane, left and right.
  static constexpr int kPaneSlack = 25;

  explicit CFindScrollBar(platform::WindowTree& tree) : tree_(tree) {}

  // One tilt report: direction +1 scrolls left, -1 right; repeat is the
  // profile's TiltSpeed. Anything else, or no target, does nothing.
  void scroll(int direction, int repeat);

  // The target for window w under the pointer at screen (x, y); 0 when there
  // is none. Public for the tests and for diagnostics.
  Handle find_target(Handle w, int x, int y);

  // The saved pointer position of the running request.
  int x() const { return x_; }
  int y() const { return y_; }

 private:
  bool rejected(Handle w);
  bool acceptable(Handle w);
  Handle bar_of_av_scroll_bar(Handle container);
  Handle sibling_search(Handle h, int depth);
  Handle pane_scroll_bar(Handle p);
  Handle target_for(Handle w, std::string_view w_class);
  bool visit();

  platform::WindowTree& tree_;
  int x_ = 0;
  int y_ = 0;
  int budget_ = 0;
};

}  // namespace mt
