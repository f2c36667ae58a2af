#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "input/eigenvector_heading.h"

namespace lobewright {

// One atom of the eigenvector rows with the wanted MO's coefficients; a hydrogen has an s row only
// and keeps 0 for p.
struct EigenvectorAtom {
  std::string symbol;
  float s = 0.0f;
  float px = 0.0f;
  float py = 0.0f;
  float pz = 0.0f;
};

struct PrintedEigenvectors {
  enum class Outcome { found, moNotPrinted, dOrbitals, tooManyAtoms, unreadable };

  Outcome outcome = Outcome::unreadable;
  // The lowest and highest MO numbers in the headings, and the number of rows per block, which is
  // the number of MOs the molecule has.
  int firstMo = 0;
  int lastMo = 0;
  int moCount = 0;
  // The wanted MO's atoms, in row order; filled when it was found.
  std::vector<EigenvectorAtom> atoms;
  // The first line after the last block, whose words may already belong to what follows, and its
  // number in the text.
  std::string lineAfter;
  int64_t lineAfterNumber = 0;
  // When unreadable: the line that could not be read and what was wrong with it.
  int64_t errorLine = 0;
  std::string error;
};

// Reads the eigenvector blocks: a heading ("ROOT NO." up to MOPAC 6, "Root No." from MOPAC 7 on)
// with the blocks' MO numbers, the symmetry labels (MOPAC 7 on) and eigenvalues, then one row per
// basis function ("S", "PX", "PY", "PZ" or "S", "Px", "Py", "Pz", the element symbol and the atom
// number, one coefficient per MO). The first block's heading line has been read already; the
// stream stands at the line after it. Every block is read to its end and checked, whichever one
// holds the wanted MO.
[[nodiscard]] PrintedEigenvectors readEigenvectorBlocks(std::istream& in,
                                                        const EigenvectorHeading& firstHeading,
                                                        int moNumber);

}  // namespace lobewright
