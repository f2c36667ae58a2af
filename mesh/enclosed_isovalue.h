#pragma once

#include "input/vector3.h"
#include "orbital/field.h"

namespace lobewright {

// What the share of a field that a surface encloses is counted in: psi^2 for an MO, |rho| for
// the fields made of densities.
enum class FieldWeight { square, magnitude };

// A box of grid points, spaced evenly, over which a field is summed.
struct IsovalueGrid {
  Vec3 low;
  Vec3 high;
  double spacing = 0.1;  // Angstrom
  int threads = 1;
};

struct EnclosedIsovalue {
  double isovalue = 0.0;  // |value| of the surface; 0 when the field is 0 on the whole grid
  double enclosed = 0.0;  // the share of the weight where |value| >= isovalue, on the grid
  double total = 0.0;     // the weight summed over the grid, times the volume of a grid cell
};

// The isovalue whose surface encloses `fraction` (0 to 1) of the field's weight: the grid's
// points are taken from the largest |value| down until their weight reaches the fraction of the
// weight of every point, and the last one's |value| is the isovalue. The points are the centres
// of the grid's cells; the field is evaluated on the grid's threads.
[[nodiscard]] EnclosedIsovalue isovalueEnclosing(const Field& field, FieldWeight weight,
                                                 double fraction, const IsovalueGrid& grid);

}  // namespace lobewright
