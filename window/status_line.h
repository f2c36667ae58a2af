#pragma once

#include <cstdint>
#include <string>

#include "app/conversion.h"
#include "app/explored_surface.h"

namespace lobewright {

// The count with its thousands separated by commas: 45,253.
[[nodiscard]] std::string withThousands(int64_t count);

// The status line after a conversion: "Wrote caffeine-homo.pov: 45,253 triangles in 0.2 s", or
// in a few words why nothing was written.
[[nodiscard]] std::string conversionSummary(const ConversionOutcome& outcome,
                                            const std::string& outputPath, double seconds);

// What the preview says of its surface: "MO 37: 2,681 triangles in 0.04 s", then the isovalue
// found for an enclosed share and the notes, a line each; or why there is no surface.
[[nodiscard]] std::string previewSummary(const ExploredSurface& shown, const std::string& what,
                                         double seconds);

}  // namespace lobewright
