#pragma once

#include <string>
#include <vector>

#include "input/classic_calculation.h"
#include "input/eigenvector_heading.h"
#include "input/text_scan.h"

namespace lobewright {

struct PrintedEigenvectors {
  enum class Outcome { found, dOrbitals, tooManyAtoms, unreadable };

  Outcome outcome = Outcome::unreadable;
  // The lowest and highest MO numbers in the headings, and the number of rows per block, which is
  // the number of MOs the molecule has.
  int firstMo = 0;
  int lastMo = 0;
  int moCount = 0;
  // The atoms' symbols in row order, and every MO printed with its coefficients on them; a
  // hydrogen has an s row only and keeps 0 for p. An MO printed twice is taken where it comes
  // first.
  std::vector<std::string> symbols;
  std::vector<PrintedMo> orbitals;
  // When unreadable: the line that could not be read and what was wrong with it.
  TextError error;
};

// Reads the eigenvector blocks: a heading ("ROOT NO." up to MOPAC 6, "Root No." from MOPAC 7 on)
// with the blocks' MO numbers, the symmetry labels (MOPAC 7 on) and eigenvalues, then one row per
// basis function ("S", "PX", "PY", "PZ" or "S", "Px", "Py", "Pz", the element symbol and the atom
// number, one coefficient per MO), from the first block's heading, the reader's current line, on.
// Every block is read to its end and checked. When the blocks are found, the reader is left at the
// first line after them, whose words may already belong to what follows.
[[nodiscard]] PrintedEigenvectors readEigenvectorBlocks(LineReader& lines,
                                                        EigenvectorHeading::Layout layout);

}  // namespace lobewright
