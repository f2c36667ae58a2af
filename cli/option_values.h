#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/command_line.h"

namespace lobewright {

// The kinds of value the converter's options take, for the rows of their table (cli/options.h).

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

// Words as a sentence lists them: "x, y, z or best", with `last` ("or", "and") before the last.
[[nodiscard]] std::string listedWords(const std::vector<std::string>& words, std::string_view last);

// A value refused, as every kind words it: `--scale takes a whole number from 1 to 100, not "0"`.
[[nodiscard]] std::string valueRefusal(std::string_view name, std::string_view what,
                                       const std::string& text);

}  // namespace lobewright
