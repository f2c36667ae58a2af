#pragma once

#include <QLineEdit>
#include <string>

namespace lobewright {

// A single-line edit that also tells when focus has moved from it to another control. Focus
// that only leaves with the whole window (another application, a dialog) does not count.
class Edit : public QLineEdit {
  Q_OBJECT

 public:
  using QLineEdit::QLineEdit;

  // The text as UTF-8, as the settings read and write it.
  [[nodiscard]] std::string utf8Text() const { return text().toStdString(); }
  void setUtf8Text(const std::string& utf8) { setText(QString::fromStdString(utf8)); }

 signals:
  void exited();

 protected:
  void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace lobewright
