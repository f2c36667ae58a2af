#pragma once

#include <QPointer>
#include <QWidget>

#include "window/dialog_presenter.h"

namespace lobewright {

// Real Qt file dialogs and message boxes, modal over the window and centred on it. Before there
// is a window (or after it is gone) they stand alone, centred on the screen.
class QtDialogPresenter : public DialogPresenter {
 public:
  void setWindow(QWidget* window) { m_window = window; }

  bool execute(FileDialog& dialog) override;
  void show(const std::string& caption, const std::string& text) override;
  bool ask(const std::string& caption, const std::string& question) override;

 private:
  QPointer<QWidget> m_window;
};

}  // namespace lobewright
