#include "option/game_profile_dlg.h"

#include <QPainter>

#include "common/language_module.h"
#include "common/settings_record.h"
#include "option/logic/text_layout.h"
#include "option/option_log.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/rgn_button.h"
#include "option/skin/skin_folder.h"
#include "option/skin/skin_look.h"
#include "platform/qt/qt_text.h"

namespace mt {
namespace {

constexpr char kDescription[] = "skin_profile.ini";
constexpr char kMarkerMask[] = "profile_mask.bmp";
constexpr int kMarkerCaptionPx = 20;
constexpr int kButtonCaptionPx = 18;
// The marker's artwork has a lamp at its left and a notch at its right.
constexpr QMargins kMarkerCaptionMargins(22, 0, 40, 0);

constexpr PanelButton kButtons[] = {PanelButton::marker, PanelButton::select, PanelButton::import,
                                    PanelButton::export_, PanelButton::reset};

int text_of(PanelControl c) {
  switch (c.button) {
    case PanelButton::marker: return kPanelMarkerTextFirst + c.row;
    case PanelButton::select: return kPanelSelectText;
    case PanelButton::import: return kPanelImportText;
    case PanelButton::export_: return kPanelExportText;
    case PanelButton::reset: return kPanelResetText;
  }
  return 0;
}

}  // namespace

CGameProfileDlg::CGameProfileDlg(OptionHost& host, QWidget* parent)
    : CSkinPanel(parent, QSize(720, 470)), host_(host) {
  SkinFolder& skin = host_.skin();
  const SkinDescription description = skin.description(kDescription, SkinDescription::kButtonPos);
  const SkinPictureNames names = description.screen_pictures();
  set_skin(skin.window_pictures(names));
  const QRegion marker_shape = skin.mask(kMarkerMask).region;

  for (PanelButton button : kButtons) {
    for (int row = 0; row < kPanelRows; ++row) {
      const int key = panel_skin_key({button, row});
      const QRect r = look::to_rect(description.placement(key));
      CBitmapBtn* b;
      if (button == PanelButton::marker) {
        auto* marker = new CRgnButton(this, key);
        marker->set_region(marker_shape);
        marker->set_caption_font(QStringLiteral("Arial"), kMarkerCaptionPx);
        marker->set_caption_align(CBitmapBtn::CaptionAlign::left);
        marker->set_caption_margins(kMarkerCaptionMargins);
        b = marker;
      } else {
        b = new CBitmapBtn(this, key);
        b->set_caption_font(QStringLiteral("Arial"), kButtonCaptionPx);
      }
      b->setGeometry(r);
      b->set_pictures(cuts(r));
      if (r.isEmpty()) b->hide();
      connect(b, &CBitmapBtn::command, this, [this](int id) { on_button(id); });
      controls_[key] = b;
    }
  }
  // Every control has its cuts: only the background stays.
  release_state_pictures();
  for (const std::string& n : {names.over, names.down, names.disable})
    if (!n.empty() && n != names.normal) skin.release(n);
  refresh();
}

CBitmapBtn* CGameProfileDlg::control(int key) const {
  return key >= 0 && key < static_cast<int>(controls_.size()) ? controls_[key] : nullptr;
}

void CGameProfileDlg::refresh() { show_current(host_.working().CurrentProfile); }

void CGameProfileDlg::show_current(int p) {
  const PanelState s = panel_state(p);
  for (int row = 0; row < kPanelRows; ++row) {
    control(panel_skin_key({PanelButton::marker, row}))->set_selected(s.marker_on[row]);
    for (PanelButton button : {PanelButton::import, PanelButton::export_, PanelButton::reset})
      control(panel_skin_key({button, row}))->setEnabled(s.row_buttons_enabled[row]);
  }
  const int row = p >= 0 && p < kPanelRows ? p : -1;
  if (row != shown_row_) {
    shown_row_ = row;
    option_log("profile panel: row %d current", row + 1);
  }
}

void CGameProfileDlg::load_texts() {
  const LanguageModule& texts = host_.language();
  for (PanelButton button : kButtons)
    for (int row = 0; row < kPanelRows; ++row) {
      const PanelControl c{button, row};
      control(panel_skin_key(c))->setText(platform::to_qstring(texts.text(text_of(c))));
    }
  for (int i = 0; i < 3; ++i) headings_[i] = platform::to_qstring(texts.text(kPanelHeadingTexts[i]));
  repaint();
}

void CGameProfileDlg::on_button(int key) {
  const std::optional<PanelControl> c = panel_control(key);
  if (!c) return;
  SettingsRecord& record = host_.working();
  switch (c->button) {
    case PanelButton::marker: break;
    case PanelButton::select: select_row(record, c->row, *this); break;
    case PanelButton::reset: reset_row(record, c->row, *this); break;
    // Import and export work on the current profile; their buttons are
    // enabled only in its row.
    case PanelButton::import:
      if (c->row == record.CurrentProfile) host_.import_profile();
      break;
    case PanelButton::export_:
      if (c->row == record.CurrentProfile) host_.export_profile();
      break;
  }
}

void CGameProfileDlg::refresh_pages() { host_.refresh_pages(); }

void CGameProfileDlg::apply(int flag) { host_.apply(flag); }

void CGameProfileDlg::paint_surface(QPainter& p) {
  p.setFont(look::design_font(QStringLiteral("Arial"), layout::kProfileHeadingPx));
  p.setPen(QColor(look::kLabel));
  for (int i = 0; i < 3; ++i) {
    const layout::Box& b = layout::kProfileHeading[i];
    p.drawText(QRect(b.left, b.top, b.width(), b.height()), Qt::AlignCenter, headings_[i]);
  }
}

}  // namespace mt
