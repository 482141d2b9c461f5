#include "monitor/scroll_finder.h"

#include <gtest/gtest.h>

#include <functional>

#include "fake_window_tree.h"
#include "platform/window_messages.h"

namespace {

using desktop_test::FakeWindowTree;
using desktop_test::Handle;
using desktop_test::Posted;
using desktop_test::Rect;
using mt::CFindScrollBar;
using mt::ScrollAppKind;
using platform::WM_HSCROLL;
using platform::WM_KEYDOWN;
using platform::WM_KEYUP;

constexpr std::uint32_t HS = platform::WindowTree::WS_HSCROLL;
constexpr std::uint32_t VERT = platform::WindowTree::SBS_VERT;
constexpr std::uint32_t SIZEBOX = platform::WindowTree::SBS_SIZEBOX;

class ScrollFinderTest : public ::testing::Test {
 protected:
  FakeWindowTree t;
  CFindScrollBar finder{t};
};

TEST(ScrollAppKindTest, ClassNamesMatchExactly) {
  const std::pair<const char*, ScrollAppKind> cases[] = {
      {"_WwG", ScrollAppKind::kDocument},         {"AVL_AVView", ScrollAppKind::kDocument},
      {"EXCEL7", ScrollAppKind::kSpreadsheet},    {"paneClassDC", ScrollAppKind::kPane},
      {"VISIOG", ScrollAppKind::kDrawing},        {"PSViewC", ScrollAppKind::kDrawing},
      {"EditControl", ScrollAppKind::kDrawing},   {"FrontPageEditorDocumentView", ScrollAppKind::kPageEditor},
      {"OGrid", ScrollAppKind::kForm},            {"OFormSub", ScrollAppKind::kForm},
      {"OPrtPrevPage", ScrollAppKind::kForm},     {"excel7", ScrollAppKind::kGeneric},
      {"EXCEL7 ", ScrollAppKind::kGeneric},       {"", ScrollAppKind::kGeneric},
      {"MozillaWindowClass", ScrollAppKind::kGeneric},
  };
  for (auto& [name, kind] : cases) EXPECT_EQ(mt::scroll_app_kind(name), kind) << name;
}

TEST_F(ScrollFinderTest, GenericWindowGetsOneLineMessagePerStep) {
  Handle w = t.add(FakeWindowTree::kRoot, "Notepad", {100, 100, 900, 700}, HS);
  t.cursor = {400, 400};
  finder.scroll(-1, 3);
  std::vector<Posted> right(3, Posted{w, WM_HSCROLL, 1, 0});
  EXPECT_EQ(t.posted, right);

  t.posted.clear();
  finder.scroll(+1, 1);
  EXPECT_EQ(t.posted, (std::vector<Posted>{{w, WM_HSCROLL, 0, 0}}));
}

TEST_F(ScrollFinderTest, WindowWithoutScrollStyleOrBarIsLeftAlone) {
  Handle w = t.add(FakeWindowTree::kRoot, "Static", {100, 100, 900, 700});
  t.add(w, "Button", {120, 120, 200, 150});
  t.cursor = {400, 400};
  finder.scroll(-1, 3);
  EXPECT_TRUE(t.posted.empty());
  EXPECT_TRUE(t.input.empty());
}

TEST_F(ScrollFinderTest, DesktopAndItsIconViewAreNeverScrolled) {
  t.cursor = {10, 10};
  finder.scroll(-1, 3);  // bare desktop
  Handle progman = t.add(FakeWindowTree::kRoot, "Progman", {0, 0, 1920, 1080});
  Handle view = t.add(progman, "SHELLDLL_DefView", {0, 0, 1920, 1080});
  t.add(view, "SysListView32", {0, 0, 1920, 1080}, HS);
  finder.scroll(-1, 3);
  EXPECT_TRUE(t.posted.empty());
}

TEST_F(ScrollFinderTest, IconViewOutsideTheDesktopScrolls) {
  Handle explorer = t.add(FakeWindowTree::kRoot, "CabinetWClass", {0, 0, 800, 600});
  Handle list = t.add(explorer, "SysListView32", {0, 0, 800, 600}, HS);
  t.cursor = {100, 100};
  finder.scroll(+1, 1);
  EXPECT_EQ(t.posted, (std::vector<Posted>{{list, WM_HSCROLL, 0, 0}}));
}

// Programs of kinds 1, 3-6 take the message at the target's parent, with the
// target named in lParam.
TEST_F(ScrollFinderTest, DocumentKindsPostToTheTargetsParent) {
  for (const char* cls : {"_WwG", "AVL_AVView", "paneClassDC", "VISIOG", "PSViewC", "EditControl",
                          "FrontPageEditorDocumentView", "OGrid", "OFormSub", "OPrtPrevPage"}) {
    FakeWindowTree tree;
    Handle frame = tree.add(FakeWindowTree::kRoot, "Frame", {0, 0, 1000, 800});
    Handle doc = tree.add(frame, cls, {0, 0, 1000, 780}, HS);
    tree.cursor = {500, 300};
    CFindScrollBar(tree).scroll(-1, 2);
    EXPECT_EQ(tree.posted, (std::vector<Posted>(2, Posted{frame, WM_HSCROLL, 1, static_cast<std::int64_t>(doc)})))
        << cls;
  }
}

TEST_F(ScrollFinderTest, MozillaWindowGetsArrowKeysAtItsParent) {
  Handle top = t.add(FakeWindowTree::kRoot, "MozillaWindowClass", {0, 0, 1000, 800});
  t.add(top, "MozillaWindowClass", {0, 0, 1000, 800});
  t.cursor = {500, 300};
  finder.scroll(+1, 2);
  std::vector<Posted> left;
  for (int i = 0; i < 2; ++i) {
    left.push_back({top, WM_KEYDOWN, 0x25, 0x014B0001});
    left.push_back({top, WM_KEYUP, 0x25, 0xC14B0001});
  }
  EXPECT_EQ(t.posted, left);

  t.posted.clear();
  finder.scroll(-1, 1);
  EXPECT_EQ(t.posted, (std::vector<Posted>{{top, WM_KEYDOWN, 0x27, 0x014D0001}, {top, WM_KEYUP, 0x27, 0xC14D0001}}));
}

class SpreadsheetTest : public ScrollFinderTest {
 protected:
  void SetUp() override {
    Handle frame = t.add(FakeWindowTree::kRoot, "XLMAIN", {0, 0, 1000, 800});
    Handle sheet = t.add(frame, "EXCEL7", {0, 0, 1000, 780});
    t.add(sheet, "ScrollBar", {10, 760, 980, 780});
    t.cursor = {500, 300};
  }
};

TEST_F(SpreadsheetTest, ClicksTheBarsEndAndPutsThePointerBack) {
  finder.scroll(+1, 2);
  EXPECT_EQ(t.input, (std::vector<std::string>{"move 15,765", "down left", "up left", "down left", "up left",
                                               "move 500,300"}));
  EXPECT_TRUE(t.posted.empty());

  t.input.clear();
  finder.scroll(-1, 1);
  EXPECT_EQ(t.input, (std::vector<std::string>{"move 975,765", "down left", "up left", "move 500,300"}));
  EXPECT_EQ(t.cursor.x, 500);
  EXPECT_EQ(t.cursor.y, 300);
}

TEST_F(SpreadsheetTest, SwappedButtonsClickWithTheRightButton) {
  t.swapped = true;
  finder.scroll(+1, 1);
  EXPECT_EQ(t.input, (std::vector<std::string>{"move 15,765", "down right", "up right", "move 500,300"}));
}

// The searches around the window under the pointer. Each case builds the
// windows around a view that cannot scroll itself and names the window the
// finder must settle on (nullptr: none).
struct SearchCase {
  const char* name;
  std::function<Handle(FakeWindowTree&, Handle frame, Handle& view)> build;  // returns the expected target
};

Handle add_bar(FakeWindowTree& t, Handle parent, const char* cls, Rect r, std::uint32_t style = 0) {
  return t.add(parent, cls, r, style);
}

const Rect kBelow{0, 600, 800, 620};  // a horizontal bar under the view, reaching past the pointer

TEST(ScrollFinderSearchTest, SiblingAndChildSearches) {
  const SearchCase cases[] = {
      {"next AVL_AVScrollBar holding a horizontal bar",
       [](FakeWindowTree& t, Handle frame, Handle& view) {
         view = t.add(frame, "AVL_AVView", {0, 0, 800, 600});
         Handle box = t.add(frame, "AVL_AVScrollBar", kBelow);
         return add_bar(t, box, "ScrollBar", kBelow);
       }},
      {"AVL_AVScrollBar holding a vertical bar",
       [](FakeWindowTree& t, Handle frame, Handle& view) {
         view = t.add(frame, "AVL_AVView", {0, 0, 800, 600});
         Handle box = t.add(frame, "AVL_AVScrollBar", kBelow);
         add_bar(t, box, "ScrollBar", kBelow, VERT);
         return Handle{0};
       }},
      {"previous AVL_AVScrollBar holding a horizontal bar",
       [](FakeWindowTree& t, Handle frame, Handle& view) {
         Handle box = t.add(frame, "AVL_AVScrollBar", kBelow);
         Handle bar = add_bar(t, box, "ScrollBar", kBelow);
         view = t.add(frame, "AVL_AVView", {0, 0, 800, 600});
         return bar;
       }},
      {"previous AVL_AVScrollBar holding a size box",
       [](FakeWindowTree& t, Handle frame, Handle& view) {
         Handle box = t.add(frame, "AVL_AVScrollBar", kBelow);
         add_bar(t, box, "ScrollBar", kBelow, SIZEBOX);
         view = t.add(frame, "AVL_AVView", {0, 0, 800, 600});
         return Handle{0};
       }},
      {"next NUIScrollbar",
       [](FakeWindowTree& t, Handle frame, Handle& view) {
         view = t.add(frame, "View", {0, 0, 800, 600});
         return add_bar(t, frame, "NUIScrollbar", kBelow);
       }},
      {"next bar taller than wide",
       [](FakeWindowTree& t, Handle frame, Handle& view) {
         view = t.add(frame, "View", {0, 0, 800, 600});
         add_bar(t, frame, "ScrollBar", {800, 0, 820, 600});
         return Handle{0};
       }},
      {"next bar ending left of the pointer",
       [](FakeWindowTree& t, Handle frame, Handle& view) {
         view = t.add(frame, "View", {0, 0, 800, 600});
         add_bar(t, frame, "ScrollBar", {0, 600, 400, 620});
         return Handle{0};
       }},
      {"previous ScrollBar",
       [](FakeWindowTree& t, Handle frame, Handle& view) {
         Handle bar = add_bar(t, frame, "ScrollBar", kBelow);
         view = t.add(frame, "View", {0, 0, 800, 600});
         return bar;
       }},
      {"previous NUIScrollbar is not looked at",
       [](FakeWindowTree& t, Handle frame, Handle& view) {
         add_bar(t, frame, "NUIScrollbar", kBelow);
         view = t.add(frame, "View", {0, 0, 800, 600});
         return Handle{0};
       }},
      {"following sibling wins over preceding one",
       [](FakeWindowTree& t, Handle frame, Handle& view) {
         add_bar(t, frame, "ScrollBar", kBelow);
         view = t.add(frame, "View", {0, 0, 800, 600});
         return add_bar(t, frame, "NUIScrollbar", {0, 620, 800, 640});
       }},
      {"previous AfxWnd42 whose child scrolls",
       [](FakeWindowTree& t, Handle frame, Handle& view) {
         Handle afx = t.add(frame, "AfxWnd42", {0, 600, 800, 700});
         Handle inner = t.add(afx, "Grid", {0, 600, 800, 700}, HS);
         view = t.add(frame, "View", {0, 0, 800, 600});
         return inner;
       }},
      {"previous AfxWnd70 whose child has a bar beside it",
       [](FakeWindowTree& t, Handle frame, Handle& view) {
         Handle afx = t.add(frame, "AfxWnd70", {0, 600, 800, 700});
         t.add(afx, "Grid", {0, 600, 800, 680});
         Handle bar = add_bar(t, afx, "ScrollBar", {0, 680, 800, 700});
         view = t.add(frame, "View", {0, 0, 800, 600});
         return bar;
       }},
      {"first child of the view when it scrolls",
       [](FakeWindowTree& t, Handle frame, Handle& view) {
         view = t.add(frame, "View", {0, 0, 800, 600});
         return t.add(view, "Pane", {0, 0, 100, 100}, HS);
       }},
      {"bar beside the view's first child",
       [](FakeWindowTree& t, Handle frame, Handle& view) {
         view = t.add(frame, "View", {0, 0, 800, 600});
         t.add(view, "Pane", {0, 0, 100, 100});
         return add_bar(t, view, "ScrollBar", {0, 580, 800, 600});
       }},
      {"Internet Explorer_Server scrolls itself",
       [](FakeWindowTree& t, Handle frame, Handle& view) {
         view = t.add(frame, "Internet Explorer_Server", {0, 0, 800, 600});
         return view;
       }},
  };
  for (const SearchCase& c : cases) {
    FakeWindowTree t;
    Handle frame = t.add(FakeWindowTree::kRoot, "Frame", {0, 0, 1000, 800});
    Handle view = 0;
    Handle expected = c.build(t, frame, view);
    CFindScrollBar finder(t);
    EXPECT_EQ(finder.find_target(view, 500, 300), expected) << c.name;
  }
}

// Panes of the drawing programs: the pointer is over a disabled vertical bar
// that the point lookup looks through, and the horizontal bar must line up
// with it within 25 pixels on both sides.
TEST(ScrollFinderPaneTest, BarBesideThePaneWithin25Pixels) {
  struct Case {
    const char* pane_class;
    int bar_left, bar_right;
    bool found;
  };
  const Case cases[] = {
      {"VISIOG", 760, 820, true},      {"VISIOG", 755, 825, true},        {"VISIOG", 754, 820, false},
      {"VISIOG", 760, 826, false},     {"paneClassDC", 755, 825, true},   {"paneClassDC", 754, 825, false},
      {"EditControl", 760, 820, false},
  };
  for (const Case& c : cases) {
    FakeWindowTree t;
    Handle frame = t.add(FakeWindowTree::kRoot, "Frame", {0, 0, 1000, 800});
    Handle pane = t.add(frame, c.pane_class, {0, 0, 800, 600});
    Handle vbar = t.add(pane, "ScrollBar", {780, 0, 800, 580});
    t.windows[vbar].hit_test = false;
    Handle wide = t.add(pane, "ScrollBar", {0, 580, 700, 600});  // too far left
    Handle hbar = t.add(pane, "NUIScrollbar", {c.bar_left, 580, c.bar_right, 600});
    (void)wide;
    t.cursor = {790, 300};
    CFindScrollBar(t).scroll(-1, 1);
    std::vector<Posted> expected;
    if (c.found) expected.push_back({pane, WM_HSCROLL, 1, static_cast<std::int64_t>(hbar)});
    EXPECT_EQ(t.posted, expected) << c.pane_class << " " << c.bar_left << ".." << c.bar_right;
  }
}

// The enumeration covers the whole subtree below the parent, as the system's
// child enumeration does: each window before its children, then its siblings.
TEST(ScrollFinderPaneTest, BarNestedInsideAnotherChildIsFound) {
  FakeWindowTree t;
  Handle frame = t.add(FakeWindowTree::kRoot, "Frame", {0, 0, 1000, 800});
  Handle pane = t.add(frame, "paneClassDC", {0, 0, 800, 600});
  Handle vbar = t.add(pane, "ScrollBar", {780, 0, 800, 580});
  t.windows[vbar].hit_test = false;
  Handle ruler = t.add(pane, "Ruler", {0, 0, 10, 10});
  Handle tick = t.add(ruler, "Tick", {0, 0, 5, 5});
  t.add(tick, "ScrollBar", {0, 0, 5, 5});  // narrow: not a horizontal bar
  Handle box = t.add(pane, "Box", {760, 580, 820, 600});
  Handle hbar = t.add(box, "ScrollBar", {760, 580, 820, 600});
  t.cursor = {790, 300};
  CFindScrollBar(t).scroll(+1, 1);
  EXPECT_EQ(t.posted, (std::vector<Posted>{{box, WM_HSCROLL, 0, static_cast<std::int64_t>(hbar)}}));
}

TEST_F(ScrollFinderTest, RepeatCountIsBoundedAndDirectionChecked) {
  Handle w = t.add(FakeWindowTree::kRoot, "Notepad", {0, 0, 800, 600}, HS);
  t.cursor = {100, 100};
  finder.scroll(-1, 0);
  finder.scroll(-1, -5);
  finder.scroll(0, 3);
  finder.scroll(2, 3);
  EXPECT_TRUE(t.posted.empty());
  finder.scroll(-1, 2000000000);
  EXPECT_EQ(t.posted.size(), static_cast<std::size_t>(CFindScrollBar::kMaxRepeat));
  EXPECT_EQ(t.posted.front(), (Posted{w, WM_HSCROLL, 1, 0}));
}

// Broken trees: every walk ends, and a walk that gives up finds nothing.
TEST_F(ScrollFinderTest, SiblingCyclesEndWithoutATarget) {
  Handle frame = t.add(FakeWindowTree::kRoot, "Frame", {0, 0, 1000, 800});
  Handle view = t.add(frame, "View", {0, 0, 800, 600});
  Handle a = t.add(frame, "Static", {0, 700, 10, 710});
  Handle b = t.add(frame, "Static", {0, 710, 10, 720});
  t.next_link = {{view, a}, {a, b}, {b, a}};
  t.prev_link = {{view, b}, {b, a}, {a, b}};
  t.cursor = {500, 300};
  finder.scroll(-1, 3);
  EXPECT_TRUE(t.posted.empty());
  EXPECT_LT(t.link_queries, 3L * CFindScrollBar::kVisitBudget);
}

TEST_F(ScrollFinderTest, AfxContainersThatContainEachOtherEnd) {
  Handle frame = t.add(FakeWindowTree::kRoot, "Frame", {0, 0, 1000, 800});
  Handle afx = t.add(frame, "AfxWnd42", {0, 700, 10, 710});
  Handle view = t.add(frame, "View", {0, 0, 800, 600});
  Handle inner = t.add(afx, "Grid", {0, 700, 10, 710});
  // The container's child is preceded by the container itself: without a
  // bound the search would recurse for ever.
  t.prev_link[inner] = afx;
  t.cursor = {500, 300};
  EXPECT_EQ(finder.find_target(view, 500, 300), 0u);
  finder.scroll(-1, 1);
  EXPECT_TRUE(t.posted.empty());
}

TEST_F(ScrollFinderTest, AncestorCycleAroundAnIconViewEnds) {
  Handle list = t.add(FakeWindowTree::kRoot, "SysListView32", {0, 0, 800, 600}, HS);
  Handle other = t.add(FakeWindowTree::kRoot, "SHELLDLL_DefView", {900, 0, 1000, 100});
  t.parent_link = {{list, other}, {other, list}};
  t.cursor = {100, 100};
  finder.scroll(+1, 1);  // no Progman above it: an ordinary list
  EXPECT_EQ(t.posted, (std::vector<Posted>{{list, WM_HSCROLL, 0, 0}}));
}

TEST_F(ScrollFinderTest, ThousandsOfSiblings) {
  Handle frame = t.add(FakeWindowTree::kRoot, "Frame", {0, 0, 1000, 800});
  Handle view = t.add(frame, "_WwG", {0, 0, 800, 600});
  for (int i = 0; i < 5000; ++i) t.add(frame, "Static", {900, 0, 910, 10});
  EXPECT_EQ(finder.find_target(view, 500, 300), 0u);

  Handle bar = t.add(frame, "ScrollBar", kBelow);
  t.cursor = {500, 300};
  finder.scroll(-1, 1);
  EXPECT_EQ(t.posted, (std::vector<Posted>{{frame, WM_HSCROLL, 1, static_cast<std::int64_t>(bar)}}));
}

TEST_F(ScrollFinderTest, LinksToWindowsThatAreGoneFindNothing) {
  Handle frame = t.add(FakeWindowTree::kRoot, "Frame", {0, 0, 1000, 800});
  Handle view = t.add(frame, "View", {0, 0, 800, 600});
  t.next_link[view] = 0xDEAD;  // vanished between two queries
  t.prev_link[view] = 0xBEEF;
  t.child_link[view] = 0xF00D;
  EXPECT_EQ(finder.find_target(view, 500, 300), 0u);
  EXPECT_EQ(finder.find_target(0, 500, 300), 0u);
}

}  // namespace
