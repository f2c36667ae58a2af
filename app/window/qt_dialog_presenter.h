#pragma once

#include "app/window/dialog_presenter.h"

namespace lobewright {

// Real Qt file dialogs and message boxes, modal over the active window.
class QtDialogPresenter : public DialogPresenter {
 public:
  bool execute(FileDialog& dialog) override;
  void show(const std::string& caption, const std::string& text) override;
};

}  // namespace lobewright
