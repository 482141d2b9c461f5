// CBmpEdit: the numeric edit on a picture background. It takes only the
// characters "0123456789,." - typed, pasted or dropped; anything else in a
// paste is left out and the rest goes in. It tells its owner:
//   edit_notify(13, id)  the Enter key was released in it
//   edit_notify(1, id)   the user changed the text (typing, paste, delete);
//                        text set by the program does not notify
//   kill_focus(id)       it lost the keyboard focus
//
// The key dialogs use the same control to show a key's name ("Left Ctrl"):
// set_display_only(true) takes any text, set by the program only, white on
// black and centred unless set otherwise.
//
//   auto* repeat = new CBmpEdit(dialog, 4010);
//   repeat->setMaxLength(3);
//   connect(repeat, &CBmpEdit::kill_focus, dialog, &CMacroManager::on_repeat_edited);
#pragma once

#include <QColor>
#include <QImage>
#include <QLineEdit>
#include <QString>

#include "option/skin/control_notifications.h"

namespace mt {

// What the numeric filter keeps of a text: its characters of "0123456789,.".
QString numeric_edit_filter(const QString& text);

class CBmpEdit : public QLineEdit {
  Q_OBJECT

 public:
  static constexpr char kAcceptedCharacters[] = "0123456789,.";

  CBmpEdit(QWidget* parent, int control_id);

  int control_id() const { return control_id_; }

  // The picture behind the text (a cut of the window's picture); without one
  // the edit fills itself with its back colour.
  void set_background(const QImage& cut);
  void set_colors(const QColor& text, const QColor& back);
  void set_text_font(const QString& face, int pixel_height, int weight = 400);

  // Any text, read-only, for showing a key's name.
  void set_display_only(bool on);
  bool display_only() const { return display_only_; }

 signals:
  // kNotifyBitmapEdit with kBitmapEditEnterReleased or kBitmapEditChanged.
  void edit_notify(int code, int control_id);
  // kBitmapEditKillFocus.
  void kill_focus(int control_id);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  int control_id_;
  bool display_only_ = false;
  QImage background_;
  QColor back_;
  class Filter;
  Filter* filter_;
};

}  // namespace mt
