#pragma once

#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "orbital/field.h"

namespace lobewright {

// A weighted sum of fields, evaluated point by point: a difference of two calculations' densities,
// a Fukui function. Each term keeps its own basis and density.
class CombinedField : public Field {
 public:
  void add(double weight, std::unique_ptr<Field> field) {
    m_terms.emplace_back(weight, std::move(field));
  }

  void valuesAt(std::span<const Vec3> points, std::span<double> values) const override;
  void samplesAt(std::span<const Vec3> points, std::span<FieldSample> samples) const override;
  // The weighted sum of the terms' bounds.
  [[nodiscard]] double boundOfMagnitude(const Vec3& low, const Vec3& high) const override;

 private:
  std::vector<std::pair<double, std::unique_ptr<Field>>> m_terms;
};

}  // namespace lobewright
