#include "option/key_dialogs.h"

#include <QPainter>
#include <QShowEvent>

#include <initializer_list>

#include "common/language_module.h"
#include "option/hook/key_recording_hook.h"
#include "option/logic/text_layout.h"
#include "option/painted_text.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/bmp_edit.h"
#include "option/skin/skin_folder.h"
#include "option/skin/skin_look.h"

namespace mt {
namespace {

constexpr int kTextConfirm = 803;
constexpr int kTextCancel = 804;
constexpr int kTextNoGrab = 285;  // other windows still receive keys
constexpr int kFieldPx = 18;

// Where the controls go when the skin places none of them, so the dialog can
// always be closed and still shows its key.
constexpr QRect kDefaultClose(404, 12, 28, 28);
constexpr QRect kDefaultConfirm(190, 210, 118, 38);
constexpr QRect kDefaultCancel(314, 210, 118, 38);
constexpr QRect kDefaultShortcutField(22, 140, 330, 32);
constexpr QRect kDefaultSingleKeyField(140, 128, 224, 32);
QRect default_toggle(int i) { return i == 0 ? QRect(10, 88, 172, 36) : QRect(182 + 63 * (i - 1), 88, 63, 36); }

const CKeyCaptureDlg::Layout kShortcutLayout{
    "skin_shortcut.ini",
    {"restore_mask.bmp", "keyboard_command_normal.jpg", "keyboard_command_over.jpg", "keyboard_command_down.jpg", ""},
    CShortCutDlg::kField, CShortCutDlg::kConfirm, CShortCutDlg::kCancel, CShortCutDlg::kClose};

const CKeyCaptureDlg::Layout kSingleKeyLayout{
    "skin_single_key.ini",
    {"restore_mask.bmp", "restore_normal.jpg", "restore_over.jpg", "restore_down.jpg", "restore_normal.jpg"},
    CSingleKeyDlg::kField, CSingleKeyDlg::kConfirm, CSingleKeyDlg::kCancel, CSingleKeyDlg::kClose};

// All five flags as bits, key alone included with the others: the toggles
// start as the slot's byte has them.
uint8_t raw_bits(const ModifierFlags& flags) {
  uint8_t bits = 0;
  for (int i = 0; i < 5; ++i)
    if (flags[static_cast<std::size_t>(i)]) bits |= static_cast<uint8_t>(1u << i);
  return bits;
}

QString text_of(const LanguageModule& language, int id) { return QString::fromStdU16String(language.text(id)); }

bool skin_places_any(const SkinDescription& d, std::initializer_list<int> keys) {
  for (int key : keys)
    if (!d.placement(key).empty()) return true;
  return false;
}

}  // namespace

CKeyCaptureDlg::CKeyCaptureDlg(QWidget* parent, SkinFolder& skin, const LanguageModule& language,
                               const Layout& layout, int title_id, KeyCapture capture)
    : CSkinDialog(parent),
      capture_(std::move(capture)),
      language_(language),
      description_(skin.description(layout.description, SkinDescription::kButtonPos)),
      title_(text_of(language, title_id)),
      note_text_(text_of(language, kTextNoGrab)) {
  set_skin(skin.window_pictures(layout.pictures));
  setWindowTitle(title_);

  const bool placed = skin_places_any(description_, {layout.field_key, layout.confirm_key, layout.cancel_key,
                                                     layout.close_key});
  const QRect field_default =
      layout.field_key == CShortCutDlg::kField ? kDefaultShortcutField : kDefaultSingleKeyField;
  const QRect field_rect = placed ? look::to_rect(description_.placement(layout.field_key)) : field_default;
  field_ = new CBmpEdit(this, kKeyFieldId);
  field_->set_display_only(true);
  field_->set_colors(Qt::white, Qt::black);
  field_->set_text_font(QStringLiteral("Arial"), kFieldPx);
  field_->setAlignment(Qt::AlignCenter);
  field_->setGeometry(field_rect);

  auto* ok = add_button(layout.confirm_key, kTextConfirm, placed ? QRect() : kDefaultConfirm);
  auto* cancel = add_button(layout.cancel_key, kTextCancel, placed ? QRect() : kDefaultCancel);
  auto* close = add_button(layout.close_key, 0, placed ? QRect() : kDefaultClose);
  if (!skin_pictures().has_pictures()) close->setText(QStringLiteral("\u00D7"));
  connect(ok, &CBitmapBtn::command, this, [this] { done(kResultOk); });
  connect(cancel, &CBitmapBtn::command, this, [this] { done(kResultCancel); });
  connect(close, &CBitmapBtn::command, this, [this] { done(kResultCancel); });

  connect(&key_recording_hook(), &KeyRecordingHook::grab_changed, this, [this](KeyRecordingHook::Grab g) {
    if (key_recording_hook().target() == this) set_note(g == KeyRecordingHook::Grab::refused);
  });
  field_->setText(QString::fromStdU16String(capture_.key_text()));
}

CKeyCaptureDlg::~CKeyCaptureDlg() {
  KeyRecordingHook& hook = key_recording_hook();
  disconnect(&hook, nullptr, this, nullptr);
  if (hook.target() == this) hook.uninstall();
}

CBitmapBtn* CKeyCaptureDlg::add_button(int key, int text_id, const QRect& fallback) {
  auto* b = new CBitmapBtn(this, key);
  const QRect placed = look::to_rect(description_.placement(key));
  const QRect r = placed.isEmpty() && !fallback.isEmpty() ? fallback : placed;
  b->setGeometry(r);
  b->set_pictures(cuts(r));
  if (text_id) b->setText(text_of(language_, text_id));
  // The hook takes every key while the dialog is up; a button never needs
  // the focus.
  b->setFocusPolicy(Qt::NoFocus);
  if (key >= 1 && key <= static_cast<int>(buttons_.size())) buttons_[static_cast<std::size_t>(key - 1)] = b;
  return b;
}

CBitmapBtn* CKeyCaptureDlg::button(int key) const {
  return key >= 1 && key <= static_cast<int>(buttons_.size()) ? buttons_[static_cast<std::size_t>(key - 1)] : nullptr;
}

QString CKeyCaptureDlg::key_text() const { return field_->text(); }

void CKeyCaptureDlg::show_capture() { field_->setText(QString::fromStdU16String(capture_.key_text())); }

void CKeyCaptureDlg::showEvent(QShowEvent* event) {
  CSkinDialog::showEvent(event);
  // The hook goes by itself when the dialog is hidden or destroyed.
  KeyRecordingHook& hook = key_recording_hook();
  if (hook.installed() && hook.target() == this) return;
  const KeyRecordingHook::Grab grab =
      hook.install(this, [this](uint32_t vk, uint32_t flags) { on_key(vk, flags); });
  set_note(grab == KeyRecordingHook::Grab::refused);
}

void CKeyCaptureDlg::on_key(uint32_t vk, uint32_t flags) {
  capture_.key_message(vk, flags);
  show_capture();
}

void CKeyCaptureDlg::set_note(bool shown) {
  if (note_ == shown) return;
  note_ = shown;
  update();
}

void CKeyCaptureDlg::paint_title(QPainter& p) {
  paint_box_text(p, layout::kDialogTitle, title_, look::design_font(QStringLiteral("Arial"), layout::kDialogTitlePx),
                 QColor(look::kLabel), Qt::AlignHCenter, TextDown::centred, true);
}

void CKeyCaptureDlg::paint_note(QPainter& p, const QRect& box, int flags) {
  if (!note_) return;
  paint_box_text(p, box, note_text_, look::design_font(QStringLiteral("Arial"), layout::kKeyNotePx),
                 QColor(look::kAccentHover), Qt::Alignment(flags), TextDown::anchored, true);
}

// ---- CShortCutDlg ----------------------------------------------------------

CShortCutDlg::CShortCutDlg(QWidget* parent, SkinFolder& skin, const LanguageModule& language, uint8_t key_code,
                           const ModifierFlags& modifiers)
    : CKeyCaptureDlg(parent, skin, language, kShortcutLayout, 252, KeyCapture(key_code, raw_bits(modifiers))),
      label_(text_of(language, 258)) {
  setWindowTitle(QString::fromLatin1(kWindowTitle));
  const bool placed = skin_places_any(description(), {5, 6, 7, 8, 9});
  for (int i = 0; i < 5; ++i) {
    CBitmapBtn* t = add_button(kFirstToggle + i, 253 + i, placed ? QRect() : default_toggle(i));
    connect(t, &CBitmapBtn::command, this, [this, i] {
      capture_.set_toggle(i, !capture_.toggle_on(i));
      show_capture();
    });
  }
  show_capture();
}

void CShortCutDlg::show_capture() {
  CKeyCaptureDlg::show_capture();
  for (int i = 0; i < 5; ++i) {
    CBitmapBtn* t = toggle(i);
    if (!t) continue;
    t->set_selected(capture_.toggle_on(i));
    t->setEnabled(capture_.toggle_enabled(i));
  }
}

void CShortCutDlg::paint_surface(QPainter& p) {
  paint_title(p);
  paint_box_text(p, layout::kShortcutKeyLabel, label_,
                 look::design_font(QStringLiteral("Arial"), layout::kShortcutKeyLabelPx), QColor(look::kLabel),
                 Qt::AlignLeft, TextDown::anchored, false);
  paint_note(p, box_rect(layout::kShortcutNote), Qt::AlignHCenter);
}

// ---- CSingleKeyDlg ---------------------------------------------------------

CSingleKeyDlg::CSingleKeyDlg(QWidget* parent, SkinFolder& skin, const LanguageModule& language, uint8_t key_code)
    : CKeyCaptureDlg(parent, skin, language, kSingleKeyLayout, 140, KeyCapture(key_code)),
      prompt_(text_of(language, 141)) {}

void CSingleKeyDlg::paint_surface(QPainter& p) {
  paint_title(p);
  paint_box_text(p, layout::kSingleKeyPrompt, prompt_,
                 look::design_font(QStringLiteral("Arial"), layout::kSingleKeyPromptPx), QColor(look::kLabel),
                 Qt::AlignLeft, TextDown::anchored, false);
  paint_note(p, box_rect(layout::kSingleKeyNote), Qt::AlignLeft);
}

}  // namespace mt
