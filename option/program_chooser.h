// CDlgProgSel: the dialog in which the user picks the program a mouse button
// starts. A path field, a browse button (the desktop's file dialog through
// the host's FileChooser), confirm and cancel.
//
// Skin: "skin_ProgSel.ini" [BUTTONINFO], shape "restore_mask.bmp", pictures
// "lanuch_program_normal.JPG" (also disabled), "_over.JPG", "_down.JPG".
// Keys: 1 close, 2 browse, 3 confirm (263), 4 cancel (264). The path field is
// the window's own, at layout::kChooserPathField; title 261, label 262.
//
// - The field never holds more than kMaxPathUnits UTF-16 units, the most a
//   button record keeps: typing past it is refused, and so is a paste or a
//   browsed file that would not fit whole (a cut path names another file).
// - Enter confirms and Escape cancels from anywhere in the dialog, the field
//   included; both are taken (pressed and released, with Alt too) before the
//   field sees them.
// - The path is not checked: Monitor finds out when it starts it. Programs
//   here have no ".exe", so the file dialog offers the designed filter and one
//   for every file.
//
//   CDlgProgSel dlg(this, host.skin(), host.language(), host.files(), plan.program_path);
//   if (host.dialogs().run(dlg) == CSkinDialog::kResultOk) outcome.program_path = dlg.path();
#pragma once

#include <QString>

#include <array>
#include <string>

#include "option/skin/skinned_window.h"

class QLineEdit;

namespace mt {

class CBitmapBtn;
class FileChooser;
class LanguageModule;
class SkinFolder;
struct FileDialogRequest;

class CDlgProgSel : public CSkinDialog {
  Q_OBJECT

 public:
  enum Key { kClose = 1, kBrowse = 2, kConfirm = 3, kCancel = 4 };
  static constexpr int kMaxPathUnits = 259;

  CDlgProgSel(QWidget* parent, SkinFolder& skin, const LanguageModule& language, FileChooser& files,
              const std::u16string& path);

  // The field's text: what OK hands to the caller.
  std::u16string path() const;
  QLineEdit* path_field() const { return field_; }
  CBitmapBtn* button(int key) const;

  // The file dialog the browse button asks for, from the field's text.
  FileDialogRequest browse_request() const;

 protected:
  void paint_surface(QPainter& painter) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void browse();
  bool take_key(QKeyEvent* event);

  FileChooser& files_;
  QString title_;
  QString label_;
  QString all_files_;
  QLineEdit* field_;
  std::array<CBitmapBtn*, 4> buttons_{};
};

}  // namespace mt
