// Texts the windows paint at the fixed boxes of option/logic/text_layout.h:
// titles, labels, notes. One rule for all of them, so every window places a
// text the way the skin's preview and tests expect:
//   - across the box: left, centred or right;
//   - down the box: from its top ("anchored"), or centred while the text is
//     shorter than the box and from its top when it is not, so a long
//     translation keeps its first line in view;
//   - word-wrapped or on one line; always clipped to the box.
//
//   paint_box_text(p, layout::kDialogTitle, title, look::design_font("Arial", 24),
//                  QColor(look::kLabel), Qt::AlignHCenter, TextDown::centred, true);
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include "option/logic/text_layout.h"

class QPainter;

namespace mt {

enum class TextDown { anchored, centred };

inline QRect box_rect(const layout::Box& b) { return QRect(b.left, b.top, b.width(), b.height()); }

// The rectangle the text takes when painted so (for tests and layout).
QRect box_text_rect(const QRect& box, const QString& text, const QFont& font, Qt::Alignment across, TextDown down,
                    bool wrap);

void paint_box_text(QPainter& painter, const QRect& box, const QString& text, const QFont& font, const QColor& colour,
                    Qt::Alignment across, TextDown down, bool wrap);
inline void paint_box_text(QPainter& painter, const layout::Box& box, const QString& text, const QFont& font,
                           const QColor& colour, Qt::Alignment across, TextDown down, bool wrap) {
  paint_box_text(painter, box_rect(box), text, font, colour, across, down, wrap);
}

}  // namespace mt
