// The warning and confirmation dialogs, in English and Russian (with the
// home panel's message when the guide cannot be opened, the longest of our
// own messages), and one with the pointer over its confirm button.
#include "option/message_dialogs.h"
#include "option/skin/bitmap_btn.h"
#include "tools/screenshots/screenshot_scene.h"

MT_SCREENSHOT_SCENE(message_dialogs) {
  for (int lang : {mt::kLanguageEnglish, mt::kLanguageRussian}) {
    const std::string tag = "_" + shots::Context::language_tag(lang);
    const mt::LanguageModule& texts = ctx.language(lang);
    {
      mt::CDeleteMacroWarn d(nullptr, ctx.skin(), texts);
      ctx.shoot("dialog_delete_macro" + tag, d);
    }
    {
      mt::CWarnMacroSet d(nullptr, ctx.skin(), texts);
      ctx.shoot("dialog_no_macro" + tag, d);
    }
    {
      mt::CWarnClickDlg d(nullptr, ctx.skin(), texts);
      ctx.shoot("dialog_left_click" + tag, d);
    }
    {
      mt::CDlgRestore d(nullptr, ctx.skin(), texts);
      ctx.shoot("dialog_restore" + tag, d);
    }
    {
      mt::CMessageDlg d(nullptr, ctx.skin(), texts, 250, 291, false);
      ctx.shoot("dialog_guide_not_opened" + tag, d);
    }
  }
  mt::CDlgRestore d(nullptr, ctx.skin(), ctx.language(mt::kLanguageEnglish));
  d.move(40, 40);
  d.show();
  shots::Context::settle(150);
  shots::Context::point_at(*d.button(mt::CMessageDlg::kConfirm), QPoint(10, 10));
  ctx.shoot("dialog_restore_hover_en", d);
}
