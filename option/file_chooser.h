// The two FileChoosers (option_host.h): the program's, a QFileDialog shaped by
// the request, and the tests', which answers from a script and keeps the
// requests it was given.
//
//   ScriptedFileChooser files;
//   files.answer("/tmp/in.gmp").cancel();
//   dlg.import_profile();   // gets "/tmp/in.gmp"
//   dlg.export_profile();   // cancelled
//   EXPECT_EQ(files.requests()[0].kind, FileDialogRequest::Kind::open);
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "option/option_host.h"

class QWidget;

namespace mt {

class QtFileChooser final : public FileChooser {
 public:
  // `parent`: the window the dialog belongs to (may be null).
  explicit QtFileChooser(QWidget* parent = nullptr) : parent_(parent) {}
  void set_parent(QWidget* parent) { parent_ = parent; }
  std::optional<std::string> choose(const FileDialogRequest& request) override;

  // "Gaming Mouse Profile(*.gmp)" with {"*.gmp", "*.GMP"} as a Qt name filter:
  // "Gaming Mouse Profile (*.gmp *.GMP)".
  static std::string name_filter(const FileDialogRequest::Filter& filter);

 private:
  QWidget* parent_;
};

class ScriptedFileChooser final : public FileChooser {
 public:
  ScriptedFileChooser& answer(std::string path);
  ScriptedFileChooser& cancel();

  // The next answer; nothing (cancelled) once the script is used up.
  std::optional<std::string> choose(const FileDialogRequest& request) override;

  const std::vector<FileDialogRequest>& requests() const { return requests_; }

 private:
  std::deque<std::optional<std::string>> answers_;
  std::vector<FileDialogRequest> requests_;
};

}  // namespace mt
