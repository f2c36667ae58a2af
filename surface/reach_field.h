#pragma once

#include <cstdint>
#include <vector>

#include "input/molecule.h"
#include "surface/orbital_sum.h"

namespace lobewright {

// The orbital evaluated over only the atoms that can reach a part of the grid. Atoms beyond the
// cutoff add nothing to a sum, so leaving them out (in index order) gives the same sum to the bit.
class ReachField {
 public:
  explicit ReachField(const Molecule& molecule);

  // The atoms whose cutoff sphere can reach the box [x0, x1] x (any y) x [z0, z1], in index order.
  void atomsNear(float x0, float x1, float z0, float z1, std::vector<int16_t>& atoms) const;

  [[nodiscard]] float valueAt(const std::vector<int16_t>& atoms, float x, float y, float z) const {
    float sum = 0.0f;
    for (const int16_t i : atoms) sum = addAtomShare(m_atoms[i], x, y, z, m_cutoffSquared, sum);
    return sum;
  }

 private:
  std::vector<AtomOrbital> m_atoms;
  float m_cutoffSquared;
  double m_reach;
};

// A ReachField restricted to one list of atoms, counting its evaluations: what the sweep's
// templates take as a field.
class AtomListField {
 public:
  AtomListField(const ReachField& field, const std::vector<int16_t>& atoms, int64_t& evaluations)
      : m_field(field), m_atoms(atoms), m_evaluations(evaluations) {}

  [[nodiscard]] float valueAt(float x, float y, float z) const {
    ++m_evaluations;
    return m_field.valueAt(m_atoms, x, y, z);
  }

 private:
  const ReachField& m_field;
  const std::vector<int16_t>& m_atoms;
  int64_t& m_evaluations;
};

}  // namespace lobewright
