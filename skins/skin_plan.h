// The skin as data: every window's size, its pictures, its description file
// and the placement of each control, and the fixed text boxes it leaves
// clear. The painters, the description-file writer and the preview all read
// this one plan, so a control is always drawn where its placement says.
#pragma once

#include <QColor>
#include <QRect>
#include <QSize>
#include <string>
#include <vector>

#include "option/logic/text_layout.h"

namespace skins {

// What a placement holds; the painters draw each kind in its own way.
enum class Kind {
  push,          // captioned push button
  primary,       // captioned push button in the accent colour
  ghost,         // captioned button with no body until the pointer is over it
  toggle,        // on/off or one-of-many button with an indicator bar
  segment,       // one-of-many button in a joined row (level, rate)
  tab,           // page tab, shaped by rgnbutton_mask.bmp
  close,         // close cross
  minimise,      // minimise bar
  browse,        // folder
  guide,         // the home panel's button: an open book
  language,      // language button (a globe and the label)
  slot,          // button-page slot
  level,         // CPI level button, shaped by DPI1_mask.bmp
  marker,        // profile row marker, shaped by profile_mask.bmp
  slider,        // horizontal slider track; the thumb is slider.bmp
  spin,          // number field with up and down arrows at its right end
  field,         // recessed text field the window fills
  list,          // recessed list box
  picture,       // area the window fills with a picture
  dial,          // CPI dial face
  swatch,        // palette colour
  colour_field,  // the colour picker's field, slider and well: recesses
  colour_slider,
  colour_well,
  switcher,      // acceleration switch
  link,          // X/Y link indicator
  test_pad,      // double-click test area
  scroll_lines,  // scroll mode: lines per notch
  scroll_page,   // scroll mode: one page per notch
  rate,          // report rate; variant 1..4 = bars of its glyph
  text,          // a text the window paints at its placement (firmware version)
};

struct Control {
  int key;
  std::string name;  // the placement's name field
  QRect rect;        // logical pixels
  Kind kind;
  int variant = 0;
  QColor colour;     // swatches
};

// How a fixed text sits in its box.
enum class TextAlign { anchored, centred, left_middle, right_middle };

// A fixed text box of the window, for the checks and the preview.
struct TextBox {
  std::string what;  // e.g. "130 CPI level"
  mt::layout::Box box;
  int px;
  int text_id;       // the language text shown there, or 0
  TextAlign align = TextAlign::left_middle;
};

enum class Form {
  button_info,  // fixed picture names, section BUTTONINFO
  button_pos,   // fixed picture names, section BUTTONPOS
  screen,       // pictures named in SCREEN, placements in BUTTONPOS
};

struct Window {
  std::string id;          // "main", "button" ... ; also the painter's name
  std::string title;       // for the description file's comment
  QSize size;
  std::string ini;         // description file name
  Form form = Form::button_info;
  std::string mask;        // mask file name, or empty
  // Picture file names of the states; empty where the window has none.
  std::string normal, over, down, disable;
  // The picture set this window shares instead of having its own ("restore").
  std::string art_of;
  std::vector<Control> controls;
  std::vector<TextBox> texts;

  const Control* find(int key) const;
};

const std::vector<Window>& skin_plan();
const Window& window(const std::string& id);

// The button page: which slot (key) a mouse picture highlights, and where the
// slot's leader line meets the mouse, in page pixels.
struct SlotLink {
  int key;            // placement key of the slot (slot index + 1)
  int display;        // number shown in the slot's caption
  int picture;        // N of Mouse/mouse_N.jpg
  int part;           // index into mouse_parts()
};
const std::vector<SlotLink>& slot_links();

// The picture rectangle of the button page (key 20).
QRect mouse_picture_rect();

// The palette of the lighting page, index 0..25.
const std::vector<QColor>& palette();

// Sizes of the separate pictures.
inline constexpr QSize kSliderThumb{14, 22};
inline constexpr QSize kOsdSize{320, 96};

}  // namespace skins
