#pragma once

#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "app/conversion_settings.h"
#include "mesh/orbital_mesh.h"
#include "orbital/field.h"
#include "writers/surface_colouring.h"

namespace lobewright {

// A field's values at each vertex of each lobe, in the order of the lobes' positions.
struct SurfaceValues {
  std::vector<double> positive;
  std::vector<double> negative;
};

// Evaluates the field at the vertices in batches, on `threads` threads (the calling one among
// them), telling `progress` the share done in percent from the calling thread. Throws
// SweepCancelled when the stop token asks.
[[nodiscard]] SurfaceValues valuesAtVertices(
    const Field& field, const OrbitalMesh& mesh, int threads, const std::stop_token& stop,
    const std::function<void(int percent)>& progress = nullptr);

// The values at the palette's two ends: the settings' range, or else -m to +m with m the largest
// |value| on the surface (1 when every value is 0), so that 0 sits in the palette's middle.
[[nodiscard]] ColouringSettings::Range colourRange(const SurfaceValues& values,
                                                   const ColouringSettings& settings);

// Each vertex's colour: the place of its value in the range, through the settings' palette
// (values beyond the range take the colour of its end), with the scale that says so.
[[nodiscard]] SurfaceColouring colourVertices(const SurfaceValues& values,
                                              const ColouringSettings& settings, std::string title,
                                              std::vector<ScaleUnit> units);

}  // namespace lobewright
