// Small symbols drawn on controls: shapes only, never letters or digits.
#pragma once

#include <QColor>
#include <QRectF>

#include "skins/art_kit.h"

namespace skins {

enum class Glyph {
  cross,         // close
  bar,           // minimise
  folder,        // browse for a file
  book,          // the user guide
  globe,         // language
  chevron_up,
  chevron_down,
  link,          // two chain links: X and Y move together
  lines,         // scroll by lines
  page,          // scroll by pages
  gauge,         // the performance page
  mouse,         // the button page
  spark,         // the lighting page
  layers,        // the profiles
  house,         // the home panel
};

// Draws the glyph centred in the box, as large as fits.
void draw_glyph(Canvas& c, Glyph glyph, const QRectF& box, const QColor& colour);
// Rising bars: n lit of four.
void draw_bars(Canvas& c, const QRectF& box, int n, const QColor& colour);

}  // namespace skins
