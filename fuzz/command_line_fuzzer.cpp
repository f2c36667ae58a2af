// Parses any bytes as the converter's arguments, split at NUL bytes as they would reach main().
// Whatever the parser accepts for a conversion must pass the conversion's own settings check.
#include <vector>

#include "app/settings_check.h"
#include "cli/command_line.h"
#include "fuzz/fuzz_input.h"

namespace lobewright::fuzzing {
namespace {

std::vector<std::string> splitArguments(const std::string& text) {
  std::vector<std::string> arguments;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\0', start)) != std::string::npos; start = end + 1) {
    arguments.push_back(text.substr(start, end - start));
  }
  if (start < text.size()) arguments.push_back(text.substr(start));
  return arguments;
}

}  // namespace
}  // namespace lobewright::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace lobewright;
  using namespace lobewright::fuzzing;
  const ParsedCommandLine parsed = parseCommandLine(splitArguments(asText(data, size)));
  if (!parsed.commandLine) {
    require(!parsed.error.empty(), "arguments refused without a reason");
    return 0;
  }
  const CommandLine& command = *parsed.commandLine;
  if (command.mode != CommandLine::Mode::convert) return 0;
  require(!unusableSettingsMessage(command.settings), "accepted settings a conversion refuses");
  require(!command.moSelection.empty(), "no MO to draw");
  return 0;
}
