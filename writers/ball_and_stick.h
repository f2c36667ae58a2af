#pragma once

#include <vector>

#include "input/calculation.h"
#include "input/vector3.h"
#include "writers/colours.h"

namespace lobewright {

// Lengths in Angstrom. atomicNumber is 0 for a symbol outside the element table; writers that
// name materials use it.
struct StructureSphere {
  Vec3 centre;
  double radius = 0.0;
  Rgb colour;
  int atomicNumber = 0;
};

// A closed cylinder from start to end, in the colour of the atom at its start.
struct StructureStick {
  Vec3 start;
  Vec3 end;
  double radius = 0.0;
  Rgb colour;
  int atomicNumber = 0;
};

// The molecule as balls and sticks, in no particular format: one sphere per atom, in atom
// order, and two half-sticks per bond, each starting at its atom's centre. An atom without
// finite coordinates is left out.
struct BallAndStickModel {
  std::vector<StructureSphere> spheres;
  std::vector<StructureStick> sticks;

  [[nodiscard]] bool empty() const { return spheres.empty() && sticks.empty(); }
};

struct BallAndStickStyle {
  double atomRadiusScale = 0.4;  // sphere radius over covalent radius
  double stickRadius = 0.08;
  // Atoms closer than the sum of their covalent radii plus this are bonded.
  double bondTolerance = 0.45;
};

// Atoms closer than this are taken as one point and never bonded.
inline constexpr double kCoincidentAtomDistance = 1e-3;

[[nodiscard]] BallAndStickModel buildBallAndStick(const std::vector<CalculationAtom>& atoms,
                                                  const BallAndStickStyle& style = {});

}  // namespace lobewright
