#pragma once

#include <string>
#include <vector>

#include "app/conversion_request.h"
#include "input/calculation.h"
#include "orbital/field.h"

namespace lobewright {

// The field whose surface a cube's box is made to hold, at its threshold: the drawn field at the
// settings' threshold unless another is given.
struct CubeExtent {
  const Field* field = nullptr;
  double threshold = 0.0;
};

// Writes the field's values on the conversion's grid as a Gaussian cube: points 1/scale
// Angstrom apart over a box that holds every point where |extent| reaches a fifth of its
// threshold, so no lobe is cut even where a viewer draws it lower (or over the atoms' extent
// with the settings' cube margin, when one is given).
// Values are computed one plane at a time, a row of points at once, which is all the memory the
// grid takes.
// The cube's two comment lines name the field (description) and its quantity with the unit.
[[nodiscard]] ConversionOutcome convertToCube(const Field& field, CubeExtent extent,
                                              const std::vector<CalculationAtom>& atoms,
                                              const std::string& description,
                                              const std::string& quantity,
                                              const ConversionRequest& request,
                                              const ProgressCallback& progress);

}  // namespace lobewright
