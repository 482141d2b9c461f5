#include "option/logic/macro_editor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/macro_sync.h"
#include "platform/text.h"

namespace mt {
namespace {

using platform::fixed_text;
using platform::utf16_to_utf8;

constexpr uint32_t kVkA = 0x41, kVkB = 0x42, kVkC = 0x43, kVkLeft = 0x25, kVkShift = 0xA0;
constexpr uint8_t kCodeA = 4, kCodeB = 5, kCodeX = 27;

struct FakeView : MacroEditorView {
  std::vector<std::string> calls;  // warnings, capture and in-place editors, in order
  bool grab_works = true;
  unsigned parts = 0;
  void show_no_macro_warning() override { calls.push_back("warn"); }
  bool start_key_capture() override {
    calls.push_back("grab");
    return grab_works;
  }
  void stop_key_capture() override { calls.push_back("ungrab"); }
  void edit_macro_name(int row) override { calls.push_back("name " + std::to_string(row)); }
  void edit_delay(int row) override { calls.push_back("delay " + std::to_string(row)); }
  void changed(unsigned p) override { parts |= p; }
  std::string take() {
    std::string s;
    for (const std::string& c : calls) s += (s.empty() ? "" : ", ") + c;
    calls.clear();
    return s;
  }
};

MacroRecord macro(std::u16string_view name, std::vector<MacroEvent> events, int32_t repeat = 1) {
  MacroRecord m;
  std::memset(&m, 0, sizeof m);
  platform::set_fixed_text(m.name, name);
  m.repeat_count = repeat;
  m.event_count = static_cast<int32_t>(events.size());
  for (std::size_t i = 0; i < events.size(); ++i) m.events[i] = events[i];
  return m;
}

ButtonRecord slot_with(uint8_t function, std::u16string_view name) {
  ButtonRecord b{};
  b.function = function;
  platform::set_fixed_text(b.macro_name, name);
  return b;
}

// "4+ 4-@120": code, press or release, delay when there is one.
std::string events_of(const MacroEvent* events, int count) {
  std::string s;
  for (int i = 0; i < count; ++i) {
    if (!s.empty()) s += ' ';
    s += std::to_string(events[i].key) + (events[i].action == 1 ? "+" : "-");
    if (events[i].delay) s += "@" + std::to_string(events[i].delay);
  }
  return s;
}

struct EditorFixture : ::testing::Test {
  std::vector<MacroRecord> lib;
  FakeView view;
  uint32_t now = 1000;
  std::unique_ptr<MacroEditor> ed;

