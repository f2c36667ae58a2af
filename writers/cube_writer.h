#pragma once

#include <functional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "input/calculation.h"
#include "input/vector3.h"

namespace lobewright {

// A regular grid with equal steps along x, y and z, in Angstrom: point (i, j, k) is at
// origin + spacing * (i, j, k).
struct CubeGrid {
  Vec3 origin;
  double spacing = 0.0;
  int countX = 0;
  int countY = 0;
  int countZ = 0;
};

// Fills the values (bohr^-3/2) of the plane x = origin.x + i * spacing: countY * countZ of them,
// j-major with k fastest, the order of the file. Asked for i = 0, 1, ... in turn, so a grid of
// any size is written with one plane in memory.
using CubePlaneSource = std::function<void(int i, std::span<double> plane)>;

// Writes a Gaussian cube file: two comment lines; the atom count and the origin; the three
// axes, each as its point count and step vector; one line per atom (atomic number, the same as
// charge, position); then the values as "%13.5E", six to a line and a new line after each run
// along z. Lengths are written in bohr. The text does not depend on the locale. Returns an
// empty string, or why the file could not be written (a grid of no points, a step that is not
// positive, a failed stream).
[[nodiscard]] std::string writeCube(std::ostream& out, const CubeGrid& grid,
                                    const std::vector<CalculationAtom>& atoms,
                                    const std::string& firstComment,
                                    const std::string& secondComment,
                                    const CubePlaneSource& planes);

// Numbers as C's printf formats them in the "C" locale.
[[nodiscard]] std::string formatCubeValue(double value);       // "%13.5E"
[[nodiscard]] std::string formatCubeCoordinate(double value);  // "%12.6f"

}  // namespace lobewright
