#include "orbital/combined_field.h"

#include <algorithm>
#include <cmath>

namespace lobewright {

void CombinedField::valuesAt(std::span<const Vec3> points, std::span<double> values) const {
  std::vector<double> term(points.size());
  std::fill(values.begin(), values.end(), 0.0);
  for (const auto& [weight, field] : m_terms) {
    field->valuesAt(points, term);
    for (std::size_t i = 0; i < points.size(); ++i) values[i] += weight * term[i];
  }
}

void CombinedField::samplesAt(std::span<const Vec3> points, std::span<FieldSample> samples) const {
  std::vector<FieldSample> term(points.size());
  std::fill(samples.begin(), samples.end(), FieldSample{});
  for (const auto& [weight, field] : m_terms) {
    field->samplesAt(points, term);
    for (std::size_t i = 0; i < points.size(); ++i) {
      samples[i].value += weight * term[i].value;
      samples[i].gradient = samples[i].gradient + weight * term[i].gradient;
    }
  }
}

double CombinedField::boundOfMagnitude(const Vec3& low, const Vec3& high) const {
  double bound = 0.0;
  for (const auto& [weight, field] : m_terms) {
    bound += std::fabs(weight) * field->boundOfMagnitude(low, high);
  }
  // The sums above round too.
  return bound * (1.0 + 1e-9);
}

}  // namespace lobewright