  void open(const ButtonRecord& slot = ButtonRecord{}) {
    ed = std::make_unique<MacroEditor>(lib, view, [this] { return now; });
    ed->open(slot);
    view.take();
  }
  void key(uint32_t vk, bool released, uint32_t extended = 0) { ed->key_message(vk, extended | (released ? 0x80 : 0)); }
  void tap(uint32_t vk) {
    key(vk, false);
    key(vk, true);
  }
  std::string events() const { return events_of(ed->events(), ed->event_count()); }
  std::string stored(int i = -1) const {
    const MacroRecord& m = lib[static_cast<std::size_t>(i < 0 ? ed->current_macro() : i)];
    return events_of(m.events, m.event_count);
  }
  // "A/163 A/164 120 ms/165", each row's event index + 1 checked on the way.
  std::string rows() const {
    std::string s;
    for (const EventRow& r : ed->event_rows()) s += (s.empty() ? "" : " ") + utf16_to_utf8(r.text) + "/" + std::to_string(r.icon());
    return s;
  }
  int row_of(int event, bool delay = false) const {
    const auto& rows = ed->event_rows();
    for (std::size_t i = 0; i < rows.size(); ++i)
      if (rows[i].event() == event && (rows[i].icon() == kIconDelay) == delay) return static_cast<int>(i);
    return -1;
  }
  void command_on(int row, int id) {
    ed->select_event_row(row);
    ed->context_command(id);
  }
};

TEST(EventList, CaretRule) {
  const struct {
    int target, rows, caret;
  } cases[] = {{-1, 0, -1}, {0, 0, -1},  {-1, 1, 0}, {-1, 10, 9}, {5, 3, 2},  {0, 10, 0},  {3, 10, 3},
               {4, 10, 6},  {6, 10, 8}, {7, 10, 7}, {9, 10, 9}, {4, 8, 6},  {5, 8, 5}, {4, 7, 4}};
  for (const auto& c : cases) EXPECT_EQ(event_list_caret(c.target, c.rows), c.caret) << c.target << "/" << c.rows;
}

TEST(EventList, ContextMenuLayout) {
  const std::vector<MenuEntry> menu = event_menu();
  ASSERT_EQ(menu.size(), 6u);
  EXPECT_EQ(menu[0].command, kCmdRecordBefore);
  EXPECT_EQ(menu[0].text_id, 1053);
  EXPECT_EQ(menu[3].text_id, 1058);
  ASSERT_EQ(menu[3].entries.size(), 5u);
  EXPECT_EQ(menu[3].entries[4].text_id, 1063);                 // backward
  EXPECT_EQ(menu[3].entries[4].entries[2].command, 1034);      // its click
  EXPECT_EQ(menu[3].entries[1].entries[0].command, 1023);      // right press
  EXPECT_EQ(menu[3].entries[1].entries[1].text_id, 1065);
  EXPECT_EQ(menu[5].command, kCmdDeleteEvent);
}

TEST_F(EditorFixture, OpeningPicksTheSlotsMacro) {
  lib = {macro(u"Jump 2", {}), macro(u"jump", {}), macro(u"Fire", {})};
  const struct {
    ButtonRecord slot;
    int current;
  } cases[] = {
      {slot_with(kFnMacro, u"JUMP"), 1},   // its own name, not the first row it prefixes
      {slot_with(kFnMacro, u"Fi"), 2},     // no such name: the list's prefix search
      {slot_with(kFnMacro, u"zzz"), 0},
      {slot_with(kFnKey, u"Fire"), 0},     // not a macro button
      {ButtonRecord{}, 0},
  };
  for (const auto& c : cases) {
    open(c.slot);
    EXPECT_EQ(ed->current_macro(), c.current);
  }
  lib.clear();
  open(slot_with(kFnMacro, u"Fire"));
  EXPECT_EQ(ed->current_macro(), -1);
  EXPECT_TRUE(ed->event_rows().empty());
  EXPECT_EQ(ed->caret_row(), -1);
  EXPECT_FALSE(ed->repeat_on());
  EXPECT_EQ(ed->repeat_text(), u"1");
}

TEST_F(EditorFixture, WithoutAMacroEveryCommandWarnsAndChangesNothing) {
  open();
  for (int id : {kCmdRecordBefore, kCmdRecordAfter, kCmdInsertDelay, kCmdEditDelay, kCmdDeleteEvent, 1020, 1034}) {
    ed->context_command(id);
    EXPECT_EQ(view.take(), "warn") << id;
  }
  ed->press_record();
  EXPECT_EQ(view.take(), "warn");
  EXPECT_FALSE(ed->recording());
  EXPECT_FALSE(ed->can_delete_macro());
}

TEST_F(EditorFixture, RowsIconsAndItemValues) {
  lib = {macro(u"m", {{kCodeA, 1, 0}, {kCodeA, 2, 120}, {240, 1, 0}, {240, 2, 5}, {244, 0, 0}, {0, 1, 0}, {225, 7, 0}})};
  open();
  EXPECT_EQ(rows(), "A/163 A/164 120 ms/165 Left Down/166 Left Up/166 5 ms/165 Backward Up/166 /163 Left Shift/164");
  const auto& r = ed->event_rows();
  EXPECT_EQ(r[2].item, (2u << 16) | 165u);  // a delay row carries its event's index + 1
  EXPECT_EQ(r[8].item, (7u << 16) | 164u);
  EXPECT_EQ(ed->caret_row(), 8);            // after loading: the last event's last row
}

TEST_F(EditorFixture, FreshRecordingWithoutDelays) {
  lib = {macro(u"m", {{kCodeX, 1, 500}})};
  open();
  ed->press_record();
  EXPECT_EQ(view.take(), "grab");
  EXPECT_TRUE(ed->recording());
  EXPECT_FALSE(ed->controls_enabled());
  EXPECT_FALSE(ed->context_menu_available());
  EXPECT_EQ(ed->record_caption(), kTextStop);
  EXPECT_TRUE(ed->event_rows().empty());  // the old events are gone at once
  EXPECT_EQ(stored(), "27+@500");         // and from the record when the recording ends

  tap(kVkA);
  now += 300;
  EXPECT_EQ(rows(), "A/163 A/164");
  ed->press_record();
  EXPECT_EQ(view.take(), "ungrab");
  EXPECT_FALSE(ed->recording());
  EXPECT_TRUE(ed->controls_enabled());
  EXPECT_EQ(ed->record_caption(), kTextRecord);
  EXPECT_EQ(stored(), "4+ 4-");

  key(kVkB, false);  // no recording: nothing
  EXPECT_EQ(events(), "4+ 4-");
}

TEST_F(EditorFixture, DelaysGoToThePreviousEventCappedAndAcrossTheTickWrap) {
  lib = {macro(u"m", {})};
  open();
  ed->set_record_delays(true);
  now = 0xFFFFFF00u;
  ed->press_record();
  now += 5000;  // time before the first key is not recorded
  key(kVkA, false);
  now += 0x110;  // wraps past zero
  key(kVkA, true);
  now += 70000;
  key(kVkB, false);
  now += 65535;
  key(kVkB, true);
  now += 1;
  key(kVkLeft, false, 0x01);  // an extended key
  now += 9;
  key(kVkLeft, true, 0x01);
  ed->press_record();
  EXPECT_EQ(stored(), "4+@272 4-@65535 5+@65535 5-@1 80+@9 80-");
  EXPECT_EQ(rows(), "A/163 272 ms/165 A/164 65535 ms/165 B/163 65535 ms/165 B/164 1 ms/165 Left/163 9 ms/165 Left/164");
}

TEST_F(EditorFixture, HeldKeysRecordOnceWithinARecordingButNotAcrossThem) {
  lib = {macro(u"m", {})};
  open();
  ed->press_record();
  key(kVkA, false);
  key(kVkA, false);  // auto-repeat
  key(kVkA, false);
  key(kVkA, true);
  key(kVkA, false);  // pressed again: a new pair
  EXPECT_EQ(events(), "4+ 4- 4+");
  ed->press_record();

  // The next recording's first key is the same message as the last one
  // handled; it is still a keystroke of its own.
  ed->press_record();
  key(kVkA, false);
  key(kVkA, false);
  EXPECT_EQ(events(), "4+");
  key(0x10, false);  // a key the table does not know: code 0
  key(0xE2, true);
  EXPECT_EQ(events(), "4+ 0+ 0-");
}

TEST_F(EditorFixture, SixtiethEventStopsTheRecording) {
  lib = {macro(u"m", {})};
  open();
  ed->press_record();
  view.take();
  for (int i = 0; i < 29; ++i) tap(kVkA + i % 2);
  key(kVkC, false);
  EXPECT_TRUE(ed->recording());
  EXPECT_EQ(view.take(), "");
  key(kVkC, true);  // the 60th
  EXPECT_FALSE(ed->recording());
  EXPECT_EQ(view.take(), "ungrab");
  EXPECT_TRUE(ed->controls_enabled());
  EXPECT_EQ(lib[0].event_count, 60);
  EXPECT_EQ(ed->event_rows().size(), 60u);
  key(kVkB, false);
  EXPECT_EQ(ed->event_count(), 60);

  // "Record after" on a full macro: the first key stops it again, adding nothing.
  command_on(row_of(59), kCmdRecordAfter);
  EXPECT_TRUE(ed->recording());
  key(kVkB, false);
  EXPECT_FALSE(ed->recording());
  EXPECT_EQ(stored(), events());
  EXPECT_EQ(ed->event_count(), 60);
}

TEST_F(EditorFixture, RecordingWithoutTheGrabStillRecords) {
  lib = {macro(u"m", {})};
  open();
  view.grab_works = false;
  ed->press_record();
  EXPECT_TRUE(ed->recording());
  EXPECT_FALSE(ed->capture_active());
  tap(kVkB);
  ed->close();  // any way out ends the recording and releases the keyboard
  EXPECT_EQ(view.take(), "grab, ungrab");
  EXPECT_EQ(stored(), "5+ 5-");
}

TEST_F(EditorFixture, RecordBeforeAndAfter) {
  const MacroRecord base = macro(u"m", {{kCodeX, 1, 0}, {kCodeX, 2, 700}});
  const struct {
    const char* what;
    int id;
    int event;   // row of this event; -1: no row selected
    bool delay;  // its delay row
    const char* result;
  } cases[] = {
      // With delays on, the first new event gets none; each later key writes
      // its pause into the event inserted before it. Existing events keep theirs.
      {"before the first", kCmdRecordBefore, 0, false, "4+@50 4-@25 5+ 27+ 27-@700"},
      {"after the first", kCmdRecordAfter, 0, false, "27+ 4+@50 4-@25 5+ 27-@700"},
      {"after, on its delay row", kCmdRecordAfter, 1, true, "27+ 27-@700 4+@50 4-@25 5+"},
      {"before the second", kCmdRecordBefore, 1, false, "27+ 4+@50 4-@25 5+ 27-@700"},
      {"before, nothing selected", kCmdRecordBefore, -1, false, "27+ 27-@700 4+@50 4-@25 5+"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    lib = {base};
    open();
    ed->set_record_delays(true);
    command_on(c.event < 0 ? -1 : row_of(c.event, c.delay), c.id);
    EXPECT_TRUE(ed->recording());
    key(kVkA, false);
    now += 50;
    key(kVkA, true);
    now += 25;
    key(kVkB, false);
    ed->press_record();
    EXPECT_EQ(stored(), c.result);
  }
}

TEST_F(EditorFixture, InsertDelayOnlyBetweenTwoEventsWithoutOne) {
  const struct {
    const char* what;
    int event;
    bool delay_row;
    const char* result;
  } cases[] = {
      {"second event", 1, false, "4+@1 4- 5+@300 5-"},
      {"first event", 0, false, "4+ 4- 5+@300 5-"},
      {"a delay row", 2, true, "4+ 4- 5+@300 5-"},
      {"after an event with a delay", 3, false, "4+ 4- 5+@300 5-"},
      {"nothing selected", -1, false, "4+ 4- 5+@300 5-"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    lib = {macro(u"m", {{kCodeA, 1, 0}, {kCodeA, 2, 0}, {kCodeB, 1, 300}, {kCodeB, 2, 0}})};
    open();
    command_on(c.event < 0 ? -1 : row_of(c.event, c.delay_row), kCmdInsertDelay);
    EXPECT_EQ(stored(), c.result);
    EXPECT_EQ(events(), c.result);
  }
  EXPECT_EQ(view.take(), "");
}

TEST_F(EditorFixture, EditDelayClampsAndShowsTheStoredValue) {
  const struct {
    std::u16string_view text;
    int stored;
  } cases[] = {{u"250", 250}, {u"0", 1}, {u"-5", 1}, {u"70000", 65535}, {u"65535", 65535},
               {u"99999999999999999999", 65535}, {u"", 1}, {u"12ab", 12}};
  for (const auto& c : cases) {
    SCOPED_TRACE(utf16_to_utf8(c.text));
    lib = {macro(u"m", {{kCodeA, 1, 40}, {kCodeA, 2, 0}})};
    open();
    command_on(row_of(0), kCmdEditDelay);  // an event row opens no editor
    EXPECT_EQ(view.take(), "");
    const int row = row_of(0, true);
    command_on(row, kCmdEditDelay);
    EXPECT_EQ(view.take(), "delay " + std::to_string(row));
    ed->commit_delay(row, c.text);
    EXPECT_EQ(ed->event_rows()[static_cast<std::size_t>(row)].text, platform::to_u16(c.stored) + u" ms");
    EXPECT_EQ(ed->event_rows()[static_cast<std::size_t>(row)].item, (1u << 16) | 165u);
    EXPECT_EQ(lib[0].events[0].delay, c.stored);
  }
}

TEST_F(EditorFixture, EditDelayCommittedAfterAnotherMacroLoadedIsDropped) {
  lib = {macro(u"a", {{kCodeA, 1, 40}}), macro(u"b", {{kCodeB, 1, 0}})};
  open();
  command_on(row_of(0, true), kCmdEditDelay);
  ed->select_macro(1);
  ed->commit_delay(1, u"999");
  EXPECT_EQ(stored(0), "4+@40");
  EXPECT_EQ(stored(1), "5+");
}

TEST_F(EditorFixture, DeleteRemovesOneEventOrOneDelay) {
  const struct {
    const char* what;
    int event;
    bool delay_row;
    const char* result;
  } cases[] = {
      {"a press row: its release stays", 0, false, "4-@20 5+"},
      {"a delay row", 1, true, "4+ 4- 5+"},
      {"nothing selected", -1, false, "4+ 4-@20 5+"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    lib = {macro(u"m", {{kCodeA, 1, 0}, {kCodeA, 2, 20}, {kCodeB, 1, 0}})};
    open();
    command_on(c.event < 0 ? -1 : row_of(c.event, c.delay_row), kCmdDeleteEvent);
    EXPECT_EQ(stored(), c.result);
    EXPECT_EQ(ed->selected_event_row(), -1);  // the rebuilt list has no selection
  }
}

TEST_F(EditorFixture, MouseActions) {
  const struct {
    const char* what;
    int id;
    int event;  // insert before this event's row; -1 appends
    int start_count;
    const char* tail;  // the events from index start_count - 2 on
  } cases[] = {
      {"left press, appended", 1020, -1, 2, "4+ 4- 240+"},
      {"right release", 1024, -1, 2, "4+ 4- 241-"},
      {"wheel click before the release", 1028, 1, 2, "4+ 242+ 242- 4-"},
      {"backward click before the first", 1034, 0, 2, "244+ 244- 4+ 4-"},
      {"forward press", 1029, -1, 2, "4+ 4- 243+"},
      {"a click needs two places", 1022, -1, 59, "4+ 4-"},
      {"a press takes the last place", 1020, -1, 59, "4+ 4- 240+"},
      {"nothing fits any more", 1020, -1, 60, "4+ 4-"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<MacroEvent> events(static_cast<std::size_t>(c.start_count - 2), MacroEvent{kCodeB, 1, 0});
    events.push_back({kCodeA, 1, 0});
    events.push_back({kCodeA, 2, 0});
    lib = {macro(u"m", events)};
    open();
    const int shift = c.start_count - 2;
    command_on(c.event < 0 ? -1 : row_of(shift + c.event), c.id);
    EXPECT_EQ(events_of(lib[0].events + shift, lib[0].event_count - shift), c.tail);
    EXPECT_EQ(ed->event_count(), lib[0].event_count);
  }
}

TEST_F(EditorFixture, NewMacroNames) {
  const struct {
    std::u16string_view entry;
    std::size_t size;
    const char* name;  // of the current macro afterwards
  } cases[] = {
      {u"  Fresh \t", 3, "Fresh"},
      {u"jump ", 2, "Fire"},                   // a duplicate is dropped without a word
      {u"   ", 2, "Fire"},                     // so is a blank one
      {u"123456789012345678", 3, "123456789012345"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    lib = {macro(u"Jump", {{kCodeA, 1, 0}}), macro(u"Fire", {{kCodeB, 1, 0}})};
    open();
    ed->select_macro(1);
    ed->begin_new_macro();
    EXPECT_EQ(view.take(), "name 2");
    ASSERT_EQ(ed->macro_rows().size(), 3u);
    EXPECT_EQ(ed->macro_rows()[2], u"");
    ed->commit_macro_name(2, c.entry);
    ASSERT_EQ(lib.size(), c.size);
    EXPECT_EQ(ed->macro_rows().size(), c.size);
    EXPECT_EQ(utf16_to_utf8(fixed_text(lib[static_cast<std::size_t>(ed->current_macro())].name)), c.name);
  }
  // The new record has no events and no repeat value yet: the toggle is off.
  lib = {};
  open();
  ed->begin_new_macro();
  ed->commit_macro_name(0, u"New");
  ASSERT_EQ(lib.size(), 1u);
  EXPECT_EQ(lib[0].repeat_count, 0);
  EXPECT_EQ(lib[0].event_count, 0);
  EXPECT_EQ(ed->current_macro(), 0);
  EXPECT_FALSE(ed->repeat_on());
  EXPECT_EQ(ed->repeat_text(), u"1");

  ed->begin_new_macro();
  ed->cancel_macro_name(1);
  EXPECT_EQ(lib.size(), 1u);
  EXPECT_EQ(ed->macro_rows().size(), 1u);
  ed->commit_macro_name(1, u"Late");  // the entry is over
  EXPECT_EQ(lib.size(), 1u);
}

TEST_F(EditorFixture, DeleteMacro) {
  lib = {macro(u"a", {{kCodeA, 1, 0}}), macro(u"b", {{kCodeB, 1, 0}}), macro(u"c", {})};
  open();
  ed->select_macro(1);
  ed->delete_macro();  // the next one moves up into the selection
  EXPECT_EQ(lib.size(), 2u);
  EXPECT_EQ(ed->current_macro(), 1);
  EXPECT_EQ(utf16_to_utf8(fixed_text(lib[1].name)), "c");
  ed->delete_macro();  // the last one: the selection moves back
  EXPECT_EQ(ed->current_macro(), 0);
  EXPECT_EQ(events(), "4+");
  ed->press_record();
  EXPECT_FALSE(ed->can_delete_macro());  // not while recording
  ed->delete_macro();
  EXPECT_EQ(lib.size(), 1u);
  ed->press_record();
  ed->delete_macro();
  EXPECT_EQ(ed->current_macro(), -1);
  EXPECT_TRUE(ed->event_rows().empty());
  EXPECT_FALSE(ed->can_delete_macro());
}

TEST_F(EditorFixture, RepeatToggleAndValue) {
  lib = {macro(u"m", {}, 7)};
  open();
  EXPECT_TRUE(ed->repeat_on());
  EXPECT_EQ(ed->repeat_text(), u"7");
  ed->set_repeat(false);
  EXPECT_EQ(lib[0].repeat_count, 1);
  open();  // repeat count 1 loads with the toggle on
  EXPECT_TRUE(ed->repeat_on());
  EXPECT_EQ(ed->repeat_value(), 1);

  const struct {
    std::u16string_view text;
    int value;
  } cases[] = {{u"300", 255}, {u"0", 1}, {u"", 1}, {u"-4", 1}, {u"42", 42}, {u"9,5", 9}};
  for (const auto& c : cases) {
    ed->commit_repeat_text(c.text);
    EXPECT_EQ(ed->repeat_value(), c.value);
    EXPECT_EQ(ed->repeat_text(), platform::to_u16(c.value));
    EXPECT_EQ(lib[0].repeat_count, c.value);
  }
  ed->set_repeat(false);
  ed->commit_repeat_text(u"12");
  EXPECT_EQ(lib[0].repeat_count, 1);
  ed->set_repeat(true);
  EXPECT_EQ(lib[0].repeat_count, 12);
}

TEST_F(EditorFixture, RowsBeyondTheMouseBlock) {
  // 31 long-form events fill 126 bytes; the next long one does not fit, and
  // the short one after it is not sent either.
  std::vector<MacroEvent> events(31, MacroEvent{kCodeA, 1, 2000});
  events.push_back({kCodeB, 1, 2000});
  events.push_back({kCodeB, 2, 0});
  lib = {macro(u"m", events)};
  open();
  const MacroBlockFit fit = ed->block_fit();
  EXPECT_EQ(fit.events_sent, 31);
  EXPECT_EQ(fit.bytes_used, 126);
  EXPECT_EQ(fit.bytes_needed, 132);
  for (const EventRow& r : ed->event_rows()) EXPECT_EQ(r.reaches_mouse, r.event() < 31) << r.event();

  // A shorter delay turns event 31 into a short one: now it fits, the last does not.
  command_on(row_of(31, true), kCmdEditDelay);
  ed->commit_delay(row_of(31, true), u"100");
  EXPECT_EQ(ed->block_fit().events_sent, 32);
  EXPECT_TRUE(ed->event_rows()[static_cast<std::size_t>(row_of(31, true))].reaches_mouse);
  EXPECT_FALSE(ed->event_rows()[static_cast<std::size_t>(row_of(32))].reaches_mouse);
}

// OK of the manager: the profiles follow what was edited.
TEST_F(EditorFixture, AfterOkButtonsFollowTheLibrary) {
  auto record = std::make_unique<SettingsRecord>();
  clear(*record);
  set_factory_defaults(*record);
  lib = {macro(u"Jump", {{kCodeA, 1, 0}}), macro(u"Fire", {{kCodeB, 1, 0}})};
  ButtonRecord& jump = record->profiles[0].MacroKeyInfo[3];
  ButtonRecord& fire = record->profiles[2].MacroKeyInfo[4];
  jump.function = fire.function = kFnMacro;
  platform::set_fixed_text(jump.macro_name, u"Jump");
  platform::set_fixed_text(fire.macro_name, u"Fire");

  open(jump);
  ed->press_record();
  tap(kVkShift);
  ed->press_record();
  ed->select_macro(1);
  ed->delete_macro();
  ed->close();
  push_to_profiles(lib, *record);
  EXPECT_EQ(fire.function, kFnDisabled);
  EXPECT_EQ(jump.function, kFnMacro);
  EXPECT_EQ(events_of(jump.events, jump.event_count), "225+ 225-");
}

}  // namespace
}  // namespace mt
