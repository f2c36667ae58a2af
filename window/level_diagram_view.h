#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "app/orbital_list.h"
#include "writers/level_diagram.h"
#include "writers/level_diagram_layout.h"

namespace lobewright {

// The input's MO energy-level diagram in a narrow strip, laid out as the converter's --diagram
// lays it out but without title, axis and labels other than the energies: HOMO-5 to LUMO+5 of
// each spin set. A click on a level (or its energy) picks that MO; the MO chosen is marked.
class LevelDiagramView : public QWidget {
  Q_OBJECT

 public:
  explicit LevelDiagramView(QWidget* parent = nullptr);

  // Draws the diagram of the rows; none when they cannot make one.
  void setRows(const std::vector<OrbitalRow>& rows);
  // Marks the MO of the spin set (of the only set, in a restricted file); no level is marked when
  // the diagram does not show it.
  void showOrbital(int number, Spin spin);
  [[nodiscard]] bool hasDiagram() const { return m_diagram.has_value(); }
  // Where the MO's level lies in the widget, for a click; nothing when it is not shown.
  [[nodiscard]] std::optional<QPoint> pointOf(int number, Spin spin) const;

 signals:
  void picked(const OrbitalRow& row);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void layOut();
  [[nodiscard]] std::optional<DiagramPlace> placeOf(int number, Spin spin) const;

  std::vector<OrbitalRow> m_rows;
  std::optional<LevelDiagram> m_diagram;
  DiagramLayout m_layout;
  int m_number = 0;
  Spin m_spin = Spin::none;
};

}  // namespace lobewright
