#include "option/file_chooser.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace mt {

std::string QtFileChooser::name_filter(const FileDialogRequest::Filter& filter) {
  // The design's filter names carry their own pattern, "Name(*.gmp)"; Qt
  // reads the patterns from the last parentheses, so they are given there.
  std::string name = filter.name;
  const std::size_t open = name.rfind('(');
  if (open != std::string::npos && name.back() == ')') name.erase(open);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  std::string patterns;
  for (const std::string& p : filter.patterns) {
    if (!patterns.empty()) patterns += ' ';
    patterns += p;
  }
  return name + " (" + patterns + ")";
}

std::optional<std::string> QtFileChooser::choose(const FileDialogRequest& request) {
  QFileDialog dialog(parent_);
  const bool save = request.kind == FileDialogRequest::Kind::save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.must_exist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirm_overwrite);
  QStringList filters;
  for (const FileDialogRequest::Filter& f : request.filters) filters << QString::fromStdString(name_filter(f));
  dialog.setNameFilters(filters);
  if (request.selected_filter < std::size_t(filters.size())) dialog.selectNameFilter(filters[request.selected_filter]);
  if (!request.default_suffix.empty()) dialog.setDefaultSuffix(QString::fromStdString(request.default_suffix));
  // The initial path is a folder and a file name ("<folder>config/.gmp").
  const QFileInfo initial(QString::fromStdString(request.initial_path));
  dialog.setDirectory(initial.absolutePath());
  if (!initial.fileName().isEmpty()) dialog.selectFile(initial.fileName());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  return QFile::encodeName(chosen.front()).toStdString();
}

ScriptedFileChooser& ScriptedFileChooser::answer(std::string path) {
  answers_.emplace_back(std::move(path));
  return *this;
}

ScriptedFileChooser& ScriptedFileChooser::cancel() {
  answers_.emplace_back(std::nullopt);
  return *this;
}

std::optional<std::string> ScriptedFileChooser::choose(const FileDialogRequest& request) {
  requests_.push_back(request);
  if (answers_.empty()) return std::nullopt;
  std::optional<std::string> a = std::move(answers_.front());
  answers_.pop_front();
  return a;
}

}  // namespace mt
