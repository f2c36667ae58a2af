#pragma once

#include <ostream>
#include <string>

#include "app/loaded_input.h"
#include "app/messages.h"

namespace lobewright {

// Prints what the classic model read from the input: "atoms N mo M", then per atom its number,
// symbol, position in Angstrom and the MO's s, px, py, pz coefficients. False when the input holds
// no such MO (the message has gone to the sink).
[[nodiscard]] bool printMoleculeInfo(const LoadedInput& input, const std::string& fileName, int mo,
                                     MessageSink& messages, std::ostream& out);

}  // namespace lobewright
