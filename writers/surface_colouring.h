#pragma once

#include <string>
#include <vector>

#include "mesh/surface_triangle.h"
#include "writers/colours.h"
#include "writers/palette.h"

namespace lobewright {

// A unit the values of a colour scale are told in, with its size in the field's own unit:
// {"a.u.", 1} and {"kcal/mol", 627.5095} for a potential.
struct ScaleUnit {
  std::string name;
  double perFieldUnit = 1.0;
};

// What the colours of a coloured surface mean: the field, its range from the palette's low end
// to its high end, and the units to tell the range in (the first is the field's own).
struct ColourScale {
  std::string title;  // "electrostatic potential", "total density"
  double low = -1.0;
  double high = 1.0;
  Palette palette = Palette::redWhiteBlue;
  std::vector<ScaleUnit> units;
};

// A surface coloured by a field: one sRGB colour for each vertex of each lobe, in the order of
// the lobe's positions, and the scale they follow. The lobes' own colours give way to these.
struct SurfaceColouring {
  std::vector<Rgb> positive;
  std::vector<Rgb> negative;
  ColourScale scale;

  [[nodiscard]] const std::vector<Rgb>& of(LobeSign sign) const {
    return sign == LobeSign::positive ? positive : negative;
  }
};

}  // namespace lobewright
