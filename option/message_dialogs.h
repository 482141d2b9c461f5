// The warning and confirmation dialogs: one look, one layout, a title and a
// message painted by the dialog, and skinned buttons.
//
//   class              title  message  opened by                        result used
//   CDeleteMacroWarn   250    276      macro manager, delete a macro     OK deletes
//   CWarnMacroSet      250    275      macro manager, no current macro   ignored
//   CWarnClickDlg      250    251      button page, last left click      ignored
//   CDlgRestore        801    802      main window, restore defaults     OK restores
//   CWarnImportDlg     250    117      main window, import refused       ignored
//   CWarnExportDlg     250    118      main window, export not written   ignored
//
// The last two are this system's own: a profile file that cannot be imported
// and an export that could not be written are said, not passed over.
//
// Skin: "skin_Restore.ini", section BUTTONINFO; shape "restore_mask.bmp";
// pictures "restore_normal.jpg" (also disabled), "restore_over.jpg",
// "restore_down.jpg". Buttons by key: "1" confirm (text 803) -> OK, "2" cancel
// (804) -> Cancel, "3" close (no caption) -> Cancel; CDlgRestore also "4", a
// second confirm (805) -> OK. CDlgRestore records which confirm closed it
// (1 or 2); the main window acts on the result only.
//
// Texts in RGB(190,190,190): the title in Arial 24 px and the message in
// Arial 18 px, each word-wrapped, centred across its box and down it when it
// is shorter than the box (layout::kDialogTitle, layout::kDialogMessage).
//
// Enter and Escape do nothing; only the buttons close the dialog. When the
// skin places none of the dialog's buttons (no description file, or keys
// without rectangles) the buttons take a built-in layout, so the dialog can
// always be closed; without pictures the close button shows a cross.
//
//   CDeleteMacroWarn warn(this, host.skin(), host.language());
//   if (host.dialogs().run(warn) == CSkinDialog::kResultOk) delete_macro();
#pragma once

#include <QString>

#include <array>

#include "option/skin/skinned_window.h"

namespace mt {

class CBitmapBtn;
class LanguageModule;
class SkinFolder;

class CMessageDlg : public CSkinDialog {
  Q_OBJECT

 public:
  enum ButtonKey { kConfirm = 1, kCancel = 2, kClose = 3, kSecondConfirm = 4 };
  // The window's size while the skin has no pictures (restore_mask.bmp's).
  static constexpr int kFallbackWidth = 444;
  static constexpr int kFallbackHeight = 260;

  CMessageDlg(QWidget* parent, SkinFolder& skin, const LanguageModule& language, int title_id, int message_id,
              bool second_confirm);

  const QString& title_text() const { return title_; }
  const QString& message_text() const { return message_; }
  // The button of a key (1..4); null for a key this dialog does not have.
  CBitmapBtn* button(int key) const;

 protected:
  void paint_surface(QPainter& painter) override;
  virtual void on_button(int key);

 private:
  QString title_;
  QString message_;
  std::array<CBitmapBtn*, 4> buttons_{};
};

class CDeleteMacroWarn : public CMessageDlg {
  Q_OBJECT

 public:
  CDeleteMacroWarn(QWidget* parent, SkinFolder& skin, const LanguageModule& language);
};

class CWarnMacroSet : public CMessageDlg {
  Q_OBJECT

 public:
  CWarnMacroSet(QWidget* parent, SkinFolder& skin, const LanguageModule& language);
};

class CWarnClickDlg : public CMessageDlg {
  Q_OBJECT

 public:
  CWarnClickDlg(QWidget* parent, SkinFolder& skin, const LanguageModule& language);
};

class CWarnImportDlg : public CMessageDlg {
  Q_OBJECT

 public:
  CWarnImportDlg(QWidget* parent, SkinFolder& skin, const LanguageModule& language);
};

class CWarnExportDlg : public CMessageDlg {
  Q_OBJECT

 public:
  CWarnExportDlg(QWidget* parent, SkinFolder& skin, const LanguageModule& language);
};

class CDlgRestore : public CMessageDlg {
  Q_OBJECT

 public:
  CDlgRestore(QWidget* parent, SkinFolder& skin, const LanguageModule& language);

  // 1 or 2: the confirm button that closed the dialog; 0 before or on Cancel.
  int choice() const { return choice_; }

 protected:
  void on_button(int key) override;

 private:
  int choice_ = 0;
};

}  // namespace mt
