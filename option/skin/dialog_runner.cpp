#include "option/skin/dialog_runner.h"

#include <QCoreApplication>
#include <QDialog>

#include "option/skin/skinned_window.h"

namespace mt {

int ExecDialogRunner::run(QDialog& dialog) {
  const int result = dialog.exec();
  return result == 0 ? CSkinDialog::kResultCancel : result;
}

ScriptedDialogRunner& ScriptedDialogRunner::answer(int result) {
  steps_.push_back(Entry{result, nullptr});
  return *this;
}

ScriptedDialogRunner& ScriptedDialogRunner::then(Step step) {
  steps_.push_back(Entry{0, std::move(step)});
  return *this;
}

int ScriptedDialogRunner::run(QDialog& dialog) {
  shown_.push_back(dialog.metaObject()->className());
  if (steps_.empty()) return CSkinDialog::kResultCancel;
  Entry e = std::move(steps_.front());
  steps_.pop_front();
  if (!e.step) return e.result;
  dialog.setResult(0);
  dialog.show();
  QCoreApplication::processEvents();
  int result = e.step(dialog);
  if (result == kDialogsOwnResult) result = dialog.result() == 0 ? CSkinDialog::kResultCancel : dialog.result();
  dialog.hide();
  return result;
}

}  // namespace mt
