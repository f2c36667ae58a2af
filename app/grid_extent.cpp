#include "app/grid_extent.h"

#include <cmath>

namespace lobewright {
namespace {

struct AxisExtent {
  float least;
  float greatest;

  void include(float value) {
    if (value > greatest) greatest = value;
    if (value < least) least = value;
  }
};

int32_t truncated(double value) { return static_cast<int32_t>(std::trunc(value)); }

}  // namespace

GridBounds computeGridBounds(const Molecule& molecule, int scale) {
  AxisExtent x{molecule.atomX[0], molecule.atomX[0]};
  AxisExtent y{molecule.atomY[0], molecule.atomY[0]};
  AxisExtent z{molecule.atomZ[0], molecule.atomZ[0]};
  for (int16_t i = 0; i < molecule.atomCount; ++i) {
    x.include(molecule.atomX[i]);
    y.include(molecule.atomY[i]);
    z.include(molecule.atomZ[i]);
  }
  const double margin = 1.5 * static_cast<double>(scale);
  return {truncated(x.least - margin),    truncated(y.least - margin),
          truncated(z.least - margin),    truncated(x.greatest + margin),
          truncated(y.greatest + margin), truncated(z.greatest + margin)};
}

}  // namespace lobewright
