#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "input/parameter_table.h"
#include "input/point.h"
#include "input/text_scan.h"

namespace lobewright {

inline constexpr int kMaxAtoms = 100;

// One atom as the classic model reads it: its element's place in the parameter table and its
// position in Angstrom, in single precision as printed.
struct ClassicAtom {
  int16_t element = 0;
  Point position;

  friend bool operator==(const ClassicAtom&, const ClassicAtom&) = default;
};

// One MO's coefficients on an atom's s, px, py and pz functions; a hydrogen has no p functions
// and keeps 0 for them.
struct AtomCoefficients {
  float s = 0.0f;
  float px = 0.0f;
  float py = 0.0f;
  float pz = 0.0f;

  friend bool operator==(const AtomCoefficients&, const AtomCoefficients&) = default;
};

// One MO of the eigenvector blocks, its coefficients in atom order.
struct PrintedMo {
  int number = 0;
  std::vector<AtomCoefficients> coefficients;
};

// What the classic model reads of a MOPAC output: the final geometry's atoms, the parameter table
// they are evaluated with, and every MO the eigenvectors print.
struct ClassicCalculation {
  Pm3ParameterSet parameters;
  std::vector<ClassicAtom> atoms;
  std::vector<PrintedMo> orbitals;  // in the order the blocks print them
  // The lowest and highest MO numbers printed, and the number of MOs the molecule has.
  int firstMo = 0;
  int lastMo = 0;
  int moCount = 0;
  // What the user should know about the drawing, such as another method's exponents; empty when
  // there is nothing.
  std::string warning;
};

struct ClassicRead {
  std::optional<ClassicCalculation> calculation;
  TextError error;  // meaningful when calculation is empty; its source is left for the caller
};

// Reads the eigenvectors and the final geometry of a MOPAC output (MOPAC 6's layout or the newer
// one), with the parameter table that names its elements. The eigenvectors must list whole atoms
// (an S row, then PX PY PZ but for hydrogen) in every block, and the final table of coordinates
// the same atoms.
[[nodiscard]] ClassicRead readMopacOutput(std::istream& in, const Pm3ParameterSet& parameters);

// MO `number`'s coefficients, or why the calculation cannot give them.
struct ClassicMoFound {
  const PrintedMo* orbital = nullptr;
  std::string error;  // for the user; meaningful when orbital is null
};
[[nodiscard]] ClassicMoFound findClassicMo(const ClassicCalculation& calculation, int number);

}  // namespace lobewright
