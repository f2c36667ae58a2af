// Writes one MO of a MOPAC .aux file as a Gaussian cube, for the tests that check the exact
// orbital with programs of their own (numpy, PyMOL).
//
//   orbital_cube FILE.aux MO SPIN MODEL SPACING MARGIN OUT.cube
//
// MO is a number, "homo" or "lumo"; SPIN is none, alpha or beta; MODEL is exact
// (de-orthogonalised) or raw (the printed coefficients); SPACING and MARGIN are in Angstrom,
// the grid covering the atoms with MARGIN to spare on every side.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "input/aux_reader.h"
#include "input/number_text.h"
#include "input/orbital_choice.h"
#include "surface/exact_orbital.h"
#include "writers/cube_writer.h"

namespace {

using namespace lobewright;

int fail(const std::string& message) {
  std::fprintf(stderr, "orbital_cube: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 8) return fail("usage: orbital_cube FILE.aux MO SPIN MODEL SPACING MARGIN OUT.cube");
  const std::string mo = argv[2];
  const std::string spinName = argv[3];
  const std::string model = argv[4];
  const std::optional<double> spacing = parseDouble(argv[5]);
  const std::optional<double> margin = parseDouble(argv[6]);
  if (!spacing || !margin || *spacing <= 0.0) return fail("bad spacing or margin");
  const Spin spin = spinName == "alpha"  ? Spin::alpha
                    : spinName == "beta" ? Spin::beta
                                         : Spin::none;

  const CalculationRead read = readAuxFile(argv[1]);
  if (!read.calculation) return fail(read.error.message());
  const Calculation& calculation = *read.calculation;
  OrbitalFound found;
  if (mo == "homo") {
    found = findHomo(calculation, spin);
  } else if (mo == "lumo") {
    found = findLumo(calculation, spin);
  } else {
    const std::optional<int> number = parseInteger<int>(mo);
    if (!number) return fail("bad MO " + mo);
    found = findOrbital(calculation, *number, spin);
  }
  if (!found.index) return fail(found.error);
  const MolecularOrbital& orbital = calculation.orbitals[*found.index];
  const ExactOrbital::Build build = ExactOrbital::build(calculation, orbital, model != "raw");
  if (!build.orbital) return fail(build.error);

  Vec3 low = calculation.atoms.front().position;
  Vec3 high = low;
  for (const CalculationAtom& atom : calculation.atoms) {
    low = {std::min(low.x, atom.position.x), std::min(low.y, atom.position.y),
           std::min(low.z, atom.position.z)};
    high = {std::max(high.x, atom.position.x), std::max(high.y, atom.position.y),
            std::max(high.z, atom.position.z)};
  }
  const Vec3 extra{*margin, *margin, *margin};
  low = low - extra;
  high = high + extra;
  const auto count = [&](double from, double to) {
    return static_cast<int>(std::floor((to - from) / *spacing)) + 1;
  };
  const CubeGrid grid{low, *spacing, count(low.x, high.x), count(low.y, high.y),
                      count(low.z, high.z)};
  const ExactOrbital& field = *build.orbital;
  const CubePlaneSource planes = [&](int i, std::span<double> plane) {
    std::size_t at = 0;
    for (int j = 0; j < grid.countY; ++j) {
      for (int k = 0; k < grid.countZ; ++k) {
        plane[at++] = field.valueAt(grid.origin + *spacing * Vec3{static_cast<double>(i),
                                                                  static_cast<double>(j),
                                                                  static_cast<double>(k)});
      }
    }
  };
  std::ofstream out(argv[7], std::ios::binary);
  const std::string written =
      writeCube(out, grid, calculation.atoms,
                calculation.method + " MO " + std::to_string(orbital.number) + " " + spinName,
                model + " model, values in bohr^-3/2", planes);
  if (!written.empty()) return fail(written);
  return 0;
}
