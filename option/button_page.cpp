#include "option/button_page.h"

#include <QPainter>

#include "common/language_module.h"
#include "common/macro_library.h"
#include "common/macro_sync.h"
#include "option/key_dialogs.h"
#include "option/logic/button_rules.h"
#include "option/logic/text_layout.h"
#include "option/macro_manager.h"
#include "option/menu_entries.h"
#include "option/message_dialogs.h"
#include "option/painted_text.h"
#include "option/program_chooser.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/ex_menu.h"
#include "option/skin/picture_wnd.h"
#include "option/skin/skin_folder.h"
#include "option/skin/skin_look.h"

namespace mt {
namespace {

constexpr QSize kPageSize(720, 470);
const SkinPictureNames kPictures{"middle_mask.bmp", "button_normal.JPG", "button_over.JPG", "button_down.JPG",
                                 "button_disable.jpg"};
constexpr char kIdlePicture[] = "Mouse/mouse.jpg";
constexpr int kCaptionPx = 18;
constexpr QRgb kHeadingColour = qRgb(255, 0, 0);
constexpr int kTextWarning = 250;
constexpr int kTextMacrosNotSaved = 289;

bool valid_slot(int slot) { return slot >= 0 && slot < kButtonSlots; }

}  // namespace

CDlgPageMouse::CDlgPageMouse(OptionHost& host, QWidget* parent)
    : CSkinPanel(parent, kPageSize),
      host_(host),
      tracker_([](CExMenu& menu, const QPoint& global) { return menu.track(global); }) {
  SkinFolder& skin = host.skin();
  set_skin(skin.window_pictures(kPictures));
  const SkinDescription description = skin.description(kDescription, SkinDescription::kButtonInfo);
  picture_rect_ = look::to_rect(description.placement(kPictureKey));
  idle_picture_ = skin.picture(kIdlePicture).image;

  // The picture windows first, so that a skin whose picture rectangle runs
  // under a slot still leaves the slot on top (the pictures take no input).
  for (int s = 0; s < kButtonSlots; ++s) {
    const SlotInfo& info = slot_table()[static_cast<std::size_t>(s)];
    auto* picture = new CLineWnd(this, kPictureWindowId);
    picture->setGeometry(picture_rect_);
    picture->set_picture(skin.picture(std::string("Mouse/") + info.picture).image);
    picture->hide();
    pictures_[static_cast<std::size_t>(s)] = picture;
  }
  for (int s = 0; s < kButtonSlots; ++s) {
    const SlotInfo& info = slot_table()[static_cast<std::size_t>(s)];
    auto* b = new CBitmapBtn(this, info.control_id);
    const QRect r = look::to_rect(description.placement(s + 1));
    b->setGeometry(r);
    b->set_pictures(cuts(r));
    b->set_caption_font(QStringLiteral("Arial"), kCaptionPx);
    b->set_caption_align(CBitmapBtn::CaptionAlign::left);
    b->set_hover_id(info.control_id);
    if (info.has_label_colour)
      b->set_caption_color(QColor(info.label_colour.red, info.label_colour.green, info.label_colour.blue));
    connect(b, &CBitmapBtn::command, this, [this](int id) { open_slot_menu(slot_of_control(id)); });
    connect(b, &CBitmapBtn::hover_changed, this, &CDlgPageMouse::on_hover);
    connect(b, &CBitmapBtn::status_hint, this, &CDlgPageMouse::on_status_hint);
    slots_[static_cast<std::size_t>(s)] = b;
  }
  // Every slot has its cuts: only the background stays decoded.
  release_state_pictures();
  for (const std::string* name : {&kPictures.over, &kPictures.down, &kPictures.disable}) skin.release(*name);
}

CDlgPageMouse::~CDlgPageMouse() = default;

QString CDlgPageMouse::text(int id) const { return QString::fromStdU16String(host_.language().text(id)); }

CBitmapBtn* CDlgPageMouse::slot_button(int slot) const {
  return valid_slot(slot) ? slots_[static_cast<std::size_t>(slot)] : nullptr;
}

CLineWnd* CDlgPageMouse::picture_window(int slot) const {
  return valid_slot(slot) ? pictures_[static_cast<std::size_t>(slot)] : nullptr;
}

void CDlgPageMouse::load_texts() {
  heading_ = text(kTextHeading);
  const QString hint = text(kTextHint);
  for (CBitmapBtn* b : slots_) b->set_hint(hint);
  refresh();
  update();
}

void CDlgPageMouse::refresh() {
  const ProfileRecord* profile = current_profile(host_.working());
  if (!profile) {
    for (CBitmapBtn* b : slots_) b->setText(QString());
    return;
  }
  const std::array<std::u16string, kButtonSlots> labels = slot_labels(*profile, texts_of(host_.language()));
  for (int s = 0; s < kButtonSlots; ++s) {
    CBitmapBtn* b = slots_[static_cast<std::size_t>(s)];
    b->setText(QString::fromStdU16String(labels[static_cast<std::size_t>(s)]));
    b->update();
  }
}

void CDlgPageMouse::on_hover(int entered, int control_id) {
  const int slot = slot_of_control(control_id);
  if (slot < 0) return;
  // While its menu is open the slot stays lit, wherever the pointer goes.
  if (!entered && slot == menu_slot_) return;
  pictures_[static_cast<std::size_t>(slot)]->setVisible(entered != 0);
}

void CDlgPageMouse::on_status_hint(int entered, const QString& hint) {
  if (!entered && menu_slot_ >= 0) return;
  host_.show_status_hint(entered ? hint.toStdU16String() : std::u16string());
}

QPoint CDlgPageMouse::menu_position(int slot) const {
  const CBitmapBtn* b = slot_button(slot);
  if (!b) return QPoint();
  return b->mapToGlobal(QPoint(kSlotMenuOffsetX, b->height() + kSlotMenuOffsetY));
}

void CDlgPageMouse::open_slot_menu(int slot) {
  if (!valid_slot(slot) || menu_slot_ >= 0) return;
  CBitmapBtn* b = slots_[static_cast<std::size_t>(slot)];
  const ProfileRecord* profile = current_profile(host_.working());
  current_slot_ = slot;
  selected_ = profile ? profile->MacroKeyInfo[slot] : ButtonRecord{};

  menu_slot_ = slot;
  b->set_selected(true);
  pictures_[static_cast<std::size_t>(slot)]->show();
  host_.show_status_hint(b->hint().toStdU16String());

  int command = 0;
  {
    CExMenu menu(this);
    menu.set_menu_font(QString::fromLatin1(kSlotMenuFont), kSlotMenuFontHeight, kSlotMenuFontWeight);
    menu.set_item_width(kSlotMenuItemWidth);
    menu.add_items(menu_items(slot_menu(host_.macro_library(), selected_), texts_of(host_.language())));
    command = tracker_(menu, menu_position(slot));
  }

  menu_slot_ = -1;
  b->set_selected(false);
  // The pointer may still be over the slot (Escape); it keeps the slot lit then.
  pictures_[static_cast<std::size_t>(slot)]->setVisible(b->hovered());
  host_.show_status_hint(b->hovered() ? b->hint().toStdU16String() : std::u16string());
  setFocus(Qt::OtherFocusReason);

  if (command >= kCmdNothing && command <= kCmdLastMenu) run_command(slot, command);
}

void CDlgPageMouse::run_command(int slot, int command) {
  if (!valid_slot(slot) || command < kCmdNothing || command > kCmdLastMenu) return;
  SettingsRecord& record = host_.working();
  std::vector<MacroRecord>& library = host_.macro_library();
  if (const ProfileRecord* profile = current_profile(record)) {
    current_slot_ = slot;
    selected_ = profile->MacroKeyInfo[slot];
  }

  const CommandPlan plan = plan_command(record, slot, command, library.size());
  CommandOutcome outcome;
  switch (plan.action) {
    case CommandAction::none: return;
    case CommandAction::refuse: {
      CWarnClickDlg warn(this, host_.skin(), host_.language());
      host_.dialogs().run(warn);
      return;
    }
    case CommandAction::ask_key_combination: {
      CShortCutDlg dlg(this, host_.skin(), host_.language(), plan.key_code, plan.modifiers);
      if (host_.dialogs().run(dlg) != CSkinDialog::kResultOk) return;
      outcome.key_combination = KeyChoice{dlg.key_code(), dlg.modifiers()};
      break;
    }
    case CommandAction::ask_single_key: {
      CSingleKeyDlg dlg(this, host_.skin(), host_.language(), plan.key_code);
      if (host_.dialogs().run(dlg) != CSkinDialog::kResultOk) return;
      outcome.single_key = dlg.key_code();
      break;
    }
    case CommandAction::ask_program: {
      CDlgProgSel dlg(this, host_.skin(), host_.language(), host_.files(), plan.program_path);
      if (host_.dialogs().run(dlg) != CSkinDialog::kResultOk) return;
      outcome.program_path = dlg.path();
      break;
    }
    case CommandAction::open_macro_manager: run_macro_manager(); return;
    case CommandAction::store: break;
  }
  if (!apply_command(record, slot, command, outcome, library)) return;
  refresh();
  host_.show_status_hint(text(kTextChangedHint).toStdU16String());
}

void CDlgPageMouse::run_macro_manager() {
  std::vector<MacroRecord>& library = host_.macro_library();
  int result = CSkinDialog::kResultCancel;
  {
    CMacroManager manager(this, host_, selected_);
    result = host_.dialogs().run(manager);
  }
  if (result == CSkinDialog::kResultOk) {
    push_to_profiles(library, host_.working());
    // The edits stay in memory either way; the user hears when the file did
    // not take them.
    if (!save_macro_library(library, host_.settings_folder())) {
      CMessageDlg warn(this, host_.skin(), host_.language(), kTextWarning, kTextMacrosNotSaved, false);
      host_.dialogs().run(warn);
    }
    refresh();
    host_.show_status_hint(text(kTextChangedHint).toStdU16String());
  } else {
    library.clear();
    load_macro_library(library, host_.settings_folder());
  }
}

QRect CDlgPageMouse::heading_rect() const {
  return box_text_rect(box_rect(layout::kButtonPageHeading), heading_,
                       look::design_font(QStringLiteral("Arial"), layout::kButtonPageHeadingPx), Qt::AlignHCenter,
                       TextDown::centred, true);
}

void CDlgPageMouse::paint_surface(QPainter& p) {
  if (!idle_picture_.isNull() && !picture_rect_.isEmpty())
    p.drawImage(QRectF(picture_rect_), idle_picture_, QRectF(idle_picture_.rect()));
  paint_box_text(p, layout::kButtonPageHeading, heading_,
                 look::design_font(QStringLiteral("Arial"), layout::kButtonPageHeadingPx), QColor(kHeadingColour),
                 Qt::AlignHCenter, TextDown::centred, true);
}

}  // namespace mt
