// The profile panel's rules (CGameProfileDlg) without its window: which row
// shows as current, which buttons each row enables, and the order of select
// and reset. The panel offers profiles 0..2 of the five.
//
//   struct Panel : ProfilePanelSteps { ... };   // show_current, refresh_pages, apply
//   if (auto c = panel_control(key)) {
//     if (c->button == PanelButton::select) select_row(host.working(), c->row, panel);
//     if (c->button == PanelButton::reset) reset_row(host.working(), c->row, panel);
//   }
//   PanelState s = panel_state(host.working().CurrentProfile);   // what to draw
#pragma once

#include <array>
#include <optional>

#include "common/settings_record.h"

namespace mt {

constexpr int kPanelRows = 3;

// Text ids: the row markers have kPanelMarkerTextFirst + row, every row's
// buttons the same four texts; three column headings.
constexpr int kPanelMarkerTextFirst = 225;
constexpr int kPanelSelectText = 218;
constexpr int kPanelImportText = 219;
constexpr int kPanelExportText = 220;
constexpr int kPanelResetText = 221;
inline constexpr std::array<int, 3> kPanelHeadingTexts = {222, 223, 224};

enum class PanelButton { marker, select, import, export_, reset };
struct PanelControl {
  PanelButton button;
  int row;
  friend bool operator==(const PanelControl&, const PanelControl&) = default;
};
// The control of a skin key of skin_profile.ini: "1".."3" row markers,
// "7".."9" select, "10".."12" import, "13".."15" export, "16".."18" reset.
std::optional<PanelControl> panel_control(int skin_key);
int panel_skin_key(PanelControl control);

// Row markers and the buttons that need the current row (import, export,
// reset); select is always enabled. No row is current for a profile 3 or 4.
struct PanelState {
  std::array<bool, kPanelRows> marker_on{};
  std::array<bool, kPanelRows> row_buttons_enabled{};
  friend bool operator==(const PanelState&, const PanelState&) = default;
};
PanelState panel_state(int current_profile);

// What the panel asks of itself and of the main window, in the order the
// rules call them.
class ProfilePanelSteps {
 public:
  virtual ~ProfilePanelSteps() = default;
  // Draw panel_state(p).
  virtual void show_current(int p) = 0;
  // The button, performance and lighting pages from the current profile.
  virtual void refresh_pages() = 0;
  // The main window's apply.
  virtual void apply(int flag) = 0;
};

// Select row i: show it current, make profile i current, refresh the pages,
// show the current row again, apply with 0 (also when i was current
// already). False (nothing done) for a row outside 0..2.
bool select_row(SettingsRecord& record, int i, ProfilePanelSteps& steps);

// Reset row i, the current one: profile i gets the factory values of index
// i (named "Default<i + 1>", no bound program), the whole profile is marked
// changed, the pages are refreshed, the current row shown, and the record
// applied with 1. False (nothing done) when row i is not the current one.
bool reset_row(SettingsRecord& record, int i, ProfilePanelSteps& steps);

}  // namespace mt
