#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>
#include <string>

#include "support/recording_sink.h"
#include "window/edit.h"
#include "window/form1.h"
#include "window/scripted_dialogs.h"

namespace lobewright::testing {

// The file dialogs' filters the tests pick: POV-Ray scenes and glTF meshes.
inline constexpr int kPovRayFilter = 1;
inline constexpr int kGltfFilter = 4;

// A fresh main window per test, shown on the offscreen display, with scripted dialogs.
class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TForm1>(dialogs);
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }

  // Types into a field key by key, replacing what it held, as the user selecting it all first.
  static void type(Edit* field, const std::string& text) {
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, QString::fromStdString(text));
  }

  // Gives the field focus, then tabs away from it.
  static void leave(Edit* field) {
    field->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(field->hasFocus());
    QTest::keyClick(field, Qt::Key_Tab);
    ASSERT_FALSE(field->hasFocus());
  }

  static std::string textOf(const Edit* field) { return field->text().toStdString(); }

  // Runs the event loop until the window's command has ended, looking every millisecond.
  void waitUntilIdle() {
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
      if (!form->busy()) loop.quit();
    });
    look.start(1);
    QTimer::singleShot(kLongestRunMs, &loop, &QEventLoop::quit);
    if (form->busy()) loop.exec();
    ASSERT_FALSE(form->busy()) << "the command is still running";
  }

  void clickAndWait(QAbstractButton* button) {
    button->click();
    waitUntilIdle();
  }

  static constexpr int kLongestRunMs = 120'000;

  ScriptedDialogs dialogs;
  std::unique_ptr<TForm1> form;
};

}  // namespace lobewright::testing
