#include "cli/command_run.h"

#include <cstdint>

#include "input/orbital_choice.h"

namespace lobewright {

ConversionRequest requestFor(const CommandLine& command) {
  ConversionRequest request;
  request.parameterFile = command.parameterFile;
  request.parameterFileRequired = command.parameterFileNamed;
  request.inputFile = command.inputFile;
  request.settings = command.settings;
  if (command.threads > 0) request.sweep.threads = command.threads;
  return request;
}

std::optional<std::vector<int>> resolveMos(const CommandLine& command, const LoadedInput& input,
                                           Spin spin, MessageSink& messages) {
  FrontierNumbers frontier;
  if (needsFrontier(command.moSelection)) {
    frontier = findFrontierNumbers(input, spin);
    if (!frontier.error.empty()) {
      messages.show(kErrorCaption, frontier.error);
      return std::nullopt;
    }
  }
  std::string error;
  auto mos = resolveMoSelection(command.moSelection, frontier.homo, frontier.lumo, error);
  if (!mos) {
    messages.show(kErrorCaption, inputErrorMessage(input.source.path(), error));
    return std::nullopt;
  }
  // An MO beyond those the molecule has can never be drawn: the selection is refused before any
  // MO of it is.
  const int64_t moCount = input.classic ? int64_t{input.classic->moCount}
                                        : static_cast<int64_t>(input.exact->basis.size());
  for (const int mo : *mos) {
    if (mo <= moCount) continue;
    const std::string reason = input.classic ? findClassicMo(*input.classic, mo).error
                                             : findOrbital(*input.exact, mo, spin).error;
    messages.show(kErrorCaption, inputErrorMessage(input.source.path(), reason));
    return std::nullopt;
  }
  return mos;
}

}  // namespace lobewright
