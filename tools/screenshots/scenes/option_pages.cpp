// The performance page at two CPI levels and the lighting page with a palette
// colour and with a free colour, in English and Russian, each shown alone as
// it sits in the main window's page area.
#include "common/settings_record.h"
#include "option/lighting_page.h"
#include "option/performance_page.h"
#include "option/skin/rgn_button.h"
#include "tools/screenshots/scene_host.h"
#include "tools/screenshots/screenshot_scene.h"

using namespace mt;
using shots::SceneHost;

MT_SCREENSHOT_SCENE(option_pages) {
  for (int lang : {kLanguageEnglish, kLanguageRussian}) {
    const std::string tag = "_" + shots::Context::language_tag(lang);
    {
      // The factory profile: level 3 in use at 2000 CPI, linked axes.
      SceneHost host(ctx, lang);
      CDlgPagePerfer page(host, nullptr);
      page.refresh();
      page.setFocus();  // no caret in a field
      ctx.shoot("page_performance_level3" + tag, page);
    }
    {
      // Level 5 at 4000 CPI, 1000 reports, acceleration on, one page per
      // notch (scroll controls off), axes unlinked, the slow pointer.
      SceneHost host(ctx, lang);
      ProfileRecord& p = host.profile();
      p.CpiStep = 4;
      p.CpiLevel_X[4] = 12;
      p.CpiLevel_Y[4] = 9;
      p.PollingRate = 3;
      p.AccelerationFlag = 1;
      p.Acceleration = 10;
      p.ScrollWheelFlag = 1;
      p.XYSynchronous = 1;
      p.MouseSpeed = 2;
      p.DbleClickSpeed = 300;
      CDlgPagePerfer page(host, nullptr);
      page.refresh();
      page.setFocus();  // no caret in a field
      ctx.shoot("page_performance_level5" + tag, page);
      if (lang == kLanguageEnglish) {
        // The pointer over a level button that is not in use.
        shots::Context::point_at(*page.level_button(1), QPoint(40, 19));
        ctx.shoot("page_performance_hover" + tag, page);
      }
    }
    {
      SceneHost host(ctx, lang);
      ProfileRecord& p = host.profile();
      p.LightType = kLightTypePalette;
      p.ColorOptions = 14;
      p.Brightness = 2;
      p.LightSwitch = 1;
      p.LightEffectSwitch1 = 3;
      CDlgPagePerLight page(host, nullptr);
      page.refresh();
      page.setFocus();  // no caret in a field
      ctx.shoot("page_lighting_palette" + tag, page);
    }
    {
      SceneHost host(ctx, lang);
      ProfileRecord& p = host.profile();
      p.LightType = kLightTypeFree;
      p.LightColor = static_cast<int32_t>(make_rgb(255, 140, 20));
      p.Brightness = 0;
      p.LightSwitch = 2;
      p.LightEffectSwitch1 = 5;
      CDlgPagePerLight page(host, nullptr);
      page.refresh();
      page.setFocus();  // no caret in a field
      ctx.shoot("page_lighting_free" + tag, page);
    }
  }
}
