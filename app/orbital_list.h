#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/conversion_request.h"
#include "input/calculation.h"

namespace lobewright {

// One MO as the list of a file's orbitals shows it.
struct OrbitalRow {
  int number = 0;  // MOPAC's
  Spin spin = Spin::none;
  double occupancy = 0.0;
  std::optional<double> energy;  // eV; empty when the file's value cannot be trusted
  std::string symmetry;          // empty when the file gives none
  std::string frontier;          // "HOMO", "LUMO" or empty
  bool singlyOccupied = false;   // a SOMO: one electron, of an open shell
  bool localized = false;        // one of MOZYME's localized MOs (an LMO)
};

// The marks of a row, joined by commas: "LMO", "SOMO", "HOMO", "LUMO"; empty for none.
[[nodiscard]] std::string orbitalMarks(const OrbitalRow& row);

// Every MO the calculation holds, in file order, the HOMO and LUMO of each spin set marked, and
// the singly occupied MOs of an open shell: those with one electron in a restricted set, and in a
// spin-resolved run the alpha MOs above the last one that a beta electron pairs.
[[nodiscard]] std::vector<OrbitalRow> orbitalRows(const Calculation& calculation);

// The MOs of the request's input, whatever its kind and the model asked for; on failure `error`
// holds the message. `note` says how the energies were put right or why they are unknown.
struct OrbitalListing {
  std::vector<OrbitalRow> rows;
  std::string note;
  std::string error;
};
[[nodiscard]] OrbitalListing listOrbitals(const ConversionRequest& request);

// The list as text: a line starting with "#" that names the columns, the note (if any) on lines
// starting with "#", then a line per MO with its number, spin (alpha, beta or -), occupancy,
// energy in eV (or - when unknown), symmetry label (or -) and marks (or -), separated by spaces.
[[nodiscard]] std::string orbitalListText(const OrbitalListing& listing);

// The MOs of the same spin set whose energies lie within 1e-3 eV of MO `number`'s: a degenerate
// set, any mix of which is as good an MO. Empty when there are none or the energy is unknown.
[[nodiscard]] std::vector<int> degeneratePartners(const Calculation& calculation, int number,
                                                  Spin spin);

// "MO 37 is degenerate with MO 38 (within 0.001 eV): any mix of them is as good an MO."; empty
// when the MO has no partners.
[[nodiscard]] std::string degeneracyNote(const Calculation& calculation, int number, Spin spin);

}  // namespace lobewright
