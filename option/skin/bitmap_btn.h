// CBitmapBtn: a push button drawn from four picture cuts (normal, over, down,
// disabled) with an optional caption; CRgnButton (rgn_button.h) is the same
// button with a shaped hit area.
//
// - Pointer over: the first move over the button shows the over picture and
//   tells the owner (hover_changed(1, id), status_hint(1, hint)); leaving it
//   shows the normal picture again and tells (0, ...).
// - Press: the mouse is captured and the down picture shown while the pointer
//   stays over the button; the click (command(id)) comes when the button is
//   released over it.
// - Selected: drawn with the down picture and the selected caption colour
//   (tabs, radio groups, toggles); the owner sets and clears it.
// - Caption: drawn at weight 400 over the picture, in the colour of the state:
//   disabled, else selected, else over/pressed, else normal. Font "Arial", 23
//   px unless set. A caption that does not fit is set smaller (down to 60%,
//   never under 9 px), then cut with "...".
//
//   auto* ok = new CBitmapBtn(dialog, 1);
//   ok->setGeometry(look::to_rect(desc.placement(1)));
//   ok->set_pictures(pictures.cuts(ok->geometry()));
//   ok->setText(QString::fromStdU16String(lang.text(803)));
//   connect(ok, &CBitmapBtn::command, dialog, &CMyDlg::on_button);
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QMargins>
#include <QString>

#include "option/skin/control_notifications.h"
#include "option/skin/skin_folder.h"

namespace mt {

class CBitmapBtn : public QAbstractButton {
  Q_OBJECT

 public:
  // The design's six alignment values: left, centre and right on one line,
  // and the same three word-wrapped over several lines (long translations).
  enum class CaptionAlign { left = 0, center = 1, right = 2, left_wrapped = 3, center_wrapped = 4, right_wrapped = 5 };

  CBitmapBtn(QWidget* parent, int control_id);

  int control_id() const { return control_id_; }

  void set_pictures(const SkinCuts& cuts);
  const SkinCuts& pictures() const { return cuts_; }

  // The caption is QAbstractButton::text().
  void set_caption_font(const QString& face, int pixel_height, int weight = 400);
  const QFont& caption_font() const { return font_; }
  void set_caption_colors(const QColor& normal, const QColor& selected, const QColor& disabled,
                          const QColor& over);
  // One colour for every state.
  void set_caption_color(const QColor& colour);
  QColor caption_color(SkinState state) const;
  void set_caption_align(CaptionAlign align);
  CaptionAlign caption_align() const { return align_; }
  // Room kept clear between the button's edges and its caption (3 px left
  // and right unless set), for artwork with a glyph or badge beside the text.
  void set_caption_margins(const QMargins& margins);
  const QMargins& caption_margins() const { return margins_; }

  void set_selected(bool selected);
  bool selected() const { return selected_; }

  // The id hover_changed carries; the control id unless set.
  void set_hover_id(int id) { hover_id_ = id; }
  int hover_id() const { return hover_id_; }
  // The text status_hint carries.
  void set_hint(const QString& hint) { hint_ = hint; }
  const QString& hint() const { return hint_; }

  bool hovered() const { return hovered_; }
  // The picture state drawn now.
  SkinState state() const;

 signals:
  // kNotifyCommand: released over the button.
  void command(int control_id);
  // kNotifyHover: 1 the pointer entered, 0 it left.
  void hover_changed(int entered, int hover_id);
  // kNotifyStatusHint: the same change, for the main window's status line.
  void status_hint(int entered, const QString& hint);

 protected:
  // The part of the button that takes the pointer; all of it here.
  virtual bool inside(const QPoint& pos) const;

  bool hitButton(const QPoint& pos) const override;
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void changeEvent(QEvent* event) override;

  void set_hovered(bool hovered);

 private:
  int control_id_;
  int hover_id_;
  SkinCuts cuts_;
  QFont font_;
  QColor colours_[4];  // normal, over and pressed, selected, disabled
  CaptionAlign align_ = CaptionAlign::center;
  QMargins margins_;
  bool selected_ = false;
  bool hovered_ = false;
  QString hint_;
};

// Paints a caption into `box` the way the buttons do: shrinks the font to fit,
// then elides. Shared with the controls that carry captions too.
void paint_caption(QPainter& painter, const QRect& box, const QString& text, const QFont& font,
                   CBitmapBtn::CaptionAlign align);

}  // namespace mt
