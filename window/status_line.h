#pragma once

#include <cstdint>
#include <string>

#include "app/conversion.h"

namespace lobewright {

// The count with its thousands separated by commas: 45,253.
[[nodiscard]] std::string withThousands(int64_t count);

// The status line after a conversion: "Wrote caffeine-homo.pov: 45,253 triangles in 0.2 s", or
// in a few words why nothing was written.
[[nodiscard]] std::string conversionSummary(const ConversionOutcome& outcome,
                                            const std::string& outputPath, double seconds);

}  // namespace lobewright
