#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "input/symmetric_matrix.h"
#include "input/text_scan.h"
#include "input/vector3.h"

namespace lobewright {

// The angular part of an atomic orbital, in MOPAC's order and with MOPAC's names:
// S, PX, PY, PZ, then the d functions X2 (x^2 - y^2), XZ, Z2 (3z^2 - r^2), YZ, XY.
enum class AoType : uint8_t { s, px, py, pz, x2, xz, z2, yz, xy };

[[nodiscard]] constexpr int angularMomentum(AoType type) {
  return type == AoType::s ? 0 : type <= AoType::pz ? 1 : 2;
}

// One Slater-type atomic orbital: N r^(n-1-l) exp(-zeta r) Y(x, y, z) on atom `atom`.
struct BasisFunction {
  int atom = 0;  // index into Calculation::atoms
  int n = 1;     // principal quantum number
  AoType type = AoType::s;
  double zeta = 0.0;  // bohr^-1
};

struct CalculationAtom {
  std::string symbol;  // "C", "Cl", ...
  Vec3 position;       // Angstrom
};

enum class Spin : uint8_t { none, alpha, beta };

// One MO as the calculation printed it: its coefficients are over the Loewdin-orthogonalised
// atomic orbitals, one per basis function.
struct MolecularOrbital {
  int number = 0;  // MOPAC's number, 1-based, counted within its spin set
  Spin spin = Spin::none;
  std::optional<double> energy;  // eV; empty when the file's value cannot be trusted
  double occupancy = 0.0;        // electrons
  std::string symmetry;    // empty when the file gives none
  std::vector<double> coefficients;
};

// The kind of file a calculation was read from, for advice that depends on it.
enum class CalculationFile : uint8_t { aux, out, mgf };

// Everything a file tells about one calculation that the exact model needs.
struct Calculation {
  CalculationFile file = CalculationFile::aux;
  std::string method;  // "PM7", "AM1", ...; empty when the file names none
  // The orbitals are MOZYME's localized MOs (LMOs), in MOPAC's order, not canonical MOs.
  bool localized = false;
  // How the file's MO energies were put right, or why they are unknown; empty when they are
  // as the file gives them.
  std::string energyNote;
  std::vector<CalculationAtom> atoms;
  std::vector<BasisFunction> basis;
  // The MOs the file holds, in file order (alpha before beta in a spin-resolved file).
  std::vector<MolecularOrbital> orbitals;
  // The overlap matrix S of the basis, when the file holds it.
  SymmetricMatrix overlap;
  // S^-1/2 itself, when the file holds it.
  SymmetricMatrix inverseSqrtOverlap;
  // S^-1/2 as a density worked it out from `overlap`, kept for the densities that follow when the
  // caller asks for it. MOs never take it: an MO's digits must not depend on what was drawn
  // before it.
  SymmetricMatrix keptInverseSqrtOverlap;
  // The density matrices over the orthogonalised AOs, when the file holds them: the total one of
  // a restricted run, or one per spin set of a spin-resolved one.
  SymmetricMatrix totalDensity;
  SymmetricMatrix alphaDensity;
  SymmetricMatrix betaDensity;
  // Per atom, the charge of its core (the nucleus less the inner electrons, e), when the file
  // states it.
  std::vector<double> coreCharges;
  // Electrons in the calculation and, in a spin-resolved one, in each spin set; empty when the
  // file does not say. They place the HOMO when the file holds only some of the MOs.
  std::optional<int> electronCount;
  std::optional<int> alphaElectronCount;
  std::optional<int> betaElectronCount;
};

// The smallest box that holds the atoms' positions; a point at the origin when there are none.
struct AtomExtent {
  Vec3 low;
  Vec3 high;
};
[[nodiscard]] inline AtomExtent atomExtent(const std::vector<CalculationAtom>& atoms) {
  AtomExtent extent;
  if (atoms.empty()) return extent;
  extent.low = extent.high = atoms.front().position;
  for (const CalculationAtom& atom : atoms) {
    const Vec3& p = atom.position;
    extent.low = {std::min(extent.low.x, p.x), std::min(extent.low.y, p.y),
                  std::min(extent.low.z, p.z)};
    extent.high = {std::max(extent.high.x, p.x), std::max(extent.high.y, p.y),
                   std::max(extent.high.z, p.z)};
  }
  return extent;
}

// What a reader returns: the calculation, or why the file could not be read.
struct CalculationRead {
  std::optional<Calculation> calculation;
  TextError error;  // meaningful when calculation is empty
};

}  // namespace lobewright
