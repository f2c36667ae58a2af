#pragma once

#include <ostream>
#include <string>

#include "app/conversion_request.h"
#include "app/loaded_input.h"
#include "app/messages.h"

namespace lobewright {

// Prints what the classic model read from the input: "atoms N mo M", then per atom its number,
// symbol, position in Angstrom and the MO's s, px, py, pz coefficients; for an enclosed share,
// the isovalue the classic model finds ("isovalue |psi| = 0.03696 encloses 85 % of psi^2").
// False when the input holds no such MO (the message has gone to the sink).
[[nodiscard]] bool printMoleculeInfo(const LoadedInput& input, const ConversionRequest& request,
                                     int mo, MessageSink& messages, std::ostream& out);

}  // namespace lobewright
