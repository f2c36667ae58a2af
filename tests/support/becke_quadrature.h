#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

#include "input/calculation.h"
#include "orbital/field.h"
#include "support/gauss_rules.h"

namespace lobewright::testing {

// The integral of a field over all space (Angstrom^3 times its unit; divide by bohr^3 for a
// density), by Becke's partition into fuzzy atomic cells (J. Chem. Phys. 88 (1988) 2547): each
// atom's cell on a radial Gauss-Chebyshev rule mapped to [0, infinity) and a product rule in
// angle. Atoms farther from a point than the nearest by more than kReach take no part in its
// weights, where their cells vanish. Accurate to about 1e-5 of the total for valence Slater
// densities.
// With `point` set, integrates field(r) / |r - point| instead (Angstrom^2 times its unit): the
// point is one more centre of the partition, whose own radial rule cancels the singularity.
inline double beckeIntegral(const Field& field, const std::vector<CalculationAtom>& atoms,
                            int radial = 40, int polar = 14,
                            std::optional<Vec3> point = std::nullopt) {
  constexpr double kPi = std::numbers::pi;
  constexpr double kMidpoint = 0.6;  // Angstrom: the radial rule's midpoint
  constexpr double kReach = 3.0;     // Angstrom
  const GaussRule cosines = gaussLegendre(polar);
  const int azimuths = 2 * polar;
  std::vector<Vec3> centres;
  for (const CalculationAtom& atom : atoms) centres.push_back(atom.position);
  if (point) centres.push_back(*point);
  const std::size_t n = centres.size();
  std::vector<double> inverseSeparation(n * n, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) {
      if (i != j) inverseSeparation[i * n + j] = 1.0 / norm(centres[i] - centres[j]);
    }
  }
  double total = 0.0;
  std::vector<Vec3> points;
  std::vector<double> weights;
  std::vector<double> values;
  std::vector<double> distance(n);
  std::vector<std::size_t> near;
  std::vector<double> cell;
  for (std::size_t a = 0; a < n; ++a) {
    points.clear();
    weights.clear();
    for (int i = 1; i <= radial; ++i) {
      const double angle = i * kPi / (radial + 1);
      const double x = std::cos(angle);
      const double r = kMidpoint * (1 + x) / (1 - x);
      const double radialWeight =
          kPi / (radial + 1) * std::sin(angle) * 2 * kMidpoint / ((1 - x) * (1 - x)) * r * r;
      for (std::size_t t = 0; t < cosines.nodes.size(); ++t) {
        const double sine = std::sqrt(1 - cosines.nodes[t] * cosines.nodes[t]);
        for (int p = 0; p < azimuths; ++p) {
          const double phi = 2 * kPi * p / azimuths;
          const Vec3 q = centres[a] + Vec3{r * sine * std::cos(phi), r * sine * std::sin(phi),
                                           r * cosines.nodes[t]};
          for (std::size_t b = 0; b < n; ++b) distance[b] = norm(q - centres[b]);
          const double nearest = *std::min_element(distance.begin(), distance.end());
          near.clear();
          std::size_t own = n;
          for (std::size_t b = 0; b < n; ++b) {
            if (distance[b] > nearest + kReach) continue;
            if (b == a) own = near.size();
            near.push_back(b);
          }
          if (own == n) continue;
          // Each pair of cells shares one switching value: s for the first, 1 - s for the other.
          cell.assign(near.size(), 1.0);
          for (std::size_t u = 0; u < near.size(); ++u) {
            for (std::size_t v = u + 1; v < near.size(); ++v) {
              double mu = (distance[near[u]] - distance[near[v]]) *
                          inverseSeparation[near[u] * n + near[v]];
              for (int k = 0; k < 3; ++k) mu = 1.5 * mu - 0.5 * mu * mu * mu;
              cell[u] *= 0.5 * (1 - mu);
              cell[v] *= 0.5 * (1 + mu);
            }
          }
          double sum = 0.0;
          for (const double c : cell) sum += c;
          points.push_back(q);
          weights.push_back(radialWeight * cosines.weights[t] * (2 * kPi / azimuths) * cell[own] /
                            sum);
        }
      }
    }
    values.resize(points.size());
    field.valuesAt(points, values);
    for (std::size_t k = 0; k < values.size(); ++k) {
      total += values[k] * weights[k] / (point ? norm(points[k] - *point) : 1.0);
    }
  }
  return total;
}

}  // namespace lobewright::testing
