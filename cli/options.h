#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/output_format.h"
#include "cli/command_line.h"

namespace lobewright {

// The converter's options, each described once, in one table: the parser reads the arguments by
// it and --help is written from it.

// How an option reads what follows it and what it does with it. A value the kind refuses never
// reaches the option's action; the refusal names the option as given and quotes the text.
struct OptionValue {
  // Applies the option as given by `name`, the row's name number `which` (for rows of two
  // names), with the value's text (empty when it takes none); returns why it was refused, or
  // nothing.
  using Take = std::function<std::optional<std::string>(
      CommandLine&, std::string_view name, std::size_t which, const std::string& text)>;

  bool takesText = false;
  std::vector<std::string> words;  // a choice's, in the order the help shows them
  Take take;
};

// The kinds of value, for the rows of the table.

// No value; one action for every name of the row, or one per name (--homo, --lumo).
[[nodiscard]] OptionValue flag(std::function<void(CommandLine&)> apply);
[[nodiscard]] OptionValue flagPair(std::function<void(CommandLine&)> first,
                                   std::function<void(CommandLine&)> second);

// A whole number from `least` to `greatest`.
[[nodiscard]] OptionValue integer(int32_t least, int32_t greatest,
                                  std::function<void(CommandLine&, int32_t)> apply);

// A number a float can hold, read in the "C" notation to a double (as the window reads typed
// numbers, so that both store the same float for the same text), and from `least` to
// `greatest` when a range is given.
struct RealRange {
  double least;
  double greatest;
};
[[nodiscard]] OptionValue real(std::function<void(CommandLine&, double)> apply,
                               std::optional<RealRange> range = std::nullopt);

// One of a few words; the action is given the word's place among them.
[[nodiscard]] OptionValue choiceOfWords(std::vector<std::string> words,
                                        std::function<void(CommandLine&, std::size_t)> apply);

// One of a few words, each standing for a value of T:
// choice<Spin>({{"alpha", Spin::alpha}, {"beta", Spin::beta}}, ...).
template <class T>
[[nodiscard]] OptionValue choice(std::vector<std::pair<std::string, T>> words,
                                 std::function<void(CommandLine&, T)> apply) {
  std::vector<std::string> names;
  std::vector<T> values;
  for (auto& [word, value] : words) {
    names.push_back(std::move(word));
    values.push_back(value);
  }
  return choiceOfWords(std::move(names), [values = std::move(values), apply = std::move(apply)](
                                             CommandLine& command, std::size_t word) {
    apply(command, values[word]);
  });
}

// Any text; the action returns why it refuses the text, or nothing when it takes it.
[[nodiscard]] OptionValue freeText(
    std::function<std::optional<std::string>(CommandLine&, std::string_view name,
                                             const std::string& text)>
        apply);

// Where --help lists an option: under a heading, or in the tail without one.
enum class HelpGroup { orbitals, surface, output, tail };

// The outputs an option is for. Given for another output it would change nothing, so the
// command is refused instead.
enum class Serves { anyOutput, pngPictures, framedPictures, surfaces };

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
};

// Every option, in the order --help lists each group's.
[[nodiscard]] const std::vector<Option>& converterOptions();

// What --help prints: the usage, what the converter does, and the options by group.
[[nodiscard]] std::string helpText();

// Words as a sentence lists them: "x, y, z or best", with `last` ("or", "and") before the last.
[[nodiscard]] std::string listedWords(const std::vector<std::string>& words, std::string_view last);

// Every output format's name or extension, joined by the separator.
[[nodiscard]] std::string formatWords(std::string_view OutputFormat::*word,
                                      std::string_view separator);

}  // namespace lobewright
