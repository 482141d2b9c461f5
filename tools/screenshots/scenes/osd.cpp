// The on-screen display: a profile change in each language, a profile with
// a long name, and a stored message.
#include "osd/osd_wnd.h"
#include "tools/screenshots/screenshot_scene.h"

MT_SCREENSHOT_SCENE(osd) {
  mt::COsdWnd wnd({ctx.program_folder(), ctx.program_folder()});
  for (int lang : {mt::kLanguageEnglish, mt::kLanguageChinese, mt::kLanguageRussian, mt::kLanguageItalian,
                   mt::kLanguageSpanish}) {
    wnd.show_content(mt::profile_content(2, ctx.language(lang).text(mt::kOsdProfileTextId), u"Shooter"));
    ctx.shoot("osd_profile_" + shots::Context::language_tag(lang), wnd);
  }
  wnd.show_content(mt::profile_content(
      4, ctx.language(mt::kLanguageEnglish).text(mt::kOsdProfileTextId), u"Real-time strategy, long evenings"));
  ctx.shoot("osd_profile_long_name_en", wnd);
  wnd.show_content(mt::message_content(u"New message from the team chat: the match starts in five minutes, "
                                       u"bring the spare mouse and the headset, we meet in the usual room"));
  ctx.shoot("osd_message", wnd);
}
