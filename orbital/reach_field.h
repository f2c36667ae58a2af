#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "orbital/atom_orbital.h"
#include "orbital/classic_orbital.h"

namespace lobewright {

// The orbital evaluated over only the atoms that can reach a part of the grid. Atoms beyond the
// cutoff add nothing to a sum, so leaving them out (in index order) gives the same sum to the bit.
class ReachField {
 public:
  explicit ReachField(const ClassicOrbital& orbital);

  // The atoms whose cutoff sphere can reach the box from low to high, in index order.
  void atomsNear(const Point& low, const Point& high, std::vector<int16_t>& atoms) const;
  // The same, chosen among the given candidates only.
  void atomsNear(const Point& low, const Point& high, const std::vector<int16_t>& candidates,
                 std::vector<int16_t>& atoms) const;

  [[nodiscard]] float valueAt(const std::vector<int16_t>& atoms, float x, float y, float z) const {
    float sum = 0.0f;
    for (const int16_t i : atoms) sum = addAtomShare(m_atoms[i], x, y, z, m_cutoffSquared, sum);
    return sum;
  }

  // An upper bound of |value| anywhere in the box from low to high, from the given atoms (those
  // that can reach the box); infinity when no bound can be given.
  [[nodiscard]] double boundOfMagnitude(const Point& low, const Point& high,
                                        const std::vector<int16_t>& atoms) const;

  // The values at the points (x, ys[p], z) for p below count. The sums of different points do not
  // depend on each other, so going through the atoms once for all of them lets the processor
  // work on several sums at a time; each sum still adds its atoms in index order.
  void valuesAlongY(const std::vector<int16_t>& atoms, float x, const float* ys, float z, int count,
                    float* values) const {
    std::fill(values, values + count, 0.0f);
    for (const int16_t i : atoms) {
      const AtomOrbital& atom = m_atoms[i];
      for (int p = 0; p < count; ++p) {
        values[p] = addAtomShare(atom, x, ys[p], z, m_cutoffSquared, values[p]);
      }
    }
  }

 private:
  [[nodiscard]] bool reaches(const AtomOrbital& atom, const Point& low, const Point& high) const;

  // Per atom: the largest the s part and the p part can be at distance r, as a * r^k * exp(-zeta r)
  // with k = 0 for a single s shell and k = 1 otherwise.
  struct Envelope {
    double sWeight;
    double pWeight;
    double zetaS;
    double zetaP;
    bool singleShell;
  };

  std::vector<AtomOrbital> m_atoms;
  std::vector<Envelope> m_envelopes;
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
