#pragma once

#include <QTreeWidget>
#include <vector>

#include "app/orbital_list.h"

namespace lobewright {

// The input's MOs, a row each: number (with α or β for the two spin sets of a UHF run),
// energy in eV ("?" when unknown, the reason in its tooltip), occupancy, symmetry label and the
// marks: HOMO, LUMO, SOMO, LMO.
class OrbitalTable : public QTreeWidget {
  Q_OBJECT

 public:
  explicit OrbitalTable(QWidget* parent = nullptr);

  // Replaces the rows and scrolls the first HOMO into view; the listing's note goes to the
  // energies' tooltips.
  void setRows(const OrbitalListing& listing);
  [[nodiscard]] const std::vector<OrbitalRow>& rows() const { return m_rows; }
  [[nodiscard]] bool hasBetaRows() const;
  // Makes the MO's row (of the spin set, in a UHF list) the current one, without picking it;
  // no row is current when the list does not hold the MO.
  void showOrbital(int number, Spin spin);

 signals:
  // The user chose the row: by a click, or by moving to it with the keys.
  void picked(const OrbitalRow& row);

 private:
  std::vector<OrbitalRow> m_rows;
};

}  // namespace lobewright
