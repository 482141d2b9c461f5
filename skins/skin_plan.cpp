#include "skins/skin_plan.h"

#include <stdexcept>

#include "skins/mouse_art.h"

namespace skins {

namespace L = mt::layout;

const Control* Window::find(int key) const {
  for (const Control& c : controls)
    if (c.key == key) return &c;
  return nullptr;
}

namespace {

Control C(int key, std::string name, int x, int y, int w, int h, Kind kind, int variant = 0) {
  return Control{key, std::move(name), QRect(x, y, w, h), kind, variant, QColor()};
}

// The buttons every dialog of the 444 x 260 shape has at the same places:
// the close cross in the top right corner and, right-aligned in the footer,
// confirm and cancel. A second confirm (the restore dialog's) sits at the
// footer's left and has no body until the pointer is over it, so the same
// picture also serves the dialogs without it.
constexpr QRect kDialogClose{404, 14, 28, 28};
constexpr QRect kDialogConfirm{190, 210, 118, 38};
constexpr QRect kDialogCancel{314, 210, 118, 38};
constexpr QRect kDialogSecondConfirm{14, 210, 168, 38};

Control at(int key, std::string name, QRect r, Kind kind) {
  return Control{key, std::move(name), r, kind, 0, QColor()};
}

Window main_window() {
  Window w;
  w.id = "main";
  w.title = "main window";
  w.size = QSize(1100, 620);
  w.ini = "skin_main.ini";
  w.mask = "main_mask.bmp";
  w.normal = "main_normal.jpg";
  w.over = "main_over.jpg";
  w.down = "main_down.jpg";
  w.disable = "main_disable.jpg";
  // Page tabs stacked in the device card on the left, under the mouse and
  // the firmware line; the tab's glyph tells its page apart (variant).
  const char* tabs[5] = {"tab_performance", "tab_buttons", "tab_lighting", "tab_profiles", "tab_home"};
  for (int i = 0; i < 5; ++i) w.controls.push_back(C(i + 1, tabs[i], 22, 302 + i * 60, 326, 54, Kind::tab, i));
  w.controls.push_back(C(6, "close", 1054, 16, 34, 32, Kind::close));
  w.controls.push_back(C(7, "cancel", 958, 554, 124, 44, Kind::push));
  w.controls.push_back(C(8, "minimise", 1014, 16, 34, 32, Kind::minimise));
  // The two Apply buttons do the same; this skin shows them as one button.
  w.controls.push_back(C(9, "apply", 704, 554, 140, 44, Kind::primary));
  w.controls.push_back(C(10, "apply", 704, 554, 140, 44, Kind::primary));
  w.controls.push_back(C(11, "ok", 850, 554, 102, 44, Kind::push));
  w.controls.push_back(C(12, "restore_defaults", 380, 554, 230, 44, Kind::push));
  w.controls.push_back(C(13, "language", 916, 16, 88, 32, Kind::language));
  w.controls.push_back(C(20, "pages", 370, 66, 720, 470, Kind::picture));
  w.controls.push_back(C(21, "profile_panel", 370, 66, 720, 470, Kind::picture));
  w.controls.push_back(C(22, "home_panel", 370, 66, 720, 470, Kind::picture));
  w.controls.push_back(C(23, "firmware_version", 308, 252, 40, 30, Kind::text));
  w.texts = {{"111 firmware label", L::kFirmwareLabel, L::kFirmwareLabelPx, 111, TextAlign::right_middle},
             {"firmware version", L::kFirmwareVersion, L::kFirmwareVersionPx, 0, TextAlign::centred},
             {"1124 status line", L::kMainStatus, L::kMainStatusPx, 1124}};
  return w;
}

// The button page's slots, top to bottom in the order their leader lines
// reach the mouse, so no two lines cross.
struct SlotRow {
  int key, display, picture;
  MousePart part;
};
constexpr SlotRow kSlotRows[9] = {
    {1, 1, 1, MousePart::left_button},  {2, 2, 2, MousePart::right_button},
    {3, 3, 3, MousePart::wheel},        {15, 8, 8, MousePart::tilt_left},
    {16, 9, 9, MousePart::tilt_right},  {4, 6, 4, MousePart::top_front},
    {5, 7, 5, MousePart::top_rear},     {7, 5, 7, MousePart::side_forward},
    {6, 4, 6, MousePart::side_back},
};
// The picture rectangle takes the mouse and the leader lines to it, so a
// mouse picture lights the whole line of its slot.
constexpr QRect kMousePicture{244, 44, 464, 414};

Window button_page() {
  Window w;
  w.id = "button";
  w.title = "button page";
  w.size = QSize(720, 470);
  w.ini = "skin_Overlook.ini";
  w.mask = "middle_mask.bmp";
  w.normal = "button_normal.JPG";
  w.over = "button_over.JPG";
  w.down = "button_down.JPG";
  w.disable = "button_disable.jpg";
  for (int row = 0; row < 9; ++row) {
    const SlotRow& s = kSlotRows[row];
    w.controls.push_back(C(s.key, "slot" + std::to_string(s.key - 1), 12, 30 + row * 47, 232, 40, Kind::slot,
                           static_cast<int>(s.part)));
  }
  w.controls.push_back(at(20, "mouse_picture", kMousePicture, Kind::picture));
  w.texts = {{"120 heading", L::kButtonPageHeading, L::kButtonPageHeadingPx, 120, TextAlign::centred}};
  return w;
}

Window performance_page() {
  Window w;
  w.id = "sens";
  w.title = "performance page";
  w.size = QSize(720, 470);
  w.ini = "skin_sens.ini";
  w.mask = "middle_mask.bmp";
  w.normal = "Basic_Settings_normal.jpg";
  w.over = "Basic_Settings_over.jpg";
  w.down = "Basic_Settings_down.jpg";
  w.disable = "Basic_Settings_disable.jpg";
  for (int i = 0; i < 5; ++i)
    w.controls.push_back(C(i + 1, "level" + std::to_string(i + 1), 22, 58 + i * 44, 120, 38, Kind::level));
  w.controls.push_back(C(6, "cpi_dial", 152, 54, 218, 218, Kind::dial));
  w.controls.push_back(C(7, "cpi_spin", 276, 226, 88, 30, Kind::spin));
  w.controls.push_back(C(8, "cpi_x", 24, 314, 300, 26, Kind::slider));
  w.controls.push_back(C(9, "cpi_y", 24, 376, 300, 26, Kind::slider));
  w.controls.push_back(C(10, "pointer_speed", 398, 136, 198, 26, Kind::slider));
  w.controls.push_back(C(11, "double_click", 398, 264, 198, 26, Kind::slider));
  w.controls.push_back(C(12, "double_click_test", 604, 256, 90, 42, Kind::test_pad));
  w.controls.push_back(C(13, "scroll_speed", 398, 342, 198, 26, Kind::slider));
  w.controls.push_back(C(14, "scroll_spin", 604, 340, 90, 30, Kind::spin));
  w.controls.push_back(C(15, "scroll_lines", 398, 376, 146, 36, Kind::scroll_lines));
  w.controls.push_back(C(16, "scroll_page", 548, 376, 146, 36, Kind::scroll_page));
  w.controls.push_back(C(17, "acceleration", 398, 182, 44, 32, Kind::switcher));
  for (int i = 0; i < 4; ++i)
    w.controls.push_back(C(18 + i, "rate" + std::to_string(i), 398 + i * 74, 52, 74, 36, Kind::rate, i + 1));
  w.controls.push_back(C(22, "xy_link", 24, 412, 40, 34, Kind::link));
  w.controls.push_back(C(23, "scroll_picture", 398, 418, 296, 34, Kind::picture));
  w.controls.push_back(C(24, "pointer_gauge", 604, 126, 90, 44, Kind::picture));
  const char* what[9] = {"130 CPI level",     "131 X-axis CPI",   "132 Y-axis CPI",
                         "133 report rate",   "134 pointer speed", "135 acceleration",
                         "136 double-click",  "137 scroll speed", "138 X/Y link"};
  for (int i = 0; i < 9; ++i)
    w.texts.push_back({what[i], L::kPerformanceCaption[i], L::kPerformanceCaptionPx, 130 + i});
  return w;
}

Window lighting_page() {
  Window w;
  w.id = "light";
  w.title = "lighting page";
  w.size = QSize(720, 470);
  w.ini = "skin_light.ini";
  w.mask = "middle_mask.bmp";
  w.normal = "Color_settings_normal.jpg";
  w.over = "Color_settings_over.jpg";
  w.down = "Color_settings_down.jpg";
  w.disable = "Color_settings_disable.jpg";
  // Top left: effect speed and the colour source; top right: the picker
  // and the red, green and blue fields; along the bottom: brightness, light
  // mode and the palette, each row with its caption on the left.
  for (int i = 0; i < 3; ++i)
    w.controls.push_back(C(1 + i, "brightness" + std::to_string(i), 196 + i * 168, 290, 168, 40, Kind::toggle));
  for (int i = 0; i < 3; ++i)
    w.controls.push_back(C(4 + i, "light_mode" + std::to_string(i), 196 + i * 168, 334, 168, 40, Kind::toggle));
  w.controls.push_back(C(7, "source_free", 20, 166, 272, 40, Kind::toggle));
  w.controls.push_back(C(8, "source_palette", 20, 210, 272, 40, Kind::toggle));
  for (int i = 0; i < 26; ++i) {
    Control c = C(9 + i, "palette" + std::to_string(i), 22 + (i % 13) * 52, 380 + (i / 13) * 40, 52, 40,
                  Kind::swatch, i);
    c.colour = palette()[i];
    w.controls.push_back(c);
  }
  w.controls.push_back(C(35, "colour_field", 322, 24, 198, 204, Kind::colour_field));
  w.controls.push_back(C(36, "colour_slider", 532, 24, 22, 204, Kind::colour_slider));
  w.controls.push_back(C(37, "colour_well", 566, 24, 132, 204, Kind::colour_well));
  w.controls.push_back(C(38, "red", 333, 237, 50, 30, Kind::spin));
  w.controls.push_back(C(39, "green", 402, 237, 50, 30, Kind::spin));
  w.controls.push_back(C(40, "blue", 470, 237, 50, 30, Kind::spin));
  w.controls.push_back(C(41, "effect", 20, 90, 272, 26, Kind::slider));
  const char* what[8] = {"201 title", "202 brightness", "203 light mode", "204 colour",
                         "205 R",     "206 G",          "207 B",          "208 effect speed"};
  for (int i = 0; i < 8; ++i) {
    const int px = i == 0 ? L::kLightingTitlePx : L::kLightingCaptionPx;
    const bool anchored = i == 0 || (i >= 4 && i <= 6);
    w.texts.push_back({what[i], L::kLightingCaption[i], px, 201 + i,
                       anchored ? TextAlign::anchored : TextAlign::left_middle});
  }
  return w;
}

Window profile_panel() {
  Window w;
  w.id = "profile";
  w.title = "profile panel";
  w.size = QSize(720, 470);
  w.ini = "skin_profile.ini";
  w.form = Form::screen;
  w.mask = "middle_mask.bmp";
  w.normal = "profile_normal.jpg";
  w.over = "profile_over.jpg";
  w.down = "profile_down.jpg";
  w.disable = "profile_disable.jpg";
  for (int i = 0; i < 3; ++i) {
    const int y = 66 + i * 132;
    const std::string n = std::to_string(i);
    w.controls.push_back(C(1 + i, "marker" + n, 30, y + 30, 202, 60, Kind::marker));
    w.controls.push_back(C(7 + i, "select" + n, 246, y + 34, 108, 44, Kind::push));
    w.controls.push_back(C(10 + i, "import" + n, 360, y + 34, 100, 44, Kind::push));
    w.controls.push_back(C(13 + i, "export" + n, 462, y + 34, 102, 44, Kind::push));
    w.controls.push_back(C(16 + i, "reset" + n, 566, y + 34, 126, 44, Kind::push));
  }
  const char* what[3] = {"222 profile", "223 use", "224 manage"};
  for (int i = 0; i < 3; ++i) w.texts.push_back({what[i], L::kProfileHeading[i], L::kProfileHeadingPx, 222 + i, TextAlign::centred});
  return w;
}

Window home_panel() {
  Window w;
  w.id = "home";
  w.title = "home panel";
  w.size = QSize(720, 470);
  w.ini = "Skin_Update.ini";
  w.form = Form::screen;
  w.mask = "middle_mask.bmp";
  w.normal = "home_normal.jpg";
  w.over = "home_over.jpg";
  w.down = "home_down.jpg";
  w.disable = "home_disable.jpg";
  w.controls.push_back(C(1, "guide", 436, 150, 176, 176, Kind::guide));
  return w;
}

Window restore_dialog() {
  Window w;
  w.id = "restore";
  w.title = "message dialogs and the restore dialog";
  w.size = QSize(444, 260);
  w.ini = "skin_Restore.ini";
  w.mask = "restore_mask.bmp";
  w.normal = "restore_normal.jpg";
  w.over = "restore_over.jpg";
  w.down = "restore_down.jpg";
  w.controls.push_back(at(1, "confirm", kDialogConfirm, Kind::push));
  w.controls.push_back(at(2, "cancel", kDialogCancel, Kind::push));
  w.controls.push_back(at(3, "close", kDialogClose, Kind::close));
  w.controls.push_back(at(4, "confirm_second", kDialogSecondConfirm, Kind::ghost));
  w.texts = {{"title", L::kDialogTitle, L::kDialogTitlePx, 801, TextAlign::centred},
             {"message", L::kDialogMessage, L::kDialogMessagePx, 802, TextAlign::centred}};
  return w;
}

Window single_key_dialog() {
  Window w;
  w.id = "single_key";
  w.title = "single-key dialog (pictures of the restore dialog)";
  w.size = QSize(444, 260);
  w.ini = "skin_single_key.ini";
  w.form = Form::button_pos;
  w.art_of = "restore";
  w.controls.push_back(C(4, "key_name", 140, 128, 224, 32, Kind::field));
  w.controls.push_back(at(1, "confirm", kDialogConfirm, Kind::push));
  w.controls.push_back(at(2, "cancel", kDialogCancel, Kind::push));
  w.controls.push_back(at(3, "close", kDialogClose, Kind::close));
  w.texts = {{"140 title", L::kDialogTitle, L::kDialogTitlePx, 140, TextAlign::centred},
             {"141 prompt", L::kSingleKeyPrompt, L::kSingleKeyPromptPx, 141, TextAlign::anchored},
             {"note", L::kSingleKeyNote, L::kKeyNotePx, 0, TextAlign::anchored}};
  return w;
}

Window shortcut_dialog() {
  Window w;
  w.id = "shortcut";
  w.title = "key-combination dialog";
  w.size = QSize(444, 260);
  w.ini = "skin_shortcut.ini";
  w.form = Form::button_pos;
  w.mask = "restore_mask.bmp";
  w.normal = "keyboard_command_normal.jpg";
  w.over = "keyboard_command_over.jpg";
  w.down = "keyboard_command_down.jpg";
  w.controls.push_back(C(10, "key_name", 22, 140, 330, 32, Kind::field));
  w.controls.push_back(at(2, "confirm", kDialogConfirm, Kind::push));
  w.controls.push_back(at(3, "cancel", kDialogCancel, Kind::push));
  w.controls.push_back(at(4, "close", kDialogClose, Kind::close));
  w.controls.push_back(C(5, "key_alone", 10, 88, 172, 36, Kind::toggle));
  const char* mods[4] = {"ctrl", "shift", "alt", "win"};
  for (int i = 0; i < 4; ++i) w.controls.push_back(C(6 + i, mods[i], 182 + i * 63, 88, 63, 36, Kind::toggle));
  w.texts = {{"252 title", L::kDialogTitle, L::kDialogTitlePx, 252, TextAlign::centred},
             {"258 key label", L::kShortcutKeyLabel, L::kShortcutKeyLabelPx, 258, TextAlign::anchored},
             {"note", L::kShortcutNote, L::kKeyNotePx, 0, TextAlign::centred}};
  return w;
}

Window program_chooser() {
  Window w;
  w.id = "progsel";
  w.title = "program chooser";
  w.size = QSize(444, 260);
  w.ini = "skin_ProgSel.ini";
  w.mask = "restore_mask.bmp";
  w.normal = "lanuch_program_normal.JPG";
  w.over = "lanuch_program_over.JPG";
  w.down = "lanuch_program_down.JPG";
  w.controls.push_back(at(1, "close", kDialogClose, Kind::close));
  w.controls.push_back(C(2, "browse", 328, 104, 40, 31, Kind::browse));
  w.controls.push_back(at(3, "confirm", kDialogConfirm, Kind::push));
  w.controls.push_back(at(4, "cancel", kDialogCancel, Kind::push));
  // The path field is not a placement: the window puts it at this rectangle.
  w.texts = {{"261 title", L::kDialogTitle, L::kDialogTitlePx, 261, TextAlign::centred},
             {"262 label", L::kChooserLabel, L::kChooserLabelPx, 262}};
  return w;
}

Window macro_manager() {
  Window w;
  w.id = "macro";
  w.title = "macro manager";
  w.size = QSize(760, 520);
  w.ini = "skin_macro_manager.ini";
  w.form = Form::screen;
  w.mask = "macro_manager_mask.bmp";
  w.normal = "macro_manager_normal.jpg";
  w.over = "macro_manager_over.jpg";
  w.down = "macro_manager_down.jpg";
  w.disable = "macro_manager_disable.jpg";
  w.controls.push_back(C(1, "confirm", 494, 472, 118, 38, Kind::push));
  w.controls.push_back(C(2, "cancel", 618, 472, 118, 38, Kind::push));
  w.controls.push_back(C(3, "close", 720, 14, 28, 28, Kind::close));
  w.controls.push_back(C(4, "new", 22, 382, 132, 38, Kind::push));
  w.controls.push_back(C(5, "delete", 160, 382, 132, 38, Kind::push));
  w.controls.push_back(C(6, "macro_list", 24, 104, 266, 268, Kind::list));
  w.controls.push_back(C(7, "record", 304, 382, 126, 38, Kind::primary));
  w.controls.push_back(C(8, "record_delays", 436, 382, 190, 38, Kind::toggle));
  w.controls.push_back(C(9, "repeat", 304, 426, 126, 38, Kind::toggle));
  w.controls.push_back(C(10, "repeat_count", 436, 430, 52, 30, Kind::field));
  w.controls.push_back(C(11, "event_list", 306, 104, 430, 268, Kind::list));
  w.texts = {{"271 title", L::kMacroTitle, L::kMacroTitlePx, 271, TextAlign::centred},
             {"272 macro list", L::kMacroListLabel, L::kMacroLabelPx, 272},
             {"279 events", L::kMacroEventsLabel, L::kMacroLabelPx, 279},
             {"284 times", L::kMacroTimesLabel, L::kMacroLabelPx, 284},
             {"block usage", L::kMacroBlockUsage, L::kMacroBlockUsagePx, 0, TextAlign::right_middle},
             {"note", L::kMacroNote, L::kMacroNotePx, 0}};
  return w;
}

std::vector<Window> build_plan() {
  return {main_window(),  button_page(),       performance_page(), lighting_page(),   profile_panel(),
          home_panel(),   restore_dialog(),    single_key_dialog(), shortcut_dialog(), program_chooser(),
          macro_manager()};
}

}  // namespace

const std::vector<Window>& skin_plan() {
  static const std::vector<Window> plan = build_plan();
  return plan;
}

const Window& window(const std::string& id) {
  for (const Window& w : skin_plan())
    if (w.id == id) return w;
  throw std::out_of_range("no window " + id);
}

const std::vector<SlotLink>& slot_links() {
  static const std::vector<SlotLink> links = [] {
    std::vector<SlotLink> v;
    for (const SlotRow& s : kSlotRows) v.push_back({s.key, s.display, s.picture, static_cast<int>(s.part)});
    return v;
  }();
  return links;
}

QRect mouse_picture_rect() { return kMousePicture; }

const std::vector<QColor>& palette() {
  static const std::vector<QColor> colours = {
      {255, 0, 255},   {255, 0, 0},     {250, 103, 33},  {255, 255, 0},   {171, 252, 59},
      {0, 255, 0},     {15, 155, 53},   {65, 202, 156},  {255, 255, 116}, {56, 202, 59},
      {60, 250, 250},  {0, 255, 255},   {40, 200, 255},  {55, 103, 151},  {0, 0, 255},
      {101, 62, 249},  {152, 35, 251},  {202, 63, 250},  {255, 103, 155}, {203, 53, 20},
      {102, 106, 197}, {10, 55, 148},   {252, 43, 38},   {24, 150, 253},  {61, 202, 110},
      {104, 104, 255}};
  return colours;
}

}  // namespace skins
