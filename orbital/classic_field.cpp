#include "orbital/classic_field.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lobewright {
namespace {

double distanceToRange(double value, double low, double high) {
  if (value < low) return low - value;
  if (value > high) return value - high;
  return 0.0;
}

// The single-precision sum differs from the exact one by a few units in the last place per term
// and by the rounding of the distances; this much more covers that for any number of atoms.
constexpr double kRoundingAllowance = 1e-4;
// Past the cutoff by this much (grid units) the rounded distance test surely leaves an atom out.
constexpr double kCutoffAllowance = 1e-3;

}  // namespace

ClassicField::ClassicField(const ClassicOrbital& orbital)
    : m_atoms(orbital.atoms()), m_cutoffSquared(orbital.cutoffSquared()), m_scale(orbital.scale()) {
  for (std::size_t i = 0; i < m_atoms.size(); ++i) {
    const Vec3 p{m_atoms[i].x / static_cast<double>(m_scale),
                 m_atoms[i].y / static_cast<double>(m_scale),
                 m_atoms[i].z / static_cast<double>(m_scale)};
    m_atomsLow = i == 0 ? p
                        : Vec3{std::min(m_atomsLow.x, p.x), std::min(m_atomsLow.y, p.y),
                               std::min(m_atomsLow.z, p.z)};
    m_atomsHigh = i == 0 ? p
                         : Vec3{std::max(m_atomsHigh.x, p.x), std::max(m_atomsHigh.y, p.y),
                                std::max(m_atomsHigh.z, p.z)};
  }
}

FieldSample ClassicField::sampleAt(const Vec3& p) const {
  const auto x = static_cast<float>(p.x * m_scale);
  const auto y = static_cast<float>(p.y * m_scale);
  const auto z = static_cast<float>(p.z * m_scale);
  float sum = 0.0f;
  Vec3 gradient;
  for (const AtomOrbital& atom : m_atoms) {
    sum = addAtomShareAndGradient(atom, x, y, z, m_cutoffSquared, sum, gradient);
  }
  return {sum, static_cast<double>(m_scale) * gradient};
}

void ClassicField::valuesAt(std::span<const Vec3> points, std::span<double> values) const {
  for (std::size_t i = 0; i < points.size(); ++i) values[i] = valueAt(points[i]);
}

void ClassicField::samplesAt(std::span<const Vec3> points,
                             std::span<FieldSample> samples) const {
  for (std::size_t i = 0; i < points.size(); ++i) samples[i] = sampleAt(points[i]);
}

double ClassicField::boundOfMagnitude(const Vec3& low, const Vec3& high) const {
  const double scale = m_scale;
  const double cutoff = std::sqrt(std::max(0.0, static_cast<double>(m_cutoffSquared)));
  double bound = 0.0;
  for (const AtomOrbital& atom : m_atoms) {
    const double dx = distanceToRange(atom.x, low.x * scale, high.x * scale);
    const double dy = distanceToRange(atom.y, low.y * scale, high.y * scale);
    const double dz = distanceToRange(atom.z, low.z * scale, high.z * scale);
    const double nearest = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (nearest > cutoff * (1.0 + kRoundingAllowance) + kCutoffAllowance) continue;
    const double zetaS = atom.zetaS;
    const double zetaP = atom.zetaP;
    // Only positive exponents make the functions fall with the distance.
    if (!(zetaS > 0.0) || (!atom.singleShell && !(zetaP > 0.0))) {
      return std::numeric_limits<double>::infinity();
    }
    const double sWeight = std::fabs(static_cast<double>(atom.coefS) * atom.normS);
    if (atom.singleShell) {
      bound += sWeight * std::exp(-zetaS * nearest);
      continue;
    }
    // r exp(-zeta r) rises up to r = 1 / zeta and falls beyond; the p part is bounded through
    // |p . d| <= |p| r.
    const double pWeight = std::fabs(static_cast<double>(atom.normP)) *
                           std::sqrt(static_cast<double>(atom.coefPx) * atom.coefPx +
                                     static_cast<double>(atom.coefPy) * atom.coefPy +
                                     static_cast<double>(atom.coefPz) * atom.coefPz);
    const auto peak = [nearest](double weight, double zeta) {
      const double r = std::max(nearest, 1.0 / zeta);
      return weight * r * std::exp(-zeta * r);
    };
    bound += peak(sWeight, zetaS) + peak(pWeight, zetaP);
  }
  bound *= 1.0 + kRoundingAllowance;
  return std::isnan(bound) ? std::numeric_limits<double>::infinity() : bound;
}

}  // namespace lobewright
