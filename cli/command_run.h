#pragma once

#include <optional>
#include <vector>

#include "app/conversion_request.h"
#include "app/loaded_input.h"
#include "app/messages.h"
#include "cli/command_line.h"

namespace lobewright {

// What the converter, and the Python module through the same command line, run.

// The conversion request of a parsed command line: its input, parameter file, settings and
// threads.
[[nodiscard]] ConversionRequest requestFor(const CommandLine& command);

// The MO numbers the command names, HOMO and LUMO of the spin set looked up in the input as the
// conversion's model sees them; nothing when they cannot be found (the message has gone to the
// sink).
[[nodiscard]] std::optional<std::vector<int>> resolveMos(const CommandLine& command,
                                                         const LoadedInput& input, Spin spin,
                                                         MessageSink& messages);

}  // namespace lobewright
