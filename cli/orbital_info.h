#pragma once

#include <ostream>

#include "app/conversion_request.h"
#include "app/loaded_input.h"
#include "app/messages.h"

namespace lobewright {

// Prints what an input read in the exact model holds and what is known of the settings' MO:
//   input caffeine.aux: MOPAC .aux file, PM7, 24 atoms, 66 AOs, 74 electrons
//   orbitals: MOs 1 to 66
//   mo 37: energy -9.0197 eV, occupancy 2.0000, symmetry 10a", HOMO
//   degenerate ... (when it is one of a degenerate set)
//   then per atom its number, symbol, position in Angstrom and the MO's weight on it, the sum of
//   its AOs' squared coefficients over the orthogonalised AOs (the weights add up to 1).
// False when the input holds no such MO (the message has gone to the sink).
[[nodiscard]] bool printOrbitalInfo(const LoadedInput& input, const ConversionRequest& request,
                                    MessageSink& messages, std::ostream& out);

}  // namespace lobewright
