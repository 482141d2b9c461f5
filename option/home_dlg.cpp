#include "option/home_dlg.h"

#include "option/message_dialogs.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/skin_folder.h"
#include "option/skin/skin_look.h"

namespace mt {
namespace {

constexpr char kDescription[] = "Skin_Update.ini";
constexpr char kGuide[] = "doc/index.html";
constexpr int kTextWarning = 250;
constexpr int kTextGuideNotOpened = 291;

}  // namespace

CHomeDlg::CHomeDlg(OptionHost& host, QWidget* parent) : CSkinPanel(parent, QSize(720, 470)), host_(host) {
  SkinFolder& skin = host_.skin();
  const SkinDescription description = skin.description(kDescription, SkinDescription::kButtonPos);
  const SkinPictureNames names = description.screen_pictures();
  set_skin(skin.window_pictures(names));

  const QRect r = look::to_rect(description.placement(kGuideButtonKey));
  button_ = new CBitmapBtn(this, kGuideButtonKey);
  button_->setGeometry(r);
  button_->set_pictures(cuts(r));
  if (r.isEmpty()) button_->hide();
  connect(button_, &CBitmapBtn::command, this, &CHomeDlg::open_guide);

  release_state_pictures();
  for (const std::string& n : {names.over, names.down, names.disable})
    if (!n.empty() && n != names.normal) skin.release(n);
}

std::string CHomeDlg::guide_path() const { return host_.program_folder() + kGuide; }

void CHomeDlg::open_guide() {
  if (launcher_->start(guide_path())) return;
  CMessageDlg warn(this, host_.skin(), host_.language(), kTextWarning, kTextGuideNotOpened, false);
  host_.dialogs().run(warn);
}

}  // namespace mt
