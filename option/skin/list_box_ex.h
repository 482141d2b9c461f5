// CListBoxEx: the owner-drawn list of the macro manager: black rows, white
// text, the selected row in RGB(255,10,10), an icon in front of each row, a
// 32-bit item value per row, and in-place editing of one row.
//
// Item values: the low 16 bits name the row's icon (set_icon() gives the
// pictures; an id without a picture draws none), the rest is the owner's.
//
// In-place editing (begin_edit): an edit over the row, in the list's font,
// limited to the given number of characters (optionally digits only), filled
// with the row's text and all selected.
//   Enter        the row takes the text and edit_committed(row, id) is sent
//                (once the editor has closed, so the owner may change the list);
//   Escape       the edit is dropped;
//   losing focus ends the edit as Enter does, so typed text is never lost;
//   an empty text, or Escape, on a row added for this edit removes the row;
//   an edit that ends without a commit sends edit_cancelled(row, id) instead.
//
// Muted rows (set_row_muted) draw their text in the disabled grey with a red
// mark at the left edge: the owner's way of saying "this row does not count".
//
// Notifications to the owner:
//   edit_committed(row, id)    kNotifyListEditCommitted
//   edit_cancelled(row, id)    Escape, or an empty new row (which is gone by then)
//   right_button(id)           kNotifyListRightButton (the selection stays)
//   selection_changed(row, id) the user picked another row (by mouse or keys;
//                              rows selected by the program do not notify)
//
//   auto* macros = new CListBoxEx(dialog, 4096);
//   const int row = macros->add_row(QString(), 0);
//   macros->begin_edit(row, 15, CListBoxEx::kNewRow);
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QListWidget>
#include <QString>

#include <cstdint>
#include <map>

#include "option/skin/control_notifications.h"

namespace mt {

class CListBoxEx : public QListWidget {
  Q_OBJECT

 public:
  enum EditFlags {
    kNewRow = 1,      // the row was added for this edit: an empty or dropped edit removes it
    kDigitsOnly = 2,  // only 0-9 may be typed or pasted
  };

  CListBoxEx(QWidget* parent, int control_id);
  ~CListBoxEx() override;

  int control_id() const { return control_id_; }

  void set_list_font(const QFont& font);
  void set_icon(int icon_id, const QImage& picture);

  // Rows. Indexes out of range are ignored (text "" and value 0 when read).
  int add_row(const QString& text, uint32_t item_value);
  int insert_row(int row, const QString& text, uint32_t item_value);
  void remove_row(int row);
  void clear_rows();
  int row_count() const { return count(); }
  QString row_text(int row) const;
  void set_row_text(int row, const QString& text);
  uint32_t row_value(int row) const;
  void set_row_value(int row, uint32_t item_value);
  void set_row_muted(int row, bool muted);
  bool row_muted(int row) const;

  // The selected row, -1 for none. select_row(-1) clears the selection; the
  // row is scrolled into view. Neither notifies.
  int selected_row() const;
  void select_row(int row);
  // The first row after `after` (wrapping round; -1 searches from the top)
  // whose text starts with `prefix`, compared case-insensitively; -1 if none.
  int find_prefix(const QString& prefix, int after = -1) const;

  // Starts the in-place edit of a row (ending one that is open, as Enter would).
  void begin_edit(int row, int max_chars, int flags = 0);
  bool editing() const { return editor_ != nullptr; }
  int editing_row() const { return edit_row_; }
  // Ends the open edit: `commit` as Enter, otherwise as Escape.
  void end_edit(bool commit);

 signals:
  // kNotifyListEditCommitted.
  void edit_committed(int row, int control_id);
  // The edit ended without a commit (the row it was on, before any removal).
  void edit_cancelled(int row, int control_id);
  // kNotifyListRightButton.
  void right_button(int control_id);
  void selection_changed(int row, int control_id);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  class Delegate;
  class Editor;
  friend class Delegate;
  void place_editor();
  // Closes the editor without touching any row.
  void drop_editor();

  int control_id_;
  bool programmatic_ = false;
  std::map<int, QImage> icons_;
  Editor* editor_ = nullptr;
  int edit_row_ = -1;
  int edit_flags_ = 0;
};

}  // namespace mt
