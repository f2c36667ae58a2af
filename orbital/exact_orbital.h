#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "input/calculation.h"
#include "input/vector3.h"
#include "orbital/field.h"
#include "orbital/field_sample.h"

namespace lobewright {

// One MO of a calculation as the calculation defined it: psi(P) = sum_mu d_mu phi_mu(P) over the
// Slater AOs of the basis, in double precision. A field for the mesher: positions in Angstrom,
// values in bohr^-3/2, gradients per Angstrom.
//
// An atom's functions are left out where they cannot matter: beyond the distance at which the
// sum of their envelopes falls below kNegligibleValue. So a value differs from the full sum by
// at most kNegligibleValue per atom.
class ExactOrbital : public Field {
 public:
  static constexpr double kNegligibleValue = 1e-10;  // bohr^-3/2

  struct Build;

  // The orbital of `orbital`, one of the calculation's MOs. De-orthogonalised, its AO
  // coefficients are S^-1/2 c (from the file's S^-1/2 when it has one, else from its overlap
  // matrix); otherwise they are the printed c.
  [[nodiscard]] static Build build(const Calculation& calculation, const MolecularOrbital& orbital,
                                   bool deorthogonalise = true);

  // The orbital with these coefficients over the calculation's basis. Throws
  // std::invalid_argument when they do not fit the basis, the basis is not usable (see
  // basisProblem) or a function's largest value overflows.
  ExactOrbital(const Calculation& calculation, const std::vector<double>& aoCoefficients);

  [[nodiscard]] double valueAt(const Vec3& p) const;
  [[nodiscard]] FieldSample sampleAt(const Vec3& p) const;

  // valueAt and sampleAt at many points at once, the same numbers to the bit and several times
  // faster: the points are taken kChunk at a time, and each atom that reaches the box around a
  // chunk adds its functions at all of the chunk's points together. Points that lie close
  // together make the boxes small. The spans must be equally long.
  static constexpr int kChunk = 16;
  void valuesAt(std::span<const Vec3> points, std::span<double> values) const override;
  void samplesAt(std::span<const Vec3> points, std::span<FieldSample> samples) const override;

  // An upper bound of |psi| over the box, rigorous for the true sum and for valueAt alike.
  [[nodiscard]] double boundOfMagnitude(const Vec3& low, const Vec3& high) const override;

  // The atoms (indices into Calculation::atoms, increasing) whose functions reach into the box.
  // Replaces what `atoms` held; keeps its storage.
  void atomsReaching(const Vec3& low, const Vec3& high, std::vector<uint32_t>& atoms) const;

  // The same as valueAt and sampleAt, with only the listed atoms: for points inside a box,
  // with the list atomsReaching gave for it.
  [[nodiscard]] double valueAt(const Vec3& p, std::span<const uint32_t> atoms) const;
  [[nodiscard]] FieldSample sampleAt(const Vec3& p, std::span<const uint32_t> atoms) const;

  [[nodiscard]] const std::vector<double>& aoCoefficients() const { return m_aoCoefficients; }
  // How far (Angstrom) an atom's functions reach; negative for an atom without any.
  [[nodiscard]] double reachOf(uint32_t atom) const;

 private:
  // The AOs of one atom that share n, zeta and l, with their coefficients folded in.
  struct Shell {
    double zeta = 0.0;
    // The coefficients times N(n, zeta) and the angular constants, in MOPAC's order of the
    // shell's types (s; px py pz; x2 xz z2 yz xy).
    double folded[5] = {};
    // Bounds |coefficients| N(n, zeta) r^(n-1) exp(-zeta r) |Y|: the length of the coefficient
    // vector times N times sqrt((2l + 1) / (4 pi)), the largest a normalised combination of
    // one l's real harmonics can reach.
    double envelope = 0.0;
    int radialPower = 0;  // n - 1 - l
    int l = 0;
  };

  // Up to kChunk points in bohr, with the box around them, and the sums at them.
  struct Chunk;

  // The atoms taken kAtomBlock at a time in file order, which keeps neighbours together: the box
  // around their nuclei (bohr), how far the farthest-reaching of them reaches, and how many of
  // them have functions. A block whose box lies beyond that reach from a region adds nothing
  // there, so neither evaluations nor bounds need look at its atoms one by one.
  static constexpr uint32_t kAtomBlock = 64;
  struct AtomBlock {
    Vec3 low;
    Vec3 high;
    double reachSquared = -1.0;
    uint32_t withFunctions = 0;
  };
  [[nodiscard]] bool blockOutOfReach(const AtomBlock& block, const Vec3& low,
                                     const Vec3& high) const;

  // The orbital, or the constructor's objection as a message.
  [[nodiscard]] static Build evaluable(const Calculation& calculation,
                                       const std::vector<double>& aoCoefficients);
  // Adds the atom's functions at the chunk's points that it reaches.
  template <bool kGradient>
  void addAtom(uint32_t atom, Chunk& chunk) const;
  // The sums at the chunk's points over the atoms that reach its box, or over the listed ones.
  template <bool kGradient>
  void evaluate(Chunk& chunk) const;
  template <bool kGradient>
  void evaluate(Chunk& chunk, std::span<const uint32_t> atoms) const;
  [[nodiscard]] double envelopeBound(uint32_t atom, double nearest, double farthest) const;
  [[nodiscard]] double reachOfShells(uint32_t begin, uint32_t end) const;
  [[nodiscard]] double distanceSquaredToBox(uint32_t atom, const Vec3& low, const Vec3& high) const;

  std::vector<double> m_aoCoefficients;
  // Per atom, flat: the position in bohr, the squared reach (negative: no functions) and the
  // range of its shells in m_shells.
  std::vector<double> m_x;
  std::vector<double> m_y;
  std::vector<double> m_z;
  std::vector<double> m_reachSquared;
  std::vector<uint32_t> m_firstShell;
  std::vector<Shell> m_shells;
  std::vector<AtomBlock> m_atomBlocks;
};

struct ExactOrbital::Build {
  std::optional<ExactOrbital> orbital;
  std::string error;  // for the user; meaningful when orbital is empty
};

// Why the calculation's basis cannot be evaluated (an atom index out of range, n outside 1 to 7
// or not above l, an exponent that is not positive and finite); empty when it can.
[[nodiscard]] std::string basisProblem(const Calculation& calculation);

}  // namespace lobewright
