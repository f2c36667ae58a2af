#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/output_format.h"
#include "cli/command_line.h"
#include "cli/option_values.h"

namespace lobewright {

// The converter's options, each described once, in one table: the parser reads the arguments by
// it and --help is written from it.

// Where --help lists an option: under a heading, or in the tail without one.
enum class HelpGroup { orbitals, fields, surface, output, tail };

// The outputs an option is for. Given for another output it would change nothing, so the
// command is refused instead.
enum class Serves { anyOutput, pngPictures, framedPictures, surfaces, colouredSurfaces, cubes };

// A row of the table. Every member has an initializer, so a row names only what it needs.
struct Option {
  std::vector<std::string> names{};  // two for a pair described together: --homo, --lumo
  std::string metavariable{};        // the value's name in the help; a choice shows its words
  std::string help{};                // one paragraph, which --help wraps
  HelpGroup group = HelpGroup::tail;
  OptionValue value{};
  std::string example{};  // a value the option takes, for the tests; none for a flag
  Serves serves = Serves::anyOutput;
  std::string oneOf{};  // options with the same word here exclude each other
  // Other arguments without which the option is refused, for the tests: --anion needs --fukui.
  std::vector<std::string> needs{};
};

// Every option, in the order --help lists each group's.
[[nodiscard]] const std::vector<Option>& converterOptions();

// What --help prints: the usage, what the converter does, and the options by group.
[[nodiscard]] std::string helpText();

// What the converter does, in a paragraph of a few lines, as --help and the manual page say it.
[[nodiscard]] std::string converterIntroduction();

// Every output format's name or extension, joined by the separator.
[[nodiscard]] std::string formatWords(std::string_view OutputFormat::*word,
                                      std::string_view separator);

}  // namespace lobewright
