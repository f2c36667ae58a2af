#pragma once

#include <ostream>

#include "app/conversion_request.h"
#include "app/loaded_input.h"
#include "app/messages.h"

namespace lobewright {

// Prints what a field of the exact model is and, for one made of densities, the electrons it
// holds, so that a user sees at once that a density is whole; for an enclosed share, the
// isovalue found:
//   field total density of formaldehyde.aux, exact model
//   electrons 12.0000 (the integral over all space); the file states 12
//   isovalue rho = 0.1012 e/bohr^3 encloses 85 % of the electrons
// False when the field cannot be built (the message has gone to the sink).
[[nodiscard]] bool printFieldInfo(LoadedInput& input, const ConversionRequest& request,
                                  MessageSink& messages, std::ostream& out);

// Prints the isovalue of the surface that encloses the settings' share of the field (exact
// model): "isovalue psi = 0.0412 encloses 85 % of psi^2".
[[nodiscard]] bool printEnclosedIsovalue(LoadedInput& input, const ConversionRequest& request,
                                         MessageSink& messages, std::ostream& out);

}  // namespace lobewright
