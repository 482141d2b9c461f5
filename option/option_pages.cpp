#include "option/option_pages.h"

#include "option/game_profile_dlg.h"
#include "option/home_dlg.h"
#include "option/skin/skin_folder.h"
#include "option/skin/skinned_window.h"

namespace mt {
namespace {

// Stands in for a page whose window is not built yet: its skinned background,
// shaped like the page, so its tab already leads somewhere.
class CPagePlaceholder final : public CSkinPanel, public OptionPage {
 public:
  CPagePlaceholder(OptionHost& host, QWidget* parent, const char* background)
      : CSkinPanel(parent, QSize(720, 470)) {
    set_skin(host.skin().window_pictures({"middle_mask.bmp", background, "", "", ""}));
  }
  void refresh() override {}
  void load_texts() override {}
};

template <const char* Background>
PageHandle make_placeholder(OptionHost& host, QWidget* parent) {
  auto* page = new CPagePlaceholder(host, parent, Background);
  return PageHandle{page, page};
}

constexpr char kButtonPageBackground[] = "button_normal.JPG";
constexpr char kPerformancePageBackground[] = "Basic_Settings_normal.jpg";
constexpr char kLightingPageBackground[] = "Color_settings_normal.jpg";

}  // namespace

const std::array<PageEntry, kPageCount>& page_table() {
  static const std::array<PageEntry, kPageCount> table = {{
      {PageId::performance, 1, 20, &make_placeholder<kPerformancePageBackground>},
      {PageId::buttons, 2, 20, &make_placeholder<kButtonPageBackground>},
      {PageId::lighting, 3, 20, &make_placeholder<kLightingPageBackground>},
      {PageId::profiles, 4, 21, &make_page<CGameProfileDlg>},
      {PageId::home, 5, 22, &make_page<CHomeDlg>},
  }};
  return table;
}

const PageEntry& page_entry(PageId id) { return page_table()[static_cast<int>(id)]; }

}  // namespace mt
