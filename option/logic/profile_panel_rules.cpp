#include "option/logic/profile_panel_rules.h"

namespace mt {

namespace {

constexpr bool valid_row(int row) { return row >= 0 && row < kPanelRows; }

struct KeyRange {
  PanelButton button;
  int first_key;
};
constexpr KeyRange kKeys[] = {
    {PanelButton::marker, 1},   {PanelButton::select, 7},  {PanelButton::import, 10},
    {PanelButton::export_, 13}, {PanelButton::reset, 16},
};

}  // namespace

std::optional<PanelControl> panel_control(int skin_key) {
  for (const auto& k : kKeys)
    if (skin_key >= k.first_key && skin_key < k.first_key + kPanelRows)
      return PanelControl{k.button, skin_key - k.first_key};
  return std::nullopt;
}

int panel_skin_key(PanelControl control) {
  for (const auto& k : kKeys)
    if (k.button == control.button) return k.first_key + control.row;
  return 0;
}

PanelState panel_state(int current_profile) {
  PanelState s;
  for (int i = 0; i < kPanelRows; ++i) s.marker_on[i] = s.row_buttons_enabled[i] = i == current_profile;
  return s;
}

bool select_row(SettingsRecord& record, int i, ProfilePanelSteps& steps) {
  if (!valid_row(i)) return false;
  steps.show_current(i);
  record.CurrentProfile = i;
  steps.refresh_pages();
  steps.show_current(record.CurrentProfile);
  steps.apply(0);
  return true;
}

bool reset_row(SettingsRecord& record, int i, ProfilePanelSteps& steps) {
  // The reset button is enabled only in the current row.
  if (!valid_row(i) || i != record.CurrentProfile) return false;
  set_profile_defaults(record.profiles[i], i);
  mark_profile_changed(record, i);
  steps.refresh_pages();
  steps.show_current(record.CurrentProfile);
  steps.apply(1);
  return true;
}

}  // namespace mt
