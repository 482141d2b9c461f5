#include "option/message_dialogs.h"

#include <QFontMetrics>
#include <QPainter>

#include "common/language_module.h"
#include "option/logic/text_layout.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/skin_folder.h"
#include "option/skin/skin_look.h"

namespace mt {
namespace {

constexpr char kDescription[] = "skin_Restore.ini";
const SkinPictureNames kPictures{"restore_mask.bmp", "restore_normal.jpg", "restore_over.jpg",
                                 "restore_down.jpg", "restore_normal.jpg"};

constexpr int kTitleDialogs = 250;
constexpr int kTextConfirm = 803;
constexpr int kTextCancel = 804;
constexpr int kTextSecondConfirm = 805;

// Where the buttons go when the skin places none of them.
constexpr QRect kDefaultClose(404, 12, 28, 28);
constexpr QRect kDefaultTwo[] = {{92, 206, 120, 36}, {232, 206, 120, 36}};
constexpr QRect kDefaultThree[] = {{36, 206, 118, 36}, {163, 206, 118, 36}, {290, 206, 118, 36}};

QString text_of(const LanguageModule& language, int id) {
  return QString::fromStdU16String(language.text(id));
}

// Word-wrapped, centred across the box, and down it when shorter than it.
void paint_box_text(QPainter& p, const layout::Box& box, const QString& text, int pixel_height) {
  if (text.isEmpty()) return;
  const QRect r(box.left, box.top, box.width(), box.height());
  const QFont font = look::design_font(QStringLiteral("Arial"), pixel_height);
  const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
  const int h = QFontMetrics(font).boundingRect(r, flags, text).height();
  QRect target = r;
  if (h < r.height()) target.setTop(r.top() + (r.height() - h) / 2);
  p.save();
  p.setClipRect(r);
  p.setFont(font);
  p.setPen(QColor(look::kLabel));
  p.drawText(target, flags, text);
  p.restore();
}

}  // namespace

CMessageDlg::CMessageDlg(QWidget* parent, SkinFolder& skin, const LanguageModule& language, int title_id,
                         int message_id, bool second_confirm)
    : CSkinDialog(parent, QSize(kFallbackWidth, kFallbackHeight)),
      title_(text_of(language, title_id)),
      message_(text_of(language, message_id)) {
  setWindowTitle(title_);
  set_skin(skin.window_pictures(kPictures));
  const SkinDescription description = skin.description(kDescription, SkinDescription::kButtonInfo);

  const int count = second_confirm ? 4 : 3;
  QRect rects[4];
  bool any_placed = false;
  for (int key = 1; key <= count; ++key) {
    rects[key - 1] = look::to_rect(description.placement(key));
    any_placed = any_placed || !rects[key - 1].isEmpty();
  }
  if (!any_placed) {
    rects[kClose - 1] = kDefaultClose;
    if (second_confirm) {
      rects[kConfirm - 1] = kDefaultThree[0];
      rects[kSecondConfirm - 1] = kDefaultThree[1];
      rects[kCancel - 1] = kDefaultThree[2];
    } else {
      rects[kConfirm - 1] = kDefaultTwo[0];
      rects[kCancel - 1] = kDefaultTwo[1];
    }
  }

  const int captions[4] = {kTextConfirm, kTextCancel, 0, kTextSecondConfirm};
  for (int key = 1; key <= count; ++key) {
    auto* b = new CBitmapBtn(this, key);
    b->setGeometry(rects[key - 1]);
    b->set_pictures(cuts(rects[key - 1]));
    if (captions[key - 1]) b->setText(text_of(language, captions[key - 1]));
    // The close button's cross is in the skin's pictures; without them it
    // needs one of its own to be found.
    if (key == kClose && !skin_pictures().has_pictures()) b->setText(QStringLiteral("\u00D7"));
    connect(b, &CBitmapBtn::command, this, [this](int id) { on_button(id); });
    buttons_[key - 1] = b;
  }
}

CBitmapBtn* CMessageDlg::button(int key) const {
  return key >= 1 && key <= 4 ? buttons_[key - 1] : nullptr;
}

void CMessageDlg::on_button(int key) {
  done(key == kConfirm || key == kSecondConfirm ? kResultOk : kResultCancel);
}

void CMessageDlg::paint_surface(QPainter& p) {
  paint_box_text(p, layout::kDialogTitle, title_, layout::kDialogTitlePx);
  paint_box_text(p, layout::kDialogMessage, message_, layout::kDialogMessagePx);
}

CDeleteMacroWarn::CDeleteMacroWarn(QWidget* parent, SkinFolder& skin, const LanguageModule& language)
    : CMessageDlg(parent, skin, language, kTitleDialogs, 276, false) {}

CWarnMacroSet::CWarnMacroSet(QWidget* parent, SkinFolder& skin, const LanguageModule& language)
    : CMessageDlg(parent, skin, language, kTitleDialogs, 275, false) {}

CWarnClickDlg::CWarnClickDlg(QWidget* parent, SkinFolder& skin, const LanguageModule& language)
    : CMessageDlg(parent, skin, language, kTitleDialogs, 251, false) {}

CWarnImportDlg::CWarnImportDlg(QWidget* parent, SkinFolder& skin, const LanguageModule& language)
    : CMessageDlg(parent, skin, language, kTitleDialogs, 117, false) {}

CWarnExportDlg::CWarnExportDlg(QWidget* parent, SkinFolder& skin, const LanguageModule& language)
    : CMessageDlg(parent, skin, language, kTitleDialogs, 118, false) {}

CDlgRestore::CDlgRestore(QWidget* parent, SkinFolder& skin, const LanguageModule& language)
    : CMessageDlg(parent, skin, language, 801, 802, true) {}

void CDlgRestore::on_button(int key) {
  if (key == kConfirm) choice_ = 1;
  if (key == kSecondConfirm) choice_ = 2;
  CMessageDlg::on_button(key);
}

}  // namespace mt
