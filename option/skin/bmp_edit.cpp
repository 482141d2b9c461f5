#include "option/skin/bmp_edit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QValidator>

#include <cstring>

#include "option/skin/skin_look.h"

namespace mt {

QString numeric_edit_filter(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (QChar c : text)
    if (c.unicode() < 128 && c.unicode() != 0 && std::strchr(CBmpEdit::kAcceptedCharacters, c.toLatin1()))
      out.push_back(c);
  return out;
}

// Runs on every change the user makes; strips what the edit does not take
// and keeps the caret where the kept characters put it.
class CBmpEdit::Filter : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override {
    const QString kept = numeric_edit_filter(input);
    if (kept.size() != input.size()) {
      pos = static_cast<int>(numeric_edit_filter(input.left(pos)).size());
      input = kept;
    }
    return Acceptable;
  }
};

CBmpEdit::CBmpEdit(QWidget* parent, int control_id)
    : QLineEdit(parent), control_id_(control_id), back_(look::kPanel), filter_(new Filter(this)) {
  setValidator(filter_);
  setFrame(false);
  setFont(look::design_font(QStringLiteral("Arial"), 16));
  set_colors(look::from_colorref(look::kCaptionNormal), QColor(look::kPanel));
  setAlignment(Qt::AlignCenter);
  connect(this, &QLineEdit::textEdited, this, [this] { emit edit_notify(kBitmapEditChanged, control_id_); });
}

void CBmpEdit::set_background(const QImage& cut) {
  background_ = cut;
  update();
}

void CBmpEdit::set_colors(const QColor& text, const QColor& back) {
  back_ = back;
  QPalette pal = palette();
  pal.setColor(QPalette::Text, text);
  pal.setColor(QPalette::Base, Qt::transparent);
  pal.setColor(QPalette::Highlight, QColor(look::kAccent));
  pal.setColor(QPalette::HighlightedText, Qt::white);
  pal.setColor(QPalette::Disabled, QPalette::Text, look::from_colorref(look::kCaptionDisabled));
  setPalette(pal);
  update();
}

void CBmpEdit::set_text_font(const QString& face, int pixel_height, int weight) {
  setFont(look::design_font(face, pixel_height, weight));
}

void CBmpEdit::set_display_only(bool on) {
  display_only_ = on;
  setValidator(on ? nullptr : filter_);
  // A key's name is set by the program; no typing limit applies to it.
  if (on) setMaxLength(32767);
  setReadOnly(on);
  setFocusPolicy(on ? Qt::NoFocus : Qt::StrongFocus);
  if (on) set_colors(Qt::white, Qt::black);
}

void CBmpEdit::paintEvent(QPaintEvent* event) {
  {
    QPainter p(this);
    if (!background_.isNull() && !display_only_)
      p.drawImage(QRectF(rect()), background_, QRectF(background_.rect()));
    else
      p.fillRect(rect(), back_);
  }
  QLineEdit::paintEvent(event);
}

void CBmpEdit::keyReleaseEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat())
    emit edit_notify(kBitmapEditEnterReleased, control_id_);
  QLineEdit::keyReleaseEvent(event);
}

void CBmpEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // The edit's own context menu borrows the focus only for a moment.
  if (event->reason() != Qt::PopupFocusReason) emit kill_focus(control_id_);
}

}  // namespace mt
