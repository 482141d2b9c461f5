// Texts that Option's windows paint at fixed places, not as controls. The
// skin generator includes this header too, so the artwork leaves room for
// each text exactly where the window paints it.
#pragma once

namespace mt::layout {

// A box in window client coordinates; right and bottom are exclusive.
struct Box {
  int left;
  int top;
  int right;
  int bottom;
  constexpr int width() const { return right - left; }
  constexpr int height() const { return bottom - top; }
};

// The warning and confirmation dialogs (and the title of the key dialogs and
// the program chooser): the title, Arial 24 px, centred across the box and
// down it when shorter; the message, Arial 18 px, word-wrapped, the same way.
inline constexpr Box kDialogTitle{6, 10, 438, 75};
inline constexpr int kDialogTitlePx = 24;
inline constexpr Box kDialogMessage{65, 77, 383, 200};
inline constexpr int kDialogMessagePx = 18;

}  // namespace mt::layout
