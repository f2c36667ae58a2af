#include "cli/command_run.h"

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
  if (!mos) messages.show(kErrorCaption, kInputFileErrorMessage + ("\n" + error));
  return mos;
}

}  // namespace lobewright
