#include "option/option_pages.h"

#include "option/button_page.h"
#include "option/game_profile_dlg.h"
#include "option/home_dlg.h"
#include "option/lighting_page.h"
#include "option/performance_page.h"

namespace mt {
const std::array<PageEntry, kPageCount>& page_table() {
  static const std::array<PageEntry, kPageCount> table = {{
      {PageId::performance, 1, 20, &make_page<CDlgPagePerfer>},
      {PageId::buttons, 2, 20, &make_page<CDlgPageMouse>},
      {PageId::lighting, 3, 20, &make_page<CDlgPagePerLight>},
      {PageId::profiles, 4, 21, &make_page<CGameProfileDlg>},
      {PageId::home, 5, 22, &make_page<CHomeDlg>},
  }};
  return table;
}

const PageEntry& page_entry(PageId id) { return page_table()[static_cast<int>(id)]; }

}  // namespace mt
