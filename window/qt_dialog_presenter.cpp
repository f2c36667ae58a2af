#include "window/qt_dialog_presenter.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace lobewright {
namespace {

// Qt reads the patterns from the parentheses at the end of a filter's text; ours usually
// carry them already ("POVray (*.pov)").
QString qtNameFilter(const FileFilter& filter) {
  const QString description = QString::fromStdString(filter.description);
  const QString pattern = QString::fromStdString(filter.pattern);
  if (description.endsWith("(" + pattern + ")")) return description;
  return description + " (" + pattern + ")";
}

}  // namespace

bool QtDialogPresenter::execute(FileDialog& dialog) {
  QStringList nameFilters;
  for (const FileFilter& filter : splitFilterList(dialog.filter)) {
    nameFilters << qtNameFilter(filter);
  }

  QFileDialog box(m_window);
  box.setAcceptMode(dialog.kind == FileDialogKind::save ? QFileDialog::AcceptSave
                                                        : QFileDialog::AcceptOpen);
  // Open dialogs take names of files that do not exist yet; the save dialog neither asks
  // before replacing a file nor adds an extension.
  box.setFileMode(QFileDialog::AnyFile);
  box.setOption(QFileDialog::DontConfirmOverwrite);
  box.setNameFilters(nameFilters);
  if (dialog.filterIndex >= 1 && dialog.filterIndex <= nameFilters.size()) {
    box.selectNameFilter(nameFilters[dialog.filterIndex - 1]);
  }
  box.selectFile(QFile::decodeName(dialog.fileName.c_str()));
  if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return false;

  dialog.fileName = QFile::encodeName(box.selectedFiles().constFirst()).toStdString();
  const qsizetype selected = nameFilters.indexOf(box.selectedNameFilter());
  if (selected >= 0) dialog.filterIndex = static_cast<int>(selected) + 1;
  return true;
}

void QtDialogPresenter::show(const std::string& caption, const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                  QString::fromStdString(text), QMessageBox::Ok, m_window);
  box.exec();
}

}  // namespace lobewright
