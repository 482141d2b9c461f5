// Where Option's windows paint their fixed texts: headings, captions and
// labels that are not controls. One box per text, in window client pixels
// (logical pixels; the same on a high-density screen). The skin generator
// includes this header so the artwork leaves exactly these boxes clear; the
// windows include it to paint there, so art and text always agree.
//
//   QFont f("Arial");
//   f.setPixelSize(mt::layout::kDialogTitlePx);
//   const mt::layout::Box& b = mt::layout::kDialogTitle;
//   painter.drawText(QRect(b.left, b.top, b.width(), b.height()),
//                    Qt::AlignCenter | Qt::TextWordWrap, title);
//
// Each box says how its text sits in it: "anchored" texts start at the box's
// top-left corner (the window paints at that point); "centred" texts are
// centred in the box; "left, middle" texts start at the left edge and are
// centred vertically. A box is as wide as the longest text of any language
// module needs, with room to spare. The font sizes are pixel sizes of
// "Arial" (Liberation Sans on this system).
#pragma once

namespace mt::layout {

struct Box {
  int left, top, right, bottom;
  constexpr int width() const { return right - left; }
  constexpr int height() const { return bottom - top; }
};

// ---- Message dialogs (warnings, restore, both key dialogs, program chooser).
// Every dialog of the shared 444 x 260 shape has its title here: centred,
// vertically centred while it is less than 65 pixels high.
inline constexpr Box kDialogTitle{6, 10, 438, 75};
inline constexpr int kDialogTitlePx = 24;
// Warning and restore messages: word-wrapped and centred, vertically centred
// while less than 123 pixels high.
inline constexpr Box kDialogMessage{65, 77, 383, 200};
inline constexpr int kDialogMessagePx = 18;

// Single-key dialog: the prompt (text 141), anchored at (140, 100).
inline constexpr Box kSingleKeyPrompt{140, 100, 430, 122};
inline constexpr int kSingleKeyPromptPx = 17;
// Single-key dialog: one small line under the key field, for the note that
// other windows still receive keys when the keyboard cannot be taken.
inline constexpr Box kSingleKeyNote{140, 166, 430, 200};
inline constexpr int kKeyNotePx = 13;

// Key-combination dialog: the label of the key field (text 258), anchored at
// (360, 145), right of the field.
inline constexpr Box kShortcutKeyLabel{360, 145, 438, 167};
inline constexpr int kShortcutKeyLabelPx = 16;
// Key-combination dialog: the same note as the single-key dialog's, centred.
inline constexpr Box kShortcutNote{22, 178, 422, 202};

// Program chooser: the path field, an edit the window itself places here
// (not a skin placement), and the label above it (text 262), left, middle.
inline constexpr Box kChooserPathField{98, 108, 322, 131};
inline constexpr Box kChooserLabel{98, 82, 400, 102};
inline constexpr int kChooserLabelPx = 14;

// ---- Main window (1100 x 620).
// Firmware version text: the window repaints exactly this rectangle.
inline constexpr Box kFirmwareVersion{308, 252, 348, 282};
inline constexpr int kFirmwareVersionPx = 16;
// Its label (text 111), right-aligned against the version, vertically centred.
inline constexpr Box kFirmwareLabel{28, 252, 300, 282};
inline constexpr int kFirmwareLabelPx = 16;
// The status line (texts 1124, 1125) while the pointer is over a mouse
// button: in the top bar, right of the emblem; word-wrapped, left, middle.
inline constexpr Box kMainStatus{96, 14, 900, 50};
inline constexpr int kMainStatusPx = 15;

// ---- Button page (720 x 470).
// Heading (text 120, red): word-wrapped and centred horizontally; when it is
// less than 32 pixels high its top moves down by half the difference.
inline constexpr Box kButtonPageHeading{517, 7, 670, 39};
inline constexpr int kButtonPageHeadingPx = 20;

// ---- Performance page (720 x 470). Captions 130-138, left, middle, 20 px.
inline constexpr int kPerformanceCaptionPx = 20;
inline constexpr Box kPerformanceCaption[9] = {
    {28, 20, 358, 46},    // 130 CPI level
    {28, 288, 320, 312},  // 131 X-axis CPI
    {28, 350, 320, 374},  // 132 Y-axis CPI
    {402, 20, 692, 46},   // 133 report rate
    {402, 100, 692, 124}, // 134 pointer speed
    {450, 182, 692, 214}, // 135 acceleration, right of its switch
    {402, 228, 692, 252}, // 136 double-click speed
    {402, 312, 692, 336}, // 137 scroll speed
    {72, 416, 358, 442},  // 138 X/Y link, right of its indicator
};
constexpr const Box& performance_caption(int text_id) { return kPerformanceCaption[text_id - 130]; }

// ---- Lighting page (720 x 470). Captions 201-208 in RGB(190,190,190), 208
// in red. 201, 205, 206 and 207 are anchored at their designed points; the
// others are left, middle.
inline constexpr int kLightingTitlePx = 20;    // 201
inline constexpr int kLightingCaptionPx = 18;  // 202-208
inline constexpr Box kLightingCaption[8] = {
    {20, 25, 290, 49},     // 201 page title, anchored at (20, 25)
    {24, 290, 190, 330},   // 202 brightness, left of its buttons
    {24, 334, 190, 374},   // 203 light mode, left of its buttons
    {24, 136, 290, 160},   // 204 colour (source), over the two source buttons
    {316, 241, 332, 263},  // 205 "R", anchored at (316, 241), left of its field
    {385, 241, 401, 263},  // 206 "G", anchored at (385, 241)
    {453, 241, 469, 263},  // 207 "B", anchored at (453, 241)
    {24, 62, 290, 86},     // 208 effect speed (red), over its slider
};
constexpr const Box& lighting_caption(int text_id) { return kLightingCaption[text_id - 201]; }

// ---- Profile panel (720 x 470). Column headings 222-224, centred, 18 px.
inline constexpr int kProfileHeadingPx = 18;
inline constexpr Box kProfileHeading[3] = {
    {30, 22, 232, 52},   // 222 profile (over the row markers)
    {246, 22, 354, 52},  // 223 use (over the select buttons)
    {360, 22, 692, 52},  // 224 manage (over import, export, reset)
};

// ---- Macro manager (760 x 520). Title (text 271) centred; labels 272, 279
// left, middle; 284 left, middle right of the repeat-count edit.
inline constexpr Box kMacroTitle{60, 10, 700, 66};
inline constexpr int kMacroTitlePx = 24;
inline constexpr Box kMacroListLabel{26, 74, 290, 100};    // 272 macro list
inline constexpr Box kMacroEventsLabel{308, 74, 736, 100}; // 279 events
inline constexpr Box kMacroTimesLabel{494, 430, 620, 462}; // 284 "times"
inline constexpr int kMacroLabelPx = 16;
// How much of the mouse's macro block the current macro takes (our own
// addition): two short lines, right-aligned, vertically centred.
inline constexpr Box kMacroBlockUsage{628, 386, 736, 462};
inline constexpr int kMacroBlockUsagePx = 13;
// Under the lists, a note while recording (for example that other windows
// still receive keys): left, middle.
inline constexpr Box kMacroNote{26, 474, 480, 512};
inline constexpr int kMacroNotePx = 13;

// ---- On-screen display (320 x 96): the profile number in the round badge
// (centred), the first line ("Profile 2" or a message) and the profile name
// (both left, middle).
inline constexpr Box kOsdNumber{20, 20, 76, 76};
inline constexpr int kOsdNumberPx = 30;
inline constexpr Box kOsdLine1{96, 18, 304, 44};
inline constexpr int kOsdLine1Px = 15;
inline constexpr Box kOsdLine2{96, 46, 304, 78};
inline constexpr int kOsdLine2Px = 20;
// An on-screen message takes both lines: word-wrapped, left, vertically
// centred, the last line that fits shortened with "...".
inline constexpr Box kOsdMessage{96, 18, 304, 78};
inline constexpr int kOsdMessagePx = 16;

}  // namespace mt::layout
