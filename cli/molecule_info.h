#pragma once

#include <ostream>

#include "cli/command_line.h"
#include "input/messages.h"

namespace lobewright {

// Prints what was read from the input: "atoms N mo M", then per atom its number, symbol,
// position in Angstrom and the MO's s, px, py, pz coefficients. False when the read fails (the
// message has gone to the sink).
[[nodiscard]] bool printMoleculeInfo(const CommandLine& command, MessageSink& messages,
                                     std::ostream& out);

}  // namespace lobewright
