#include "input/number_text.h"

#include <cmath>

namespace lobewright {
namespace {

// Longest word quoted in a message; the rest is elided.
constexpr std::size_t kQuotedLength = 40;

}  // namespace

std::optional<double> parseDouble(std::string_view word, bool fortranExponent) {
  if (word.size() > 1 && word.front() == '+' && word[1] != '-' && word[1] != '+') {
    word.remove_prefix(1);
  }
  std::string replaced;
  if (fortranExponent) {
    const std::size_t d = word.find_first_of("Dd");
    if (d != std::string_view::npos) {
      replaced.assign(word);
      replaced[d] = 'E';
      word = replaced;
    }
  }
  double value = 0.0;
  const char* end = word.data() + word.size();
  const auto [stop, error] = std::from_chars(word.data(), end, value, std::chars_format::general);
  if (word.empty() || error != std::errc() || stop != end || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<float> parseFloat(std::string_view word) {
  if (word.size() > 1 && word.front() == '+' && word[1] != '-' && word[1] != '+') {
    word.remove_prefix(1);
  }
  float value = 0.0f;
  const char* end = word.data() + word.size();
  const auto [stop, error] = std::from_chars(word.data(), end, value, std::chars_format::general);
  if (word.empty() || error != std::errc() || stop != end || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::string notANumber(std::string_view word) {
  std::string quoted(word.substr(0, kQuotedLength));
  if (word.size() > kQuotedLength) quoted += "...";
  return "\"" + quoted + "\" is not a number";
}

}  // namespace lobewright
