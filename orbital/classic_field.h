#pragma once

#include <vector>

#include "orbital/atom_orbital.h"
#include "orbital/classic_orbital.h"
#include "orbital/field.h"
#include "orbital/field_sample.h"

namespace lobewright {

// The classic model's orbital seen as a field for the watertight mesher: positions in Angstrom,
// values exactly as the classic sweep computes them (single precision, atoms beyond the cutoff
// left out), the gradient of the same functions in double precision, and a bound of |value| over
// a box that holds for the rounded values too.
class ClassicField : public Field {
 public:
  explicit ClassicField(const ClassicOrbital& orbital);

  [[nodiscard]] double valueAt(const Vec3& p) const {
    const float x = static_cast<float>(p.x * m_scale);
    const float y = static_cast<float>(p.y * m_scale);
    const float z = static_cast<float>(p.z * m_scale);
    float sum = 0.0f;
    for (const AtomOrbital& atom : m_atoms) sum = addAtomShare(atom, x, y, z, m_cutoffSquared, sum);
    return sum;
  }

  [[nodiscard]] FieldSample sampleAt(const Vec3& p) const;
  void valuesAt(std::span<const Vec3> points, std::span<double> values) const override;
  void samplesAt(std::span<const Vec3> points, std::span<FieldSample> samples) const override;
  [[nodiscard]] double boundOfMagnitude(const Vec3& low, const Vec3& high) const override;

  // Grid points per Angstrom.
  [[nodiscard]] double scale() const { return m_scale; }
  // The corners of the smallest box around the atoms, in Angstrom.
  [[nodiscard]] Vec3 atomsLow() const { return m_atomsLow; }
  [[nodiscard]] Vec3 atomsHigh() const { return m_atomsHigh; }

 private:
  std::vector<AtomOrbital> m_atoms;
  float m_cutoffSquared;
  float m_scale;
  Vec3 m_atomsLow;
  Vec3 m_atomsHigh;
};

}  // namespace lobewright
