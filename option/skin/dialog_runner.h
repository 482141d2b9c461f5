// The two DialogRunners (option_host.h): the program's, which runs a dialog
// modally with exec(), and the tests', which answers from a script so that a
// page rule ("shows the warning and changes nothing") runs offscreen without
// anyone pressing a button.
//
//   ScriptedDialogRunner dialogs;
//   dialogs.answer(CSkinDialog::kResultCancel)
//          .then([](QDialog& d) { press_button(d, 1); return ScriptedDialogRunner::kDialogsOwnResult; });
//   page.choose(...);                       // runs two dialogs
//   EXPECT_EQ(dialogs.shown(), (std::vector<std::string>{"mt::CWarnClickDlg", "mt::CDlgRestore"}));
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "option/option_host.h"

namespace mt {

class ExecDialogRunner final : public DialogRunner {
 public:
  // exec()'s result; a dialog closed any other way counts as Cancel (2).
  int run(QDialog& dialog) override;
};

class ScriptedDialogRunner final : public DialogRunner {
 public:
  // A step acts on the dialog (shown, not modal) and returns the result, or
  // kDialogsOwnResult for the one the dialog closed itself with.
  using Step = std::function<int(QDialog&)>;
  static constexpr int kDialogsOwnResult = -1;

  ScriptedDialogRunner& answer(int result);
  ScriptedDialogRunner& then(Step step);

  // The next step's result; Cancel (2) once the script is used up.
  int run(QDialog& dialog) override;

  // The class names of the dialogs run so far, in order ("mt::CWarnClickDlg").
  const std::vector<std::string>& shown() const { return shown_; }
  std::size_t steps_left() const { return steps_.size(); }

 private:
  struct Entry {
    int result = 0;
    Step step;
  };
  std::deque<Entry> steps_;
  std::vector<std::string> shown_;
};

}  // namespace mt
