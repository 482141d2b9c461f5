// The numeric spins: an edit with up and down buttons.
//
// CSpinWnd holds a value in a range and shows it as "%d". The up and down
// arrows take the rightmost 20 pixels (13 on a spin narrower than 70), where
// the skin draws them; the field's text is set small enough that the longest
// value of the range is seen whole.
// - The up and down buttons (held: repeating) and the Up and Down keys move
//   it by the step and stop at the range's ends.
// - Typing: each change that makes the text a number inside the range takes
//   it at once; Enter or leaving the field settles the text: a number outside
//   the range becomes its nearest end, a field without a number shows the
//   value again.
// Every change by the user sends value_changed(value, id) once; set_value()
// from the program does not.
//
// CSpecialSpinWnd holds a sensitivity level code 1..12 and shows its CPI
// ("250" ... "2000", "2500" ... "4000"). A typed CPI is taken when settled
// (Enter or leaving the field), snapped to the nearest code, and the field
// shows that code's CPI.
//
//   auto* cpi = new CSpecialSpinWnd(page, 405);
//   cpi->set_range(1, 12);
//   connect(cpi, &CSpinWnd::value_changed, page, &CDlgPagePerfer::on_spin);
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include "option/skin/control_notifications.h"
#include "option/skin/skin_folder.h"

namespace mt {

class CBmpEdit;

class CSpinWnd : public QWidget {
  Q_OBJECT

 public:
  CSpinWnd(QWidget* parent, int control_id);

  int control_id() const { return control_id_; }

  void set_pictures(const SkinCuts& cuts);
  // min > max is taken as max..min; the value is kept inside.
  void set_range(int min, int max);
  int minimum() const { return min_; }
  int maximum() const { return max_; }
  void set_step(int step) { step_ = step > 0 ? step : 1; }
  int step() const { return step_; }
  // Shows the value (kept inside the range); no notification.
  void set_value(int value);
  int value() const { return value_; }

  // The field, for its font and colours.
  CBmpEdit* edit() const { return edit_; }

  // The text shown for a value.
  virtual QString text_of(int value) const;

 signals:
  // kNotifySpinValue.
  void value_changed(int value, int control_id);

 protected:
  // The text as typed so far; `settled` on Enter or leaving the field.
  virtual void take_typed(const QString& text, bool settled);
  // The longest text the field takes.
  virtual int text_limit() const;

  // A change by the user: store, show, notify when it changed.
  void change_by_user(int value);
  void show_value();

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class Arrow;
  void layout_parts();

  int control_id_;
  int min_ = 0;
  int max_ = 100;
  int step_ = 1;
  int value_ = 0;
  bool hovered_ = false;
  SkinCuts cuts_;
  CBmpEdit* edit_;
  Arrow* up_;
  Arrow* down_;
};

class CSpecialSpinWnd : public CSpinWnd {
  Q_OBJECT

 public:
  CSpecialSpinWnd(QWidget* parent, int control_id);

  QString text_of(int value) const override;

 protected:
  void take_typed(const QString& text, bool settled) override;
  int text_limit() const override;
};

}  // namespace mt
