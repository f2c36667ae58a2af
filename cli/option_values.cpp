#include "cli/option_values.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "input/number_text.h"

namespace lobewright {
namespace {

// The shortest text that reads back as the number: "0", "1", "0.5".
std::string shortest(double number) {
  std::array<char, 32> digits{};
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), number).ptr;
  return std::string(digits.data(), end);
}

}  // namespace

OptionValue flag(std::function<void(CommandLine&)> apply) { return flagPair(apply, apply); }

OptionValue flagPair(std::function<void(CommandLine&)> first,
                     std::function<void(CommandLine&)> second) {
  return {false,
          {},
          [first = std::move(first), second = std::move(second)](
              CommandLine& command, std::string_view, std::size_t which, const std::string&) {
            (which == 0 ? first : second)(command);
            return std::optional<std::string>();
          }};
}

OptionValue integer(int32_t least, int32_t greatest,
                    std::function<void(CommandLine&, int32_t)> apply) {
  return {true,
          {},
          [least, greatest, apply = std::move(apply)](
              CommandLine& command, std::string_view name, std::size_t,
              const std::string& text) -> std::optional<std::string> {
            const auto number = parseInteger<int32_t>(text);
            if (!number || *number < least || *number > greatest) {
              return valueRefusal(name,
                                  "a whole number from " + std::to_string(least) + " to " +
                                      std::to_string(greatest),
                                  text);
            }
            apply(command, *number);
            return std::nullopt;
          }};
}

OptionValue real(std::function<void(CommandLine&, double)> apply, std::optional<RealRange> range) {
  return {
      true,
      {},
      [range, apply = std::move(apply)](CommandLine& command, std::string_view name, std::size_t,
                                        const std::string& text) -> std::optional<std::string> {
        const auto number = parseDouble(text);
        const bool taken = number && std::fabs(*number) <= std::numeric_limits<float>::max() &&
                           (!range || (*number >= range->least && *number <= range->greatest));
        if (!taken) {
          const std::string bounds =
              range ? " from " + shortest(range->least) + " to " + shortest(range->greatest)
                    : std::string();
          return valueRefusal(name, "a number" + bounds, text);
        }
        apply(command, *number);
        return std::nullopt;
      }};
}

OptionValue choiceOfWords(std::vector<std::string> words,
                          std::function<void(CommandLine&, std::size_t)> apply) {
  OptionValue value{true, words, {}};
  value.take = [words = std::move(words), apply = std::move(apply)](
                   CommandLine& command, std::string_view name, std::size_t,
                   const std::string& text) -> std::optional<std::string> {
    for (std::size_t word = 0; word < words.size(); ++word) {
      if (text == words[word]) {
        apply(command, word);
        return std::nullopt;
      }
    }
    return valueRefusal(name, listedWords(words, "or"), text);
  };
  return value;
}

OptionValue freeText(std::function<std::optional<std::string>(CommandLine&, std::string_view name,
                                                              const std::string& text)>
                         apply) {
  return {
      true,
      {},
      [apply = std::move(apply)](CommandLine& command, std::string_view name, std::size_t,
                                 const std::string& text) { return apply(command, name, text); }};
}

std::string listedWords(const std::vector<std::string>& words, std::string_view last) {
  std::string listed;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i + 1 == words.size() && i > 0) {
      listed.append(" ").append(last).append(" ");
    } else if (i > 0) {
      listed.append(", ");
    }
    listed.append(words[i]);
  }
  return listed;
}

std::string valueRefusal(std::string_view name, std::string_view what, const std::string& text) {
  std::string refusal(name);
  refusal.append(" takes ").append(what).append(", not \"").append(text).append("\"");
  return refusal;
}

}  // namespace lobewright
