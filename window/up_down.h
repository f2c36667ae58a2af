#pragma once

#include <QWidget>

class QToolButton;

namespace lobewright {

enum class UpDownButton { next, previous };

// A pair of arrow buttons holding a position in a range, stepping by 1 without wrapping at the
// ends. It is tied to no field: whoever listens to clicked() copies the position over.
class UpDown : public QWidget {
  Q_OBJECT

 public:
  explicit UpDown(QWidget* parent = nullptr);

  void setRange(int minimum, int maximum);
  void setPosition(int position);  // kept within the range
  [[nodiscard]] int minimum() const { return m_minimum; }
  [[nodiscard]] int maximum() const { return m_maximum; }
  [[nodiscard]] int position() const { return m_position; }

  // What pressing an arrow does: one step within the range, then clicked(), also at an end.
  void click(UpDownButton button);

 signals:
  void clicked(lobewright::UpDownButton button);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QToolButton* m_nextArrow;
  QToolButton* m_previousArrow;
  int m_minimum = 0;
  int m_maximum = 100;
  int m_position = 0;
};

}  // namespace lobewright
