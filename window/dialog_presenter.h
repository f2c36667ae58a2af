#pragma once

#include "app/messages.h"
#include "window/file_dialog.h"

namespace lobewright {

// Everything the window asks of the user goes through here: file dialogs, message boxes (show(),
// modal, one OK button, no icon) and questions. The application shows real Qt dialogs; tests
// answer in advance and keep what was said.
class DialogPresenter : public MessageSink {
 public:
  // Shows the dialog modally, starting at its file name and selected filter. When the user
  // confirms, both are updated and the result is true; a cancel leaves the dialog as it was.
  virtual bool execute(FileDialog& dialog) = 0;
  // Asks a question with Yes and No, No the default; true for Yes.
  virtual bool ask(const std::string& caption, const std::string& question) = 0;
};

}  // namespace lobewright
