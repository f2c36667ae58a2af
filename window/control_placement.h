#pragma once

#include <QLabel>

#include "window/edit.h"

namespace lobewright {

// The window's controls are placed as the classic form placed them: named, at fixed pixels.
template <class Control>
Control* place(Control* control, const char* name, int left, int top, int width, int height) {
  control->setObjectName(name);
  control->setGeometry(left, top, width, height);
  return control;
}

// Labels take the size of their caption, as the window's labels always have; only their
// position is fixed.
inline QLabel* label(QWidget* form, const char* name, int left, int top, const char* caption) {
  auto* control = place(new QLabel(caption, form), name, left, top, 0, 0);
  control->adjustSize();
  return control;
}

// The edits reach to just before the spinners' column, room enough for any MO number with its
// sign.
inline constexpr int kEditWidth = 46;

inline Edit* edit(QWidget* form, const char* name, int top, const char* text, int left = 88) {
  return place(new Edit(text, form), name, left, top, kEditWidth, 21);
}

}  // namespace lobewright
