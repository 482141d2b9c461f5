#include "option/logic/macro_editor.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <utility>

#include "common/key_codes.h"
#include "common/macro_sync.h"
#include "platform/text.h"

namespace mt {

namespace {

constexpr uint8_t kPress = 1;
constexpr uint8_t kRelease = 2;
constexpr uint8_t kFirstMouseCode = 240;
constexpr uint8_t kLastMouseCode = 244;

// A decimal number as the C runtime reads one: leading blanks, a sign, the
// digits up to the first other character; 0 without digits. Saturates
// instead of overflowing (the delay editor takes up to 20 digits).
long long read_decimal(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  constexpr long long kCap = 1'000'000'000'000LL;
  long long value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
    value = std::min(kCap, value * 10 + (text[i] - u'0'));
  return negative ? -value : value;
}

std::u16string delay_text(uint32_t delay) { return platform::to_u16(delay) + u" ms"; }

uint32_t row_item(int event, int icon) { return (static_cast<uint32_t>(event + 1) << 16) | static_cast<uint32_t>(icon); }

MenuEntry menu_item(int command, int text_id) {
  MenuEntry e;
  e.kind = MenuEntry::Kind::item;
  e.command = command;
  e.text_id = text_id;
  return e;
}

}  // namespace

int event_list_caret(int target_row, int row_count) {
  if (row_count <= 0) return -1;
  const int row = (target_row < 0 || target_row >= row_count) ? row_count - 1 : target_row;
  return (3 < row && row < row_count - 3) ? row + 2 : row;
}

std::vector<MenuEntry> event_menu() {
  MenuEntry mouse;
  mouse.kind = MenuEntry::Kind::popup;
  mouse.text_id = 1058;
  for (int button = 0; button < 5; ++button) {
    MenuEntry sub;
    sub.kind = MenuEntry::Kind::popup;
    sub.text_id = 1059 + button;
    for (int kind = 0; kind < 3; ++kind) sub.entries.push_back(menu_item(kCmdFirstMouseAction + 3 * button + kind, 1064 + kind));
    mouse.entries.push_back(std::move(sub));
  }
  return {menu_item(kCmdRecordBefore, 1053), menu_item(kCmdRecordAfter, 1054), menu_item(kCmdInsertDelay, 1055),
          std::move(mouse), menu_item(kCmdEditDelay, 1056), menu_item(kCmdDeleteEvent, 1057)};
}

TickClock steady_tick_clock() {
  return [] {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<uint32_t>(ms.count());
  };
}

MacroEditor::MacroEditor(std::vector<MacroRecord>& library, MacroEditorView& view, TickClock clock)
    : library_(library), view_(view), clock_(std::move(clock)) {
  if (!clock_) clock_ = [] { return uint32_t{0}; };
}

MacroRecord* MacroEditor::current_record() {
  if (current_ < 0 || static_cast<std::size_t>(current_) >= library_.size()) return nullptr;
  return &library_[static_cast<std::size_t>(current_)];
}

void MacroEditor::open(const ButtonRecord& selected_slot) {
  name_entry_ = false;
  current_ = library_.empty() ? -1 : 0;
  if (!library_.empty() && selected_slot.function == kFnMacro) {
    const std::u16string_view name = platform::fixed_text(selected_slot.macro_name);
    // The slot's own macro by name first; the list's prefix search would take
    // "Jump 2" for a slot holding "Jump" when "Jump 2" comes first.
    int found = find_macro(library_, name);
    for (std::size_t i = 0; found < 0 && i < library_.size(); ++i)
      if (macro_name_starts_with(platform::fixed_text(library_[i].name), name)) found = static_cast<int>(i);
    if (found >= 0) current_ = found;
  }
  load();
}

void MacroEditor::close() {
  if (recording_) stop_recording();
  if (name_entry_) {
    name_entry_ = false;
    view_.changed(kPartMacroList);
  }
}

std::vector<std::u16string> MacroEditor::macro_rows() const {
  std::vector<std::u16string> rows;
  rows.reserve(library_.size() + 1);
  for (const MacroRecord& m : library_) rows.emplace_back(platform::fixed_text(m.name));
  if (name_entry_) rows.emplace_back();
  return rows;
}

MacroBlockFit MacroEditor::block_fit() const { return macro_block_fit(events_, count_); }

void MacroEditor::load() {
  edited_delay_event_ = -1;  // a delay edit still open belongs to the macro shown before
  if (const MacroRecord* record = current_record()) {
    std::memcpy(events_, record->events, sizeof events_);
    count_ = std::clamp(record->event_count, 0, kMaxMacroEvents);
    repeat_value_ = record->repeat_count;
    repeat_on_ = record->repeat_count != 0;
  } else {
    std::memset(events_, 0, sizeof events_);
    count_ = 0;
    repeat_value_ = 1;
    repeat_on_ = false;
  }
  last_changed_ = count_ - 1;
  caret_target_ = -1;
  rebuild();
  if (repeat_value_ < 1) repeat_value_ = 1;
  repeat_text_ = platform::to_u16(repeat_value_);
  view_.changed(kPartMacroList | kPartRepeat);
}

void MacroEditor::rebuild() {
  rows_.clear();
  selected_row_ = -1;  // emptying the list drops its selection
  for (int i = 0; i < count_; ++i) {
    const MacroEvent& e = events_[i];
    const std::u16string name = key_name(device_code_to_virtual_key(e.key).vk);
    if (e.key >= kFirstMouseCode && e.key <= kLastMouseCode)
      rows_.push_back({name + (e.action == kPress ? u" Down" : u" Up"), row_item(i, kIconMouse)});
    else
      rows_.push_back({name, row_item(i, e.action == kPress ? kIconPress : kIconRelease)});
    if (e.delay != 0) rows_.push_back({delay_text(e.delay), row_item(i, kIconDelay)});
    if (i == last_changed_) caret_target_ = static_cast<int>(rows_.size()) - 1;
  }
  mark_rows_reaching_mouse();
  caret_ = event_list_caret(caret_target_, static_cast<int>(rows_.size()));
  view_.changed(kPartEventList);
}

void MacroEditor::mark_rows_reaching_mouse() {
  const int sent = block_fit().events_sent;
  for (EventRow& row : rows_) row.reaches_mouse = row.event() < sent;
}

void MacroEditor::copy_to_record() {
  if (MacroRecord* record = current_record()) {
    std::memcpy(record->events, events_, sizeof events_);
    record->event_count = count_;
  }
}

void MacroEditor::insert(MacroEvent event) {
  if (count_ >= kMaxMacroEvents) return;
  const int pos = insertion_ < 0 ? count_ : std::min(insertion_, count_);
  std::memmove(&events_[pos + 1], &events_[pos], sizeof(MacroEvent) * static_cast<std::size_t>(count_ - pos));
  events_[pos] = event;
  ++count_;
  if (insertion_ >= 0) insertion_ = pos + 1;
  last_changed_ = pos;
}

void MacroEditor::remove_event(int index) {
  if (index < 0 || index >= count_) return;
  std::memmove(&events_[index], &events_[index + 1], sizeof(MacroEvent) * static_cast<std::size_t>(count_ - index - 1));
  --count_;
  events_[count_] = MacroEvent{};
}

void MacroEditor::start_recording() {
  recording_ = true;
  capture_ = view_.start_key_capture();
  first_event_ = false;
  // Held keys repeat within one recording; a new recording starts afresh, so
  // its first key is never taken for a repeat of the last one before it.
  have_previous_ = false;
  view_.changed(kPartRecording);
}

void MacroEditor::stop_recording() {
  recording_ = false;
  view_.stop_key_capture();
  capture_ = false;
  last_event_time_ = 0;
  copy_to_record();
  view_.changed(kPartRecording);
}

int MacroEditor::selected_event() const {
  if (selected_row_ < 0 || selected_row_ >= static_cast<int>(rows_.size())) return -1;
  return rows_[static_cast<std::size_t>(selected_row_)].event();
}

void MacroEditor::select_macro(int row) {
  if (recording_ || row < 0 || static_cast<std::size_t>(row) >= library_.size()) return;
  name_entry_ = false;
  current_ = row;
  load();
}

void MacroEditor::select_event_row(int row) {
  selected_row_ = (row >= 0 && row < static_cast<int>(rows_.size())) ? row : -1;
}

void MacroEditor::press_record() {
  if (recording_) {
    stop_recording();
    return;
  }
  if (!current_record()) {
    view_.show_no_macro_warning();
    return;
  }
  count_ = 0;
  std::memset(events_, 0, sizeof events_);
  insertion_ = -1;
  rebuild();
  start_recording();
}

void MacroEditor::key_message(uint32_t vk, uint32_t flags) {
  if (!recording_) return;
  flags &= 0x81;
  if (have_previous_ && vk == previous_vk_ && flags == previous_flags_) return;  // a held key repeating

  const uint8_t code = virtual_key_to_device_code(vk).code;
  const uint32_t now = clock_();
  if (first_event_ && record_delays_) {
    // The pause since the previous keystroke belongs to the event before the
    // insertion point. Tick arithmetic wraps like the counter does.
    const uint32_t elapsed = std::min(now - last_event_time_, kMaxMacroDelay);
    const int before = insertion_ < 0 ? count_ - 1 : insertion_ - 1;
    if (before >= 0 && before < count_) events_[before].delay = static_cast<uint16_t>(elapsed);
  }
  insert({code, (flags & 0x80) ? kRelease : kPress, 0});
  last_event_time_ = now;
  first_event_ = true;
  if (count_ >= kMaxMacroEvents) stop_recording();
  rebuild();
  have_previous_ = true;
  previous_vk_ = vk;
  previous_flags_ = flags;
}

void MacroEditor::context_command(int id) {
  if (recording_) return;
  if (!current_record()) {
    view_.show_no_macro_warning();
    return;
  }
  const int row = selected_row_ >= 0 && selected_row_ < static_cast<int>(rows_.size()) ? selected_row_ : -1;
  const int event = selected_event();  // hi - 1
  const bool delay_row = row >= 0 && rows_[static_cast<std::size_t>(row)].icon() == kIconDelay;

  if (id == kCmdRecordBefore || id == kCmdRecordAfter) {
    insertion_ = row < 0 ? -1 : (id == kCmdRecordBefore ? event : event + 1);
    start_recording();
  } else if (id == kCmdInsertDelay) {
    // A 1 ms pause between the selected event and the one before it; "Edit"
    // then sets its length.
    if (row < 0 || delay_row || event < 1 || events_[event - 1].delay != 0) return;
    events_[event - 1].delay = 1;
    last_changed_ = event - 1;
    caret_target_ = row - 1;
    rebuild();
    copy_to_record();
  } else if (id == kCmdEditDelay) {
    if (!delay_row) return;
    edited_delay_event_ = event;
    view_.edit_delay(row);
  } else if (id == kCmdDeleteEvent) {
    if (row < 0) return;
    if (delay_row)
      events_[event].delay = 0;
    else
      remove_event(event);  // its partner press or release stays
    last_changed_ = event;
    caret_target_ = row;
    copy_to_record();
    rebuild();
  } else if (id >= kCmdFirstMouseAction && id <= kCmdLastMouseAction) {
    if (count_ >= kMaxMacroEvents) return;
    const int button = (id - kCmdFirstMouseAction) / 3;
    const int kind = (id - kCmdFirstMouseAction) % 3;
    const uint8_t code = static_cast<uint8_t>(kFirstMouseCode + button);
    insertion_ = row < 0 ? -1 : event;
    if (kind == 0) insert({code, kPress, 0});
    if (kind == 1) insert({code, kRelease, 0});
    if (kind == 2 && count_ + 2 <= kMaxMacroEvents) {
      insert({code, kPress, 0});
      insert({code, kRelease, 0});
    }
    rebuild();
    copy_to_record();
  }
}

void MacroEditor::commit_delay(int row, std::u16string_view text) {
  const int event = edited_delay_event_;
  edited_delay_event_ = -1;
  if (event < 0 || event >= count_) return;
  const long long d = read_decimal(text);
  const uint16_t delay = static_cast<uint16_t>(d >= kMaxMacroDelay ? kMaxMacroDelay : d <= 0 ? 1 : d);
  if (row >= 0 && row < static_cast<int>(rows_.size())) rows_[static_cast<std::size_t>(row)].text = delay_text(delay);
  events_[event].delay = delay;
  copy_to_record();
  mark_rows_reaching_mouse();  // the delay may have changed the event's size in the block
  view_.changed(kPartEventList);
}

void MacroEditor::begin_new_macro() {
  if (recording_ || name_entry_) return;
  name_entry_ = true;
  view_.changed(kPartMacroList);
  view_.edit_macro_name(static_cast<int>(library_.size()));
}

void MacroEditor::commit_macro_name(int row, std::u16string_view text) {
  (void)row;  // the new row is always the last one
  if (!name_entry_) return;
  name_entry_ = false;
  std::u16string_view name = trim_macro_name(text);
  if (name.size() > static_cast<std::size_t>(kNameEntryMax)) name = trim_macro_name(name.substr(0, kNameEntryMax));
  // Blank or a duplicate (case-insensitive, surrounding blanks ignored): the
  // new row goes again and nothing is created, without a message.
  if (name.empty() || find_macro(library_, name) >= 0) {
    current_ = library_.empty() ? -1 : std::clamp(current_, 0, static_cast<int>(library_.size()) - 1);
    load();
    return;
  }
  current_ = add_macro(library_, name);
  load();
}

void MacroEditor::cancel_macro_name(int row) {
  (void)row;
  if (!name_entry_) return;
  name_entry_ = false;
  view_.changed(kPartMacroList);
}

bool MacroEditor::can_delete_macro() const {
  return !recording_ && current_ >= 0 && static_cast<std::size_t>(current_) < library_.size();
}

void MacroEditor::delete_macro() {
  if (!can_delete_macro()) return;
  remove_macro(library_, current_);
  current_ = library_.empty() ? -1 : std::min(current_, static_cast<int>(library_.size()) - 1);
  load();
}

void MacroEditor::set_record_delays(bool on) { record_delays_ = on; }

void MacroEditor::set_repeat(bool on) {
  repeat_on_ = on;
  if (MacroRecord* record = current_record()) record->repeat_count = on ? repeat_value_ : 1;
  view_.changed(kPartRepeat);
}

void MacroEditor::commit_repeat_text(std::u16string_view text) {
  const long long v = read_decimal(text);
  repeat_value_ = static_cast<int>(std::clamp<long long>(v, 1, kMaxRepeat));
  repeat_text_ = platform::to_u16(repeat_value_);  // the edit shows what is stored
  if (MacroRecord* record = current_record()) record->repeat_count = repeat_on_ ? repeat_value_ : 1;
  view_.changed(kPartRepeat);
}

}  // namespace mt
