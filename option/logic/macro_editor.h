// The macro manager (CMacroManager) without its window: the editor state, the
// event list's rows, recording from key messages, the context-menu commands,
// new and deleted macros, delays and the repeat count.
//
// The model edits the library's records in place, as the dialog does; the
// caller decides at the end (OK: push_to_profiles + save, Cancel: reload the
// file, see common/macro_sync.h). Whatever it needs of the window goes through
// MacroEditorView, which the dialog implements:
//
//   class CMacroManager : public SkinDialog, private MacroEditorView {
//     MacroEditor editor_{host.macro_library(), *this, steady_tick_clock()};
//     // construction: editor_.open(page.selected_slot()); show the lists
//     // record button:       editor_.press_record();
//     // a grabbed key event: if (auto m = key_message_from_x11(code, released))
//     //                        editor_.key_message(m->vk, m->flags);
//     // right click in 4097: if (editor_.context_menu_available()) track event_menu()
//     //                      and pass the chosen id to editor_.context_command(id);
//     // delete button:       if (editor_.can_delete_macro() && run(CDeleteMacroWarn) == 1)
//     //                        editor_.delete_macro();
//     // 1524 from 4096/4097: editor_.commit_macro_name(row, text) / commit_delay(row, text)
//     // done(): editor_.close() first, whatever the result
//     void changed(unsigned parts) override { ...redraw from editor_'s accessors... }
//   };
//
// Time comes from the injected tick clock (milliseconds, wrapping like a
// 32-bit tick count), so every recording can be replayed in a test.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/macro_block.h"
#include "common/macro_library.h"
#include "common/settings_record.h"
#include "option/logic/button_rules.h"

namespace mt {

// Control ids of the two lists and the repeat edit.
constexpr int kMacroListId = 4096;
constexpr int kEventListId = 4097;
constexpr int kRepeatEditId = 4010;

// Icons in front of event rows.
constexpr int kIconPress = 163;
constexpr int kIconRelease = 164;
constexpr int kIconDelay = 165;
constexpr int kIconMouse = 166;

// The record button's caption.
constexpr int kTextRecord = 280;
constexpr int kTextStop = 281;

// Context menu of the event list (Arial 14 px).
constexpr int kCmdRecordBefore = 1001;
constexpr int kCmdRecordAfter = 1002;
constexpr int kCmdInsertDelay = 1003;
constexpr int kCmdEditDelay = 1004;
constexpr int kCmdDeleteEvent = 1005;
constexpr int kCmdFirstMouseAction = 1020;  // 1020 + 3 * button + kind (0 press, 1 release, 2 click)
constexpr int kCmdLastMouseAction = 1034;
constexpr int kEventMenuFontHeight = 14;

// Longest entries of the in-place editors and the repeat edit.
constexpr int kNameEntryMax = 15;
constexpr int kDelayEntryMax = 20;
constexpr int kRepeatEntryMax = 3;

constexpr uint32_t kMaxMacroDelay = 65535;
constexpr int kMaxRepeat = 255;

// The event list's context menu as data (commands and text ids).
std::vector<MenuEntry> event_menu();

struct EventRow {
  std::u16string text;
  uint32_t item = 0;           // (event index + 1) << 16 | icon id
  bool reaches_mouse = true;   // false: the event does not fit the mouse's macro block
  int event() const { return static_cast<int>(item >> 16) - 1; }
  int icon() const { return static_cast<int>(item & 0xFFFF); }
};

// The caret rule after a rebuild: the row the caret aims at (the last
// changed event's last row; the last row when there is none) and two rows
// below it when there is room, so what follows stays in view. -1 for an
// empty list.
int event_list_caret(int target_row, int row_count);

// Parts of the window to show again after a change.
enum MacroEditorPart : unsigned {
  kPartMacroList = 1u << 0,   // rows, selection
  kPartEventList = 1u << 1,   // rows, caret, block usage
  kPartRepeat = 1u << 2,      // toggle, text
  kPartRecording = 1u << 3,   // record caption, enabled controls, capture note
};

class MacroEditorView {
 public:
  virtual ~MacroEditorView() = default;
  // CWarnMacroSet: no macro is current.
  virtual void show_no_macro_warning() = 0;
  // The keyboard hook: every keystroke of the session comes to this dialog
  // and reaches no other window. False when that could not be had; keys
  // typed into Option's own windows still arrive.
  virtual bool start_key_capture() = 0;
  virtual void stop_key_capture() = 0;
  // The lists' in-place editors on a row (kNameEntryMax / kDelayEntryMax units).
  virtual void edit_macro_name(int row) = 0;
  virtual void edit_delay(int row) = 0;
  // Some MacroEditorPart bits: read them again from the model.
  virtual void changed(unsigned parts) = 0;
};

// Milliseconds, wrapping at 2^32 like a system tick count.
using TickClock = std::function<uint32_t()>;
// The monotonic clock as such a tick count (what the dialog passes).
TickClock steady_tick_clock();

class MacroEditor {
 public:
  // The library and the view outlive the editor. Without a clock every
  // delay is 0.
  MacroEditor(std::vector<MacroRecord>& library, MacroEditorView& view, TickClock clock);

