#include "writers/real_format.h"

#include <array>
#include <charconv>

namespace lobewright {

void appendReal(std::string& text, double value) {
  if (value == 0.0) {
    text.push_back('0');
    return;
  }
  std::array<char, 32> digits{};
  const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                    std::chars_format::general, 6);
  text.append(digits.data(), result.ptr);
}

std::string formatReal(double value) {
  std::string text;
  appendReal(text, value);
  return text;
}

}  // namespace lobewright
