#include "surface/reach_field.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lobewright {
namespace {

// How far past the cutoff an atom list reaches, in grid units. Generous against rounding in the
// single-precision distances; an atom listed needlessly costs one distance test per point.
constexpr double kReachMargin = 2.0;

double distanceToRange(double value, double low, double high) {
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

ReachField::ReachField(const Molecule& molecule)
    : m_cutoffSquared(molecule.cutoffSquared),
      m_reach(reachOf(molecule.cutoffSquared)) {
  m_atoms.reserve(molecule.atomCount);
  for (int16_t i = 0; i < molecule.atomCount; ++i) m_atoms.push_back(molecule.atomOrbital(i));
}

void ReachField::atomsNear(float x0, float x1, float z0, float z1,
                           std::vector<int16_t>& atoms) const {
  atoms.clear();
  for (std::size_t i = 0; i < m_atoms.size(); ++i) {
    const double dx = distanceToRange(m_atoms[i].x, x0, x1);
    const double dz = distanceToRange(m_atoms[i].z, z0, z1);
    // A NaN distance compares false: keep such an atom, it poisons every sum it is in.
    if (!(dx * dx + dz * dz > m_reach * m_reach)) atoms.push_back(static_cast<int16_t>(i));
  }
}

}  // namespace lobewright
