#pragma once

#include <QPoint>
#include <QWidget>
#include <memory>

#include "app/written_scene.h"
#include "window/preview_raster.h"
#include "writers/ball_and_stick.h"

namespace lobewright {

// A surface and its molecule, drawn in software so that it works on any display (the offscreen
// one of the tests included). A drag with the left button turns the scene, the wheel zooms, a
// double click brings back the first view.
class PreviewWidget : public QWidget {
  Q_OBJECT

 public:
  explicit PreviewWidget(QWidget* parent = nullptr);

  // Shows the scene, with its balls and sticks when `structure` is set. `first` is the view a
  // double click brings back; the view starts there when `fromFirstView` is set, and otherwise
  // stays as the user turned it, so that one MO after another is seen from the same side.
  void setScene(std::shared_ptr<const WrittenScene> scene, bool structure,
                const PreviewView& first = {}, bool fromFirstView = true);
  // Shows nothing but the hint.
  void clear();
  void setStructureShown(bool structure);
  void setColours(const LobeColours& colours);
  [[nodiscard]] bool hasScene() const { return m_scene != nullptr; }
  [[nodiscard]] const WrittenScene* scene() const { return m_scene.get(); }
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
  LobeColours m_colours;
  PreviewView m_firstView;
  PreviewView m_view;
  QPoint m_lastDrag;
};

}  // namespace lobewright
