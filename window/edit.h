#pragma once

#include <QLineEdit>

namespace lobewright {

// A single-line edit that also tells when focus has moved from it to another control. Focus
// that only leaves with the whole window (another application, a dialog) does not count.
class Edit : public QLineEdit {
  Q_OBJECT

 public:
  using QLineEdit::QLineEdit;

 signals:
  void exited();

 protected:
  void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace lobewright
