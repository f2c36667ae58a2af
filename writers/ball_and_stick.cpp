#include "writers/ball_and_stick.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

#include "input/elements.h"

namespace lobewright {
namespace {

// No real atom has more bonded neighbours; the cap keeps a heap of atoms piled on one spot from
// turning into millions of sticks.
constexpr int kMaxBondsPerAtom = 16;

struct PlacedAtom {
  Vec3 position;
  double covalentRadius = 0.0;
  double sphereRadius = 0.0;
  Rgb colour;
  int atomicNumber = 0;
};

bool isFinite(const Vec3& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// Pairs of indices into `atoms` closer than their bonding distance, in increasing order. Atoms
// sorted by x are compared only with those within the largest bonding distance along x.
std::vector<std::pair<std::size_t, std::size_t>> findBonds(const std::vector<PlacedAtom>& atoms,
                                                           double tolerance) {
  std::vector<std::size_t> byX(atoms.size());
  std::iota(byX.begin(), byX.end(), std::size_t{0});
  std::sort(byX.begin(), byX.end(), [&](std::size_t a, std::size_t b) {
    return std::pair(atoms[a].position.x, a) < std::pair(atoms[b].position.x, b);
  });
  double largestRadius = 0.0;
  for (const PlacedAtom& atom : atoms) largestRadius = std::max(largestRadius, atom.covalentRadius);
  const double reach = 2.0 * largestRadius + tolerance;

  std::vector<int> bondCount(atoms.size(), 0);
  std::vector<std::pair<std::size_t, std::size_t>> bonds;
  for (std::size_t i = 0; i < byX.size(); ++i) {
    const PlacedAtom& a = atoms[byX[i]];
    for (std::size_t j = i + 1; j < byX.size(); ++j) {
      const PlacedAtom& b = atoms[byX[j]];
      if (b.position.x - a.position.x > reach) break;
      if (bondCount[byX[i]] >= kMaxBondsPerAtom) break;
      if (bondCount[byX[j]] >= kMaxBondsPerAtom) continue;
      const double distance = norm(b.position - a.position);
      if (distance < kCoincidentAtomDistance) continue;
      if (distance >= a.covalentRadius + b.covalentRadius + tolerance) continue;
      ++bondCount[byX[i]];
      ++bondCount[byX[j]];
      bonds.emplace_back(std::min(byX[i], byX[j]), std::max(byX[i], byX[j]));
    }
  }
  std::sort(bonds.begin(), bonds.end());
  return bonds;
}

}  // namespace

BallAndStickModel buildBallAndStick(const std::vector<CalculationAtom>& atoms,
                                    const BallAndStickStyle& style) {
  std::vector<PlacedAtom> placed;
  placed.reserve(atoms.size());
  for (const CalculationAtom& atom : atoms) {
    if (!isFinite(atom.position)) continue;
    const std::optional<int> number = atomicNumber(atom.symbol);
    PlacedAtom p;
    p.position = atom.position;
    p.atomicNumber = number.value_or(0);
    p.covalentRadius = covalentRadius(p.atomicNumber);
    p.sphereRadius = style.atomRadiusScale * p.covalentRadius;
    p.colour = elementColour(p.atomicNumber);
    placed.push_back(p);
  }

  BallAndStickModel model;
  model.spheres.reserve(placed.size());
  for (const PlacedAtom& atom : placed) {
    model.spheres.push_back({atom.position, atom.sphereRadius, atom.colour, atom.atomicNumber});
  }
  const auto bonds = findBonds(placed, style.bondTolerance);
  model.sticks.reserve(2 * bonds.size());
  for (const auto& [first, second] : bonds) {
    const PlacedAtom& a = placed[first];
    const PlacedAtom& b = placed[second];
    const Vec3 axis = b.position - a.position;
    const double length = norm(axis);
    // The halves meet in the middle of the stick's visible part, between the two spheres, so
    // a small atom's half does not look shorter than a large one's.
    const double visible = length - a.sphereRadius - b.sphereRadius;
    const double fromA = visible > 0.0 ? a.sphereRadius + 0.5 * visible : 0.5 * length;
    const Vec3 middle = a.position + (fromA / length) * axis;
    model.sticks.push_back({a.position, middle, style.stickRadius, a.colour, a.atomicNumber});
    model.sticks.push_back({b.position, middle, style.stickRadius, b.colour, b.atomicNumber});
  }
  return model;
}

}  // namespace lobewright
