#pragma once

#include <optional>
#include <vector>

#include "app/conversion_request.h"
#include "app/messages.h"
#include "input/calculation.h"
#include "mesh/grid_box.h"
#include "mesh/orbital_mesh.h"
#include "orbital/field.h"
#include "writers/html_writer.h"

namespace lobewright {

// The grid box that holds the whole surface around the atoms, for the conversion's settings.
[[nodiscard]] std::optional<GridBox> surfaceBoxAround(const Field& field,
                                                      const std::vector<CalculationAtom>& atoms,
                                                      const ConversionSettings& settings);

[[nodiscard]] inline GridBounds boundsOf(const GridBox& box) {
  return {box.low[0], box.low[1], box.low[2], box.high[0], box.high[1], box.high[2]};
}

// The watertight surface of the field at the settings' threshold and scale, over the box that
// holds all of it, or why there is none (the surface reaches too far, the grid is too large, the
// request's stop token ended the work). Progress is reported as the mesher goes.
struct SurfaceMeshing {
  std::optional<OrbitalMesh> mesh;
  ConversionOutcome failure;
};
[[nodiscard]] SurfaceMeshing meshSurface(const Field& field,
                                         const std::vector<CalculationAtom>& atoms,
                                         const ConversionRequest& request,
                                         const ProgressCallback& progress);

// The second half of a conversion to a format drawn from the watertight surface, for any field:
// the box that holds the whole surface, the mesh, and the files (a page with the caption).
[[nodiscard]] ConversionOutcome convertThroughSurface(const Field& field,
                                                      const std::vector<CalculationAtom>& atoms,
                                                      const ConversionRequest& request,
                                                      MessageSink& messages,
                                                      const ProgressCallback& progress,
                                                      const PageCaption& caption = {});

}  // namespace lobewright
