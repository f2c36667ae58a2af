#include "orbital/reach_field.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lobewright {
namespace {

// How far past the cutoff an atom list reaches, in grid units. Generous against rounding in the
// single-precision distances; an atom listed needlessly costs one distance test per point.
constexpr double kReachMargin = 2.0;

double gapToRange(double value, double low, double high) {
  if (value < low) return low - value;
  if (value > high) return value - high;
  return 0.0;
}

// A cutoff that is not a finite number leaves no atom out of any sum.
double reachOf(float cutoffSquared) {
  if (!(cutoffSquared < std::numeric_limits<float>::infinity())) {
    return std::numeric_limits<double>::infinity();
  }
  return std::sqrt(std::max(0.0, static_cast<double>(cutoffSquared))) + kReachMargin;
}

}  // namespace

ReachField::ReachField(const ClassicOrbital& orbital)
    : m_atoms(orbital.atoms()),
      m_cutoffSquared(orbital.cutoffSquared()),
      m_reach(reachOf(orbital.cutoffSquared())) {
  for (const AtomOrbital& atom : m_atoms) {
    const double p = std::sqrt(static_cast<double>(atom.coefPx) * atom.coefPx +
                               static_cast<double>(atom.coefPy) * atom.coefPy +
                               static_cast<double>(atom.coefPz) * atom.coefPz);
    m_envelopes.push_back({std::fabs(static_cast<double>(atom.coefS)) * std::fabs(atom.normS),
                           p * std::fabs(atom.normP), atom.zetaS, atom.zetaP, atom.singleShell});
  }
}

double ReachField::boundOfMagnitude(const Point& low, const Point& high,
                                    const std::vector<int16_t>& atoms) const {
  double bound = 0.0;
  for (const int16_t i : atoms) {
    const AtomOrbital& atom = m_atoms[i];
    const Envelope& e = m_envelopes[i];
    const double dx = gapToRange(atom.x, low.x, high.x);
    const double dy = gapToRange(atom.y, low.y, high.y);
    const double dz = gapToRange(atom.z, low.z, high.z);
    const double nearest = std::sqrt(dx * dx + dy * dy + dz * dz);
    // Only positive exponents make the functions fall with the distance.
    if (!(e.zetaS > 0.0) || (!e.singleShell && !(e.zetaP > 0.0))) {
      return std::numeric_limits<double>::infinity();
    }
    if (e.singleShell) {
      // exp(-zeta r) falls from r = 0 on.
      bound += e.sWeight * std::exp(-e.zetaS * nearest);
      continue;
    }
    // r exp(-zeta r) rises up to r = 1 / zeta and falls beyond, so its largest value at
    // distances from `nearest` on is at the larger of the two. The p part is bounded through
    // |px dx + py dy + pz dz| <= |p| r.
    const auto peak = [nearest](double weight, double zeta) {
      const double r = std::max(nearest, 1.0 / zeta);
      return weight * r * std::exp(-zeta * r);
    };
    bound += peak(e.sWeight, e.zetaS) + peak(e.pWeight, e.zetaP);
  }
  return std::isnan(bound) ? std::numeric_limits<double>::infinity() : bound;
}

void ReachField::atomsNear(const Point& low, const Point& high,
                           std::vector<int16_t>& atoms) const {
  atoms.clear();
  for (std::size_t i = 0; i < m_atoms.size(); ++i) {
    if (reaches(m_atoms[i], low, high)) atoms.push_back(static_cast<int16_t>(i));
  }
}

void ReachField::atomsNear(const Point& low, const Point& high,
                           const std::vector<int16_t>& candidates,
                           std::vector<int16_t>& atoms) const {
  atoms.clear();
  for (const int16_t i : candidates) {
    if (reaches(m_atoms[i], low, high)) atoms.push_back(i);
  }
}

bool ReachField::reaches(const AtomOrbital& atom, const Point& low, const Point& high) const {
  const double dx = gapToRange(atom.x, low.x, high.x);
  const double dy = gapToRange(atom.y, low.y, high.y);
  const double dz = gapToRange(atom.z, low.z, high.z);
  // A NaN distance compares false: such an atom is kept, as it poisons every sum it is in.
  return !(dx * dx + dy * dy + dz * dz > m_reach * m_reach);
}

}  // namespace lobewright
