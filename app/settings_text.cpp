#include "app/settings_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "input/text_scan.h"

namespace lobewright {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view withoutLeadingBlanks(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && isBlank(text[start])) ++start;
  return text.substr(start);
}

std::size_t skipDigits(std::string_view text, std::size_t at) {
  while (at < text.size() && isDigit(text[at])) ++at;
  return at;
}

// Splits an optional leading sign off; true when it was a minus.
bool takeSign(std::string_view& text) {
  if (text.empty() || (text.front() != '+' && text.front() != '-')) return false;
  const bool negative = text.front() == '-';
  text.remove_prefix(1);
  return negative;
}

// The length of the unsigned number at the start of the text: digits with an optional point,
// then an exponent only when it has digits of its own ("1e" and "1e-" end before the "e").
std::size_t unsignedNumberLength(std::string_view text) {
  const std::size_t integerEnd = skipDigits(text, 0);
  std::size_t end = integerEnd;
  bool hasDigits = integerEnd > 0;
  if (end < text.size() && text[end] == '.') {
    const std::size_t fractionEnd = skipDigits(text, end + 1);
    hasDigits = hasDigits || fractionEnd > end + 1;
    end = fractionEnd;
  }
  if (!hasDigits) return 0;
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    std::size_t exponent = end + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
    const std::size_t exponentEnd = skipDigits(text, exponent);
    if (exponentEnd > exponent) end = exponentEnd;
  }
  return end;
}

}  // namespace

std::string formatInteger(int32_t value) { return std::to_string(value); }

std::string formatGeneral(float value) {
  std::array<char, 32> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(),
                                    static_cast<double>(value), std::chars_format::general, 6);
  return std::string(text.data(), result.ptr);
}

std::optional<int32_t> textToInteger(std::string_view text) {
  text = withoutLeadingBlanks(text);
  const bool negative = takeSign(text);
  if (text.empty() || !isDigit(text.front())) return std::nullopt;
  constexpr int64_t kBeyond = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t magnitude = 0;
  for (std::size_t i = 0; i < text.size() && isDigit(text[i]); ++i) {
    magnitude = std::min(kBeyond, magnitude * 10 + (text[i] - '0'));
  }
  const int64_t value = negative ? -magnitude : magnitude;
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

float textToFloat(std::string_view text) {
  text = withoutLeadingBlanks(text);
  const bool negative = takeSign(text);
  const std::size_t length = unsignedNumberLength(text);
  if (length == 0) return 0.0f;
  double magnitude = 0.0;
  const auto result =
      std::from_chars(text.data(), text.data() + length, magnitude, std::chars_format::general);
  if (result.ec != std::errc() || !(magnitude <= std::numeric_limits<float>::max())) {
    return 0.0f;
  }
  const auto value = static_cast<float>(magnitude);
  return negative ? -value : value;
}

}  // namespace lobewright
