#include "option/painted_text.h"

#include <QFontMetrics>
#include <QPainter>

namespace mt {
namespace {

int text_flags(Qt::Alignment across, bool wrap) {
  return static_cast<int>(across & Qt::AlignHorizontal_Mask) | Qt::AlignTop |
         (wrap ? Qt::TextWordWrap : Qt::TextSingleLine);
}

}  // namespace

QRect box_text_rect(const QRect& box, const QString& text, const QFont& font, Qt::Alignment across, TextDown down,
                    bool wrap) {
  if (text.isEmpty()) return QRect();
  const int flags = text_flags(across, wrap);
  QRect need = QFontMetrics(font).boundingRect(box, flags, text);
  if (down == TextDown::centred && need.height() < box.height())
    need.moveTop(box.top() + (box.height() - need.height()) / 2);
  return need;
}

void paint_box_text(QPainter& p, const QRect& box, const QString& text, const QFont& font, const QColor& colour,
                    Qt::Alignment across, TextDown down, bool wrap) {
  if (text.isEmpty() || box.isEmpty()) return;
  const int flags = text_flags(across, wrap);
  QRect target = box;
  const int h = QFontMetrics(font).boundingRect(box, flags, text).height();
  if (down == TextDown::centred && h < box.height()) target.setTop(box.top() + (box.height() - h) / 2);
  p.save();
  p.setClipRect(box);
  p.setFont(font);
  p.setPen(colour);
  p.drawText(target, flags, text);
  p.restore();
}

}  // namespace mt
