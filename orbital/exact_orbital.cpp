#include "orbital/exact_orbital.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "orbital/deorthogonalisation.h"
#include "orbital/slater_basis.h"

namespace lobewright {
namespace {

constexpr int kLargestPqn = 7;

constexpr const char* kTooLarge =
    "The MO's coefficients or exponents are too large to be evaluated; the file may be damaged.";

// The bound covers the rounding of the sums it bounds.
constexpr double kBoundMargin = 1.0 + 1e-9;

[[nodiscard]] int slotOf(AoType type) {
  switch (type) {
    case AoType::s:
    case AoType::px:
    case AoType::x2:
      return 0;
    case AoType::py:
    case AoType::xz:
      return 1;
    case AoType::pz:
    case AoType::z2:
      return 2;
    case AoType::yz:
      return 3;
    case AoType::xy:
      return 4;
  }
  return 0;
}

// MOPAC's types of each l, in slot order.
constexpr AoType kTypesOfL[3][5] = {
    {AoType::s},
    {AoType::px, AoType::py, AoType::pz},
    {AoType::x2, AoType::xz, AoType::z2, AoType::yz, AoType::xy},
};

[[nodiscard]] double power(double base, int exponent) {
  double result = 1.0;
  for (int i = 0; i < exponent; ++i) result *= base;
  return result;
}

}  // namespace

std::string basisProblem(const Calculation& calculation) {
  const auto atomCount = static_cast<int>(calculation.atoms.size());
  for (std::size_t i = 0; i < calculation.basis.size(); ++i) {
    const BasisFunction& function = calculation.basis[i];
    const std::string ao = "AO " + std::to_string(i + 1);
    if (function.atom < 0 || function.atom >= atomCount) return ao + " sits on no atom.";
    if (function.n < 1 || function.n > kLargestPqn ||
        function.n <= angularMomentum(function.type)) {
      return ao + " has the principal quantum number " + std::to_string(function.n) +
             ", which its type does not allow.";
    }
    if (!(function.zeta > 0.0) || !std::isfinite(function.zeta)) {
      return ao + " has an exponent that is not a positive number.";
    }
  }
  return {};
}

ExactOrbital::Build ExactOrbital::evaluable(const Calculation& calculation,
                                            const std::vector<double>& aoCoefficients) {
  try {
    return {ExactOrbital(calculation, aoCoefficients), {}};
  } catch (const std::invalid_argument& tooLarge) {
    return {std::nullopt, tooLarge.what()};
  }
}

ExactOrbital::Build ExactOrbital::build(const Calculation& calculation,
                                        const MolecularOrbital& orbital, bool deorthogonalise) {
  if (std::string problem = basisProblem(calculation); !problem.empty()) {
    return {std::nullopt, std::move(problem)};
  }
  if (orbital.coefficients.size() != calculation.basis.size()) {
    return {std::nullopt, "MO " + std::to_string(orbital.number) + " has " +
                              std::to_string(orbital.coefficients.size()) +
                              " coefficients, but the basis has " +
                              std::to_string(calculation.basis.size()) + " AOs."};
  }
  if (!deorthogonalise) return evaluable(calculation, orbital.coefficients);
  AoCoefficients ao;
  if (!calculation.inverseSqrtOverlap.empty()) {
    ao = applyInverseSqrt(calculation.inverseSqrtOverlap, orbital.coefficients);
  } else if (!calculation.overlap.empty()) {
    ao = lobewright::deorthogonalise(calculation.overlap, orbital.coefficients);
  } else {
    ao.error =
        "This file holds no overlap matrix, so the MO cannot be de-orthogonalised. Turn "
        "de-orthogonalisation off to draw the printed coefficients.";
  }
  if (!ao.error.empty()) return {std::nullopt, ao.error};
  return evaluable(calculation, ao.values);
}

ExactOrbital::ExactOrbital(const Calculation& calculation,
                           const std::vector<double>& aoCoefficients)
    : m_aoCoefficients(aoCoefficients) {
  if (std::string problem = basisProblem(calculation); !problem.empty()) {
    throw std::invalid_argument(problem);
  }
  if (aoCoefficients.size() != calculation.basis.size()) {
    throw std::invalid_argument("the coefficients do not fit the basis");
  }
  const std::size_t atomCount = calculation.atoms.size();
  m_x.reserve(atomCount);
  m_y.reserve(atomCount);
  m_z.reserve(atomCount);
  for (const CalculationAtom& atom : calculation.atoms) {
    m_x.push_back(atom.position.x * kBohrPerAngstrom);
    m_y.push_back(atom.position.y * kBohrPerAngstrom);
    m_z.push_back(atom.position.z * kBohrPerAngstrom);
  }

  // Gather each atom's shells: functions of one atom with equal n, zeta and l share their
  // radial part.
  struct Gathered {
    int n = 0;
    int l = 0;
    double zeta = 0.0;
    double coefficients[5] = {};
  };
  std::vector<std::vector<Gathered>> perAtom(atomCount);
  for (std::size_t mu = 0; mu < calculation.basis.size(); ++mu) {
    const BasisFunction& function = calculation.basis[mu];
    const int l = angularMomentum(function.type);
    std::vector<Gathered>& shells = perAtom[static_cast<std::size_t>(function.atom)];
    auto shell = std::find_if(shells.begin(), shells.end(), [&](const Gathered& candidate) {
      return candidate.n == function.n && candidate.l == l && candidate.zeta == function.zeta;
    });
    if (shell == shells.end())
      shell = shells.insert(shells.end(), {function.n, l, function.zeta, {}});
    shell->coefficients[slotOf(function.type)] += aoCoefficients[mu];
  }

  m_firstShell.reserve(atomCount + 1);
  m_reachSquared.reserve(atomCount);
  for (std::size_t atom = 0; atom < atomCount; ++atom) {
    const auto begin = static_cast<uint32_t>(m_shells.size());
    m_firstShell.push_back(begin);
    for (const Gathered& gathered : perAtom[atom]) {
      Shell shell;
      shell.zeta = gathered.zeta;
      shell.l = gathered.l;
      shell.radialPower = gathered.n - 1 - gathered.l;
      const double normalisation = slaterNormalisation(gathered.n, gathered.zeta);
      double lengthSquared = 0.0;
      for (int slot = 0; slot < 2 * gathered.l + 1; ++slot) {
        const double c = gathered.coefficients[slot];
        lengthSquared += c * c;
        shell.folded[slot] = c * normalisation * angularConstant(kTypesOfL[gathered.l][slot]);
      }
      if (lengthSquared == 0.0) continue;
      shell.envelope = std::sqrt(lengthSquared) * normalisation *
                       std::sqrt((2 * gathered.l + 1) / (4.0 * std::numbers::pi));
      if (!std::isfinite(shell.envelope)) throw std::invalid_argument(kTooLarge);
      m_shells.push_back(shell);
    }
    const double reach = reachOfShells(begin, static_cast<uint32_t>(m_shells.size()));
    m_reachSquared.push_back(reach < 0.0 ? -1.0 : reach * reach);
  }
  m_firstShell.push_back(static_cast<uint32_t>(m_shells.size()));

  for (std::size_t first = 0; first < atomCount; first += kAtomBlock) {
    AtomBlock block;
    for (std::size_t atom = first; atom < std::min(atomCount, first + kAtomBlock); ++atom) {
      if (m_reachSquared[atom] < 0.0) continue;
      const Vec3 nucleus{m_x[atom], m_y[atom], m_z[atom]};
      block.low = block.withFunctions == 0
                      ? nucleus
                      : Vec3{std::min(block.low.x, nucleus.x), std::min(block.low.y, nucleus.y),
                             std::min(block.low.z, nucleus.z)};
      block.high = block.withFunctions == 0
                       ? nucleus
                       : Vec3{std::max(block.high.x, nucleus.x), std::max(block.high.y, nucleus.y),
                              std::max(block.high.z, nucleus.z)};
      block.reachSquared = std::max(block.reachSquared, m_reachSquared[atom]);
      ++block.withFunctions;
    }
    m_atomBlocks.push_back(block);
  }
}

bool ExactOrbital::blockOutOfReach(const AtomBlock& block, const Vec3& low,
                                   const Vec3& high) const {
  const auto gap = [](double fromA, double toA, double fromB, double toB) {
    return std::max(std::max(fromB - toA, fromA - toB), 0.0);
  };
  const double gx = gap(block.low.x, block.high.x, low.x, high.x);
  const double gy = gap(block.low.y, block.high.y, low.y, high.y);
  const double gz = gap(block.low.z, block.high.z, low.z, high.z);
  // A NaN compares false: such a block is looked at atom by atom.
  return block.withFunctions == 0 || gx * gx + gy * gy + gz * gz > block.reachSquared;
}

double ExactOrbital::envelopeBound(uint32_t atom, double nearest, double farthest) const {
  double bound = 0.0;
  for (uint32_t s = m_firstShell[atom]; s < m_firstShell[atom + 1]; ++s) {
    const Shell& shell = m_shells[s];
    bound +=
        shell.envelope * radialPeak(shell.radialPower + shell.l, shell.zeta, nearest, farthest);
  }
  return bound;
}

// The distance (bohr) beyond which the envelopes of these shells sum to less than
// kNegligibleValue; negative for no shells. Past the largest of the shells' peaks every envelope
// falls, so the sum crosses the value once.
double ExactOrbital::reachOfShells(uint32_t begin, uint32_t end) const {
  if (begin == end) return -1.0;
  double peak = 0.0;
  for (uint32_t s = begin; s < end; ++s) {
    const Shell& shell = m_shells[s];
    peak = std::max(peak, (shell.radialPower + shell.l) / shell.zeta);
  }
  const auto envelope = [&](double r) {
    double sum = 0.0;
    for (uint32_t s = begin; s < end; ++s) {
      const Shell& shell = m_shells[s];
      sum += shell.envelope * power(r, shell.radialPower + shell.l) * std::exp(-shell.zeta * r);
    }
    return sum;
  };
  if (envelope(peak) <= kNegligibleValue) return peak;
  double inside = peak;
  double outside = peak + 1.0;
  while (envelope(outside) > kNegligibleValue) {
    inside = outside;
    outside *= 2.0;
  }
  for (int i = 0; i < 60; ++i) {
    const double middle = 0.5 * (inside + outside);
    (envelope(middle) > kNegligibleValue ? inside : outside) = middle;
  }
  return outside;
}

double ExactOrbital::reachOf(uint32_t atom) const {
  return m_reachSquared[atom] < 0.0 ? -1.0 : std::sqrt(m_reachSquared[atom]) * kBohrInAngstrom;
}

double ExactOrbital::distanceSquaredToBox(uint32_t atom, const Vec3& low, const Vec3& high) const {
  const auto gap = [](double coordinate, double from, double to) {
    return coordinate < from ? from - coordinate : coordinate > to ? coordinate - to : 0.0;
  };
  const double dx = gap(m_x[atom], low.x, high.x);
  const double dy = gap(m_y[atom], low.y, high.y);
  const double dz = gap(m_z[atom], low.z, high.z);
  return dx * dx + dy * dy + dz * dz;
}

double ExactOrbital::boundOfMagnitude(const Vec3& low, const Vec3& high) const {
  const Vec3 lowBohr = kBohrPerAngstrom * low;
  const Vec3 highBohr = kBohrPerAngstrom * high;
  // A block of atoms out of reach adds the negligible value for each of its atoms at once; in
  // the others the distances to the box are found in a loop the compiler vectorises, and the
  // bound then adds the atoms in their order.
  const auto atomCount = static_cast<uint32_t>(m_x.size());
  const auto gap = [](double coordinate, double from, double to) {
    return std::max(std::max(from - coordinate, coordinate - to), 0.0);
  };
  double bound = 0.0;
  for (uint32_t first = 0; first < atomCount; first += kAtomBlock) {
    const AtomBlock& block = m_atomBlocks[first / kAtomBlock];
    if (blockOutOfReach(block, lowBohr, highBohr)) {
      bound += block.withFunctions * kNegligibleValue;
      continue;
    }
    const uint32_t count = std::min(kAtomBlock, atomCount - first);
    alignas(64) double nearestSquared[kAtomBlock];
    for (uint32_t a = 0; a < count; ++a) {
      const uint32_t atom = first + a;
      const double gx = gap(m_x[atom], lowBohr.x, highBohr.x);
      const double gy = gap(m_y[atom], lowBohr.y, highBohr.y);
      const double gz = gap(m_z[atom], lowBohr.z, highBohr.z);
      nearestSquared[a] = gx * gx + gy * gy + gz * gz;
    }
    for (uint32_t a = 0; a < count; ++a) {
      const uint32_t atom = first + a;
      if (m_reachSquared[atom] < 0.0) continue;
      if (nearestSquared[a] > m_reachSquared[atom]) {
        bound += kNegligibleValue;
        continue;
      }
      const Vec3 nucleus{m_x[atom], m_y[atom], m_z[atom]};
      bound += envelopeBound(atom, std::sqrt(nearestSquared[a]),
                             farthestFromBox(nucleus, lowBohr, highBohr));
    }
  }
  return bound * kBoundMargin;
}

void ExactOrbital::atomsReaching(const Vec3& low, const Vec3& high,
                                 std::vector<uint32_t>& atoms) const {
  atoms.clear();
  const Vec3 lowBohr = kBohrPerAngstrom * low;
  const Vec3 highBohr = kBohrPerAngstrom * high;
  for (uint32_t atom = 0; atom < m_x.size(); ++atom) {
    if (distanceSquaredToBox(atom, lowBohr, highBohr) <= m_reachSquared[atom])
      atoms.push_back(atom);
  }
}

}  // namespace lobewright
