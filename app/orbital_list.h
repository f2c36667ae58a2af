#pragma once

#include <string>
#include <vector>

#include "app/conversion_request.h"
#include "input/calculation.h"

namespace lobewright {

// One MO as the list of a file's orbitals shows it.
struct OrbitalRow {
  int number = 0;
  Spin spin = Spin::none;
  double occupancy = 0.0;
  double energy = 0.0;   // eV
  std::string symmetry;  // empty when the file gives none
  std::string frontier;  // "HOMO", "LUMO" or empty
};

// Every MO the calculation holds, in file order, the HOMO and LUMO of each spin set marked.
[[nodiscard]] std::vector<OrbitalRow> orbitalRows(const Calculation& calculation);

// The MOs of the request's input, whatever its kind and the model asked for; on failure `error`
// holds the message.
struct OrbitalListing {
  std::vector<OrbitalRow> rows;
  std::string error;
};
[[nodiscard]] OrbitalListing listOrbitals(const ConversionRequest& request);

// The list as text: a line starting with "#" that names the columns, then a line per MO with its
// number, spin (alpha, beta or -), occupancy, energy in eV, symmetry label (or -) and HOMO or
// LUMO (or -), separated by spaces.
[[nodiscard]] std::string orbitalListText(const std::vector<OrbitalRow>& rows);

}  // namespace lobewright
