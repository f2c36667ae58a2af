#pragma once

#include <QPoint>
#include <QWidget>
#include <memory>

#include "window/preview_raster.h"
#include "app/written_scene.h"
#include "writers/ball_and_stick.h"

namespace lobewright {

// The last surface written and its molecule, drawn in software so that it works on any display
// (the offscreen one of the tests included). A drag with the left button turns the scene, the
// wheel zooms, a double click brings back the first view.
class PreviewWidget : public QWidget {
  Q_OBJECT

 public:
  explicit PreviewWidget(QWidget* parent = nullptr);

  // Shows the scene, with its balls and sticks when `structure` is set, from the first view.
  void setScene(std::shared_ptr<const WrittenScene> scene, bool structure);
  [[nodiscard]] bool hasScene() const { return m_scene != nullptr; }
  [[nodiscard]] const PreviewView& view() const { return m_view; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  std::shared_ptr<const WrittenScene> m_scene;
  BallAndStickModel m_structure;
  PreviewView m_view;
  QPoint m_lastDrag;
};

}  // namespace lobewright