  // Opening: the first macro is current, or the slot's own macro when the
  // slot (the button whose menu opened the manager) holds one.
  void open(const ButtonRecord& selected_slot);
  // Any way out of the dialog: ends a recording (and the capture) and a
  // pending name entry. Call it before the view goes away.
  void close();

  // ---- what the window shows ----
  std::vector<std::u16string> macro_rows() const;  // library names, plus a pending new row
  int current_macro() const { return current_; }   // the selected row; -1 for none
  const std::vector<EventRow>& event_rows() const { return rows_; }
  int caret_row() const { return caret_; }          // row to put the caret on and show; -1 when empty
  int selected_event_row() const { return selected_row_; }
  bool recording() const { return recording_; }
  bool capture_active() const { return capture_; }  // false while recording: other windows still get keys
  int record_caption() const { return recording_ ? kTextStop : kTextRecord; }
  // Confirm, cancel, close, new, delete and the macro list; disabled while recording.
  bool controls_enabled() const { return !recording_; }
  bool record_delays() const { return record_delays_; }
  bool repeat_on() const { return repeat_on_; }
  int repeat_value() const { return repeat_value_; }
  const std::u16string& repeat_text() const { return repeat_text_; }
  int event_count() const { return count_; }
  const MacroEvent* events() const { return events_; }
  int insertion_point() const { return insertion_; }
  // How much of the mouse's 128-byte block the macro takes, and from which
  // event on it no longer fits.
  MacroBlockFit block_fit() const;

  // ---- input ----
  // The macro list's selection changed; ends a pending name entry without a
  // macro, so the widget commits an entry that loses the focus before this.
  void select_macro(int row);
  void select_event_row(int row);  // left button in the event list; -1 clears
  void press_record();             // starts a fresh recording, or stops one
  // A keystroke from the hook: virtual key, flags & 0x81 (0x80 release, 0x01 extended).
  void key_message(uint32_t vk, uint32_t flags);
  bool context_menu_available() const { return !recording_; }
  void context_command(int id);
  void commit_delay(int row, std::u16string_view text);  // the delay editor's text
  void begin_new_macro();
  void commit_macro_name(int row, std::u16string_view text);
  void cancel_macro_name(int row);  // Escape or an empty entry
  bool can_delete_macro() const;   // ask CDeleteMacroWarn first, then delete_macro()
  void delete_macro();
  void set_record_delays(bool on);
  void set_repeat(bool on);
  void commit_repeat_text(std::u16string_view text);  // the repeat edit lost the focus

 private:
  MacroRecord* current_record();
  void load();
  void rebuild();
  void mark_rows_reaching_mouse();
  void copy_to_record();
  void insert(MacroEvent event);
  void remove_event(int index);
  void start_recording();
  void stop_recording();
  int selected_event() const;  // hi - 1 of the selected row, -1 for none

  std::vector<MacroRecord>& library_;
  MacroEditorView& view_;
  TickClock clock_;

  int current_ = -1;
  MacroEvent events_[kMaxMacroEvents] = {};
  int count_ = 0;
  int insertion_ = -1;
  bool recording_ = false;
  bool capture_ = false;
  bool first_event_ = false;
  uint32_t last_event_time_ = 0;
  bool have_previous_ = false;
  uint32_t previous_vk_ = 0;
  uint32_t previous_flags_ = 0;
  bool record_delays_ = false;
  bool repeat_on_ = false;
  int repeat_value_ = 1;
  std::u16string repeat_text_ = u"1";
  int edited_delay_event_ = -1;
  int last_changed_ = -1;
  int caret_target_ = -1;  // the row the caret rule starts from
  int caret_ = -1;
  int selected_row_ = -1;
  bool name_entry_ = false;
  std::vector<EventRow> rows_;
};

}  // namespace mt
