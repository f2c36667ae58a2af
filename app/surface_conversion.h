#pragma once

#include <optional>
#include <vector>

#include "app/colouring_field.h"
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

// The scale at which lobes look smooth in a picture `pixels` wide: a grid step for about every
// kPixelsPerGridStep pixels at the size the surface (with its neighbourhood) or the molecule,
// whichever is smaller, takes in it; never coarser than the settings' scale nor finer than
// kFinestPictureScale.
inline constexpr double kPixelsPerGridStep = 10.0;
inline constexpr int kFinestPictureScale = 16;
[[nodiscard]] int pictureScale(const Field& field, const std::vector<CalculationAtom>& atoms,
                               const ConversionSettings& settings, int pixels);

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
// the box that holds the whole surface, the mesh, its colours when a colouring field is given
// (its values at the vertices), and the files (a page with its caption).
[[nodiscard]] ConversionOutcome convertThroughSurface(
    const Field& field, const std::vector<CalculationAtom>& atoms, const ConversionRequest& request,
    MessageSink& messages, const ProgressCallback& progress,
    const ColouringField* colouring = nullptr, const PageCaption& page = {});

}  // namespace lobewright
