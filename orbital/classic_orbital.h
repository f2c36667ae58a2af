#pragma once

#include <cstdint>
#include <vector>

#include "input/classic_calculation.h"
#include "input/point.h"
#include "orbital/atom_orbital.h"

namespace lobewright {

// One MO of the classic model, ready to be evaluated on the grid: positions, exponents,
// normalisation and cutoff in grid units, all in single precision and rounded as the classic
// scenes have always been computed, so that they stay the same to the last byte.
class ClassicOrbital {
 public:
  // The MO with these coefficients (one per atom of the calculation) on a grid of `scale` points
  // per Angstrom, leaving out atoms farther than `cutoff` Angstrom from a point.
  ClassicOrbital(const ClassicCalculation& calculation, const std::vector<AtomCoefficients>& mo,
                 int scale, float cutoff);

  [[nodiscard]] float valueAt(float x, float y, float z) const {
    float sum = 0.0f;
    for (const AtomOrbital& atom : m_atoms) sum = addAtomShare(atom, x, y, z, m_cutoffSquared, sum);
    return sum;
  }

  // Every atom's functions and coefficients as the evaluation uses them, in atom order.
  [[nodiscard]] const std::vector<AtomOrbital>& atoms() const { return m_atoms; }
  [[nodiscard]] Point atomPosition(std::size_t atom) const {
    return {m_atoms[atom].x, m_atoms[atom].y, m_atoms[atom].z};
  }
  [[nodiscard]] float cutoffSquared() const { return m_cutoffSquared; }
  // Grid points per Angstrom.
  [[nodiscard]] float scale() const { return m_scale; }

 private:
  std::vector<AtomOrbital> m_atoms;
  float m_cutoffSquared;
  float m_scale;
};

}  // namespace lobewright
