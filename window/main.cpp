#include <QApplication>
#include <QFile>
#include <QStringList>
#include <cstdlib>
#include <exception>

#include "window/form1.h"
#include "window/qt_dialog_presenter.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationDisplayName(lobewright::kApplicationTitle);
  lobewright::QtDialogPresenter dialogs;
  // The handlers show their own exceptions; one that escapes start-up or the event loop is
  // shown the same way, and then the program ends.
  try {
    lobewright::TForm1 Form1(dialogs);
    dialogs.setWindow(&Form1);
    Form1.show();
    // lobewright [INPUT]: the window opens with the input chosen.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) Form1.openInput(QFile::encodeName(arguments[1]).toStdString());
    return QApplication::exec();
  } catch (const std::exception& error) {
    dialogs.show(lobewright::kApplicationTitle, error.what());
  } catch (...) {
    dialogs.show(lobewright::kApplicationTitle, lobewright::kUnexpectedErrorMessage);
  }
  return EXIT_FAILURE;
}
