#include "writers/real_format.h"

#include <array>
#include <charconv>

namespace lobewright {

std::string formatReal(double value) {
  if (value == 0.0) return "0";
  std::array<char, 32> text{};
  const auto result =
      std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::general, 6);
  return std::string(text.data(), result.ptr);
}

}  // namespace lobewright
