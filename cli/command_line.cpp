#include "cli/command_line.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "app/settings_check.h"
#include "input/number_text.h"

namespace lobewright {
namespace {

constexpr int32_t kMaxThreads = 256;

bool endsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Read as the window stores typed numbers, to double and then to float, so that both write the
// same bytes for the same text; refused when a float cannot hold it.
std::optional<float> parseSettingReal(std::string_view text) {
  const std::optional<double> value = parseDouble(text);
  if (!value || !(std::fabs(*value) <= std::numeric_limits<float>::max())) return std::nullopt;
  return static_cast<float>(*value);
}

class Parser {
 public:
  explicit Parser(const std::vector<std::string>& arguments) : m_arguments(arguments) {}

  ParsedCommandLine parse() {
    std::vector<std::string> positional;
    bool formatGiven = false;
    bool moGiven = false;
    for (m_next = 0; m_next < m_arguments.size() && m_error.empty();) {
      const std::string argument = m_arguments[m_next++];
      if (argument.size() < 2 || argument.rfind("--", 0) != 0) {
        positional.push_back(argument);
      } else if (argument == "--help") {
        m_result.mode = CommandLine::Mode::help;
      } else if (argument == "--version") {
        m_result.mode = CommandLine::Mode::version;
      } else if (argument == "--info") {
        m_result.mode = CommandLine::Mode::info;
      } else if (argument == "--quiet") {
        m_result.quiet = true;
      } else if (argument == "--no-structure") {
        m_result.settings.showStructure = false;
      } else if (argument == "--homo" || argument == "--lumo") {
        if (m_result.frontierOrbital) refuse("give only one of --mo, --homo and --lumo");
        m_result.frontierOrbital =
            argument == "--homo" ? FrontierOrbital::homo : FrontierOrbital::lumo;
      } else if (argument == "--params") {
        m_result.parameterFile = value(argument);
      } else if (argument == "--mo") {
        m_result.settings.moNumber = integer(argument, 1, std::numeric_limits<int16_t>::max());
        moGiven = true;
      } else if (argument == "--scale") {
        m_result.settings.scale = integer(argument, kLeastScale, kGreatestScale);
      } else if (argument == "--accuracy") {
        m_result.settings.accuracy = integer(argument, kLeastAccuracy, kGreatestAccuracy);
      } else if (argument == "--threads") {
        m_result.threads = integer(argument, 1, kMaxThreads);
      } else if (argument == "--threshold") {
        m_result.settings.threshold = real(argument);
      } else if (argument == "--cutoff") {
        m_result.settings.cutoff = real(argument);
      } else if (argument == "--bond-length") {
        m_result.settings.bondLength = real(argument);
      } else if (argument == "--format") {
        const std::string format = value(argument);
        formatGiven = true;
        if (format == "pov") {
          m_result.settings.outputKind = OutputKind::PovRay;
        } else if (format == "ls") {
          m_result.settings.outputKind = OutputKind::LScript;
        } else if (m_error.empty()) {
          refuse("--format takes pov or ls, not \"" + format + "\"");
        }
      } else {
        refuse("unknown option " + argument);
      }
    }
    if (moGiven && m_result.frontierOrbital) refuse("give only one of --mo, --homo and --lumo");
    if (m_error.empty()) checkFiles(positional, formatGiven);
    if (!m_error.empty()) return {std::nullopt, m_error};
    return {m_result, {}};
  }

 private:
  void refuse(const std::string& why) {
    if (m_error.empty()) m_error = why;
  }

  std::string value(const std::string& option) {
    if (m_next >= m_arguments.size()) {
      refuse(option + " needs a value");
      return {};
    }
    return m_arguments[m_next++];
  }

  int32_t integer(const std::string& option, int32_t least, int32_t greatest) {
    const std::string text = value(option);
    const auto number = parseInteger<int32_t>(text);
    if (m_error.empty() && (!number || *number < least || *number > greatest)) {
      refuse(option + " takes a whole number from " + std::to_string(least) + " to " +
             std::to_string(greatest) + ", not \"" + text + "\"");
    }
    return number.value_or(0);
  }

  float real(const std::string& option) {
    const std::string text = value(option);
    const auto number = parseSettingReal(text);
    if (m_error.empty() && !number) refuse(option + " takes a number, not \"" + text + "\"");
    return number.value_or(0.0f);
  }

  void checkFiles(const std::vector<std::string>& positional, bool formatGiven) {
    const CommandLine::Mode mode = m_result.mode;
    if (mode == CommandLine::Mode::help || mode == CommandLine::Mode::version) return;
    const std::size_t wanted = mode == CommandLine::Mode::info ? 1 : 2;
    if (positional.size() != wanted) {
      refuse(mode == CommandLine::Mode::info ? "--info takes one INPUT file"
                                             : "give an INPUT and an OUTPUT file");
      return;
    }
    m_result.inputFile = positional[0];
    if (mode == CommandLine::Mode::info) return;
    std::string& output = m_result.settings.outputPath;
    output = positional[1];
    if (formatGiven) return;
    if (endsWith(output, ".pov")) {
      m_result.settings.outputKind = OutputKind::PovRay;
    } else if (endsWith(output, ".ls")) {
      m_result.settings.outputKind = OutputKind::LScript;
    } else {
      refuse("cannot tell the format from \"" + output +
             "\": name it .pov or .ls, or give --format");
    }
  }

  const std::vector<std::string>& m_arguments;
  std::size_t m_next = 0;
  CommandLine m_result;
  std::string m_error;
};

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  return Parser(arguments).parse();
}

}  // namespace lobewright
