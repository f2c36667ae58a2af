#include "window/qt_dialog_presenter.h"

#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
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

// A message box is as narrow as its text, and its title bar then cuts the caption short: the box
// is kept wide enough for the caption and the title bar's buttons.
constexpr int kTitleBarButtonsRoom = 120;

void keepTitleWhole(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  QFont titleFont = box.font();
  titleFont.setBold(true);
  const int width =
      QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarButtonsRoom;
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                grid->rowCount(), 0, 1, grid->columnCount());
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
  keepTitleWhole(box);
  box.exec();
}

bool QtDialogPresenter::ask(const std::string& caption, const std::string& question) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                  QString::fromStdString(question), QMessageBox::Yes | QMessageBox::No, m_window);
  box.setDefaultButton(QMessageBox::No);
  keepTitleWhole(box);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace lobewright
