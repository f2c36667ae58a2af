#include "window/up_down.h"

#include <QKeyEvent>
#include <QToolButton>
#include <algorithm>

namespace lobewright {
namespace {

QToolButton* arrowButton(Qt::ArrowType arrow, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setArrowType(arrow);
  button->setFocusPolicy(Qt::NoFocus);
  button->setAutoRepeat(true);
  return button;
}

}  // namespace

UpDown::UpDown(QWidget* parent)
    : QWidget(parent),
      m_nextArrow(arrowButton(Qt::UpArrow, this)),
      m_previousArrow(arrowButton(Qt::DownArrow, this)) {
  setFocusPolicy(Qt::StrongFocus);
  connect(m_nextArrow, &QToolButton::clicked, this, [this] { click(UpDownButton::next); });
  connect(m_previousArrow, &QToolButton::clicked, this, [this] { click(UpDownButton::previous); });
}

void UpDown::setRange(int minimum, int maximum) {
  m_minimum = minimum;
  m_maximum = std::max(minimum, maximum);
  setPosition(m_position);
}

void UpDown::setPosition(int position) { m_position = std::clamp(position, m_minimum, m_maximum); }

void UpDown::click(UpDownButton button) {
  const int step = button == UpDownButton::next ? 1 : -1;
  setPosition(m_position + step);
  emit clicked(button);
}

void UpDown::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Up) {
    click(UpDownButton::next);
  } else if (event->key() == Qt::Key_Down) {
    click(UpDownButton::previous);
  } else {
    QWidget::keyPressEvent(event);
  }
}

void UpDown::resizeEvent(QResizeEvent* event) {
  const int upperHeight = height() / 2;
  m_nextArrow->setGeometry(0, 0, width(), upperHeight);
  m_previousArrow->setGeometry(0, upperHeight, width(), height() - upperHeight);
  QWidget::resizeEvent(event);
}

}  // namespace lobewright
