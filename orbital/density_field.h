#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "input/calculation.h"
#include "input/symmetric_matrix.h"
#include "input/vector3.h"
#include "orbital/field.h"

namespace lobewright {

// An electron density over a calculation's Slater AOs, rho(r) = sum_mu,nu D_mu,nu phi_mu phi_nu,
// with D over the real AOs (densityOf): e/bohr^3, gradients per Angstrom. D may be any symmetric
// matrix, so a spin density has both signs.
//
// What keeps it fast: an atom is left out where all of its AOs are below kNegligibleAmplitude; a
// pair of atoms is left out of a batch of points where the bound |phi_A^T D_AB phi_B| <=
// |D_AB| |phi_A| |phi_B|, with each |phi| the largest at the batch's points, is below
// kNegligiblePair; the blocks D_AB of atoms too far apart for their AOs ever to meet are not kept
// at all; each block is kept both ways round, so that a gradient's sums need no scattered stores.
// A value therefore differs from the full sum by at most kNegligiblePair per pair of atoms, well
// below what the mesher asks of a vertex at any usual isovalue (it would find a field that moves by
// more with the batch around a point slow to converge). The bound over a box uses
// |rho| <= sum_A (sum_B |D_AB|) |phi_A|^2, where |phi_A|^2, summed over a whole shell, is
// N^2 (2l + 1) / (4 pi) r^(2n-2) e^(-2 zeta r) exactly.
class DensityField : public Field {
 public:
  static constexpr double kNegligibleAmplitude = 1e-7;  // bohr^-3/2
  static constexpr double kNegligiblePair = 1e-10;      // e/bohr^3

  // Throws std::invalid_argument when the basis cannot be evaluated (basisProblem) or the matrix
  // does not fit it.
  DensityField(const Calculation& calculation, const SymmetricMatrix& density);

  void valuesAt(std::span<const Vec3> points, std::span<double> values) const override;
  void samplesAt(std::span<const Vec3> points, std::span<FieldSample> samples) const override;
  [[nodiscard]] double boundOfMagnitude(const Vec3& low, const Vec3& high) const override;

 private:
  static constexpr int kChunk = 16;
  static constexpr uint32_t kAtomBlock = 64;

  // One AO: N(n, zeta) times its angular constant, r^radialPower e^(-zeta r) and its type.
  struct Ao {
    double constant = 0.0;
    double zeta = 0.0;
    int radialPower = 0;
    AoType type = AoType::s;
  };
  // The AOs of one atom that share n, l and zeta, for the bound: sum over them of phi^2 is
  // weight r^(2n-2) e^(-2 zeta r).
  struct Shell {
    double weight = 0.0;
    double zeta = 0.0;
    int power = 0;  // 2n - 2
  };
  struct Atom {
    Vec3 position;         // bohr
    uint32_t firstAo = 0;  // into m_aos, which keeps each atom's AOs together
    uint32_t aoCount = 0;
    uint32_t firstShell = 0;
    uint32_t shellCount = 0;
    double reachSquared = -1.0;   // beyond this its AOs are negligible; negative: no AOs
    double rowNorm = 0.0;         // sum over B of |D_AB|
    uint32_t firstNeighbour = 0;  // into m_neighbours: the atoms B whose block D_AB is kept,
    uint32_t neighbourCount = 0;  // those with B < A first
    uint32_t lowerNeighbourCount = 0;
  };
  struct Neighbour {
    uint32_t atom = 0;
    uint32_t aoCount = 0;   // the atom's
    double norm = 0.0;      // Frobenius norm of D_AB
    std::size_t block = 0;  // D_AB, row-major, in m_blocks
  };
  struct AtomBlock {
    Vec3 low;
    Vec3 high;
    double reachSquared = -1.0;
    double rowNorms = 0.0;
  };
  struct Chunk;

  template <bool kGradient>
  void evaluate(Chunk& chunk) const;
  template <bool kGradient, int kWidth>
  void evaluateWith(Chunk& chunk) const;
  template <bool kGradient>
  void aoValues(const Atom& atom, Chunk& chunk, std::size_t at) const;
  [[nodiscard]] double squaredAmplitudeBound(const Atom& atom, double nearest,
                                             double farthest) const;

  std::vector<Atom> m_atoms;
  std::vector<Ao> m_aos;
  std::vector<Shell> m_shells;
  std::vector<Neighbour> m_neighbours;
  std::vector<double> m_blocks;
  std::vector<AtomBlock> m_atomBlocks;
  uint32_t m_largestAtom = 0;  // AOs on one atom, at most
};

}  // namespace lobewright
