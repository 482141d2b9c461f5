#include "option/macro_manager.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMargins>
#include <QPainter>
#include <QSignalBlocker>

#include "common/language_module.h"
#include "option/hook/key_recording_hook.h"
#include "option/logic/text_layout.h"
#include "option/menu_entries.h"
#include "option/message_dialogs.h"
#include "option/option_host.h"
#include "option/painted_text.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/bmp_edit.h"
#include "option/skin/ex_menu.h"
#include "option/skin/list_box_ex.h"
#include "option/skin/skin_folder.h"
#include "option/skin/skin_look.h"

namespace mt {
namespace {

constexpr QSize kFallbackSize(760, 520);

constexpr int kTextTitle = 271;
constexpr int kTextMacroList = 272;
constexpr int kTextEvents = 279;
constexpr int kTextTimes = 284;
constexpr int kTextNoGrab = 285;
constexpr int kTextBlockTitle = 286;
constexpr int kTextBlockBytes = 287;   // "%1 of %2 bytes"
constexpr int kTextBlockLeftOut = 288; // "%1 events not sent"

// The buttons' captions by skin key (0: none; the record button's changes).
constexpr int kCaptions[12] = {0, 277, 278, 0, 273, 274, 0, kTextRecord, 282, 283, 0, 0};

// Where the controls go when the skin places none of them (our skin's places).
constexpr QRect kDefaultRects[12] = {
    {},
    {494, 472, 118, 38}, {618, 472, 118, 38}, {720, 14, 28, 28}, {22, 382, 132, 38}, {160, 382, 132, 38},
    {24, 104, 266, 268}, {304, 382, 126, 38}, {436, 382, 190, 38}, {304, 426, 126, 38}, {436, 430, 52, 30},
    {306, 104, 430, 268},
};

QFont arial(int px) { return look::design_font(QStringLiteral("Arial"), px); }

bool is_button_key(int key) {
  return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

}  // namespace

CMacroManager::CMacroManager(QWidget* parent, OptionHost& host, const ButtonRecord& selected_slot, TickClock clock)
    : CSkinDialog(parent, kFallbackSize),
      host_(host),
      editor_(host.macro_library(), *this, std::move(clock)),
      tracker_([](CExMenu& menu, const QPoint& global) { return menu.track(global); }) {
  setWindowTitle(QString::fromLatin1(kWindowTitle));
  SkinFolder& skin = host.skin();
  const SkinDescription description = skin.description(kDescription, SkinDescription::kButtonPos);
  set_skin(skin.window_pictures(description.screen_pictures()));

  bool placed = false;
  for (int key = 1; key <= 11; ++key) placed = placed || !description.placement(key).empty();
  auto rect_of = [&](int key) { return placed ? look::to_rect(description.placement(key)) : kDefaultRects[key]; };

  for (int key : {kConfirm, kCancel, kClose, kNew, kDelete, kRecord, kRecordDelays, kRepeat}) {
    auto* b = new CBitmapBtn(this, key);
    const QRect r = rect_of(key);
    b->setGeometry(r);
    b->set_pictures(cuts(r));
    if (kCaptions[key]) b->setText(text(kCaptions[key]));
    b->installEventFilter(this);
    buttons_[static_cast<std::size_t>(key - 1)] = b;
  }
  if (!skin_pictures().has_pictures()) buttons_[kClose - 1]->setText(QStringLiteral("\u00D7"));
  // The record button's body is red in every state: its caption stays light
  // (the design's red for over and pressed would vanish into it).
  const QColor light = look::from_colorref(look::kCaptionNormal);
  button(kRecord)->set_caption_colors(light, light, look::from_colorref(look::kCaptionDisabled), light);
  // The repeat toggle lights a bar under its caption: the caption sits above
  // it, clear of the descenders ("Repeat", "Повтор").
  button(kRepeat)->set_caption_margins(QMargins(0, 0, 0, 8));

  macros_ = new CListBoxEx(this, kMacroListId);
  macros_->setGeometry(rect_of(kMacroList));
  events_ = new CListBoxEx(this, kEventListId);
  events_->setGeometry(rect_of(kEventList));
  for (int icon : {kIconPress, kIconRelease, kIconDelay, kIconMouse})
    events_->set_icon(icon, skin.picture("Icons/" + std::to_string(icon) + ".png").image);

  repeat_ = new CBmpEdit(this, kRepeatEditId);
  repeat_->setMaxLength(kRepeatEntryMax);
  repeat_->setGeometry(rect_of(kRepeatEdit));
  repeat_->set_background(cuts(repeat_->geometry()).normal);
  repeat_->set_text_font(QStringLiteral("Arial"), 18);

  connect(button(kConfirm), &CBitmapBtn::command, this, [this] { done(kResultOk); });
  connect(button(kCancel), &CBitmapBtn::command, this, [this] { done(kResultCancel); });
  connect(button(kClose), &CBitmapBtn::command, this, [this] { done(kResultCancel); });
  connect(button(kNew), &CBitmapBtn::command, this, [this] { editor_.begin_new_macro(); });
  connect(button(kDelete), &CBitmapBtn::command, this, [this] { on_delete(); });
  connect(button(kRecord), &CBitmapBtn::command, this, [this] {
    setFocus(Qt::OtherFocusReason);  // a name or count being typed is taken first
    editor_.press_record();
  });
  connect(button(kRecordDelays), &CBitmapBtn::command, this, [this] {
    editor_.set_record_delays(!editor_.record_delays());
    button(kRecordDelays)->set_selected(editor_.record_delays());
  });
  connect(button(kRepeat), &CBitmapBtn::command, this, [this] { editor_.set_repeat(!editor_.repeat_on()); });
  connect(repeat_, &CBmpEdit::kill_focus, this, [this] { editor_.commit_repeat_text(repeat_->text().toStdU16String()); });
  connect(repeat_, &CBmpEdit::edit_notify, this, [this](int code) {
    if (code == kBitmapEditEnterReleased) editor_.commit_repeat_text(repeat_->text().toStdU16String());
  });

  connect(macros_, &CListBoxEx::selection_changed, this, [this](int row) {
    // A click beside the rows leaves the current macro current: the list
    // always shows which macro Delete and Record act on.
    if (row < 0)
      macros_->select_row(editor_.current_macro());
    else
      editor_.select_macro(row);
  });
  connect(events_, &CListBoxEx::selection_changed, this, [this](int row) { editor_.select_event_row(row); });
  connect(macros_, &CListBoxEx::edit_committed, this,
          [this](int row) { editor_.commit_macro_name(row, macros_->row_text(row).toStdU16String()); });
  connect(macros_, &CListBoxEx::edit_cancelled, this, [this](int row) { editor_.cancel_macro_name(row); });
  connect(events_, &CListBoxEx::edit_committed, this,
          [this](int row) { editor_.commit_delay(row, events_->row_text(row).toStdU16String()); });
  // An edit left with Escape puts back the row as the model has it.
  connect(events_, &CListBoxEx::edit_cancelled, this, [this] { show_event_list(); });
  connect(events_, &CListBoxEx::right_button, this, [this] { on_event_menu(); });

  connect(&key_recording_hook(), &KeyRecordingHook::grab_changed, this, [this](KeyRecordingHook::Grab g) {
    if (key_recording_hook().target() != this) return;
    grab_refused_ = g == KeyRecordingHook::Grab::refused;
    update(box_rect(layout::kMacroNote));
  });

  editor_.open(selected_slot);
  show_recording();
}

CMacroManager::~CMacroManager() {
  // The model ends a recording through this view; the controls must still be there.
  editor_.close();
  // The controls go after the model: nothing they say on the way may reach it.
  disconnect(&key_recording_hook(), nullptr, this, nullptr);
  for (QObject* child : children()) child->blockSignals(true);
}

CBitmapBtn* CMacroManager::button(int key) const {
  return key >= 1 && key <= static_cast<int>(buttons_.size()) ? buttons_[static_cast<std::size_t>(key - 1)] : nullptr;
}

QString CMacroManager::text(int id) const { return QString::fromStdU16String(host_.language().text(id)); }

void CMacroManager::settle_typing() {
  if (macros_->editing()) macros_->end_edit(true);
  if (events_->editing()) events_->end_edit(true);
  if (repeat_->text() != QString::fromStdU16String(editor_.repeat_text()))
    editor_.commit_repeat_text(repeat_->text().toStdU16String());
}

void CMacroManager::done(int result) {
  if (closing_) return;
  closing_ = true;
  // Typed text counts as if the user had left the field before pressing OK.
  settle_typing();
  editor_.close();
  closing_ = false;
  CSkinDialog::done(result);
}

// ---- MacroEditorView ---------------------------------------------------------

void CMacroManager::show_no_macro_warning() {
  CWarnMacroSet warn(this, host_.skin(), host_.language());
  host_.dialogs().run(warn);
}

bool CMacroManager::start_key_capture() {
  KeyRecordingHook& hook = key_recording_hook();
  const KeyRecordingHook::Grab grab =
      hook.install(this, [this](uint32_t vk, uint32_t flags) { editor_.key_message(vk, flags); });
  grab_refused_ = grab == KeyRecordingHook::Grab::refused;
  return grab == KeyRecordingHook::Grab::taken || grab == KeyRecordingHook::Grab::pending;
}

void CMacroManager::stop_key_capture() {
  if (key_recording_hook().target() == this) key_recording_hook().uninstall();
  grab_refused_ = false;
}

void CMacroManager::edit_macro_name(int row) {
  macros_->begin_edit(row, kNameEntryMax, CListBoxEx::kNewRow);
  macros_->scrollToBottom();
}

void CMacroManager::edit_delay(int row) { events_->begin_edit(row, kDelayEntryMax, CListBoxEx::kDigitsOnly); }

void CMacroManager::changed(unsigned parts) {
  if (parts & kPartMacroList) show_macro_list();
  if (parts & kPartEventList) show_event_list();
  if (parts & kPartRepeat) show_repeat();
  if (parts & kPartRecording) show_recording();
}

// ---- Showing the model -------------------------------------------------------

void CMacroManager::show_macro_list() {
  const std::vector<std::u16string> rows = editor_.macro_rows();
  // The row under an open name entry stays as it is, editor and all.
  if (macros_->editing() && macros_->row_count() == static_cast<int>(rows.size())) return;
  bool same = macros_->row_count() == static_cast<int>(rows.size());
  for (int i = 0; same && i < macros_->row_count(); ++i)
    same = macros_->row_text(i) == QString::fromStdU16String(rows[static_cast<std::size_t>(i)]);
  if (!same) {
    macros_->clear_rows();
    for (const std::u16string& name : rows) macros_->add_row(QString::fromStdU16String(name), 0);
  }
  macros_->select_row(editor_.current_macro());
}

void CMacroManager::show_event_list() {
  const std::vector<EventRow>& rows = editor_.event_rows();
  events_->setUpdatesEnabled(false);
  if (events_->editing()) {
    // A delay edit of rows that are about to change is dropped quietly.
    const QSignalBlocker quiet(events_);
    events_->end_edit(false);
  }
  // Rows are replaced in place: a recording adds one or two at a time, and a
  // list that keeps its items keeps its scroll position too.
  const int n = static_cast<int>(rows.size());
  while (events_->row_count() > n) events_->remove_row(events_->row_count() - 1);
  for (int i = 0; i < n; ++i) {
    const EventRow& r = rows[static_cast<std::size_t>(i)];
    const QString t = QString::fromStdU16String(r.text);
    if (i < events_->row_count()) {
      if (events_->row_text(i) != t) events_->set_row_text(i, t);
      if (events_->row_value(i) != r.item) events_->set_row_value(i, r.item);
    } else {
      events_->add_row(t, r.item);
    }
    if (events_->row_muted(i) == r.reaches_mouse) events_->set_row_muted(i, !r.reaches_mouse);
  }
  events_->select_row(editor_.selected_event_row());
  const int caret = editor_.caret_row();
  if (caret >= 0 && editor_.selected_event_row() < 0) {
    events_->setCurrentItem(events_->item(caret), QItemSelectionModel::NoUpdate);
    events_->scrollToItem(events_->item(caret));
  }
  events_->setUpdatesEnabled(true);
  events_->viewport()->update();
  update(box_rect(layout::kMacroBlockUsage));
}

void CMacroManager::show_repeat() {
  repeat_->setText(QString::fromStdU16String(editor_.repeat_text()));
  button(kRepeat)->set_selected(editor_.repeat_on());
}

void CMacroManager::show_recording() {
  const bool idle = editor_.controls_enabled();
  CBitmapBtn* record = button(kRecord);
  record->setText(text(editor_.record_caption()));
  record->set_selected(editor_.recording());
  for (int key : {kConfirm, kCancel, kClose, kNew, kDelete}) button(key)->setEnabled(idle);
  macros_->setEnabled(idle);
  events_->setEnabled(true);
  if (editor_.recording()) setFocus(Qt::OtherFocusReason);
  update(box_rect(layout::kMacroNote));
}

// ---- Input ---------------------------------------------------------------------

void CMacroManager::on_delete() {
  if (macros_->editing()) macros_->end_edit(true);
  if (!editor_.can_delete_macro()) return;
  CDeleteMacroWarn warn(this, host_.skin(), host_.language());
  if (host_.dialogs().run(warn) == kResultOk) editor_.delete_macro();
}

void CMacroManager::on_event_menu() {
  if (!editor_.context_menu_available()) return;
  CExMenu menu(this);
  menu.set_menu_font(QStringLiteral("Arial"), kEventMenuFontHeight);
  menu.set_item_width(CExMenu::kDefaultItemWidth);
  menu.add_items(menu_items(event_menu(), texts_of(host_.language())));
  const int command = tracker_(menu, QCursor::pos());
  if (command != 0) editor_.context_command(command);
}

bool CMacroManager::eventFilter(QObject* watched, QEvent* event) {
  // Space, Enter and Escape press no button here (a focused button would
  // otherwise take Space as a click).
  if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
      is_button_key(static_cast<QKeyEvent*>(event)->key())) {
    for (CBitmapBtn* b : buttons_)
      if (b == watched) {
        event->accept();
        return true;
      }
  }
  return CSkinDialog::eventFilter(watched, event);
}

// ---- Painting ------------------------------------------------------------------

bool CMacroManager::capture_note_shown() const { return editor_.recording() && grab_refused_; }

bool CMacroManager::block_overflows() const {
  return editor_.current_macro() >= 0 && editor_.block_fit().events_sent < editor_.event_count();
}

QString CMacroManager::block_usage_text() const {
  if (editor_.current_macro() < 0) return QString();
  const MacroBlockFit fit = editor_.block_fit();
  QString t = text(kTextBlockTitle) + u'\n' +
              text(kTextBlockBytes).arg(fit.bytes_needed).arg(kMacroBlockBytes);
  const int left_out = editor_.event_count() - fit.events_sent;
  if (left_out > 0) t += u'\n' + text(kTextBlockLeftOut).arg(left_out);
  return t;
}

void CMacroManager::paint_surface(QPainter& p) {
  const QColor grey(look::kLabel);
  paint_box_text(p, layout::kMacroTitle, text(kTextTitle), arial(layout::kMacroTitlePx), grey, Qt::AlignHCenter,
                 TextDown::centred, true);
  const QFont label = arial(layout::kMacroLabelPx);
  paint_box_text(p, layout::kMacroListLabel, text(kTextMacroList), label, grey, Qt::AlignLeft, TextDown::centred, false);
  paint_box_text(p, layout::kMacroEventsLabel, text(kTextEvents), label, grey, Qt::AlignLeft, TextDown::centred, false);
  paint_box_text(p, layout::kMacroTimesLabel, text(kTextTimes), label, grey, Qt::AlignLeft, TextDown::centred, false);
  paint_box_text(p, layout::kMacroBlockUsage, block_usage_text(), arial(layout::kMacroBlockUsagePx),
                 block_overflows() ? QColor(look::kAccentHover) : grey, Qt::AlignRight, TextDown::centred, true);
  if (capture_note_shown())
    paint_box_text(p, layout::kMacroNote, text(kTextNoGrab), arial(layout::kMacroNotePx), QColor(look::kAccentHover),
                   Qt::AlignLeft, TextDown::centred, true);
}

}  // namespace mt
