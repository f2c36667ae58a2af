#include "input/number_text.h"

#include <cmath>
#include <cstdio>

#include "input/text_scan.h"

namespace lobewright {
namespace {

std::string_view withoutPlus(std::string_view word) {
  if (word.size() > 1 && word.front() == '+' && word[1] != '-' && word[1] != '+') {
    word.remove_prefix(1);
  }
  return word;
}

// A word that from_chars finds out of range is too large or too small for the type. Too small
// rounds to zero, as reading with a stream does: its exponent is negative, or it has no exponent
// and nothing but zeros before the point.
bool underflows(std::string_view word) {
  const std::size_t exponent = word.find_first_of("eE");
  if (exponent != std::string_view::npos) {
    return exponent + 1 < word.size() && word[exponent + 1] == '-';
  }
  const std::size_t digits = word.find_first_not_of("+-");
  const std::size_t point = word.find('.');
  const std::string_view integerPart = word.substr(digits, point - digits);
  return integerPart.find_first_not_of('0') == std::string_view::npos;
}

template <class Real>
std::optional<Real> parseReal(std::string_view word) {
  Real value = 0;
  const char* end = word.data() + word.size();
  const auto [stop, error] = std::from_chars(word.data(), end, value, std::chars_format::general);
  if (word.empty() || stop != end) return std::nullopt;
  if (error == std::errc::result_out_of_range && underflows(word)) {
    return word.front() == '-' ? -Real(0) : Real(0);
  }
  if (error != std::errc() || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace

std::optional<double> parseDouble(std::string_view word, bool fortranExponent) {
  word = withoutPlus(word);
  std::string replaced;
  if (fortranExponent) {
    const std::size_t d = word.find_first_of("Dd");
    if (d != std::string_view::npos) {
      replaced.assign(word);
      replaced[d] = 'E';
      word = replaced;
    }
  }
  return parseReal<double>(word);
}

std::optional<float> parseFloat(std::string_view word) {
  return parseReal<float>(withoutPlus(word));
}

std::string notANumber(std::string_view word) { return quotedWord(word) + " is not a number"; }

std::string printedNumber(const char* format, double value) {
  char text[128];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string fixedNumber(double value, int decimals) {
  char text[128];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

}  // namespace lobewright
