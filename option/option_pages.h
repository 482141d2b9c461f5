// The five pages of the main window, made by one table: which tab shows each,
// where it sits, and how it is made. The main window makes a page the first
// time its tab is chosen (only the button page at the start), so the pictures
// of pages nobody opens are never decoded.
//
// A page is a child widget of the main window that also implements
// OptionPage. Its constructor takes the host and the parent:
//
//   CDlgPageMouse(OptionHost& host, QWidget* parent);
//
// and its entry in page_table() (option_pages.cpp) names it:
//
//   {PageId::buttons, 2, 20, &make_page<CDlgPageMouse>},
#pragma once

#include <array>

#include "option/option_host.h"

class QWidget;

namespace mt {

// In the order of the tabs, skin keys 1..5 of skin_main.ini.
enum class PageId { performance = 0, buttons, lighting, profiles, home };
inline constexpr int kPageCount = 5;

// A made page: its widget (a child of the main window) and its page face.
struct PageHandle {
  QWidget* widget = nullptr;
  OptionPage* page = nullptr;
};

using PageFactory = PageHandle (*)(OptionHost& host, QWidget* parent);

template <class Page>
PageHandle make_page(OptionHost& host, QWidget* parent) {
  auto* page = new Page(host, parent);
  return PageHandle{page, page};
}

struct PageEntry {
  PageId id;
  int tab_key;   // the tab's key in skin_main.ini
  int area_key;  // the key of the rectangle the page fills: 20, 21 or 22
  PageFactory make;
};

// Indexed by PageId.
const std::array<PageEntry, kPageCount>& page_table();
const PageEntry& page_entry(PageId id);

}  // namespace mt
