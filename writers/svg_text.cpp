#include "writers/svg_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "input/utf8.h"

namespace lobewright {

void appendSvgText(std::string& svg, std::string_view text) {
  while (!text.empty()) {
    const auto c = static_cast<unsigned char>(text.front());
    std::size_t taken = 1;
    switch (c) {
      case '&':
        svg += "&amp;";
        break;
      case '<':
        svg += "&lt;";
        break;
      case '>':
        svg += "&gt;";
        break;
      case '"':
        svg += "&quot;";
        break;
      case '\'':
        svg += "&apos;";
        break;
      default:
        if (c < 0x20 || c == 0x7f) {
          svg.push_back('?');
        } else if (c < 0x80) {
          svg.push_back(static_cast<char>(c));
        } else if (const std::size_t length = multibyteCharacterAt(text).length; length > 0) {
          svg.append(text.substr(0, length));
          taken = length;
        } else {
          svg.push_back('?');
        }
    }
    text.remove_prefix(taken);
  }
}

std::string svgNumber(double value) {
  if (!std::isfinite(value)) return "0";
  const double rounded = std::round(value * 100.0) / 100.0;
  std::array<char, 64> digits{};
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(),
                                 rounded == 0.0 ? 0.0 : rounded, std::chars_format::general)
                       .ptr;
  return std::string(digits.data(), end);
}

std::string svgColour(const Rgb& colour) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text = "#";
  for (const float component : {colour.r, colour.g, colour.b}) {
    const int level = static_cast<int>(std::lround(std::clamp(component, 0.0f, 1.0f) * 255.0f));
    text.push_back(kHex[level / 16]);
    text.push_back(kHex[level % 16]);
  }
  return text;
}

}  // namespace lobewright
